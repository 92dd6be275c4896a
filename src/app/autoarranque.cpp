#include "app/autoarranque.h"

#include <cstdlib>
#include <system_error>

#include "util/ficgen.h"

namespace kalyxon::autoarranque {

namespace fs = std::filesystem;

namespace {

// An argument as the desktop entry format quotes it: inside double quotes,
// with ", `, $ and \ escaped.
std::string citado(const std::string& s) {
  std::string r = "\"";
  for (char c : s) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') r += '\\';
    r += c;
  }
  return r + "\"";
}

}  // namespace

fs::path ruta() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  fs::path base;
  if (xdg && *xdg) {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    base = fs::path(home && *home ? home : ".") / ".config";
  }
  return base / "autostart" / "kalyxon.desktop";
}

bool activo() {
  std::error_code ec;
  return fs::is_regular_file(ruta(), ec);
}

bool pon(bool activar, const fs::path& ejecutable, const fs::path& carpeta,
         std::string& error) {
  std::error_code ec;
  const fs::path r = ruta();
  if (!activar) {
    fs::remove(r, ec);
    if (ec) error = ec.message();
    return !ec;
  }
  std::string exec = citado(ejecutable.string());
  if (!carpeta.empty()) exec += " --settings-dir " + citado(carpeta.string());
  const std::string texto =
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Name=Kalyxon\n"
      "Comment=Escribe griego clásico politónico en cualquier programa\n"
      "Exec=" + exec + "\n"
      "Icon=kalyxon\n"
      "Terminal=false\n"
      "X-GNOME-Autostart-enabled=true\n";
  fs::create_directories(r.parent_path(), ec);
  if (ec) {
    error = ec.message();
    return false;
  }
  ec = FicGen::escribeBytes(r, texto);
  if (ec) error = ec.message();
  return !ec;
}

}  // namespace kalyxon::autoarranque
