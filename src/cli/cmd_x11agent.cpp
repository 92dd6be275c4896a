// kalyxon x11-agent: the keyboard engine on the X11 desktop without a window.
// It intercepts the keyboard of an X display and types Greek into whatever
// application has the focus, exactly as the desktop program does, but with no
// window of its own: for scripted use, remote sessions and the end-to-end tests.
#ifdef KALYXON_HAVE_X11
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/carpeta.h"
#include "app/kalyxon.h"
#include "cli/agente.h"
#include "cli/commands.h"
#ifdef KALYXON_HAVE_X11
#include "x11/x11keyboard.h"
#endif

namespace kalyxon::cli {

namespace {

namespace fs = std::filesystem;

const char* kUso =
    "Usage: kalyxon x11-agent [OPTIONS]\n"
    "\n"
    "Runs the keyboard engine on an X display with no window: while Greek mode\n"
    "is on, the keys typed into any application come out as Greek.\n"
    "\n"
    "Options:\n"
    "  --griego            switch Greek mode on at start (otherwise it stays off\n"
    "                      until the 'griego' command)\n"
    "  --sigma-final --ks --ps --iota --espiritus --numeros --angulos\n"
    "                      options ticked at start (as in the Opciones menu)\n"
    "  --display NAME      X display (default: $DISPLAY)\n"
    "  --settings-dir DIR  program folder with ALPHA.db, as for the other\n"
    "                      commands (--dir is the same)\n"
    "\n"
    "Message boxes are written to standard error. Standard input takes one\n"
    "command a line:\n"
    "  griego | latin      tick or clear the Greek box\n"
    "  sync                deal with every key event received so far, then type\n"
    "                      U+E000 (a private-use character) so that a watching\n"
    "                      application knows everything before it has arrived;\n"
    "                      answers 'synced' on standard output\n"
    "  quit                stop (so do end of input, SIGINT and SIGTERM)\n"
    "Once the keyboard is set up the agent prints 'ready' on standard output.\n";

#ifdef KALYXON_HAVE_X11

class BombaX11 : public platform::MessagePump {
 public:
  explicit BombaX11(x11::X11Keyboard& kb) : kb_(kb) {}
  void processPending() override { kb_.dispatchPending(); }

 private:
  x11::X11Keyboard& kb_;
};

#endif

}  // namespace

int runX11Agent(const std::vector<std::string>& args) {
#ifndef KALYXON_HAVE_X11
  (void)args;
  std::cerr << "kalyxon x11-agent: this build has no X11 backend\n";
  return 1;
#else
  std::string display;
  OpcionesAgente o;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      std::cout << kUso;
      return 0;
    } else if (a == "--display" && i + 1 < args.size()) {
      display = args[++i];
    } else if (!opcionAgente(args, i, o)) {
      std::cerr << "kalyxon x11-agent: unknown option '" << a << "'\n" << kUso;
      return 2;
    }
  }

  try {
    x11::X11Keyboard kb(display.empty() ? nullptr : display.c_str());
    BombaX11 bomba(kb);
    Agente agente(kb, bomba, carpetaPrograma(o.dir), o);
    Form1& f = agente.kalyxon().form1;
    // A failure shows the program's message (on standard error here); the
    // agent keeps running, as the desktop program does.
    if (o.griego) f.chkgri.setValue(1);

    // SIGINT and SIGTERM end the loop, so the keyboard map is given back.
    sigset_t senales;
    sigemptyset(&senales);
    sigaddset(&senales, SIGINT);
    sigaddset(&senales, SIGTERM);
    sigprocmask(SIG_BLOCK, &senales, nullptr);
    int fdSenales = signalfd(-1, &senales, SFD_CLOEXEC);

    std::cout << "ready" << std::endl;
    std::string linea;
    for (;;) {
      kb.dispatchPending();
      pollfd p[3] = {{0, POLLIN, 0}, {fdSenales, POLLIN, 0}, {kb.fd(), POLLIN, 0}};
      poll(p, kb.fd() >= 0 ? 3 : 2, -1);
      if (p[1].revents) break;
      if (!p[0].revents) continue;
      char buf[256];
      ssize_t n = read(0, buf, sizeof buf);
      if (n <= 0) break;
      linea.append(buf, static_cast<size_t>(n));
      bool fin = false;
      for (size_t pos; (pos = linea.find('\n')) != std::string::npos;) {
        std::string orden = linea.substr(0, pos);
        linea.erase(0, pos + 1);
        if (orden == "griego") {
          f.chkgri.setValue(1);
        } else if (orden == "latin") {
          f.chkgri.setValue(0);
        } else if (orden == "sync") {
          kb.drain();
          kb.send(u"\uE000", true);
          std::cout << "synced" << std::endl;
        } else if (orden == "quit") {
          fin = true;
        } else if (!orden.empty()) {
          std::cerr << "kalyxon x11-agent: unknown command '" << orden << "'\n";
        }
      }
      if (fin) break;
    }
    f.chkgri.setValue(0);
    if (fdSenales >= 0) close(fdSenales);
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "kalyxon x11-agent: " << e.what() << "\n";
    return 1;
  }
#endif
}

}  // namespace kalyxon::cli
