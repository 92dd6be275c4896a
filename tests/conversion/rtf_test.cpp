#include "conversion/rtf.h"

#include <gtest/gtest.h>

#include "conversion/conversores.h"
#include "tablas_prueba.h"

namespace kalyxon::rtf {
namespace {

using conversion::prueba::u;

TEST(Rtf, ReadsTheTextAndFontsOfAWordProcessorFile) {
  KALYXON_REQUIERE_TABLAS();
  std::string datos = conversion::prueba::leeFichero(KALYXON_SOURCE_DIR "/tests/conversion/fixtures/muestra.rtf");
  ASSERT_TRUE(esRtf(datos));
  Documento d = lee(datos);
  EXPECT_EQ(d.texto(), u("lñgow kaÜ λόγος Ἄνδρα\nSegunda\tlínea {con} \\ llaves\n"));
  ASSERT_GE(d.tramos.size(), 3u);
  EXPECT_EQ(d.tramos[0].fuente, u"Athenian");
  EXPECT_EQ(d.tramos[0].texto, u("lñgow kaÜ"));
  EXPECT_EQ(d.tramos[2].fuente, u"Times New Roman");
  EXPECT_EQ(d.tramos[2].texto, u("λόγος Ἄνδρα"));
  // The Athenian stretch keeps the font's own codes for the converter.
  std::u16string informe;
  EXPECT_EQ(conversion::traduce(conversion::prueba::tablas(), d.tramos[0].texto,
                                conversion::cara::kAthenian, informe),
            u("λόγος καὶ"));
}

TEST(Rtf, SkipsDestinationsAndHandlesEscapes) {
  Documento d = lee(
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fnil\\fcharset2 "
      "{\\*\\panose 0}Sgr\\'e9ek;}}"
      "{\\info{\\title no}}{\\*\\unknown no}{\\pict\\bin4 }}}}}x"
      "a\\f1 b{\\uc0\\u-3913 c}\\u61601?d\\~\\line e\\'");
  EXPECT_EQ(d.fuentes.size(), 2u);
  EXPECT_EQ(d.fuentes[1].nombre, u("Sgréek"));
  EXPECT_EQ(d.fuentes[1].juego, 2);
  // \u-3913 is U+F0B7; the private-use symbol codes come back as their byte.
  EXPECT_EQ(d.texto(), u("xab·c¡d\u00A0\ne"));
  EXPECT_EQ(d.fuentePrincipal(), u("Sgréek"));
  EXPECT_THROW(lee("plain text"), Error);
  EXPECT_FALSE(esRtf("  {\\rtx"));
  EXPECT_EQ(lee("{\\rtf1 unclosed {group").texto(), u"unclosed group");
}

}  // namespace
}  // namespace kalyxon::rtf
