// How often the first candidate of the shipped complete dictionary is the word
// as written, over every running word of a work left out of all its sources
// (Xenophon's Symposium: see data/lexica/README.md), with and without the
// context choice of grave, acute and capital. bench_dictionary measures the
// shares; the floors here sit well below them and catch a dictionary built
// wrong (keys that typing does not make, counts lost, the context choice
// turned harmful).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/kalyxon.h"
#include "dictionary/cargador.h"
#include "dictionary/diccionario.h"
#include "dictionary/lexico.h"
#include "platform/scripted.h"
#include "support/prueba.h"

namespace kalyxon {
namespace {

namespace fs = std::filesystem;

// The fourth work of the corpus file (works are separated by a blank line).
std::vector<std::u16string> obraDejadaFuera() {
  const char* env = std::getenv("KALYXON_SHARED_DIR");
  std::ifstream in(fs::path(env ? env : KALYXON_SHARED_DIR) / "corpus" / "unicode" / "xenophon.txt");
  std::vector<std::u16string> lineas;
  std::string l;
  int obra = 1;
  while (std::getline(in, l)) {
    if (l.empty()) ++obra;
    else if (obra == 4) lineas.push_back(lexico::utf16(l));
  }
  return lineas;
}

bool esLetra(char16_t c) {
  return c == u'\u2019' || (c >= 0x370 && c < 0x400) || (c >= 0x1F00 && c < 0x2000 && c != 0x1FBD);
}

TEST(Precision, FirstCandidateOnAWorkLeftOutOfTheSources) {
  auto lineas = obraDejadaFuera();
  if (lineas.empty()) GTEST_SKIP() << "corpus not available";
  const prueba::CarpetaTemporal dir;
  for (const char* f : {"ALPHA.db", "LEXICA_completo.db"})
    fs::copy_file(fs::path(KALYXON_RUNTIME_DIR) / f, dir / f);
  int64_t palabras = 0, primera = 0, contexto = 0;
  {
    platform::scripted::ScriptedServices sv;
    Kalyxon k(sv.services(), dir.ruta());
    auto& d = k.diccionario();
    d.cambiaDiccionario(u"LEXICA_completo.db", "completo");
    k.form1.mnuacc.checked = true;
    for (const auto& linea : lineas) {
      bool inicio = true;  // a line start, or after . ; ·
      for (size_t i = 0; i < linea.size();) {
        if (!esLetra(linea[i])) {
          char16_t c = linea[i++];
          if (c == u'.' || c == u';' || c == u'\u00B7') inicio = true;
          else if (c != u' ') inicio = false;
          continue;
        }
        size_t j = i;
        while (j < linea.size() && esLetra(linea[j])) ++j;
        std::u16string token = linea.substr(i, j - i);
        // The form as stored and typed: no elision mark, no diaeresis.
        LectorBeta lector(d.letras());
        std::u16string escrita;
        for (char16_t c : betaDeUnicode(token, d.letras()) + u" ")
          if (lector.lee(c)) escrita = lector.palabra().forma;
        ++palabras;
        d.revisaGriego(token);
        if (k.form1.lPalabra) {
          primera += k.form1.cCandidatos[1] == escrita;
          contexto += d.candidatoFinal({j < linea.size() && linea[j] == u' ', inicio}) == escrita;
        }
        inicio = false;
        i = j;
      }
    }
  }
  double sin = 100.0 * primera / palabras, con = 100.0 * contexto / palabras;
  EXPECT_GT(palabras, 9000);
  EXPECT_GT(sin, 80.0);
  EXPECT_GT(con, 84.0);
  EXPECT_GT(con, sin);
}

}  // namespace
}  // namespace kalyxon
