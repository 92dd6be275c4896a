// The commands of the kalyxon program, one file each (cli/cmd_*.cpp).
#pragma once

#include <string>
#include <vector>

namespace kalyxon::cli {

std::string versionText();  // "7.6.0"

int runCodes(const std::vector<std::string>& args);
int runConvert(const std::vector<std::string>& args);
int runNumeral(const std::vector<std::string>& args);
int runDict(const std::vector<std::string>& args);
int runSettings(const std::vector<std::string>& args);
int runType(const std::vector<std::string>& args);
int runX11Agent(const std::vector<std::string>& args);
int runIbusEngine(const std::vector<std::string>& args);
int runWin32Agent(const std::vector<std::string>& args);  // Windows builds only

// Starts the desktop program (only when the desktop front end is built).
int runDesktop(int argc, char** argv);

}  // namespace kalyxon::cli
