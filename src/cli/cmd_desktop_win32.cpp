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
#include "cli/escritorio.h"
#include "util/utf.h"
#include "win32/ui/escritorio.h"

#if __has_include("win32/win32keyboard.h")
#include "keyboard/tecladohook.h"
#include "win32/win32keyboard.h"
#define KALYXON_TECLADO_WIN32 1
#endif

namespace kalyxon::cli {

int runDesktop(int argc, char** argv) {
  const auto opciones = leeOpcionesEscritorio(argc, argv);
  if (!opciones) return 2;
  // Started from the Start menu or Explorer, the console window Windows
  // opened for this program is its own: it goes. From a command prompt the
  // console is shared and stays.
  DWORD procesos[2];
  if (GetConsoleProcessList(procesos, 2) == 1) FreeConsole();

  std::filesystem::path carpeta;
  try {
    carpeta = carpetaPrograma(opciones->carpeta);
  } catch (const std::exception& e) {
    const std::u16string t = mensajeCarpeta(e);
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
  if (opciones->griego) {
    // As a user would do by hand: accept the notice, tick "Griego".
    escritorio.evento("frmini_cmdace_Click");
    escritorio.kalyxon().form1.chkgri.setValue(1);
    escritorio.render();
  }
  return escritorio.ejecuta();
}

}  // namespace kalyxon::cli
#endif
