#include "win32/ui/soltar.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

namespace kalyxon::win32ui {

std::vector<std::u16string> Soltar::archivos(void* hdrop) {
  HDROP d = static_cast<HDROP>(hdrop);
  std::vector<std::u16string> nombres;
  const UINT n = DragQueryFileW(d, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < n; ++i) {
    const UINT largo = DragQueryFileW(d, i, nullptr, 0);
    std::wstring w(largo + 1, L'\0');
    w.resize(DragQueryFileW(d, i, w.data(), largo + 1));
    nombres.emplace_back(reinterpret_cast<const char16_t*>(w.data()), w.size());
  }
  return nombres;
}

namespace {

FORMATETC formato(CLIPFORMAT cf) { return {cf, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

// What a data object holds that a drop takes: its Unicode text, or else its
// files, one text each; nothing for anything else.
std::vector<std::u16string> textos(IDataObject* datos) {
  std::vector<std::u16string> out;
  FORMATETC f = formato(CF_UNICODETEXT);
  STGMEDIUM m{};
  if (SUCCEEDED(datos->GetData(&f, &m))) {
    if (const auto* p = static_cast<const char16_t*>(GlobalLock(m.hGlobal))) {
      out.emplace_back(p);
      GlobalUnlock(m.hGlobal);
    }
    ReleaseStgMedium(&m);
    return out;
  }
  f = formato(CF_HDROP);
  if (SUCCEEDED(datos->GetData(&f, &m))) {
    out = Soltar::archivos(m.hGlobal);
    ReleaseStgMedium(&m);
  }
  return out;
}

bool sirve(IDataObject* datos) {
  FORMATETC t = formato(CF_UNICODETEXT), a = formato(CF_HDROP);
  return datos && (datos->QueryGetData(&t) == S_OK || datos->QueryGetData(&a) == S_OK);
}

}  // namespace

class Soltar::Destino : public IDropTarget {
 public:
  Destino(HWND v, AlSoltar al) : v_(v), al_(std::move(al)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** p) override {
    if (riid == IID_IUnknown || riid == IID_IDropTarget) {
      *p = static_cast<IDropTarget*>(this);
      AddRef();
      return S_OK;
    }
    *p = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++cuenta_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG c = --cuenta_;
    if (c == 0) delete this;
    return c;
  }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* datos, DWORD, POINTL, DWORD* efecto) override {
    sirve_ = sirve(datos);
    *efecto = sirve_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* efecto) override {
    *efecto = sirve_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* datos, DWORD, POINTL pt, DWORD* efecto) override {
    *efecto = DROPEFFECT_NONE;
    if (!sirve(datos)) return S_OK;
    *efecto = DROPEFFECT_COPY;
    POINT p{pt.x, pt.y};
    ScreenToClient(v_, &p);
    for (const auto& t : textos(datos)) al_(p.x, p.y, t);
    return S_OK;
  }

 private:
  HWND v_;
  AlSoltar al_;
  ULONG cuenta_ = 1;
  bool sirve_ = false;
};

namespace {

constexpr UINT_PTR kSubclase = 0x4B4C;

// Files dropped by a source that does not use OLE arrive as WM_DROPFILES.
LRESULT CALLBACK archivosSoltados(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR datos) {
  if (msg != WM_DROPFILES) return DefSubclassProc(h, msg, wp, lp);
  HDROP d = reinterpret_cast<HDROP>(wp);
  POINT p{};
  DragQueryPoint(d, &p);
  const auto nombres = Soltar::archivos(d);
  DragFinish(d);
  const AlSoltar& al = *reinterpret_cast<const AlSoltar*>(datos);
  for (const auto& n : nombres) al(p.x, p.y, n);
  return 0;
}

}  // namespace

Soltar::Soltar(void* ventana, AlSoltar alSoltar) : ventana_(ventana), al_(std::move(alSoltar)) {
  HWND v = static_cast<HWND>(ventana);
  SetWindowSubclass(v, archivosSoltados, kSubclase, reinterpret_cast<DWORD_PTR>(&al_));
  DragAcceptFiles(v, TRUE);
  destino_ = new Destino(v, al_);
  if (FAILED(RegisterDragDrop(v, destino_))) {
    destino_->Release();
    destino_ = nullptr;
  }
}

Soltar::~Soltar() {
  HWND v = static_cast<HWND>(ventana_);
  DragAcceptFiles(v, FALSE);
  RemoveWindowSubclass(v, archivosSoltados, kSubclase);
  if (!destino_) return;
  RevokeDragDrop(v);
  destino_->Release();
}

}  // namespace kalyxon::win32ui
