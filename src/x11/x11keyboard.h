// The system-wide keyboard on an X11 desktop (Xorg or Xwayland): what the
// keyboard engine needs from the platform, for every X client.
//
// Observing. Every key event of the desktop is read from one stream, the
// XInput2 raw key events selected on the root window, and handed to the
// engine's decision procedure as the engine's event record: the virtual-key
// code of the key's position on a Spanish keyboard (see vktable.h), the
// release flag, the extended flag, the Alt flag and, for the keystrokes this
// object typed itself, the injected flag. Raw events carry no modifier state,
// so Shift, Ctrl, Alt and Caps Lock held are tracked here from the same stream.
// Raw button presses reach the engine too, as the Windows codes of the mouse
// buttons: a click is a word break.
//
// Swallowing. X delivers a key event to the focused client before anyone can
// veto it, except for keys grabbed beforehand. While the hook is installed,
// the keys that the engine may swallow (vktable.h: mayBeSwallowed) are grabbed
// on the root window with every combination of Shift, Caps Lock and Num Lock,
// never with Ctrl or Alt, so that shortcuts reach the application untouched.
// The grabs are synchronous: a grabbed press freezes the keyboard until the
// engine has judged it; a swallowed press is then dropped and the grab
// released at once (so the key's release, Shift releases and the next keys of
// a rollover reach the application as usual), and a passed press is replayed
// to the focused window as if nobody had grabbed it. A key that another
// client has grabbed already is reported in grabConflicts() and left alone.
// Num Lock is swallowed and its lock state put back, so it never changes
// while the hook is installed.
//
// Typing. Text goes out through XTest. Each character is typed on a spare
// keycode (one with no symbols in the keyboard map) remapped to the
// character's keysym; the mappings stay in place and are reused, least
// recently used first, because remapping a keycode that the application has
// not yet read garbles fast typing; a keycode typed on less than 100 ms ago is
// only remapped after that time, which gives a burst of more distinct
// characters than there are spare keycodes time to be read (the application
// must read its events concurrently, as every toolkit does). They are given
// back when this object is
// destroyed. Named keys (Backspace, Enter, arrows...) go out on their own
// keycodes unless the hook grabs that keycode, in which case they too use a
// spare keycode. Caps Lock is switched off for the duration of a send (by a
// tap of its key, which the engine does not see) so that it cannot change the
// case of what is typed.
//
// Event loop. Nothing here blocks or owns a loop: fd() becomes readable when
// events are waiting (X events, or events that a request read ahead), and
// dispatchPending() handles all of them. A Qt front end wraps fd() in a
// QSocketNotifier; a plain program poll()s it.
//
// One interception per display. install() takes an X selection for the
// whole display while the hook is installed; a second copy of the program
// (another settings folder, another user on the same display) is refused
// with kOtherCopy instead of typing every letter a second time. The X
// server gives the selection back when a copy dies. And whatever happens, a
// key whose grab this object does not hold is never shown to the engine:
// it reaches its application (or the grab's holder) untouched, and composing
// it as well would type it twice.
//
// Failure. With no X display (or a Wayland session without Xwayland) or an X
// server without XInput2 / XTEST, install() fails: lastError() gives one of
// the codes below and errorText() the lines the user needs to read.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "keyboard/tecladohook.h"
#include "platform/platform.h"
#include "util/sendkeys.h"
#include "x11/vktable.h"

struct _XDisplay;

namespace kalyxon::x11 {

// Codes of lastError().
enum Error : uint32_t {
  kOk = 0,
  kNoDisplay = 1,     // DISPLAY unset or the X server refused the connection
  kWaylandOnly = 2,   // a Wayland session without an X server (Xwayland) to talk to
  kNoXInput2 = 3,     // the X server lacks XInput 2.2 (raw key events)
  kNoXTest = 4,       // the X server lacks XTEST (keystroke synthesis)
  kNoXkb = 5,         // the X server lacks the XKEYBOARD extension
  kOtherCopy = 6,     // another copy of the program intercepts this display's keyboard
};

// The keysym that types code point `cp` as text.
unsigned long keysymForChar(char32_t cp);

class X11Keyboard : public platform::KeyState,
                    public platform::KeySender,
                    public platform::KeyboardHook {
 public:
  using Procedure = std::function<Verdict(int nCode, const KeyEvent& event)>;

  // Connects to `displayName` (nullptr: $DISPLAY). A failed connection is not
  // an error here: install() reports it.
  explicit X11Keyboard(const char* displayName = nullptr);
  ~X11Keyboard() override;
  X11Keyboard(const X11Keyboard&) = delete;
  X11Keyboard& operator=(const X11Keyboard&) = delete;

  // The engine's decision procedure, called for every key event while the
  // hook is installed (events seen while it is not only update the key state).
  void setProcedure(Procedure procedure) { procedure_ = std::move(procedure); }

  bool connected() const { return dpy_ != nullptr; }
  int fd() const { return pollFd_; }
  void dispatchPending();
  // Makes a round trip to the X server and dispatches what it brought, until
  // nothing more comes: every key event the server had accepted before the
  // call has then been judged and carried out (scripted drivers and tests use
  // it to know that a burst of typing has been dealt with).
  void drain();

  // KeyboardHook
  bool install() override;
  void remove() override;
  uint32_t lastError() override { return error_; }
  bool installed() const { return installed_; }
  // The two requirement lines of the failure message for lastError()
  // (Spanish, CR LF between them); empty when there is no error.
  std::u16string errorText() override;
  // Keys whose grab another client holds ("AC10 (keycode 47)"), from the
  // last install().
  const std::vector<std::string>& grabConflicts() const { return conflicts_; }

  // KeyState
  bool shiftDown() override;
  bool ctrlDown() override;
  int capsLockState() override;

  // KeySender: `keys` in the keystroke notation of util/sendkeys.h. Text
  // that does not parse is reported on stderr and not typed.
  void send(const std::u16string& keys, bool wait) override;

 private:
  struct DisplayCloser {
    void operator()(_XDisplay* d) const;
  };
  void connect(const char* displayName);
  void readKeyboardLayout();
  void findXTestDevices();
  void handleRaw(int evtype, const void* rawEvent);
  void handleRawButton(const void* rawEvent);
  bool clickOnOwnWindow();
  void handleGrabbedPress(unsigned keycode, unsigned long time);
  void carryOut(unsigned keycode, Verdict verdict);
  KeyEvent makeEvent(unsigned keycode, bool release, bool injected, unsigned long time);
  Verdict judge(const KeyEvent& e);
  enum class Origin { Outside, Us, UsHidden };
  Origin originOf(unsigned keycode, bool press, int sourceId);
  unsigned numLockMask();
  unsigned lockedModifiers();
  void grabAll();
  void ungrabAll();
  bool takeInterception();
  void releaseInterception();
  // What a spare keycode carries: its keysyms and the key code and scan
  // code its events show the engine.
  struct SpareUse {
    unsigned long lower = 0, upper = 0;
    uint8_t vk = 0;
    uint32_t scan = 0;
  };
  unsigned keycodeFor(const sendkeys::KeyAction& action);
  unsigned spareKeycodeFor(const SpareUse& use);
  void fake(unsigned keycode, bool press, bool hidden = false);
  void restoreSpareKeycodes();
  void wakeIfBuffered();
  int handled_ = 0;

  std::unique_ptr<_XDisplay, DisplayCloser> dpy_;
  unsigned long root_ = 0;
  int xiOpcode_ = -1;
  bool haveXTest_ = false, haveXkb_ = false;
  int pollFd_ = -1, wakeFd_ = -1;
  uint32_t error_ = kOk;
  bool installed_ = false;
  int dispatching_ = 0;
  Procedure procedure_;

  // Per keycode (0-255).
  std::vector<std::optional<PhysicalKey>> layout_ = std::vector<std::optional<PhysicalKey>>(256);
  std::vector<bool> down_ = std::vector<bool>(256);
  std::vector<bool> grabbed_ = std::vector<bool>(256);
  // Verdict on a raw press, waiting for the grabbed copy of the same press.
  std::vector<std::optional<Verdict>> verdict_ = std::vector<std::optional<Verdict>>(256);
  // A grabbed press arrived while its raw event was still being judged.
  std::vector<bool> grabbedWaiting_ = std::vector<bool>(256);
  std::vector<bool> judging_ = std::vector<bool>(256);
  // A press not shown to the engine (its grab is another's): nor is its release.
  std::vector<bool> unjudged_ = std::vector<bool>(256);
  unsigned long lockWindow_ = 0;  // owns the interception selection

  std::vector<int> xtestDevices_;
  // Key events this object faked and has not yet seen come back.
  struct OwnEvent {
    unsigned keycode;
    bool press;
    bool hidden;  // a Caps Lock tap around a send: not shown to the engine
  };
  std::deque<OwnEvent> ownEvents_;
  std::vector<std::string> conflicts_;
  unsigned numLockMask_ = 0;
  bool numLockWasOn_ = false;

  // Spare keycodes: keysym mapped on each, least recently used first.
  std::vector<unsigned> spare_;
  std::list<unsigned> lru_;
  std::map<unsigned, SpareUse> spareUse_;
  std::map<unsigned, std::chrono::steady_clock::time_point> lastTyped_;
  std::vector<int> xErrors_;
};

}  // namespace kalyxon::x11
