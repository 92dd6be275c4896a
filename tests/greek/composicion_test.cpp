// What composition shows besides the text typed (the labels, the dead-key
// pictures) and the lookup below the keyboard. What the keys type is in
// keyboard/typing_test.cpp.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>

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
  Form1& f = s.form1();
  s.escribe("f4");
  EXPECT_EQ(f.lblrec.caption, u"Rec.");
  s.escribe("f4");  // a second F4 types ϵ and leaves rectify mode
  EXPECT_EQ(f.lblrec.caption, u"");
  s.escribe("J");
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
  // In Latin mode too F4 varies the Greek letter before the caret.
  s.escribe("B f2 f4");
  EXPECT_EQ(f.lblrec.caption, u"Var.");
  EXPECT_EQ(s.texto().back(), u'ϐ');
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
  auto estado = [&] {
    return std::tuple(f.nAcc, f.nEsp, f.nIot, f.nMay, f.nFon, f.nAccUlt, f.lMayUlt,
                      f.lblasc.caption, f.lblfon.caption, f.imaagu.picture);
  };
  const auto antes = estado();
  EXPECT_EQ(c.buscaGriego('A', true, true), 0x1F8D);  // ᾍ
  EXPECT_EQ(estado(), antes);
  // The normal lookup files the marks with the letter and clears them.
  EXPECT_EQ(c.buscaGriego('A', true, false), 0x1F8D);
  EXPECT_EQ(f.nAcc + f.nEsp + f.nIot + f.nMay + f.nDie, 0);
  EXPECT_EQ(f.lblfon.caption, u"alfa");
  EXPECT_EQ(f.imaagu.picture, "accagu1.ico");
}

// The seven indicators (acute, grave, circumflex, smooth, rough, diaeresis,
// iota) after each dead key or button; which mark wins is in the typing table.
TEST_F(Busqueda, IndicatorsFollowThePendingMarksOfKeysAndButtons) {
  auto luces = [&] {
    std::string l;
    for (const vm::Image* i : {&f.imaagu, &f.imagra, &f.imacir, &f.imasua, &f.imaasp, &f.imadie,
                               &f.imaiot})
      l += i->picture.ends_with("2.ico") ? '1' : '0';
    return l;
  };
  auto tecla = [&](int vk, bool may) { return [=, this] { d.ponDiacritico(vk, may); }; };
  const struct {
    std::function<void()> accion;
    const char* luces;
  } pasos[] = {
      {tecla(222, false), "1000000"},
      {tecla(186, false), "0100000"},  // grave replaces acute
      {tecla(186, false), "0000000"},  // and goes again
      {tecla(57, true), "0001000"},
      {tecla(56, true), "0000100"},  // rough replaces smooth
      {tecla(222, true), "0000110"},
      {tecla(192, false), "0000111"},
      {[&] { d.imagra_Click(); }, "0100111"},
      {[&] { d.imacir_Click(); }, "0010111"},  // replaces the grave
      {[&] { d.imacir_Click(); }, "0000111"},
      {[&] { d.imasua_Click(); }, "0001011"},
      {[&] { d.imadie_Click(); }, "0001001"},
      {[&] { d.imaiot_Click(); }, "0001000"},
      {[&] { d.imaagu_Click(); }, "1001000"},
      // Rectify mode: dead keys change the letter typed, buttons the pending marks.
      {[&] { f.lRectifica = true; d.ponDiacritico(186, false); }, "1001000"},
      {[&] { d.imaasp_Click(); }, "1000100"},
  };
  for (const auto& p : pasos) {
    f.noDiacritico = true;
    p.accion();
    EXPECT_EQ(luces(), p.luces);
  }
  EXPECT_TRUE(f.noDiacritico);  // a click is not a dead key
  // What the buttons left pending goes on the next letter.
  f.lRectifica = false;
  s.activaGriego();
  s.escribe("A");
  EXPECT_EQ(s.texto(), u"ἅ");
}

TEST_F(Busqueda, PhoneticMarks) {
  EXPECT_EQ(c.daFonetica('A', 0), u"");  // nothing armed
  c.mnufonbre_Click();
  EXPECT_TRUE(f.mnufonbre.checked);
  c.mnufonlar_Click();  // switches to long
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
  c.mnufonlar_Click();  // quality only
  EXPECT_EQ(c.daFonetica('E', 0), u"ę");
  c.mnufoncer_Click();
  EXPECT_FALSE(f.mnufonabi.checked);
  EXPECT_EQ(c.daFonetica('O', 0), u"ọ");
}

}  // namespace
}  // namespace kalyxon
