// kalyxon win32-agent: the keyboard engine on the Windows desktop without a
// window, as x11-agent is on X11: while Greek mode is on, the keys typed into
// any application come out as Greek. For scripted use and the end-to-end
// test under Wine.
#ifdef KALYXON_HAVE_WIN32

#include <windows.h>
#undef MessageBox  // the macro would rename platform::MessageBox

#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "app/carpeta.h"
#include "app/kalyxon.h"
#include "cli/agente.h"
#include "cli/commands.h"
#include "win32/servicios.h"
#include "win32/win32keyboard.h"

namespace kalyxon::cli {

namespace {

namespace fs = std::filesystem;

const char* kUso =
    "Usage: kalyxon win32-agent [OPTIONS]\n"
    "\n"
    "Runs the keyboard engine on the Windows desktop with no window: while\n"
    "Greek mode is on, the keys typed into any application come out as Greek.\n"
    "\n"
    "Options:\n"
    "  --griego            switch Greek mode on at start\n"
    "  --sigma-final --ks --ps --iota --espiritus --numeros --angulos\n"
    "                      tick that option\n"
    "  --dir DIR           program folder with ALPHA.db (default: the program's);\n"
    "                      --settings-dir DIR is the same\n"
    "\n"
    "Commands on standard input, one a line: griego, latin, quit (so does the\n"
    "end of the input). Once the hook is installed the agent prints 'ready'.\n";

enum Orden : WPARAM { kGriego = 1, kLatin, kFin };

}  // namespace

int runWin32Agent(const std::vector<std::string>& args) {
  OpcionesAgente o;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      std::cout << kUso;
      return 0;
    } else if (!opcionAgente(args, i, o)) {
      std::cerr << "kalyxon win32-agent: unknown option '" << a << "'\n" << kUso;
      return 2;
    }
  }
  const fs::path dir = o.dir.value_or(rutaEjecutable().parent_path());

  try {
    win32::Win32Keyboard kb;
    win32::Bomba bomba;
    win32::Portapapeles portapapeles;
    win32::Navegador navegador((dir / "help").u16string());
    Agente agente(kb, bomba, dir, o, [&](platform::Services& sv) {
      sv.clipboard = &portapapeles;
      sv.urls = &navegador;
      sv.help = &navegador;
    });
    Form1& f = agente.kalyxon().form1;
    const bool griego = o.griego;

    // The message queue exists once the thread has asked for it; commands
    // from standard input arrive as thread messages, so the hook and they
    // share this thread's loop.
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    const DWORD hilo = GetCurrentThreadId();
    if (griego) f.chkgri.setValue(1);
    std::cout << (kb.installed() || !griego ? "ready" : "failed") << std::endl;

    std::thread lector([hilo] {
      std::string orden;
      while (std::getline(std::cin, orden)) {
        if (!orden.empty() && orden.back() == '\r') orden.pop_back();
        if (orden == "griego") PostThreadMessageW(hilo, WM_APP, kGriego, 0);
        else if (orden == "latin") PostThreadMessageW(hilo, WM_APP, kLatin, 0);
        else if (orden == "quit") break;
        else if (!orden.empty()) std::cerr << "kalyxon win32-agent: unknown command '" << orden << "'\n";
      }
      PostThreadMessageW(hilo, WM_APP, kFin, 0);
    });
    lector.detach();

    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      if (msg.hwnd == nullptr && msg.message == WM_APP) {
        if (msg.wParam == kGriego) f.chkgri.setValue(1);
        else if (msg.wParam == kLatin) f.chkgri.setValue(0);
        else if (msg.wParam == kFin) break;
        continue;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    f.chkgri.setValue(0);
    std::cout.flush();
    // The reader may still wait on standard input: end without joining it.
    ExitProcess(0);
  } catch (const std::exception& e) {
    std::cerr << "kalyxon win32-agent: " << e.what() << "\n";
    return 1;
  }
}

}  // namespace kalyxon::cli

#endif  // KALYXON_HAVE_WIN32
