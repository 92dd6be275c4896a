// Where the program keeps what lives "beside the program": the settings file
// kalyxon.ini, the alphabet database ALPHA.db, the dictionaries LEXICA*.db, the
// indicator icons and the error report.
//
//  - Explicit: `--settings-dir DIR` names the folder. It is created when
//    missing and gets a copy of ALPHA.db and the icons when they are missing;
//    dictionaries are never copied into it, so a test or a user decides which
//    dictionaries that folder holds.
//  - Portable: the executable's own folder, when it is writable and holds
//    ALPHA.db (a build tree, or an unpacked portable copy).
//  - Installed: $XDG_DATA_HOME/kalyxon (~/.local/share/kalyxon by default;
//    %APPDATA%\Kalyxon on Windows),
//    seeded on every start with what is missing there of the shipped ALPHA.db,
//    LEXICA*.db and icons; a newer shipped ALPHA.db replaces the copy (it is
//    program data), a user's dictionaries are never replaced (he changes them).
//    The shipped files are looked for beside the executable and then in
//    ../share/kalyxon from it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kalyxon {

struct OrigenCarpeta {
  std::filesystem::path ejecutable;             // the running program
  std::optional<std::filesystem::path> explicita;  // --settings-dir
  std::string xdgDataHome;                      // $XDG_DATA_HOME, may be empty
  std::string home;                             // $HOME, may be empty
};

// Decides the program folder and prepares it (creates and seeds it as above).
// Throws std::runtime_error with an English message when no usable folder can
// be made.
std::filesystem::path carpetaPrograma(const OrigenCarpeta& origen);

// The same, from the process's own executable and environment.
std::filesystem::path carpetaPrograma(std::optional<std::filesystem::path> explicita = {});

// Removes "--settings-dir DIR" or "--settings-dir=DIR" from `args` and returns
// DIR. Throws std::invalid_argument when the option has no value.
std::optional<std::filesystem::path> extraeCarpetaAjustes(std::vector<std::string>& args);

// The running program's own file (empty when the system cannot say).
std::filesystem::path rutaEjecutable();

// The folder of the shipped data for an executable (see above), or nullopt.
std::optional<std::filesystem::path> carpetaDatosInstalados(const std::filesystem::path& ejecutable);

}  // namespace kalyxon
