// Key scripts typed on the simulated Spanish keyboard through the engine into
// the in-memory application: what the user would see. One table per
// behaviour; every script runs twice, with the engine's keystrokes applied
// directly and coming back through the hook as injected events.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/kalyxon.h"
#include "dictionary/diccionario.h"
#include "dictionary/lexico.h"
#include "greek/compositor.h"
#include "keyboard/simulador.h"
#include "support/prueba.h"
#include "util/utf.h"

namespace kalyxon {
namespace {

namespace fs = std::filesystem;

struct Caso {
  const char* guion;
  const char* opciones;  // words: sigma ks ps iota esp num ang html java dic prog breve larga
  const char* esperado;
};

// A dictionary of a few forms, among them two that look like keystrokes.
fs::path diccionario() {
  static const prueba::CarpetaTemporal dir;
  static const fs::path fichero = [] {
    lexico::Espacio ws;
    auto t = ws.abre(dir / "LEXICA1.db", true)->creaTabla("clasico");
    const std::tuple<const char16_t*, const char16_t*, int> formas[] = {
        {u"LOGOS", u"λόγος", 50}, {u"LOGOS", u"λογός", 5}, {u"LOGOU", u"λόγου", 20},
        {u"KSENOS", u"ξένος", 9}, {u"ALL", u"ἀλλ", 9},     {u"KAI", u"καὶ", 900},
        {u"KAI", u"καί", 90},     {u"KAI", u"Καὶ", 300},   {u"KAI", u"Καί", 30},
        {u"KAKA", u"^%t{ENTER}rm~\r", 9}};
    for (auto [clave, forma, n] : formas) t->anade(clave, lexico::listaCodigos(forma), n);
    return dir / "LEXICA1.db";
  }();
  return fichero;
}

class Typing : public ::testing::Test {
 protected:
  static std::u16string escribe(const Caso& c, bool reinyectar, TecladoSimulado& s) {
    s.reinyectar = reinyectar;
    Form1& f = s.form1();
    const std::string ops = std::string(" ") + c.opciones + " ";
    auto tiene = [&](const std::string& w) { return ops.find(" " + w + " ") != std::string::npos; };
    const std::pair<const char*, vm::MenuItem*> menus[] = {
        {"sigma", &f.mnus}, {"ks", &f.mnuks},   {"ps", &f.mnups},   {"iota", &f.mnuiota},
        {"esp", &f.mnuesp}, {"num", &f.mnunum}, {"ang", &f.mnuang}, {"ctx", &f.mnuacc}};
    for (const auto& [opcion, menu] : menus) menu->checked = tiene(opcion);
    if (tiene("html") || tiene("java")) {
      (tiene("java") ? f.mnucodjav : f.mnucodhtm).checked = true;
      f.mnucod.tag = u"*";
    }
    if (tiene("prog")) {
      f.cPrograma = u"Editor";
      f.cParametros = tiene("malformed") ? u"{*" : u"*{TAB}";
      f.cCambiaFuentes = u"SI";
      f.cFuenteGriego = u"G";
      f.cFuenteNormal = u"N";
    }
    s.activaGriego();
    if (tiene("breve")) s.k().compositor().mnufonbre_Click();
    if (tiene("larga")) s.k().compositor().mnufonlar_Click();
    if (tiene("dic")) {
      s.k().diccionario().cambiaDiccionario(util::fromUtf8(diccionario().string()), "clasico");
      f.chkdic.setValue(1);
    }
    s.escribe(c.guion);
    return s.texto();
  }

  template <size_t N>
  static void comprueba(const Caso (&casos)[N]) {
    for (bool reinyectar : {false, true}) {
      for (const auto& c : casos) {
        TecladoSimulado s(KALYXON_RUNTIME_DIR);
        EXPECT_EQ(util::toUtf8(escribe(c, reinyectar, s)), c.esperado)
            << c.guion << " [" << c.opciones << "]" << (reinyectar ? " (via hook)" : "");
      }
    }
  }
};

TEST_F(Typing, LettersMarksAndOptions) {
  const Caso casos[] = {
      {"L 222 O G O S space", "sigma", "λόγος "},
      {"L 222 O G O S space", "", "λόγοσ "},
      {"+L O G O S 190", "sigma", "Λογος."},
      {"A*5 B*2", "", "αβ"},  // one letter per key held, at its release
      {"capslock 56 A capslock B", "", "Ἁβ"},  // Caps Lock makes 8 and 9 the breathings
      {"A enter B", "", "α\nβ"},
      {"P U T A space", "", "¡Sin ofender!"},
      {"+K A B R O N 190", "", "¡shhhhhhh!"},
      {"P U T 222 A space", "", "πυτά "},  // a dead key in the word: no reply
      {"L O G O S 226 +226 capslock 226", "ang", "λογοσ«»»"},
      {"226 +226 f2 226", "", "<><"},
      {"f2 H O L A space +M U N D O", "", "hola Mundo"},
      {"f2 222 A 186 +E 222 space", "", "áÈ´"},  // the layout's own dead keys in Latin mode
      {"numlock f2 numlock A*3", "", "aaa"},
      {"kpenter kpenter*3 f2 kpenter", "", "\n"},
      {"!A !space", "", ""},  // injected taken keys are swallowed
      {"^%50 220 f2 220", "", "@º"},
      {"A f2 B f2 G", "", "αbγ"},
      {"A f2 B f2 G", "prog", "G\tαN\tbG\tγ"},
  };
  comprueba(casos);
}

// Composition: dead keys 222 acute (+222 diaeresis), 186 grave (+186
// circumflex), 192 iota subscript, +56 rough and +57 smooth breathing, and
// the letter rules the options switch on.
TEST_F(Typing, DeadKeysAndLetterRules) {
  const Caso casos[] = {
      // Automatic breathing, moved to the second vowel of a diphthong.
      {"A I", "esp", "αἰ"},
      {"E U space", "esp", "εὐ "},
      {"O U K space", "esp", "οὐκ "},
      {"U", "esp", "ὑ"},
      {"A E", "esp", "ἀε"},
      {"R O D O N", "esp", "ῥοδον"},
      {"R I", "esp", "ῥι"},
      {"L A I", "esp", "λαι"},
      {"+A I", "esp", "Αἰ"},
      {"A 222 I", "esp", "αἴ"},
      {"+222 I", "esp", "ϊ"},
      {"+56 E N", "esp", "ἑν"},
      {"A space E", "esp", "ἀ ἐ"},
      {"A I", "", "αι"},
      // k+s and p+s.
      {"K S", "ks ps", "ξ"},
      {"E K S", "ks ps", "εξ"},
      {"P S", "ks ps", "ψ"},
      {"K S", "", "κσ"},
      // Long vowel + iota, keeping the marks of the vowel.
      {"L W I", "iota", "λῳ"},
      {"L 186 H I", "iota", "λῂ"},
      // The pair keeps the case of its vowel; releasing Shift does not break it.
      {"capslock W I", "iota", "ῼ"},
      {"W I", "iota esp", "ᾠ"},
      {"L W I", "", "λωι"},
      // Final sigma before a separator; C always gives it.
      {"S 190", "sigma", "ς."},
      {"capslock S space", "sigma", "ς "},
      {"S +219", "sigma", "ς;"},
      {"K S space", "sigma ks", "ξ "},
      {"C", "", "ς"},
      {"222 C A", "", "ςά"},
      // Dead keys.
      {"L 222 222 O", "", "λο"},
      {"L 222 186 O", "", "λὸ"},
      {"L +186 W", "", "λῶ"},
      {"L +186 +186 W", "", "λω"},
      {"+57 +56 A", "", "ἁ"},
      {"+56 222 192 W", "", "ᾥ"},
      {"+57 +186 192 +A", "", "ᾎ"},
      {"+222 222 I", "", "ΐ"},
      {"+222 +I", "", "Ϊ"},
      {"222 B A", "", "βα"},  // a mark the letter cannot carry is dropped
      {"capslock 57 A", "", "Ἀ"},
      // Rectify mode: F4 then dead keys change the letter already typed.
      {"L O f4 222", "", "λό"},
      {"L W f4 +186", "", "λῶ"},
      {"L W f4 192 f4 186", "", "λῲ"},
      {"capslock O f4 56", "", "Ὁ"},
      {"+I f4 +222", "", "Ϊ"},
      {"A f4 +56", "esp", "ἁ"},
      {"f4 222 A", "", "α"},
      // Every letter key (J χ, X ξ, V digamma, C final sigma), capitals with Shift.
      {"A B G D E Z H Q I K L M N X O P R S T U F J Y W V C", "", "αβγδεζηθικλμνξοπρστυφχψωϝς"},
      {"+A +B +Q +X +Y +W +V", "", "ΑΒΘΞΨΩϜ"},
      // Symbol keys.
      {"+54 221 +221 V +V J", "", "ϗϙϘϝϜχ"},
      {"190 188 +188 +190 +53", "", ".,;\u0387\u03F5"},
      // The apostrophe key is the elision mark; other keys without a Greek
      // letter type their own code, and the Shift of the remapped ; does not
      // make the next letter a capital; a diaeresis on a consonant is dropped.
      {"219 +219 A +52 49 +222 B", "", "’;α\"1β"},
  };
  comprueba(casos);
}

// Digits reach the application; when the run ends the numeral replaces them
// and the key that ended it follows. A key the application has typed itself
// ends the run with the digits as they are.
TEST_F(Typing, Numerals) {
  const Caso casos[] = {
      {"48 48 55 space", "num", "ζ\u0374 "},
      {"57 57 57 space", "num", "ϡϟθ\u0374 "},
      {"49 57 56 57 190", "num", "͵αϡπθ\u0374."},
      {"50 48 50 52 enter", "num", "͵βκδ\u0374\n"},
      {"49 50 A 51 +B", "num", "ιβ\u0374αγ\u0374Β"},
      {"49 50 222 A", "num", "ιβ\u0374ά"},
      {"48 space", "num", "0 "},
      {"49 +49 50 space", "num", "1!β\u0374 "},
      {"49 50 tab 51 click space", "num", " 12\t3"},
      {"56 57", "", "89"},
  };
  comprueba(casos);
}

// Keys that reach the application end the word: no later correction reaches
// back over them, and the dictionary replaces only the word being typed.
TEST_F(Typing, WordBreaks) {
  const Caso casos[] = {
      {"A tab I", "esp", "ἀ\tἰ"},
      {"A bksp I", "esp", "ἰ"},
      {"L O bksp bksp A I", "esp", "αἰ"},
      {"S left space", "sigma", " σ"},
      {"K del S K right S", "ks", "κσκσ"},
      {"L O G O S click space", "sigma", " λογοσ"},
      {"A click I", "esp", "ἰἀ"},
      {"P U bksp T A space", "", "πτα "},
      {"L O G O S space L O G O U 190", "dic sigma", "λόγος λόγου."},
      {"L O G O S 220 space L O G O S 220 220 space", "dic sigma", "λογός λόγος "},
      {"L O G O I space L 222 O G O S space", "dic sigma", "λογοι λόγος "},
      {"L O bksp O G O S space", "dic sigma", "λογος "},
      {"L O G O left right S space L O G O del S space", "dic sigma", "λογος λογος "},
      {"A space K S E N O S space", "dic sigma ks", "α ξένος "},
      {"A L L 219 space A L L 219 D space", "dic", "ἀλλ’ αλλ’δ "},  // elided forms keep their mark
      // Accent by context: grave before a word, acute before punctuation or a
      // line end, the capital after . ; or a line end (not after a comma nor a
      // caret move); a form picked with the change-form key stays as picked.
      {"K A I space L O G O S space", "dic ctx", "καὶ λόγος "},
      {"K A I 188", "dic ctx", "καί,"},
      {"L O G O S space K A I enter", "dic ctx", "λόγος καί\n"},
      {"L O G O S 190 space K A I space", "dic ctx", "λόγος. Καὶ "},
      {"L O G O S +188 space K A I 190", "dic ctx", "λόγος; Καί."},
      {"K A I enter K A I space", "dic ctx", "καί\nΚαὶ "},
      {"L O G O S 188 space K A I space", "dic ctx", "λόγος, καὶ "},
      {"L O G O S 190 left right K A I space", "dic ctx", "λόγος.καὶ "},
      {"K A I 220 space", "dic ctx", "Καὶ "},
      {"K A I 220 220 220 188", "dic ctx", "Καί,"},
      {"L O G O S 190 space K A I 220 220 space", "dic ctx", "λόγος. καί "},
      {"K A I 188", "dic", "καὶ,"},
      {"L O G O S 190 space K A I space", "dic", "λόγος. καὶ "},
  };
  comprueba(casos);
}

// Releasing a modifier is no word break; a key's case and shortcut status are
// those of its press.
TEST_F(Typing, ModifiersHeldAndReleased) {
  const Caso casos[] = {
      {"+K S +P S", "ks ps", "ΞΨ"},
      {"shift-down K shift-up S", "ks", "Ξ"},
      {"+W I shift-down W shift-up I", "iota", "ῼῼ"},
      {"+S space shift-down S shift-up 190", "sigma", "ς ς."},
      {"+A f4 222", "", "Ά"},
      {"shift-down A-down shift-up A-up", "", "Α"},
      {"ctrl-down A-down ctrl-up A-up B", "", "β"},
      {"alt-down F-down alt-up F-up", "", ""},
      {"altgr-down 50 altgr-up A", "", "@α"},
      {"A capslock capslock I super S space", "esp sigma", "αἰς "},
  };
  comprueba(casos);
}

// In code mode every correction removes the whole escape of the character.
TEST_F(Typing, CorrectionsInCodeModes) {
  const Caso casos[] = {
      {"L O G O S space", "html sigma", "&#955;&#959;&#947;&#959;&#962;&#32;"},
      {"K S P S", "java ks ps", "\\u03BE\\u03C8"},
      {"A I", "html esp", "&#945;&#7984;"},
      {"W I", "java iota", "\\u1FF3"},
      {"A f4 222 B f4 E f4 f4", "html", "&#940;ϐϵ"},
      {"49 50 space", "num html", "&#953;&#946;&#884;&#32;"},
      {"L O G O S space", "dic html sigma", "&#955;&#972;&#947;&#959;&#962;&#32;"},
  };
  comprueba(casos);
}

// F4 acts on the letter on screen; rectify mode never swallows a letter.
TEST_F(Typing, VariantsAndRectify) {
  const Caso casos[] = {
      {"B f4 F f4 R f4 C f4", "", "ϐϕϱϛ"},
      {"Q f4", "", "ϑ"},
      {"Q f4 f4 f4 space Q f4 f4 f4 f4", "", "Ϙ ϑ"},
      {"K f4 f4 S f4 K f4", "", "ϗϲϰ"},
      {"A f4 f4 space f4 f4", "", "ϵϵ"},
      {"A f4 222 space", "", "ά "},
      {"K S f4 222 A", "ks", "ξα"},
      {"B bksp f4 222 A", "", "α"},
      {"A f4 B f4 +G", "", "αϐΓ"},
      {"A f2 B f2 f4 f4", "", "αbϵ"},  // Latin letters are not the engine's to delete
  };
  comprueba(casos);
}

// Keys with no Greek letter type what the Spanish keyboard shows; phonetic
// marks give capitals too.
TEST_F(Typing, KeysWithoutALetterAndPhoneticMarks) {
  const Caso casos[] = {
      {"A P 219 space D 219 +219", "esp", "ἀπ’ δ’;"},
      {"191 +191", "", "çÇ"},
      {"+A", "breve", "Ᾰ"},
      {"+A", "larga", "Ᾱ"},
      {"+I", "breve", "Ῐ"},
      {"+I", "larga", "Ῑ"},
      {"+U", "breve", "Ῠ"},
      {"+U B", "larga", "Ῡβ"},
      {"A", "breve html", "&#8112;"},
  };
  comprueba(casos);
}

// Forms from a dictionary are typed as text; only the user's own macro is
// read as keystrokes, and a malformed one loses nothing typed with it.
TEST_F(Typing, TextFromDataIsNeverKeystrokes) {
  const Caso casos[] = {
      {"K A K A space", "dic", "^%t{ENTER}rm~ "},
      {"A f2 B f2 G", "prog malformed", "αbγ"},
  };
  comprueba(casos);
  TecladoSimulado s(KALYXON_RUNTIME_DIR);
  escribe(casos[1], false, s);
  s.escribe("f2 f2 D");
  ASSERT_EQ(s.servicios().messageBox.shown.size(), 1u);
  EXPECT_NE(s.servicios().messageBox.shown[0].text.find(u"{*"), std::u16string::npos);
}

TEST_F(Typing, ShortcutsReachTheApplication) {
  TecladoSimulado s(KALYXON_RUNTIME_DIR);
  s.activaGriego();
  s.escribe("^C %F +^S ctrl-down A-down ctrl-up A-up");
  EXPECT_EQ(s.app().shortcuts(),
            (sendkeys::KeySequence{sendkeys::chr(U'c', sendkeys::kCtrl),
                                   sendkeys::chr(U'f', sendkeys::kAlt),
                                   sendkeys::chr(U's', sendkeys::kCtrl | sendkeys::kShift),
                                   sendkeys::chr(U'a', sendkeys::kCtrl)}));
  EXPECT_EQ(s.texto(), u"");
}

// A file dialog or an input box of the program takes Latin: its keys pass
// untouched, F2 included, and a key pressed there whose release comes after
// the box has closed types nothing into the window behind.
TEST_F(Typing, BoxesOfTheProgramTakeLatinKeys) {
  TecladoSimulado s(KALYXON_RUNTIME_DIR);
  s.activaGriego();
  s.escribe("L");
  s.hook().ventanaLatina(true);
  s.escribe("L O G O S f2 49");
  s.escribe("enter-down");
  s.hook().ventanaLatina(false);
  EXPECT_EQ(s.evento(KeyEvent{13, 0, flag::kUp, 0, 0}), Verdict::Pass);
  EXPECT_TRUE(s.hook().lModoGriego);
  s.escribe("L");
  EXPECT_EQ(util::toUtf8(s.texto()), "λlogos1\nλ");
}

// A message box lets other key events in before it is closed; the event that
// opened it must still finish as its own.
TEST_F(Typing, LettersTypedWhileTheCapsLockMessageIsOpen) {
  TecladoSimulado s(KALYXON_RUNTIME_DIR);
  s.activaGriego();
  s.form1().chkdic.setValue(1);
  s.ponBloqMay(true);  // the light only: the hook does not know
  auto& caja = s.servicios().messageBox;
  int dentro = -1;
  caja.onShow = [&] {
    if (caja.shown.size() > 1) return;
    dentro = s.hook().profundidad();
    s.escribe("B");
  };
  s.escribe("A");
  EXPECT_EQ(caja.shown.size(), 2u);
  EXPECT_EQ(s.texto(), u"βα");
  EXPECT_EQ(dentro, 1);
  EXPECT_EQ(s.hook().profundidad(), 0);
  EXPECT_EQ(s.form1().lblasc.caption, u"65");  // the outer letter's own code
}

TEST_F(Typing, BadScriptsAreRefusedWhole) {
  TecladoSimulado s(KALYXON_RUNTIME_DIR);
  s.activaGriego();
  for (const char* malo : {"A 0", "A 255", "A foo", "A ++B", "A *3", "A B*0", "A B*x", "+",
                           "A-up*2", "-down", "^altgr"})
    EXPECT_THROW(s.escribe(malo), ErrorGuion) << malo;
  EXPECT_TRUE(s.app().received().empty());
  EXPECT_EQ(leeTecla("^-up").fase, TeclaGuion::Fase::Sube);
}

}  // namespace
}  // namespace kalyxon
