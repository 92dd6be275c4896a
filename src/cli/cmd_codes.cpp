#include "cli/commands.h"

#include <iostream>

namespace kalyxon::cli {

std::string versionText() {
  return std::to_string(KALYXON_VERSION_MAJOR) + "." + std::to_string(KALYXON_VERSION_MINOR) +
         "." + std::to_string(KALYXON_VERSION_PATCH);
}

int runCodes(const std::vector<std::string>&) {
  std::cerr << "kalyxon codes: not available yet\n";
  return 1;
}

}  // namespace kalyxon::cli
