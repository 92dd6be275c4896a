// The X11 backend on a private Xvfb desktop, driven by a stand-in for the
// engine's decision procedure: these tests check what the backend itself
// promises (event records, swallowing, passing, typing, state), whatever the
// engine decides.
// GoogleTest comes before the X headers, whose macros (None, Bool...) it
// would otherwise trip over.
#include <gtest/gtest.h>

#include "x11/x11keyboard.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdlib>
#include <map>

#include "xharness.h"

namespace kalyxon::x11 {
namespace {

using xtest::Recorder;
using xtest::utf8;
using xtest::Xvfb;

// A minimal engine: the letters L, O, G, S, A and the space are swallowed at
// the press and typed as Greek at the release, unless Ctrl or Alt is held;
// Num Lock is swallowed; everything else passes.
struct StandIn {
  explicit StandIn(X11Keyboard& k) : kb(k) {}
  X11Keyboard& kb;
  std::vector<KeyEvent> seen;

  Verdict operator()(int, const KeyEvent& e) {
    seen.push_back(e);
    static const std::map<uint32_t, char16_t> greekOf = {
        {'L', u'λ'}, {'O', u'ο'}, {'G', u'γ'}, {'S', u'σ'}, {'A', u'α'}, {32, u' '}};
    if (e.vkCode == vk::NumLock) return Verdict::Swallow;
    auto it = greekOf.find(e.vkCode);
    if (it == greekOf.end() || kb.ctrlDown() || (e.flags & 32)) return Verdict::Pass;
    if (e.flags != 128) return Verdict::Swallow;  // not the act-release
    kb.send(std::u16string(1, it->second), false);
    return Verdict::Pass;
  }
};

class X11Backend : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!server.running()) GTEST_SKIP() << "no X server for the test: " << server.failure();
    recorder = std::make_unique<Recorder>(server.display());
    kb = std::make_unique<X11Keyboard>(server.display().c_str());
    engine = std::make_unique<StandIn>(*kb);
    kb->setProcedure([this](int n, const KeyEvent& e) { return (*engine)(n, e); });
    ASSERT_TRUE(kb->install()) << kb->lastError();
  }

  // Types with xdotool, lets the backend deal with every event, then waits
  // until a marker typed after them reaches the window.
  std::string type(const std::vector<std::string>& args) {
    EXPECT_EQ(xtest::xdotool(server.display(), args), 0);
    return settle();
  }

  std::string settle() {
    kb->drain();
    kb->send(std::u16string(1, static_cast<char16_t>(xtest::kMarker)), true);
    return recorder->untilMarker(kb->fd(), [this] { kb->dispatchPending(); });
  }

  // A connection of the test's own for queries and XTest, apart from the
  // recorder's, whose keymap cache must only follow the events it receives.
  Display* control() {
    if (!control_) control_.reset(XOpenDisplay(server.display().c_str()));
    return control_.get();
  }

  Xvfb server;
  struct Closer {
    void operator()(Display* d) const { XCloseDisplay(d); }
  };
  std::unique_ptr<Display, Closer> control_;
  std::unique_ptr<Recorder> recorder;
  std::unique_ptr<X11Keyboard> kb;
  std::unique_ptr<StandIn> engine;
};

TEST_F(X11Backend, SwallowsTakenKeysAndTypesGreekAtTheRelease) {
  EXPECT_EQ(type({"key", "--delay", "0", "l", "o", "g", "o", "s", "space"}), "λογοσ ");
  // Keys the engine passes reach the window untouched, grabbed or not.
  EXPECT_EQ(type({"key", "--delay", "0", "b", "1", "comma"}), "λογοσ b1,");
  // Backspace passes and deletes; the backend types it too.
  EXPECT_EQ(type({"key", "BackSpace"}), "λογοσ b1");
  kb->send(u"{BKSP 2}", false);
  EXPECT_EQ(settle(), "λογοσ ");
  // (Shortcuts on taken keys, and F2 letting them pass as Latin, are typed
  // end to end in e2e_test.cpp.)
}

TEST_F(X11Backend, TypesTheKeystrokeNotation) {
  // Enter and letters are grabbed keys: what the backend types must still
  // reach the application, on keycodes of its own.
  kb->send(u"ἄνθρωπος~+a{+}b{BKSP}{ENTER}^c", false);
  EXPECT_EQ(settle(), "ἄνθρωπος\nA+\n");
  EXPECT_EQ(recorder->snapshot().shortcuts, (std::vector<std::string>{"^c"}));
  // Malformed text is typed not at all.
  kb->send(u"αβ{BKSP", false);
  EXPECT_EQ(settle(), "ἄνθρωπος\nA+\n");
}

TEST_F(X11Backend, EventRecordsCarryTheSpanishKeyCodesAndFlags) {
  type({"key", "--delay", "0", "l", "apostrophe", "semicolon", "bracketleft", "minus", "grave",
        "KP_Enter", "Up", "keydown", "alt", "key", "f", "keyup", "alt", "keydown", "shift",
        "key", "a", "keyup", "shift"});
  std::vector<std::pair<uint32_t, uint32_t>> got;  // vkCode, flags of the physical keys
  for (const auto& e : engine->seen)
    if (!(e.flags & 16)) got.emplace_back(e.vkCode, e.flags);
  std::vector<std::pair<uint32_t, uint32_t>> want = {
      {'L', 0},    {'L', 128},  {222, 0},    {222, 128}, {192, 0},   {192, 128}, {186, 0},
      {186, 128},  {219, 0},    {219, 128},  {220, 0},   {220, 128}, {13, 1},    {13, 129},
      {38, 1},     {38, 129},   {164, 32},   {'F', 32},  {'F', 160}, {164, 128}, {160, 0},
      {'A', 0},    {'A', 128},  {160, 128}};
  // xdotool lets a modifier go twice; the second release is not ours to judge.
  got.erase(std::unique(got.begin(), got.end()), got.end());
  EXPECT_EQ(got, want);
  const auto& l = engine->seen.front();
  EXPECT_EQ(l.scanCode, 0x26u);
  EXPECT_GT(l.time, 0u);
  // What the backend typed comes back marked injected: the Greek λ as a
  // character packet, press and release.
  auto injected = std::find_if(engine->seen.begin(), engine->seen.end(),
                               [](const KeyEvent& e) { return e.flags & 16; });
  ASSERT_NE(injected, engine->seen.end());
  EXPECT_EQ(injected->vkCode, vk::Packet);
  EXPECT_EQ(injected->scanCode, 0x3BBu);
  EXPECT_EQ(injected->flags, 16u);
}

TEST_F(X11Backend, TracksShiftCtrlAndCapsLock) {
  Display* d = control();
  auto fake = [&](KeySym ks, bool press) {
    XTestFakeKeyEvent(d, XKeysymToKeycode(d, ks), press, CurrentTime);
    XSync(d, False);
    kb->drain();
  };
  fake(XK_Shift_L, true);
  EXPECT_TRUE(kb->shiftDown());
  EXPECT_FALSE(kb->ctrlDown());
  fake(XK_Control_R, true);
  fake(XK_Shift_L, false);
  EXPECT_FALSE(kb->shiftDown());
  EXPECT_TRUE(kb->ctrlDown());
  fake(XK_Control_R, false);
  EXPECT_EQ(kb->capsLockState(), 0);
  fake(XK_Caps_Lock, true);
  EXPECT_EQ(kb->capsLockState(), 0x8001);
  fake(XK_Caps_Lock, false);
  EXPECT_EQ(kb->capsLockState(), 1);
  // Caps Lock on does not change the case of what the backend types.
  EXPECT_EQ(type({"key", "l", "a"}), "λα");
}

TEST_F(X11Backend, NumLockNeverChangesWhileInstalled) {
  Display* d = control();
  auto numLockOn = [&] {
    XkbStateRec st{};
    XkbGetState(d, XkbUseCoreKbd, &st);
    return (st.locked_mods & XkbKeysymToModifiers(d, XK_Num_Lock)) != 0;
  };
  bool before = numLockOn();
  type({"key", "Num_Lock"});
  EXPECT_EQ(numLockOn(), before);
  type({"key", "Num_Lock", "Num_Lock", "Num_Lock"});
  EXPECT_EQ(numLockOn(), before);
  // Removed, the keys are the application's again.
  kb->remove();
  EXPECT_EQ(type({"key", "l"}), "l");
  type({"key", "Num_Lock"});
  EXPECT_NE(numLockOn(), before);
}

// Fast typing of letters is typed end to end in e2e_test.cpp. Every
// character the backend types, in a long burst of distinct code points that
// needs more keycodes than are spare, arrives in order.
TEST_F(X11Backend, ALongBurstOfDistinctCharactersArrivesInOrder) {
  std::u16string burst;
  for (char16_t c = 0x1F00; c < 0x1F00 + 200; ++c) burst += c;
  kb->send(burst, false);
  std::u32string want32(burst.begin(), burst.end());
  EXPECT_EQ(settle(), utf8(want32));
}

TEST_F(X11Backend, KeysHeldByAnotherProgramAreReportedNotFatal) {
  kb->remove();
  Display* other = XOpenDisplay(server.display().c_str());
  ASSERT_NE(other, nullptr);
  KeyCode f4 = XKeysymToKeycode(other, XK_F4);
  KeyCode a = XKeysymToKeycode(other, XK_a);
  for (KeyCode kc : {f4, a})
    XGrabKey(other, kc, 0, DefaultRootWindow(other), False, GrabModeAsync, GrabModeAsync);
  XSync(other, False);
  ASSERT_TRUE(kb->install());
  ASSERT_EQ(kb->grabConflicts().size(), 2u);
  EXPECT_NE(kb->grabConflicts()[1].find(std::to_string(f4)), std::string::npos);
  // A key whose grab is another's goes to that client and never to the
  // engine, which would type it (α) a second time; the rest of the keyboard
  // is intercepted as usual.
  EXPECT_EQ(type({"key", "a", "l", "a"}), "λ");
  XCloseDisplay(other);
}

TEST_F(X11Backend, OneInterceptionPerDisplay) {
  X11Keyboard second(server.display().c_str());
  EXPECT_FALSE(second.install());
  EXPECT_EQ(second.lastError(), kOtherCopy);
  EXPECT_NE(second.errorText().find(u"Otra copia de Kalyxon"), std::u16string::npos);
  // Free again once the first copy lets go, or when it dies.
  kb->remove();
  EXPECT_TRUE(second.install());
  EXPECT_FALSE(kb->install());
  second.remove();
  EXPECT_TRUE(kb->install());
  EXPECT_EQ(type({"key", "l"}), "λ");
}

TEST(X11BackendFailure, NoDisplayFailsWithACodeAndText) {
  X11Keyboard nowhere(":999");
  EXPECT_FALSE(nowhere.install());
  EXPECT_EQ(nowhere.lastError(), kNoDisplay);
  EXPECT_NE(nowhere.errorText().find(u"\r\n"), std::u16string::npos);
  EXPECT_EQ(nowhere.fd(), -1);
  nowhere.dispatchPending();  // harmless
  nowhere.send(u"λ", true);   // nothing to type into, no crash
  EXPECT_FALSE(nowhere.shiftDown());

  std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
  std::string wayland = std::getenv("WAYLAND_DISPLAY") ? std::getenv("WAYLAND_DISPLAY") : "";
  unsetenv("DISPLAY");
  setenv("WAYLAND_DISPLAY", "wayland-0", 1);
  X11Keyboard waylandOnly;
  EXPECT_FALSE(waylandOnly.install());
  EXPECT_EQ(waylandOnly.lastError(), kWaylandOnly);
  EXPECT_NE(waylandOnly.errorText().find(u"IBus"), std::u16string::npos);
  if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
  if (wayland.empty()) unsetenv("WAYLAND_DISPLAY");
  else setenv("WAYLAND_DISPLAY", wayland.c_str(), 1);
}

}  // namespace
}  // namespace kalyxon::x11
