// The keyboard engine as an IBus input method ("kalyxon").
//
// Under Wayland no program may read or synthesise another program's keys;
// the input-method framework is the one way into every application, and it
// works under X11 as well. IBus hands the key events of the focused text
// field to the engine selected by the user and lets it commit text, delete
// text around the caret and forward key events to the application.
//
// Observing. Each IBus key event (keyval, Linux input code, modifier state,
// press or release) becomes the engine's event record exactly as the X11
// backend makes it: the virtual-key code of the key's position on a Spanish
// keyboard (keyboard/posiciones.h), whatever layout is active, the release,
// extended and Alt flags. The modifier state of the event is the key state
// the engine reads (as before the event, like X11's). Swallow means the event
// is consumed; pass and let-through mean it is not, and the application
// handles the key as usual.
//
// Typing. Text is committed; Backspaces are a deletion of text before the
// caret when the application reports surrounding text, and otherwise
// forwarded BackSpace key events; other named keys and shortcuts (the
// font-switch macro) are forwarded key events. Everything goes to the text
// field that has the focus.
//
// Word breaks. Focus changes and resets (a click into the text moves the
// caret and resets the input method) end the running word.
//
// Event loop. Everything runs on GLib's default main context: a Qt program
// whose event dispatcher is GLib's needs nothing more; others call
// dispatchPending() now and then.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "keyboard/tecladohook.h"
#include "platform/platform.h"

namespace kalyxon::ibus {

inline constexpr const char* kEngineName = "kalyxon";
inline constexpr const char* kComponentName = "org.freedesktop.IBus.Kalyxon";

// Codes of lastError().
enum Error : uint32_t {
  kOk = 0,
  kNoDaemon = 1,     // no IBus daemon to talk to
  kNameTaken = 2,    // another process already serves the engine
};

// Whether the user has added the engine as an input source, as far as the
// desktop's settings tell (GNOME's input sources, else IBus's own preloaded
// engines); nullopt when neither can be read.
std::optional<bool> isInputSource();

class TecladoIbus : public platform::KeyState,
                    public platform::KeySender,
                    public platform::KeyboardHook {
 public:
  using Procedure = std::function<Verdict(int nCode, const KeyEvent& event)>;

  // Connects to the IBus daemon of the session (or of $IBUS_ADDRESS). A
  // failed connection is not an error here: serve() and install() report it.
  TecladoIbus();
  ~TecladoIbus() override;
  TecladoIbus(const TecladoIbus&) = delete;
  TecladoIbus& operator=(const TecladoIbus&) = delete;

  void setProcedure(Procedure procedure) { procedure_ = std::move(procedure); }
  // Called at every word break that no key shows (focus change, reset).
  void setWordBreak(std::function<void()> alCortar) { alCortar_ = std::move(alCortar); }

  bool connected() const;
  // Offers the engine on the bus: creates the engine factory and takes the
  // component's bus name, so the daemon uses this process instead of starting
  // one. A daemon that does not know the engine (no component file) is told
  // about it from here. False with lastError() set when the daemon is
  // unreachable or another process serves the engine.
  bool serve();
  // Runs whatever GLib has pending, without waiting.
  void dispatchPending();
  // Called when the daemon goes away.
  void setDisconnected(std::function<void()> f) { alDesconectar_ = std::move(f); }

  // KeyboardHook: interception is on while installed (Greek mode).
  bool install() override;
  void remove() override;
  uint32_t lastError() override { return error_; }
  std::u16string errorText() override;
  bool installed() const { return installed_; }

  // KeyState
  bool shiftDown() override;
  bool ctrlDown() override;
  int capsLockState() override;

  // KeySender: `keys` in the keystroke notation of util/sendkeys.h, to the
  // focused text field. Text that does not parse is reported on stderr and
  // not typed.
  void send(const std::u16string& keys, bool wait) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
  Procedure procedure_;
  std::function<void()> alCortar_;
  std::function<void()> alDesconectar_;
  uint32_t error_ = kOk;
  bool installed_ = false;
  friend struct Impl;
};

}  // namespace kalyxon::ibus
