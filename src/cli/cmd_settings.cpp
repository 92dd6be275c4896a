// kalyxon settings: the program folder, the settings the desktop program would
// start with, and the dictionaries it would find there.
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/aplicacion.h"
#include "app/carpeta.h"
#include "app/kalyxon.h"
#include "app/menus.h"
#include "cli/commands.h"
#include "platform/scripted.h"
#include "util/utf.h"

namespace kalyxon::cli {

namespace {

const char* kUso =
    "Usage: kalyxon settings [--settings-dir DIR] [show | folder | set KEY VALUE]\n"
    "  show     the settings and dictionaries the program starts with (default)\n"
    "  folder   the program folder only\n"
    "  set      writes one key of section \"opciones\" of kalyxon.ini\n"
    "\n"
    "DIR replaces the program folder (settings, ALPHA.db, LEXICA*.db, icons).\n"
    "Exit status 3 when another running copy holds the dictionaries.\n";

std::string u8(const std::u16string& s) { return util::toUtf8(s); }

}  // namespace

int runSettings(const std::vector<std::string>& argsIn) {
  std::vector<std::string> args = argsIn;
  std::filesystem::path carpeta;
  try {
    auto explicita = extraeCarpetaAjustes(args);
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
      std::cout << kUso;
      return 0;
    }
    carpeta = carpetaPrograma(explicita);
  } catch (const std::exception& e) {
    std::cerr << "kalyxon settings: " << e.what() << "\n";
    return 2;
  }
  std::string orden = args.empty() ? "show" : args[0];
  if (orden == "folder") {
    std::cout << carpeta.string() << "\n";
    return 0;
  }

  platform::scripted::ScriptedServices s;
  Kalyxon k(s.services(), carpeta);
  Aplicacion& app = k.aplicacion();
  if (orden == "set") {
    if (args.size() != 3) {
      std::cerr << kUso;
      return 2;
    }
    if (!app.escribeIni(util::fromUtf8(args[1]), util::fromUtf8(args[2]))) {
      std::cerr << "kalyxon settings: cannot write " << app.rutaIni().string() << "\n";
      return 1;
    }
    return 0;
  }
  if (orden != "show") {
    std::cerr << "kalyxon settings: unknown command '" << orden << "'\n" << kUso;
    return 2;
  }

  bool ok = app.cargaAjustes();
  for (const auto& m : s.messageBox.shown) std::cerr << u8(m.text) << "\n";
  if (!ok) return 3;
  const Form1& f = k.form1;
  std::cout << "folder    " << carpeta.string() << "\n"
            << "settings  " << app.rutaIni().string() << "\n"
            << "position  " << f.ventana.left << ", " << f.ventana.top << " (twips), height "
            << f.ventana.height << "\n"
            << "greek     " << u8(f.cFuenteGriego) << "\n"
            << "normal    " << u8(f.cFuenteNormal) << "\n"
            << "program   " << u8(f.cPrograma) << (f.mnupro.checked ? " (in force)" : "")
            << "\n"
            << "macro     " << u8(f.cParametros) << "\n"
            << "options  ";
  for (const char* n : {"mnus", "mnuks", "mnups", "mnuesp", "mnuiota", "mnunum", "mnuang",
                        "mnudicapro", "mnubar"}) {
    const vm::MenuItem* m = buscaMenu(k.form1, n);
    std::cout << " " << u8(m->caption) << "=" << (m->checked ? "SI" : "NO");
  }
  std::cout << "\ndictionaries\n";
  for (const char* n : {"mnudiccla", "mnudiccom", "mnudicari", "mnudiceso", "mnudichom",
                        "mnudicjen", "mnudicpla", "mnudictra"}) {
    const vm::MenuItem* m = buscaMenu(k.form1, n);
    if (!m->enabled) continue;
    std::cout << "  " << u8(m->caption) << "\t" << u8(m->tag) << (m->checked ? "\t(chosen)" : "")
              << "\n";
  }
  return 0;
}

}  // namespace kalyxon::cli
