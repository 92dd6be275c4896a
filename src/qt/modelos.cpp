#include "qt/modelos.h"

#include "app/kalyxon.h"
#include "conversion/frmtra.h"

namespace kalyxon::qt {

const std::vector<MenuConversion>& menusConversion() {
  static const std::vector<MenuConversion> m = {
      {"mnutra", ""},          {"mnuathenian", "mnutra"}, {"mnubetacode", "mnutra"},
      {"mnugraeca", "mnutra"}, {"mnugraece", "mnutra"},   {"mnugreek", "mnutra"},
      {"mnusgreek", "mnutra"}, {"mnude", ""},             {"mnuaathenian", "mnude"},
      {"mnuagraeca", "mnude"}, {"mnuagreek", "mnude"},    {"mnuver", ""},
      {"mnucararc", "mnuver"}, {"mnucarpor", "mnuver"},   {"mnuvererr", "mnuver"},
  };
  return m;
}

namespace {

#define KX_CAMPO(destino, objeto, campo)                    \
  if constexpr (requires { destino = &objeto.campo; }) {    \
    destino = &objeto.campo;                                \
    hay = true;                                             \
  }

#define KX_MENU(nombre)                                         \
  if constexpr (requires { &f.nombre; }) {                      \
    if constexpr (requires { m.menus[#nombre] = &f.nombre; }) { \
      m.menus[#nombre] = &f.nombre;                             \
      hay = true;                                               \
    }                                                           \
  }

template <class K>
ModeloConversion conversion(K& k, ReservaConversion& r) {
  ModeloConversion m{&r.ventana, &r.txterr, &r.txtori, &r.UniText1, &r.Label1, &r.Label2, {}};
  for (const auto& mc : menusConversion()) m.menus[mc.nombre] = &r.menus[mc.nombre];
  bool hay = false;
  auto& f = k.frmtra();
  KX_CAMPO(m.ventana, f, ventana)
  KX_CAMPO(m.txterr, f, txterr)
  KX_CAMPO(m.txtori, f, txtori)
  KX_CAMPO(m.UniText1, f, UniText1)
  KX_CAMPO(m.Label1, f, Label1)
  KX_CAMPO(m.Label2, f, Label2)
  KX_MENU(mnutra)
  KX_MENU(mnuathenian)
  KX_MENU(mnubetacode)
  KX_MENU(mnugraeca)
  KX_MENU(mnugraece)
  KX_MENU(mnugreek)
  KX_MENU(mnusgreek)
  KX_MENU(mnude)
  KX_MENU(mnuaathenian)
  KX_MENU(mnuagraeca)
  KX_MENU(mnuagreek)
  KX_MENU(mnuver)
  KX_MENU(mnucararc)
  KX_MENU(mnucarpor)
  KX_MENU(mnuvererr)
  m.delMotor = hay;
  return m;
}

#undef KX_CAMPO
#undef KX_MENU

}  // namespace

ModeloConversion modeloConversion(Kalyxon& k, ReservaConversion& reserva) {
  return conversion(k, reserva);
}

}  // namespace kalyxon::qt
