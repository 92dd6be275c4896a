// What composition shows besides the text typed (the labels, the dead-key
// pictures) and the lookup below the keyboard. What the keys type is in
// keyboard/typing_test.cpp.
#include <gtest/gtest.h>

#include <string>

#include "app/kalyxon.h"
#include "greek/compositor.h"
#include "keyboard/diacriticos.h"
#include "keyboard/simulador.h"
#include "util/utf.h"

namespace kalyxon {
namespace {

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
  // (Which mark wins is in the typing table; here the pictures that show it.)
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
