// kalyxon_lexica: the shipped dictionaries, from texts to frequency lists and
// from frequency lists to LEXICA*.db files.
//
//   kalyxon_lexica tsv ALPHA.db OUT.tsv TEXT...
//       Counts the word forms of the texts with the program's own loader (as
//       "Cargar" would into an empty table) and writes one "key TAB form TAB
//       count" line per form, sorted by key, then count (highest first), then
//       form. The counts are not capped, so lists can be added up later.
//   kalyxon_lexica formas ALPHA.db OUT.tsv COUNTS.tsv [--menos TEXT]...
//       Turns a list of Unicode word forms with their counts ("form TAB count"
//       lines after a header) into a list like the ones above: each form is
//       read by the loader as a one-word text, so it gets the key and the
//       stored form that loading a text containing it would give, and forms
//       that the loader stores alike are added up. Every word of a --menos
//       text is taken off the counts first (one less per occurrence), which
//       leaves a work out of a list that counted it; a word of such a text
//       missing from the list is an error, since it means the text is not the
//       one counted.
//   kalyxon_lexica db OUT.db TABLE [--min N] IN.tsv...
//       Builds OUT.db with one dictionary table: the forms of the lists, the
//       counts of one (key, form) in several lists added up and capped at
//       32766 (what loading all the texts at once would give), keeping only
//       forms with a total of at least N (default 1). When several forms of
//       one key pass the cap, the second gets 32765, the third 32764...: the
//       candidates keep the order of their true counts.
//
// Outputs are written to a temporary file and renamed at the end, so a failed
// run never leaves a half-written file behind.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/kalyxon.h"
#include "dictionary/cargador.h"
#include "platform/scripted.h"
#include "greek/alfabeto.h"
#include "dictionary/lexico.h"

namespace fs = std::filesystem;
using namespace kalyxon;

namespace {

std::string lee(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + p.string());
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

struct Fila {
  std::string clave, forma;
  int64_t cuenta;
};

// Writes a frequency list: sorted by key, then count (highest first), then
// form, through a temporary file renamed at the end.
void escribeLista(const fs::path& salida, std::vector<Fila> filas) {
  std::sort(filas.begin(), filas.end(), [](const Fila& a, const Fila& b) {
    if (a.clave != b.clave) return a.clave < b.clave;
    if (a.cuenta != b.cuenta) return a.cuenta > b.cuenta;
    return a.forma < b.forma;
  });
  fs::path tmp = salida;
  tmp += ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary);
    for (const auto& f : filas) out << f.clave << '\t' << f.forma << '\t' << f.cuenta << '\n';
    if (!out) throw std::runtime_error("cannot write " + tmp.string());
  }
  fs::rename(tmp, salida);
}

// The alphabet as the program reads it: from the folder that holds ALPHA.db.
struct Letras {
  platform::scripted::ScriptedServices servicios;
  Kalyxon k;
  explicit Letras(const fs::path& alpha) : k(servicios.services(), alpha.parent_path()) {
    if (!k.alfabeto().cargado()) throw std::runtime_error("cannot read " + alpha.string());
  }
  const Alfabeto& operator*() { return k.alfabeto(); }
};

int tsv(const fs::path& alpha, const fs::path& salida, const std::vector<fs::path>& textos) {
  Letras alfabeto(alpha);
  const Alfabeto& letras = *alfabeto;
  fs::path tmpdb = salida;
  tmpdb += ".db.tmp";
  fs::remove(tmpdb);
  std::vector<Fila> filas;
  {
    lexico::Espacio ws;
    auto base = ws.abre(tmpdb, true);
    auto tabla = base->creaTabla("lista");
    for (const auto& t : textos) {
      Carga carga(letras, *tabla);
      auto r = carga.ejecuta(lee(t));
      std::cerr << t.filename().string() << ": " << r.palabras << " words, " << r.nuevas
                << " new forms\n";
    }
    lexico::Sentencia s(base->db(), "SELECT codigo, unicode, frecuencia FROM lista");
    while (s.paso())
      filas.push_back({s.texto(0), lexico::utf8(lexico::formaDeLista(s.texto(1))), s.entero(2)});
  }
  fs::remove(tmpdb);
  escribeLista(salida, std::move(filas));
  return 0;
}

// The tokens of a corpus text: runs of anything but blanks and the
// punctuation the corpus uses (its tokens are Greek letters with their marks,
// and the elision mark on the word it belongs to).
std::vector<std::string> tokens(const std::string& texto) {
  std::vector<std::string> out;
  std::u16string t = lexico::utf16(texto), actual;
  auto corta = [&] {
    if (!actual.empty()) out.push_back(lexico::utf8(actual));
    actual.clear();
  };
  for (char16_t c : t) {
    if (c == u' ' || c == u'\n' || c == u'\r' || c == u'\t' ||
        std::u16string_view(u".,\u00B7\u0387;\u037E:!\u2014").find(c) != std::u16string_view::npos)
      corta();
    else
      actual += c;
  }
  corta();
  return out;
}

int formas(const fs::path& alpha, const fs::path& salida, const fs::path& lista,
           const std::vector<fs::path>& menos) {
  Letras alfabeto(alpha);
  const Alfabeto& letras = *alfabeto;
  std::map<std::string, int64_t> cuentas;
  {
    std::istringstream in(lee(lista));
    std::string linea;
    int n = 0;
    while (std::getline(in, linea)) {
      if (++n == 1 || linea.empty()) continue;  // the header
      auto a = linea.find('\t');
      if (a == std::string::npos)
        throw std::runtime_error(lista.string() + ":" + std::to_string(n) + ": expected two fields");
      cuentas[linea.substr(0, a)] += std::stoll(linea.substr(a + 1));
    }
  }
  for (const auto& t : menos) {
    int64_t quitadas = 0;
    for (const auto& w : tokens(lee(t))) {
      auto it = cuentas.find(w);
      if (it == cuentas.end() || it->second <= 0)
        throw std::runtime_error(t.string() + ": \"" + w + "\" is not counted in " + lista.string());
      --it->second;
      ++quitadas;
    }
    std::cerr << t.filename().string() << ": " << quitadas << " words taken off\n";
  }
  std::map<std::pair<std::string, std::string>, int64_t> filas;
  for (const auto& [forma, n] : cuentas) {
    if (n <= 0) continue;
    LectorBeta lector(letras);
    std::u16string beta = betaDeUnicode(lexico::utf16(forma), letras) + u" ";
    for (char16_t c : beta) {
      if (!lector.lee(c)) continue;
      const auto& p = lector.palabra();
      if (p.forma.empty() || p.clave.size() >= 31) continue;
      filas[{lexico::utf8(p.clave), lexico::utf8(lexico::formaDeLista(p.lista))}] += n;
    }
  }
  std::vector<Fila> orden;
  orden.reserve(filas.size());
  for (const auto& [kf, n] : filas) orden.push_back({kf.first, kf.second, n});
  escribeLista(salida, std::move(orden));
  return 0;
}

int db(const fs::path& salida, const std::string& tabla, int64_t minimo,
       const std::vector<fs::path>& listas) {
  std::map<std::pair<std::string, std::string>, int64_t> cuentas;
  for (const auto& l : listas) {
    std::istringstream in(lee(l));
    std::string linea;
    int n = 0;
    while (std::getline(in, linea)) {
      ++n;
      if (linea.empty() || linea[0] == '#') continue;
      auto a = linea.find('\t'), b = linea.find('\t', a + 1);
      if (a == std::string::npos || b == std::string::npos)
        throw std::runtime_error(l.string() + ":" + std::to_string(n) + ": expected three fields");
      cuentas[{linea.substr(0, a), linea.substr(a + 1, b - a - 1)}] += std::stoll(linea.substr(b + 1));
    }
  }
  fs::path tmp = salida;
  tmp += ".tmp";
  fs::remove(tmp);
  {
    lexico::Espacio ws;
    auto base = ws.abre(tmp, true);
    base->ejecuta("PRAGMA journal_mode=OFF");
    base->ejecuta("PRAGMA synchronous=OFF");
    lexico::Base::Transaccion tr(*base);
    base->ejecuta(lexico::sqlCreaTabla(tabla));
    {
      lexico::Sentencia ins(base->db(), "INSERT INTO \"" + tabla +
                                            "\" (codigo, unicode, frecuencia) VALUES (?1, ?2, ?3)");
      // The map is ordered by key: one key's forms are neighbours.
      std::vector<std::pair<int64_t, std::string>> formas;
      std::string clave;
      auto escribe = [&] {
        std::stable_sort(formas.begin(), formas.end(),
                         [](const auto& x, const auto& y) { return x.first > y.first; });
        int64_t tope = kTopeCarga;
        for (const auto& [n, forma] : formas) {
          ins.reinicia()
              .liga(1, std::string_view(clave))
              .liga(2, std::string_view(lexico::listaCodigos(lexico::utf16(forma))))
              .liga(3, std::min(n, tope));
          ins.paso();
          if (n >= tope && tope > 1) --tope;
        }
        formas.clear();
      };
      for (const auto& [k, n] : cuentas) {
        if (n < minimo) continue;
        if (k.first != clave) {
          escribe();
          clave = k.first;
        }
        formas.emplace_back(n, k.second);
      }
      escribe();
    }
    // Indexes after the rows: one sort each instead of a tree grown row by row.
    for (const auto& sql : lexico::sqlCreaIndices(tabla)) base->ejecuta(sql);
    // The record count kept in the file: the menu captions read it at start-up.
    base->guardaCuenta(tabla);
    tr.confirma();
  }
  fs::rename(tmp, salida);
  // The exclusive lock taken at open keeps the (emptied) rollback journal of
  // the temporary name after the last commit; once renamed, it belongs to no
  // database.
  fs::path diario = tmp;
  diario += "-journal";
  fs::remove(diario);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> a(argv + 1, argv + argc);
  try {
    if (a.size() >= 4 && a[0] == "tsv")
      return tsv(a[1], a[2], std::vector<fs::path>(a.begin() + 3, a.end()));
    if (a.size() >= 4 && a[0] == "formas") {
      std::vector<fs::path> menos;
      for (size_t i = 4; i < a.size(); ++i) {
        if (a[i] == "--menos" && i + 1 < a.size()) menos.emplace_back(a[++i]);
        else throw std::runtime_error("unexpected argument " + a[i]);
      }
      return formas(a[1], a[2], a[3], menos);
    }
    if (a.size() >= 4 && a[0] == "db") {
      int64_t minimo = 1;
      std::vector<fs::path> listas;
      for (size_t i = 3; i < a.size(); ++i) {
        if (a[i] == "--min" && i + 1 < a.size()) minimo = std::stoll(a[++i]);
        else listas.emplace_back(a[i]);
      }
      return db(a[1], a[2], minimo, listas);
    }
  } catch (const std::exception& e) {
    std::cerr << "kalyxon_lexica: " << e.what() << "\n";
    return 1;
  }
  std::cerr << "usage: kalyxon_lexica tsv ALPHA.db OUT.tsv TEXT...\n"
               "       kalyxon_lexica formas ALPHA.db OUT.tsv COUNTS.tsv [--menos TEXT]...\n"
               "       kalyxon_lexica db OUT.db TABLE [--min N] IN.tsv...\n";
  return 2;
}
