#include "util/cadgen.h"

#include <gtest/gtest.h>

#include "platform/scripted.h"
#include "util/utf.h"

namespace kalyxon::CadGen {
namespace {

using util::toUtf8;

TEST(Reemplaza, ReplacesFromTheRestartPositionGivenByTheSearchedText) {
  const struct {
    const char16_t *texto, *buscar, *poner;
    bool todas, sinMayusculas;
    const char* sale;
  } casos[] = {
      {u"a b", u" ", u"&#32;", true, false, "a&#32;b"},
      {u"a b c", u" ", u"_", false, false, "a_b c"},
      {u"\\u03b1\\u03b2", u"\\u", u";\\u", true, false, ";\\u03b1;\\u03b2"},
      // The next search starts len("aa") after the match, inside the "aaa" just
      // put in: four a's become seven.
      {u"aaaa", u"aa", u"aaa", true, false, "aaaaaaa"},
      // A replacement that would find itself forever stops at its own text.
      {u"xa", u"a", u"ba", true, false, "xba"},
      {u"abc", u"", u"x", true, false, "abc"},
      {u"", u"a", u"x", true, false, ""},
      // The font-switch macro with a font name.
      {u"^+f*~", u"*", u"Palatino Linotype", true, false, "^+fPalatino Linotype~"},
      // Case ignored on request; the text keeps its own where nothing is put.
      {u"Hola HOLA hola", u"hOLA", u"ciao", true, true, "ciao ciao ciao"},
      // A replacement shorter than the searched text makes the next search start
      // past characters that were never looked at: the second HOLA is skipped.
      {u"Hola HOLA hola", u"hOLA", u"x", true, true, "x HOLA x"},
      {u"Hola HOLA", u"hola", u"y", true, false, "Hola HOLA"},
      {u"ΛΌΓΟΣ λόγος", u"λόγοσ", u"LOGOS", true, true, "LOGOS LOGOS"},
      {u"xAbCx", u"abc", u"abc", true, true, "xabcx"},
      {u"AAAA", u"aa", u"aaa", true, true, "aaaaaaa"},
  };
  for (const auto& c : casos) {
    std::u16string t = c.texto;
    reemplaza(t, c.buscar, c.poner, c.todas, c.sinMayusculas, nullptr);
    EXPECT_EQ(toUtf8(t), c.sale) << toUtf8(c.texto) << " / " << toUtf8(c.buscar);
  }
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
