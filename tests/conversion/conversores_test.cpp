#include "conversion/conversores.h"

#include <gtest/gtest.h>

#include "tablas_prueba.h"

namespace kalyxon::conversion {
namespace {

using prueba::tablas;
using prueba::u;

std::u16string beta(std::u16string_view s, bool esBeta = true, Opciones o = {}) {
  return traBet(tablas(), s, esBeta, o);
}

TEST(BetaCode, WordsMarksCapitalsAndFinalSigma) {
  KALYXON_REQUIERE_TABLAS();
  EXPECT_EQ(beta(u"lo/gos"), u("λόγος"));
  EXPECT_EQ(beta(u"lo/goj"), u("λόγος"));
  EXPECT_EQ(beta(u"a *)/andra"), u("α Ἄνδρα"));
  EXPECT_EQ(beta(u"*a"), u("Α"));
  EXPECT_EQ(beta(u"a)/ndra w)=| tw=| *(/ektor"), u("ἄνδρα ᾦ τῷ Ἕκτορ"));
  // A sigma before an apostrophe or any other non-separator stays medial;
  // before the separators it is final.
  auto r = beta(u"os'");
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r.substr(0, 2), u("οσ"));
  for (char16_t sep : std::u16string(u",.;:_")) {
    std::u16string in = u"os";
    in += sep;
    EXPECT_EQ(beta(in).substr(0, 2), u("ος")) << static_cast<char>(sep);
  }
}

TEST(BetaCode, CaseMeansCapitalOnlyInSgreek) {
  KALYXON_REQUIERE_TABLAS();
  EXPECT_EQ(beta(u"Lo/gos", true), u("λόγος"));
  EXPECT_EQ(beta(u"Lo/gos", false), u("Λόγος"));
  EXPECT_EQ(beta(u"LO/GOS", true), u("λόγος"));
}

TEST(BetaCode, LineBreaksJoinWordsUnlessKept) {
  KALYXON_REQUIERE_TABLAS();
  EXPECT_EQ(beta(u"lo/gos\r\nlo/gos"), u("λόγοσλόγος"));
  EXPECT_EQ(beta(u"lo/gos\r\nlo/gos", true, {true}), u("λόγος\r\nλόγος"));
  // Digits and other characters outside BetaCode vanish.
  EXPECT_EQ(beta(u"a1-b"), u("αβ"));
  EXPECT_EQ(beta(u""), u"");
}

}  // namespace
}  // namespace kalyxon::conversion

namespace kalyxon::conversion {
namespace {

using prueba::tablas;
using prueba::u;

TEST(SeparateMarks, GraeceTakesTheMarksAfterTheLetter) {
  KALYXON_REQUIERE_TABLAS();
  auto graece = [](std::u16string_view s) { return traCom(tablas(), s, cara::kGraece); };
  EXPECT_EQ(graece(u"lo/gos"), u("λόγος"));
  EXPECT_EQ(graece(u"lo/goj"), u("λόγος"));
  // A capital at the start of a word takes the marks typed after it.
  EXPECT_EQ(graece(u"A)/ndra e)/qhke"), u("Ἄνδρα ἔθηκε"));
  // J and V are omega and eta with iota subscript.
  EXPECT_EQ(graece(u"tJ= qeV="), u("τῷ θεῇ"));
  EXPECT_EQ(graece(u"lo/gos\nlo/gos"), u("λόγοσλόγος"));
  EXPECT_EQ(traCom(tablas(), u"lo/gos\nlo/gos", cara::kGraece, {true}), u("λόγος\nλόγος"));
  EXPECT_EQ(graece(u""), u"");
}

TEST(SeparateMarks, GraecaMarks) {
  KALYXON_REQUIERE_TABLAS();
  auto graeca = [](std::u16string_view s) { return traCom(tablas(), s, cara::kGraeca); };
  // "v" after a vowel is the acute.
  EXPECT_EQ(graeca(u"lovgo\" av"), u("λόγο ά"));
  // ";" is the grave, and then a base character the face has no row for.
  EXPECT_EQ(graeca(u"a;b"), u("ὰβ"));
  // "/" is the iota subscript; x is xi and c chi in this face.
  EXPECT_EQ(graeca(u"tw/ xc"), u("τῳ ξχ"));
}

TEST(WholeGlyph, AthenianAndGreekWithTheReport) {
  KALYXON_REQUIERE_TABLAS();
  std::u16string informe = u"old";
  // λόγος: ό is byte 241 in Athenian, 210 in Greek; final sigma w / j.
  EXPECT_EQ(traduce(tablas(), u"l\u00F1gow", cara::kAthenian, informe), u("λόγος"));
  EXPECT_EQ(informe, u"");
  EXPECT_EQ(traduce(tablas(), u"l\u00D2goj", cara::kGreek, informe), u("λόγος"));
  // An unmapped character is copied and reported; line breaks are dropped.
  EXPECT_EQ(traduce(tablas(), u"a1\r\nb", cara::kAthenian, informe), u("α1β"));
  EXPECT_EQ(informe, u("No se encontró el carácter  49 1 de la fuente Athenian en alpha-letras\r\n"));
  EXPECT_EQ(traduce(tablas(), u"a\r\nb", cara::kAthenian, informe, {true}), u("α\r\nβ"));
  EXPECT_EQ(traduce(tablas(), u"", cara::kAthenian, informe), u"");
  EXPECT_EQ(informe, u"");
  // The numeral letters of the Greek face.
  EXPECT_EQ(traduce(tablas(), u"$%\",", cara::kGreek, informe), u("ϛϟϡ͵"));
}

TEST(WholeGlyph, BackFromUnicode) {
  KALYXON_REQUIERE_TABLAS();
  std::u16string informe;
  EXPECT_EQ(traducea(tablas(), u("λόγος"), cara::kAthenian, informe), u"l\u00F1gow");
  EXPECT_EQ(traducea(tablas(), u("λόγος\r\nλόγος"), cara::kGreek, informe), u"l\u00D2gojl\u00D2goj");
  EXPECT_EQ(informe, u"");
  // ἀ is byte 142, which Windows-1252 shows as Ž.
  EXPECT_EQ(traducea(tablas(), u("Bἀ\uF000"), cara::kAthenian, informe), u("BŽ\uF000"));
  EXPECT_EQ(informe, u("No se encontró el carácter  66 en alpha-sonido\r\n"
                       "No se encontró el carácter -4096 en alpha-sonido\r\n"));
  EXPECT_EQ(traducea(tablas(), u("Ἀ"), cara::kAthenian, informe), u("Ἀ"));
  EXPECT_EQ(informe,
            u("No se encontró el carácter  7944 Ἀ de la fuente Athenian en alpha-letras\r\n"));
  EXPECT_EQ(traducea(tablas(), u"", cara::kGreek, informe), u"");
  EXPECT_EQ(informe, u"");
}

// Rows of a tiny alphabet to reach the cases the shipped data does not have.
TEST(WholeGlyph, ApostropheForCode55AndMissingSonidoRow) {
  std::vector<FilaSonido> s = {{65, 1, 0, 0, 0, 0, 0, 945}, {39, 32, 0, 0, 0, 0, 0, 8217}};
  std::vector<FilaLetra> l = {{u"F", 97, 65}, {u"F", 55, 39}, {u"F", 120, 500}};
  Tablas t(s, l);
  std::u16string informe;
  EXPECT_EQ(traducea(t, u("α’"), u"F", informe), u"a'");
  EXPECT_EQ(traduce(t, u"ax", u"F", informe), u("αx"));
  EXPECT_EQ(informe, u("No se encontró el carácter  500 en alpha-sonido\r\n"));
  EXPECT_EQ(traducea(t, u"B\uF000", u"F", informe), u"B\uF000");
  EXPECT_EQ(informe, u("No se encontró el carácter  66 en alpha-sonido\r\n"
                       "No se encontró el carácter -4096 en alpha-sonido\r\n"));
}

}  // namespace
}  // namespace kalyxon::conversion

#include <sqlite3.h>

namespace kalyxon::conversion {
namespace {

// letras.csv is generated from sonido.csv's codlet values: they must agree.
TEST(Letras, EveryCodeIsASonidoCodeAndEveryFaceIsThere) {
  KALYXON_REQUIERE_TABLAS();
  sqlite3* db = nullptr;
  std::string ruta = std::string(KALYXON_RUNTIME_DIR) + "/ALPHA.db";
  ASSERT_EQ(sqlite3_open_v2(ruta.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  sqlite3_stmt* st = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db,
                               "SELECT count(*) FROM letras WHERE codlet NOT IN "
                               "(SELECT codlet FROM sonido)",
                               -1, &st, nullptr),
            SQLITE_OK);
  ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
  EXPECT_EQ(sqlite3_column_int(st, 0), 0);
  sqlite3_finalize(st);
  sqlite3_close(db);
  for (auto c : {cara::kAthenian, cara::kGreek, cara::kGraeca, cara::kGraece, cara::kSgreek})
    EXPECT_NE(tablas().cara(c), nullptr);
}

}  // namespace
}  // namespace kalyxon::conversion
