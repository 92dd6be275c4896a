#include "win32/ui/servicios.h"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#undef MessageBox

#include <algorithm>
#include <set>
#include <string_view>
#include <utility>

#include "app/ayuda.h"
#include "util/utf.h"

namespace kalyxon::win32ui {

namespace {

HWND hwnd(void* p) { return static_cast<HWND>(p); }

std::u16string tituloO(const std::u16string& t) { return t.empty() ? u"Kalyxon" : t; }

// Windows writes a message box's buttons in the system's language; the
// program's are Spanish whatever that is. While a box is open a CBT hook on
// this thread renames them when the box is activated, before it shows.
LRESULT CALLBACK botonesEnEspanol(int codigo, WPARAM wp, LPARAM lp) {
  if (codigo == HCBT_ACTIVATE) {
    HWND caja = reinterpret_cast<HWND>(wp);
    wchar_t clase[16] = {};
    if (GetClassNameW(caja, clase, 16) && std::wstring_view(clase) == L"#32770") {
      for (auto [id, texto] : {std::pair{IDYES, L"S\u00ed"}, {IDNO, L"No"}, {IDOK, L"Aceptar"}})
        if (HWND b = GetDlgItem(caja, id)) SetWindowTextW(b, texto);
    }
  }
  return CallNextHookEx(nullptr, codigo, wp, lp);
}

class GanchoBotones {
 public:
  GanchoBotones() : h_(SetWindowsHookExW(WH_CBT, botonesEnEspanol, nullptr, GetCurrentThreadId())) {}
  ~GanchoBotones() {
    if (h_) UnhookWindowsHookEx(h_);
  }
  GanchoBotones(const GanchoBotones&) = delete;
  GanchoBotones& operator=(const GanchoBotones&) = delete;

 private:
  HHOOK h_;
};

}  // namespace

platform::Answer CajaMensaje::show(const std::u16string& text, platform::Buttons buttons,
                                   const std::u16string& title) {
  // Topmost like the main window, or the box would open behind it.
  const UINT estilo = MB_TOPMOST | MB_SETFOREGROUND |
                      (buttons == platform::Buttons::YesNo ? MB_YESNO | MB_ICONQUESTION
                                                           : MB_OK | MB_ICONINFORMATION);
  GanchoBotones espanol;
  const int r = MessageBoxW(hwnd(padre_ ? padre_() : nullptr), W(text), W(tituloO(title)), estilo);
  if (buttons == platform::Buttons::YesNo) return r == IDYES ? platform::Answer::Yes : platform::Answer::No;
  return platform::Answer::Ok;
}

// ---- Input box ---------------------------------------------------------------

namespace {

constexpr int kIdTexto = 101;

struct EstadoEntrada {
  HWND texto = nullptr;
  bool hecho = false;
  std::optional<std::u16string> resultado;
};

LRESULT CALLBACK procEntrada(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  auto* e = reinterpret_cast<EstadoEntrada*>(GetWindowLongPtrW(h, GWLP_USERDATA));
  switch (msg) {
    case WM_COMMAND:
      if (!e) break;
      if (LOWORD(wp) == IDOK) {
        const int n = GetWindowTextLengthW(e->texto);
        std::wstring s(static_cast<size_t>(n) + 1, L'\0');
        GetWindowTextW(e->texto, s.data(), n + 1);
        s.resize(static_cast<size_t>(n));
        e->resultado = std::u16string(reinterpret_cast<const char16_t*>(s.data()), s.size());
        e->hecho = true;
        return 0;
      }
      if (LOWORD(wp) == IDCANCEL) {
        e->hecho = true;
        return 0;
      }
      break;
    case WM_CLOSE:
      if (e) e->hecho = true;
      return 0;
  }
  return DefWindowProcW(h, msg, wp, lp);
}

}  // namespace

std::optional<std::u16string> CajaEntrada::ask(const std::u16string& prompt,
                                              const std::u16string& title,
                                              const std::u16string& initial) {
  static const wchar_t* kClase = L"KalyxonEntrada";
  HINSTANCE inst = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (!GetClassInfoExW(inst, kClase, &wc)) {
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = procEntrada;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClase;
    RegisterClassExW(&wc);
  }
  HWND padre = hwnd(padre_ ? padre_() : nullptr);
  const HFONT fuente = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  HWND v = CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, kClase, W(tituloO(title)),
                           WS_POPUP | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT, 420, 170,
                           padre, nullptr, inst, nullptr);
  if (!v) return std::nullopt;
  EstadoEntrada e;
  SetWindowLongPtrW(v, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&e));
  auto hijo = [&](const wchar_t* clase, const std::u16string& texto, DWORD estilo, int x, int y, int an,
                  int al, int id, DWORD ex = 0) {
    HWND c = CreateWindowExW(ex, clase, W(texto), WS_CHILD | WS_VISIBLE | estilo, x, y, an, al, v,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst, nullptr);
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(fuente), TRUE);
    return c;
  };
  hijo(L"STATIC", prompt, 0, 10, 10, 300, 70, 0);
  hijo(L"BUTTON", u"Aceptar", WS_TABSTOP | BS_DEFPUSHBUTTON, 320, 10, 80, 24, IDOK);
  hijo(L"BUTTON", u"Cancelar", WS_TABSTOP, 320, 40, 80, 24, IDCANCEL);
  e.texto = hijo(L"EDIT", initial, WS_TABSTOP | ES_AUTOHSCROLL, 10, 90, 390, 22, kIdTexto, WS_EX_CLIENTEDGE);
  SendMessageW(e.texto, EM_SETSEL, 0, -1);
  if (padre) {
    RECT rp, rv;
    GetWindowRect(padre, &rp);
    GetWindowRect(v, &rv);
    SetWindowPos(v, nullptr, rp.left + 20, rp.top + 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  }
  ShowWindow(v, SW_SHOW);
  SetFocus(e.texto);
  // Modal: the other windows of the program wait until the box is closed.
  const bool padreActivo = padre && IsWindowEnabled(padre);
  if (padreActivo) EnableWindow(padre, FALSE);
  MSG m;
  while (!e.hecho) {
    const BOOL r = GetMessageW(&m, nullptr, 0, 0);
    if (r <= 0) {
      if (r == 0) PostQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    if (!IsDialogMessageW(v, &m)) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
  }
  if (padreActivo) EnableWindow(padre, TRUE);
  DestroyWindow(v);
  if (padre) SetForegroundWindow(padre);
  return e.resultado;
}

// ---- File dialog ---------------------------------------------------------------

std::u16string DialogoArchivo::filtro(const std::vector<std::u16string>& filters) {
  std::u16string out;
  for (const auto& f : filters) {
    const auto barra = f.find(u'|');
    const std::u16string nombre = barra == std::u16string::npos ? f : f.substr(0, barra);
    const std::u16string patron = barra == std::u16string::npos ? u"*.*" : f.substr(barra + 1);
    out += nombre + u" (" + patron + u")";
    out.push_back(u'\0');
    out += patron;
    out.push_back(u'\0');
  }
  out.push_back(u'\0');
  return out;
}

std::optional<std::string> DialogoArchivo::open(const std::u16string& title,
                                                const std::vector<std::u16string>& filters) {
  std::wstring nombre(32768, L'\0');
  const std::u16string f = filtro(filters);
  const std::u16string t = title.empty() ? u"Abrir" : title;
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = hwnd(padre_ ? padre_() : nullptr);
  ofn.lpstrFilter = W(f);
  ofn.lpstrFile = nombre.data();
  ofn.nMaxFile = static_cast<DWORD>(nombre.size());
  ofn.lpstrTitle = W(t);
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
  if (!GetOpenFileNameW(&ofn)) return std::nullopt;
  return util::toUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(nombre.c_str())));
}

// ---- Message pump ----------------------------------------------------------------

void Bomba::processPending() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      // The loop that owns the program must still see it.
      PostQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  // Rendering after every character of a long operation would cost more than
  // the operation; a few times a second is what the eye sees.
  const unsigned long ahora = GetTickCount();
  if (despues_ && ahora - ultimo_ >= 50) {
    ultimo_ = ahora;
    despues_();
  }
}

// ---- Clipboard ---------------------------------------------------------------------

namespace {

// The clipboard is a shared resource: open it, and close it on every path.
struct Abierto {
  bool ok;
  Abierto() : ok(OpenClipboard(nullptr) != 0) {}
  ~Abierto() {
    if (ok) CloseClipboard();
  }
};

}  // namespace

std::u16string Portapapeles::unicodeText() {
  Abierto a;
  if (!a.ok) return {};
  HANDLE h = GetClipboardData(CF_UNICODETEXT);
  if (!h) return {};
  const auto* p = static_cast<const wchar_t*>(GlobalLock(h));
  if (!p) return {};
  const size_t max = GlobalSize(h) / sizeof(wchar_t);
  const std::u16string s(reinterpret_cast<const char16_t*>(p), std::wcslen(p) < max ? std::wcslen(p) : max);
  GlobalUnlock(h);
  return s;
}

std::string Portapapeles::richText() {
  const UINT formato = RegisterClipboardFormatW(L"Rich Text Format");
  Abierto a;
  if (!a.ok || !formato) return {};
  HANDLE h = GetClipboardData(formato);
  if (!h) return {};
  const auto* p = static_cast<const char*>(GlobalLock(h));
  if (!p) return {};
  const size_t n = GlobalSize(h);
  std::string s(p, std::find(p, p + n, '\0'));
  GlobalUnlock(h);
  return s;
}

void Portapapeles::setText(const std::u16string& text) {
  Abierto a;
  if (!a.ok) return;
  EmptyClipboard();
  const size_t bytes = (text.size() + 1) * sizeof(char16_t);
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!g) return;
  if (void* p = GlobalLock(g)) {
    std::copy(text.c_str(), text.c_str() + text.size() + 1, static_cast<char16_t*>(p));
    GlobalUnlock(g);
    if (SetClipboardData(CF_UNICODETEXT, g)) return;  // the clipboard owns it now
  }
  GlobalFree(g);
}

// ---- Help, web, fonts, pointer --------------------------------------------------------

std::filesystem::path Ayuda::pagina(int topic) const {
  for (const auto& c : carpetas_) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(c / "help" / "index.html", ec))
      return c / "help" / paginaAyuda(topic);
  }
  return {};
}

void Ayuda::showTopic(int topic) {
  const std::filesystem::path p = pagina(topic);
  if (p.empty()) {
    mensajes_.show(u"No se encuentra la carpeta help de Kalyxon junto al programa.",
                   platform::Buttons::Ok, u"Ayuda de Kalyxon");
    return;
  }
  const std::wstring w = p.wstring();
  const auto r = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", w.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (r <= 32)
    mensajes_.show(u"No se puede abrir la ayuda en el navegador:\r\n" + p.u16string(),
                   platform::Buttons::Ok, u"Ayuda de Kalyxon");
}

void Navegador::open(const std::string& url) {
  const std::u16string u = util::fromUtf8(url);
  ShellExecuteW(nullptr, L"open", W(u), nullptr, nullptr, SW_SHOWNORMAL);
}

namespace {
int CALLBACK anadeFuente(const LOGFONTW* lf, const TEXTMETRICW*, DWORD, LPARAM lp) {
  auto* nombres = reinterpret_cast<std::set<std::u16string>*>(lp);
  if (lf->lfFaceName[0] != L'@') nombres->insert(U(lf->lfFaceName));  // '@': vertical variants
  return 1;
}
}  // namespace

std::vector<std::u16string> Fuentes::screenFonts() {
  std::set<std::u16string> nombres;
  HDC dc = GetDC(nullptr);
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  EnumFontFamiliesExW(dc, &lf, anadeFuente, reinterpret_cast<LPARAM>(&nombres), 0);
  ReleaseDC(nullptr, dc);
  return {nombres.begin(), nombres.end()};
}

void Puntero::setBusy(bool busy) {
  nivel_ = std::max(0, nivel_ + (busy ? 1 : -1));
  SetCursor(LoadCursorW(nullptr, nivel_ > 0 ? IDC_WAIT : IDC_ARROW));
}

bool EstadoTeclas::shiftDown() { return (GetKeyState(VK_SHIFT) & 0x8000) != 0; }
bool EstadoTeclas::ctrlDown() { return (GetKeyState(VK_CONTROL) & 0x8000) != 0; }
int EstadoTeclas::capsLockState() { return static_cast<unsigned short>(GetKeyState(VK_CAPITAL)); }

// ---- Progress ---------------------------------------------------------------------------

void Progreso::begin(const std::u16string&, std::function<void()> stop) {
  if (nivel_++ > 0) return;
  stop_ = std::move(stop);
  lugar_ = donde_ ? donde_() : Lugar{};
  if (lugar_.barra) {
    SendMessageW(hwnd(lugar_.barra), PBM_SETRANGE32, 0, 1000);
    SendMessageW(hwnd(lugar_.barra), PBM_SETPOS, 0, 0);
    ShowWindow(hwnd(lugar_.barra), SW_SHOW);
  }
  if (lugar_.boton && stop_) ShowWindow(hwnd(lugar_.boton), SW_SHOW);
}

void Progreso::step(long long done, long long total) {
  if (nivel_ != 1 || !lugar_.barra || total <= 0) return;
  const long long pos = std::clamp(done * 1000 / total, 0LL, 1000LL);
  SendMessageW(hwnd(lugar_.barra), PBM_SETPOS, static_cast<WPARAM>(pos), 0);
}

void Progreso::end() {
  if (nivel_ == 0 || --nivel_ > 0) return;
  if (lugar_.barra) ShowWindow(hwnd(lugar_.barra), SW_HIDE);
  if (lugar_.boton) ShowWindow(hwnd(lugar_.boton), SW_HIDE);
  lugar_ = {};
  stop_ = nullptr;
}

void Progreso::detiene() {
  if (stop_) stop_();
}

}  // namespace kalyxon::win32ui
