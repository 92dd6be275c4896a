// Key scripts typed on the simulated Spanish keyboard through the engine into
// the in-memory application: what the user would see.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/kalyxon.h"
#include "keyboard/simulador.h"
#include "util/utf.h"

namespace kalyxon {
namespace {

using Prepara = std::function<void(TecladoSimulado&)>;

struct Caso {
  const char* nombre;
  Prepara prepara;
  const char* guion;
  const char16_t* esperado;
};

void nada(TecladoSimulado&) {}
void angulos(TecladoSimulado& s) { s.form1().mnuang.checked = true; }
Prepara programa(std::u16string parametros) {
  return [parametros](TecladoSimulado& s) {
    Form1& f = s.form1();
    f.cPrograma = u"Editor";
    f.cParametros = parametros;
    f.cCambiaFuentes = u"SI";
    f.cFuenteGriego = u"G";
    f.cFuenteNormal = u"N";
  };
}

std::u16string escribe(const Caso& c, bool reinyectar) {
  TecladoSimulado s(KALYXON_RUNTIME_DIR);
  s.reinyectar = reinyectar;
  c.prepara(s);
  s.activaGriego();
  s.escribe(c.guion);
  return s.texto();
}

// Cases whose text does not depend on how letters are composed.
const Caso kCasos[] = {
    {"Latin mode types the keys themselves", nada, "f2 H O L A space +M U N D O", u"hola Mundo"},
    {"Latin mode keeps the layout's dead keys", nada, "f2 222 A 186 +E 222 space", u"áÈ´"},
    {"Latin mode autorepeats", nada, "f2 A*3", u"aaa"},
    {"Num Lock types nothing in either mode", nada, "numlock f2 numlock A", u"a"},
    {"keypad Enter is swallowed in Greek mode", nada, "kpenter kpenter*3", u""},
    {"keypad Enter reaches the application in Latin mode", nada, "f2 kpenter", u"\n"},
    {"an injected taken key is swallowed", nada, "!A !space", u""},
    {"Ctrl and Alt combinations type nothing and pass", nada, "^C %F ^%50", u"@"},
    {"digits are not taken", nada, "49 50 51 48", u"1230"},
    {"Backspace reaches the application", nada, "49 50 bksp", u"1"},
    {"the change-form key is never typed", nada, "220 f2 220", u"º"},
    {"F4 twice after a letter without variant types ϵ", nada, "A f4 f4", u"\u03F5"},
    {"F4 twice right after a separator types ϵ", nada, "space f4 f4", u"\u03F5"},
    {"puta and a separator", nada, "P U T A space", u"¡Sin ofender!"},
    {"kabron and a full stop", nada, "K A B R O N 190", u"¡shhhhhhh!"},
    {"the fixed words ignore case", nada, "+P +U T A space", u"¡Sin ofender!"},
    {"Backspace does not empty the word record", nada, "P U bksp T A space", u"¡Sin ofender!"},
    {"angle quotes: < becomes «", angulos, "226", u"«"},
    {"angle quotes: > becomes »", angulos, "+226", u"»"},
    {"angle quotes follow the tracked Caps Lock", angulos, "capslock 226", u"»"},
    {"no angle quotes without the option", nada, "226 +226", u"<>"},
    {"no angle quotes in Latin mode", angulos, "f2 226", u"<"},
    {"F2 without a program profile sends nothing", nada, "f2 B f2", u"b"},
    {"F2 types the macro with the font entered", programa(u"*{TAB}"), "f2 B f2", u"N\tbG\t"},
};

TEST(Typing, KeyScriptsGiveTheTextAUserWouldSee) {
  for (const auto& c : kCasos) {
    EXPECT_EQ(util::toUtf8(escribe(c, false)), util::toUtf8(c.esperado)) << c.nombre;
    // The same when the sent keystrokes come back through the hook.
    EXPECT_EQ(util::toUtf8(escribe(c, true)), util::toUtf8(c.esperado)) << c.nombre << " (via hook)";
  }
}

TEST(Typing, ShortcutsReachTheApplication) {
  TecladoSimulado s(KALYXON_RUNTIME_DIR);
  s.activaGriego();
  s.escribe("^C %F +^S");
  ASSERT_EQ(s.app().shortcuts().size(), 3u);
  EXPECT_EQ(s.app().shortcuts()[0], sendkeys::chr(U'c', sendkeys::kCtrl));
  EXPECT_EQ(s.app().shortcuts()[1], sendkeys::chr(U'f', sendkeys::kAlt));
  EXPECT_EQ(s.app().shortcuts()[2], sendkeys::chr(U's', sendkeys::kCtrl | sendkeys::kShift));
}

// A file dialog or an input box of the program takes Latin: its keys pass
// untouched, F2 included, and a key pressed there whose release comes after
// the box has closed types nothing into the window behind.
TEST(Typing, BoxesOfTheProgramTakeLatinKeys) {
  TecladoSimulado s(KALYXON_RUNTIME_DIR);
  s.activaGriego();
  s.escribe("L");
  s.hook().ventanaLatina(true);
  s.escribe("L O G O S f2 49");
  KeyEvent intro;
  intro.vkCode = 13;
  s.evento(intro);
  s.hook().ventanaLatina(false);
  intro.flags = flag::kUp;
  EXPECT_EQ(s.evento(intro), Verdict::Pass);
  EXPECT_TRUE(s.hook().lModoGriego);
  s.escribe("L");
  EXPECT_EQ(util::toUtf8(s.texto()), "λlogos1\nλ");
}

TEST(Typing, CapsLockLightAndTrackedStateDrift) {
  TecladoSimulado s(KALYXON_RUNTIME_DIR);
  s.activaGriego();
  s.escribe("capslock");
  EXPECT_TRUE(s.bloqMay());
  EXPECT_TRUE(s.hook().tTecla.lBloqMay);
  // Toggled in Latin mode: the light goes off, the hook still thinks it on.
  s.escribe("f2 capslock A f2");
  EXPECT_FALSE(s.bloqMay());
  EXPECT_TRUE(s.hook().tTecla.lBloqMay);
  EXPECT_EQ(s.texto(), u"a");
}

TEST(Typing, F3WithCapsLockOnShowsTheMessageTwice) {
  TecladoSimulado s(KALYXON_RUNTIME_DIR);
  s.activaGriego();
  s.escribe("capslock f3");
  ASSERT_EQ(s.servicios().messageBox.shown.size(), 2u);
  EXPECT_EQ(s.form1().chkdic.value, 0);
  s.escribe("capslock f3");
  EXPECT_EQ(s.servicios().messageBox.shown.size(), 2u);
  EXPECT_EQ(s.form1().chkdic.value, 1);
}

// The message box of a letter release lets the user go on typing; the key
// typed while it is open is handled completely inside it.
TEST(Typing, KeysTypedWhileAMessageBoxIsOpen) {
  TecladoSimulado s(KALYXON_RUNTIME_DIR);
  s.activaGriego();
  s.form1().chkdic.setValue(1);
  s.ponBloqMay(true);  // the light only: the hook does not know
  auto& caja = s.servicios().messageBox;
  int abiertas = 0;
  caja.onShow = [&] {
    if (abiertas++ == 0) s.escribe("f2 X f2");
  };
  s.escribe("A");
  EXPECT_EQ(caja.shown.size(), 1u);  // X was typed in Latin mode
  ASSERT_FALSE(s.texto().empty());
  EXPECT_EQ(s.texto().front(), u'X');  // Caps Lock light on
  EXPECT_EQ(s.form1().cUltima, u"A");
  EXPECT_TRUE(s.hook().lModoGriego);
  EXPECT_EQ(s.hook().profundidad(), 0);
}

// Through the hook, the macro's own keys are judged in the mode being
// entered: a letter key in it is taken over by Greek mode.
TEST(Typing, MacroKeysComeBackThroughTheHook) {
  TecladoSimulado s(KALYXON_RUNTIME_DIR);
  s.reinyectar = true;
  programa(u"*+a")(s);
  s.activaGriego();
  std::vector<int> niveles;
  s.alEvento = [&](const KeyEvent& e, Verdict, int nivel) {
    if (e.flags & flag::kInjected) niveles.push_back(nivel);
  };
  s.escribe("f2 f2");
  EXPECT_EQ(s.texto(), u"NAG");
  ASSERT_FALSE(niveles.empty());
  for (int n : niveles) EXPECT_EQ(n, 1);  // inside the F2 release: the send waits
}

TEST(Typing, BadScriptsAreRefusedWhole) {
  TecladoSimulado s(KALYXON_RUNTIME_DIR);
  s.activaGriego();
  for (const char* malo : {"A 0", "A 255", "A foo", "A ++B", "A *3", "A B*0", "A B*x", "+"}) {
    EXPECT_THROW(s.escribe(malo), ErrorGuion) << malo;
  }
  EXPECT_TRUE(s.app().received().empty());
  try {
    leeGuion("A B\n  Q1");
    FAIL();
  } catch (const ErrorGuion& e) {
    EXPECT_EQ(std::string(e.what()), "bad token 'Q1' (token 3): unknown key name");
  }
  auto t = leeTecla("^%!kpenter*4");
  EXPECT_EQ(t.vk, 13u);
  EXPECT_TRUE(t.ctrl && t.alt && t.inyectada && t.extendida && !t.shift);
  EXPECT_EQ(t.pulsaciones, 4);
  EXPECT_EQ(leeTecla("f12").vk, 123u);
  EXPECT_EQ(leeTecla("z").vk, 90u);
  EXPECT_EQ(leeTecla("ENTER").vk, 13u);
}

}  // namespace
}  // namespace kalyxon
