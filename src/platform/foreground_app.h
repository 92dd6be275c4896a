// A stand-in for the application that has the keyboard focus: a plain text
// editor with a caret, driven by keystrokes in the notation of
// util/sendkeys.h. Tests type into it through ForegroundSender and compare its
// text with what a user would see in a real editor.
//
// What each key does:
//   character        inserted at the caret (with Shift alone: its upper-case
//                    form; the layout's shifted symbols are not modelled)
//   Enter (~)        inserts a line break, one character "\n"
//   Tab              inserts "\t"
//   Backspace        deletes the character before the caret (a surrogate pair
//                    counts as one character); nothing at the start
//   Delete           deletes the character after the caret; nothing at the end
//   Left / Right     move the caret one character
//   Home / End       move to the start / end of the caret's line
//   Up / Down        move to the same column of the previous / next line
//                    (or the end of that line when it is shorter)
//   PageUp/PageDown  move to the start / end of the text
//   anything else    (F-keys, Escape, Insert, lock keys …) no effect
// Shift alone changes nothing for named keys (there is no selection). Any key
// with Ctrl or Alt held is a shortcut: it is recorded in shortcuts() and leaves
// text and caret alone.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "util/sendkeys.h"

namespace kalyxon::platform {

class ForegroundApp {
 public:
  ForegroundApp() = default;
  explicit ForegroundApp(std::u16string text) { setText(std::move(text)); }

  // Replaces the text; the caret goes to `caret` (clamped), by default the end.
  void setText(std::u16string text, size_t caret = std::u16string::npos);

  // Parses and applies keystrokes. Malformed notation throws
  // sendkeys::SendKeysError and leaves the text untouched.
  void type(std::u16string_view keys);
  void apply(const sendkeys::KeySequence& actions);
  void apply(const sendkeys::KeyAction& action);

  const std::u16string& text() const { return text_; }
  std::string textUtf8() const;
  size_t caret() const { return caret_; }  // in UTF-16 code units

  // Every key received, in order, and the subset that were shortcuts.
  const sendkeys::KeySequence& received() const { return received_; }
  const sendkeys::KeySequence& shortcuts() const { return shortcuts_; }

  // Empties text, caret and history.
  void clear();

 private:
  size_t lineStart(size_t pos) const;
  size_t lineEnd(size_t pos) const;
  size_t prevChar(size_t pos) const;  // position one character back
  size_t nextChar(size_t pos) const;  // position one character on

  std::u16string text_;
  size_t caret_ = 0;
  sendkeys::KeySequence received_;
  sendkeys::KeySequence shortcuts_;
};

// A KeySender that types into a ForegroundApp. It keeps what it was sent, in
// order, and the `wait` flag of each call. Malformed notation propagates as
// sendkeys::SendKeysError, as the real senders report it.
class ForegroundSender : public KeySender {
 public:
  struct Sent {
    std::u16string keys;
    bool wait;
  };

  explicit ForegroundSender(ForegroundApp& app) : app_(app) {}
  void send(const std::u16string& keys, bool wait) override;

  ForegroundApp& app() { return app_; }
  std::vector<Sent> sent;

 private:
  ForegroundApp& app_;
};

}  // namespace kalyxon::platform
