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

}  // namespace

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

}  // namespace kalyxon::win32
