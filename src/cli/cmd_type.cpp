// kalyxon type: runs a key script through the keyboard engine into an
// in-memory application and prints what the application ends up showing.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/carpeta.h"
#include "app/kalyxon.h"
#include "cli/commands.h"
#include "dictionary/diccionario.h"
#include "keyboard/simulador.h"
#include "util/utf.h"

namespace kalyxon::cli {

namespace {

namespace fs = std::filesystem;

const char* kUso =
    "Usage: kalyxon type [OPTIONS] [FILE]\n"
    "\n"
    "Types the key script in FILE (or standard input, also with FILE '-') into\n"
    "an in-memory application on a Spanish keyboard, with Greek mode on, and\n"
    "prints the application's text (UTF-8).\n"
    "\n"
    "Script: whitespace-separated tokens; each is a key pressed and released.\n"
    "  A..Z                  letter keys\n"
    "  65 222 186 113 ...    virtual-key codes in decimal (digit keys: 48..57)\n"
    "  space enter bksp tab esc del ins home end pgup pgdn left right up down\n"
    "  f1..f12 capslock numlock kpenter (the keypad's Enter)\n"
    "  shift ctrl alt altgr super   the modifier keys themselves\n"
    "  click                 a mouse click (the caret goes to the start)\n"
    "  prefixes: + Shift, ^ Ctrl, % Alt (^% AltGr), ! injected event\n"
    "  suffix *N: the key is held and repeats N times before its release\n"
    "  suffix -down / -up: only the press / only the release, e.g.\n"
    "    'shift-down K S shift-up', '^A-down ^-up A-up'\n"
    "\n"
    "Options (menu items ticked before typing):\n"
    "  --sigma-final --ks --ps --iota --espiritus --numeros --angulos\n"
    "  --aproximado           approximate dictionary search\n"
    "  --contexto             grave, acute and capital as the context asks\n"
    "  --codigos html|java    send HTML or Java escapes instead of characters\n"
    "  --caps-lock            start with Caps Lock on\n"
    "  --dict FILE:TABLE      the dictionary TABLE of FILE (LEXICA*.db) is the\n"
    "                         current one and the dictionary box is ticked\n"
    "  --programa NAME --parametros MACRO\n"
    "                         a target program profile: MACRO (keystroke\n"
    "                         notation, '*' for the font) is typed at the first\n"
    "                         letter and at every F2\n"
    "  --griego FONT --normal FONT\n"
    "                         fonts put into the macro (default\n"
    "                         'Palatino Linotype' and 'Times New Roman')\n"
    "  --latin                start in Latin mode (Greek mode off, no hook)\n"
    "  --via-hook             sent keystrokes come back through the hook as\n"
    "                         injected events before reaching the application\n"
    "  --trace                print every event, its verdict and the text sent\n"
    "                         (standard error)\n"
    "  --settings-dir DIR     program folder with ALPHA.db, as for the other\n"
    "                         commands (--dir is the same)\n";

std::string describe(const KeyEvent& e) {
  std::string s = nombreTecla(e.vkCode);
  if (e.vkCode == 231) s += " U+" + [&] {
    std::ostringstream o;
    o << std::hex << std::uppercase << e.scanCode;
    return o.str();
  }();
  s += (e.flags & flag::kUp) ? " up" : " down";
  if (e.flags & flag::kInjected) s += " injected";
  if (e.flags & flag::kExtended) s += " extended";
  if (e.flags & flag::kAltDown) s += " alt";
  return s;
}

struct Opciones {
  std::vector<vm::MenuItem*> menus;
  std::string codigos;
  bool bloqMay = false;
  std::string dicFichero, dicTabla;
  bool programa = false;
  std::u16string nombrePrograma, parametros;
  std::u16string griego = u"Palatino Linotype", normal = u"Times New Roman";
  bool latin = false;
  bool viaHook = false;
  bool traza = false;
  std::string fichero = "-";
};

// Reads the options into `o`; returns an error message or empty text.
std::string leeOpciones(const std::vector<std::string>& args, Form1& f, Opciones& o) {
  const std::map<std::string, vm::MenuItem*> interruptores = {
      {"--sigma-final", &f.mnus},  {"--ks", &f.mnuks},          {"--ps", &f.mnups},
      {"--iota", &f.mnuiota},      {"--espiritus", &f.mnuesp},  {"--numeros", &f.mnunum},
      {"--angulos", &f.mnuang},    {"--aproximado", &f.mnudicapro},
      {"--contexto", &f.mnuacc},
  };
  bool hayFichero = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto valor = [&](std::string& destino) -> bool {
      if (i + 1 >= args.size()) return false;
      destino = args[++i];
      return true;
    };
    std::string v;
    if (auto it = interruptores.find(a); it != interruptores.end()) {
      o.menus.push_back(it->second);
    } else if (a == "--codigos") {
      if (!valor(v) || (v != "html" && v != "java")) return "--codigos needs 'html' or 'java'";
      o.codigos = v;
    } else if (a == "--dict") {
      if (!valor(v)) return "--dict needs FILE:TABLE";
      const size_t dos = v.rfind(':');
      if (dos == std::string::npos || dos == 0 || dos + 1 == v.size())
        return "--dict needs FILE:TABLE, got '" + v + "'";
      o.dicFichero = v.substr(0, dos);
      o.dicTabla = v.substr(dos + 1);
    } else if (a == "--caps-lock") {
      o.bloqMay = true;
    } else if (a == "--programa") {
      if (!valor(v)) return "--programa needs a program name";
      o.programa = true;
      o.nombrePrograma = util::fromUtf8(v);
    } else if (a == "--parametros") {
      if (!valor(v)) return "--parametros needs a macro";
      o.parametros = util::fromUtf8(v);
    } else if (a == "--griego") {
      if (!valor(v)) return "--griego needs a font name";
      o.griego = util::fromUtf8(v);
    } else if (a == "--normal") {
      if (!valor(v)) return "--normal needs a font name";
      o.normal = util::fromUtf8(v);
    } else if (a == "--latin") {
      o.latin = true;
    } else if (a == "--via-hook") {
      o.viaHook = true;
    } else if (a == "--trace") {
      o.traza = true;
    } else if (a.size() > 1 && a[0] == '-' && a != "-") {
      return "unknown option '" + a + "'";
    } else {
      if (hayFichero) return "only one script file may be given";
      hayFichero = true;
      o.fichero = a;
    }
  }
  if (!o.parametros.empty() && !o.programa) return "--parametros needs --programa";
  return {};
}

}  // namespace

int runType(const std::vector<std::string>& argumentos) {
  std::vector<std::string> args = argumentos;
  for (const auto& a : args) {
    if (a == "--help" || a == "-h") {
      std::cout << kUso;
      return 0;
    }
  }
  try {
    // The folder first: the engine opens it at birth.
    for (auto& a : args) {
      if (a == "--dir") a = "--settings-dir";
      else if (a.starts_with("--dir=")) a = "--settings-dir=" + a.substr(6);
    }
    fs::path dir;
    try {
      dir = carpetaPrograma(extraeCarpetaAjustes(args));
    } catch (const std::invalid_argument&) {
      std::cerr << "kalyxon type: --settings-dir needs a folder\n";
      return 2;
    }
    TecladoSimulado sim(dir);
    Form1& f = sim.form1();
    Opciones o;
    if (std::string error = leeOpciones(args, f, o); !error.empty()) {
      std::cerr << "kalyxon type: " << error << "\n" << kUso;
      return 2;
    }

    std::string guion;
    if (o.fichero == "-") {
      guion.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    } else {
      std::ifstream in(util::rutaDeUtf8(o.fichero), std::ios::binary);
      if (!in) {
        std::cerr << "kalyxon type: cannot read '" << o.fichero << "'\n";
        return 1;
      }
      guion.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::vector<TeclaGuion> teclas;
    try {
      teclas = leeGuion(guion);
    } catch (const ErrorGuion& e) {
      std::cerr << "kalyxon type: " << e.what() << "\n";
      return 2;
    }

    for (auto* m : o.menus) m->checked = true;
    if (!o.codigos.empty()) {
      (o.codigos == "java" ? f.mnucodjav : f.mnucodhtm).checked = true;
      f.mnucod.tag = u"*";
    }
    if (o.programa) {
      f.cPrograma = o.nombrePrograma;
      f.cParametros = o.parametros;
      f.cCambiaFuentes = u"SI";
      f.mnupro.checked = true;
    }
    f.cFuenteGriego = o.griego;
    f.cFuenteNormal = o.normal;
    sim.reinyectar = o.viaHook;
    if (o.bloqMay) {
      sim.ponBloqMay(true);
      sim.hook().tTecla.lBloqMay = true;
    }

    // Trace: each event on one line once it has been judged, with the texts
    // sent while it was being handled; nested events are indented.
    std::map<int, std::vector<std::string>> enviados;
    if (o.traza) {
      sim.alEnviar = [&](const std::u16string& teclas, bool espera, int nivel) {
        enviados[nivel].push_back("sent \"" + util::toUtf8(teclas) + "\"" +
                                  (espera ? " (wait)" : ""));
      };
      sim.alEvento = [&](const KeyEvent& e, Verdict v, int nivel) {
        std::string linea = std::string(2 * static_cast<size_t>(nivel), ' ') + describe(e);
        linea.resize(std::max<size_t>(linea.size() + 1, 26), ' ');
        linea += verdictName(v);
        for (const auto& s : enviados[nivel]) linea += "  " + s;
        enviados[nivel].clear();
        std::cerr << linea << "\n";
      };
    }

    auto& cajas = sim.servicios().messageBox;
    cajas.onShow = [&cajas] {
      std::cerr << "message box: " << util::toUtf8(cajas.shown.back().text) << "\n";
    };

    if (!o.latin) sim.activaGriego();
    if (!o.dicFichero.empty()) {
      // A relative FILE is taken from the current folder, as any file name
      // on a command line.
      const fs::path fichero = fs::absolute(util::rutaDeUtf8(o.dicFichero));
      try {
        sim.k().diccionario().cambiaDiccionario(util::fromUtf8(fichero.string()), o.dicTabla);
      } catch (const std::exception& e) {
        std::cerr << "kalyxon type: cannot open dictionary " << o.dicTabla << " of "
                  << fichero.string() << ": " << e.what() << "\n";
        return 1;
      }
      if (vm::MenuItem* m = sim.k().diccionario().menuDe(o.dicTabla)) m->checked = true;
      if (!o.latin) f.chkdic.setValue(1);
    }
    for (const auto& t : teclas) sim.pulsa(t);
    std::cout << sim.textoUtf8();
    std::cout.flush();
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "kalyxon type: " << e.what() << "\n";
    return 1;
  }
}

}  // namespace kalyxon::cli
