// The keystroke notation in which the program types into other applications
// (the same notation a target program's font-switch macro is written in):
//
//   a α 1 …      every other character stands for itself
//   +  ^  %      Shift, Ctrl, Alt held down for the next key or group: "^+f"
//   ( … )        a group: "+(ec)" holds Shift over e and c; groups nest
//   ~            Enter
//   {NAME}       a named key: {ENTER} {TAB} {ESC} {ESCAPE} {BKSP} {BS}
//                {BACKSPACE} {DEL} {DELETE} {INS} {INSERT} {HOME} {END}
//                {LEFT} {RIGHT} {UP} {DOWN} {PGUP} {PGDN} {BREAK} {CAPSLOCK}
//                {NUMLOCK} {SCROLLLOCK} {PRTSC} {CLEAR} {HELP} {F1}…{F16}
//                and the keypad's {ADD} {SUBTRACT} {MULTIPLY} {DIVIDE};
//                names are case-insensitive
//   {c}          the character c itself, for the special ones: {+} {^} {%}
//                {~} {(} {)} {{} {}} {[} {]}
//   {NAME n}     the key or character n times: {BKSP 3}, {x 4}, {} 2}
//
// Square brackets typed bare stand for themselves. A modifier applies to the
// one key, braced token or group that follows it; in "+{LEFT 3}" it is held
// over all three presses.
//
// Text that breaks these rules (an unclosed brace or parenthesis, a stray "}"
// or ")", an unknown key name, a modifier with no key after it, the same
// modifier twice, a bad repeat count) is refused as a whole with a
// SendKeysError naming the position and the fault: nothing of it is typed.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kalyxon::sendkeys {

enum class Key : uint8_t {
  Char,  // a character, in KeyAction::ch
  Enter, Tab, Escape, Backspace, Delete, Insert,
  Home, End, Left, Right, Up, Down, PageUp, PageDown,
  Break, CapsLock, NumLock, ScrollLock, PrintScreen, Clear, Help,
  F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12, F13, F14, F15, F16,
  Add, Subtract, Multiply, Divide,  // keypad
};

// Modifier bits.
enum : uint8_t { kShift = 1, kCtrl = 2, kAlt = 4 };

// One key press (with its release), with the modifiers held over it.
struct KeyAction {
  Key key = Key::Char;
  char32_t ch = 0;  // the character when key is Key::Char (a whole code point)
  uint8_t mods = 0;

  bool isChar() const { return key == Key::Char; }
  bool operator==(const KeyAction&) const = default;
};

using KeySequence = std::vector<KeyAction>;

// Malformed notation. what() reads "position N: …" (N counted from 1 in
// UTF-16 code units); position() and reason() give the parts.
class SendKeysError : public std::runtime_error {
 public:
  SendKeysError(size_t position, const std::string& reason);
  size_t position() const { return position_; }
  const std::string& reason() const { return reason_; }

 private:
  size_t position_;
  std::string reason_;
};

// Longest repeat count accepted in "{x n}".
inline constexpr int kMaxRepeat = 100000;

// Parses `keys`; throws SendKeysError when it is malformed.
KeySequence parse(std::u16string_view keys);

// The same without exceptions: `error` is empty on success.
struct ParseResult {
  KeySequence actions;
  std::string error;
  bool ok() const { return error.empty(); }
};
ParseResult tryParse(std::u16string_view keys) noexcept;

// `text` written so that it types as itself: the special characters
// + ^ % ~ ( ) { } [ ] are braced.
std::u16string escape(std::u16string_view text);

// The canonical notation of a sequence (parse(format(s)) == s). Handy in
// diagnostics and test messages.
std::u16string format(const KeySequence& actions);

// The name of a named key as written in braces ("BKSP" for Backspace);
// empty for Key::Char.
std::u16string_view keyName(Key key);

// Shorthands for building expected sequences.
inline KeyAction chr(char32_t c, uint8_t mods = 0) { return {Key::Char, c, mods}; }
inline KeyAction key(Key k, uint8_t mods = 0) { return {k, 0, mods}; }

}  // namespace kalyxon::sendkeys
