#include "app/aplicacion.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <filesystem>

#include "app/kalyxon.h"
#include "app/menus.h"
#include "banco.h"
#include "platform/scripted.h"
#include "util/utf.h"

namespace kalyxon {
namespace {

namespace fs = std::filesystem;
using platform::Answer;

// A dictionary file with one table per entry: name, number of fields (3 is a
// real dictionary) and number of rows.
struct TablaPrueba {
  std::string nombre;
  int campos = 3;
  int filas = 1;
};

void creaDiccionario(const fs::path& ruta, const std::vector<TablaPrueba>& tablas) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(ruta.string().c_str(), &db), SQLITE_OK);
  for (const auto& t : tablas) {
    std::string sql = "CREATE TABLE \"" + t.nombre + "\"(codigo TEXT, unicode TEXT, frecuencia INTEGER";
    if (t.campos == 4) sql += ", extra TEXT";
    sql += ");";
    for (int i = 0; i < t.filas; ++i)
      sql += "INSERT INTO \"" + t.nombre + "\"(codigo, unicode, frecuencia) VALUES('LOGOS" +
             std::to_string(i) + "', '955;972;947;959;962;', 1);";
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db);
  }
  sqlite3_close(db);
}

using prueba::leeFichero;
using AplicacionTest = BancoPrograma;

TEST_F(AplicacionTest, NoticeThenAceptarLoadsTheMainWindow) {
  app().frmini_Load();
  EXPECT_TRUE(app().frmini.ventana.visible);
  // The dictionaries' licence is named before anything is used.
  EXPECT_NE(app().frmini.txtini.text.find(u"CC BY-SA 4.0"), std::u16string::npos);

  app().frmini_cmdace_Click();
  EXPECT_FALSE(app().frmini.ventana.visible);
  EXPECT_TRUE(f().ventana.visible);
  EXPECT_TRUE(app().encima());
  // First run: the help index once, remembered in the settings file.
  EXPECT_EQ(s.help.topics, std::vector<int>{0});
  EXPECT_EQ(app().leeIni(u"ayuda"), u"SI");
  app().Form_Activate();
  EXPECT_EQ(s.help.topics, std::vector<int>{0});
}

TEST_F(AplicacionTest, SettingsRoundTrip) {
  creaDiccionario(dir / "LEXICA.db", {{"clasico", 3, 3}});
  creaDiccionario(dir / "LEXICA_autores.db", {{"Homero", 3, 2}, {"Platon", 3, 5}});
  escribeIni("[opciones]\nayuda=SI\nposx= 1 2 3 4.9abc\nposy=2e3\n");
  arranca();
  EXPECT_TRUE(f().mnudiccla.enabled);
  EXPECT_TRUE(f().mnuacc.checked);  // on while the settings do not say
  // Numbers parse like the classic decimal parse.
  EXPECT_EQ(f().ventana.left, 1234);
  EXPECT_EQ(f().ventana.top, 2000);
  // Change menus, position, fonts; choose Homero as the menu does.
  for (const char* m : {"mnus", "mnuks", "mnuiota", "mnuang", "mnuacc", "mnudicapro", "mnubar"})
    ASSERT_TRUE(app().menuClick(m)) << m;
  f().mnudichom.checked = true;
  f().ventana.left = 2500;
  f().ventana.top = 700;
  f().cFuenteGriego = u"Gentium Plus";
  f().cFuenteNormal = u"Liberation Serif";
  app().cierra();
  EXPECT_TRUE(app().terminado());
  EXPECT_TRUE(app().diccionariosAbiertos().empty());
  std::string escrito = ini();
  EXPECT_NE(escrito.find("autor=HOMERO\n"), std::string::npos) << escrito;
  // Keys in their order, after the ones already there.
  EXPECT_LT(escrito.find("posx=2500"), escrito.find("posy=700"));
  EXPECT_LT(escrito.find("angulos="), escrito.find("autor="));
  EXPECT_LT(escrito.find("programa="), escrito.find("fuentes="));

  reinicia();
  arranca();
  for (const char* m : {"mnus", "mnuks", "mnuiota", "mnuang", "mnudicapro", "mnubar", "mnudichom"})
    EXPECT_TRUE(buscaMenu(f(), m)->checked) << m;
  for (const char* m : {"mnups", "mnuacc", "mnunum", "mnudiccla"})
    EXPECT_FALSE(buscaMenu(f(), m)->checked) << m;
  EXPECT_EQ(f().ventana.height, 645);  // compact as restored, not as toggled
  EXPECT_EQ(f().ventana.left, 2500);
  EXPECT_EQ(f().ventana.top, 700);
  EXPECT_EQ(f().cFuenteGriego, u"Gentium Plus");
  EXPECT_EQ(f().cFuenteNormal, u"Liberation Serif");
  // The saved dictionary is the current one.
  EXPECT_EQ(f().ventana.caption, u"Kalyxon - HOMERO");
  EXPECT_EQ(f().mnudicpla.caption, u"Platón 5");
  EXPECT_EQ(f().mnudiccla.caption, u"básico 3");
  EXPECT_FALSE(f().mnudicjen.enabled);
  // Nothing ticked saves an empty "autor".
  f().mnudichom.checked = false;
  app().cierra();
  EXPECT_NE(ini().find("autor=\n"), std::string::npos);
}

// The settings file is found whatever the case of its name.
TEST_F(AplicacionTest, OnOffValuesPositionAndProgramKeys) {
  prueba::escribeFichero(dir / "Kalyxon.ini",
                         "[OPCIONES]\n"
                         "sigma final=si\n"
                         "ks=Sí\n"
                         "ps=yes\n"
                         "numeros= SI \n"
                         "posx=0\n"
                         "posy=-40\n"
                         "programa=Word\n"
                         "fuentes=si\n"
                         "autor=homero\n"
                         "ayuda=SI\n");
  arranca();
  EXPECT_TRUE(f().mnus.checked);
  EXPECT_FALSE(f().mnuks.checked);
  EXPECT_FALSE(f().mnups.checked);
  EXPECT_TRUE(f().mnunum.checked);
  EXPECT_EQ(f().ventana.left, Form1().ventana.left);
  EXPECT_EQ(f().ventana.top, Form1().ventana.top);
  EXPECT_EQ(f().ventana.height, 1695);
  EXPECT_EQ(f().cPrograma, u"Word");
  EXPECT_EQ(f().cParametros, u"");  // no key of its own
  EXPECT_TRUE(f().mnupro.checked);
  // No LEXICA*.db: the load succeeds, the eight items stay off, none ticked.
  EXPECT_FALSE(app().terminado());
  for (const char* m : {"mnudiccla", "mnudiccom", "mnudicari", "mnudiceso", "mnudichom",
                        "mnudicjen", "mnudicpla", "mnudictra"}) {
    EXPECT_FALSE(buscaMenu(f(), m)->enabled) << m;
    EXPECT_FALSE(buscaMenu(f(), m)->checked) << m;
  }
  EXPECT_TRUE(s.messageBox.shown.empty());
  // Saved into that one file under its own name: no second one in lower case.
  app().menuClick("mnuks");
  app().cierra();
  std::vector<std::string> inis;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.path().extension() == ".ini") inis.push_back(e.path().filename().string());
  EXPECT_EQ(inis, std::vector<std::string>{"Kalyxon.ini"});
  EXPECT_NE(leeFichero(dir / "Kalyxon.ini").find("ks=SI"), std::string::npos);
}

TEST_F(AplicacionTest, OnlyNonEmptyThreeFieldTablesOfTheEightNamesCount) {
  creaDiccionario(dir / "LEXICA.db", {{"clasico", 4, 3}, {"Homero", 3, 0}, {"otra", 3, 2}});
  creaDiccionario(dir / "LEXICA_b.db", {{"Esopo", 3, 1}});
  creaDiccionario(dir / "LEXICA_c.db", {{"Esopo", 3, 7}});
  prueba::escribeFichero(dir / "LEXICA_roto.db", "esto no es una base de datos");
  escribeIni("[opciones]\nayuda=SI\nautor=B\xc1SICO\n");
  arranca();
  EXPECT_FALSE(app().terminado());
  EXPECT_FALSE(f().mnudiccla.enabled);
  EXPECT_FALSE(f().mnudiccla.checked);
  EXPECT_FALSE(f().mnudichom.enabled);
  // The same table in two files: the later file wins.
  EXPECT_TRUE(f().mnudiceso.enabled);
  EXPECT_EQ(f().mnudiceso.caption, u"Esopo 7");
  EXPECT_EQ(f().mnudiceso.tag, u"LEXICA_c.db");
  // The damaged file is reported and skipped. Closing the report may bring
  // the main window back to the front: that does not load again.
  ASSERT_EQ(s.messageBox.shown.size(), 1u);
  s.messageBox.onShow = [&] { app().Form_Activate(); };
  // Later activations find a file added meanwhile and keep their own open.
  const size_t abiertos = app().diccionariosAbiertos().size();
  creaDiccionario(dir / "LEXICA_nuevo.db", {{"Homero", 3, 4}});
  app().Form_Activate();
  app().Form_Activate();
  EXPECT_EQ(s.messageBox.shown.size(), 1u);  // said once, not at every activation
  EXPECT_NE(s.messageBox.shown[0].text.find(u"LEXICA_roto.db"), std::u16string::npos);
  EXPECT_FALSE(app().terminado());
  EXPECT_EQ(f().mnudichom.caption, u"Homero 4");
  EXPECT_EQ(app().diccionariosAbiertos().size(), abiertos + 1);
}

// Through a POSIX shell: Linux only.
#ifndef _WIN32
// One copy per folder, dictionaries or none: another copy, in this process or
// in another, is refused and saves nothing; the first goes on working and,
// once closed, frees the folder.
TEST_F(AplicacionTest, OneCopyPerFolder) {
  escribeIni("[opciones]\nayuda=SI\nks=SI\n");
  arranca();
  const std::u16string kYaAbierto =
      u"Parece que Kalyxon ya está abierto, sólo se puede abrir una instancia del programa.";
  const std::string ajustes = "settings --settings-dir '" + dir.string() + "'";
  auto proceso = prueba::ejecutaKalyxon(ajustes, "", true);
  EXPECT_EQ(proceso.codigo, 3) << proceso.texto;
  EXPECT_NE(proceso.texto.find(util::toUtf8(kYaAbierto)), std::string::npos) << proceso.texto;

  const std::string antes = ini();
  platform::scripted::ScriptedServices s2;
  Kalyxon otro(s2.services(), dir);
  otro.aplicacion().frmini_Load();
  otro.aplicacion().frmini_cmdace_Click();
  ASSERT_EQ(s2.messageBox.shown.size(), 1u);
  EXPECT_EQ(s2.messageBox.shown[0].text, kYaAbierto);
  EXPECT_TRUE(otro.aplicacion().terminado());
  otro.aplicacion().cierra();
  EXPECT_EQ(ini(), antes);

  // The first copy reloads, changes and saves as before.
  creaDiccionario(dir / "LEXICA_autores.db", {{"Homero", 3, 2}});
  app().Form_Activate();
  EXPECT_FALSE(app().terminado());
  ASSERT_TRUE(app().menuClick("mnudichom"));
  app().menuClick("mnuks");
  app().cierra();
  const std::string escrito = ini();
  EXPECT_NE(escrito.find("autor=HOMERO"), std::string::npos) << escrito;
  EXPECT_NE(escrito.find("ks=NO"), std::string::npos) << escrito;
  proceso = prueba::ejecutaKalyxon(ajustes, "", true);
  EXPECT_EQ(proceso.codigo, 0) << proceso.texto;
  EXPECT_NE(proceso.texto.find("Homero 2\tLEXICA_autores.db\t(chosen)"), std::string::npos)
      << proceso.texto;
}
#endif  // _WIN32

TEST_F(AplicacionTest, TheSavedShippedDictionaryAnswersADroppedWord) {
  fs::path bin = KALYXON_RUNTIME_DIR;
  if (!fs::exists(bin / "LEXICA_Esopo.db") || !fs::exists(bin / "ALPHA.db"))
    GTEST_SKIP() << "shipped data not built";
  fs::copy_file(bin / "LEXICA_Esopo.db", dir / "LEXICA_Esopo.db");
  escribeIni("[opciones]\nayuda=SI\nautor=esopo\n");
  reinicia();
  arranca();
  EXPECT_TRUE(f().mnudiceso.checked);
  app().Form_OLEDragDrop(u"", u"λόγος");
  EXPECT_EQ(f().cCandidatos[1], u"λόγος");
  EXPECT_EQ(f().chkdic.value, 1);
  app().cierra();
  EXPECT_NE(ini().find("autor=ESOPO"), std::string::npos);
}

}  // namespace
}  // namespace kalyxon
