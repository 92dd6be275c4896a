// Real documents: the corpus texts encoded with the reference tables of the
// legacy fonts (../shared/fonts, what a document typed in that font holds),
// converted back as `kalyxon convert` reads a file and compared word by word;
// Unicode -> face -> Unicode through our own converters; and whole texts
// through the BetaCode converters against Debian's beta2uni and uni2beta.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <tuple>
#include <vector>

#include "conversion/conversores.h"
#include "dictionary/normaliza.h"
#include "tablas_prueba.h"
#include "util/cp1252.h"
#include "util/utf.h"

namespace kalyxon::conversion {
namespace {

namespace fs = std::filesystem;
using prueba::compartido;
using prueba::corpus;
using prueba::escribeFichero;
using prueba::leeFichero;
using prueba::lineas;
using prueba::palabras;
using prueba::tablas;

// Part of every corpus text, so that each author's usage is in the sample.
std::u16string muestra() {
  std::u16string r;
  for (const char* f : {"homer.txt", "plato.txt", "xenophon.txt", "aesop.txt", "aristotle.txt",
                        "tragedians.txt"}) {
    std::u16string t = prueba::corpus(f);
    if (t.empty()) continue;
    t = t.substr(0, std::min<size_t>(t.size(), 400000));
    r += t.substr(0, t.rfind(u'\n') + 1);
  }
  return r;
}

// The elision mark, whatever character a face gives it.
char16_t comun(char16_t c) {
  return c == u'\u1FBD' || c == u'\u02BC' || c == u'\'' || c == u'\u1FBF' ? u'\u2019' : c;
}

// The letters among `s`: a line holding one of these the face cannot show
// is left out of the comparison (other characters are copied through).
std::u16string letras(std::u16string_view s) {
  std::u16string r;
  for (char16_t c : s)
    if (!palabras(std::u16string(1, c)).empty()) r += c;
  return r;
}

// Every word of `original` comes back unchanged in `vuelta`, line by line;
// lines holding a character of `fuera` (one the face cannot show) are left out.
void mismasPalabras(std::u16string_view original, std::u16string_view vuelta, const std::string& que,
                    const std::u16string& fuera) {
  auto a = lineas(original), b = lineas(vuelta);
  ASSERT_EQ(a.size(), b.size()) << que;
  for (size_t i = 0, fallos = 0; i < a.size() && fallos < 5; ++i)
    if (a[i].find_first_of(fuera) == std::u16string::npos && palabras(a[i]) != palabras(b[i]))
      ADD_FAILURE() << que << " line " << i + 1 << ": " << util::toUtf8(a[i]) << " -> "
                    << util::toUtf8(b[i]) << (++fallos == 5 ? " (and maybe more)" : "");
}

// ---- The reference encoder: what a document typed in the font holds -----------

struct Referencia {
  bool glifos = false;                                 // marks before capitals
  std::map<std::u16string, char> directo;              // NFC character -> byte
  std::map<std::u16string, char> marcas;               // combining marks -> byte
  std::map<std::u16string, char> marcasAntes;          // marks of a spacing byte
};

std::u16string marcasDeEspaciada(char32_t cp) {
  static const std::map<char32_t, std::u16string> k = {
      {0x1FBF, u"\u0313"},       {0x1FFE, u"\u0314"},       {0x1FFD, u"\u0301"},
      {0x1FEF, u"\u0300"},       {0x1FC0, u"\u0342"},       {0x1FCE, u"\u0313\u0301"},
      {0x1FDE, u"\u0314\u0301"}, {0x1FCD, u"\u0313\u0300"}, {0x1FDD, u"\u0314\u0300"},
      {0x1FCF, u"\u0313\u0342"}, {0x1FDF, u"\u0314\u0342"}, {0x00A8, u"\u0308"},
      {0x1FEE, u"\u0308\u0301"}, {0x037A, u"\u0345"}};
  auto it = k.find(cp);
  return it == k.end() ? u"" : it->second;
}

Referencia leeReferencia(const char* fichero, bool glifos) {
  Referencia r;
  r.glifos = glifos;
  std::istringstream in(leeFichero(compartido() / "fonts" / fichero));
  std::string linea;
  std::getline(in, linea);
  while (std::getline(in, linea)) {
    std::istringstream ss(linea);
    std::string b, u, nota;
    std::getline(ss, b, '\t');
    std::getline(ss, u, '\t');
    std::getline(ss, nota);
    char byte = static_cast<char>(std::stoi(b));
    std::u16string valor;
    std::istringstream su(u);
    std::string t;
    while (su >> t) valor += static_cast<char16_t>(std::stoi(t.substr(2), nullptr, 16));
    if (nota.find("mark:smooth") != std::string::npos && valor == u"'") {
      r.marcasAntes.emplace(u"\u0313", byte);  // "Greek": the apostrophe's key
    }
    if (nota.rfind("combining", 0) == 0) {
      r.marcas.emplace(valor, byte);
    } else if (std::u16string m = marcasDeEspaciada(valor[0]); !m.empty() && valor.size() == 1) {
      r.marcasAntes.emplace(m, byte);
    } else {
      std::u16string v;
      for (char16_t c : nfc(valor)) v += comun(c);
      r.directo.emplace(v, byte);
    }
  }
  return r;
}

// One character typed in the font, or "" when the font cannot show it.
std::string codificaCaracter(const Referencia& r, char16_t c0) {
  std::u16string c(1, comun(c0));
  if (auto it = r.directo.find(c); it != r.directo.end()) return std::string(1, it->second);
  auto byte = [&](const std::map<std::u16string, char>& m, const std::u16string& k) {
    auto it = m.find(k);
    return it == m.end() ? std::string() : std::string(1, it->second);
  };
  // A base letter and its marks whose composition is this character.
  for (char16_t b : std::u16string(u"αεηιουωρΑΕΗΙΟΥΩΡ")) {
    const bool capital = b >= u'Α' && b <= u'Ω';
    for (std::u16string m : {u"\u0313", u"\u0314", u"\u0308", u""}) {
      for (std::u16string a : {u"\u0301", u"\u0300", u"\u0342", u""}) {
        for (std::u16string i : {u"\u0345", u""}) {
          if (nfc(std::u16string(1, b) + m + a + i) != c) continue;
          const std::u16string marcas = m + a;
          std::string s;
          if (r.glifos && capital) {
            // Marks before the capital.
            std::string pre = byte(r.marcasAntes, marcas), base = byte(r.directo, {b});
            if (base.empty() || (!marcas.empty() && pre.empty()) || !i.empty()) continue;
            return pre + base;
          }
          if (r.glifos) {
            // The letter without its iota, then the iota mark.
            std::string sin = byte(r.directo, nfc(std::u16string(1, b) + m + a));
            std::string post = byte(r.marcas, i);
            if (i.empty() || sin.empty() || post.empty()) continue;
            return sin + post;
          }
          // Letter, then its marks, in one byte where the font has one.
          std::string base = byte(r.directo, {b});
          if (!i.empty()) {
            std::string con = byte(r.directo, nfc(std::u16string(1, b) + i));
            if (!con.empty()) {
              base = con;
              i.clear();
            }
          }
          if (base.empty()) continue;
          s = base;
          if (std::string todo = byte(r.marcas, marcas); !marcas.empty() && !todo.empty()) {
            s += todo;
          } else {
            bool falta = false;
            for (const auto& x : {m, a}) {
              if (x.empty()) continue;
              std::string y = byte(r.marcas, x);
              falta |= y.empty();
              s += y;
            }
            if (falta) continue;
          }
          if (!i.empty()) {
            std::string y = byte(r.marcas, i);
            if (y.empty()) continue;
            s += y;
          }
          return s;
        }
      }
    }
  }
  return {};
}

// The text typed in the font; a character the font cannot show becomes a
// control character (a document would hold another font there) and is
// added to `fuera`.
std::string codifica(const Referencia& r, std::u16string_view texto, std::u16string& fuera) {
  std::map<char16_t, std::string> hecho;
  std::string s;
  for (char16_t c : texto) {
    if (c == u'\n') {
      s += '\n';
      continue;
    }
    auto it = hecho.find(c);
    if (it == hecho.end()) {
      it = hecho.emplace(c, codificaCaracter(r, c)).first;
      if (it->second.empty()) fuera += c;
    }
    s += it->second.empty() ? std::string("\x01") : it->second;
  }
  return s;
}

TEST(Documentos, ReferenceEncodedTextsConvertBackWordForWord) {
  KALYXON_REQUIERE_TABLAS();
  std::u16string texto = muestra();
  if (texto.empty() || !fs::exists(compartido() / "fonts")) GTEST_SKIP() << "no corpus or fonts";
  // The reference table, the face, and whether marks come before capitals.
  const std::tuple<const char*, std::u16string_view, bool> caras[] = {
      {"athenian.tsv", cara::kAthenian, true}, {"greek.tsv", cara::kGreek, true},
      {"graeca.tsv", cara::kGraeca, false},    {"sgreek.tsv", cara::kSgreek, false}};
  for (const auto& [fichero, cara, glifos] : caras) {
    std::u16string fuera;
    std::string doc = codifica(leeReferencia(fichero, glifos), texto, fuera);
    // As the command line reads a file: its bytes, a megabyte at a time.
    std::u16string vuelta = util::fromUtf8(prueba::porBytes(cara, doc, 1 << 20, {true}));
    mismasPalabras(texto, vuelta, fichero, letras(fuera));
  }
}

TEST(Documentos, UnicodeThroughEachFaceAndBack) {
  KALYXON_REQUIERE_TABLAS();
  std::u16string texto = muestra();
  if (texto.empty()) GTEST_SKIP() << "no corpus";
  std::u16string distintos;
  for (char16_t c : texto)
    if (c != u'\n' && distintos.find(c) == std::u16string::npos) distintos += c;
  // What each face cannot spell, among the sample's characters.
  const std::pair<std::u16string_view, const char*> caras[] = {
      {cara::kAthenian, "ῗ—!"}, {cara::kGreek, "ῗ—!"},     {cara::kGraeca, "·—!"},
      {cara::kSgreek, "—!"},    {cara::kGraece, "ϊΐϋΰῒῢῗ—!"}, {kBetaCode, ""}};
  for (const auto& [cara, noPuede] : caras) {
    std::string nombre = util::toUtf8(std::u16string(cara));
    // What the face cannot spell is reported, and left out of the trip (a
    // copied character may read as a letter of the face on the way back).
    std::u16string fuera, limpio = texto;
    for (char16_t c : distintos) {
      std::u16string ida;
      traducea(tablas(), std::u16string(1, c), cara, ida);
      if (!ida.empty()) fuera += c;
    }
    for (char16_t& c : limpio)
      if (fuera.find(c) != std::u16string::npos) c = u' ';
    std::u16string ida, vuelta;
    std::u16string legado = traducea(tablas(), limpio, cara, ida, {true});
    std::u16string atras = traduce(tablas(), legado, cara, vuelta, {true});
    EXPECT_EQ(ida, u"") << nombre;
    EXPECT_EQ(vuelta, u"") << nombre;
    EXPECT_EQ(util::toUtf8(fuera), noPuede) << nombre;
    mismasPalabras(texto, atras, nombre, letras(fuera));
  }
}

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
