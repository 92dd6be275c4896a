// The kalyxon type command, run as a user runs it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "dictionary/lexico.h"
#include "support/prueba.h"

namespace {

namespace fs = std::filesystem;

using kalyxon::prueba::ejecutaKalyxon;

// `kalyxon type ARGS` with `guion` on standard input.
auto tipo(const std::string& guion, const std::string& args, bool conErrores = false) {
  return ejecutaKalyxon("type " + args, guion, conErrores);
}

TEST(TypeCommand, OptionsShapeWhatIsTyped) {
  struct {
    const char* guion;
    const char* args;
    const char* esperado;
  } casos[] = {
      {"226 +226", "--angulos", "«»"},
      {"f2 H O L A", "--programa Editor --parametros '*{TAB}' --normal Arial", "Arial\thola"},
      {"H O L A", "--latin", "hola"},
      {"L O G O S capslock A", "--caps-lock", "ΛΟΓΟΣα"},
      {"shift-down K S shift-up space", "--ks --sigma-final", "Ξ "},
      {"L O G O S", "--codigos java", "\\u03BB\\u03BF\\u03B3\\u03BF\\u03C3"},
  };
  for (const auto& c : casos) {
    auto s = tipo(c.guion, c.args);
    EXPECT_EQ(s.codigo, 0) << c.guion;
    EXPECT_EQ(s.texto, c.esperado) << c.guion << " " << c.args;
  }
}

TEST(TypeCommand, DictionaryAndSettingsFolderFromTheCommandLine) {
  const kalyxon::prueba::CarpetaTemporal dir;
  {
    kalyxon::lexico::Espacio ws;
    auto t = ws.abre(dir / "LEXICA1.db", true)->creaTabla("clasico");
    for (auto [clave, forma, n] : {std::tuple{u"LOGOS", u"λόγος", 50}, {u"LOGOS", u"λογός", 5},
                                   {u"KAI", u"καὶ", 900}, {u"KAI", u"καί", 90}})
      t->anade(clave, kalyxon::lexico::listaCodigos(forma), n);
  }
  const std::string fichero = (dir / "LEXICA1.db").string();
  auto s = tipo("L O G O S 220 space L O G O S space K A I 188",
                "--sigma-final --contexto --dict '" + fichero + ":clasico'");
  EXPECT_EQ(s.codigo, 0);
  EXPECT_EQ(s.texto, "λογός λόγος καί,");
  s = tipo("A", "--dict '" + fichero + ":nosuchtable'", true);
  EXPECT_NE(s.codigo, 0);
  EXPECT_NE(s.texto.find("cannot open dictionary nosuchtable"), std::string::npos);
  // A settings folder of its own gets the alphabet tables copied in.
  const fs::path ajustes = dir / "ajustes";
  s = tipo("L O G O S", "--settings-dir '" + ajustes.string() + "'");
  EXPECT_EQ(s.texto, "λογοσ");
  EXPECT_TRUE(fs::exists(ajustes / "ALPHA.db"));
  EXPECT_EQ(tipo("A", "--dir '" + ajustes.string() + "'").texto, "α");
}

TEST(TypeCommand, TraceShowsVerdictsSendsAndMessageBoxes) {
  auto s = tipo("226 capslock f3", "--angulos --trace", true);
  EXPECT_EQ(s.codigo, 0);
  EXPECT_NE(s.texto.find("226 down"), std::string::npos);
  EXPECT_NE(s.texto.find("swallow"), std::string::npos);
  EXPECT_NE(s.texto.find("sent \"{BKSP}«\""), std::string::npos);
  EXPECT_NE(s.texto.find("message box: La tecla de bloqueo"), std::string::npos);
}

TEST(TypeCommand, BadTokensAndOptionsFailClearly) {
  auto s = tipo("A B\n  999", "", true);
  EXPECT_EQ(s.codigo, 2);
  EXPECT_NE(s.texto.find("bad token '999' (token 3): a key code must be from 1 to 254"),
            std::string::npos);
  for (const char* args : {"--codigos latex", "--no-such-option", "--settings-dir"}) {
    s = tipo("A", args, true);
    EXPECT_EQ(s.codigo, 2) << args;
    EXPECT_EQ(s.texto.find("α"), std::string::npos) << args;
  }
  s = tipo("A", "/no/such/script", true);
  EXPECT_NE(s.codigo, 0);
  EXPECT_NE(s.texto.find("cannot read"), std::string::npos);
}

}  // namespace
