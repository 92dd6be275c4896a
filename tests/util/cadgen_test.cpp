#include "util/cadgen.h"

#include <gtest/gtest.h>

#include "platform/scripted.h"
#include "util/utf.h"

namespace kalyxon::CadGen {
namespace {

using util::toUtf8;

std::string replaced(std::u16string text, std::u16string_view buscar, std::u16string_view poner,
                     bool todas = true, bool sinMayusculas = false) {
  reemplaza(text, buscar, poner, todas, sinMayusculas, nullptr);
  return toUtf8(text);
}

TEST(Reemplaza, ReplacesFromTheRestartPositionGivenByTheSearchedText) {
  EXPECT_EQ(replaced(u"a b", u" ", u"&#32;"), "a&#32;b");
  EXPECT_EQ(replaced(u"a b c", u" ", u"_", false), "a_b c");
  EXPECT_EQ(replaced(u"\\u03b1\\u03b2", u"\\u", u";\\u"), ";\\u03b1;\\u03b2");
  // The next search starts len("aa") after the match, inside the "aaa" just
  // put in: four a's become seven.
  EXPECT_EQ(replaced(u"aaaa", u"aa", u"aaa"), "aaaaaaa");
  // A replacement that would find itself forever stops at its own text.
  EXPECT_EQ(replaced(u"xa", u"a", u"ba"), "xba");
  EXPECT_EQ(replaced(u"abc", u"", u"x"), "abc");
  EXPECT_EQ(replaced(u"", u"a", u"x"), "");
  // The font-switch macro with a font name.
  EXPECT_EQ(replaced(u"^+f*~", u"*", u"Palatino Linotype"), "^+fPalatino Linotype~");
}

TEST(Reemplaza, IgnoresCaseOnRequestAndKeepsTheTextsOwn) {
  EXPECT_EQ(replaced(u"Hola HOLA hola", u"hOLA", u"ciao", true, true), "ciao ciao ciao");
  // A replacement shorter than the searched text makes the next search start
  // past characters that were never looked at: the second HOLA is skipped.
  EXPECT_EQ(replaced(u"Hola HOLA hola", u"hOLA", u"x", true, true), "x HOLA x");
  EXPECT_EQ(replaced(u"Hola HOLA", u"hola", u"y", true, false), "Hola HOLA");
  EXPECT_EQ(replaced(u"ΛΌΓΟΣ λόγος", u"λόγοσ", u"LOGOS", true, true), "LOGOS LOGOS");
  EXPECT_EQ(replaced(u"xAbCx", u"abc", u"abc", true, true), "xabcx");
  EXPECT_EQ(replaced(u"AAAA", u"aa", u"aaa", true, true), "aaaaaaa");
}

TEST(Reemplaza, LetsPendingMessagesRunBeforeEverySearch) {
  platform::scripted::ScriptedPump pump;
  std::u16string s = u"a b c";
  EXPECT_EQ(toUtf8(reemplaza(s, u" ", u"_", true, false, &pump)), "a_b_c");
  EXPECT_EQ(toUtf8(s), "a_b_c");
  EXPECT_EQ(pump.calls, 3);  // two matches and the search that finds none
  pump.calls = 0;
  s = u"a b c";
  reemplaza(s, u" ", u"_", false, false, &pump);
  EXPECT_EQ(pump.calls, 1);
}

TEST(Trozos, RemembersItsTextBetweenCalls) {
  Trozos t;
  EXPECT_EQ(toUtf8(t.daTrozo(u"x;y;", u";")), "x");
  EXPECT_EQ(toUtf8(t.daTrozo()), "y");
  EXPECT_EQ(toUtf8(t.daTrozo()), "");
  EXPECT_EQ(toUtf8(t.daTrozo()), "");

  EXPECT_EQ(toUtf8(t.daTrozo(u";x;", u";")), "");  // separator first: nothing moves
  EXPECT_EQ(toUtf8(t.resto()), ";x;");

  // The separator is remembered too, and may be longer than one character.
  EXPECT_EQ(toUtf8(t.daTrozo(u"ab&#cd&#", u"&#")), "ab");
  EXPECT_EQ(toUtf8(t.daTrozo(u"uno&#dos&#")), "uno");
  EXPECT_EQ(toUtf8(t.daTrozo()), "dos");
  // A trailing piece without a separator is never returned.
  EXPECT_EQ(toUtf8(t.daTrozo(u"p;q", u";")), "p");
  EXPECT_EQ(toUtf8(t.daTrozo()), "");
  EXPECT_EQ(toUtf8(t.resto()), "q");

  // Two tokenizers do not share state; long tokens are fine.
  Trozos a, b;
  const std::u16string largo(1000, u'α');
  a.daTrozo(largo + u";1;", u";");
  EXPECT_EQ(toUtf8(b.daTrozo(u"2;", u";")), "2");
  EXPECT_EQ(toUtf8(a.daTrozo()), "1");
  Trozos c;
  EXPECT_EQ(toUtf8(c.daTrozo(u"a;b")), "");  // no separator yet
}

TEST(ValorBase, ReadsPositionalValuesAndRefusesBadDigits) {
  const struct {
    const char16_t* digitos;
    int base, valor;
  } casos[] = {
      {u"3b1", 16, 945}, {u"03B1", 16, 945}, {u"101", 2, 5},   {u"777", 8, 511},  {u"0945", 10, 945},
      {u"", 16, 0},      {u"7FFFFFFF", 16, INT32_MAX},         {u"12", 7, -1},    {u"", 7, -1},
      {u"G", 16, -1},    {u"8", 8, -1},     {u"A", 10, -1},    {u" 1", 10, -1},   {u"80000000", 16, -1},
      {u"99999999999999999999", 10, -1},
  };
  for (const auto& c : casos) EXPECT_EQ(valorBase(c.digitos, c.base), c.valor) << toUtf8(c.digitos) << " " << c.base;
}

TEST(CadGen, CodeListsAndSeparators) {
  EXPECT_EQ(toUtf8(daCodigos(u"αβ")), "945;946;");
  EXPECT_EQ(toUtf8(daCodigos(u"ἀ ")), "7936;32;");
  EXPECT_EQ(toUtf8(daCodigos(u"")), "");

  for (std::u16string_view c : {u"", u",", u";", u" ", u".", u":", u"_"})
    EXPECT_TRUE(esSeparador(c)) << toUtf8(c);
  for (std::u16string_view c : {u"-", u"&", u"a", u"α", u"!", u"'", u";&"})
    EXPECT_FALSE(esSeparador(c)) << toUtf8(c);
  EXPECT_TRUE(esSeparador(u'_'));
  EXPECT_FALSE(esSeparador(u'\n'));
}

}  // namespace
}  // namespace kalyxon::CadGen
