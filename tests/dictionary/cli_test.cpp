// kalyxon dict, run as the program it is.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "dictionary_support.h"

namespace kalyxon {
namespace {

struct Resultado {
  int rc;
  std::string salida;
};

Resultado dict(const CarpetaTemporal& dir, const std::string& args) {
  auto out = dir.ruta / "salida.txt";
  std::string cmd = std::string("\"") + KALYXON_RUNTIME_DIR + "/kalyxon\" dict --dir \"" +
                    dir.ruta.string() + "\" " + args + " > \"" + out.string() + "\" 2>&1";
  int rc = std::system(cmd.c_str());
  return {WEXITSTATUS(rc), leeFichero(out)};
}

TEST(DictCommand, LoadLookupExportImportPurge) {
  CarpetaTemporal dir(true);
  escribeFichero(dir.ruta / "t.txt", "λόγος λόγος λόγου, ἀνήρ καὶ ὁ λόγος. καί ");
  auto r = dict(dir, "load \"" + (dir.ruta / "t.txt").string() + "\" --table Homero");
  ASSERT_EQ(r.rc, 0) << r.salida;
  EXPECT_NE(r.salida.find("8 words, 6 new forms (UTF-8)"), std::string::npos) << r.salida;

  r = dict(dir, "lookup LOGOS --table Homero");
  EXPECT_EQ(r.rc, 0);
  EXPECT_EQ(r.salida, "key LOGOS\n1 λόγος\tlogos 3\n");
  r = dict(dir, "lookup ΚΑΙ --table Homero");  // a Greek word gives its key
  EXPECT_NE(r.salida.find("key KAI\n1 καὶ\tkai 1\n2 καί\tkai 1\n"), std::string::npos) << r.salida;
  EXPECT_EQ(dict(dir, "lookup MUQOS --table Homero").rc, 1);  // nothing found

  ASSERT_EQ(dict(dir, "export --table Homero \"" + (dir.ruta / "h.tsv").string() + "\"").rc, 0);
  ASSERT_EQ(dict(dir, "import \"" + (dir.ruta / "h.tsv").string() + "\" --table Esopo").rc, 0);
  ASSERT_EQ(dict(dir, "import \"" + (dir.ruta / "h.tsv").string() + "\" --table Esopo").rc, 0);
  r = dict(dir, "list");
  EXPECT_NE(r.salida.find("LEXICA_Esopo.db\n  Esopo\t6\n"), std::string::npos) << r.salida;
  r = dict(dir, "lookup LOGOS --table Esopo");
  EXPECT_EQ(r.salida, "key LOGOS\n1 λόγος\tlogos 6\n");

  r = dict(dir, "purge 2 --table Esopo");
  EXPECT_EQ(r.salida, "Borradas 5 formas\n");
  // A count beyond any integer adds up to the largest count, not past it.
  escribeFichero(dir.ruta / "enorme.tsv", "LOGOS\tλόγος\t99999999999999999999\n");
  ASSERT_EQ(dict(dir, "import \"" + (dir.ruta / "enorme.tsv").string() + "\" --table Esopo").rc, 0);
  EXPECT_EQ(dict(dir, "lookup LOGOS --table Esopo").salida, "key LOGOS\n1 λόγος\tlogos 32767\n");
  // A bad line leaves the table as it was.
  escribeFichero(dir.ruta / "malo.tsv", "A\tα\t3\nB\tβ\n");
  r = dict(dir, "import \"" + (dir.ruta / "malo.tsv").string() + "\" --table Esopo");
  EXPECT_EQ(r.rc, 1);
  EXPECT_NE(r.salida.find("malo.tsv:2"), std::string::npos);
  EXPECT_NE(dict(dir, "list").salida.find("  Esopo\t1\n"), std::string::npos);
  EXPECT_EQ(dict(dir, "frobnicate").rc, 2);
}

}  // namespace
}  // namespace kalyxon
