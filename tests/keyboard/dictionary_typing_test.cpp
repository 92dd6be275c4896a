// The dictionary while typing: the candidate replaces the word at the
// separator, the change-form key picks another, word breaks start afresh.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/kalyxon.h"
#include "dictionary/diccionario.h"
#include "dictionary/lexico.h"
#include "keyboard/simulador.h"
#include "util/utf.h"

namespace kalyxon {
namespace {

namespace fs = std::filesystem;

// A dictionary file with two forms of LOGOS, one of LOGOU and four of KAI.
class ConDiccionario : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kalyxon-teclado-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    fichero_ = dir_ / "LEXICA1.db";
    fs::remove(fichero_);
    lexico::Espacio ws;
    auto t = ws.abre(fichero_, true)->creaTabla("clasico");
    t->anade(u"LOGOS", lexico::listaCodigos(u"λόγος"), 50);
    t->anade(u"LOGOS", lexico::listaCodigos(u"λογός"), 5);
    t->anade(u"LOGOU", lexico::listaCodigos(u"λόγου"), 20);
    t->anade(u"KAI", lexico::listaCodigos(u"καὶ"), 900);
    t->anade(u"KAI", lexico::listaCodigos(u"καί"), 90);
    t->anade(u"KAI", lexico::listaCodigos(u"Καὶ"), 300);
    t->anade(u"KAI", lexico::listaCodigos(u"Καί"), 30);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::u16string escribe(const char* guion, bool reinyectar = false) {
    TecladoSimulado s(KALYXON_RUNTIME_DIR);
    s.reinyectar = reinyectar;
    s.form1().mnus.checked = true;
    s.activaGriego();
    s.k().diccionario().cambiaDiccionario(util::fromUtf8(fichero_.string()), "clasico");
    s.form1().chkdic.setValue(1);
    s.form1().mnuacc.checked = contexto;
    s.escribe(guion);
    return s.texto();
  }

  fs::path dir_, fichero_;
  bool contexto = false;
};

TEST_F(ConDiccionario, TheCandidateReplacesTheWordAtTheSeparator) {
  EXPECT_EQ(escribe("L O G O S space"), u"λόγος ");
  EXPECT_EQ(escribe("L O G O U 190"), u"λόγου.");
  // The change-form key shows the next candidate; it is the one typed.
  EXPECT_EQ(escribe("L O G O S 220 space"), u"λογός ");
  EXPECT_EQ(escribe("L O G O S 220 220 space"), u"λόγος ");
  // A word the dictionary does not know stays as typed.
  EXPECT_EQ(escribe("L O G O I space"), u"λογοι ");
  // A dead key in the word keeps the word as typed.
  EXPECT_EQ(escribe("L 222 O G O S space"), u"λόγος ");
  EXPECT_EQ(escribe("L O G 186 O S space"), u"λογὸς ");
}

TEST_F(ConDiccionario, TheContextChoosesGraveAcuteAndCapital) {
  contexto = true;
  const std::pair<const char*, std::u16string> casos[] = {
      {"K A I space L O G O S space", u"καὶ λόγος "},
      {"K A I 188", u"καί,"},
      {"L O G O S space K A I enter", u"λόγος καί\n"},
      // After a full stop, a question mark or a line end (blanks aside) the
      // capitalised form; not after a comma, nor after a caret move.
      {"L O G O S 190 space K A I space", u"λόγος. Καὶ "},
      {"L O G O S +188 space K A I 190", u"λόγος; Καί."},
      {"K A I enter K A I space", u"καί\nΚαὶ "},
      {"L O G O S 188 space K A I space", u"λόγος, καὶ "},
      {"L O G O S 190 left right K A I space", u"λόγος.καὶ "},
      // A candidate picked with the change-form key is kept as it is, and
      // the key still reaches every form.
      {"K A I 220 space", u"Καὶ "},
      {"K A I 220 220 220 188", u"Καί,"},
      {"L O G O S 190 space K A I 220 220 space", u"λόγος. καί "},
  };
  for (const auto& [guion, texto] : casos) EXPECT_EQ(escribe(guion), texto) << guion;
  contexto = false;
  EXPECT_EQ(escribe("K A I 188"), u"καὶ,");
  EXPECT_EQ(escribe("L O G O S 190 space K A I space"), u"λόγος. καὶ ");
}

TEST_F(ConDiccionario, BackspaceAndArrowsBreakTheWord) {
  // After the break only "OGOS" is looked up: nothing to replace.
  EXPECT_EQ(escribe("L O bksp O G O S space"), u"λογος ");
  EXPECT_EQ(escribe("L O G O left right S space"), u"λογος ");
  // Delete (46) is no word break.
  EXPECT_EQ(escribe("L O G O del S space"), u"λόγος ");
}

TEST_F(ConDiccionario, FromTheCommandLine) {
  std::string orden = "echo 'L O G O S 220 space L O G O S space K A I 188' | '" KALYXON_RUNTIME_DIR
                      "/kalyxon' type --sigma-final --contexto --dict '" +
                      fichero_.string() + ":clasico' 2>&1";
  FILE* p = popen(orden.c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::string salida;
  char buf[512];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) salida.append(buf, n);
  EXPECT_EQ(WEXITSTATUS(pclose(p)), 0);
  EXPECT_EQ(salida, "λογός λόγος καί,");

  orden = "echo A | '" KALYXON_RUNTIME_DIR "/kalyxon' type --dict '" + fichero_.string() +
          ":nosuchtable' 2>&1";
  p = popen(orden.c_str(), "r");
  ASSERT_NE(p, nullptr);
  salida.clear();
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) salida.append(buf, n);
  EXPECT_NE(WEXITSTATUS(pclose(p)), 0);
  EXPECT_NE(salida.find("cannot open dictionary nosuchtable"), std::string::npos);
}

}  // namespace
}  // namespace kalyxon
