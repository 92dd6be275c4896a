// kalyxon_editprueba FILE [TITLE]: a window titled TITLE (by default
// "Kalyxon prueba") holding one multi-line edit control; every change of its text is written to FILE in
// UTF-8 (through a temporary file, so a reader never sees half of it).
#include <windows.h>

#include <string>

namespace {

std::wstring fichero;
HWND edicion = nullptr;

void guarda() {
  const int n = GetWindowTextLengthW(edicion);
  std::wstring w(static_cast<size_t>(n) + 1, L'\0');
  GetWindowTextW(edicion, w.data(), n + 1);
  w.resize(static_cast<size_t>(n));
  std::string u(static_cast<size_t>(n) * 4 + 1, '\0');
  const int b = WideCharToMultiByte(CP_UTF8, 0, w.data(), n, u.data(), static_cast<int>(u.size()),
                                    nullptr, nullptr);
  u.resize(static_cast<size_t>(b > 0 ? b : 0));
  const std::wstring tmp = fichero + L".tmp";
  HANDLE h = CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  DWORD hecho = 0;
  WriteFile(h, u.data(), static_cast<DWORD>(u.size()), &hecho, nullptr);
  CloseHandle(h);
  MoveFileExW(tmp.c_str(), fichero.c_str(), MOVEFILE_REPLACE_EXISTING);
}

LRESULT CALLBACK ventana(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      edicion = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL,
                                0, 0, 400, 200, hwnd, reinterpret_cast<HMENU>(1), nullptr, nullptr);
      return 0;
    case WM_SETFOCUS:
      SetFocus(edicion);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wp) == 1 && HIWORD(wp) == EN_CHANGE) guarda();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE, LPWSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 2) return 2;
  fichero = argv[1];
  const std::wstring titulo = argc > 2 ? argv[2] : L"Kalyxon prueba";
  WNDCLASSW wc{};
  wc.lpfnWndProc = ventana;
  wc.hInstance = inst;
  wc.lpszClassName = L"KalyxonPrueba";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  RegisterClassW(&wc);
  HWND w = CreateWindowExW(0, L"KalyxonPrueba", titulo.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                           10, 10, 420, 240, nullptr, nullptr, inst, nullptr);
  SetFocus(edicion);
  guarda();
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  (void)w;
  return 0;
}
