#include "win32/ui/escritorio.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#undef MessageBox

#include <algorithm>
#include <functional>

#include "app/aplicacion.h"
#include "app/eventos.h"
#include "app/frmace.h"
#include "app/kalyxon.h"
#include "app/menus.h"
#include "conversion/frmtra.h"
#include "dictionary/diccionario.h"
#include "qt/modelos.h"

namespace kalyxon::win32ui {

namespace {

HWND hwnd(void* p) { return static_cast<HWND>(p); }

const wchar_t* kClase = L"KalyxonVentana";

int dpi() {
  static const int d = [] {
    HDC dc = GetDC(nullptr);
    const int v = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(nullptr, dc);
    return v > 0 ? v : 96;
  }();
  return d;
}
// Twips (1/1440 inch) are the unit the models keep geometry in; layout
// constants below are pixels at 96 dpi.
int twipsPx(int twips) { return MulDiv(twips, dpi(), 1440); }
int pxTwips(int px) { return MulDiv(px, 1440, dpi()); }
int px(int p96) { return MulDiv(p96, dpi(), 96); }

// The models keep "\n" line ends; an edit control shows "\r\n" only.
std::u16string aEdit(const std::u16string& s) {
  std::u16string out;
  out.reserve(s.size() + s.size() / 16);
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == u'\n' && (i == 0 || s[i - 1] != u'\r')) out.push_back(u'\r');
    out.push_back(s[i]);
  }
  return out;
}
std::u16string deEdit(const std::u16string& s) {
  std::u16string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i)
    if (!(s[i] == u'\r' && i + 1 < s.size() && s[i + 1] == u'\n')) out.push_back(s[i]);
  return out;
}

std::u16string textoDe(HWND h) {
  const int n = GetWindowTextLengthW(h);
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  const int leidos = GetWindowTextW(h, s.data(), n + 1);
  return std::u16string(reinterpret_cast<const char16_t*>(s.data()), static_cast<size_t>(std::max(0, leidos)));
}

void ponTexto(HWND h, const std::u16string& t) {
  if (textoDe(h) != t) SetWindowTextW(h, W(t));
}

uint32_t bgr(uint32_t rgb) { return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF); }

// Fonts by face, size and weight, made once and kept for the program's life.
class CacheFuentes {
 public:
  ~CacheFuentes() {
    for (auto& [k, f] : cache_) DeleteObject(f);
  }
  HFONT da(const std::u16string& cara, int altoPx96, bool negrita = false) {
    const std::u16string clave = cara + u'|' + std::u16string(1, char16_t(altoPx96)) + (negrita ? u"b" : u"");
    if (auto it = cache_.find(clave); it != cache_.end()) return it->second;
    HFONT f = CreateFontW(-px(altoPx96), 0, 0, 0, negrita ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                          DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                          DEFAULT_PITCH, W(cara));
    cache_[clave] = f;
    return f;
  }

 private:
  std::map<std::u16string, HFONT> cache_;
};

}  // namespace

// ---------------------------------------------------------------------------

struct Escritorio::Ventana {
  enum class Tipo { Principal, Aviso, Conversion, Acerca };
  enum class Clase { Check, Etiqueta, UniEtiqueta, Imagen, Lista, Boton, Texto, UniTexto, Logo };

  struct Ctl {
    std::string nombre;
    Clase clase;
    vm::Control* modelo;
    HWND h = nullptr;
    RECT r{};                 // place in the client area, pixels
    std::u16string mostrado;  // text last written from the model
    std::string picture;      // picture last shown
    HICON icono = nullptr;
    std::vector<std::u16string> items;
    bool enOtraPestana = false;  // a box of a tab not shown
  };
  // A tab of the window's tab control: its caption's model and the box it shows.
  struct Pestana {
    vm::Control* modelo;
    std::string caja;
  };

  Ventana(Escritorio& e, Tipo t, vm::Window& v) : esc(e), tipo(t), modelo(v) {}
  ~Ventana() {
    if (h) DestroyWindow(h);
    for (auto& c : ctls)
      if (c.icono) DestroyIcon(c.icono);
    if (iconoVentana) DestroyIcon(iconoVentana);
  }

  Escritorio& esc;
  Tipo tipo;
  vm::Window& modelo;
  HWND h = nullptr;
  HWND tooltip = nullptr;
  HICON iconoVentana = nullptr;
  std::vector<Ctl> ctls;
  std::vector<NodoMenu> arbol;
  std::map<UINT, std::string> idMenu;
  std::map<HMENU, const NodoMenu*> popups;
  std::u16string firmaMenus;
  bool enMenu = false;
  bool renderizando = false;
  vm::Window aplicada{};
  bool geometriaAplicada = false;
  HWND barra = nullptr, detener = nullptr;  // progress bar and its stop button
  HWND pestanas = nullptr;                   // the tab control, if any
  RECT rPestanas{};
  std::vector<Pestana> hojas;
  CacheFuentes fuentes;

  Ctl* ctl(std::string_view n) {
    for (auto& c : ctls)
      if (c.nombre == n) return &c;
    return nullptr;
  }
  bool enHoja(const Ctl& c) const {
    return std::any_of(hojas.begin(), hojas.end(), [&](const Pestana& p) { return p.caja == c.nombre; });
  }
  Ctl* ctlDe(HWND hc) {
    for (auto& c : ctls)
      if (c.h == hc) return &c;
    return nullptr;
  }

  // Something dropped at (x, y) of the main window: over the change-form
  // picture it is a word to look up, anywhere else the window's drop.
  void suelta(int x, int y, const std::u16string& texto) {
    const Ctl* cam = ctl("imgcam");
    const bool sobreCam = cam && ChildWindowFromPoint(h, POINT{x, y}) == cam->h;
    emite(sobreCam ? "imgcam_OLEDragDrop" : "Form_OLEDragDrop", texto);
  }

  // Buttons of the notice and of the About window are named with their
  // window's name, the main window's alone.
  std::string prefijo() const {
    if (tipo == Tipo::Aviso) return "frmini_";
    if (tipo == Tipo::Acerca) return "frmace_";
    return {};
  }

  void emite(std::string_view ev, const std::u16string& texto = {}) {
    if (tipo == Tipo::Conversion)
      esc.eventoConversion(ev);
    else
      esc.evento(ev, texto);
  }

  // ---- Creation ----------------------------------------------------------------

  void crea() {
    const DWORD estilo = tipo == Tipo::Conversion
                             ? WS_OVERLAPPEDWINDOW
                             : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    // The About window stays above the main window, which is on top of every other.
    const DWORD ex = tipo == Tipo::Aviso    ? WS_EX_DLGMODALFRAME
                     : tipo == Tipo::Acerca ? WS_EX_DLGMODALFRAME | WS_EX_TOPMOST
                                            : 0;
    h = CreateWindowExW(ex, kClase, W(modelo.caption), estilo,
                        CW_USEDEFAULT, CW_USEDEFAULT, twipsPx(modelo.width), twipsPx(modelo.height),
                        nullptr, nullptr, GetModuleHandleW(nullptr), this);
    tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, h,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    iconoVentana = static_cast<HICON>(esc.icono("kalyxon.ico", 32));
    if (iconoVentana) {
      SendMessageW(h, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(iconoVentana));
      SendMessageW(h, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(iconoVentana));
    }
  }

  HWND hijo(const wchar_t* clase, DWORD estilo, DWORD ex = 0) {
    const int id = 100 + static_cast<int>(ctls.size());
    HWND c = CreateWindowExW(ex, clase, L"", WS_CHILD | estilo, 0, 0, 10, 10, h,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                             nullptr);
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return c;
  }

  void anade(std::string nombre, Clase clase, vm::Control& m, RECT r) {
    HWND c = nullptr;
    switch (clase) {
      case Clase::Check: c = hijo(L"BUTTON", WS_TABSTOP | BS_CHECKBOX); break;
      case Clase::Etiqueta: c = hijo(L"STATIC", SS_NOPREFIX | SS_LEFT); break;
      case Clase::UniEtiqueta:
        c = hijo(L"STATIC", SS_NOPREFIX | SS_CENTER | SS_CENTERIMAGE | SS_NOTIFY, WS_EX_STATICEDGE);
        break;
      case Clase::Imagen: c = hijo(L"BUTTON", BS_ICON | BS_FLAT | BS_PUSHBUTTON); break;
      case Clase::Lista: c = hijo(L"LISTBOX", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY, WS_EX_CLIENTEDGE); break;
      case Clase::Boton: c = hijo(L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON); break;
      case Clase::Texto:
      case Clase::UniTexto:
        c = hijo(L"EDIT", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                 WS_EX_CLIENTEDGE);
        SendMessageW(c, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
        break;
      case Clase::Logo: c = hijo(L"STATIC", SS_ICON | SS_CENTERIMAGE); break;
    }
    if (tooltip) {
      TOOLINFOW ti{};
      ti.cbSize = sizeof(ti);
      ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      ti.hwnd = h;
      ti.uId = reinterpret_cast<UINT_PTR>(c);
      ti.lpszText = const_cast<wchar_t*>(L"");
      SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    ctls.push_back({std::move(nombre), clase, &m, c, r, {}, {}, nullptr, {}});
  }

  // ---- Menus: built from the model's tree, rebuilt when the model changes --------

  void llenaMenu(HMENU m, const std::vector<NodoMenu>& nodos) {
    for (const NodoMenu& n : nodos) {
      if (!n.item->visible) continue;
      if (n.separador()) {
        AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
        continue;
      }
      const UINT gris = n.item->enabled ? 0 : MF_GRAYED;
      if (!n.hijos.empty()) {
        HMENU sub = CreatePopupMenu();
        popups[sub] = &n;
        llenaMenu(sub, n.hijos);
        AppendMenuW(m, MF_POPUP | gris, reinterpret_cast<UINT_PTR>(sub), W(n.item->caption));
      } else {
        const UINT id = 2000 + static_cast<UINT>(idMenu.size());
        idMenu[id] = n.nombre;
        AppendMenuW(m, MF_STRING | gris | (n.item->checked ? MF_CHECKED : 0), id, W(n.item->caption));
      }
    }
  }

  static void firma(const std::vector<NodoMenu>& nodos, std::u16string& out) {
    for (const NodoMenu& n : nodos) {
      out += n.item->caption;
      out += char16_t(u'0' + (n.item->checked ? 1 : 0) + (n.item->enabled ? 2 : 0) + (n.item->visible ? 4 : 0));
      out += u'\x1F';
      if (!n.hijos.empty()) {
        out += u'(';
        firma(n.hijos, out);
        out += u')';
      }
    }
  }

  void renderMenus() {
    if (arbol.empty() || enMenu) return;
    std::u16string f;
    firma(arbol, f);
    if (f == firmaMenus) return;
    firmaMenus = f;
    idMenu.clear();
    popups.clear();
    HMENU nueva = CreateMenu();
    llenaMenu(nueva, arbol);
    HMENU vieja = GetMenu(h);
    SetMenu(h, nueva);
    if (vieja) DestroyMenu(vieja);
    DrawMenuBar(h);
  }

  // A menu is about to open: the main window's menus caption their items then
  // (the group's click), and the items are written again from the model.
  void abreMenu(HMENU m) {
    auto it = popups.find(m);
    if (it == popups.end()) return;
    const NodoMenu* n = it->second;
    if (tipo == Tipo::Principal) emite(n->nombre + "_Click");
    while (GetMenuItemCount(m) > 0) DeleteMenu(m, 0, MF_BYPOSITION);
    llenaMenu(m, n->hijos);
  }

  // ---- Rendering -----------------------------------------------------------------

  void renderCtl(Ctl& c) {
    vm::Control& m = *c.modelo;
    switch (c.clase) {
      case Clase::Check: {
        auto& cb = static_cast<vm::CheckBox&>(m);
        ponTexto(c.h, cb.caption);
        const WPARAM estado = cb.value ? BST_CHECKED : BST_UNCHECKED;
        if (static_cast<WPARAM>(SendMessageW(c.h, BM_GETCHECK, 0, 0)) != estado)
          SendMessageW(c.h, BM_SETCHECK, estado, 0);
        break;
      }
      case Clase::Etiqueta: {
        auto& l = static_cast<vm::Label&>(m);
        ponTexto(c.h, l.caption);
        if (!l.font.empty()) SendMessageW(c.h, WM_SETFONT, reinterpret_cast<WPARAM>(fuentes.da(l.font, 12)), TRUE);
        break;
      }
      case Clase::UniEtiqueta: {
        auto& l = static_cast<vm::UniLabel&>(m);
        HFONT f = fuentes.da(l.font, 20);
        if (reinterpret_cast<HFONT>(SendMessageW(c.h, WM_GETFONT, 0, 0)) != f)
          SendMessageW(c.h, WM_SETFONT, reinterpret_cast<WPARAM>(f), TRUE);
        ponTexto(c.h, l.caption);
        InvalidateRect(c.h, nullptr, TRUE);  // the dimmed state is drawn by WM_CTLCOLORSTATIC
        break;
      }
      case Clase::Imagen:
      case Clase::Logo: {
        auto& img = static_cast<vm::Image&>(m);
        if (img.picture != c.picture) {
          c.picture = img.picture;
          if (c.icono) DestroyIcon(c.icono);
          c.icono = static_cast<HICON>(esc.icono(img.picture, c.clase == Clase::Logo ? 48 : 20));
          if (c.clase == Clase::Logo) {
            SendMessageW(c.h, STM_SETICON, reinterpret_cast<WPARAM>(c.icono), 0);
          } else {
            SendMessageW(c.h, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(c.icono));
            // A picture that cannot be loaded leaves a mark, never a blank button.
            const LONG_PTR s = GetWindowLongPtrW(c.h, GWL_STYLE);
            SetWindowLongPtrW(c.h, GWL_STYLE, c.icono ? (s | BS_ICON) : (s & ~static_cast<LONG_PTR>(BS_ICON)));
            SetWindowTextW(c.h, c.icono ? L"" : L"?");
          }
        }
        break;
      }
      case Clase::Lista: {
        auto& l = static_cast<vm::ListBox&>(m);
        if (c.items != l.items) {
          c.items = l.items;
          SendMessageW(c.h, LB_RESETCONTENT, 0, 0);
          for (const auto& s : c.items) SendMessageW(c.h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(s)));
        }
        if (SendMessageW(c.h, LB_GETCURSEL, 0, 0) != l.selected) SendMessageW(c.h, LB_SETCURSEL, l.selected, 0);
        break;
      }
      case Clase::Boton: ponTexto(c.h, m.caption); break;
      case Clase::Texto:
      case Clase::UniTexto: {
        const bool uni = c.clase == Clase::UniTexto;
        const std::u16string& t = uni ? static_cast<vm::UniText&>(m).text : static_cast<vm::TextBox&>(m).text;
        const std::u16string& cara = uni ? static_cast<vm::UniText&>(m).font : static_cast<vm::TextBox&>(m).font;
        if (!cara.empty()) {
          HFONT f = fuentes.da(cara, uni ? 16 : 14);
          if (reinterpret_cast<HFONT>(SendMessageW(c.h, WM_GETFONT, 0, 0)) != f)
            SendMessageW(c.h, WM_SETFONT, reinterpret_cast<WPARAM>(f), TRUE);
        }
        // Only what the model changed is written back, so the caret and the
        // undo of a box the user is typing in survive a render.
        if (t != c.mostrado) {
          c.mostrado = t;
          SetWindowTextW(c.h, W(aEdit(t)));
        }
        break;
      }
    }
    if (tooltip) {
      TOOLINFOW ti{};
      ti.cbSize = sizeof(ti);
      ti.hwnd = h;
      ti.uId = reinterpret_cast<UINT_PTR>(c.h);
      ti.lpszText = const_cast<wchar_t*>(W(m.tooltip));
      SendMessageW(tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    if (IsWindowEnabled(c.h) != (m.enabled ? TRUE : FALSE)) EnableWindow(c.h, m.enabled);
    const bool visible = (GetWindowLongPtrW(c.h, GWL_STYLE) & WS_VISIBLE) != 0;
    const bool quiere = m.visible && !c.enOtraPestana;
    if (visible != quiere) ShowWindow(c.h, quiere ? SW_SHOWNA : SW_HIDE);
  }

  // The tabs' captions from the model; only the shown tab's box is visible.
  // Which tab is shown is the window's own state: it opens on the first.
  void renderPestanas() {
    if (!pestanas) return;
    if (modelo.visible && !IsWindowVisible(h)) SendMessageW(pestanas, TCM_SETCURSEL, 0, 0);
    const int actual = static_cast<int>(SendMessageW(pestanas, TCM_GETCURSEL, 0, 0));
    for (size_t i = 0; i < hojas.size(); ++i) {
      wchar_t escrito[256] = {};
      TCITEMW it{};
      it.mask = TCIF_TEXT;
      it.pszText = escrito;
      it.cchTextMax = 256;
      SendMessageW(pestanas, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&it));
      const std::u16string& t = hojas[i].modelo->caption;
      if (reinterpret_cast<const char16_t*>(escrito) != t) {
        it.pszText = const_cast<wchar_t*>(W(t));
        SendMessageW(pestanas, TCM_SETITEMW, i, reinterpret_cast<LPARAM>(&it));
      }
      if (Ctl* c = ctl(hojas[i].caja)) c->enOtraPestana = static_cast<int>(i) != actual;
    }
  }

  void render() {
    renderizando = true;
    ponTexto(h, modelo.caption);
    renderMenus();
    renderPestanas();
    for (auto& c : ctls) renderCtl(c);
    coloca();
    if (tipo == Tipo::Principal) renderGeometria();
    if (tipo == Tipo::Conversion) renderGeometriaConversion();
    const bool visible = IsWindowVisible(h) != 0;
    if (modelo.visible && !visible) ShowWindow(h, SW_SHOW);
    if (!modelo.visible && visible) ShowWindow(h, SW_HIDE);
    renderizando = false;
  }

  // The main window: topmost, place, width, and the height the model asks for
  // (frame included, as it has always been measured); the compact heights
  // leave the menu bar only, the open list adds its own rows.
  void renderGeometria() {
    const vm::Window& v = modelo;
    if (!geometriaAplicada || v.topmost != aplicada.topmost)
      SetWindowPos(h, v.topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RECT rw, rc;
    GetWindowRect(h, &rw);
    GetClientRect(h, &rc);
    const int marco = (rw.bottom - rw.top) - (rc.bottom - rc.top);
    int cliente = twipsPx(v.height) - marco;
    const bool compacta = v.height > 0 && cliente < px(24);
    const Ctl* lista = ctl("lstfon");
    const bool listaAbierta = lista && (lista->modelo->visible || ctl("cmdace")->modelo->visible);
    if (compacta) {
      cliente = 0;
    } else {
      cliente = std::max(cliente, px(64));
      if (listaAbierta) cliente = std::max(cliente, px(64 + 122));
      if (barra && IsWindowVisible(barra)) cliente = std::max(cliente, px(64 + 24));
    }
    for (auto& c : ctls)
      if (compacta && IsWindowVisible(c.h)) ShowWindow(c.h, SW_HIDE);
    int x = rw.left, y = rw.top;
    if (!geometriaAplicada || v.left != aplicada.left || v.top != aplicada.top) {
      // The model keeps the frame's top-left corner; 0 means "where it was put".
      if (v.left > 0) x = twipsPx(v.left);
      if (v.top > 0) y = twipsPx(v.top);
    }
    const int ancho = v.width > 0 ? twipsPx(v.width) : rw.right - rw.left;
    const int alto = cliente + marco;
    if (x != rw.left || y != rw.top || ancho != rw.right - rw.left || alto != rw.bottom - rw.top)
      SetWindowPos(h, nullptr, x, y, ancho, alto, SWP_NOZORDER | SWP_NOACTIVATE);
    aplicada = v;
    geometriaAplicada = true;
  }

  void renderGeometriaConversion() {
    const vm::Window& v = modelo;
    if (geometriaAplicada && v.left == aplicada.left && v.top == aplicada.top && v.width == aplicada.width &&
        v.height == aplicada.height)
      return;
    RECT rw;
    GetWindowRect(h, &rw);
    const int x = v.left > 0 || v.top > 0 ? twipsPx(v.left) : rw.left;
    const int y = v.left > 0 || v.top > 0 ? twipsPx(v.top) : rw.top;
    const int an = v.width > 0 ? twipsPx(v.width) : rw.right - rw.left;
    const int al = v.height > 0 ? twipsPx(v.height) : rw.bottom - rw.top;
    SetWindowPos(h, nullptr, x, y, an, al, SWP_NOZORDER | SWP_NOACTIVATE);
    aplicada = v;
    geometriaAplicada = true;
  }

  // Places the controls. The conversion window scales its design rectangles
  // to the client area; the others have fixed places.
  void coloca() {
    RECT rc;
    GetClientRect(h, &rc);
    if (tipo == Tipo::Conversion) {
      const double sx = rc.right / static_cast<double>(twipsPx(120 + 4815 + 120));
      const double sy = rc.bottom / static_cast<double>(twipsPx(2520 + 2295 + 120));
      auto pon = [&](const char* n, Frmtra::Geometria g) {
        if (Ctl* c = ctl(n))
          MoveWindow(c->h, static_cast<int>(twipsPx(g.left) * sx), static_cast<int>(twipsPx(g.top) * sy),
                     static_cast<int>(twipsPx(g.width) * sx), static_cast<int>(twipsPx(g.height) * sy), TRUE);
      };
      pon("Label1", Frmtra::kGeoLabel1);
      pon("txtori", Frmtra::kGeoTxtori);
      pon("txterr", Frmtra::kGeoTxterr);
      pon("Label2", Frmtra::kGeoLabel2);
      pon("UniText1", Frmtra::kGeoUniText1);
      const Frmtra::Geometria u = Frmtra::kGeoUniText1;
      const int fondo = static_cast<int>(twipsPx(u.top + u.height) * sy);
      if (barra) MoveWindow(barra, px(8), fondo - px(20), rc.right - px(100), px(16), TRUE);
      if (detener) MoveWindow(detener, rc.right - px(86), fondo - px(24), px(78), px(22), TRUE);
      return;
    }
    // Negative places count from the right or the bottom edge.
    const int ancho96 = MulDiv(rc.right, 96, dpi()), alto96 = MulDiv(rc.bottom, 96, dpi());
    auto mide = [&](RECT r) {
      if (r.right < 0) r.right += ancho96;
      if (r.left < 0) r.left += ancho96;
      if (r.bottom < 0) r.bottom += alto96;
      if (r.top < 0) r.top += alto96;
      return RECT{px(r.left), px(r.top), px(r.right), px(r.bottom)};
    };
    for (auto& c : ctls) {
      if (enHoja(c)) continue;  // placed in the tab control below
      const RECT r = mide(c.r);
      MoveWindow(c.h, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    }
    if (pestanas) {
      RECT r = mide(rPestanas);
      MoveWindow(pestanas, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
      SendMessageW(pestanas, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
      for (const Pestana& p : hojas)
        if (Ctl* c = ctl(p.caja)) MoveWindow(c->h, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    }
    if (tipo == Tipo::Principal && barra) {
      const Ctl* lista = ctl("lstfon");
      const int y = lista && IsWindowVisible(lista->h) ? 64 + 122 : 64;
      MoveWindow(barra, px(6), px(y + 2), rc.right - px(96), px(16), TRUE);
      MoveWindow(detener, rc.right - px(86), px(y), px(80), px(22), TRUE);
    }
  }

  // ---- The window procedure ----------------------------------------------------------

  LRESULT proc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
      case WM_COMMAND: {
        if (lp == 0 && HIWORD(wp) == 0) {  // a menu item
          auto it = idMenu.find(LOWORD(wp));
          if (it != idMenu.end()) emite(it->second + "_Click");
          return 0;
        }
        HWND hc = reinterpret_cast<HWND>(lp);
        if (hc == detener) {
          esc.progreso_.detiene();
          return 0;
        }
        Ctl* c = ctlDe(hc);
        if (!c || renderizando) break;
        const WORD aviso = HIWORD(wp);
        if (c->clase == Clase::Check && aviso == BN_CLICKED) {
          // The value is the model's: a click asks it to change, and its
          // click handler runs there.
          auto& cb = static_cast<vm::CheckBox&>(*c->modelo);
          cb.setValue(cb.value ? 0 : 1);
          emite("");
        } else if ((c->clase == Clase::Imagen || c->clase == Clase::Boton) && aviso == BN_CLICKED) {
          emite(prefijo() + c->nombre + "_Click");
        } else if (c->clase == Clase::UniEtiqueta && aviso == STN_CLICKED) {
          emite(c->nombre + "_Click");
        } else if (c->clase == Clase::Lista && aviso == LBN_SELCHANGE) {
          static_cast<vm::ListBox&>(*c->modelo).selected = static_cast<int>(SendMessageW(hc, LB_GETCURSEL, 0, 0));
          emite("lstfon_Click");
        } else if ((c->clase == Clase::Texto || c->clase == Clase::UniTexto) && aviso == EN_CHANGE) {
          const std::u16string t = deEdit(textoDe(hc));
          c->mostrado = t;
          if (c->clase == Clase::UniTexto)
            static_cast<vm::UniText&>(*c->modelo).text = t;
          else
            static_cast<vm::TextBox&>(*c->modelo).text = t;
        }
        return 0;
      }
      case WM_PARENTNOTIFY:
        // A press anywhere in the upper box recognises the copied text's font
        // before the paste that usually follows.
        if (tipo == Tipo::Conversion &&
            (LOWORD(wp) == WM_LBUTTONDOWN || LOWORD(wp) == WM_RBUTTONDOWN || LOWORD(wp) == WM_MBUTTONDOWN)) {
          POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
          Ctl* c = ctl("txtori");
          if (c && ChildWindowFromPoint(h, p) == c->h) emite("txtori_MouseDown");
        }
        break;
      case WM_CTLCOLORSTATIC: {
        Ctl* c = ctlDe(reinterpret_cast<HWND>(lp));
        HDC dc = reinterpret_cast<HDC>(wp);
        if (c && c->clase == Clase::UniEtiqueta) {
          const auto& l = static_cast<vm::UniLabel&>(*c->modelo);
          // While a dictionary is being filled from a text the label dims.
          SetTextColor(dc, l.display11 == 10 ? RGB(0x80, 0x80, 0x80) : RGB(0, 0, 0));
          SetBkColor(dc, RGB(255, 255, 255));
          return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
        }
        if (c && c->clase == Clase::Etiqueta) {
          SetTextColor(dc, bgr(static_cast<vm::Label&>(*c->modelo).foreColor));
          SetBkMode(dc, TRANSPARENT);
          return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
      }
      case WM_NOTIFY: {
        const auto* n = reinterpret_cast<const NMHDR*>(lp);
        if (pestanas && n->hwndFrom == pestanas && n->code == TCN_SELCHANGE) {
          render();
          return 0;
        }
        break;
      }
      case WM_INITMENUPOPUP:
        abreMenu(reinterpret_cast<HMENU>(wp));
        return 0;
      case WM_ENTERMENULOOP: enMenu = true; break;
      case WM_EXITMENULOOP:
        enMenu = false;
        renderMenus();
        break;
      case WM_ACTIVATE:
        // The main window is activated when it becomes the active window
        // again after the notice or the conversion window; coming back from
        // another application or from a box is not an activation (each one
        // reloads the settings file).
        if (tipo == Tipo::Principal && LOWORD(wp) != WA_INACTIVE && lp &&
            (reinterpret_cast<HWND>(lp) == hwnd(esc.ventana("frmini")) ||
             reinterpret_cast<HWND>(lp) == hwnd(esc.ventana("frmtra"))))
          emite("Form_Activate");
        break;
      case WM_MOVE:
        if (!renderizando && IsWindowVisible(h) && tipo == Tipo::Principal) {
          // The user moved the window: the model keeps the place for the next start.
          RECT r;
          GetWindowRect(h, &r);
          modelo.left = aplicada.left = pxTwips(r.left);
          modelo.top = aplicada.top = pxTwips(r.top);
        }
        break;
      case WM_SIZE:
        coloca();
        break;
      case WM_CLOSE:
        if (tipo == Tipo::Principal) {
          emite("Form_Close");  // never cancelled: the engine saves and unloads
        } else if (tipo == Tipo::Aviso) {
          if (modelo.visible) emite("frmini_cmdcan_Click");  // the frame's button is "Cancelar"
        } else if (tipo == Tipo::Acerca) {
          if (modelo.visible) emite("frmace_cmdace_Click");  // the frame's button is "Aceptar"
        } else {
          modelo.visible = false;
          emite("");
        }
        return 0;
    }
    return DefWindowProcW(h, msg, wp, lp);
  }

  static LRESULT CALLBACK procEstatico(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
      auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
      SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
      static_cast<Ventana*>(cs->lpCreateParams)->h = h;
    }
    auto* v = reinterpret_cast<Ventana*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    return v && v->h == h ? v->proc(msg, wp, lp) : DefWindowProcW(h, msg, wp, lp);
  }
};

// ---------------------------------------------------------------------------

namespace {

void registraClase() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  HINSTANCE inst = GetModuleHandleW(nullptr);
  if (GetClassInfoExW(inst, kClase, &wc)) return;
  wc = WNDCLASSEXW{};
    wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = Escritorio::Ventana::procEstatico;
  wc.hInstance = inst;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClase;
  RegisterClassExW(&wc);
}

}  // namespace

Escritorio::Escritorio(std::filesystem::path carpeta, std::vector<std::filesystem::path> carpetasDatos)
    : carpetasDatos_(std::move(carpetasDatos)),
      mensajes_([this] { return ventanaActiva(); }),
      entradas_([this] { return ventanaActiva(); }),
      archivos_([this] { return ventanaActiva(); }),
      bomba_([this] { render(); }),
      ayuda_(carpetasDatos_, mensajes_) {
  INITCOMMONCONTROLSEX icc{static_cast<DWORD>(sizeof(INITCOMMONCONTROLSEX)), ICC_PROGRESS_CLASS | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&icc);
  registraClase();
  platform::Services sv{&mensajes_, &entradas_, &archivos_, &bomba_,  &portapapeles_,
                        &ayuda_,    &navegador_, &fuentes_, &puntero_, &teclas_,
                        &envio_,    &hook_,      &progreso_};
  k_ = std::make_unique<Kalyxon>(sv, std::move(carpeta));
  Form1& f = k_->form1;
  using C = Ventana::Clase;

  // The main window: mode check boxes, the Unicode label, the word label; the
  // last character's information and the change-form and mark pictures; the
  // embedded list with its "Aceptar" while a choice is open.
  principal_ = std::make_unique<Ventana>(*this, Ventana::Tipo::Principal, f.ventana);
  principal_->crea();
  auto& p = *principal_;
  p.arbol = arbolMenus(f);
  p.anade("chkgri", C::Check, f.chkgri, {6, 6, 66, 28});
  p.anade("chkdic", C::Check, f.chkdic, {68, 6, 150, 28});
  p.anade("UniLabel1", C::UniEtiqueta, f.UniLabel1, {152, 3, 290, 33});
  p.anade("lblpal", C::Etiqueta, f.lblpal, {294, 9, -4, 29});
  int x = 6;
  for (auto [n, l] : {std::pair{"lblrec", &f.lblrec}, {"lblhex", &f.lblhex}, {"lbluni", &f.lbluni},
                      {"lblfon", &f.lblfon}, {"lblasc", &f.lblasc}}) {
    p.anade(n, C::Etiqueta, *l, {x, 42, x + 30, 58});
    x += 32;
  }
  x = 168;
  for (auto [n, i] : {std::pair{"imgcam", &f.imgcam}, {"imadie", &f.imadie}, {"imacir", &f.imacir},
                      {"imaiot", &f.imaiot}, {"imagra", &f.imagra}, {"imaagu", &f.imaagu},
                      {"imaasp", &f.imaasp}, {"imasua", &f.imasua}}) {
    p.anade(n, C::Imagen, *i, {x, 37, x + 22, 59});
    x += 23;
  }
  p.anade("lstfon", C::Lista, f.lstfon, {6, 64, -92, 180});
  p.anade("cmdace", C::Boton, f.cmdace, {-86, 64, -6, 88});
  p.barra = CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD, 0, 0, 10, 10, p.h, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  p.detener = CreateWindowExW(0, L"BUTTON", L"Detener", WS_CHILD | BS_PUSHBUTTON, 0, 0, 10, 10, p.h, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  SendMessageW(p.detener, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);

  // The start-up notice.
  Frmini& fi = k_->aplicacion().frmini;
  aviso_ = std::make_unique<Ventana>(*this, Ventana::Tipo::Aviso, fi.ventana);
  aviso_->crea();
  auto& a = *aviso_;
  a.anade("imglog", C::Logo, fi.imglog, {10, 8, 62, 60});
  a.anade("lblnom", C::Etiqueta, fi.lblnom, {72, 10, -110, 36});
  a.anade("lblweb", C::Etiqueta, fi.lblweb, {72, 38, -110, 56});
  a.anade("lblver", C::Etiqueta, fi.lblver, {-104, 38, -10, 56});
  a.anade("txtini", C::Texto, fi.txtini, {10, 66, -10, 272});
  a.anade("cmdace", C::Boton, fi.cmdace, {-190, 280, -104, 306});
  a.anade("cmdcan", C::Boton, fi.cmdcan, {-96, 280, -10, 306});
  SendMessageW(a.ctl("txtini")->h, EM_SETREADONLY, TRUE, 0);
  SendMessageW(a.ctl("lblnom")->h, WM_SETFONT, reinterpret_cast<WPARAM>(a.fuentes.da(u"Segoe UI", 20, true)), FALSE);

  // The About window: logo, name, version, the program's licence, and the
  // dictionaries' attribution and licence in two tabs.
  Frmace& fa = k_->aplicacion().frmace;
  acerca_ = std::make_unique<Ventana>(*this, Ventana::Tipo::Acerca, fa.ventana);
  acerca_->crea();
  auto& ac = *acerca_;
  ac.anade("imglog", C::Logo, fa.imglog, {10, 8, 58, 56});
  ac.anade("lblnom", C::Etiqueta, fa.lblnom, {68, 8, -10, 34});
  ac.anade("lblver", C::Etiqueta, fa.lblver, {68, 36, -10, 54});
  ac.anade("lbldes", C::Etiqueta, fa.lbldes, {10, 64, -10, 82});
  ac.anade("lblide", C::Etiqueta, fa.lblide, {10, 86, -10, 118});
  ac.anade("txtatr", C::Texto, fa.txtatr, {});
  ac.anade("txtlic", C::Texto, fa.txtlic, {});
  ac.anade("lblcar", C::Etiqueta, fa.lblcar, {10, -40, -100, -6});
  ac.anade("cmdace", C::Boton, fa.cmdace, {-90, -36, -10, -10});
  for (const char* n : {"txtatr", "txtlic"}) SendMessageW(ac.ctl(n)->h, EM_SETREADONLY, TRUE, 0);
  SendMessageW(ac.ctl("lblnom")->h, WM_SETFONT, reinterpret_cast<WPARAM>(ac.fuentes.da(u"Segoe UI", 20, true)),
               FALSE);
  // Created after the boxes, so that it lies below them.
  ac.pestanas = CreateWindowExW(0, WC_TABCONTROLW, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP,
                                0, 0, 10, 10, ac.h, nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(ac.pestanas, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  ac.rPestanas = {10, 124, -10, -46};
  ac.hojas = {{&fa.tabatr, "txtatr"}, {&fa.tablic, "txtlic"}};
  for (size_t i = 0; i < ac.hojas.size(); ++i) {
    TCITEMW it{};
    it.mask = TCIF_TEXT;
    it.pszText = const_cast<wchar_t*>(L"");
    SendMessageW(ac.pestanas, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&it));
  }
  SetWindowPos(ac.pestanas, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  k_->aplicacion().acercaDeEnVentana = true;

  // The conversion window, over the conversion object's model.
  Frmtra& t = k_->frmtra();
  const qt::ModeloConversion mc = qt::modeloConversion(t);
  conversion_ = std::make_unique<Ventana>(*this, Ventana::Tipo::Conversion, t.ventana);
  conversion_->crea();
  auto& c = *conversion_;
  for (const auto& m : qt::menusConversion()) {
    NodoMenu n{m.nombre, mc.menus.at(m.nombre), {}};
    if (*m.padre == '\0') {
      c.arbol.push_back(std::move(n));
    } else {
      for (auto& raiz : c.arbol)
        if (raiz.nombre == m.padre) raiz.hijos.push_back(std::move(n));
    }
  }
  c.anade("Label1", C::Etiqueta, t.Label1, {});
  c.anade("txtori", C::Texto, t.txtori, {});
  c.anade("txterr", C::Texto, t.txterr, {});
  c.anade("Label2", C::Etiqueta, t.Label2, {});
  c.anade("UniText1", C::UniTexto, t.UniText1, {});
  c.barra = CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD, 0, 0, 10, 10, c.h, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  c.detener = CreateWindowExW(0, L"BUTTON", L"Detener", WS_CHILD | BS_PUSHBUTTON, 0, 0, 10, 10, c.h, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  SendMessageW(c.detener, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);

  k_->aplicacion().alTerminar = [this] {
    render();
    for (Ventana* v : {acerca_.get(), aviso_.get(), conversion_.get(), principal_.get()}) ShowWindow(v->h, SW_HIDE);
    PostQuitMessage(0);
  };
  soltar_ = std::make_unique<Soltar>(principal_->h, [this](int x, int y, const std::u16string& t) {
    principal_->suelta(x, y, t);
  });
  progreso_.coloca([this] {
    const Ventana& v = GetActiveWindow() == conversion_->h ? *conversion_ : *principal_;
    return Progreso::Lugar{v.barra, v.detener};
  });
}

Escritorio::Ole::Ole() : iniciado(SUCCEEDED(OleInitialize(nullptr))) {}
Escritorio::Ole::~Ole() {
  if (iniciado) OleUninitialize();
}

Escritorio::~Escritorio() {
  soltar_.reset();
  conversion_.reset();
  acerca_.reset();
  aviso_.reset();
  principal_.reset();
  k_.reset();
}

void* Escritorio::icono(const std::string& archivo, int lado) const {
  if (archivo.empty()) return nullptr;
  // Windows loads icons, not PNG: a picture named as PNG is looked for as
  // the icon of the same name.
  std::filesystem::path nombre = std::filesystem::u8path(archivo);
  if (nombre.extension() == ".png") nombre.replace_extension(".ico");
  for (const auto& c : carpetasDatos_) {
    std::error_code ec;
    const auto ruta = c / nombre;
    if (!std::filesystem::is_regular_file(ruta, ec)) continue;
    const std::wstring w = ruta.wstring();
    if (HANDLE i = LoadImageW(nullptr, w.c_str(), IMAGE_ICON, px(lado), px(lado), LR_LOADFROMFILE))
      return i;
  }
  return nullptr;
}

void Escritorio::conectaTeclado(platform::KeyState* teclas, platform::KeySender* envio,
                                platform::KeyboardHook* hook) {
  if (teclas) k_->sv.keys = teclas;
  if (envio) k_->sv.sender = envio;
  if (hook) k_->sv.hook = hook;
}

void* Escritorio::ventana(std::string_view nombre) const {
  if (nombre == "Form1" && principal_) return principal_->h;
  if (nombre == "frmini" && aviso_) return aviso_->h;
  if (nombre == "frmtra" && conversion_) return conversion_->h;
  if (nombre == "frmace" && acerca_) return acerca_->h;
  return nullptr;
}

void* Escritorio::ventanaActiva() const {
  if (HWND a = GetActiveWindow()) return a;
  if (principal_ && IsWindowVisible(principal_->h)) return principal_->h;
  return nullptr;
}

void Escritorio::evento(std::string_view nombre, const std::u16string& texto) {
  eventoEscritorio(*k_, nombre, texto);
  render();
}

void Escritorio::eventoConversion(std::string_view nombre) {
  kalyxon::eventoConversion(*k_, nombre);
  render();
}

void Escritorio::render() {
  if (renderizando_ || !principal_) return;
  renderizando_ = true;
  principal_->render();
  aviso_->render();
  conversion_->render();
  acerca_->render();
  renderizando_ = false;
}

void Escritorio::inicia() { evento("frmini_Load"); }

int Escritorio::ejecuta() {
  MSG m;
  BOOL r;
  while ((r = GetMessageW(&m, nullptr, 0, 0)) > 0) {
    if (m.message == WM_KEYDOWN) {
      HWND raiz = GetAncestor(m.hwnd, GA_ROOT);
      const bool mayus = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
      if (m.wParam == VK_F1 && (raiz == principal_->h || raiz == conversion_->h)) {
        if (raiz == principal_->h)
          evento("F1");
        else
          eventoConversion("UniText1_F1");
        continue;
      }
      // In the About window Enter and Escape are "Aceptar", as in a dialog.
      if ((m.wParam == VK_RETURN || m.wParam == VK_ESCAPE) && raiz == acerca_->h) {
        evento("frmace_cmdace_Click");
        continue;
      }
      // Shift+Insert in the upper box pastes the clipboard's rich text with
      // its legacy codes intact; the engine does the paste.
      const Ventana::Ctl* ori = conversion_->ctl("txtori");
      if (m.wParam == VK_INSERT && mayus && ori && m.hwnd == ori->h) {
        eventoConversion("txtori_Pega");
        continue;
      }
    }
    TranslateMessage(&m);
    DispatchMessageW(&m);
    if (k_->aplicacion().terminado()) break;
  }
  return r < 0 ? 1 : 0;
}

}  // namespace kalyxon::win32ui
