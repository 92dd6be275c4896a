// How often the first candidate of the shipped complete dictionary is the word
// as written, over every running word of a work left out of all its sources
// (Xenophon's Symposium: see data/lexica/README.md), with and without the
// context choice of grave, acute and capital. bench_dictionary measures the
// shares; the floors here sit well below them and catch a dictionary built
// wrong (keys that typing does not make, counts lost, the context choice
// turned harmful).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "app/kalyxon.h"
#include "dictionary/acierto.h"
#include "dictionary/diccionario.h"
#include "platform/scripted.h"
#include "support/prueba.h"

namespace kalyxon {
namespace {

namespace fs = std::filesystem;

TEST(Precision, FirstCandidateOnAWorkLeftOutOfTheSources) {
  const char* env = std::getenv("KALYXON_SHARED_DIR");
  const fs::path corpus = fs::path(env ? env : KALYXON_SHARED_DIR) / "corpus" / "unicode";
  const auto lineas = lineasDeObra(corpus / "xenophon.txt", 4);
  if (lineas.empty()) GTEST_SKIP() << "corpus not available";
  const prueba::CarpetaTemporal dir;
  for (const char* f : {"ALPHA.db", "LEXICA_completo.db"})
    fs::copy_file(fs::path(KALYXON_RUNTIME_DIR) / f, dir / f);
  Acierto a;
  {
    platform::scripted::ScriptedServices sv;
    Kalyxon k(sv.services(), dir.ruta());
    k.diccionario().cambiaDiccionario(u"LEXICA_completo.db", "completo");
    a = mideAcierto(k, lineas);
  }
  const auto palabras = static_cast<double>(a.palabras);
  double sin = 100.0 * static_cast<double>(a.primera) / palabras,
         con = 100.0 * static_cast<double>(a.contexto) / palabras;
  EXPECT_GT(a.palabras, 9000);
  EXPECT_GT(sin, 80.0);
  EXPECT_GT(con, 84.0);
  EXPECT_GT(con, sin);
}

}  // namespace
}  // namespace kalyxon
