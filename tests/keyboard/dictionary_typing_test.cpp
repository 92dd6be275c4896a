// The dictionary while typing: the candidate replaces the word at the
// separator, the change-form key picks another, word breaks start afresh.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif
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

// A dictionary file with two forms of LOGOS and one of LOGOU.
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
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::u16string escribe(const char* guion, bool reinyectar = false) {
    TecladoSimulado s(KALYXON_RUNTIME_DIR);
    s.reinyectar = reinyectar;
    s.form1().mnus.checked = true;
    s.activaGriego();
    s.k().diccionario().cambiaDiccionario(util::fromUtf8(fichero_.string()), "clasico");
    s.form1().chkdic.setValue(1);
    s.escribe(guion);
    return s.texto();
  }

  fs::path dir_, fichero_;
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

TEST_F(ConDiccionario, BackspaceAndArrowsBreakTheWord) {
  // After the break only "OGOS" is looked up: nothing to replace.
  EXPECT_EQ(escribe("L O bksp O G O S space"), u"λογος ");
  EXPECT_EQ(escribe("L O G O left right S space"), u"λογος ");
  // Delete (46) is no word break.
  EXPECT_EQ(escribe("L O G O del S space"), u"λόγος ");
}

// Through a POSIX shell; the Windows build compares its command line with
// the Linux one instead.
#ifndef _WIN32
TEST_F(ConDiccionario, FromTheCommandLine) {
  std::string orden = "echo 'L O G O S 220 space L O G O S space' | '" KALYXON_RUNTIME_DIR
                      "/kalyxon' type --sigma-final --dict '" +
                      fichero_.string() + ":clasico' 2>&1";
  FILE* p = popen(orden.c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::string salida;
  char buf[512];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) salida.append(buf, n);
  EXPECT_EQ(WEXITSTATUS(pclose(p)), 0);
  EXPECT_EQ(salida, "λογός λόγος ");

  orden = "echo A | '" KALYXON_RUNTIME_DIR "/kalyxon' type --dict '" + fichero_.string() +
          ":nosuchtable' 2>&1";
  p = popen(orden.c_str(), "r");
  ASSERT_NE(p, nullptr);
  salida.clear();
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) salida.append(buf, n);
  EXPECT_NE(WEXITSTATUS(pclose(p)), 0);
  EXPECT_NE(salida.find("cannot open dictionary nosuchtable"), std::string::npos);
}

#endif  // _WIN32

}  // namespace
}  // namespace kalyxon
