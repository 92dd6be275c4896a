#include "conversion/conversores.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "conversion/rtf.h"
#include "tablas_prueba.h"
#include "util/cp1252.h"
#include "util/utf.h"

namespace kalyxon::conversion {
namespace {

using prueba::tablas;
using prueba::u;

// Legacy (or BetaCode) text to Unicode with its report.
std::pair<std::u16string, std::u16string> aUni(std::u16string_view cara, std::u16string_view s,
                                               Opciones o = {}) {
  InformeTexto inf;
  auto c = aUnicode(tablas(), cara, o, &inf);
  std::u16string r = convierte(*c, s);
  return {r, inf.texto};
}

// The command line's path, in pieces of `n` bytes.
std::string porBytes(std::u16string_view cara, std::u16string_view s, size_t n) {
  return prueba::porBytes(cara, cp1252::encode(s), n);
}

// Every face into Unicode, whole with the report and in pieces of bytes as
// the command line reads a file.
TEST(ToUnicode, EachFaceFollowsItsTables) {
  KALYXON_REQUIERE_TABLAS();
  struct Caso {
    std::u16string_view cara, in;
    const char* out;
    const char* informe = "";
  };
  const Caso casos[] = {
      {kBetaCode, u"lo/gos", "λόγος"},
      {kBetaCode, u"lo/goj", "λόγος"},
      {kBetaCode, u"Lo/gos LO/GOS", "λόγος λόγος"},  // case carries no meaning
      {kBetaCode, u"a *)/andra", "α Ἄνδρα"},
      {kBetaCode, u"*a", "Α"},
      {kBetaCode, u"a)/ndra w)=| tw=| *(/ektor", "ἄνδρα ᾦ τῷ Ἕκτορ"},
      {kBetaCode, u"ai+/ *ai+", "αΐ Αϊ"},
      // A sigma before the elision mark stays medial; before separators and
      // line breaks it is final, and a line break keeps the words apart.
      {kBetaCode, u"os' os, os. os; os: os_os", "οσ’ ος, ος. ος; ος· ος—ος"},
      {kBetaCode, u"lo/gos\r\nlo/gos", "λόγος λόγος"},
      // Medial and final sigma written out, numerals, parentheses.
      {kBetaCode, u"s1 s2a #22b# #1#2#5 v *v [1a]1", "σ ςα ͵β\u0374 ϟϛϡ ϝ Ϝ (α)"},
      // What BetaCode does not know is copied, never dropped.
      {kBetaCode, u"a1-b", "α1-β"},
      {kBetaCode, u"", ""},
      // SGreek: upper-case letters are capitals, marks after the letter,
      // ᾳ ῃ ῳ in one byte, byte 143 the elision mark.
      {cara::kSgreek, u"Lo/gos A)/ndra", "Λόγος Ἄνδρα"},
      {cara::kSgreek, u"t# t$ t% d\u008F", "τᾳ τῃ τῳ δ’"},
      // Graece: the marks ) ( / \ = |, J and V for ῳ and ῃ.
      {cara::kGraece, u"lo/gos lo/goj A)/ndra e)/qhke", "λόγος λόγος Ἄνδρα ἔθηκε"},
      {cara::kGraece, u"tJ= qeV= lo/gos\nlo/gos", "τῷ θεῇ λόγος λόγος"},
      // Graeca: v acute, ; grave, / iota, J rough, [ smooth+acute, " final
      // sigma, ! elision, _ question mark; x is xi and c chi.
      {cara::kGraeca, u"lovgo\" av a; tw/ xc", "λόγος ά ὰ τῳ ξχ"},
      {cara::kGraeca, u"oJ A[ndra d! tiv_", "ὁ Ἄνδρα δ’ τί;"},
      // Whole glyphs. λόγος: ό is byte 241 in Athenian, 210 in Greek; final sigma w / j.
      {cara::kAthenian, u"l\u00F1gow", "λόγος"},
      {cara::kGreek, u"l\u00D2goj", "λόγος"},
      // A mark byte before a capital makes one letter with it; alone it is
      // the spacing mark, and in Greek the apostrophe.
      {cara::kAthenian, u"\u2026Andra \u0192O \u201E", "Ἄνδρα Ὀ ῾"},
      {cara::kGreek, u"\u201DAndra 'O d' `R", "Ἄνδρα Ὀ δ’ Ῥ"},
      // No capital takes those marks: the letters around stay, the capital
      // keeps its marks as combining ones, and the position is told.
      {cara::kAthenian, u"ab\u201AEgd", "αβΕ͂γδ",
       "No se encontró la letra Ε͂ con sus signos en alpha-sonido (posición 4)\r\n"},
      {kBetaCode, u"ab *)=e gd", "αβ Ἐ͂ γδ",
       "No se encontró la letra Ἐ͂ con sus signos en alpha-sonido (posición 7)\r\n"},
      // Athenian's iota subscript typed after the vowel.
      {cara::kAthenian, u"a+ v+", "ᾳ ῳ"},
      // Commas stay commas; digits are the face's own.
      {cara::kGreek, u"a, b 12", "α, β 12"},
      {cara::kGreek, u"$%\"", "ϛϟϡ"},
      // Unmapped: copied and reported. A line break becomes a space.
      {cara::kGreek, u"a\u20AC\r\nb", "α€ β",
       "No se encontró el carácter  128 € de la fuente Greek en alpha-letras\r\n"},
      {cara::kAthenian, u"", ""},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(util::toUtf8(std::u16string(c.cara)) + ": " + util::toUtf8(std::u16string(c.in)));
    auto [r, inf] = aUni(c.cara, c.in);
    EXPECT_EQ(r, u(c.out));
    EXPECT_EQ(inf, u(c.informe));
    for (size_t n : {1, 3, 1000}) EXPECT_EQ(porBytes(c.cara, c.in, n), c.out) << n;
  }
  // Line breaks kept on request.
  EXPECT_EQ(traBet(tablas(), u"lo/gos\r\nlo/gos", true, {true}), u("λόγος\r\nλόγος"));
  EXPECT_EQ(traCom(tablas(), u"lo/gos\nlo/gos", cara::kGraece, {true}), u("λόγος\nλόγος"));
  EXPECT_EQ(aUni(cara::kAthenian, u"a\r\nb", {true}).first, u("α\r\nβ"));
  // The numeral builder's "," is the thousands sign.
  Opciones numeral;
  numeral.comaNumeral = true;
  EXPECT_EQ(aUni(cara::kGreek, u",b", numeral).first, u("͵β"));
}

TEST(BackFromUnicode, EachFaceSpellsWhatItCanAndReportsTheRest) {
  KALYXON_REQUIERE_TABLAS();
  struct Caso {
    std::u16string_view cara;
    const char* in;
    std::u16string_view out;
    const char* informe;
  };
  const Caso casos[] = {
      {cara::kAthenian, "λόγος, Ἄνδρα ᾳ", u"l\u00F1gow, \u2026Andra &", ""},
      // Decomposed input spells the same bytes.
      {cara::kAthenian, "λο\u0301γος", u"l\u00F1gow", ""},
      {cara::kGreek, "λόγος\r\nλόγος, Ἀ", u"l\u00D2goj l\u00D2goj, 'A", ""},
      {cara::kGraeca, "λόγος Ἄνδρα ᾦ ΐ", u"lovgo\" A[ndra w\\/ i?", ""},
      {kBetaCode, "λόγος Ἄνδρα ᾦ ΐ ͵βʹ (α) — ἀλλ’ ὅς· σ", u"lo/gos *)/andra w)=| i+/ #22b# [1a]1 _ a)ll' o(/s: s1", ""},
      // Before a digit a sigma's code is written, or the digit would be read as
      // it (a fuzzing find).
      {kBetaCode, "ος2 ασ3 ας σς222 ς3 Σ23 Σ", u"os22 as13 as ss2222 s23 *s123 *s", ""},
      // ἀ is byte 142, which Windows-1252 shows as Ž.
      {cara::kAthenian, "Bἀ\uF000", u"B\u017D\uF000",
       "No se encontró el carácter  66 en alpha-sonido\r\n"
       "No se encontró el carácter -4096 en alpha-sonido\r\n"},
      {cara::kAthenian, "ῗ", u"ῗ", "No se encontró el carácter  8151 ῗ de la fuente Athenian en alpha-letras\r\n"},
      {cara::kGreek, "", u"", ""},
  };
  for (const auto& c : casos) {
    std::u16string inf;
    EXPECT_EQ(traducea(tablas(), u(c.in), c.cara, inf), c.out) << c.in;
    EXPECT_EQ(inf, u(c.informe)) << c.in;
  }
}

TEST(Informe, LinesAsTheyComeAndASummaryAtTheEnd) {
  KALYXON_REQUIERE_TABLAS();
  InformeTexto inf;
  auto c = aUnicode(tablas(), cara::kGreek, {}, &inf);
  std::u16string r;
  c->alimenta(u"a\u20ACb\u20AC", r);
  c->alimenta(u"\u0081", r);
  c->termina(r);
  inf.termina();
  EXPECT_EQ(r, u("α€β€\u0081"));
  EXPECT_EQ(inf.lineas(), 3u);
  for (const char* linea : {"Resumen: 3 caracteres sin convertir\r\n", "  carácter  8364 €: 2 veces\r\n"})
    EXPECT_NE(inf.texto.find(u(linea)), std::u16string::npos) << linea;
}

// letras.csv is generated from sonido.csv's codlet values: they must agree.
TEST(Letras, EveryCodeIsASonidoCodeAndEveryFaceIsThere) {
  KALYXON_REQUIERE_TABLAS();
  sqlite3* db = nullptr;
  sqlite3_stmt* st = nullptr;
  const std::string ruta = std::string(KALYXON_RUNTIME_DIR) + "/ALPHA.db";
  ASSERT_EQ(sqlite3_open_v2(ruta.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  const char* sql = "SELECT count(*) FROM letras WHERE codlet < 800000 AND codlet NOT IN (SELECT codlet FROM sonido)";
  ASSERT_EQ(sqlite3_prepare_v2(db, sql, -1, &st, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
  EXPECT_EQ(sqlite3_column_int(st, 0), 0);
  sqlite3_finalize(st);
  sqlite3_close(db);
  for (auto c : {cara::kAthenian, cara::kGreek, cara::kGraeca, cara::kGraece, cara::kSgreek})
    EXPECT_NE(tablas().cara(c), nullptr);
}

// Rich text as a word processor writes it: the text, and the font of each stretch.
TEST(Rtf, ReadsTheTextAndFontsOfAWordProcessorFile) {
  KALYXON_REQUIERE_TABLAS();
  std::string datos = prueba::leeFichero(KALYXON_SOURCE_DIR "/tests/conversion/fixtures/muestra.rtf");
  ASSERT_TRUE(rtf::esRtf(datos));
  rtf::Documento d = rtf::lee(datos);
  EXPECT_EQ(d.texto(), u("lñgow kaÜ λόγος Ἄνδρα\nSegunda\tlínea {con} \\ llaves\n"));
  ASSERT_GE(d.tramos.size(), 3u);
  EXPECT_EQ(d.tramos[0].fuente, u"Athenian");
  EXPECT_EQ(d.tramos[0].texto, u("lñgow kaÜ"));
  EXPECT_EQ(d.tramos[2].fuente, u"Times New Roman");
  EXPECT_EQ(d.tramos[2].texto, u("λόγος Ἄνδρα"));
  // The Athenian stretch keeps the font's own codes for the converter.
  std::u16string informe;
  EXPECT_EQ(traduce(tablas(), d.tramos[0].texto, cara::kAthenian, informe), u("λόγος καὶ"));
}

TEST(Rtf, SkipsDestinationsAndHandlesEscapes) {
  rtf::Documento d = rtf::lee(
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
  EXPECT_THROW(rtf::lee("plain text"), rtf::Error);
  EXPECT_FALSE(rtf::esRtf("  {\\rtx"));
  EXPECT_EQ(rtf::lee("{\\rtf1 unclosed {group").texto(), u"unclosed group");
}

}  // namespace
}  // namespace kalyxon::conversion
