#include "util/sendkeys.h"

#include <gtest/gtest.h>

#include "util/utf.h"

namespace kalyxon::sendkeys {
namespace {

using util::toUtf8;

// Sequences compare through their canonical notation, so that a failure
// prints something readable.
std::string fmt(const KeySequence& s) { return toUtf8(format(s)); }
std::string parsed(std::u16string_view keys) { return fmt(parse(keys)); }

TEST(SendKeys, NotationReadsAsKeys) {
  const std::pair<std::u16string, KeySequence> casos[] = {
      // Characters stand for themselves; a supplementary character is one
      // action; a lone surrogate does not stop the parse; bare brackets type.
      {u"aα .", {chr('a'), chr(U'α'), chr(' '), chr('.')}},
      {u"\U0001D538", {chr(U'\U0001D538')}},
      {std::u16string(1, char16_t(0xD800)) + u"a", {chr(0xD800), chr('a')}},
      {u"", {}},
      {u"[a]", {chr('['), chr('a'), chr(']')}},
      // Modifiers apply to the next key or group.
      {u"+ab", {chr('a', kShift), chr('b')}},
      {u"^+f", {chr('f', kShift | kCtrl)}},
      {u"%{F4}", {key(Key::F4, kAlt)}},
      {u"+(ec)d", {chr('e', kShift), chr('c', kShift), chr('d')}},
      {u"^(a+(b)c)", {chr('a', kCtrl), chr('b', kCtrl | kShift), chr('c', kCtrl)}},
      {u"(ab)", {chr('a'), chr('b')}},
      {u"+()a", {chr('a')}},
      {u"+~", {key(Key::Enter, kShift)}},
      // Names ignore case and have their classic aliases.
      {u"{BKSP}{BS}{BACKSPACE}{bksp}{Backspace}", KeySequence(5, key(Key::Backspace))},
      {u"~{ENTER}{enter}", KeySequence(3, key(Key::Enter))},
      {u"{ESC}{ESCAPE}{DEL}{DELETE}{INS}{INSERT}",
       {key(Key::Escape), key(Key::Escape), key(Key::Delete), key(Key::Delete), key(Key::Insert),
        key(Key::Insert)}},
      // Braced characters and repeats.
      {u"{+}{~}{(}", {chr('+'), chr('~'), chr('(')}},
      {u"{BKSP 3}", KeySequence(3, key(Key::Backspace))},
      {u"{x 4}", KeySequence(4, chr('x'))},
      {u"{} 2}{{ 2}", {chr('}'), chr('}'), chr('{'), chr('{')}},
      {u"{α  2}", KeySequence(2, chr(U'α'))},
      {u"{\U0001D538}", {chr(U'\U0001D538')}},
      {u"{ENTER 0}a", {chr('a')}},
  };
  for (const auto& [notacion, teclas] : casos) EXPECT_EQ(parse(notacion), teclas) << toUtf8(notacion);
  // A modifier is held over every press of a repeated token; every canonical
  // name reads back through format().
  EXPECT_EQ(parsed(u"+{LEFT 3}"), "+{LEFT}+{LEFT}+{LEFT}");
  const std::u16string todas =
      u"{TAB}{HOME}{END}{LEFT}{RIGHT}{UP}{DOWN}{PGUP}{PGDN}{BREAK}{CAPSLOCK}{NUMLOCK}"
      u"{SCROLLLOCK}{PRTSC}{CLEAR}{HELP}{ADD}{SUBTRACT}{MULTIPLY}{DIVIDE}{F1}{F9}{F10}{F16}";
  EXPECT_EQ(parse(todas).size(), 24u);
  EXPECT_EQ(parsed(todas), toUtf8(todas));
  EXPECT_EQ(parsed(u"{{}{}}{+}{^}{%}{~}{(}{)}{[}{]}"), "{{}{}}{+}{^}{%}{~}{(}{)}{[}{]}");
  EXPECT_EQ(parse(u"{x 100000}").size(), 100000u);
}

TEST(SendKeys, MalformedTextIsRefusedWithItsPosition) {
  struct Case {
    std::u16string keys;
    size_t position;
    std::string reason;  // a piece of the message
  };
  const Case cases[] = {
      {u"ab{BKSP", 3, "never closed"},
      {u"{", 1, "never closed"},
      {u"{x 3", 1, "never closed"},
      {u"a{FOO}", 3, "unknown key name \"FOO\""},
      {u"{F17}", 2, "unknown key name"},
      {u"{ab}", 2, "unknown key name"},
      {u"a}b", 2, "'}' without"},
      {u"{}", 1, "empty braces"},
      {u"{}abc{ENTER}", 1, "empty braces"},
      {u"{ 3}", 2, "key name is missing"},
      {u"(ab", 1, "'(' is never closed"},
      {u"a(b(c)", 2, "'(' is never closed"},
      {u"ab)", 3, "')' without"},
      {u"a+", 2, "'+' (Shift) has no key after it"},
      {u"^%", 1, "'^' (Ctrl) has no key after it"},
      {u"^(a+)", 4, "has no key before ')'"},
      {u"++a", 2, "given twice"},
      {u"{x y}", 4, "repeat count"},
      {u"{x }", 4, "repeat count"},
      {u"{x 3 }", 5, "'}' expected"},
      {u"{x 3a}", 5, "'}' expected"},
      {u"{BKSP 100001}", 12, "too large"},
      {u"{x 99999999999999999999}", 9, "too large"},
      {std::u16string(40, u'(') + u"a" + std::u16string(40, u')'), 33, "nested too deeply"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(toUtf8(c.keys));
    try {
      parse(c.keys);
      ADD_FAILURE() << "accepted";
    } catch (const SendKeysError& e) {
      EXPECT_EQ(e.position(), c.position) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
    }
    const auto r = tryParse(c.keys);
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.actions.empty());
  }
}

TEST(SendKeys, EscapeAndFormatRoundTrip) {
  const std::u16string plain = u"a+b^c%d~e(f)g{h}i[j] ἄλφα";
  KeySequence expected;
  for (char16_t c : plain) expected.push_back(chr(c));
  EXPECT_EQ(parse(escape(plain)), expected);
  EXPECT_EQ(toUtf8(escape(u"1+1")), "1{+}1");

  const std::u16string keys = u"^+f{BKSP 2}+(ab)%{F4}~{}}{TAB}λ";
  EXPECT_EQ(parse(format(parse(keys))), parse(keys));
  EXPECT_EQ(parsed(keys), "+^f{BKSP}{BKSP}+a+b%{F4}{ENTER}{}}{TAB}λ");
  // Two lone surrogates, the second braced, stay two keys through format.
  const std::u16string sueltos = {0xDAE5, u'{', 0xDFA9, u'}'};
  EXPECT_EQ(parse(format(parse(sueltos))), (KeySequence{chr(0xDAE5), chr(0xDFA9)}));
}

}  // namespace
}  // namespace kalyxon::sendkeys
