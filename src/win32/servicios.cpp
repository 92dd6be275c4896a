#include "win32/servicios.h"

#include <windows.h>
#include <shellapi.h>
#undef MessageBox  // the macro would rename platform::MessageBox

#include <cstring>

#include "app/ayuda.h"
#include "util/utf.h"

namespace kalyxon::win32 {

namespace {

const wchar_t* w(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

std::u16string u16(const wchar_t* s, size_t n) {
  return std::u16string(reinterpret_cast<const char16_t*>(s), n);
}

// RAII for the clipboard: open for as long as the object lives.
class Abierto {
 public:
  Abierto() {
    // Another program may hold it for a moment.
    for (int i = 0; i < 10 && !(ok_ = OpenClipboard(nullptr)); ++i) Sleep(20);
  }
  ~Abierto() {
    if (ok_) CloseClipboard();
  }
  explicit operator bool() const { return ok_; }

 private:
  bool ok_ = false;
};

UINT formatoRtf() { return RegisterClipboardFormatW(L"Rich Text Format"); }

bool pon(UINT formato, const void* datos, size_t n) {
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, n);
  if (!g) return false;
  std::memcpy(GlobalLock(g), datos, n);
  GlobalUnlock(g);
  if (!SetClipboardData(formato, g)) {
    GlobalFree(g);
    return false;
  }
  return true;
}

// ---- Input box ----

struct Entrada {
  std::u16string prompt, title, texto;
  bool aceptado = false, terminado = false;
  HWND edit = nullptr;
};

constexpr int kAceptar = IDOK, kCancelar = IDCANCEL, kEdit = 100;

LRESULT CALLBACK procEntrada(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* e = reinterpret_cast<Entrada*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_CREATE: {
      e = static_cast<Entrada*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(e));
      HFONT f = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
      auto hijo = [&](const wchar_t* clase, const std::u16string& t, DWORD estilo, int x, int y, int cx,
                      int cy, int id) {
        HWND h = CreateWindowExW(clase == std::wstring(L"EDIT") ? WS_EX_CLIENTEDGE : 0, clase, w(t),
                                 WS_CHILD | WS_VISIBLE | estilo, x, y, cx, cy, hwnd,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(f), TRUE);
        return h;
      };
      hijo(L"STATIC", e->prompt, 0, 10, 10, 260, 60, -1);
      hijo(L"BUTTON", u"Aceptar", WS_TABSTOP | BS_DEFPUSHBUTTON, 280, 10, 80, 24, kAceptar);
      hijo(L"BUTTON", u"Cancelar", WS_TABSTOP, 280, 40, 80, 24, kCancelar);
      e->edit = hijo(L"EDIT", e->texto, WS_TABSTOP | ES_AUTOHSCROLL, 10, 80, 350, 22, kEdit);
      SendMessageW(e->edit, EM_SETSEL, 0, -1);
      SetFocus(e->edit);
      return 0;
    }
    case WM_COMMAND:
      if (LOWORD(wp) == kAceptar || LOWORD(wp) == kCancelar) {
        if (LOWORD(wp) == kAceptar) {
          const int n = GetWindowTextLengthW(e->edit);
          std::wstring t(static_cast<size_t>(n) + 1, L'\0');
          GetWindowTextW(e->edit, t.data(), n + 1);
          e->texto = u16(t.c_str(), static_cast<size_t>(n));
          e->aceptado = true;
        }
        DestroyWindow(hwnd);
      }
      return 0;
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      if (e) e->terminado = true;
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

platform::Answer CajaMensaje::show(const std::u16string& text, platform::Buttons buttons,
                                   const std::u16string& title) {
  const std::u16string t = title.empty() ? u"Kalyxon" : title;
  const UINT tipo = buttons == platform::Buttons::YesNo ? MB_YESNO | MB_ICONQUESTION : MB_OK;
  const int r = MessageBoxW(static_cast<HWND>(propietario_), w(text), w(t), tipo | MB_SETFOREGROUND);
  if (buttons == platform::Buttons::Ok) return platform::Answer::Ok;
  return r == IDYES ? platform::Answer::Yes : platform::Answer::No;
}

std::optional<std::u16string> CajaEntrada::ask(const std::u16string& prompt, const std::u16string& title,
                                               const std::u16string& initial) {
  static const bool registrada = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = procEntrada;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"KalyxonEntrada";
    return RegisterClassW(&wc) != 0;
  }();
  (void)registrada;
  Entrada e{prompt, title.empty() ? u"Kalyxon" : title, initial};
  HWND dueno = static_cast<HWND>(propietario_);
  HWND h = CreateWindowExW(WS_EX_DLGMODALFRAME, L"KalyxonEntrada", w(e.title),
                           WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                           380, 150, dueno, nullptr, GetModuleHandleW(nullptr), &e);
  if (!h) return std::nullopt;
  if (dueno) EnableWindow(dueno, FALSE);
  MSG msg;
  while (!e.terminado && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(h, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (dueno) {
    EnableWindow(dueno, TRUE);
    SetForegroundWindow(dueno);
  }
  if (!e.aceptado) return std::nullopt;
  return e.texto;
}

std::u16string Portapapeles::unicodeText() {
  Abierto a;
  if (!a) return {};
  HANDLE h = GetClipboardData(CF_UNICODETEXT);
  if (!h) return {};
  const auto* p = static_cast<const wchar_t*>(GlobalLock(h));
  if (!p) return {};
  // Bounded by the block's size, in case the text lacks its final NUL.
  const size_t max = GlobalSize(h) / sizeof(wchar_t);
  size_t n = 0;
  while (n < max && p[n]) ++n;
  std::u16string r = u16(p, n);
  GlobalUnlock(h);
  return r;
}

std::string Portapapeles::richText() {
  Abierto a;
  if (!a) return {};
  HANDLE h = GetClipboardData(formatoRtf());
  if (!h) return {};
  const auto* p = static_cast<const char*>(GlobalLock(h));
  if (!p) return {};
  const size_t max = GlobalSize(h);
  size_t n = 0;
  while (n < max && p[n]) ++n;
  std::string r(p, n);
  GlobalUnlock(h);
  return r;
}

void Portapapeles::setText(const std::u16string& text) {
  Abierto a;
  if (!a) return;
  EmptyClipboard();
  pon(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(char16_t));
}

bool Portapapeles::setRichText(const std::string& rtf) {
  Abierto a;
  if (!a) return false;
  EmptyClipboard();
  return pon(formatoRtf(), rtf.c_str(), rtf.size() + 1);
}

void Bomba::processPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void Navegador::open(const std::string& url) {
  const std::u16string u = util::fromUtf8(url);
  ShellExecuteW(nullptr, L"open", w(u), nullptr, nullptr, SW_SHOWNORMAL);
}

void Navegador::showTopic(int topic) {
  const std::u16string pagina = ayuda_ + u"\\" + util::fromUtf8(paginaAyuda(topic));
  ShellExecuteW(nullptr, L"open", w(pagina), nullptr, nullptr, SW_SHOWNORMAL);
}

void Navegador::showIndex() { showTopic(0); }

std::vector<std::u16string> Fuentes::screenFonts() {
  std::vector<std::u16string> r;
  HDC dc = GetDC(nullptr);
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  EnumFontFamiliesExW(
      dc, &lf,
      [](const LOGFONTW* f, const TEXTMETRICW*, DWORD, LPARAM l) -> int {
        auto* v = reinterpret_cast<std::vector<std::u16string>*>(l);
        std::u16string n = u16(f->lfFaceName, wcslen(f->lfFaceName));
        if (!n.empty() && n[0] != u'@' && (v->empty() || v->back() != n)) v->push_back(n);
        return 1;
      },
      reinterpret_cast<LPARAM>(&r), 0);
  ReleaseDC(nullptr, dc);
  return r;
}

void Puntero::setBusy(bool busy) { SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW)); }

}  // namespace kalyxon::win32
