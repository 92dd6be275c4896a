// kalyxon_lexica: the shipped dictionaries, from texts to frequency lists and
// from frequency lists to LEXICA*.db files.
//
//   kalyxon_lexica tsv ALPHA.db OUT.tsv TEXT...
//       Counts the word forms of the texts with the program's own loader (as
//       "Cargar" would into an empty table) and writes one "key TAB form TAB
//       count" line per form, sorted by key, then count (highest first), then
//       form. The counts are not capped, so lists can be added up later.
//   kalyxon_lexica db OUT.db TABLE [--min N] IN.tsv...
//       Builds OUT.db with one dictionary table: the forms of the lists, the
//       counts of one (key, form) in several lists added up and capped at
//       32766 (what loading all the texts at once would give), keeping only
//       forms with a total of at least N (default 1).
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

int tsv(const fs::path& alpha, const fs::path& salida, const std::vector<fs::path>& textos) {
  // The alphabet as the program reads it: from the folder that holds ALPHA.db.
  platform::scripted::ScriptedServices servicios;
  Kalyxon k(servicios.services(), alpha.parent_path());
  const Alfabeto& letras = k.alfabeto();
  if (!letras.cargado()) throw std::runtime_error("cannot read " + alpha.string());
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
      for (const auto& [k, n] : cuentas) {
        if (n < minimo) continue;
        ins.reinicia()
            .liga(1, std::string_view(k.first))
            .liga(2, std::string_view(lexico::listaCodigos(lexico::utf16(k.second))))
            .liga(3, std::min<int64_t>(n, kTopeCarga));
        ins.paso();
      }
    }
    // Indexes after the rows: one sort each instead of a tree grown row by row.
    for (const auto& sql : lexico::sqlCreaIndices(tabla)) base->ejecuta(sql);
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
               "       kalyxon_lexica db OUT.db TABLE [--min N] IN.tsv...\n";
  return 2;
}
