// The running word, its lookup and the candidate list, through the program
// object with scripted services.
#include <gtest/gtest.h>

#include "dictionary_support.h"

namespace kalyxon {
namespace {

TEST(WordCheck, TypingLogosShowsTheFormsMostFrequentFirstAndStepsThroughThem) {
  Banco b("Homero", false);
  b.forma(u"LOGOS", u"Λόγος", 2);
  b.forma(u"LOGOS", u"λόγος", 9);
  b.forma(u"LOGOI", u"λόγοι", 4);
  b.abre();

  b.teclea("LOGO");
  EXPECT_FALSE(b.f.lPalabra);
  EXPECT_EQ(b.f.lblpal.foreColor, kColorSinCandidato);
  b.teclea("S");
  EXPECT_EQ(b.f.lblasc.caption, u"83");
  EXPECT_EQ(b.f.cCadCla, u"LOGOS");
  EXPECT_EQ(b.f.cCadTra, u"logos");
  EXPECT_EQ(b.f.cCadOri, u"LOGOS");
  EXPECT_EQ(b.f.cBorraCad, u"{BKSP}{BKSP}{BKSP}{BKSP}{BKSP}");
  EXPECT_TRUE(b.f.lPalabra);
  EXPECT_EQ(b.f.nCandidato, 1);
  EXPECT_EQ(b.f.cCandidatos[1], u"λόγος");
  EXPECT_EQ(b.f.cCandidatos[2], u"Λόγος");
  EXPECT_EQ(b.f.cCandidatos[3], u"");
  EXPECT_EQ(b.f.cInfoCandidatos[2], u"logos 2");
  EXPECT_EQ(b.f.UniLabel1.caption, u"1 λόγος");
  EXPECT_EQ(b.f.lblpal.caption, u"logos 9");
  EXPECT_EQ(b.f.lblpal.foreColor, kColorConCandidato);
  EXPECT_TRUE(b.f.imgcam.visible);
  EXPECT_EQ(b.f.cCadUni, u"Λόγος");  // the last form collected

  b.d.siguienteCandidato();
  EXPECT_EQ(b.f.UniLabel1.caption, u"2 Λόγος");
  EXPECT_EQ(b.f.lblpal.caption, u"logos 2");
  b.d.siguienteCandidato();  // past the last: back to the first
  EXPECT_EQ(b.f.UniLabel1.caption, u"1 λόγος");

  // J is looked up as chi's key: "LOGOSJ" has no form; the list stays.
  b.d.cadenaGriego(74, false);
  EXPECT_EQ(b.f.cCadCla, u"LOGOSX");
  EXPECT_FALSE(b.f.lPalabra);
  EXPECT_FALSE(b.f.imgcam.visible);
  EXPECT_EQ(b.f.UniLabel1.caption, u"");

  // A key without a letter: nothing added, no candidate shown, list kept.
  b.teclea("LOGOI");
  b.d.cadenaGriego(0, false);
  b.teclea("LOGOI");
  ASSERT_TRUE(b.f.lPalabra);
  b.d.cadenaGriego(49, false);
  EXPECT_FALSE(b.f.lPalabra);
  EXPECT_EQ(b.f.cCadCla, u"LOGOI");
  EXPECT_EQ(b.f.cCandidatos[1], u"λόγοι");
  EXPECT_EQ(b.f.lblpal.foreColor, kColorSinCandidato);

  // The word reset empties the word and leaves the labels as they are.
  b.f.noDiacritico = false;
  b.d.cadenaGriego(0, false);
  EXPECT_EQ(b.f.lblasc.caption, u"0");
  EXPECT_TRUE(b.f.cCadCla.empty() && b.f.cBorraCad.empty() && b.f.cCadUni.empty());
  EXPECT_TRUE(b.f.noDiacritico);
  EXPECT_EQ(b.f.cCandidatos[1], u"λόγοι");
  EXPECT_EQ(b.f.lblpal.caption, u"logoi 4");
}

TEST(WordCheck, ApproximateModeAddsOneChangeVariants) {
  Banco b("Homero", false);
  b.forma(u"THN", u"τήν", 50);
  b.forma(u"TEN", u"τεν", 1);
  b.abre();
  b.d.hazVariantes(u"LOGOS");
  EXPECT_EQ(b.d.nVariantes, 0);  // off: only the word's own key

  b.d.mnudicapro_Click();
  ASSERT_TRUE(b.f.mnudicapro.checked);
  b.d.hazVariantes(u"LOGOS");
  ASSERT_EQ(b.d.nVariantes, 2);
  EXPECT_EQ(b.d.cVariantes[1], u"LWGOS");
  EXPECT_EQ(b.d.cVariantes[2], u"LLOGOS");
  EXPECT_EQ(b.d.cVariantes[3], u"");

  // "I" gives the I -> EI variant twice, each change made in the key only once.
  b.d.hazVariantes(u"TIMHI");
  std::vector<std::u16string> v(b.d.cVariantes.begin() + 1, b.d.cVariantes.begin() + 1 + b.d.nVariantes);
  EXPECT_EQ(v, (std::vector<std::u16string>{u"TIMEI", u"TUMHI", u"TEIMHI", u"TEIMHI"}));

  // Typing TEN finds its own form first, then the eta form.
  b.teclea("TEN");
  EXPECT_EQ(b.f.cCandidatos[1], u"τεν");
  EXPECT_EQ(b.f.cCandidatos[2], u"τήν");
  EXPECT_EQ(b.f.cInfoCandidatos[2], u"ten 50");  // the transliteration as typed
}

TEST(WordCheck, AtMost34CandidatesAndOneCandidateHidesTheChangeImage) {
  Banco b("Homero", false);
  for (int i = 0; i < 40; ++i) b.forma(u"A", std::u16string(1, static_cast<char16_t>(0x3B1)) + std::u16string(static_cast<size_t>(i + 1), u'\u0386'), 100 - i);
  b.forma(u"B", u"β", 1);
  b.abre();
  b.teclea("A");
  int n = 0;
  while (n + 1 < 36 && !b.f.cCandidatos[static_cast<size_t>(n + 1)].empty()) ++n;
  EXPECT_EQ(n, 34);
  EXPECT_EQ(b.f.cInfoCandidatos[34], u"a 67");
  EXPECT_TRUE(b.f.imgcam.visible);

  b.d.cadenaGriego(0, false);
  b.teclea("B");
  EXPECT_TRUE(b.f.lPalabra);
  EXPECT_FALSE(b.f.imgcam.visible);
  EXPECT_EQ(b.f.cCandidatos[2], u"");  // the longer earlier list is gone
  b.d.siguienteCandidato();
  EXPECT_EQ(b.f.UniLabel1.caption, u"1 β");
}

TEST(WordCheck, WithoutADictionaryNothingIsSearched) {
  Banco b("Homero", false);
  b.forma(u"LOGOS", u"λόγος", 9);
  b.teclea("LOGOS");
  EXPECT_EQ(b.f.cCadCla, u"LOGOS");
  EXPECT_FALSE(b.f.lPalabra);
  EXPECT_EQ(b.f.cCandidatos[1], u"");
  EXPECT_FALSE(b.f.imgcam.visible);
  EXPECT_TRUE(b.s.messageBox.shown.empty());
}

TEST(WordCheck, DroppedWordIsNormalisedAndOnlyGreekLettersCount) {
  Banco b("Homero", false);
  b.forma(u"LOGOS", u"λόγος", 9);
  b.abre();
  int clicks = 0;
  b.f.chkdic.onChange = [&] { ++clicks; };
  // Decomposed omicron + acute, with Latin letters, digits and punctuation mixed in.
  b.d.revisaGriego(u"«λο\u0301x1γος»");
  EXPECT_EQ(b.f.chkdic.value, 1);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(b.f.cCadCla, u"LOGOS");
  EXPECT_EQ(b.f.cCadOri, u"λόγος");
  EXPECT_EQ(b.f.cBorraCad.size(), 5u * 6u);
  EXPECT_TRUE(b.f.lPalabra);
  EXPECT_EQ(b.f.UniLabel1.caption, u"1 λόγος");
  // Blanks, line ends and punctuation around a dropped word.
  for (const char16_t* t : {u"  λόγος\r\n", u"λόγος,", u"(λόγος)·", u"\tλόγος; ", u"«λόγος»."}) {
    b.d.revisaGriego(t);
    EXPECT_EQ(b.f.cCadCla, u"LOGOS") << lexico::utf8(t);
    EXPECT_EQ(b.f.UniLabel1.caption, u"1 λόγος") << lexico::utf8(t);
  }
}

}  // namespace
}  // namespace kalyxon
