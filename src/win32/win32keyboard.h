// The system-wide keyboard on Windows: what the keyboard engine needs from
// the platform.
//
// Observing. A low-level keyboard hook (WH_KEYBOARD_LL) sees every key event
// of the desktop before any application does; each one is copied into the
// engine's event record (the hook's own fields: virtual-key code, scan code,
// flags, time) and judged by the engine's procedure. Pass hands the event to
// the next hook, Swallow drops it, LetThrough returns without the next hook.
// The hook procedure runs on the thread that installed it, from that thread's
// message loop: the thread must pump messages (GetMessage) all the time.
// The system hook is set when the object is made, before the thread makes its
// windows (under Wine a low-level hook set once the desktop program's windows
// were up was never called), and stays until the object is destroyed; install and
// remove only switch the engine's judging on and off, and while it is off
// every event goes straight to the next hook.
//
// Typing. Text goes out with SendInput: characters as KEYEVENTF_UNICODE
// events (any character, whatever the keyboard layout), named keys and
// shortcuts as their virtual keys. Every event sent carries a mark in
// dwExtraInfo; the hook hands marked events straight on, so the engine never
// judges what it typed itself (a Backspace it sent would otherwise break the
// word being typed). A waiting send pumps messages until the hook has seen
// all its events go by, i.e. until they are queued for the application ahead
// of any key typed later.
//
// Key state. Caps Lock from GetKeyState (bit 0 on, bit 15 held); Shift and
// Ctrl held from GetAsyncKeyState, since a thread that only hooks the
// keyboard reads no key messages and its own GetKeyState would not follow
// the physical keys.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "keyboard/tecladohook.h"
#include "platform/platform.h"

namespace kalyxon::win32 {

class Win32Keyboard : public platform::KeyState,
                      public platform::KeySender,
                      public platform::KeyboardHook {
 public:
  using Procedure = std::function<Verdict(int nCode, const KeyEvent& event)>;

  Win32Keyboard();
  ~Win32Keyboard() override;
  Win32Keyboard(const Win32Keyboard&) = delete;
  Win32Keyboard& operator=(const Win32Keyboard&) = delete;

  void setProcedure(Procedure procedure) { procedure_ = std::move(procedure); }

  // KeyboardHook
  bool install() override;
  void remove() override;
  uint32_t lastError() override { return error_; }
  bool installed() const { return activo_ == this; }

  // KeyState
  bool shiftDown() override;
  bool ctrlDown() override;
  int capsLockState() override;

  // KeySender: `keys` in the keystroke notation of util/sendkeys.h; text that
  // does not parse is reported on standard error and not typed.
  void send(const std::u16string& keys, bool wait) override;

  // The mark in dwExtraInfo of every event this object sends.
  static constexpr uintptr_t kMarca = 0x4B4C5958;  // "KLYX"

 private:
  static intptr_t __stdcall hookProc(int nCode, uintptr_t wParam, intptr_t lParam);
  intptr_t judge(int nCode, uintptr_t wParam, intptr_t lParam);

  // Sets the system hook if it is not set yet; false, with the error, if the
  // system refuses it.
  bool engancha();

  // The hook procedure gets no user data: the one installed keyboard is
  // reached through this pointer (set by install, cleared by remove).
  static Win32Keyboard* activo_;

  void* hook_ = nullptr;  // HHOOK
  uint32_t error_ = 0;
  Procedure procedure_;
  long pendientes_ = 0;  // marked events sent and not yet seen by the hook
};

}  // namespace kalyxon::win32
