// kalyxon_letrasgen: writes the "letras" table (data/alpha/letras.csv) from
// the reference tables of the legacy Greek font encodings and the "sonido"
// table.
//
//   kalyxon_letrasgen FONTS_DIR SONIDO.csv > data/alpha/letras.csv
//
// FONTS_DIR holds athenian.tsv, greek.tsv, graeca.tsv and sgreek.tsv (lines
// "byte<TAB>U+XXXX[ U+YYYY...]<TAB>note"). Each byte whose Unicode value is
// one character that "sonido" has a row for becomes a row (face, byte, codlet
// of that sonido row). Values are matched after canonical composition (NFC),
// with a few equivalences of the old fonts' code points (see `equivalente`).
// Bytes that give marks alone (spacing marks typed before a capital, or
// combining marks typed after a letter) become mark rows whose codlet carries
// the mark codes (9PAEDI, see conversion/tablas.h). Bytes that give a character
// "sonido" does not know get no row, and the converters report them, unless
// the reference calls the byte an identity (a digit, a bracket): its row has
// codlet 800000 and the converters copy it. The Graece
// face has no public table; its letters are the BetaCode ones (see
// tablaGraece). Rows are written face by face,
// in byte order, so "the first row" of a lookup is the lowest byte.
//
// The generated file is committed; the build does not run this tool.
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Fila {
  int codlet = 0;
  int codfon = 0;
};

// coduni -> first sonido row with it.
std::map<int, Fila> leeSonido(const std::filesystem::path& csv) {
  std::ifstream in(csv);
  if (!in) throw std::runtime_error("cannot read " + csv.string());
  std::string linea;
  std::getline(in, linea);
  if (linea.rfind("\xEF\xBB\xBF", 0) == 0) linea.erase(0, 3);
  std::vector<std::string> cols;
  {
    std::stringstream ss(linea);
    std::string c;
    while (std::getline(ss, c, ',')) {
      c = c.substr(0, c.find(':'));
      std::transform(c.begin(), c.end(), c.begin(), [](unsigned char x) { return std::tolower(x); });
      if (!c.empty() && c.back() == '\r') c.pop_back();
      cols.push_back(c);
    }
  }
  auto idx = [&](const std::string& n) {
    auto it = std::find(cols.begin(), cols.end(), n);
    if (it == cols.end()) throw std::runtime_error(csv.string() + ": no column " + n);
    return static_cast<size_t>(it - cols.begin());
  };
  size_t iLet = idx("codlet"), iFon = idx("codfon"), iUni = idx("coduni");
  std::map<int, Fila> filas;
  while (std::getline(in, linea)) {
    if (!linea.empty() && linea.back() == '\r') linea.pop_back();
    if (linea.empty()) continue;
    std::vector<std::string> f;
    std::stringstream ss(linea);
    std::string c;
    while (std::getline(ss, c, ',')) f.push_back(c);
    if (f.size() < cols.size()) continue;
    int uni = std::stoi(f[iUni]);
    filas.try_emplace(uni, Fila{std::stoi(f[iLet]), std::stoi(f[iFon])});
  }
  return filas;
}

int nfc(int cp) {
  UErrorCode err = U_ZERO_ERROR;
  const icu::Normalizer2* n = icu::Normalizer2::getNFCInstance(err);
  icu::UnicodeString s(static_cast<UChar32>(cp));
  icu::UnicodeString r = n->normalize(s, err);
  if (U_FAILURE(err) || r.countChar32() != 1) return cp;
  return r.char32At(0);
}

// Other code points the old fonts' tables use for a character that "sonido"
// may hold under another one, in order of preference.
std::vector<int> equivalente(int cp) {
  switch (cp) {
    // The elision mark: koronis, right quotation mark, apostrophe.
    case 0x1FBD:
    case 0x2019:
    case 0x0027:
    case 0x02BC:
      return {0x2019, 0x0027, 0x1FBD, 0x02BC};
    // The numeral letters: the old fonts give the capital code points, but
    // numerals are written with the small letters.
    case 0x03DA:
      return {0x03DB, 0x03DA};
    case 0x03DE:
      return {0x03DF, 0x03DE};
    case 0x03E0:
      return {0x03E1, 0x03E0};
    case 0x0387:
      return {0x00B7, 0x0387, 0x003A};
    case 0x037E:
      return {0x003B, 0x037E};
    default:
      return {cp};
  }
}

// The mark codes of a byte whose value is marks only (all spacing or all
// combining); false when the value holds anything else.
struct Marcas {
  int acc = 0, esp = 0, die = 0, iot = 0;
  bool antes = false;
};
bool marcas(const std::vector<int>& cps, Marcas& m) {
  if (cps.empty()) return false;
  int espaciadas = 0;
  for (int cp : cps) {
    switch (cp) {
      // Combining marks, typed after the letter.
      case 0x0313: m.esp = 1; break;
      case 0x0314: m.esp = 2; break;
      case 0x0301: m.acc = 1; break;
      case 0x0300: m.acc = 2; break;
      case 0x0342: m.acc = 3; break;
      case 0x0308: m.die = 1; break;
      case 0x0345: m.iot = 1; break;
      // Spacing marks, typed before a capital.
      case 0x1FBF: m.esp = 1; ++espaciadas; break;
      case 0x1FFE: m.esp = 2; ++espaciadas; break;
      case 0x1FFD: m.acc = 1; ++espaciadas; break;
      case 0x1FEF: m.acc = 2; ++espaciadas; break;
      case 0x1FC0: m.acc = 3; ++espaciadas; break;
      case 0x1FCE: m.esp = 1; m.acc = 1; ++espaciadas; break;
      case 0x1FCD: m.esp = 1; m.acc = 2; ++espaciadas; break;
      case 0x1FCF: m.esp = 1; m.acc = 3; ++espaciadas; break;
      case 0x1FDE: m.esp = 2; m.acc = 1; ++espaciadas; break;
      case 0x1FDD: m.esp = 2; m.acc = 2; ++espaciadas; break;
      case 0x1FDF: m.esp = 2; m.acc = 3; ++espaciadas; break;
      case 0x00A8: m.die = 1; ++espaciadas; break;
      case 0x1FEE: m.die = 1; m.acc = 1; ++espaciadas; break;
      case 0x037A: m.iot = 1; ++espaciadas; break;
      default: return false;
    }
  }
  if (espaciadas != 0 && espaciadas != static_cast<int>(cps.size())) return false;
  m.antes = espaciadas != 0;
  return true;
}

int codletMarca(const Marcas& m) {
  return 900000 + (m.antes ? 1 : 2) * 10000 + m.acc * 1000 + m.esp * 100 + m.die * 10 + m.iot;
}

struct Salida {
  std::string cara;
  int byte;
  int codlet;
};

// Byte -> code points of one reference table.
std::vector<std::pair<int, std::vector<int>>> leeTabla(const std::filesystem::path& tsv) {
  std::ifstream in(tsv);
  if (!in) throw std::runtime_error("cannot read " + tsv.string());
  std::string linea;
  std::getline(in, linea);  // header
  std::vector<std::pair<int, std::vector<int>>> filas;
  while (std::getline(in, linea)) {
    if (linea.empty()) continue;
    std::stringstream ss(linea);
    std::string b, u;
    std::getline(ss, b, '\t');
    std::getline(ss, u, '\t');
    std::vector<int> cps;
    std::stringstream su(u);
    std::string t;
    while (su >> t)
      if (t.rfind("U+", 0) == 0) cps.push_back(std::stoi(t.substr(2), nullptr, 16));
    std::string nota;
    std::getline(ss, nota, '\t');
    // A byte the face leaves as it is (space, digits, brackets): the value
    // itself, flagged so that a character "sonido" lacks is copied silently.
    if (nota.rfind("identity", 0) == 0) cps.insert(cps.begin(), -1);
    filas.emplace_back(std::stoi(b), cps);
  }
  return filas;
}

// The Graece face: BetaCode letters, capitals on the upper-case keys, the
// punctuation BetaCode uses. Its marks are typed after the letter and are
// read by the converter, not looked up here.
std::vector<std::pair<int, std::vector<int>>> tablaGraece() {
  const std::string letras = "abgdezhqiklmncoprstufxyw";
  const std::u16string griego = u"αβγδεζηθικλμνξοπρστυφχψω";
  std::vector<std::pair<int, std::vector<int>>> t;
  t.push_back({' ', {0x20}});
  t.push_back({'\'', {0x2019}});
  t.push_back({',', {0x2C}});
  t.push_back({'.', {0x2E}});
  t.push_back({':', {0x0387}});
  t.push_back({';', {0x3B}});
  for (size_t i = 0; i < letras.size(); ++i)
    t.push_back({std::toupper(letras[i]), {griego[i] - 0x20}});
  t.push_back({'_', {0x5F}});
  for (size_t i = 0; i < letras.size(); ++i) t.push_back({letras[i], {griego[i]}});
  t.push_back({'j', {0x03C2}});
  // Its marks, typed after the letter, and two letters with iota subscript.
  t.push_back({')', {0x0313}});
  t.push_back({'(', {0x0314}});
  t.push_back({'/', {0x0301}});
  t.push_back({'\\', {0x0300}});
  t.push_back({'=', {0x0342}});
  t.push_back({'|', {0x0345}});
  t.push_back({'J', {0x1FF3}});
  t.push_back({'V', {0x1FC3}});
  std::sort(t.begin(), t.end());
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: kalyxon_letrasgen FONTS_DIR SONIDO.csv > letras.csv\n";
    return 2;
  }
  try {
    std::filesystem::path dir = argv[1];
    auto sonido = leeSonido(argv[2]);
    struct Cara {
      std::string nombre;
      std::vector<std::pair<int, std::vector<int>>> tabla;
    };
    std::vector<Cara> caras = {
        {"Athenian", leeTabla(dir / "athenian.tsv")},
        {"Greek", leeTabla(dir / "greek.tsv")},
        {"Graeca", leeTabla(dir / "graeca.tsv")},
        {"graece Normal", tablaGraece()},
        {"Sgreek Fixed", leeTabla(dir / "sgreek.tsv")},
    };
    std::cout << "fuente:TEXT,codasc:INTEGER,codlet:INTEGER\n";
    for (const auto& cara : caras) {
      int sinFila = 0;
      for (const auto& [byte, cps] : cara.tabla) {
        std::vector<int> candidatos;
        const bool identidad = !cps.empty() && cps[0] == -1;
        if (identidad) {
          candidatos = equivalente(nfc(cps[1]));
        } else if (cps.size() == 1) {
          candidatos = equivalente(nfc(cps[0]));
        }
        bool escrito = false;
        for (int cp : candidatos) {
          auto it = sonido.find(cp);
          if (it == sonido.end()) continue;
          std::cout << cara.nombre << "," << byte << "," << it->second.codlet << "\n";
          escrito = true;
          break;
        }
        // "Greek" types the smooth breathing before a capital on the
        // apostrophe's key: the letter row comes first, the mark second.
        Marcas m;
        if (cara.nombre == "Greek" && byte == '\'') {
          m.esp = 1;
          m.antes = true;
          std::cout << cara.nombre << "," << byte << "," << codletMarca(m) << "\n";
        } else if (!escrito && marcas(cps, m)) {
          std::cout << cara.nombre << "," << byte << "," << codletMarca(m) << "\n";
          escrito = true;
        }
        if (!escrito && identidad) {
          std::cout << cara.nombre << "," << byte << ",800000\n";
          escrito = true;
        }
        if (!escrito) {
          ++sinFila;
          std::cerr << cara.nombre << ": byte " << byte << " has no sonido row\n";
        }
      }
      std::cerr << cara.nombre << ": " << cara.tabla.size() - sinFila << " of " << cara.tabla.size()
                << " bytes mapped\n";
    }
  } catch (const std::exception& e) {
    std::cerr << "kalyxon_letrasgen: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
