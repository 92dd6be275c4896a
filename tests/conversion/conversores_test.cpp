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
  EXPECT_EQ(beta(u"Lo/gos", true), u("λόγος"));
  EXPECT_EQ(beta(u"Lo/gos", false), u("Λόγος"));
  EXPECT_EQ(beta(u"LO/GOS", true), u("λόγος"));
}

TEST(BetaCode, LineBreaksJoinWordsUnlessKept) {
  EXPECT_EQ(beta(u"lo/gos\r\nlo/gos"), u("λόγοσλόγος"));
  EXPECT_EQ(beta(u"lo/gos\r\nlo/gos", true, {true}), u("λόγος\r\nλόγος"));
  // Digits and other characters outside BetaCode vanish.
  EXPECT_EQ(beta(u"a1-b"), u("αβ"));
  EXPECT_EQ(beta(u""), u"");
}

}  // namespace
}  // namespace kalyxon::conversion
