// kalyxon win32-agent: the keyboard engine on the Windows desktop without a
// window, as x11-agent is on X11: while Greek mode is on, the keys typed into
// any application come out as Greek. For scripted use and the end-to-end
// test under Wine.
#ifdef KALYXON_HAVE_WIN32

#include <windows.h>
#undef MessageBox  // the macro would rename platform::MessageBox

#include <filesystem>
#include <iostream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/carpeta.h"
#include "app/kalyxon.h"
#include "cli/commands.h"
#include "keyboard/tecladohook.h"
#include "platform/scripted.h"
#include "util/utf.h"
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
    "  --dir DIR           program folder with ALPHA.db (default: the program's)\n"
    "\n"
    "Commands on standard input, one a line: griego, latin, quit (so does the\n"
    "end of the input). Once the hook is installed the agent prints 'ready'.\n";

enum Orden : WPARAM { kGriego = 1, kLatin, kFin };

// Message boxes of a program with no window: the text goes to standard
// error and the default answer is taken.
class MensajeEnConsola : public platform::MessageBox {
 public:
  platform::Answer show(const std::u16string& text, platform::Buttons buttons,
                        const std::u16string&) override {
    std::cerr << "message box: " << util::toUtf8(text) << "\n";
    return buttons == platform::Buttons::Ok ? platform::Answer::Ok : platform::Answer::Yes;
  }
};

}  // namespace

int runWin32Agent(const std::vector<std::string>& args) {
  fs::path dir = rutaEjecutable().parent_path();
  bool griego = false;
  std::vector<std::string> menus;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      std::cout << kUso;
      return 0;
    } else if (a == "--griego") {
      griego = true;
    } else if (a == "--dir" && i + 1 < args.size()) {
      dir = args[++i];
    } else if (a == "--sigma-final" || a == "--ks" || a == "--ps" || a == "--iota" ||
               a == "--espiritus" || a == "--numeros" || a == "--angulos") {
      menus.push_back(a);
    } else {
      std::cerr << "kalyxon win32-agent: unknown option '" << a << "'\n" << kUso;
      return 2;
    }
  }

  try {
    win32::Win32Keyboard kb;
    platform::scripted::ScriptedServices guion;
    MensajeEnConsola mensajes;
    win32::Bomba bomba;
    win32::Portapapeles portapapeles;
    win32::Navegador navegador((dir / "help").u16string());
    platform::Services sv = guion.services();
    sv.messageBox = &mensajes;
    sv.pump = &bomba;
    sv.clipboard = &portapapeles;
    sv.urls = &navegador;
    sv.help = &navegador;
    sv.keys = &kb;
    sv.sender = &kb;
    sv.hook = &kb;
    Kalyxon k(sv, dir);
    kb.setProcedure([&k](int n, const KeyEvent& e) { return k.teclado().tecladoProc(n, e); });

    Form1& f = k.form1;
    const std::map<std::string, vm::MenuItem*> interruptores = {
        {"--sigma-final", &f.mnus}, {"--ks", &f.mnuks},         {"--ps", &f.mnups},
        {"--iota", &f.mnuiota},     {"--espiritus", &f.mnuesp}, {"--numeros", &f.mnunum},
        {"--angulos", &f.mnuang}};
    for (const auto& m : menus) interruptores.at(m)->checked = true;

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
