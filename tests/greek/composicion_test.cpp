// Composition through the whole keyboard path: key scripts on the simulated
// Spanish keyboard, through the hook and the composer, into the in-memory
// application. Dead keys: 222 acute (+222 diaeresis), 186 grave (+186
// circumflex), 192 iota subscript, +56 rough and +57 smooth breathing.
#include <gtest/gtest.h>

#include <string>

#include "app/kalyxon.h"
#include "greek/compositor.h"
#include "keyboard/diacriticos.h"
#include "keyboard/simulador.h"
#include "util/utf.h"

namespace kalyxon {
namespace {

// Options: s final sigma, k ks, p ps, e automatic breathing, i long vowel +
// iota; any other letter is ignored.
struct Caso {
  const char* opciones;
  const char* guion;
  const char16_t* esperado;
};

const Caso kCasos[] = {
    // Automatic breathing, moved to the second vowel of a diphthong.
    {"e", "A I", u"αἰ"},
    {"e", "E U space", u"εὐ "},
    {"e", "O U K space", u"οὐκ "},
    {"e", "U", u"ὑ"},
    {"e", "A E", u"ἀε"},
    {"e", "R O D O N", u"ῥοδον"},
    {"e", "R I", u"ῥι"},
    {"e", "L A I", u"λαι"},
    {"e", "+A I", u"Αἰ"},
    {"e", "A 222 I", u"αἴ"},
    {"e", "+222 I", u"ϊ"},
    {"e", "+56 E N", u"ἑν"},
    {"e", "A space E", u"ἀ ἐ"},
    {"", "A I", u"αι"},
    // k+s and p+s.
    {"kp", "K S", u"ξ"},
    {"kp", "E K S", u"εξ"},
    {"kp", "P S", u"ψ"},
    {"", "K S", u"κσ"},
    // Long vowel + iota, keeping the marks of the vowel.
    {"i", "L W I", u"λῳ"},
    {"i", "L 186 H I", u"λῂ"},
    // The pair keeps the case of its vowel; releasing Shift does not break it.
    {"i", "capslock W I", u"ῼ"},
    {"i", "+W I", u"ῼ"},
    {"ie", "W I", u"ᾠ"},
    {"", "L W I", u"λωι"},
    // Final sigma before a separator; C always gives it.
    {"s", "L O G O S space", u"λογος "},
    {"s", "S 190", u"ς."},
    {"s", "capslock S space", u"ς "},
    {"s", "S +219", u"ς;"},
    {"sk", "K S space", u"ξ "},
    {"", "S space", u"σ "},
    {"", "C", u"ς"},
    {"", "222 C A", u"ςά"},
    // Dead keys.
    {"", "L 222 O", u"λό"},
    {"", "L 222 222 O", u"λο"},
    {"", "L 222 186 O", u"λὸ"},
    {"", "L +186 W", u"λῶ"},
    {"", "L +186 +186 W", u"λω"},
    {"", "+57 +56 A", u"ἁ"},
    {"", "+56 222 192 W", u"ᾥ"},
    {"", "+57 +186 192 +A", u"ᾎ"},
    {"", "+222 222 I", u"ΐ"},
    {"", "+222 +I", u"Ϊ"},
    {"", "222 B", u"β"},  // a mark the letter cannot carry is dropped
    {"", "222 B A", u"βα"},
    {"", "capslock 57 A", u"Ἀ"},
    // Rectify mode: F4 then dead keys change the letter already typed.
    {"", "L O f4 222", u"λό"},
    {"", "L W f4 +186", u"λῶ"},
    {"", "L W f4 192 f4 186", u"λῲ"},
    {"", "capslock O f4 56", u"Ὁ"},
    {"e", "A f4 +56", u"ἁ"},
    {"", "f4 222 A", u"α"},
    // Every letter key (J χ, X ξ, V digamma, C final sigma), capitals with Shift.
    {"", "A B G D E Z H Q I K L M N X O P R S T U F J Y W V C", u"αβγδεζηθικλμνξοπρστυφχψωϝς"},
    {"", "+A +B +Q +X +Y +W +V", u"ΑΒΘΞΨΩϜ"},
    // Symbol keys.
    {"", "+54 221 +221 V +V J", u"ϗϙϘϝϜχ"},
    {"", "190 188 +188 +190 +53", u".,;\u0387\u03F5"},
    // The apostrophe key is the elision mark; other keys without a Greek
    // letter type their own code, and the Shift of the remapped ; does not
    // make the next letter a capital; a diaeresis on a consonant is dropped.
    {"", "219 +219 A +52 49 +222 B", u"’;α\"1β"},
    // F4 once after q (the other variants are in keyboard/typing_test.cpp).
    {"", "Q f4", u"ϑ"},
};

std::u16string escribe(const Caso& c, bool reinyectar) {
  TecladoSimulado s(KALYXON_RUNTIME_DIR);
  s.reinyectar = reinyectar;
  Form1& f = s.form1();
  std::string o = c.opciones;
  f.mnus.checked = o.find('s') != std::string::npos;
  f.mnuks.checked = o.find('k') != std::string::npos;
  f.mnups.checked = o.find('p') != std::string::npos;
  f.mnuesp.checked = o.find('e') != std::string::npos;
  f.mnuiota.checked = o.find('i') != std::string::npos;
  f.mnunum.checked = false;
  s.activaGriego();
  s.escribe(c.guion);
  return s.texto();
}

TEST(Composicion, KeyScriptsGiveTheGreekAUserExpects) {
  for (const auto& c : kCasos) {
    EXPECT_EQ(util::toUtf8(escribe(c, false)), util::toUtf8(c.esperado))
        << c.guion << " [" << c.opciones << "]";
    EXPECT_EQ(util::toUtf8(escribe(c, true)), util::toUtf8(c.esperado))
        << c.guion << " [" << c.opciones << "] via hook";
  }
}

TEST(Composicion, LabelsShowTheKeyTheLetterAndTheCode) {
  TecladoSimulado s(KALYXON_RUNTIME_DIR);
  s.activaGriego();
  s.escribe("J");
  Form1& f = s.form1();
  EXPECT_EQ(f.lblfon.caption, u"ji");
  EXPECT_EQ(f.lbluni.caption, u"967");
  EXPECT_EQ(f.lblhex.caption, u"03C7");
  s.escribe("space");
  EXPECT_EQ(f.lblhex.caption, u"0020");
  s.escribe("C");
  EXPECT_EQ(f.lbluni.caption, u"0");
  s.escribe("L f4");
  EXPECT_EQ(f.lblrec.caption, u"Rec.");
  s.escribe("222");
  EXPECT_EQ(f.lblrec.caption, u"");
}

// The lookup itself, below the keyboard.
class Busqueda : public ::testing::Test {
 protected:
  TecladoSimulado s{KALYXON_RUNTIME_DIR};
  Form1& f = s.form1();
  Compositor& c = s.k().compositor();
  Diacriticos& d = s.k().diacriticos();
};

TEST_F(Busqueda, AProbeLeavesEveryMemberAsItWas) {
  d.ponDiacritico(222, false);
  d.ponDiacritico(56, true);
  d.ponDiacritico(192, false);
  f.nFon = 7;
  f.nMay = 0;
  f.lblasc.caption = u"x";
  f.lblfon.caption = u"y";
  EXPECT_EQ(c.buscaGriego('A', true, true), 0x1F8D);  // ᾍ
  EXPECT_EQ(f.nAcc, 1);
  EXPECT_EQ(f.nEsp, 2);
  EXPECT_EQ(f.nIot, 1);
  EXPECT_EQ(f.nMay, 0);
  EXPECT_EQ(f.nFon, 7);
  EXPECT_EQ(f.nAccUlt, 0);
  EXPECT_FALSE(f.lMayUlt);
  EXPECT_EQ(f.lblasc.caption, u"x");
  EXPECT_EQ(f.imaagu.picture, "accagu2.ico");
  // The normal lookup files the marks with the letter and clears them.
  EXPECT_EQ(c.buscaGriego('A', true, false), 0x1F8D);
  EXPECT_EQ(f.nAcc + f.nEsp + f.nIot + f.nMay + f.nDie, 0);
  EXPECT_EQ(f.lblfon.caption, u"alfa");
  EXPECT_EQ(f.imaagu.picture, "accagu1.ico");
}

TEST_F(Busqueda, DeadKeyIndicatorsFollowThePendingMarksAndRectifyModeSetsTheLastLetter) {
  // (Which mark wins is in the table above; here the pictures that show it.)
  d.ponDiacritico(222, false);
  EXPECT_EQ(f.imaagu.picture, "accagu2.ico");
  d.ponDiacritico(186, false);  // grave replaces acute
  EXPECT_EQ(f.imaagu.picture, "accagu1.ico");
  EXPECT_EQ(f.imagra.picture, "accgra2.ico");
  d.ponDiacritico(186, false);
  EXPECT_EQ(f.imagra.picture, "accgra1.ico");
  d.ponDiacritico(57, true);
  d.ponDiacritico(56, true);  // rough replaces smooth
  EXPECT_EQ(f.imasua.picture, "espsuave1.ico");
  EXPECT_EQ(f.imaasp.picture, "espasp2.ico");

  // Rectify mode changes the last letter's record, not the pending marks;
  // the circumflex is set, not toggled; the diaeresis clears the capital.
  f.lRectifica = true;
  d.ponDiacritico(186, true);
  d.ponDiacritico(186, true);
  EXPECT_EQ(f.nAccUlt, 3);
  EXPECT_EQ(f.nAcc, 0);
  f.nMayUlt = 1;
  d.ponDiacritico(222, true);
  EXPECT_EQ(f.nDieUlt, 1);
  d.ponDiacritico(222, true);
  EXPECT_EQ(f.nDieUlt, 0);
  EXPECT_EQ(f.nMayUlt, 0);
}

TEST_F(Busqueda, ButtonsActOnThePendingMarksOnly) {
  f.noDiacritico = true;
  d.ponDiacritico(222, false);
  f.noDiacritico = true;
  d.imagra_Click();  // replaces the acute
  EXPECT_EQ(f.nAcc, 2);
  EXPECT_EQ(f.imaagu.picture, "accagu1.ico");
  EXPECT_EQ(f.imagra.picture, "accgra2.ico");
  d.imacir_Click();
  EXPECT_EQ(f.nAcc, 3);
  EXPECT_EQ(f.imagra.picture, "accgra1.ico");
  d.imacir_Click();
  EXPECT_EQ(f.nAcc, 0);
  EXPECT_EQ(f.imacir.picture, "acccir1.ico");
  d.imasua_Click();
  d.imaasp_Click();
  EXPECT_EQ(f.nEsp, 2);
  EXPECT_EQ(f.imasua.picture, "espsuave1.ico");
  d.imadie_Click();
  d.imaiot_Click();
  EXPECT_EQ(f.imadie.picture, "dieresis2.ico");
  EXPECT_EQ(f.imaiot.picture, "iota2.ico");
  f.lRectifica = true;  // buttons ignore rectify mode
  d.imaagu_Click();
  EXPECT_EQ(f.nAcc, 1);
  EXPECT_TRUE(f.noDiacritico);  // a click is not a dead key
}

TEST_F(Busqueda, PhoneticMarks) {
  EXPECT_EQ(c.daFonetica('A', 0), u"");  // nothing armed
  c.mnufonbre_Click();
  EXPECT_TRUE(f.mnufonbre.checked);
  EXPECT_EQ(c.daFonetica('A', 0), u"ᾰ");
  c.mnufonlar_Click();  // switches to long
  EXPECT_EQ(f.nCan, 2);
  EXPECT_FALSE(f.mnufonbre.checked);
  EXPECT_EQ(c.daFonetica('U', 0), u"ῡ");
  EXPECT_EQ(c.daFonetica('E', 0), u"ε");  // no long epsilon: the plain letter
  EXPECT_EQ(c.daFonetica('E', 1), u"Ε");
  EXPECT_EQ(c.daFonetica(32, 0), u" ");   // the space still types a space
  EXPECT_EQ(c.daFonetica(49, 0), u"");    // a digit is typed by the application itself
  EXPECT_EQ(c.daFonetica(222, 0), u"");   // a dead key gives nothing
  f.mnulat.checked = true;
  EXPECT_EQ(c.daFonetica('E', 0), u"ē");
  c.mnufonabi_Click();  // quantity and quality together
  EXPECT_EQ(c.daFonetica('O', 0), u"ǭ");
  EXPECT_EQ(c.daFonetica('E', 0), u"e");  // no open long e
  c.mnufonlar_Click();
  EXPECT_EQ(f.nCan, 0);
  EXPECT_EQ(c.daFonetica('E', 0), u"ę");
  c.mnufoncer_Click();
  EXPECT_EQ(f.nApe, 2);
  EXPECT_FALSE(f.mnufonabi.checked);
  EXPECT_EQ(c.daFonetica('O', 0), u"ọ");
}

}  // namespace
}  // namespace kalyxon
