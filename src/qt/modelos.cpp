#include "qt/modelos.h"

#include "conversion/frmtra.h"

namespace kalyxon::qt {

const std::vector<MenuConversion>& menusConversion() {
  static const std::vector<MenuConversion> m = {
      {"mnutra", ""},          {"mnuathenian", "mnutra"}, {"mnubetacode", "mnutra"},
      {"mnugraeca", "mnutra"}, {"mnugraece", "mnutra"},   {"mnugreek", "mnutra"},
      {"mnusgreek", "mnutra"}, {"mnulin", "mnutra"},      {"mnude", ""},
      {"mnuaathenian", "mnude"}, {"mnuagraeca", "mnude"}, {"mnuagreek", "mnude"},
      {"mnuabetacode", "mnude"},
      {"mnuver", ""},          {"mnucararc", "mnuver"},   {"mnucarpor", "mnuver"},
      {"mnuvererr", "mnuver"},
  };
  return m;
}

ModeloConversion modeloConversion(Frmtra& f) {
  ModeloConversion m{&f.ventana, &f.txterr, &f.txtori, &f.UniText1, &f.Label1, &f.Label2, {}};
  m.menus = {{"mnutra", &f.mnutra},       {"mnuathenian", &f.mnuathenian},
             {"mnubetacode", &f.mnubetacode}, {"mnugraeca", &f.mnugraeca},
             {"mnugraece", &f.mnugraece}, {"mnugreek", &f.mnugreek},
             {"mnusgreek", &f.mnusgreek}, {"mnulin", &f.mnulin},
             {"mnude", &f.mnude},         {"mnuaathenian", &f.mnuaathenian},
             {"mnuagraeca", &f.mnuagraeca}, {"mnuagreek", &f.mnuagreek},
             {"mnuabetacode", &f.mnuabetacode},
             {"mnuver", &f.mnuver},       {"mnucararc", &f.mnucararc},
             {"mnucarpor", &f.mnucarpor}, {"mnuvererr", &f.mnuvererr}};
  return m;
}

}  // namespace kalyxon::qt
