// kalyxon: with no arguments starts the desktop program (when built with the
// desktop front end); otherwise runs one of the commands below.
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "app/carpeta.h"
#include "cli/commands.h"
#include "util/utf.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#endif

namespace {

struct Command {
  const char* name;
  int (*run)(const std::vector<std::string>& args);
  const char* summary;
};

const Command kCommands[] = {
    {"codes", kalyxon::cli::runCodes, "HTML/Java escapes of Greek text and back"},
    {"type", kalyxon::cli::runType, "type a key script through the keyboard engine"},
    {"dict", kalyxon::cli::runDict, "dictionaries: list, lookup, load, merge, purge, export"},
    {"settings", kalyxon::cli::runSettings, "program folder, settings and dictionaries found"},
#ifdef _WIN32
    {"win32-agent", kalyxon::cli::runWin32Agent, "the keyboard engine on the Windows desktop, without a window"},
#else
    {"x11-agent", kalyxon::cli::runX11Agent, "the keyboard engine on an X display, without a window"},
    {"ibus-engine", kalyxon::cli::runIbusEngine, "the keyboard engine as an IBus input method, without a window"},
#endif
    {"convert", kalyxon::cli::runConvert, "legacy Greek fonts and BetaCode to Unicode and back"},
    {"numeral", kalyxon::cli::runNumeral, "the Greek numeral of a number"},
};

void printHelp(std::ostream& out) {
  out << "Kalyxon " << kalyxon::cli::versionText() << " - classical Greek typing assistant\n\n"
      << "Usage:\n"
      << "  kalyxon                 start the desktop program\n"
      << "    --settings-dir DIR    keep settings, dictionaries and data in DIR\n"
      << "    --griego              accept the notice and start with Greek typing on\n"
      << "    --backend ibus|x11|auto  who reads the keys (kept in the settings; auto:\n"
      << "                          IBus in a Wayland session, X11 in an X11 session)\n"
      << "  kalyxon COMMAND [ARGS]  run a command (kalyxon COMMAND --help for its options)\n"
      << "  kalyxon --version       print the version\n"
      << "  kalyxon --help          print this help\n\n"
      << "Commands:\n";
  for (const auto& c : kCommands) {
    const std::size_t n = std::strlen(c.name);
    out << "  " << c.name << std::string(n < 10 ? 10 - n : 1, ' ') << c.summary << "\n";
  }
}

int ejecuta(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
#if defined(KALYXON_HAVE_QT) || defined(KALYXON_HAVE_WIN32UI)
    return kalyxon::cli::runDesktop(argc, argv);
#else
    printHelp(std::cout);
    return 0;
#endif
  }
  const std::string& first = args[0];
  if (first == "--help" || first == "-h" || first == "help") {
    printHelp(std::cout);
    return 0;
  }
  if (first == "--version" || first == "-V") {
    std::cout << "kalyxon " << kalyxon::cli::versionText() << "\n";
    return 0;
  }
  for (const auto& c : kCommands) {
    if (first != c.name) continue;
    std::vector<std::string> resto(args.begin() + 1, args.end());
    // Commands that never read the program folder still take the option
    // every command takes (checked, then not needed).
    if (first == "codes" || first == "numeral") {
      try {
        kalyxon::extraeCarpetaAjustes(resto);
      } catch (const std::exception& e) {
        std::cerr << "kalyxon " << first << ": " << e.what() << "\n";
        return 2;
      }
    }
    return c.run(resto);
  }
#if defined(KALYXON_HAVE_QT) || defined(KALYXON_HAVE_WIN32UI)
  if (first.rfind("--", 0) == 0) return kalyxon::cli::runDesktop(argc, argv);
#endif
  std::cerr << "kalyxon: unknown command '" << first << "' (try kalyxon --help)\n";
  return 2;
}

}  // namespace

#ifdef _WIN32
// Windows hands main() its arguments in the ANSI code page, where a Greek
// word or file name becomes '?'; wmain gets them in UTF-16 and they go on in
// UTF-8 like everywhere else. The standard streams are switched to binary so
// that UTF-8 text and the bytes of 8-bit files pass unchanged (no CR added
// before each LF): the output is byte for byte the Linux build's.
int wmain(int argc, wchar_t** wargv) {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  std::vector<std::string> utf8;
  for (int i = 0; i < argc; ++i) {
    const std::wstring_view w(wargv[i]);
    utf8.push_back(kalyxon::util::toUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(w.data()), w.size())));
  }
  std::vector<char*> argv;
  for (auto& a : utf8) argv.push_back(a.data());
  argv.push_back(nullptr);
  return ejecuta(argc, argv.data());
}
#else
int main(int argc, char** argv) { return ejecuta(argc, argv); }
#endif
