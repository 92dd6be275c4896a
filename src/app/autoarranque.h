// "Iniciar con la sesión": an XDG autostart entry for the program, written
// when the option is ticked and removed when it is unticked. The entry's
// existence is the option's state, so it survives reinstalls and is what the
// desktop's own session settings show.
#pragma once

#include <filesystem>
#include <string>

namespace kalyxon::autoarranque {

// $XDG_CONFIG_HOME/autostart/kalyxon.desktop (default ~/.config/...).
std::filesystem::path ruta();

bool activo();

// Writes the entry (starting `ejecutable --settings-dir carpeta`, so the
// session starts the copy the user ticked it in) or removes it. False with a
// reason in `error` when the file system refuses.
bool pon(bool activar, const std::filesystem::path& ejecutable,
         const std::filesystem::path& carpeta, std::string& error);

}  // namespace kalyxon::autoarranque
