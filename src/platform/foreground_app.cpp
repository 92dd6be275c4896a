#include "platform/foreground_app.h"

#include <algorithm>

#include "util/utf.h"

#ifdef KALYXON_HAVE_ICU
#include <unicode/uchar.h>
#elif defined(_WIN32)
#include <windows.h>
#endif

namespace kalyxon::platform {

namespace {

using sendkeys::Key;

bool isHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

char32_t upper(char32_t c) {
#ifdef KALYXON_HAVE_ICU
  return static_cast<char32_t>(u_toupper(static_cast<UChar32>(c)));
#elif defined(_WIN32)
  if (c > 0xFFFF || (c >= 0xD800 && c <= 0xDFFF)) return c;
  wchar_t w = static_cast<wchar_t>(c);
  // Linguistic casing: the plain table leaves final sigma as it is, ICU
  // (the Linux build) gives capital sigma.
  wchar_t u = w;
  if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE | LCMAP_LINGUISTIC_CASING, &w, 1, &u, 1,
                    nullptr, nullptr, 0) == 1)
    w = u;
  return static_cast<char32_t>(w);
#else
  return (c >= U'a' && c <= U'z') ? c - U'a' + U'A' : c;
#endif
}

}  // namespace

void ForegroundApp::setText(std::u16string text, size_t caret) {
  text_ = std::move(text);
  caret_ = std::min(caret, text_.size());
}

void ForegroundApp::clear() {
  text_.clear();
  caret_ = 0;
  received_.clear();
  shortcuts_.clear();
}

std::string ForegroundApp::textUtf8() const { return util::toUtf8(text_); }

void ForegroundApp::type(std::u16string_view keys) {
  // Parse first: a malformed text is refused before any key is applied.
  apply(sendkeys::parse(keys));
}

void ForegroundApp::apply(const sendkeys::KeySequence& actions) {
  for (const auto& a : actions) apply(a);
}

size_t ForegroundApp::lineStart(size_t pos) const {
  while (pos > 0 && text_[pos - 1] != u'\n') --pos;
  return pos;
}

size_t ForegroundApp::lineEnd(size_t pos) const {
  while (pos < text_.size() && text_[pos] != u'\n') ++pos;
  return pos;
}

size_t ForegroundApp::prevChar(size_t pos) const {
  if (pos == 0) return 0;
  --pos;
  if (pos > 0 && isLow(text_[pos]) && isHigh(text_[pos - 1])) --pos;
  return pos;
}

size_t ForegroundApp::nextChar(size_t pos) const {
  if (pos >= text_.size()) return text_.size();
  ++pos;
  if (pos < text_.size() && isLow(text_[pos]) && isHigh(text_[pos - 1])) ++pos;
  return pos;
}

void ForegroundApp::apply(const sendkeys::KeyAction& a) {
  received_.push_back(a);
  if (a.mods & (sendkeys::kCtrl | sendkeys::kAlt)) {
    shortcuts_.push_back(a);
    return;
  }
  auto insert = [this](char32_t c) {
    const std::u16string s = util::fromCodePoint(c);
    text_.insert(caret_, s);
    caret_ += s.size();
  };
  switch (a.key) {
    case Key::Char:
      insert((a.mods & sendkeys::kShift) ? upper(a.ch) : a.ch);
      break;
    case Key::Enter:
      insert(U'\n');
      break;
    case Key::Tab:
      insert(U'\t');
      break;
    case Key::Backspace: {
      const size_t p = prevChar(caret_);
      text_.erase(p, caret_ - p);
      caret_ = p;
      break;
    }
    case Key::Delete:
      text_.erase(caret_, nextChar(caret_) - caret_);
      break;
    case Key::Left:
      caret_ = prevChar(caret_);
      break;
    case Key::Right:
      caret_ = nextChar(caret_);
      break;
    case Key::Home:
      caret_ = lineStart(caret_);
      break;
    case Key::End:
      caret_ = lineEnd(caret_);
      break;
    case Key::Up:
    case Key::Down: {
      const size_t start = lineStart(caret_);
      const size_t column = caret_ - start;
      size_t target;
      if (a.key == Key::Up) {
        if (start == 0) break;
        target = lineStart(start - 1);
      } else {
        const size_t end = lineEnd(caret_);
        if (end == text_.size()) break;
        target = end + 1;
      }
      caret_ = std::min(target + column, lineEnd(target));
      // Never stop between the halves of a surrogate pair.
      if (caret_ > 0 && caret_ < text_.size() && isLow(text_[caret_]) && isHigh(text_[caret_ - 1]))
        --caret_;
      break;
    }
    case Key::PageUp:
      caret_ = 0;
      break;
    case Key::PageDown:
      caret_ = text_.size();
      break;
    default:
      break;
  }
}

void ForegroundSender::send(const std::u16string& keys, bool wait) {
  sent.push_back({keys, wait});
  app_.type(keys);
}

}  // namespace kalyxon::platform
