// The kalyxon command's codes subcommand, run as a user would.
#include <gtest/gtest.h>

#include <string>

#include "support/prueba.h"

namespace {

using kalyxon::prueba::ejecutaKalyxon;

TEST(CliCodes, EncodesAndDecodes) {
  const struct {
    const char *args, *entrada, *esperado;
  } casos[] = {
      {"codes html 'λόγος ok'", "", "&#955;&#972;&#947;&#959;&#962; ok\n"},
      {"codes java --all 'αb'", "", "\\u03B1\\u0062\n"},
      {"codes decode '&#945; &#946;'", "", "α β\n"},
      {"codes decode -", "\\u03b1\\u03b2\n", "αβ\n"},
      {"codes html -", "ἀ\r\n", "&#7936;\n"},
  };
  for (const auto& c : casos) {
    const auto r = ejecutaKalyxon(c.args, c.entrada);
    EXPECT_EQ(r.codigo, 0) << c.args;
    EXPECT_EQ(r.texto, c.esperado) << c.args;
  }
}

TEST(CliCodes, VersionHelpAndErrors) {
  EXPECT_EQ(ejecutaKalyxon("--version").texto, "kalyxon 7.6.0\n");
  auto r = ejecutaKalyxon("--help");
  EXPECT_EQ(r.codigo, 0);
  EXPECT_NE(r.texto.find("codes"), std::string::npos);
  r = ejecutaKalyxon("codes --help");
  EXPECT_EQ(r.codigo, 0);
  EXPECT_NE(r.texto.find("decode"), std::string::npos);
  for (const char* bad : {"codes", "codes xml abc", "codes html", "codes html a b",
                          "codes decode --bogus x", "nosuchcommand"}) {
    r = ejecutaKalyxon(bad);
    EXPECT_NE(r.codigo, 0) << bad;
    EXPECT_EQ(r.texto, "") << bad;  // nothing on stdout
    EXPECT_NE(ejecutaKalyxon(bad, "", true).texto, "") << bad;  // a message on stderr
  }
}

}  // namespace
