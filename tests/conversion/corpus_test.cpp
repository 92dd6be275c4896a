// Whole texts of the corpus through the BetaCode converters, against
// Debian's beta2uni and uni2beta.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "conversion/conversores.h"
#include "tablas_prueba.h"
#include "util/utf.h"

namespace kalyxon::conversion {
namespace {

namespace fs = std::filesystem;
using prueba::corpus;
using prueba::escribeFichero;
using prueba::leeFichero;
using prueba::lineas;
using prueba::palabras;
using prueba::tablas;

TEST(Corpus, BetaCodeAgreesWithBeta2uni) {
  KALYXON_REQUIERE_TABLAS();
  if (std::system("command -v beta2uni > /dev/null 2>&1") != 0)
    GTEST_SKIP() << "beta2uni (Debian package unibetacode) not installed";
  std::u16string texto = corpus("homer.txt") + corpus("aesop.txt");
  if (texto.empty()) GTEST_SKIP() << "corpus not available";
  const prueba::CarpetaTemporal dir;
  std::string beta = util::toUtf8(aBetaCode(tablas(), texto));
  escribeFichero(dir / "texto.beta", beta);
  std::string kalyxon = std::string(KALYXON_RUNTIME_DIR) + "/kalyxon";
  std::string orden1 = kalyxon + " convert --from betacode --keep-lines -o '" +
                       (dir / "kalyxon.txt").string() + "' '" + (dir / "texto.beta").string() + "'";
  // Through redirection: beta2uni's -o writes only part of its output there.
  std::string orden2 = "beta2uni < '" + (dir / "texto.beta").string() + "' > '" +
                       (dir / "beta2uni.txt").string() + "'";
  ASSERT_EQ(std::system(orden1.c_str()), 0) << orden1;
  ASSERT_EQ(std::system(orden2.c_str()), 0) << orden2;
  auto nuestras = lineas(util::fromUtf8(leeFichero(dir / "kalyxon.txt")));
  auto suyas = lineas(util::fromUtf8(leeFichero(dir / "beta2uni.txt")));
  auto fuentes = lineas(util::fromUtf8(beta));
  ASSERT_EQ(nuestras.size(), fuentes.size());
  ASSERT_GE(suyas.size(), fuentes.size() - 1);

  size_t iguales = 0;
  for (size_t i = 0; i < fuentes.size(); ++i) {
    auto a = palabras(nuestras[i]), b = palabras(suyas[i]);
    // The documented differences: a sigma before an apostrophe (medial here,
    // final in beta2uni) and an apostrophe right after alpha, iota or upsilon
    // (elision here, a breve on the vowel in beta2uni).
    if (a.size() != b.size()) {
      ADD_FAILURE() << "line " << i + 1 << ": " << util::toUtf8(nuestras[i]) << " / "
                    << util::toUtf8(suyas[i]);
      continue;
    }
    bool conDiferencia = false;
    for (std::u16string_view d : {u"s'", u"a'", u"i'", u"u'"})
      conDiferencia |= fuentes[i].find(d) != std::u16string::npos;
    for (size_t j = 0; j < a.size(); ++j) {
      iguales += a[j] == b[j];
      if (a[j] != b[j] && !conDiferencia)
        ADD_FAILURE() << "line " << i + 1 << ": " << util::toUtf8(a[j]) << " vs " << util::toUtf8(b[j]);
    }
  }
  EXPECT_GT(iguales, 200000u);
}

// Unicode -> BetaCode against Debian's uni2beta. The two differ only in
// notation: uni2beta writes the raised dot and the dash as {\u00B7} and
// {\u2014} escapes (here ":" and "_"), and every medial sigma as "s1" (here
// "s", which reads as medial inside a word). With those three read alike
// every word agrees.
TEST(Corpus, BetaCodeWriterAgreesWithUni2beta) {
  KALYXON_REQUIERE_TABLAS();
  if (std::system("command -v uni2beta > /dev/null 2>&1") != 0)
    GTEST_SKIP() << "uni2beta (Debian package unibetacode) not installed";
  std::u16string texto = corpus("plato.txt").substr(0, 1000000) + corpus("tragedians.txt").substr(0, 1000000);
  if (texto.empty()) GTEST_SKIP() << "corpus not available";
  const prueba::CarpetaTemporal dir;
  escribeFichero(dir / "texto.txt", util::toUtf8(texto));
  std::string suyo = "uni2beta < '" + (dir / "texto.txt").string() + "' > '" + (dir / "suyo.b").string() + "'";
  ASSERT_EQ(std::system(suyo.c_str()), 0);
  std::string nuestro = util::toUtf8(aBetaCode(tablas(), texto));
  std::string suyos = leeFichero(dir / "suyo.b");
  auto tokens = [](const std::string& t) {
    std::vector<std::string> r;
    std::istringstream in(t);
    for (std::string w; in >> w;) r.push_back(w);
    return r;
  };
  auto a = tokens(nuestro), b = tokens(suyos);
  ASSERT_EQ(a.size(), b.size());
  size_t iguales = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    iguales += a[i] == b[i];
    if (a[i] == b[i]) continue;
    std::string w = b[i];
    for (auto [de, a2] : {std::pair<std::string, std::string>{"{\\u00B7\\u00B7}", "::"}, {"{\\u00B7}", ":"}, {"{\\u2014}", "_"}})
      for (size_t p; (p = w.find(de)) != std::string::npos;) w.replace(p, de.size(), a2);
    for (size_t p = 0; (p = w.find("s1", p)) != std::string::npos;)
      if (p + 2 < w.size() && std::string("abgdezhqiklmncoprstufxyw()/\\=|+'").find(w[p + 2]) != std::string::npos)
        w.erase(p + 1, 1);
      else
        p += 2;
    if (w == a[i]) continue;
    // uni2beta writes a capital eta with rough breathing as if smooth.
    auto suave = [](std::string x) {
      for (size_t p; (p = x.find("*(")) != std::string::npos;) x[p + 1] = ')';
      return x;
    };
    if (suave(w) != suave(a[i]) || a[i].find("*(") == std::string::npos || a[i].find('h') == std::string::npos)
      ADD_FAILURE() << a[i] << " vs " << b[i];
  }
  EXPECT_GT(iguales * 100, a.size() * 95);
}

}  // namespace
}  // namespace kalyxon::conversion
