// The tool that builds the shipped dictionaries: lists from a count of whole
// forms (a left-out text taken off), and dictionary files that come out byte
// for byte the same from the same lists.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "dictionary/lexico.h"
#include "support/prueba.h"

namespace kalyxon {
namespace {

namespace fs = std::filesystem;
using prueba::escribeFichero;
using prueba::leeFichero;

int ejecuta(const std::string& args) {
  fs::path tool = fs::path(KALYXON_RUNTIME_DIR).parent_path() / "tools" / "kalyxon_lexica";
  return WEXITSTATUS(std::system(("'" + tool.string() + "' " + args + " 2>/dev/null").c_str()));
}

TEST(LexicaTool, CountsBecomeListsAndListsReproducibleDictionaries) {
  const prueba::CarpetaTemporal dir;
  auto d = [&](const char* n) { return "'" + (dir / n).string() + "'"; };
  const std::string alpha = "'" KALYXON_RUNTIME_DIR "/ALPHA.db'";
  // Elided and plain forms are stored alike; the diaeresis is dropped.
  escribeFichero(dir / "cuentas.tsv", "form\tcount\nκαὶ\t5\nδ’\t3\nδ\t1\nἀΐδιος\t2\nἀίδιος\t1\nλόγος\t1\n");
  escribeFichero(dir / "fuera.txt", "καὶ δ’, λόγος.\n");
  ASSERT_EQ(ejecuta("formas " + alpha + " " + d("lista.tsv") + " " + d("cuentas.tsv") +
                    " --menos " + d("fuera.txt")), 0);
  EXPECT_EQ(leeFichero(dir / "lista.tsv"), "AIDIOS\tἀίδιος\t3\nD\tδ\t3\nKAI\tκαὶ\t4\n");
  // A left-out text with a word the count never had is not the text counted.
  escribeFichero(dir / "otro.txt", "καὶ ἄλλος\n");
  EXPECT_NE(ejecuta("formas " + alpha + " " + d("x.tsv") + " " + d("cuentas.tsv") + " --menos " +
                    d("otro.txt")), 0);
  EXPECT_FALSE(fs::exists(dir / "x.tsv"));

  // Lists added up; two forms of one key past the cap keep their order.
  escribeFichero(dir / "a.tsv", "H\tἢ\t30000\nH\tἡ\t30000\nKAI\tκαὶ\t7\n");
  escribeFichero(dir / "b.tsv", "H\tἢ\t24505\nH\tἡ\t14219\nH\tἤ\t900\n");
  for (const char* f : {"uno.db", "dos.db"})
    ASSERT_EQ(ejecuta("db " + d(f) + " completo " + d("a.tsv") + " " + d("b.tsv")), 0);
  EXPECT_EQ(leeFichero(dir / "uno.db"), leeFichero(dir / "dos.db"));
  {
    lexico::Espacio ws;
    auto t = ws.abre(dir / "uno.db")->tabla("completo");
    std::u16string formas;
    for (auto c = t->mayorQue(u"H"); !c.fin() && c.actual().codigo == u"H"; c.siguiente())
      formas += c.actual().forma() + u":" + lexico::utf16(std::to_string(c.actual().frecuencia)) + u" ";
    EXPECT_EQ(formas, u"ἢ:32766 ἡ:32765 ἤ:900 ");
  }
}

}  // namespace
}  // namespace kalyxon
