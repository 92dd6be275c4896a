// Greek typed on the simulated keyboard: the composer, the word record and
// the hook together, as the user sees the result in the application.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/kalyxon.h"
#include "keyboard/simulador.h"
#include "util/utf.h"

namespace kalyxon {
namespace {

using Prepara = std::function<void(Form1&)>;

struct Caso {
  const char* guion;
  Prepara prepara;
  const char16_t* esperado;
};

void nada(Form1&) {}
void sigma(Form1& f) { f.mnus.checked = true; }
void espiritus(Form1& f) { f.mnuesp.checked = true; }
void ks(Form1& f) { f.mnuks.checked = f.mnups.checked = true; }
void iota(Form1& f) { f.mnuiota.checked = true; }
void angulos(Form1& f) { f.mnuang.checked = true; }
void perfil(Form1& f) {
  f.cPrograma = u"Editor";
  f.cParametros = u"*{TAB}";
  f.cCambiaFuentes = u"SI";
  f.cFuenteGriego = u"G";
  f.cFuenteNormal = u"N";
}

const Caso kCasos[] = {
    {"L 222 O G O S space", sigma, u"λόγος "},
    {"L 222 O G O S space", nada, u"λόγοσ "},
    {"+L O G O S 190", sigma, u"Λογος."},
    // Holding a key: one letter, at the release.
    {"A*5 B*2", nada, u"αβ"},
    // Caps Lock as tracked by the hook makes 9 and 8 the breathings and
    // capitalises like Shift.
    {"capslock 57 A capslock", nada, u"Ἀ"},
    {"capslock 56 A capslock B", nada, u"Ἁβ"},
    {"56 57", nada, u"89"},
    // F2 into Latin and back, without and with a program profile.
    {"A f2 B f2 G", nada, u"αbγ"},
    {"A f2 B f2 G", perfil, u"G\tαN\tbG\tγ"},
    // The variant key: variant letters, their cycles, rectify mode.
    {"B f4", nada, u"ϐ"},
    {"Q f4 f4 f4", nada, u"Ϙ"},
    {"Q f4 f4 f4 f4", nada, u"ϑ"},
    {"K f4 f4", nada, u"ϗ"},
    {"A f4 f4", nada, u"ϵ"},
    {"A f4 222 space", nada, u"ά "},
    // A dead key in the word: no fixed-word reply.
    {"P U T 222 A space", nada, u"πυτά "},
    {"P U T A space", nada, u"¡Sin ofender!"},
    {"A enter B", nada, u"α\nβ"},
    {"A I space", espiritus, u"αἰ "},
    {"E U space", espiritus, u"εὐ "},
    {"K S P S", ks, u"ξψ"},
    {"W I", iota, u"ῳ"},
    {"L O G O S 226 +226", angulos, u"λογοσ«»"},
    {"L O G O S bksp bksp G O S", nada, u"λογγοσ"},
};

TEST(GreekTyping, KeyScriptsGiveTheGreekAUserWouldSee) {
  for (bool reinyectar : {false, true}) {
    for (const auto& c : kCasos) {
      TecladoSimulado s(KALYXON_RUNTIME_DIR);
      s.reinyectar = reinyectar;
      c.prepara(s.form1());
      s.activaGriego();
      s.escribe(c.guion);
      EXPECT_EQ(util::toUtf8(s.texto()), util::toUtf8(c.esperado))
          << c.guion << (reinyectar ? " (via hook)" : "");
    }
  }
}

// A message box opened by a letter lets the user type on; the key typed
// inside it is composed and sent before the letter that opened the box.
TEST(GreekTyping, LettersTypedWhileTheCapsLockMessageIsOpen) {
  TecladoSimulado s(KALYXON_RUNTIME_DIR);
  s.activaGriego();
  s.form1().chkdic.setValue(1);
  s.ponBloqMay(true);
  auto& caja = s.servicios().messageBox;
  caja.onShow = [&] {
    if (caja.shown.size() == 1) s.escribe("B");
  };
  s.escribe("A");
  EXPECT_EQ(caja.shown.size(), 2u);
  EXPECT_EQ(s.texto(), u"βα");
  EXPECT_EQ(s.form1().cUltima, u"BA");
  EXPECT_EQ(s.hook().profundidad(), 0);
}

}  // namespace
}  // namespace kalyxon
