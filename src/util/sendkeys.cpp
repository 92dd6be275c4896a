#include "util/sendkeys.h"

#include <array>
#include <utility>

#include "util/utf.h"

namespace kalyxon::sendkeys {

namespace {

struct Name {
  std::u16string_view name;
  Key key;
};

// Every name the notation accepts. The first name of a key is the one format()
// writes.
constexpr std::array kNames = {
    Name{u"ENTER", Key::Enter},        Name{u"TAB", Key::Tab},
    Name{u"ESC", Key::Escape},         Name{u"ESCAPE", Key::Escape},
    Name{u"BKSP", Key::Backspace},     Name{u"BS", Key::Backspace},
    Name{u"BACKSPACE", Key::Backspace}, Name{u"DEL", Key::Delete},
    Name{u"DELETE", Key::Delete},      Name{u"INS", Key::Insert},
    Name{u"INSERT", Key::Insert},      Name{u"HOME", Key::Home},
    Name{u"END", Key::End},            Name{u"LEFT", Key::Left},
    Name{u"RIGHT", Key::Right},        Name{u"UP", Key::Up},
    Name{u"DOWN", Key::Down},          Name{u"PGUP", Key::PageUp},
    Name{u"PGDN", Key::PageDown},      Name{u"BREAK", Key::Break},
    Name{u"CAPSLOCK", Key::CapsLock},  Name{u"NUMLOCK", Key::NumLock},
    Name{u"SCROLLLOCK", Key::ScrollLock}, Name{u"PRTSC", Key::PrintScreen},
    Name{u"CLEAR", Key::Clear},        Name{u"HELP", Key::Help},
    Name{u"F1", Key::F1},              Name{u"F2", Key::F2},
    Name{u"F3", Key::F3},              Name{u"F4", Key::F4},
    Name{u"F5", Key::F5},              Name{u"F6", Key::F6},
    Name{u"F7", Key::F7},              Name{u"F8", Key::F8},
    Name{u"F9", Key::F9},              Name{u"F10", Key::F10},
    Name{u"F11", Key::F11},            Name{u"F12", Key::F12},
    Name{u"F13", Key::F13},            Name{u"F14", Key::F14},
    Name{u"F15", Key::F15},            Name{u"F16", Key::F16},
    Name{u"ADD", Key::Add},            Name{u"SUBTRACT", Key::Subtract},
    Name{u"MULTIPLY", Key::Multiply},  Name{u"DIVIDE", Key::Divide},
};

// Groups deeper than this are certainly a mistake; the limit also keeps the
// recursion of the parser bounded whatever the input.
constexpr int kMaxDepth = 32;

bool isSpace(char16_t c) { return c == u' ' || c == u'\t'; }
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool isHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

std::string quoted(std::u16string_view s) { return "\"" + util::toUtf8(s) + "\""; }

char16_t asciiUpper(char16_t c) { return (c >= u'a' && c <= u'z') ? c - u'a' + u'A' : c; }

bool lookup(std::u16string_view token, Key& out) {
  for (const auto& n : kNames) {
    if (n.name.size() != token.size()) continue;
    bool same = true;
    for (size_t i = 0; i < token.size() && same; ++i) same = asciiUpper(token[i]) == n.name[i];
    if (same) {
      out = n.key;
      return true;
    }
  }
  return false;
}

std::string modName(uint8_t bit) {
  switch (bit) {
    case kShift: return "'+' (Shift)";
    case kCtrl: return "'^' (Ctrl)";
    default: return "'%' (Alt)";
  }
}

class Parser {
 public:
  explicit Parser(std::u16string_view s) : s_(s) {}

  KeySequence run() {
    sequence(0, 0, 0);
    return std::move(out_);
  }

 private:
  std::u16string_view s_;
  size_t i_ = 0;
  KeySequence out_;

  std::string modAt(size_t pos) const {
    return modName(s_[pos] == u'+' ? kShift : s_[pos] == u'^' ? kCtrl : kAlt);
  }

  [[noreturn]] void fail(size_t pos, const std::string& why) { throw SendKeysError(pos + 1, why); }

  // Reads keys up to the end of the text (depth 0) or up to the ")" that
  // closes the group opened at `open` (depth > 0).
  void sequence(uint8_t held, int depth, size_t open) {
    uint8_t pending = 0;
    size_t pendingPos = 0;
    while (true) {
      if (i_ >= s_.size()) {
        if (pending) fail(pendingPos, "modifier " + modAt(pendingPos) + " has no key after it");
        if (depth > 0) fail(open, "'(' is never closed");
        return;
      }
      const char16_t c = s_[i_];
      uint8_t bit = 0;
      if (c == u'+') bit = kShift;
      if (c == u'^') bit = kCtrl;
      if (c == u'%') bit = kAlt;
      if (bit) {
        if (pending & bit) fail(i_, std::string("modifier ") + modName(bit) + " given twice");
        if (!pending) pendingPos = i_;
        pending |= bit;
        ++i_;
        continue;
      }
      const uint8_t mods = held | pending;
      switch (c) {
        case u'(': {
          if (depth + 1 > kMaxDepth) fail(i_, "groups nested too deeply");
          const size_t at = i_++;
          sequence(mods, depth + 1, at);
          break;
        }
        case u')':
          if (depth == 0) fail(i_, "')' without a matching '('");
          if (pending) fail(pendingPos, "modifier " + modAt(pendingPos) + " has no key before ')'");
          ++i_;
          return;
        case u'}':
          fail(i_, "'}' without a matching '{' (write {}} for the character })");
        case u'{':
          braced(mods);
          break;
        case u'~':
          out_.push_back({Key::Enter, 0, mods});
          ++i_;
          break;
        default:
          out_.push_back({Key::Char, codePointAt(i_), mods});
          break;
      }
      pending = 0;
    }
  }

  // The code point at i_, advancing past it. A lone surrogate stands for
  // itself rather than stopping the parse.
  char32_t codePointAt(size_t& i) {
    const char16_t c = s_[i++];
    if (isHigh(c) && i < s_.size() && isLow(s_[i])) {
      const char16_t lo = s_[i++];
      return 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(lo) - 0xDC00);
    }
    return c;
  }

  // "{token}" or "{token n}" at i_.
  void braced(uint8_t mods) {
    const size_t open = i_;
    size_t j = i_ + 1;
    auto unclosed = [&] { fail(open, "'{' is never closed"); };
    if (j >= s_.size()) unclosed();
    if (isSpace(s_[j])) fail(j, "a key name is missing after '{'");
    // The first character of the token is taken whatever it is, so that
    // "{}}" and "{{}" name the braces themselves.
    size_t first = j;
    char32_t single = codePointAt(j);
    if (single == u'}' && (j >= s_.size() || (s_[j] != u'}' && !isSpace(s_[j]))))
      fail(open, "empty braces '{}' (write {}} for the character })");
    while (j < s_.size() && s_[j] != u'}' && !isSpace(s_[j])) ++j;
    if (j >= s_.size()) unclosed();
    const std::u16string_view token = s_.substr(first, j - first);
    int repeat = 1;
    if (isSpace(s_[j])) {
      while (j < s_.size() && isSpace(s_[j])) ++j;
      if (j >= s_.size()) unclosed();
      if (!isDigit(s_[j])) fail(j, "a repeat count (digits) is expected after " + quoted(token));
      long n = 0;
      while (j < s_.size() && isDigit(s_[j])) {
        n = n * 10 + (s_[j] - u'0');
        if (n > kMaxRepeat)
          fail(j, "repeat count too large (at most " + std::to_string(kMaxRepeat) + ")");
        ++j;
      }
      if (j >= s_.size()) unclosed();
      if (s_[j] != u'}') fail(j, "'}' expected after the repeat count");
      repeat = static_cast<int>(n);
    }
    // s_[j] is the closing brace.
    KeyAction action{Key::Char, 0, mods};
    const bool oneChar = token.size() == (single > 0xFFFF ? 2u : 1u);
    if (!oneChar) {
      if (!lookup(token, action.key)) fail(first, "unknown key name " + quoted(token));
    } else {
      action.ch = single;
    }
    out_.insert(out_.end(), static_cast<size_t>(repeat), action);
    i_ = j + 1;
  }
};

}  // namespace

SendKeysError::SendKeysError(size_t position, const std::string& reason)
    : std::runtime_error("position " + std::to_string(position) + ": " + reason),
      position_(position),
      reason_(reason) {}

KeySequence parse(std::u16string_view keys) { return Parser(keys).run(); }

ParseResult tryParse(std::u16string_view keys) noexcept {
  ParseResult r;
  try {
    r.actions = parse(keys);
  } catch (const SendKeysError& e) {
    r.error = e.what();
  } catch (const std::exception& e) {  // out of memory on a huge text
    r.error = e.what();
  }
  return r;
}

std::u16string escape(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char16_t c : text) {
    switch (c) {
      case u'+': case u'^': case u'%': case u'~': case u'(': case u')':
      case u'{': case u'}': case u'[': case u']':
        out += u'{';
        out += c;
        out += u'}';
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::u16string_view keyName(Key key) {
  for (const auto& n : kNames)
    if (n.key == key) return n.name;
  return {};
}

std::u16string format(const KeySequence& actions) {
  std::u16string out;
  for (const auto& a : actions) {
    if (a.mods & kShift) out += u'+';
    if (a.mods & kCtrl) out += u'^';
    if (a.mods & kAlt) out += u'%';
    if (a.isChar()) {
      std::u16string c = escape(util::fromCodePoint(a.ch));
      // A lone low surrogate written right after a lone high one would read
      // back as one character with it; braced, it stays a key of its own.
      if (c.size() == 1 && isLow(c[0]) && !out.empty() && isHigh(out.back())) c = u"{" + c + u"}";
      out += c;
    } else {
      out += u'{';
      out += keyName(a.key);
      out += u'}';
    }
  }
  return out;
}

}  // namespace kalyxon::sendkeys
