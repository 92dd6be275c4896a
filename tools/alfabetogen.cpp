// kalyxon_alfabetogen: writes the readable sources of the alphabet database
// (data/alpha/sonido.csv, fonema.csv, fonetica.csv) from the Unicode Character
// Database as ICU ships it.
//
//   kalyxon_alfabetogen DIR            write the three files into DIR
//   kalyxon_alfabetogen --check DIR    exit 1 (and name the file) when a file
//                                      in DIR differs from what would be written
//
// Nothing below is a code point typed by hand: letters are named by their
// Unicode character names, precomposed characters come from the canonical
// decompositions of the Greek and Greek Extended blocks, and the marked
// vowels of "fonetica" are the NFC compositions of a letter and a combining
// mark. What is typed here is the keyboard layout (which key gives which
// letter), the Spanish names, the search-key letters and transliterations.
//
// Layout of "sonido" (see README, "Alphabet tables"):
//   codlet  the lookup code: the key's code for the bare small form of a letter
//           reached by a key; 100000 + code point for every other row, so that
//           each such row has a lookup code of its own that no key produces
//   codfon  1-24 the letters a..w, 25 "_", 27 space, 28-32 . , ; : '
//           33-40 digamma, stigma, koppa, archaic koppa, sampi, kai and the
//           two numeral signs
//   codacc, codesp, codmay, coddie, codiot  the mark codes (codiot 3 on the
//           final sigma)
//   coduni  the NFC code point
//   car     the character itself, for the reader of the file
// Rows come grouped by letter code, the bare small form first; the symbol
// forms (ϐ, ϑ, ϵ, ...) and the non-NFC punctuation come last, so the lookup by
// letter and marks, which takes the first row, always finds the plain letter.
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kCodletPropio = 100000;  // codlet of a row that no key reaches directly

UChar32 porNombre(const std::string& nombre) {
  UErrorCode err = U_ZERO_ERROR;
  UChar32 c = u_charFromName(U_UNICODE_CHAR_NAME, nombre.c_str(), &err);
  if (U_FAILURE(err) || c < 0) throw std::runtime_error("unknown character name " + nombre);
  return c;
}

std::string utf8(UChar32 c) {
  std::string s;
  icu::UnicodeString(c).toUTF8String(s);
  return s;
}

const icu::Normalizer2& nfd() {
  UErrorCode err = U_ZERO_ERROR;
  const icu::Normalizer2* n = icu::Normalizer2::getNFDInstance(err);
  if (U_FAILURE(err)) throw std::runtime_error("no NFD normaliser");
  return *n;
}

const icu::Normalizer2& nfc() {
  UErrorCode err = U_ZERO_ERROR;
  const icu::Normalizer2* n = icu::Normalizer2::getNFCInstance(err);
  if (U_FAILURE(err)) throw std::runtime_error("no NFC normaliser");
  return *n;
}

// The single code point that NFC makes of `s`, if it makes one.
std::optional<UChar32> compuesto(const icu::UnicodeString& s) {
  UErrorCode err = U_ZERO_ERROR;
  icu::UnicodeString r = nfc().normalize(s, err);
  if (U_FAILURE(err) || r.countChar32() != 1) return std::nullopt;
  return r.char32At(0);
}

// ---- Letters ----------------------------------------------------------------

struct Letra {
  const char* nombre;  // Unicode name stem: GREEK SMALL LETTER <nombre>
  const char* tecla;   // key letter on the keyboard ("" when no key gives it)
  const char* nomfon;  // Spanish name shown to the user
  const char* TRE;     // search-key letter: the BetaCode letter, upper case
  const char* TRL;     // transliteration
};

// The 24 letters in the order of their letter codes 1-24 (that order is the
// BetaCode alphabet "abgdezhqiklmncoprstufxyw", which is also Unicode's).
const Letra kLetras[] = {
    {"ALPHA", "A", "alfa", "A", "a"},       {"BETA", "B", "beta", "B", "b"},
    {"GAMMA", "G", "gamma", "G", "g"},      {"DELTA", "D", "delta", "D", "d"},
    {"EPSILON", "E", "épsilon", "E", "e"},  {"ZETA", "Z", "dseta", "Z", "z"},
    {"ETA", "H", "eta", "H", "ē"},          {"THETA", "Q", "theta", "Q", "th"},
    {"IOTA", "I", "iota", "I", "i"},        {"KAPPA", "K", "kappa", "K", "k"},
    {"LAMDA", "L", "lambda", "L", "l"},     {"MU", "M", "mi", "M", "m"},
    {"NU", "N", "ni", "N", "n"},            {"XI", "X", "xi", "C", "x"},
    {"OMICRON", "O", "ómicron", "O", "o"},  {"PI", "P", "pi", "P", "p"},
    {"RHO", "R", "ro", "R", "r"},           {"SIGMA", "S", "sigma", "S", "s"},
    {"TAU", "T", "tau", "T", "t"},          {"UPSILON", "U", "ípsilon", "U", "y"},
    {"PHI", "F", "fi", "F", "ph"},          {"CHI", "J", "ji", "X", "ch"},
    {"PSI", "Y", "psi", "Y", "ps"},         {"OMEGA", "W", "omega", "W", "ō"},
};

// The lookup code of a key letter, as the character lookup computes it: the
// key's virtual-key code (its capital ASCII letter), with J looked up as 99
// and V as 988. C never reaches the tables (it always gives final sigma).
int codigoDeTecla(const std::string& tecla) {
  if (tecla == "J") return 99;
  if (tecla == "V") return 988;
  return static_cast<unsigned char>(tecla[0]);
}

// Symbols beyond the 24 letters, codes from 33 on, each with a small form
// and, where Unicode has one, a capital.
struct Simbolo {
  int codfon;
  const char* pequena;  // Unicode name of the small form (or the only form)
  const char* mayuscula;  // Unicode name of the capital, or nullptr
  const char* tecla;      // key letter, or ""
  const char* nomfon;
  const char* TRE;  // TLG BetaCode where it has one
  const char* TRL;
};

const Simbolo kSimbolos[] = {
    {33, "GREEK SMALL LETTER DIGAMMA", "GREEK LETTER DIGAMMA", "V", "digamma", "V", "w"},
    {34, "GREEK SMALL LETTER STIGMA", "GREEK LETTER STIGMA", "", "stigma", "#2", "st"},
    {35, "GREEK SMALL LETTER KOPPA", "GREEK LETTER KOPPA", "", "koppa", "#1", "q"},
    {36, "GREEK SMALL LETTER ARCHAIC KOPPA", "GREEK LETTER ARCHAIC KOPPA", "", "koppa arcaica",
     "#3", "q"},
    {37, "GREEK SMALL LETTER SAMPI", "GREEK LETTER SAMPI", "", "sampi", "#5", "ss"},
    {38, "GREEK KAI SYMBOL", "GREEK CAPITAL KAI SYMBOL", "", "kai", "KAI", "kai"},
    {39, "GREEK NUMERAL SIGN", nullptr, "", "signo numeral", "#", "ʹ"},
    {40, "GREEK LOWER NUMERAL SIGN", nullptr, "", "signo numeral inferior", "#22", "͵"},
};

// Punctuation and spacing rows used by the converters, codes 25 and 27-32.
// The character is given by name; NFC is applied (the Greek question mark and
// ano teleia become ";" and "·").
struct Signo {
  int codfon;
  const char* nombre;
  const char* nomfon;
  const char* TRE;
  const char* TRL;
};

const Signo kSignos[] = {
    {25, "LOW LINE", "subrayado", "_", "_"},
    {27, "SPACE", "espacio", " ", " "},
    {28, "FULL STOP", "punto", ".", "."},
    {29, "COMMA", "coma", ",", ","},
    {30, "GREEK QUESTION MARK", "signo de interrogación", ";", "?"},
    {31, "GREEK ANO TELEIA", "punto alto", ":", ";"},
    {32, "RIGHT SINGLE QUOTATION MARK", "apóstrofo", "'", "'"},
};

// Other spellings of a letter or sign: they get a row (after all the others)
// so that a text holding them maps to the letter, but the lookup by letter
// and marks never picks them. {name, codfon, capital}
struct Variante {
  const char* nombre;
  int codfon;
  int codmay;
};

const Variante kVariantes[] = {
    {"GREEK BETA SYMBOL", 2, 0},
    {"GREEK LUNATE EPSILON SYMBOL", 5, 0},
    {"GREEK THETA SYMBOL", 8, 0},
    {"GREEK CAPITAL THETA SYMBOL", 8, 1},
    {"GREEK KAPPA SYMBOL", 10, 0},
    {"GREEK PI SYMBOL", 16, 0},
    {"GREEK RHO SYMBOL", 17, 0},
    {"GREEK LUNATE SIGMA SYMBOL", 18, 0},
    {"GREEK CAPITAL LUNATE SIGMA SYMBOL", 18, 1},
    {"GREEK UPSILON WITH HOOK SYMBOL", 20, 1},
    {"GREEK PHI SYMBOL", 21, 0},
    {"GREEK QUESTION MARK", 30, 0},
    {"GREEK ANO TELEIA", 31, 0},
    {"APOSTROPHE", 32, 0},
    {"MODIFIER LETTER APOSTROPHE", 32, 0},
    {"GREEK KORONIS", 32, 0},
};

// ---- Rows ---------------------------------------------------------------------

struct Sonido {
  int codlet = 0, codfon = 0, codacc = 0, codesp = 0, codmay = 0, coddie = 0, codiot = 0;
  UChar32 coduni = 0;
};

struct Marcas {
  int acc = 0, esp = 0, die = 0, iot = 0;
};

// The mark codes of a combining mark, or false when the codes cannot say it
// (macron, breve and the like).
bool anadeMarca(UChar32 m, Marcas& r) {
  static const std::map<UChar32, std::pair<int Marcas::*, int>> kMarcas = {
      {porNombre("COMBINING ACUTE ACCENT"), {&Marcas::acc, 1}},
      {porNombre("COMBINING GRAVE ACCENT"), {&Marcas::acc, 2}},
      {porNombre("COMBINING GREEK PERISPOMENI"), {&Marcas::acc, 3}},
      {porNombre("COMBINING COMMA ABOVE"), {&Marcas::esp, 1}},
      {porNombre("COMBINING REVERSED COMMA ABOVE"), {&Marcas::esp, 2}},
      {porNombre("COMBINING DIAERESIS"), {&Marcas::die, 1}},
      {porNombre("COMBINING GREEK YPOGEGRAMMENI"), {&Marcas::iot, 1}},
  };
  auto it = kMarcas.find(m);
  if (it == kMarcas.end()) return false;
  int Marcas::*campo = it->second.first;
  if (r.*campo != 0) return false;
  r.*campo = it->second.second;
  return true;
}

struct Tablas {
  std::vector<Sonido> sonido;
  std::string fonema;
  std::string fonetica;
};

std::string csvCampo(const std::string& s) {
  if (s.find_first_of(",\"\n ") == std::string::npos && !s.empty()) return s;
  std::string r = "\"";
  for (char c : s) {
    if (c == '"') r += '"';
    r += c;
  }
  return r + "\"";
}

Tablas genera() {
  Tablas t;
  std::map<UChar32, std::pair<int, int>> base;  // letter code point -> (codfon, codmay)
  std::map<int, int> teclaDe;                   // codfon -> lookup code of its key
  for (int i = 0; i < 24; ++i) {
    const Letra& l = kLetras[i];
    base[porNombre(std::string("GREEK SMALL LETTER ") + l.nombre)] = {i + 1, 0};
    base[porNombre(std::string("GREEK CAPITAL LETTER ") + l.nombre)] = {i + 1, 1};
    teclaDe[i + 1] = codigoDeTecla(l.tecla);
  }

  // Every character of the two blocks whose canonical decomposition is one of
  // the 24 letters followed by marks the codes express, keyed by its NFC form.
  std::map<UChar32, Sonido> porUni;
  auto considera = [&](UChar32 c) {
    if (!u_isdefined(c)) return;
    UErrorCode err = U_ZERO_ERROR;
    icu::UnicodeString d = nfd().normalize(icu::UnicodeString(c), err);
    if (U_FAILURE(err) || d.isEmpty()) return;
    auto b = base.find(d.char32At(0));
    if (b == base.end()) return;
    Marcas m;
    for (int32_t i = d.moveIndex32(0, 1); i < d.length(); i = d.moveIndex32(i, 1))
      if (!anadeMarca(d.char32At(i), m)) return;
    auto nf = compuesto(d);
    if (!nf) return;
    Sonido s{0, b->second.first, m.acc, m.esp, b->second.second, m.die, m.iot, *nf};
    porUni.emplace(*nf, s);
  };
  for (UChar32 c = 0x0370; c <= 0x03FF; ++c) considera(c);
  for (UChar32 c = 0x1F00; c <= 0x1FFF; ++c) considera(c);

  // Final sigma is sigma with iota code 3.
  UChar32 sigmaFinal = porNombre("GREEK SMALL LETTER FINAL SIGMA");
  porUni[sigmaFinal] = Sonido{0, 18, 0, 0, 0, 0, 3, sigmaFinal};

  std::map<int, std::vector<Sonido>> grupos;
  for (auto& [uni, s] : porUni) grupos[s.codfon].push_back(s);
  for (auto& [codfon, filas] : grupos) {
    // Bare small letter first, then by code point.
    std::stable_sort(filas.begin(), filas.end(), [](const Sonido& a, const Sonido& b) {
      bool da = a.codacc + a.codesp + a.codmay + a.coddie + a.codiot == 0;
      bool db = b.codacc + b.codesp + b.codmay + b.coddie + b.codiot == 0;
      if (da != db) return da;
      return a.coduni < b.coduni;
    });
    for (auto& s : filas) {
      bool desnuda = s.codacc + s.codesp + s.codmay + s.coddie + s.codiot == 0;
      s.codlet = desnuda ? teclaDe.at(codfon) : kCodletPropio + s.coduni;
      t.sonido.push_back(s);
    }
  }

  std::set<UChar32> usados;
  for (auto& s : t.sonido) usados.insert(s.coduni);
  auto anade = [&](Sonido s) {
    if (!usados.insert(s.coduni).second)
      throw std::runtime_error("code point in two rows: " + std::to_string(s.coduni));
    t.sonido.push_back(s);
  };

  for (const Signo& g : kSignos) {
    auto uni = compuesto(icu::UnicodeString(porNombre(g.nombre)));
    if (!uni) throw std::runtime_error(std::string("no NFC form of ") + g.nombre);
    anade(Sonido{kCodletPropio + *uni, g.codfon, 0, 0, 0, 0, 0, *uni});
  }
  for (const Simbolo& y : kSimbolos) {
    UChar32 p = porNombre(y.pequena);
    anade(Sonido{*y.tecla ? codigoDeTecla(y.tecla) : kCodletPropio + p, y.codfon, 0, 0, 0, 0,
                 0, p});
    if (y.mayuscula) {
      UChar32 m = porNombre(y.mayuscula);
      anade(Sonido{kCodletPropio + m, y.codfon, 0, 0, 1, 0, 0, m});
    }
  }
  for (const Variante& v : kVariantes) {
    UChar32 c = porNombre(v.nombre);
    anade(Sonido{kCodletPropio + c, v.codfon, 0, 0, v.codmay, 0, 0, c});
  }

  // ---- fonema
  std::ostringstream f;
  f << "codfon:INTEGER,nomfon:TEXT,TRE:TEXT,TRL:TEXT\n";
  std::map<int, std::string> fonemas;
  for (int i = 0; i < 24; ++i) {
    const Letra& l = kLetras[i];
    fonemas[i + 1] = csvCampo(l.nomfon) + "," + csvCampo(l.TRE) + "," + csvCampo(l.TRL);
  }
  for (const Signo& g : kSignos)
    fonemas[g.codfon] = csvCampo(g.nomfon) + "," + csvCampo(g.TRE) + "," + csvCampo(g.TRL);
  for (const Simbolo& y : kSimbolos)
    fonemas[y.codfon] = csvCampo(y.nomfon) + "," + csvCampo(y.TRE) + "," + csvCampo(y.TRL);
  for (auto& [codfon, resto] : fonemas) f << codfon << "," << resto << "\n";
  t.fonema = f.str();

  // ---- fonetica: quantity on α ι υ; quantity and quality on the Latin
  // vowels (letter code = the key's code). Open is the hook below (ogonek),
  // closed the dot below, as Romance philology writes them; a row exists only
  // where Unicode has the marked letter precomposed.
  const UChar32 breve = porNombre("COMBINING BREVE");
  const UChar32 macron = porNombre("COMBINING MACRON");
  const UChar32 ogonek = porNombre("COMBINING OGONEK");
  const UChar32 punto = porNombre("COMBINING DOT BELOW");
  struct Combinacion {
    int codape, codcan;
    std::vector<UChar32> marcas;
  };
  const std::vector<Combinacion> cantidad = {{0, 1, {breve}}, {0, 2, {macron}}};
  const std::vector<Combinacion> todas = {
      {0, 1, {breve}},          {0, 2, {macron}},          {1, 0, {ogonek}},
      {1, 1, {ogonek, breve}},  {1, 2, {ogonek, macron}},  {2, 0, {punto}},
      {2, 1, {punto, breve}},   {2, 2, {punto, macron}},
  };
  std::ostringstream ft;
  ft << "codfon:INTEGER,codape:INTEGER,codcan:INTEGER,coduni:INTEGER,car:TEXT\n";
  auto fila = [&](int codfon, UChar32 letra, const std::vector<Combinacion>& combinaciones) {
    for (auto& c : combinaciones) {
      icu::UnicodeString s(letra);
      for (UChar32 m : c.marcas) s.append(m);
      if (auto u = compuesto(s))
        ft << codfon << "," << c.codape << "," << c.codcan << "," << *u << ","
           << csvCampo(utf8(*u)) << "\n";
    }
  };
  for (const char* n : {"ALPHA", "IOTA", "UPSILON"}) {
    UChar32 l = porNombre(std::string("GREEK SMALL LETTER ") + n);
    fila(base.at(l).first, l, cantidad);
  }
  for (char v : std::string("AEIOUY"))
    fila(v, porNombre(std::string("LATIN SMALL LETTER ") + v), todas);
  t.fonetica = ft.str();
  return t;
}

std::string textoSonido(const std::vector<Sonido>& filas) {
  std::ostringstream o;
  o << "codlet:INTEGER,codfon:INTEGER,codacc:INTEGER,codesp:INTEGER,codmay:INTEGER,"
       "coddie:INTEGER,codiot:INTEGER,coduni:INTEGER,car:TEXT\n";
  for (auto& s : filas)
    o << s.codlet << "," << s.codfon << "," << s.codacc << "," << s.codesp << "," << s.codmay
      << "," << s.coddie << "," << s.codiot << "," << s.coduni << "," << csvCampo(utf8(s.coduni))
      << "\n";
  return o.str();
}

std::string lee(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream o;
  o << in.rdbuf();
  return o.str();
}

void escribe(const std::filesystem::path& p, const std::string& texto) {
  auto tmp = p;
  tmp += ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    out << texto;
    if (!out.flush()) throw std::runtime_error("cannot write " + tmp.string());
  }
  std::filesystem::rename(tmp, p);
}

}  // namespace

int main(int argc, char** argv) {
  bool comprueba = argc == 3 && std::string(argv[1]) == "--check";
  if (argc != 2 && !comprueba) {
    std::cerr << "usage: kalyxon_alfabetogen [--check] DIR\n";
    return 2;
  }
  std::filesystem::path dir = argv[argc - 1];
  try {
    Tablas t = genera();
    std::map<std::string, std::string> ficheros = {
        {"sonido.csv", textoSonido(t.sonido)}, {"fonema.csv", t.fonema}, {"fonetica.csv", t.fonetica}};
    int diferentes = 0;
    for (auto& [nombre, texto] : ficheros) {
      if (comprueba) {
        if (lee(dir / nombre) != texto) {
          std::cerr << "kalyxon_alfabetogen: " << (dir / nombre).string()
                    << " differs from the generated table\n";
          ++diferentes;
        }
      } else {
        std::filesystem::create_directories(dir);
        escribe(dir / nombre, texto);
      }
    }
    if (!comprueba) std::cout << t.sonido.size() << " sonido rows written to " << dir.string() << "\n";
    return diferentes ? 1 : 0;
  } catch (const std::exception& e) {
    std::cerr << "kalyxon_alfabetogen: " << e.what() << "\n";
    return 1;
  }
}
