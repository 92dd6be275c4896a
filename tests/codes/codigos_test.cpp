#include "codes/codigos.h"

#include <gtest/gtest.h>

#include "app/kalyxon.h"
#include "platform/foreground_app.h"
#include "platform/scripted.h"
#include "util/cadgen.h"
#include "util/utf.h"

namespace kalyxon {
namespace {

using util::toUtf8;

// The program with scripted services, typing into a test editor.
struct Programa {
  platform::scripted::ScriptedServices s;
  platform::ForegroundApp app;
  platform::ForegroundSender sender{app};
  Kalyxon k{conSender(), KALYXON_RUNTIME_DIR};

  platform::Services conSender() {
    auto sv = s.services();
    sv.sender = &sender;
    return sv;
  }
  Codigos& c() { return k.codigos(); }
  void teclea(int32_t codigo) { k.sv.sender->send(c().daRespuesta(codigo), false); }
};

std::string carga(std::u16string text) { return toUtf8(Codigos::cargaHTM(text, nullptr)); }

TEST(Codigos, MenuItemsChooseOneCodeModeAtATime) {
  Programa p;
  auto& f = p.k.form1;
  // The mark of code mode and the item ticked.
  auto modo = [&] {
    return toUtf8(f.mnucod.tag) + (f.mnucodhtm.checked ? "html" : "") + (f.mnucodjav.checked ? "java" : "");
  };
  // HTML, Java, Java again (off), HTML twice (on and off).
  std::string visto = modo();
  for (char item : std::string("hjjhh")) {
    item == 'h' ? p.c().mnucodhtm_Click() : p.c().mnucodjav_Click();
    visto += "," + modo();
  }
  EXPECT_EQ(visto, ",*html,*java,,*html,");
  EXPECT_FALSE(p.c().enModoCodigo());
}

TEST(Codigos, TypesCharactersOrTheirEscapesByCodeMode) {
  Programa p;
  p.teclea(955);
  p.teclea('(');  // special in the keystroke notation, still typed as itself
  p.teclea('+');
  EXPECT_EQ(p.app.textUtf8(), "λ(+");
  EXPECT_TRUE(p.k.form1.UniLabel1.caption.empty());

  // In a code mode the escape is typed and the label shows the character;
  // switching modes mid-text takes effect at once.
  p.app.clear();
  p.c().mnucodhtm_Click();
  p.teclea(945);
  p.c().mnucodjav_Click();
  p.teclea(7936);
  EXPECT_EQ(p.app.textUtf8(), "&#945;\\u1F00");
  EXPECT_EQ(toUtf8(p.k.form1.UniLabel1.caption), "ἀ");
}

TEST(Codigos, HexLabelWidensTwoAndThreeDigitsOnly) {
  for (auto [codigo, hex] : {std::pair<int32_t, const char*>{3, "3"}, {15, "F"}, {16, "0010"}, {233, "00E9"},
                             {945, "03B1"}, {0x1F00, "1F00"}, {0x10000, "10000"}})
    EXPECT_EQ(toUtf8(Codigos::daHex(codigo)), hex) << codigo;
  EXPECT_EQ(toUtf8(Codigos::formaJava(3)), "\\u3");
  EXPECT_EQ(toUtf8(Codigos::formaHTM(945)), "&#945;");
}

TEST(Codigos, EscapesDecodeAndOtherTextPassesThrough) {
  const std::pair<const char16_t*, const char*> casos[] = {
      {u"&#945; &#946;", "α β"},
      {u"\\u03b1\\u03b2", "αβ"},
      {u"\\u03B1\\u3\\u1f00", "α\u0003ἀ"},
      // "&#" anywhere makes the whole text HTML: the Java escape is kept.
      {u"\\u03b2&#945;", "\\u03b2α"},
      {u"Hola &#955;&#972;&#947;&#959;&#962;!", "Hola λόγος!"},
      {u"&#; &#x3bb; &#X3BB &#99999999; &#945", "&#; λ λ &#99999999; α"},
      {u"x = \\u03bb; y = \\u03bc", "x = λ; y = μ"},
      {u"a;b \\u \\uZZ", "a;b \\u \\uZZ"},
      {u"", ""},
  };
  for (const auto& [texto, esperado] : casos) EXPECT_EQ(carga(texto), esperado) << esperado;
  EXPECT_EQ(toUtf8(CadGen::decodificaHTM(u"&#945;;&#946;")), "α;β");
  EXPECT_EQ(toUtf8(CadGen::decodificaJava(u"\\u03b1;\\u03b2;")), "α;β;");

  // Every Greek letter and polytonic form, through both forms and back.
  std::u16string greek;
  for (char16_t c = 0x391; c <= 0x3C9; ++c)
    if (c != 0x3A2) greek += c;
  for (char16_t c = 0x1F00; c <= 0x1FFE; ++c) greek += c;
  std::u16string html, java;
  for (char16_t c : greek) {
    html += Codigos::formaHTM(c);
    java += Codigos::formaJava(c);
  }
  EXPECT_EQ(Codigos::cargaHTM(html, nullptr), greek);
  EXPECT_EQ(Codigos::cargaHTM(java, nullptr), greek);
}

TEST(Codigos, LabelClickDecodesTheClipboardOnlyInCodeMode) {
  Programa p;
  p.s.clipboard.plain = u"&#945;&#946;";
  p.k.form1.UniLabel1.caption = u"1 λόγος";
  p.c().UniLabel1_Click();
  EXPECT_EQ(toUtf8(p.k.form1.UniLabel1.caption), "1 λόγος");
  p.c().mnucodjav_Click();
  p.c().UniLabel1_Click();
  EXPECT_EQ(toUtf8(p.k.form1.UniLabel1.caption), "αβ");
  p.s.clipboard.plain = u"\\u1f00";
  p.c().UniLabel1_Click();
  EXPECT_EQ(toUtf8(p.k.form1.UniLabel1.caption), "ἀ");
  EXPECT_GT(p.s.pump.calls, 0);
}

}  // namespace
}  // namespace kalyxon
