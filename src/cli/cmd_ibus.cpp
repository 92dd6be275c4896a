// kalyxon ibus-engine: the keyboard engine as an IBus input method, without a
// window. It offers the engine "kalyxon" on the session's IBus bus and types
// Greek into whatever text field has the focus while that engine is selected:
// for scripted use and the end-to-end tests (the desktop program does the same
// with its windows when it runs with --backend ibus).
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/kalyxon.h"
#include "cli/agente.h"
#include "cli/commands.h"
#include "dictionary/diccionario.h"
#include "keyboard/tecladohook.h"
#include "util/utf.h"
#ifdef KALYXON_HAVE_IBUS
#include <glib-unix.h>
#include <glib.h>

#include "ibus/teclado_ibus.h"
#endif

namespace kalyxon::cli {

namespace {

namespace fs = std::filesystem;

#ifdef KALYXON_HAVE_IBUS
const char* kUso =
    "Usage: kalyxon ibus-engine [OPTIONS]\n"
    "\n"
    "Offers the input method 'kalyxon' on the IBus bus of the session (or of\n"
    "$IBUS_ADDRESS) and types Greek into the focused text field while it is\n"
    "selected, with no window. Prints 'ready' once the engine is offered; ends\n"
    "on SIGINT or SIGTERM, or when the IBus daemon goes away.\n"
    "\n"
    "Options:\n"
    "  --latin             start with Greek mode off (F2 still switches)\n"
    "  --sigma-final --ks --ps --iota --espiritus --numeros --angulos\n"
    "                      options ticked at start (as in the Opciones menu)\n"
    "  --dict FILE:TABLE   the dictionary TABLE of FILE is the current one and\n"
    "                      the dictionary box is ticked\n"
    "  --programa NAME --parametros MACRO\n"
    "                      a target program whose font-switch MACRO is typed\n"
    "  --dir DIR           program folder with ALPHA.db (default: the program's\n"
    "                      own folder); --settings-dir DIR is the same\n"
    "  --ibus              accepted for the daemon's command line; no effect\n";

fs::path carpetaPropia() {
  std::error_code ec;
  auto exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::current_path() : exe.parent_path();
}

class BombaGlib : public platform::MessagePump {
 public:
  void processPending() override {
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
  }
};

struct BucleGlib {
  GMainLoop* p = g_main_loop_new(nullptr, FALSE);
  ~BucleGlib() { g_main_loop_unref(p); }
};
#endif

}  // namespace

int runIbusEngine(const std::vector<std::string>& args) {
#ifndef KALYXON_HAVE_IBUS
  (void)args;
  std::cerr << "kalyxon ibus-engine: this build has no IBus engine\n";
  return 1;
#else
  OpcionesAgente o;
  bool latin = false;
  std::string dic, programa, parametros;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto valor = [&](std::string& destino) {
      if (i + 1 >= args.size()) return false;
      destino = args[++i];
      return true;
    };
    if (a == "--help" || a == "-h") {
      std::cout << kUso;
      return 0;
    } else if (a == "--latin") {
      latin = true;
    } else if (a == "--ibus") {
    } else if (a == "--dict" && valor(dic) && dic.rfind(':') != std::string::npos &&
               dic.rfind(':') > 0 && dic.rfind(':') + 1 < dic.size()) {
    } else if (a == "--programa" && valor(programa)) {
    } else if (a == "--parametros" && valor(parametros)) {
    } else if (a == "--griego" || !opcionAgente(args, i, o)) {
      std::cerr << "kalyxon ibus-engine: bad option '" << a << "'\n" << kUso;
      return 2;
    }
  }

  try {
    ibus::TecladoIbus kb;
    BombaGlib bomba;
    Agente agente(kb, bomba, o.dir.value_or(carpetaPropia()), o);
    Kalyxon& k = agente.kalyxon();
    kb.setWordBreak([&k] { k.teclado().clicRaton(); });
    if (!kb.serve()) {
      std::cerr << "kalyxon ibus-engine: " << util::toUtf8(kb.errorText()) << "\n";
      return 1;
    }

    Form1& f = k.form1;
    if (!programa.empty()) {
      f.cPrograma = util::fromUtf8(programa);
      f.cParametros = util::fromUtf8(parametros);
      f.cCambiaFuentes = u"SI";
      f.mnupro.checked = true;
      // The fonts the macro names, as `kalyxon type` has them.
      f.cFuenteGriego = u"Palatino Linotype";
      f.cFuenteNormal = u"Times New Roman";
    }
    if (!latin) f.chkgri.setValue(1);
    if (!dic.empty()) {
      const size_t dos = dic.rfind(':');
      const fs::path fichero = fs::absolute(dic.substr(0, dos));
      const std::string tabla = dic.substr(dos + 1);
      try {
        k.diccionario().cambiaDiccionario(util::fromUtf8(fichero.string()), tabla);
      } catch (const std::exception& e) {
        std::cerr << "kalyxon ibus-engine: cannot open dictionary " << tabla << " of "
                  << fichero.string() << ": " << e.what() << "\n";
        return 1;
      }
      if (vm::MenuItem* m = k.diccionario().menuDe(tabla)) m->checked = true;
      if (!latin) f.chkdic.setValue(1);
    }

    BucleGlib bucle;
    auto para = +[](gpointer p) -> gboolean {
      g_main_loop_quit(static_cast<GMainLoop*>(p));
      return G_SOURCE_CONTINUE;
    };
    guint s1 = g_unix_signal_add(SIGINT, para, bucle.p);
    guint s2 = g_unix_signal_add(SIGTERM, para, bucle.p);
    kb.setDisconnected([&bucle] { g_main_loop_quit(bucle.p); });
    std::cout << "ready" << std::endl;
    g_main_loop_run(bucle.p);
    g_source_remove(s1);
    g_source_remove(s2);
    f.chkgri.setValue(0);
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "kalyxon ibus-engine: " << e.what() << "\n";
    return 1;
  }
#endif
}

}  // namespace kalyxon::cli
