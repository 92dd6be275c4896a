// kalyxon.exe with no arguments (or only desktop options such as
// --settings-dir DIR): the desktop program with native Windows windows.
#ifdef KALYXON_HAVE_WIN32UI
#include <windows.h>
#undef MessageBox

#include <iostream>
#include <stdexcept>

#include "app/carpeta.h"
#include "app/kalyxon.h"
#include "cli/commands.h"
#include "util/utf.h"
#include "win32/ui/escritorio.h"

#if __has_include("win32/win32keyboard.h")
#include "keyboard/tecladohook.h"
#include "win32/win32keyboard.h"
#define KALYXON_TECLADO_WIN32 1
#endif

namespace kalyxon::cli {

int runDesktop(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::optional<std::filesystem::path> explicita;
  try {
    explicita = extraeCarpetaAjustes(args);
  } catch (const std::exception& e) {
    std::cerr << "kalyxon: " << e.what() << "\n";
    return 2;
  }
  bool griego = false;
  for (const auto& a : args) {
    if (a == "--griego") {
      griego = true;
    } else {
      std::cerr << "kalyxon: unknown option '" << a << "' (try kalyxon --help)\n";
      return 2;
    }
  }
  // Started from the Start menu or Explorer, the console window Windows
  // opened for this program is its own: it goes. From a command prompt the
  // console is shared and stays.
  DWORD procesos[2];
  if (GetConsoleProcessList(procesos, 2) == 1) FreeConsole();

  std::filesystem::path carpeta;
  try {
    carpeta = carpetaPrograma(explicita);
  } catch (const std::exception& e) {
    const std::u16string t = u"No se puede preparar la carpeta del programa:\r\n" + util::fromUtf8(e.what());
    MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(t.c_str()), L"Kalyxon", MB_OK | MB_ICONERROR);
    return 1;
  }
  std::wstring exe(32768, L'\0');
  exe.resize(GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size())));
  std::vector<std::filesystem::path> datos{carpeta};
  if (!exe.empty() && std::filesystem::path(exe).parent_path() != carpeta)
    datos.push_back(std::filesystem::path(exe).parent_path());

#ifdef KALYXON_TECLADO_WIN32
  // The system-wide keyboard: declared before the program so it outlives it.
  win32::Win32Keyboard teclado;
#endif
  win32ui::Escritorio escritorio(carpeta, datos);
#ifdef KALYXON_TECLADO_WIN32
  escritorio.conectaTeclado(&teclado, &teclado, &teclado);
  teclado.setProcedure(
      [&escritorio](int n, const KeyEvent& e) { return escritorio.kalyxon().teclado().tecladoProc(n, e); });
#endif
  escritorio.inicia();
  if (griego) {
    // As a user would do by hand: accept the notice, tick "Griego".
    escritorio.evento("frmini_cmdace_Click");
    escritorio.kalyxon().form1.chkgri.setValue(1);
    escritorio.render();
  }
  return escritorio.ejecuta();
}

}  // namespace kalyxon::cli
#endif
