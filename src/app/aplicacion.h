// The life of the program and the main window's own behaviour: the start-up
// notice, load / activate / query-unload / unload, the settings file, the
// target program and font choice, and the menus.
//
// A front end drives it with the window events below (names as the handlers of
// the windows they belong to) and renders `k.form1` and `frmini`. It keeps
// `form1.ventana.left/top/height` (twips) up to date when the user moves the
// window, since the save stores them, and applies them when the model changes
// them (settings load, compact mode). After every event it checks
// terminado(): once true, the process ends.
//
// Activation: Form_Activate() runs the settings load, and runs on every
// activation of the main window: its first showing (frmini_cmdace_Click does
// it) and whenever it becomes the active window again after another window of
// this program (the conversion window). Switching from another application is
// not an activation, and neither is closing a message box, an input box, a
// file dialog or the help window: those are not windows of the program in this
// sense, and treating them as such would reload the settings file in the
// middle of a choice (the program chosen in the list would fall back to the
// saved one). An activation that arrives while the settings load runs (its
// own message boxes) is ignored.
//
// Later loads and the dictionary files: the first load opens every LEXICA*.db
// of the program folder and holds each one, locked against other processes,
// until the settings are saved at close. A later load keeps those open files
// and reads their tables through them (recaptioning the menus with the current
// counts); it opens only files that appeared since. So a user never meets the
// single-instance message from his own running copy, and another copy started
// meanwhile still does.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/cerrojo.h"
#include "app/frmace.h"
#include "app/frmini.h"
#include "util/perfil.h"

namespace kalyxon {

class Kalyxon;
namespace lexico {
class Base;
}

class Aplicacion {
 public:
  explicit Aplicacion(Kalyxon& k);
  ~Aplicacion();
  Aplicacion(const Aplicacion&) = delete;
  Aplicacion& operator=(const Aplicacion&) = delete;

  Frmini frmini;
  Frmace frmace;
  // Whether the front end draws the "Acerca de Kalyxon" window; one that does
  // not gets its text in a message box.
  bool acercaDeEnVentana = false;

  // Always-on-top request for the front end (the main window's load sets it).
  bool encima() const;

  // ---- The error boundary ---------------------------------------------------
  // Runs one event handler of a front end. An error from the engine (a
  // dictionary on a full disk or a read-only folder, a damaged file...) ends
  // that handler only: it becomes one Spanish message box and the program
  // goes on. False when the handler failed.
  bool protege(const std::function<void()>& manejador) noexcept;

  // ---- Start-up notice ------------------------------------------------------
  void frmini_Load();          // version, notice text; shows the notice
  void frmini_cmdace_Click();  // hides the notice, loads, shows and activates Form1
  void frmini_cmdcan_Click();  // unloads the notice: the process ends

  // ---- Main window ----------------------------------------------------------
  void Form_Load();        // topmost
  void Form_Activate();    // cargaIni
  void Form_QueryUnload(); // grabaIni (never cancels)
  void Form_Unload();      // hook off, other windows unloaded, the process ends
  // Closing the window by the user: query-unload, then unload.
  void cierra();

  // True once no window is left: the front end ends the process.
  bool terminado() const { return terminado_; }
  // Runs when terminado() becomes true.
  std::function<void()> alTerminar;

  // ---- Settings file --------------------------------------------------------
  // The settings file in the program folder.
  std::filesystem::path rutaIni() const;
  // One key of section "opciones" ("" when missing), and its write.
  std::u16string leeIni(const std::u16string& clave) const;
  bool escribeIni(const std::u16string& clave, const std::u16string& valor) const;
  void cargaIni();
  void grabaIni();
  // Writes the options (everything the save writes but the window's place)
  // at once, so that the reload of a later activation reads them back.
  void grabaOpciones();
  // The settings load without the first-run help: options, position, fonts,
  // program, dictionaries found and the saved dictionary. False when the load
  // failed (the message was shown); used by cargaIni and by tools.
  bool cargaAjustes();

  // ---- Target program and fonts ---------------------------------------------
  void eligePrograma();
  void eligeFuente();
  void cambiaPrograma(const std::u16string& valor);
  void cambiaFuente(const std::u16string& valor);
  void lstfon_Click(int indice);
  void cmdace_Click();
  void mnuher_Click();
  void mnufue_Click();

  // ---- Menus ---------------------------------------------------------------
  // Runs the click (or, for a group, the opening) of the item `nombre`
  // ("mnus", "mnudiccla", "mnuher"...), wherever its handler lives. False for
  // a name with no handler.
  bool menuClick(std::string_view nombre);
  void mnubar_Click();
  void mnuses_Click();  // "Iniciar con la sesión" 
  void mnuhertra_Click();
  void mnusib_Click();
  void navega(const std::string& url);
  // The "Acerca de Kalyxon" window: version, the program's licence and the
  // attribution and licence of the shipped dictionaries, read afresh from
  // the program folder (or the installed data) each time it opens.
  void acercaDe();
  void frmace_cmdace_Click();
  // Text dropped on the main window, in its plain and Unicode forms.
  void Form_OLEDragDrop(const std::u16string& textoPlano, const std::u16string& textoUnicode);

  // The dictionary files the settings load holds open, by file name.
  std::vector<std::string> diccionariosAbiertos() const;

 private:
  void quitaHook();
  void descubreDiccionarios();
  void seleccionaDiccionario(const std::u16string& autor);
  void abreDiccionario(const std::string& fichero, const std::string& tabla);
  void cierraDiccionarios();
  void termina();
  std::vector<std::pair<std::u16string, std::u16string>> opciones() const;

  Kalyxon& k_;
  std::vector<std::shared_ptr<lexico::Base>> abiertas_;  // every dictionary file found
  bool terminado_ = false;
  bool cargaFallida_ = false;
  bool cargando_ = false;  // inside cargaIni
  bool cargado_ = false;   // a settings load has succeeded
  bool avisoAlfabeto_ = false;  // the missing ALPHA.db was reported
  std::set<std::string> danados_;  // dictionary files reported as unusable
  CerrojoCarpeta cerrojo_;         // held from the first load until the close
};

}  // namespace kalyxon
