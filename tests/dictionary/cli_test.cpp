// kalyxon dict and the dictionary builder, run as the programs they are.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "dictionary_support.h"

namespace kalyxon {
namespace {

namespace fs = std::filesystem;

// `kalyxon dict --dir DIR ARGS`, standard error with the output.
prueba::Salida dict(const CarpetaTemporal& dir, const std::string& args) {
  return prueba::ejecutaKalyxon("dict --dir \"" + dir.ruta().string() + "\" " + args, "", true);
}

TEST(DictCommand, LoadLookupExportImportPurge) {
  CarpetaTemporal dir(true);
  escribeFichero(dir.ruta() / "t.txt", "λόγος λόγος λόγου, ἀνήρ καὶ ὁ λόγος. καί ");
  auto r = dict(dir, "load \"" + (dir.ruta() / "t.txt").string() + "\" --table Homero");
  ASSERT_EQ(r.codigo, 0) << r.texto;
  EXPECT_NE(r.texto.find("8 words, 6 new forms (UTF-8)"), std::string::npos) << r.texto;

  r = dict(dir, "lookup LOGOS --table Homero");
  EXPECT_EQ(r.codigo, 0);
  EXPECT_EQ(r.texto, "key LOGOS\n1 λόγος\tlogos 3\n");
  r = dict(dir, "lookup ΚΑΙ --table Homero");  // a Greek word gives its key
  EXPECT_NE(r.texto.find("key KAI\n1 καὶ\tkai 1\n2 καί\tkai 1\n"), std::string::npos) << r.texto;
  EXPECT_EQ(dict(dir, "lookup MUQOS --table Homero").codigo, 1);  // nothing found

  ASSERT_EQ(dict(dir, "export --table Homero \"" + (dir.ruta() / "h.tsv").string() + "\"").codigo, 0);
  ASSERT_EQ(dict(dir, "import \"" + (dir.ruta() / "h.tsv").string() + "\" --table Esopo").codigo, 0);
  ASSERT_EQ(dict(dir, "import \"" + (dir.ruta() / "h.tsv").string() + "\" --table Esopo").codigo, 0);
  r = dict(dir, "list");
  EXPECT_NE(r.texto.find("LEXICA_Esopo.db\n  Esopo\t6\n"), std::string::npos) << r.texto;
  r = dict(dir, "lookup LOGOS --table Esopo");
  EXPECT_EQ(r.texto, "key LOGOS\n1 λόγος\tlogos 6\n");

  r = dict(dir, "purge 2 --table Esopo");
  EXPECT_EQ(r.texto, "Borradas 5 formas\n");
  // A bad line leaves the table as it was.
  escribeFichero(dir.ruta() / "malo.tsv", "A\tα\t3\nB\tβ\n");
  r = dict(dir, "import \"" + (dir.ruta() / "malo.tsv").string() + "\" --table Esopo");
  EXPECT_EQ(r.codigo, 1);
  EXPECT_NE(r.texto.find("malo.tsv:2"), std::string::npos);
  EXPECT_NE(dict(dir, "list").texto.find("  Esopo\t1\n"), std::string::npos);
  EXPECT_EQ(dict(dir, "frobnicate").codigo, 2);
}

TEST(DictCommand, EveryCommandTakesTheSettingsFolderAndBadNumbersSayWhy) {
  CarpetaTemporal dir;
  const auto carpeta = dir.ruta() / "nueva";  // made and given ALPHA.db by the first command
  const std::string sd = " --settings-dir \"" + carpeta.string() + "\"";
  escribeFichero(dir.ruta() / "t.txt", "lo/gos\n");
  escribeFichero(dir.ruta() / "nada.txt", "12 + 34 = 46\n");
  struct Caso {
    std::string args;
    int rc;
    std::string dice;
  } casos[] = {
      {"dict" + sd + " load \"" + (dir.ruta() / "t.txt").string() + "\" --table Homero", 0, "1 words"},
      {"dict" + sd + " load \"" + (dir.ruta() / "nada.txt").string() + "\" --table Homero", 1,
       "no Greek words"},
      {"settings" + sd + " folder", 0, carpeta.string()},
      {"codes html" + sd + " λ", 0, "&#955;"},
      {"numeral" + sd + " 12", 0, "ιβ"},
      {"convert --from betacode" + sd + " \"" + (dir.ruta() / "t.txt").string() + "\"", 0, "λόγος"},
      {"dict" + sd + " add λόγος --count 12x --table Homero", 2, "--count: '12x' is not a whole number"},
      {"dict" + sd + " add λόγος --count 99999999999999999999 --table Homero", 2,
       "--count: 99999999999999999999 is out of range (1 to 32000)"},
      {"dict" + sd + " purge -3 --table Homero", 1, "purge N: -3 is out of range"},
      {"dict --settings-dir", 2, "--settings-dir needs a value"},
  };
  for (const auto& c : casos) {
    auto r = prueba::ejecutaKalyxon(c.args, "", true);
    EXPECT_EQ(r.codigo, c.rc) << c.args << "\n" << r.texto;
    EXPECT_NE(r.texto.find(c.dice), std::string::npos) << c.args << "\n" << r.texto;
  }
  EXPECT_TRUE(std::filesystem::exists(carpeta / "ALPHA.db"));
}

// The tool that builds the shipped dictionaries: lists from a count of whole
// forms (a left-out text taken off), and dictionary files that come out byte
// for byte the same from the same lists.
int lexica(const std::string& args) {
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
  ASSERT_EQ(lexica("formas " + alpha + " " + d("lista.tsv") + " " + d("cuentas.tsv") +
                    " --menos " + d("fuera.txt")), 0);
  EXPECT_EQ(leeFichero(dir / "lista.tsv"), "AIDIOS\tἀίδιος\t3\nD\tδ\t3\nKAI\tκαὶ\t4\n");
  // A left-out text with a word the count never had is not the text counted.
  escribeFichero(dir / "otro.txt", "καὶ ἄλλος\n");
  EXPECT_NE(lexica("formas " + alpha + " " + d("x.tsv") + " " + d("cuentas.tsv") + " --menos " +
                    d("otro.txt")), 0);
  EXPECT_FALSE(fs::exists(dir / "x.tsv"));

  // Lists added up; two forms of one key past the cap keep their order.
  escribeFichero(dir / "a.tsv", "H\tἢ\t30000\nH\tἡ\t30000\nKAI\tκαὶ\t7\n");
  escribeFichero(dir / "b.tsv", "H\tἢ\t24505\nH\tἡ\t14219\nH\tἤ\t900\n");
  for (const char* f : {"uno.db", "dos.db"})
    ASSERT_EQ(lexica("db " + d(f) + " completo " + d("a.tsv") + " " + d("b.tsv")), 0);
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
