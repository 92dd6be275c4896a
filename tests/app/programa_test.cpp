// Target program, fonts and the menus of the main window.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "app/aplicacion.h"
#include "app/kalyxon.h"
#include "app/menus.h"
#include "conversion/frmtra.h"
#include "keyboard/tecladohook.h"
#include "banco.h"
#include "platform/scripted.h"
#include "util/utf.h"

namespace kalyxon {
namespace {

namespace fs = std::filesystem;
using platform::Answer;

class ProgramaTest : public BancoPrograma {
 protected:
  ProgramaTest() {
    escribeIni("[opciones]\nayuda=SI\n");
    // "Iniciar con la sesión" must never write the user's own autostart.
#ifndef _WIN32
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
#endif
    arranca();
  }
  void elige(const std::u16string& programa) {
    app().menuClick("mnupro");
    auto& items = f().lstfon.items;
    auto it = std::find(items.begin(), items.end(), programa);
    ASSERT_NE(it, items.end());
    app().lstfon_Click(static_cast<int>(it - items.begin()));
    app().cmdace_Click();
  }
};

TEST_F(ProgramaTest, AProgramChosenTwiceIsAskedForOnceAndNoOrNothingChangesNothing) {
  app().menuClick("mnupro");
  app().cmdace_Click();  // nothing selected: nothing happens
  EXPECT_TRUE(s.messageBox.shown.empty());
  EXPECT_TRUE(f().lstfon.visible);
  s.inputBox.answers.push_back(u"^d*~");
  elige(u"Word");
  ASSERT_EQ(s.messageBox.shown.size(), 1u);
  EXPECT_EQ(s.messageBox.shown[0].text, u"¿Cambiar programa por defecto a Word?");
  EXPECT_EQ(s.messageBox.shown[0].title, u"Cambiar programa");
  EXPECT_EQ(s.messageBox.shown[0].buttons, platform::Buttons::YesNo);
  ASSERT_EQ(s.inputBox.asked.size(), 1u);
  // The prompt goes on with an example of the notation.
  EXPECT_EQ(s.inputBox.asked[0].prompt.rfind(u"Parámetros para Word\n", 0), 0u);
  EXPECT_EQ(s.inputBox.asked[0].title, u"Cadena de asignación");
  EXPECT_EQ(f().cPrograma, u"Word");
  EXPECT_EQ(f().cParametros, u"^d*~");
  EXPECT_EQ(f().cCambiaFuentes, u"SI");
  EXPECT_TRUE(f().mnupro.checked);
  EXPECT_FALSE(f().lstfon.visible);
  EXPECT_FALSE(f().cmdace.visible);
  elige(u"Word");
  EXPECT_EQ(s.inputBox.asked.size(), 1u);

  s.messageBox.answers.push_back(Answer::No);
  elige(u"Outlook");
  EXPECT_EQ(f().cPrograma, u"Word");
  EXPECT_FALSE(f().lstfon.visible);
  // Yes, then an empty macro: reported, the list stays open, nothing stored.
  s.inputBox.answers.push_back(std::nullopt);
  elige(u"InDesign");
  EXPECT_EQ(s.messageBox.shown.back().text, u"No hay información sobre ese programa");
  EXPECT_TRUE(f().lstfon.visible);
  EXPECT_TRUE(f().cmdace.visible);
  EXPECT_EQ(f().cPrograma, u"Word");
  EXPECT_EQ(f().cParametros, u"^d*~");
  EXPECT_EQ(ini().find("InDesign"), std::string::npos);
}

TEST_F(ProgramaTest, NingunoKeepsTheProgramForTheNextSave) {
  s.inputBox.answers.push_back(u"%of*~");
  elige(u"OpenOffice");
  app().menuClick("mnuher");
  EXPECT_EQ(f().mnupro.caption, u"Programa - OpenOffice");
  EXPECT_TRUE(f().mnufuegri.enabled);
  EXPECT_TRUE(f().mnufuenor.enabled);

  elige(u"-Ninguno-");
  EXPECT_EQ(f().cCambiaFuentes, u"NO");
  EXPECT_FALSE(f().mnupro.checked);
  EXPECT_EQ(s.messageBox.shown.size(), 1u);  // no question for "-Ninguno-"
  app().menuClick("mnuher");
  EXPECT_EQ(f().mnupro.caption, u"Programa");
  EXPECT_FALSE(f().mnufuegri.enabled);
  EXPECT_FALSE(f().mnufuenor.enabled);
  app().cierra();
  std::string t = ini();
  EXPECT_NE(t.find("programa=OpenOffice\n"), std::string::npos) << t;
  EXPECT_NE(t.find("OpenOffice=%of*~\n"), std::string::npos) << t;
  EXPECT_NE(t.find("fuentes=NO\n"), std::string::npos) << t;
}

TEST_F(ProgramaTest, HelpTopicsAndInformation) {
  for (const char* m : {"mnuayugen", "mnuayuind", "mnuayumap", "mnuayutec", "mnuayuesp"})
    app().menuClick(m);
  EXPECT_EQ(s.help.topics, (std::vector<int>{1, 0, 10, 8, 9}));

  app().menuClick("mnusib");
  EXPECT_EQ(f().mnusibver.caption, u"Versión: 7.6.0");
  EXPECT_FALSE(f().mnusibaut.caption.empty());
  // No invented web or mail address: those items are hidden, the others
  // open the "Acerca de Kalyxon" window or the help.
  EXPECT_FALSE(f().mnusibhtp.visible);
  EXPECT_FALSE(f().mnusibcor.visible);
  for (const char* fichero : {"LEXICA-ATRIBUCION.txt", "LEXICA-LICENCIA-CC-BY-SA-4.0.txt"})
    fs::copy_file(fs::path(KALYXON_RUNTIME_DIR) / fichero, dir / fichero);
  for (const char* m : {"mnusibaut", "mnusibcor", "mnusibhtp", "mnusibgri", "mnusibver", "mnusibace"})
    app().menuClick(m);
  EXPECT_TRUE(s.urls.opened.empty());
  EXPECT_EQ(s.help.topics.back(), 1);
  // A front end without the window gets its text in a message box.
  ASSERT_EQ(s.messageBox.shown.size(), 3u);
  const auto& acerca = s.messageBox.shown.back();
  EXPECT_EQ(acerca.title, u"Acerca de Kalyxon");
  for (const char16_t* t : {u"Versión 7.6.0", u"licencia MIT", u"CC BY-SA 4.0",
                            u"https://creativecommons.org/licenses/by-sa/4.0/", u"Perseus Digital Library",
                            u"LEXICA-LICENCIA-CC-BY-SA-4.0.txt"})
    EXPECT_NE(acerca.text.find(t), std::u16string::npos) << util::toUtf8(t);
  // One that draws it shows the window, with the licence read in full.
  Frmace& ace = app().frmace;
  app().acercaDeEnVentana = true;
  app().menuClick("mnusibace");
  EXPECT_EQ(s.messageBox.shown.size(), 3u);
  EXPECT_TRUE(ace.ventana.visible);
  EXPECT_NE(ace.lblcar.caption.find(util::fromUtf8(dir.string())), std::u16string::npos);
  // Without the files beside the dictionaries the boxes say where the licence is.
  ace.llena({dir / "no-existe"});
  EXPECT_NE(ace.txtlic.text.find(u"creativecommons.org/licenses/by-sa/4.0/legalcode"), std::u16string::npos);
  EXPECT_NE(ace.txtatr.text.find(u"no se encuentra"), std::u16string::npos);
  // The latin toggle is not saved.
  app().menuClick("mnulat");
  app().cierra();
  EXPECT_EQ(ini().find("lat"), std::string::npos);
}

// "Convertir fuentes" takes the hook away. F2 into Latin had greyed
// "Griego": the box must come back usable, or Greek is lost until a restart.
// Closing removes the hook again and takes the conversion window along.
TEST_F(ProgramaTest, ConversionAndClosingInGreekModeRemoveTheHook) {
  f().chkgri.setValue(1);
  f().chkdic.setValue(1);
  for (uint32_t flags : {0u, 128u}) k->teclado().tecladoProc(0, KeyEvent{113, 0, flags, 0, 0});
  ASSERT_FALSE(f().chkgri.enabled);
  f().ventana.left = 3000;
  f().ventana.top = 500;
  app().menuClick("mnuhertra");
  EXPECT_FALSE(s.hook.installed);
  EXPECT_EQ(f().chkgri.value, 0);
  EXPECT_TRUE(f().chkgri.enabled);
  EXPECT_TRUE(f().chkgri.tooltip.empty());
  const vm::Window& tra = k->frmtra().ventana;
  EXPECT_TRUE(tra.visible);
  EXPECT_EQ(tra.left, 3000);
  EXPECT_EQ(tra.top, 500 + 1695);

  f().chkgri.setValue(1);
  EXPECT_TRUE(s.hook.installed);
  EXPECT_TRUE(k->teclado().lModoGriego);
  app().cierra();
  EXPECT_FALSE(s.hook.installed);
  EXPECT_TRUE(app().terminado());
  EXPECT_FALSE(f().ventana.visible);
  EXPECT_FALSE(tra.visible);
}

// Options, dictionary, program and fonts chosen from the menus are in the
// file at once, so coming back from the conversion window (a reload) keeps
// them; the window stays where the user moved it.
TEST_F(ProgramaTest, ChoicesSurviveTheReloadOfTheNextActivation) {
  s.fonts.fonts = {u"Nimbus Roman [URW]", u"Nimbus Roman [UKWN]", u"GFS Didot", u"Nimbus Roman"};
  app().menuClick("mnuks");
  app().menuClick("mnubar");
  elige(u"LibreOffice Writer");  // the box proposes the macro that works there
  ASSERT_EQ(s.inputBox.asked.size(), 1u);
  EXPECT_EQ(s.inputBox.asked[0].initial, u"^+f*~");
  EXPECT_NE(s.inputBox.asked[0].prompt.find(u"Ejemplo"), std::u16string::npos);
  // The fonts come from the platform, each family once.
  app().menuClick("mnufuegri");
  EXPECT_EQ(f().lstfon.tag, u"fuente");
  EXPECT_EQ(f().lstfon.items, (std::vector<std::u16string>{u"Nimbus Roman", u"GFS Didot"}));
  app().lstfon_Click(1);
  EXPECT_TRUE(f().cmdace.enabled);
  app().cmdace_Click();
  EXPECT_FALSE(f().lstfon.visible);
  app().menuClick("mnufuenor");
  app().lstfon_Click(0);
  app().cmdace_Click();
  app().menuClick("mnufue");
  EXPECT_EQ(f().mnufuegri.caption, u"Griego - GFS Didot");
  EXPECT_EQ(f().mnufuenor.caption, u"Normal - Nimbus Roman");
  EXPECT_NE(ini().find("ks=SI"), std::string::npos);
  f().ventana.left = 4321;
  app().menuClick("mnuhertra");
  app().Form_Activate();
  EXPECT_TRUE(f().mnuks.checked);
  EXPECT_TRUE(f().mnubar.checked);
  EXPECT_EQ(f().ventana.height, Form1::kAltoBarraMenu);
  EXPECT_TRUE(f().mnupro.checked);
  EXPECT_EQ(f().cPrograma, u"LibreOffice Writer");
  EXPECT_EQ(f().cParametros, u"^+f*~");
  EXPECT_EQ(f().cFuenteGriego, u"GFS Didot");
  EXPECT_EQ(f().cFuenteNormal, u"Nimbus Roman");
  EXPECT_EQ(f().ventana.left, 4321);
  app().menuClick("mnuks");
  app().Form_Activate();
  EXPECT_FALSE(f().mnuks.checked);
}

// The session-start entry is an XDG autostart file: Linux only.
#ifndef _WIN32
// "Iniciar con la sesión" is an autostart entry that starts this copy; a new
// user's folder starts from the shipped settings (final sigma on).
TEST_F(ProgramaTest, SessionStartEntryAndTheShippedDefaults) {
  const fs::path config = dir / "config";
  app().menuClick("mnuses");
  EXPECT_TRUE(f().mnuses.checked);
  const std::string entrada = prueba::leeFichero(config / "autostart" / "kalyxon.desktop");
  EXPECT_NE(entrada.find("Exec=\""), std::string::npos) << entrada;
  EXPECT_NE(entrada.find("--settings-dir \"" + dir.string() + "\""), std::string::npos);
  app().menuClick("mnuses");
  EXPECT_FALSE(f().mnuses.checked);
  EXPECT_FALSE(fs::exists(config / "autostart" / "kalyxon.desktop"));

  const fs::path nueva = dir / "nueva";
  fs::create_directories(nueva);
  prueba::escribeFichero(nueva / "kalyxon-inicial.ini", "[opciones]\nsigma final=SI\nayuda=SI\n");
  Kalyxon otra(s.services(), nueva);
  otra.aplicacion().frmini_cmdace_Click();
  EXPECT_TRUE(otra.form1.mnus.checked);
  EXPECT_FALSE(otra.form1.mnuks.checked);
}
#endif  // _WIN32

TEST_F(ProgramaTest, TextDroppedInCodeModeIsDecodedIntoTheLabel) {
  app().menuClick("mnucodhtm");
  ASSERT_EQ(f().mnucod.tag, u"*");
  app().Form_OLEDragDrop(u"&#955;&#972;&#947;&#959;&#962;", u"ignorado");
  EXPECT_EQ(f().UniLabel1.caption, u"λόγος");
}

TEST_F(ProgramaTest, EveryItemOfTheMenuBarHasAHandler) {
  // Opening a group, or clicking an item, reaches its handler wherever it
  // lives; the loading item is left out (it opens a file dialog and reads).
  std::function<void(const NodoMenu&)> visita = [&](const NodoMenu& n) {
    EXPECT_TRUE(n.separador() || n.nombre == "mnudiccar" || app().menuClick(n.nombre)) << n.nombre;
    for (const auto& h : n.hijos) visita(h);
  };
  for (const auto& n : arbolMenus(f())) visita(n);
  EXPECT_FALSE(app().menuClick("mnunada"));
}

}  // namespace
}  // namespace kalyxon
