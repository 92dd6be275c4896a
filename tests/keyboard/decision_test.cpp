// The hook's decisions and the handlers around it, observed through the
// scripted services: what is swallowed or passed, what is sent, which boxes
// are shown. Typing into an application is covered in typing_test.cpp.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/kalyxon.h"
#include "keyboard/tecladohook.h"
#include "platform/scripted.h"

namespace kalyxon {
namespace {

using platform::scripted::ScriptedServices;

struct Banco {
  ScriptedServices s;
  Kalyxon k{s.services(), KALYXON_RUNTIME_DIR};
  TecladoHook& t = k.teclado();
  Form1& f = k.form1;

  Verdict ev(uint32_t vk, uint32_t flags) { return t.tecladoProc(0, KeyEvent{vk, 0, flags, 0, 0}); }
  Verdict baja(uint32_t vk) { return ev(vk, 0); }
  Verdict sube(uint32_t vk) { return ev(vk, flag::kUp); }
  // A key pressed and released; the release's verdict.
  Verdict tecla(uint32_t vk) {
    baja(vk);
    return sube(vk);
  }
  void griego() { f.chkgri.setValue(1); }
  // A target program whose font-switch macro is `macro`.
  void programa(const std::u16string& macro, const std::u16string& griega = u"G",
                const std::u16string& normal = u"N") {
    f.cCambiaFuentes = u"SI";
    f.cParametros = macro;
    f.cFuenteGriego = griega;
    f.cFuenteNormal = normal;
  }
};

TEST(Hook, TickingAndClearingGriegoInstallsAndRemovesTheHook) {
  Banco b;
  b.f.lInicio = false;
  b.griego();
  EXPECT_TRUE(b.s.hook.installed);
  EXPECT_TRUE(b.t.lModoGriego);
  EXPECT_TRUE(b.f.lInicio);
  EXPECT_TRUE(b.f.chkdic.enabled);

  b.f.chkdic.setValue(1);
  b.f.chkgri.setValue(0);
  EXPECT_FALSE(b.s.hook.installed);
  EXPECT_FALSE(b.t.lModoGriego);
  EXPECT_EQ(b.f.chkdic.value, 0);
  EXPECT_FALSE(b.f.chkdic.enabled);
  EXPECT_TRUE(b.s.messageBox.shown.empty());
}

TEST(Hook, RefusedInstallationExplainsAndLeavesGreekModeOff) {
  Banco b;
  b.s.hook.refuse = true;
  b.s.hook.error = 1428;
  b.griego();
  ASSERT_EQ(b.s.messageBox.shown.size(), 1u);
  EXPECT_EQ(b.s.messageBox.shown[0].text,
            u"No se han podido interceptar las pulsaciones del teclado - 1428\r\n"
            u"Este programa requiere Windows NT, XP, 4.0, OSP3.\r\n"
            u"No funciona con Windows 9x y ME.");
  EXPECT_EQ(b.s.messageBox.shown[0].buttons, platform::Buttons::Ok);
  EXPECT_TRUE(b.s.messageBox.shown[0].title.empty());
  EXPECT_FALSE(b.t.lModoGriego);
  EXPECT_EQ(b.f.chkgri.value, 1);
  // Clearing the box then has nothing to remove.
  b.f.chkgri.setValue(0);
  EXPECT_EQ(b.s.hook.removals, 0);
}

TEST(Hook, VerdictsInGreekMode) {
  Banco b;
  b.griego();
  // Holding a letter: every autorepeat press is swallowed, the release passes.
  EXPECT_EQ(b.baja('A'), Verdict::Swallow);
  EXPECT_EQ(b.baja('A'), Verdict::Swallow);
  EXPECT_EQ(b.baja('A'), Verdict::Swallow);
  EXPECT_EQ(b.sube('A'), Verdict::Pass);
  EXPECT_EQ(b.f.lblasc.caption, u"65");

  const Verdict S = Verdict::Swallow, P = Verdict::Pass;
  const uint32_t up = flag::kUp, ext = flag::kExtended;
  // (Shortcuts, digits and the editing keys are in the typing tables.)
  const struct {
    uint32_t vk, flags;
    Verdict v;
  } casos[] = {
      {144, 0, S}, {144, up, S},        // Num Lock never toggles
      {13, ext, S}, {13, ext | up, S},  // the keypad's Enter, both ways
      {13, 0, S}, {13, up, P},          // the main Enter is a taken key
      {'B', flag::kInjected | up, S},   // an injected release is a press
      {220, 0, S}, {220, up, S},        // the change-form key is never typed
      {115, 0, S}, {115, up, S},        // nor is F4
  };
  for (const auto& c : casos) {
    EXPECT_EQ(b.ev(c.vk, c.flags), c.v) << c.vk << " flags " << c.flags;
    if (c.vk == 'B') {
      EXPECT_TRUE(b.f.cUltima.empty());  // nor typed at all
    }
  }

  // A nCode other than 0 is not judged at all.
  EXPECT_EQ(b.t.tecladoProc(-1, KeyEvent{144, 0, 0, 0, 0}), Verdict::Pass);
}

TEST(Hook, FunctionKeysInBothModes) {
  Banco b;
  b.griego();
  EXPECT_EQ(b.baja(112), Verdict::Swallow);
  EXPECT_EQ(b.sube(112), Verdict::Swallow);
  EXPECT_EQ(b.s.help.topics, std::vector<int>{10});

  // F2 into Latin: the box greys out and says how to come back; armed
  // phonetic marks are disarmed.
  b.f.nCan = 2;
  b.f.nApe = 1;
  b.f.mnufonlar.checked = b.f.mnufonabi.checked = true;
  EXPECT_EQ(b.baja(113), Verdict::Swallow);
  EXPECT_TRUE(b.t.lModoGriego);  // only the release switches
  EXPECT_EQ(b.sube(113), Verdict::Swallow);
  EXPECT_FALSE(b.t.lModoGriego);
  EXPECT_EQ(b.f.nCan + b.f.nApe, 0);
  EXPECT_FALSE(b.f.mnufonlar.checked || b.f.mnufonabi.checked);
  EXPECT_FALSE(b.f.chkgri.enabled);
  EXPECT_EQ(b.f.chkgri.tooltip, u"Pulsa F2 para salir de griego");
  EXPECT_TRUE(b.s.hook.installed);

  // Latin mode: F1 reaches the application, Num Lock still not.
  EXPECT_EQ(b.baja(112), Verdict::Pass);
  EXPECT_EQ(b.sube(112), Verdict::Pass);
  EXPECT_EQ(b.s.help.topics.size(), 1u);
  EXPECT_EQ(b.baja(144), Verdict::Swallow);

  // F3 works in Latin mode too.
  EXPECT_EQ(b.tecla(114), Verdict::Swallow);
  EXPECT_EQ(b.f.chkdic.value, 1);
  EXPECT_EQ(b.tecla(114), Verdict::Swallow);
  EXPECT_EQ(b.f.chkdic.value, 0);

  // F2 back.
  EXPECT_EQ(b.tecla(113), Verdict::Swallow);
  EXPECT_TRUE(b.t.lModoGriego);
  EXPECT_TRUE(b.f.chkgri.enabled);
  EXPECT_TRUE(b.f.chkgri.tooltip.empty());
  EXPECT_TRUE(b.s.sender.sent.empty());  // no program profile, no macro
}

TEST(Hook, PendingPhoneticMarkTakesTheNextReleaseAndLetsItThrough) {
  Banco b;
  b.griego();
  b.f.nCan = 1;
  b.f.mnufonbre.checked = b.f.mnulat.checked = true;
  EXPECT_EQ(b.baja('A'), Verdict::Swallow);
  EXPECT_EQ(b.sube('A'), Verdict::LetThrough);
  EXPECT_FALSE(b.f.mnufonbre.checked);
  EXPECT_FALSE(b.f.mnulat.checked);
  EXPECT_TRUE(b.f.cUltima.empty());  // the letter release did not run
}

TEST(Hook, F3WithCapsLockOnShowsTheMessageTwiceAndLeavesTheBoxClear) {
  Banco b;
  b.griego();
  b.s.keys.capsLock = 1;
  b.tecla(114);
  ASSERT_EQ(b.s.messageBox.shown.size(), 2u);
  for (const auto& m : b.s.messageBox.shown)
    EXPECT_EQ(m.text, u"La tecla de bloqueo de mayúsculas está pulsada e impide el "
                      u"funcionamiento del diccionario");
  EXPECT_EQ(b.f.chkdic.value, 0);

  // Held down (bit 15) is not "exactly 1": no message.
  b.s.keys.capsLock = 0x8001;
  b.tecla(114);
  EXPECT_EQ(b.s.messageBox.shown.size(), 2u);
  EXPECT_EQ(b.f.chkdic.value, 1);
}

TEST(Hook, CapsLockIsTrackedAtItsReleasesInGreekMode) {
  Banco b;
  b.griego();
  // Unshifted, 4 and 8 are digits.
  EXPECT_EQ(b.baja('4'), Verdict::Pass);
  EXPECT_EQ(b.baja('8'), Verdict::Pass);
  EXPECT_EQ(b.baja(20), Verdict::Pass);
  EXPECT_FALSE(b.t.tTecla.lBloqMay);
  EXPECT_EQ(b.sube(20), Verdict::Pass);
  EXPECT_TRUE(b.t.tTecla.lBloqMay);
  // Now they are, as if Shift were held: 4 to 6 letters, 8 and 9 dead keys.
  EXPECT_EQ(b.baja('4'), Verdict::Swallow);
  EXPECT_EQ(b.baja('8'), Verdict::Swallow);
  EXPECT_EQ(b.sube('8'), Verdict::Pass);
  EXPECT_EQ(b.f.cUltima, u"8");

  // Caps Lock in Latin mode is not tracked: the hook's idea drifts from the
  // keyboard light.
  b.tecla(113);
  b.tecla(20);
  EXPECT_TRUE(b.t.tTecla.lBloqMay);
  // Nor does removing the hook reset it.
  b.f.chkgri.setValue(0);
  EXPECT_TRUE(b.t.tTecla.lBloqMay);
}

TEST(Hook, CandidateAdvanceWrapsOverTheList) {
  Banco b;
  b.griego();
  const char16_t* formas[][2] = {
      {u"λόγος", u"logos 10"}, {u"λογός", u"logos 5"}, {u"λῶγος", u"logos 1"}};
  for (int i = 0; i < 3; ++i) {
    b.f.cCandidatos[i + 1] = formas[i][0];
    b.f.cInfoCandidatos[i + 1] = formas[i][1];
  }
  b.f.nCandidato = 1;

  // Without a word on show the key does nothing.
  b.tecla(220);
  EXPECT_EQ(b.f.nCandidato, 1);

  b.f.lPalabra = true;
  for (int esperado : {2, 3, 1, 2, 3}) {
    b.tecla(220);
    EXPECT_EQ(b.f.nCandidato, esperado);
  }
  EXPECT_EQ(b.f.UniLabel1.caption, u"3 λῶγος");
  EXPECT_EQ(b.f.lblpal.caption, u"logos 1");

  // The change-form image steps the same way; a full list wraps at 35.
  b.t.imgcam_Click();
  EXPECT_EQ(b.f.nCandidato, 1);
  for (auto& c : b.f.cCandidatos) c = u"x";
  b.f.nCandidato = 35;
  b.t.imgcam_Click();
  EXPECT_EQ(b.f.nCandidato, 1);
  b.f.lPalabra = false;
  b.t.imgcam_Click();
  EXPECT_EQ(b.f.nCandidato, 1);
  EXPECT_TRUE(b.s.sender.sent.empty());
}

TEST(Output, FontSwitchMacroAtTheFirstLetterAndAtEveryF2) {
  Banco b;
  b.programa(u"^+f*~", u"Palatino Linotype", u"Arial");
  b.griego();
  b.tecla('A');
  b.tecla('B');
  // (What reaches the application is in the typing tables.)
  ASSERT_EQ(b.s.sender.sent.size(), 3u);
  EXPECT_FALSE(b.s.sender.sent[0].wait);
  EXPECT_EQ(b.f.cParametros, u"^+f*~");  // the font goes into a copy

  b.tecla(113);
  EXPECT_EQ(b.s.sender.sent.back().keys, u"^+fArial~");
  EXPECT_TRUE(b.s.sender.sent.back().wait);
  b.tecla(113);
  EXPECT_EQ(b.s.sender.sent.back().keys, u"^+fPalatino Linotype~");
  EXPECT_TRUE(b.s.sender.sent.back().wait);
  // F2 does not re-arm the first-letter macro; ticking the box again does.
  size_t antes = b.s.sender.sent.size();
  b.tecla('C');
  EXPECT_EQ(b.s.sender.sent.size(), antes + 1);
  EXPECT_EQ(b.s.sender.sent.back().keys, u"ς");
  b.f.chkgri.setValue(0);
  b.f.chkgri.setValue(1);
  b.tecla('C');
  EXPECT_EQ(b.s.sender.sent.size(), antes + 3);
  EXPECT_EQ(b.s.sender.sent[antes + 1].keys, u"^+fPalatino Linotype~");

  // "SI" is matched exactly.
  b.f.cCambiaFuentes = u"si";
  b.tecla(113);
  EXPECT_EQ(b.s.sender.sent.size(), antes + 3);
}

// The F2 macro is typed while the hook waits; its keystrokes come back
// through the hook in the mode just entered.
TEST(Reentry, KeystrokesOfTheWaitingSendAreJudgedInTheNewMode) {
  Banco b;
  b.programa(u"%o*~");
  b.griego();
  std::vector<Verdict> anidados;
  b.s.sender.onSend = [&](const std::u16string&, bool wait) {
    if (!wait) return;
    anidados.push_back(b.ev('X', flag::kInjected));
    anidados.push_back(b.ev('X', flag::kInjected | flag::kUp));
  };
  b.tecla(113);  // into Latin: the injected X passes
  b.tecla(113);  // back into Greek: it is swallowed
  EXPECT_EQ(anidados, (std::vector<Verdict>{Verdict::Pass, Verdict::Pass, Verdict::Swallow,
                                            Verdict::Swallow}));
  EXPECT_TRUE(b.t.lModoGriego);
  EXPECT_TRUE(b.f.cUltima.empty());
}

// Filling the font into the macro lets window messages run: a key event can
// arrive in the middle of F2 and is judged in the mode already switched to.
TEST(Reentry, EventsDeliveredWhileTheMacroIsBeingFilledIn) {
  Banco b;
  b.programa(u"^+f*~", u"G", u"Arial");
  b.griego();
  std::vector<Verdict> anidados;
  b.s.pump.onPump = [&](long llamada) {
    if (llamada != 1) return;
    anidados.push_back(b.baja('X'));
    anidados.push_back(b.sube('X'));
  };
  b.tecla(113);
  EXPECT_EQ(anidados, (std::vector<Verdict>{Verdict::Pass, Verdict::Pass}));
  EXPECT_EQ(b.s.sender.sent.back().keys, u"^+fArial~");
  EXPECT_EQ(b.t.profundidad(), 0);
}

}  // namespace
}  // namespace kalyxon
