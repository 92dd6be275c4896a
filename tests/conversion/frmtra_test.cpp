#include "conversion/frmtra.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "app/kalyxon.h"
#include "platform/scripted.h"
#include "tablas_prueba.h"

namespace kalyxon {
namespace {

using conversion::prueba::u;
namespace fs = std::filesystem;

class Ventana : public ::testing::Test {
 protected:
  Ventana()
      : k_(s_.services(), carpeta_.ruta()), f_(k_.frmtra()) {
    f_.usaTablas(conversion::prueba::cargadas());
  }

  std::string informe() { return conversion::prueba::leeFichero(carpeta_ / "infErrores.txt"); }
  fs::path escribe(const std::string& nombre, const std::string& datos) {
    conversion::prueba::escribeFichero(carpeta_ / nombre, datos);
    return carpeta_ / nombre;
  }

  platform::scripted::ScriptedServices s_;
  conversion::prueba::CarpetaTemporal carpeta_;
  Kalyxon k_;
  Frmtra& f_;
};

TEST_F(Ventana, ConversionEntriesSetFacesAndFillTheOtherBox) {
  KALYXON_REQUIERE_TABLAS();
  using Item = void (Frmtra::*)();
  auto caja = [&] { return f_.txtori.font + u" | " + f_.txtori.text; };
  // Into Unicode: the upper box, shown in the face named, keeps its text.
  const std::tuple<Item, const char16_t*, const char16_t*, const char*> aUnicode[] = {
      {&Frmtra::mnugreek_Click, u"Greek | ", u"l\u00D2goj", "λόγος"},
      {&Frmtra::mnubetacode_Click, u"Verdana | ", u"*)/andra lo/goj", "Ἄνδρα λόγος"},
      {&Frmtra::mnusgreek_Click, u"Sgreek Fixed | ", u"Lo/gos", "Λόγος"},
      {&Frmtra::mnugraece_Click, u"graece Normal | ", u"lo/goj", "λόγος"},
      {&Frmtra::mnugraeca_Click, u"Graeca | ", u"lovgo\"", "λόγος"},
      {&Frmtra::mnuathenian_Click, u"Athenian | ", u"l\u00F1gow 1\u00FC", "λόγος 1ü"},  // 252 is no letter
  };
  for (const auto& [item, fuente, texto, unicode] : aUnicode) {
    f_.txtori.text = texto;
    (f_.*item)();
    EXPECT_EQ(caja(), fuente + std::u16string(texto));
    EXPECT_EQ(f_.UniText1.text, u(unicode)) << unicode;
  }
  EXPECT_EQ(f_.UniText1.font, u"Palatino Linotype");
  EXPECT_EQ(informe(),
            "No se encontr\xF3 el car\xE1" "cter  252 \xFC de la fuente Athenian en alpha-letras\r\n"
            "Resumen: 1 caracteres sin convertir\r\n  car\xE1" "cter  252 \xFC: 1 vez\r\n");

  // From Unicode: the upper box gets the text in the target face, a line
  // break as a blank unless the line option is on.
  f_.UniText1.text = u("λόγος\nλόγος");
  const std::pair<Item, std::u16string> deUnicode[] = {
      {&Frmtra::mnuagreek_Click, u"Greek | l\u00D2goj l\u00D2goj"},
      {&Frmtra::mnuagraeca_Click, u"Graeca | lovgo\" lovgo\""},
      {&Frmtra::mnulin_Click, u"Graeca | lovgo\" lovgo\""},
      {&Frmtra::mnuaathenian_Click, u"Athenian | l\u00F1gow\nl\u00F1gow"},
      {&Frmtra::mnuabetacode_Click, u"Verdana | lo/gos\nlo/gos"},
  };
  for (const auto& [item, esperada] : deUnicode) {
    (f_.*item)();
    EXPECT_EQ(caja(), esperada);
  }
  EXPECT_EQ(informe(), "");
  // Every conversion showed the front end's progress bar and took it away.
  EXPECT_EQ(s_.progress.begun.size(), 10u);
  EXPECT_EQ(s_.progress.ended, 10);
}

TEST_F(Ventana, ErrorReportShowsAndHides) {
  f_.mnuvererr_Click();  // no conversion has written it yet
  EXPECT_TRUE(f_.txterr.visible);
  EXPECT_TRUE(f_.mnuvererr.checked);
  EXPECT_EQ(s_.messageBox.shown.size(), 1u);
  EXPECT_EQ(f_.txterr.text, u"");
  f_.mnuvererr_Click();
  EXPECT_FALSE(f_.txterr.visible);
  EXPECT_FALSE(f_.mnuvererr.checked);
  if (!conversion::prueba::cargadas()) return;
  f_.txtori.text = u"a\u00FC";
  f_.mnuathenian_Click();
  f_.mnuvererr_Click();
  EXPECT_EQ(f_.txterr.text.rfind(u("No se encontró el carácter  252 ü de la fuente Athenian en alpha-letras\r\n"), 0), 0u);
}

TEST_F(Ventana, LoadingFiles) {
  // Exactly at the limit: loaded without a question.
  auto grande = escribe("grande.txt", std::string(1000010, 'a'));
  s_.fileDialog.answers.push_back(grande.string());
  f_.cargaArchivo();
  EXPECT_TRUE(s_.messageBox.shown.empty());
  EXPECT_EQ(f_.txtori.text.size(), 1000010u);
  // One byte more asks; No loads it whole.
  auto mayor = escribe("mayor.txt", std::string(1000011, 'b'));
  s_.fileDialog.answers.push_back(mayor.string());
  s_.messageBox.answers.push_back(platform::Answer::No);
  f_.cargaArchivo();
  ASSERT_EQ(s_.messageBox.shown.size(), 1u);
  const auto& pregunta = s_.messageBox.shown[0];
  EXPECT_EQ(pregunta.title + u": " + pregunta.text, u"El fichero es demasiado grande: ¿Dividir el fichero en varios?");
  EXPECT_EQ(pregunta.buttons, platform::Buttons::YesNo);
  EXPECT_EQ(f_.txtori.text.size(), 1000011u);
  // Yes splits it beside the original and loads nothing.
  s_.fileDialog.answers.push_back(mayor.string());
  s_.messageBox.answers.push_back(platform::Answer::Yes);
  f_.txtori.text = u"antes";
  f_.cargaArchivo();
  EXPECT_EQ(f_.txtori.text, u"antes");
  EXPECT_TRUE(fs::exists(carpeta_ / "mayor1.txt") && fs::exists(carpeta_ / "mayor2.txt"));
  f_.txtori.text = std::u16string(1000011, u'b');
  // Cancelling the dialog changes nothing.
  f_.cargaArchivo();
  EXPECT_EQ(f_.txtori.text.size(), 1000011u);
  // Rich text: the text with its font; plain 8-bit text as Windows-1252.
  s_.fileDialog.answers.push_back(
      escribe("r.rtf", "{\\rtf1{\\fonttbl{\\f0 Athenian;}}\\f0 l\\'f1gow}").string());
  f_.cargaArchivo();
  EXPECT_EQ(f_.txtori.text, u"l\u00F1gow");
  EXPECT_EQ(f_.txtori.font, u"Athenian");
  s_.fileDialog.answers.push_back(escribe("p.txt", "l\xF1gow").string());
  f_.cargaArchivo();
  EXPECT_EQ(f_.txtori.text, u"l\u00F1gow");
  s_.fileDialog.answers.push_back(escribe("u.txt", "λόγος").string());
  f_.cargaArchivo();
  EXPECT_EQ(f_.txtori.text, u("λόγος"));
  // A file that cannot be read: a message, the box unchanged.
  s_.fileDialog.answers.push_back((carpeta_ / "no-existe.txt").string());
  f_.cargaArchivo();
  EXPECT_EQ(f_.txtori.text, u("λόγος"));
  EXPECT_EQ(s_.messageBox.shown.size(), 3u);
}

TEST_F(Ventana, ClipboardAndFontRecognition) {
  s_.clipboard.plain = u"abc";
  f_.mnucarpor_Click();
  EXPECT_EQ(f_.txtori.text, u"abc");
  // The search order decides, not the position in the text; "greek" in lower
  // case names nothing.
  const std::pair<std::string, const char16_t*> casos[] = {
      {"{\\rtf1{\\fonttbl{\\f0 Athenian;}{\\f1 Sgreek;}}\\f0 a}", u"Sgreek Fixed"},
      {"{\\rtf1{\\fonttbl{\\f0 greek;}}a}", u"Sgreek Fixed"},
      {"{\\rtf1{\\fonttbl{\\f0 Greek;}{\\f1 Graeca;}}a}", u"Graeca"}};
  for (const auto& [rtf, caption] : casos) {
    s_.clipboard.rtf = rtf;
    f_.txtori_MouseDown(2, 1, 10, 10);  // any button
    EXPECT_EQ(f_.ventana.caption, u"Traducir " + std::u16string(caption) + u" a Unicode") << rtf;
  }
  EXPECT_EQ(f_.txtori.font, u"Graeca");
  EXPECT_EQ(s_.clipboard.plain, u"abc");  // the user's clipboard is left alone
  // No rich text: nothing recognised, and the plain text pastes as it is.
  s_.clipboard.rtf.clear();
  f_.txtori_MouseDown(1, 0, 0, 0);
  EXPECT_EQ(f_.ventana.caption, u"Traducir Graeca a Unicode");
  f_.txtori.text.clear();
  f_.txtori_Pega();
  EXPECT_EQ(f_.txtori.text, u"abc");
  // Pasting prefers the rich text, with the legacy codes intact.
  s_.clipboard.rtf = "{\\rtf1{\\fonttbl{\\f0 Athenian;}}\\f0 l\\u241\\'f1gow}";
  f_.txtori.text.clear();
  f_.txtori_Pega();
  EXPECT_EQ(f_.txtori.text, u"l\u00F1gow");
}

// Without injected tables the window reads the program folder's ALPHA.db
// (its "sonido" through the program's alphabet) on first use.
TEST(VentanaSola, ReadsTheProgramFolderTables) {
  KALYXON_REQUIERE_TABLAS();
  platform::scripted::ScriptedServices s;
  Kalyxon k(s.services(), KALYXON_RUNTIME_DIR);
  ASSERT_NE(k.frmtra().tablas(), nullptr);
  EXPECT_EQ(k.frmtra().TraBet(u"lo/goj", true), conversion::prueba::u("λόγος"));
  Kalyxon sin(s.services(), fs::temp_directory_path() / "kalyxon-no-such-folder");
  EXPECT_EQ(sin.frmtra().tablas(), nullptr);
  EXPECT_FALSE(s.messageBox.shown.empty());
}

}  // namespace
}  // namespace kalyxon
