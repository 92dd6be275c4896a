#include "app/eventos.h"

#include "app/aplicacion.h"
#include "app/menus.h"
#include "app/kalyxon.h"
#include "codes/codigos.h"
#include "conversion/frmtra.h"
#include "dictionary/diccionario.h"
#include "greek/alfabeto.h"
#include "greek/compositor.h"
#include "greek/numerus.h"
#include "keyboard/diacriticos.h"
#include "keyboard/tecladohook.h"

namespace kalyxon {

namespace {

// Each subsystem object is asked in turn whether it has a handler of that
// name; the first that has one runs it. Handlers are found at compile time,
// so a handler added to a subsystem is wired here by adding its name below.
#define KX_EN(objeto, metodo)                               \
  if constexpr (requires { objeto.metodo(); }) {            \
    if (ev == #metodo) {                                    \
      if (ejecutar) objeto.metodo();                        \
      return true;                                          \
    }                                                       \
  }
#define KX_EN_TEXTO(objeto, metodo)                         \
  if constexpr (requires { objeto.metodo(texto); }) {       \
    if (ev == #metodo) {                                    \
      if (ejecutar) objeto.metodo(texto);                   \
      return true;                                          \
    }                                                       \
  }
#define KX_TODOS(metodo)             \
  KX_EN(k.aplicacion(), metodo)      \
  KX_EN(k.diacriticos(), metodo)     \
  KX_EN(k.diccionario(), metodo)     \
  KX_EN(k.codigos(), metodo)         \
  KX_EN(k.frmtra(), metodo)          \
  KX_EN(k.teclado(), metodo)         \
  KX_EN(k.compositor(), metodo)
#define KX_TODOS_TEXTO(metodo)       \
  KX_EN_TEXTO(k.diccionario(), metodo) \
  KX_EN_TEXTO(k.codigos(), metodo)   \
  KX_EN_TEXTO(k.frmtra(), metodo)

template <class K>
bool despacha(K& k, std::string_view ev, const std::u16string& texto, bool ejecutar) {
  // Main window: diacritic buttons, change-form image, Unicode label.
  KX_TODOS(imaagu_Click)
  KX_TODOS(imagra_Click)
  KX_TODOS(imacir_Click)
  KX_TODOS(imaasp_Click)
  KX_TODOS(imasua_Click)
  KX_TODOS(imadie_Click)
  KX_TODOS(imaiot_Click)
  KX_TODOS(imgcam_Click)
  KX_TODOS(UniLabel1_Click)
  KX_TODOS_TEXTO(imgcam_OLEDragDrop)
  // Dictionary menus.
  KX_TODOS(mnudiccla_Click)
  KX_TODOS(mnudiccom_Click)
  KX_TODOS(mnudicari_Click)
  KX_TODOS(mnudiceso_Click)
  KX_TODOS(mnudichom_Click)
  KX_TODOS(mnudicjen_Click)
  KX_TODOS(mnudicpla_Click)
  KX_TODOS(mnudictra_Click)
  KX_TODOS(mnudicapro_Click)
  KX_TODOS(mnudicpal_Click)
  KX_TODOS(mnudicadd_Click)
  KX_TODOS(mnudicfre_Click)
  KX_TODOS(mnudicbor_Click)
  KX_TODOS(mnudiccar_Click)
  // Codes and phonetic marks.
  KX_TODOS(mnucodhtm_Click)
  KX_TODOS(mnucodjav_Click)
  KX_TODOS(mnufonbre_Click)
  KX_TODOS(mnufonlar_Click)
  KX_TODOS(mnufonabi_Click)
  KX_TODOS(mnufoncer_Click)
  return false;
}

// The conversion window's events go to its own object only: its menu names
// overlap the main window's ("mnuver").
template <class K>
bool despachaConversion(K& k, std::string_view ev, bool ejecutar) {
  KX_EN(k.frmtra(), mnuathenian_Click)
  KX_EN(k.frmtra(), mnubetacode_Click)
  KX_EN(k.frmtra(), mnugraeca_Click)
  KX_EN(k.frmtra(), mnugraece_Click)
  KX_EN(k.frmtra(), mnugreek_Click)
  KX_EN(k.frmtra(), mnusgreek_Click)
  KX_EN(k.frmtra(), mnulin_Click)
  KX_EN(k.frmtra(), mnuaathenian_Click)
  KX_EN(k.frmtra(), mnuagraeca_Click)
  KX_EN(k.frmtra(), mnuagreek_Click)
  KX_EN(k.frmtra(), mnuabetacode_Click)
  KX_EN(k.frmtra(), mnucararc_Click)
  KX_EN(k.frmtra(), mnucarpor_Click)
  KX_EN(k.frmtra(), mnuvererr_Click)
  KX_EN(k.frmtra(), txtori_Pega)
  if (ev == "txtori_MouseDown") {
    // Any button, any modifier, anywhere: the recognition does not look.
    if (ejecutar) k.frmtra().txtori_MouseDown(1, 0, 0.0f, 0.0f);
    return true;
  }
  return false;
}

#undef KX_EN
#undef KX_EN_TEXTO
#undef KX_TODOS
#undef KX_TODOS_TEXTO

}  // namespace

bool reenvia(Kalyxon& k, std::string_view evento, const std::u16string& texto) {
  return despacha(k, evento, texto, true);
}

bool existeManejador(Kalyxon& k, std::string_view evento) { return despacha(k, evento, {}, false); }

bool reenviaConversion(Kalyxon& k, std::string_view evento) {
  return despachaConversion(k, evento, true);
}

bool existeManejadorConversion(Kalyxon& k, std::string_view evento) {
  return despachaConversion(k, evento, false);
}

void eventoEscritorio(Kalyxon& k, std::string_view nombre, const std::u16string& texto) {
  Aplicacion& a = k.aplicacion();
  if (a.terminado() || nombre.empty()) return;
  std::string menu;
  auto esMenu = [&](std::string_view n) {
    constexpr std::string_view kSufijo = "_Click";
    if (n.size() <= kSufijo.size() || n.substr(n.size() - kSufijo.size()) != kSufijo) return false;
    menu = std::string(n.substr(0, n.size() - kSufijo.size()));
    return buscaMenu(k.form1, menu) != nullptr;
  };
  if (nombre == "frmini_Load") {
    a.frmini_Load();
  } else if (nombre == "frmini_cmdace_Click") {
    a.frmini_cmdace_Click();
  } else if (nombre == "frmini_cmdcan_Click") {
    a.frmini_cmdcan_Click();
  } else if (nombre == "frmace_cmdace_Click") {
    a.frmace_cmdace_Click();
  } else if (nombre == "Form_Activate") {
    a.Form_Activate();
  } else if (nombre == "Form_Close") {
    a.cierra();
  } else if (nombre == "Form_OLEDragDrop") {
    a.Form_OLEDragDrop(texto, texto);
  } else if (nombre == "imgcam_OLEDragDrop") {
    // A word dropped on the change-form image is always looked up.
    k.diccionario().revisaGriego(texto);
  } else if (nombre == "lstfon_Click") {
    a.lstfon_Click(k.form1.lstfon.selected);
  } else if (nombre == "cmdace_Click") {
    a.cmdace_Click();
  } else if (nombre == "F1") {
    k.sv.help->showTopic(1);
  } else if (esMenu(nombre)) {
    if (!a.menuClick(menu)) reenvia(k, nombre, texto);
  } else {
    reenvia(k, nombre, texto);
  }
}

void eventoConversion(Kalyxon& k, std::string_view nombre) {
  if (nombre == "UniText1_F1")
    k.sv.help->showTopic(5);  // the conversion window's page
  else if (!nombre.empty())
    reenviaConversion(k, nombre);
}

}  // namespace kalyxon
