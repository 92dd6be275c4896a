#include "conversion/conversores.h"

#include <array>
#include <cstring>
#include <optional>
#include <unordered_map>
#include <vector>

#include "dictionary/normaliza.h"
#include "util/cp1252.h"

namespace kalyxon::conversion {

namespace {

// The 8-bit code of a character of a legacy text, and back.
struct Codigos8 {
  std::array<int16_t, 256> bajo{};  // characters below U+0100
  std::array<char16_t, 256> car{};
  Codigos8() {
    std::string bytes(256, 0);
    for (int i = 0; i < 256; ++i) bytes[static_cast<size_t>(i)] = static_cast<char>(i);
    std::u16string s = cp1252::decode(bytes);
    for (int i = 0; i < 256; ++i) {
      car[static_cast<size_t>(i)] = s[static_cast<size_t>(i)];
      char b = cp1252::encodeChar(static_cast<char16_t>(i));
      bajo[static_cast<size_t>(i)] = static_cast<int16_t>(b == '?' && i != '?' ? 256 : static_cast<unsigned char>(b));
    }
  }
};
// Built once at start-up: the converters ask it for every character, and a
// function-local static would cost a guard check each time.
const Codigos8 kCodigos8;
const Codigos8& codigos8() { return kCodigos8; }
// 256 for a character outside the code page: no byte of any face.
constexpr int kFuera = 256;
inline int codigo8(char16_t c) {
  if (c < 256) return codigos8().bajo[c];
  char b = cp1252::encodeChar(c);
  return b == '?' ? kFuera : static_cast<unsigned char>(b);
}
// The code a report line gives for a character: the substitute "?" for one
// outside the code page.
inline int64_t codigoInforme(int k) { return k == kFuera ? '?' : k; }
inline char16_t deCodigo8(int k) { return codigos8().car[static_cast<size_t>(k & 0xFF)]; }

// The UTF-8 bytes of every character below U+2000 (Greek and Greek Extended
// included), low byte first, with their count in the top byte: a table read
// costs less than the branches between ASCII and Greek, which alternate at
// every space.
struct TablaUtf8 {
  std::array<uint32_t, 0x2000> v{};
  TablaUtf8() {
    for (uint32_t c = 0; c < 0x2000; ++c) {
      if (c < 0x80)
        v[c] = c | 1u << 24;
      else if (c < 0x800)
        v[c] = (0xC0 | c >> 6) | (0x80 | (c & 0x3F)) << 8 | 2u << 24;
      else
        v[c] = (0xE0 | c >> 12) | (0x80 | ((c >> 6) & 0x3F)) << 8 | (0x80 | (c & 0x3F)) << 16 | 3u << 24;
    }
  }
};
const TablaUtf8 kUtf8;

// Writes a character of the Basic Multilingual Plane other than a surrogate
// as UTF-8 at `p`, which has room for four bytes; returns the end.
inline char* ponUtf8(char* p, char16_t c) {
  if (c < 0x2000) {
    // Four bytes written, the count of them kept.
    const uint32_t v = kUtf8.v[c];
    std::memcpy(p, &v, 4);
    return p + (v >> 24);
  }
  *p++ = static_cast<char>(0xE0 | (c >> 12));
  *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  *p++ = static_cast<char>(0x80 | (c & 0x3F));
  return p;
}

// What the fast path writes, gathered in a block before it is appended to
// the result: as UTF-16, or as UTF-8 straight from the table.
template <size_t N>
struct BloqueU16 {
  using Cadena = std::u16string;
  char16_t buf[N];
  char16_t* p = buf;
  void pon(char16_t c) { *p++ = c; }
  bool vacio() const { return p == buf; }
  void vuelca(Cadena& s) {
    s.append(buf, static_cast<size_t>(p - buf));
    p = buf;
  }
};
template <size_t N>
struct BloqueU8 {
  using Cadena = std::string;
  char buf[N * 3 + 4];
  char* p = buf;
  void pon(char16_t c) { p = ponUtf8(p, c); }
  bool vacio() const { return p == buf; }
  void vuelca(Cadena& s) {
    s.append(buf, static_cast<size_t>(p - buf));
    p = buf;
  }
};

inline void agregaCodigo(std::u16string& r, int32_t cp) {
  if (cp >= 0x10000 && cp <= 0x10FFFF) {
    cp -= 0x10000;
    r += static_cast<char16_t>(0xD800 + (cp >> 10));
    r += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  } else {
    r += static_cast<char16_t>(cp & 0xFFFF);
  }
}

// A letter with its marks, in the codes of "sonido".
struct Letra {
  int32_t fon = 0, acc = 0, esp = 0, may = 0, die = 0, iot = 0;
  void agrega(const Marca& m) {
    if (m.acc) acc = m.acc;
    if (m.esp) esp = m.esp;
    if (m.die) die = m.die;
    if (m.iot) iot = m.iot;
  }
  bool esLetra() const { return fon >= 1 && fon <= 24; }
};

Marca suma(Marca a, const Marca& b) {
  if (b.acc) a.acc = b.acc;
  if (b.esp) a.esp = b.esp;
  if (b.die) a.die = b.die;
  if (b.iot) a.iot = b.iot;
  return a;
}

Letra letraDe(const FilaSonido& f) {
  return {f.codfon, f.codacc, f.codesp, f.codmay, f.coddie, f.codiot};
}

inline int32_t compone(const Tablas& t, const Letra& l) {
  return t.porMarcas(l.fon, l.acc, l.esp, l.may, l.die, l.iot);
}

// The combining marks of a letter, in canonical order.
std::u16string combinantes(const Letra& l) {
  std::u16string r;
  if (l.esp == 1) r += u'\u0313';
  if (l.esp == 2) r += u'\u0314';
  if (l.die) r += u'\u0308';
  if (l.acc == 1) r += u'\u0301';
  if (l.acc == 2) r += u'\u0300';
  if (l.acc == 3) r += u'\u0342';
  if (l.iot == 1) r += u'\u0345';
  return r;
}

// A mark standing on its own, as the spacing character Unicode has for it.
std::u16string espaciada(const Marca& m) {
  static const std::map<int, char16_t> k = {
      {100, u'\u1FBF'}, {200, u'\u1FFE'}, {1000, u'\u1FFD'}, {2000, u'\u1FEF'},
      {3000, u'\u1FC0'}, {1100, u'\u1FCE'}, {2100, u'\u1FCD'}, {3100, u'\u1FCF'},
      {1200, u'\u1FDE'}, {2200, u'\u1FDD'}, {3200, u'\u1FDF'}, {10, u'\u00A8'},
      {1010, u'\u1FEE'}, {2010, u'\u1FED'}, {3010, u'\u1FC1'}, {1, u'\u037A'}};
  auto it = k.find(m.acc * 1000 + m.esp * 100 + m.die * 10 + m.iot);
  if (it != k.end()) return std::u16string(1, it->second);
  return u"\u00A0" + combinantes({0, m.acc, m.esp, 0, m.die, m.iot});
}

// The letter and its marks as far as "sonido" composes them, the rest as
// combining marks.
std::u16string descompuesta(const Tablas& t, const Letra& l) {
  int32_t base = t.porMarcas(l.fon, 0, 0, l.may, 0, l.iot == 3 ? 3 : 0);
  std::u16string r;
  if (base >= 0) agregaCodigo(r, base);
  Letra resto = l;
  if (resto.iot == 3) resto.iot = 0;
  return nfc(r + combinantes(resto));
}

// The vowels and rho, the letters that take breathings and accents (codes
// of "sonido": α ε η ι ο ρ υ ω).
bool puedeLlevarMarcas(int32_t fon) {
  return fon == 1 || fon == 5 || fon == 7 || fon == 9 || fon == 15 || fon == 17 || fon == 20 ||
         fon == 24;
}

// ASCII characters other than letters pass unreported when a face has no row
// for them (digits, brackets, a tab): they are what the document shows.
bool pasaSinInforme(char16_t c) {
  return c < 128 && !((c | 0x20) >= u'a' && (c | 0x20) <= u'z');
}

bool esSalto(char16_t c) { return c == u'\r' || c == u'\n'; }

// Line breaks outside "keep line breaks": one space for a run of them, so
// that the words on both sides stay apart.
class Saltos {
 public:
  explicit Saltos(bool conserva) : conserva_(conserva) {}
  void salto(char16_t c, std::u16string& salida) {
    if (conserva_) {
      salida += c;
    } else if (!enSalto_) {
      char16_t antes = salida.empty() ? ultimo_ : salida.back();
      if (antes != u' ' && antes != 0) salida += u' ';
    }
    enSalto_ = true;
  }
  void otro() { enSalto_ = false; }
  void finTrozo(const std::u16string& salida) {
    if (!salida.empty()) ultimo_ = salida.back();
  }
  // The last character written went to a result other than the next one.
  void escrito(char16_t c) { ultimo_ = c; }

 private:
  bool conserva_;
  bool enSalto_ = false;
  char16_t ultimo_ = 0;
};

// What one byte of a face stands for.
struct Byte {
  enum Tipo : uint8_t { kNada, kSinSonido, kIdentidad, kLetra, kMarca } tipo = kNada;
  int32_t uni = 0;      // kLetra: its code point
  Letra letra;          // kLetra
  Marca marca;          // kMarca (and a mark byte that is also a letter)
  bool tambienMarca = false;
  int32_t codlet = 0;
  // The bulk of a separate-mark text, read without the general path: a
  // plain letter, a mark after a letter, and a character between words
  // (a space, punctuation) written as `separa`, `fin` when it ends the word
  // before it (a sigma there is final).
  enum Rapido : uint8_t { kLento, kRapLetra, kRapMarca, kRapSeparador } rapido = kLento;
  bool sigmaBeta = false;  // BetaCode's "s": a digit after it is a code
  bool fin = false;
  char16_t separa = 0;
};

// Whether a character of a separate-mark face ends the word before it (a
// sigma there is final): not a letter, a mark or the elision mark. In
// BetaCode a "*" starts a capital of the same word and a digit ends it.
bool finDePalabra(const Byte& b, int k, bool beta) {
  if (beta && k == '*') return false;
  if (beta && k >= '0' && k <= '9') return true;
  if (b.tipo == Byte::kMarca || b.tambienMarca) return false;
  return !(b.tipo == Byte::kLetra && (b.letra.esLetra() || b.letra.fon >= 32));
}

// Sorts the bytes of a separate-mark face for the fast path.
void marcaRapidas(std::array<Byte, 257>& bytes, bool beta) {
  for (size_t k = 0; k < bytes.size(); ++k) {
    Byte& b = bytes[k];
    b.fin = finDePalabra(b, static_cast<int>(k), beta);
    const bool especial = k == '\r' || k == '\n' || (beta && (k == '*' || k == '#' || k == '[' || k == ']'));
    if (especial || b.tambienMarca || b.uni >= 0x10000) continue;
    if (b.tipo == Byte::kLetra && b.letra.esLetra() && b.uni > 0) {
      b.rapido = Byte::kRapLetra;
      b.sigmaBeta = beta && (k == 's' || k == 'S');
    } else if (b.tipo == Byte::kMarca && !b.marca.antes) {
      b.rapido = Byte::kRapMarca;
    } else if (b.tipo == Byte::kLetra && !b.letra.esLetra() && !(beta && b.uni == 0x03DD)) {
      b.rapido = Byte::kRapSeparador;
      b.separa = b.uni == 0 ? u' ' : static_cast<char16_t>(b.uni);
    }
  }
}

std::array<Byte, 257> bytesDe(const Tablas& t, const Cara* cara) {
  std::array<Byte, 257> r{};
  if (!cara) return r;
  for (int k = 0; k < 256; ++k) {
    Byte& b = r[static_cast<size_t>(k)];
    int32_t l = cara->letra(k);
    if (l == kIdentidad) {
      b.tipo = Byte::kIdentidad;
    } else if (l >= 0) {
      b.codlet = l;
      if (const FilaSonido* f = t.porCodlet(l)) {
        b.tipo = Byte::kLetra;
        b.uni = f->coduni;
        b.letra = letraDe(*f);
      } else {
        b.tipo = Byte::kSinSonido;
      }
    }
    int32_t m = cara->marca(k);
    if (m >= 0) {
      b.marca = marcaDe(m);
      if (b.tipo == Byte::kNada)
        b.tipo = Byte::kMarca;
      else
        b.tambienMarca = true;
    }
  }
  return r;
}

// ---- Whole-glyph faces to Unicode ----------------------------------------------

class DeGlifos : public Conversor {
 public:
  DeGlifos(const Tablas& t, std::u16string_view cara, const Opciones& o, Informe* inf)
      : t_(t), cara_(cara), inf_(inf), saltos_(o.conservaLineas), bytes_(bytesDe(t, t.cara(cara))) {
    if (o.comaNumeral && cara == cara::kGreek) {
      if (const FilaSonido* f = t.porCoduni(0x0375)) {
        Byte& b = bytes_[','];
        b.tipo = Byte::kLetra;
        b.uni = f->coduni;
        b.letra = letraDe(*f);
      }
    }
  }

  void alimenta(std::u16string_view trozo, std::u16string& salida) override {
    salida.reserve(salida.size() + trozo.size());
    devuelve(salida);
    if (&salida != ultimaEn_ || salida.size() <= ultimaPos_) ultima_.reset();
    for (char16_t c : trozo) {
      ++pos_;
      if (esSalto(c)) {
        sueltaMarca(salida);
        saltos_.salto(c, salida);
        ultima_.reset();
        continue;
      }
      saltos_.otro();
      const int k = codigo8(c);
      const Byte& b = bytes_[static_cast<size_t>(k)];
      if (marcaPendiente_) {
        // A mark typed before a capital belongs to it.
        if (b.tipo == Byte::kLetra && b.letra.may == 1 && b.letra.esLetra()) {
          Letra l = b.letra;
          l.agrega(marca_);
          int32_t u = compone(t_, l);
          if (u >= 0) {
            marcaPendiente_ = false;
            escribeLetra(l, u, salida);
            continue;
          }
          // A vowel or rho whose marks make no capital (a circumflex on Ε)
          // keeps them as combining marks and is reported, as in the other
          // faces; the apostrophe of "Greek" stays an apostrophe.
          if (bytes_[byteMarca_].tipo == Byte::kMarca && puedeLlevarMarcas(l.fon)) {
            marcaPendiente_ = false;
            const std::u16string d = descompuesta(t_, l);
            if (inf_) inf_->sinCombinacion(pos_, d);
            salida += d;
            ultima_.reset();
            continue;
          }
        }
        sueltaMarca(salida);
      }
      if (b.tambienMarca || b.tipo == Byte::kMarca) {
        if (b.marca.antes) {
          marcaPendiente_ = true;
          marca_ = b.marca;
          byteMarca_ = static_cast<uint8_t>(k);
          continue;
        }
        if (b.tipo == Byte::kMarca) {
          despues(b.marca, salida);
          continue;
        }
      }
      switch (b.tipo) {
        case Byte::kLetra:
          escribeLetra(b.letra, b.uni, salida);
          break;
        case Byte::kIdentidad:
          salida += c;
          ultima_.reset();
          break;
        default:
          if (inf_ && (b.tipo == Byte::kSinSonido || !pasaSinInforme(c))) {
            if (b.tipo == Byte::kSinSonido)
              inf_->sinSonido(b.codlet, c);
            else
              inf_->sinLetra(codigoInforme(k), c, cara_);
          }
          salida += c;
          ultima_.reset();
      }
    }
    saltos_.finTrozo(salida);
    // The last letter waits for the next piece, whose first byte may be
    // its iota subscript.
    if (ultima_ && ultimaEn_ == &salida && ultimaPos_ < salida.size()) {
      retenida_ = salida.substr(ultimaPos_);
      salida.resize(ultimaPos_);
    }
  }

  void termina(std::u16string& salida) override {
    devuelve(salida);
    sueltaMarca(salida);
    saltos_.finTrozo(salida);
  }

 private:
  void escribeLetra(const Letra& l, int32_t u, std::u16string& salida) {
    if (l.esLetra()) {
      ultima_ = l;
      ultimaEn_ = &salida;
      ultimaPos_ = salida.size();
    } else {
      ultima_.reset();
    }
    agregaCodigo(salida, u);
  }

  // Writes the letter held back at the end of the last piece.
  void devuelve(std::u16string& salida) {
    if (retenida_.empty()) return;
    ultimaEn_ = &salida;
    ultimaPos_ = salida.size();
    salida += retenida_;
    retenida_.clear();
  }

  // A mark typed after its letter (the iota subscript of Athenian).
  void despues(const Marca& m, std::u16string& salida) {
    if (ultima_) {
      Letra l = *ultima_;
      l.agrega(m);
      int32_t u = compone(t_, l);
      if (u >= 0) {
        salida.resize(ultimaPos_);
        escribeLetra(l, u, salida);
        return;
      }
    }
    salida += combinantes({0, m.acc, m.esp, 0, m.die, m.iot});
  }

  // A mark byte that no capital followed: the byte's letter, if it has one
  // (the apostrophe of "Greek"), else the mark as a spacing character.
  void sueltaMarca(std::u16string& salida) {
    if (!marcaPendiente_) return;
    marcaPendiente_ = false;
    const Byte& b = bytes_[byteMarca_];
    if (b.tipo == Byte::kLetra)
      escribeLetra(b.letra, b.uni, salida);
    else
      salida += espaciada(marca_);
    ultima_.reset();
  }

  const Tablas& t_;
  std::u16string cara_;
  Informe* inf_;
  Saltos saltos_;
  std::array<Byte, 257> bytes_;
  int64_t pos_ = 0;
  bool marcaPendiente_ = false;
  Marca marca_;
  uint8_t byteMarca_ = 0;
  std::optional<Letra> ultima_;
  const std::u16string* ultimaEn_ = nullptr;
  size_t ultimaPos_ = 0;
  std::u16string retenida_;  // the last letter, held back between pieces
};

// ---- Separate-mark faces and BetaCode to Unicode ------------------------------

// The letters of BetaCode, α to ω.
constexpr std::u16string_view kLetrasBeta = u"abgdezhqiklmncoprstufxyw";

class DeMarcas : public Conversor {
 public:
  DeMarcas(const Tablas& t, std::u16string_view cara, bool beta, const Opciones& o, Informe* inf)
      : t_(t), cara_(cara), beta_(beta), inf_(inf), saltos_(o.conservaLineas) {
    if (beta_) {
      bytes_ = bytesBeta();
    } else {
      bytes_ = bytesDe(t, t.cara(cara));
    }
    marcaRapidas(bytes_, beta_);
  }

  void alimenta(std::u16string_view trozo, std::u16string& salida) override {
    salida.reserve(salida.size() + trozo.size());
    for (size_t i = 0; i < trozo.size();) {
      i = rapido<BloqueU16<kBloque + 2>>(trozo, i, salida);
      if (i < trozo.size()) paso(trozo[i++], salida);
    }
    saltos_.finTrozo(salida);
  }

  // The bytes straight to UTF-8 on the fast path; the rest through UTF-16.
  void alimentaBytes(std::string_view bytes, std::string& salida) override {
    salida.reserve(salida.size() + bytes.size() * 2);
    for (size_t i = 0; i < bytes.size();) {
      i = rapido<BloqueU8<kBloque + 2>>(bytes, i, salida);
      if (i < bytes.size()) {
        general_.clear();
        paso(deCodigo8(static_cast<unsigned char>(bytes[i++])), general_);
        saltos_.finTrozo(general_);
        utf8(general_, salida);
      }
    }
  }

  void termina(std::u16string& salida) override {
    cierraCodigo(salida);
    suelta(true, salida);
    if (asterisco_) salida += u'*';
    asterisco_ = false;
    saltos_.finTrozo(salida);
  }

 private:
  std::array<Byte, 257> bytesBeta() const {
    std::array<Byte, 257> r{};
    auto letra = [&](int k, int32_t fon, int32_t may, int32_t iot) {
      int32_t u = t_.porMarcas(fon, 0, 0, may, 0, iot);
      if (u < 0) return;
      Byte& b = r[static_cast<size_t>(k)];
      b.tipo = Byte::kLetra;
      b.uni = u;
      b.letra = {fon, 0, 0, may, 0, iot};
    };
    auto caracter = [&](int k, char32_t cp) {
      Byte& b = r[static_cast<size_t>(k)];
      if (const FilaSonido* f = t_.porCoduni(static_cast<int32_t>(cp))) {
        b.tipo = Byte::kLetra;
        b.uni = f->coduni;
        b.letra = letraDe(*f);
      } else {
        b.tipo = Byte::kLetra;
        b.uni = static_cast<int32_t>(cp);
        b.letra = {};
      }
    };
    for (size_t i = 0; i < kLetrasBeta.size(); ++i) {
      letra(kLetrasBeta[i], static_cast<int32_t>(i + 1), 0, 0);
      letra(kLetrasBeta[i] - 32, static_cast<int32_t>(i + 1), 0, 0);
    }
    letra('j', 18, 0, 3);
    letra('J', 18, 0, 3);
    caracter('v', 0x03DD);
    caracter('V', 0x03DD);
    caracter('\'', 0x2019);
    caracter(':', 0x00B7);
    caracter(';', 0x003B);
    caracter('.', '.');
    caracter(',', ',');
    caracter(' ', ' ');
    caracter('_', 0x2014);
    auto marca = [&](int k, Marca m) {
      r[static_cast<size_t>(k)].tipo = Byte::kMarca;
      r[static_cast<size_t>(k)].marca = m;
    };
    marca(')', {0, 1, 0, 0});
    marca('(', {0, 2, 0, 0});
    marca('/', {1, 0, 0, 0});
    marca('\\', {2, 0, 0, 0});
    marca('=', {3, 0, 0, 0});
    marca('+', {0, 0, 1, 0});
    marca('|', {0, 0, 0, 1});
    return r;
  }

  // Whether a sigma before `c` ends its word: not before a letter, a mark or
  // the elision mark.
  bool cierraPalabra(char16_t c) const {
    return c == 0 || bytes_[static_cast<size_t>(codigo8(c))].fin;
  }

  // Plain letters, the marks after them and the characters between words,
  // the bulk of any text, with the state in locals and the output gathered
  // in a small buffer; returns where a character needs the general path.
  // The text is UTF-16 (its characters' 8-bit codes looked up) or the bytes
  // themselves.
  static constexpr size_t kBloque = 512;
  template <class Bloque, class Car>
  size_t rapido(std::basic_string_view<Car> trozo, size_t i, typename Bloque::Cadena& salida) {
    if (esperaCodigo_ || asterisco_) return i;
    const size_t inicio = i;
    bool pend = pendiente_, marcas = conMarcas_;
    Letra letra = letra_;
    int32_t uni = uniLetra_;
    size_t iLetra = SIZE_MAX;  // where the pending letter is, when in this run
    char16_t ultimo = 0;       // the last character written
    const auto& bajo = kCodigos8.bajo;
    Bloque bloque;
    while (i < trozo.size()) {
      const size_t fin = std::min(trozo.size(), i + kBloque);
      const size_t desde = i;
      for (; i < fin; ++i) {
        size_t k;
        if constexpr (sizeof(Car) == 1) {
          k = static_cast<unsigned char>(trozo[i]);
        } else {
          if (trozo[i] >= 256) break;
          k = static_cast<size_t>(bajo[trozo[i]]);
        }
        const Byte& b = bytes_[k];
        if (b.rapido == Byte::kRapLetra) {
          // BetaCode's "s" waits for a digit, which may be the next piece's.
          if (b.sigmaBeta && (i + 1 == trozo.size() || (trozo[i + 1] >= u'0' && trozo[i + 1] <= u'9')))
            break;
          if (pend) {
            int32_t u = marcas ? compone(t_, letra) : uni;
            if (u < 0 || u >= 0x10000) break;
            bloque.pon(ultimo = static_cast<char16_t>(u));
          }
          letra = b.letra;
          uni = b.uni;
          marcas = false;
          pend = true;
          iLetra = i;
        } else if (b.rapido == Byte::kRapMarca && pend) {
          letra.agrega(b.marca);
          marcas = true;
        } else if (b.rapido == Byte::kRapSeparador) {
          if (pend) {
            int32_t u = uni;
            const bool sigmaFinal = b.fin && letra.fon == 18 && letra.may == 0 && letra.iot == 0;
            if (marcas || sigmaFinal) {
              Letra l = letra;
              if (sigmaFinal) l.iot = 3;
              u = compone(t_, l);
              if (u < 0 || u >= 0x10000) break;
            }
            bloque.pon(static_cast<char16_t>(u));
            pend = false;
          }
          bloque.pon(ultimo = b.separa);
        } else {
          break;
        }
      }
      bloque.vuelca(salida);
      if (i < fin || i == desde) break;
    }
    if (i == inicio) return i;
    if (ultimo) saltos_.escrito(ultimo);
    pendiente_ = pend;
    conMarcas_ = marcas;
    letra_ = letra;
    uniLetra_ = uni;
    if (iLetra != SIZE_MAX) posLetra_ = pos_ + static_cast<int64_t>(iLetra - inicio) + 1;
    pos_ += static_cast<int64_t>(i - inicio);
    saltos_.otro();
    return i;
  }

  void paso(char16_t c, std::u16string& salida) {
    const int k = codigo8(c);
    const Byte& b = bytes_[static_cast<size_t>(k)];
    if (!esperaCodigo_ && !asterisco_) {
      // The common cases first: a plain letter, or a mark after a letter.
      if (b.rapido == Byte::kRapLetra && !b.sigmaBeta) {
        ++pos_;
        saltos_.otro();
        if (pendiente_) {
          if (conMarcas_)
            suelta(false, salida);
          else
            salida += static_cast<char16_t>(uniLetra_);
        }
        letra_ = b.letra;
        uniLetra_ = b.uni;
        conMarcas_ = false;
        pendiente_ = true;
        posLetra_ = pos_;
        return;
      }
      if (b.tipo == Byte::kMarca && pendiente_) {
        ++pos_;
        saltos_.otro();
        letra_.agrega(b.marca);
        conMarcas_ = true;
        return;
      }
    }
    ++pos_;
    if (beta_ && esperaCodigo_) {
      if (c >= u'0' && c <= u'9' && digitos_.size() < 4 &&
          (esperaCodigo_ == u'#' || digitos_.empty())) {
        digitos_ += c;
        return;
      }
      cierraCodigo(salida);
    }
    if (esSalto(c)) {
      suelta(true, salida);
      saltos_.salto(c, salida);
      return;
    }
    saltos_.otro();
    if (beta_) {
      if (c == u'*') {
        suelta(false, salida);
        asterisco_ = true;
        prefijo_ = {};
        return;
      }
      if (c == u'#' || c == u'[' || c == u']') {
        suelta(true, salida);
        esperaCodigo_ = c;
        digitos_.clear();
        return;
      }
    }
    if (b.tipo == Byte::kMarca) {
      if (asterisco_) {
        prefijo_ = suma(prefijo_, b.marca);
      } else if (pendiente_) {
        letra_.agrega(b.marca);
        conMarcas_ = true;
      } else {
        otro(c, k, b, salida);
      }
      return;
    }
    if (b.tipo == Byte::kLetra && (b.letra.esLetra() || (beta_ && b.uni == 0x03DD))) {
      suelta(false, salida);
      letra_ = b.letra;
      uniLetra_ = b.uni;
      conMarcas_ = false;
      if (asterisco_) {
        conMarcas_ = true;
        letra_.may = 1;
        letra_.agrega(prefijo_);
        if (b.uni == 0x03DD) uniLetra_ = 0x03DC;
        asterisco_ = false;
      }
      pendiente_ = true;
      posLetra_ = pos_;
      if (beta_ && (c == u's' || c == u'S')) {
        esperaCodigo_ = u's';
        digitos_.clear();
      }
      return;
    }
    suelta(cierraPalabra(c), salida);
    if (asterisco_) {
      salida += u'*';
      asterisco_ = false;
    }
    otro(c, k, b, salida);
  }

  // A character that is not a letter of the face.
  void otro(char16_t c, int k, const Byte& b, std::u16string& salida) {
    if (b.tipo == Byte::kLetra) {
      agregaCodigo(salida, b.uni == 0 ? u' ' : b.uni);
      return;
    }
    if (inf_ && (b.tipo == Byte::kSinSonido || (b.tipo != Byte::kIdentidad && !pasaSinInforme(c))))
      inf_->sinLetra(codigoInforme(k), c, beta_ ? kBetaCode : std::u16string_view(cara_));
    salida += c;
  }

  // BetaCode's codes with a number: s1 s2 s3 (medial, final, lunate sigma),
  // # and #N (numeral signs and letters), [1 ]1 (parentheses).
  void cierraCodigo(std::u16string& salida) {
    char16_t tipo = esperaCodigo_;
    if (!tipo) return;
    esperaCodigo_ = 0;
    std::u16string d = std::move(digitos_);
    digitos_.clear();
    if (tipo == u's') {
      if (d == u"1") {
        suelta(false, salida);
      } else if (d == u"2") {
        suelta(true, salida);
      } else if (d == u"3") {
        pendiente_ = false;
        salida += letra_.may ? u'\u03F9' : u'\u03F2';
      } else if (!d.empty()) {
        // Another digit after a sigma: the word has ended.
        suelta(true, salida);
        salida += d;
      }
      return;
    }
    if (tipo == u'#') {
      static const std::map<std::u16string, char16_t> k = {
          {u"", u'\u0374'}, {u"1", u'\u03DF'}, {u"2", u'\u03DB'}, {u"3", u'\u03D9'},
          {u"5", u'\u03E1'}, {u"22", u'\u0375'}};
      auto it = k.find(d);
      if (it != k.end()) {
        salida += it->second;
      } else {
        salida += u'#';
        salida += d;
      }
      return;
    }
    salida += d == u"1" ? (tipo == u'[' ? u'(' : u')') : tipo;
    if (d != u"1") salida += d;
  }

  // Writes the pending letter; `fin`: its word ends here.
  void suelta(bool fin, std::u16string& salida) {
    if (!pendiente_) return;
    pendiente_ = false;
    Letra l = letra_;
    if (!l.esLetra()) {
      agregaCodigo(salida, uniLetra_);
      return;
    }
    if (fin && l.fon == 18 && l.may == 0 && l.iot == 0) {
      l.iot = 3;
    } else if (!conMarcas_) {
      // The letter as its byte gives it: no lookup needed.
      agregaCodigo(salida, uniLetra_);
      return;
    }
    int32_t u = compone(t_, l);
    if (u >= 0) {
      agregaCodigo(salida, u);
      return;
    }
    std::u16string d = descompuesta(t_, l);
    if (inf_) inf_->sinCombinacion(posLetra_, d);
    salida += d;
  }

  const Tablas& t_;
  std::u16string cara_;
  bool beta_;
  Informe* inf_;
  Saltos saltos_;
  std::array<Byte, 257> bytes_;
  int64_t pos_ = 0, posLetra_ = 0;
  bool pendiente_ = false;
  bool conMarcas_ = false;  // the pending letter has more than its byte gave
  Letra letra_;
  int32_t uniLetra_ = 0;
  bool asterisco_ = false;
  Marca prefijo_;
  char16_t esperaCodigo_ = 0;
  std::u16string digitos_;
  std::u16string general_;  // what the general path writes of a byte text
};

// Unicode input in composed form, piece by piece: the last character of a
// piece (with any combining marks after it) waits for the next piece, whose
// first marks may belong to it.
class Compuesto {
 public:
  std::u16string toma(std::u16string_view trozo) {
    std::u16string t = std::move(resto_);
    t += trozo;
    size_t corte = t.size();
    while (corte > 0 && esCombinante(t[corte - 1])) --corte;
    if (corte > 0) --corte;
    resto_ = t.substr(corte);
    t.resize(corte);
    return nfc(t);
  }
  std::u16string fin() {
    std::u16string t = std::move(resto_);
    resto_.clear();
    return nfc(t);
  }

 private:
  static bool esCombinante(char16_t c) {
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1DC0 && c <= 0x1DFF) || (c >= 0x20D0 && c <= 0x20FF);
  }
  std::u16string resto_;
};

// ---- Unicode to a face -----------------------------------------------------------

class ACara : public Conversor {
 public:
  ACara(const Tablas& t, std::u16string_view cara, const Opciones& o, Informe* inf)
      : t_(t), cara_(cara), c_(t.cara(cara)), inf_(inf), saltos_(o.conservaLineas),
        glifos_(cara == cara::kAthenian || cara == cara::kGreek) {}

  void alimenta(std::u16string_view trozo, std::u16string& salida) override {
    escribe(compuesto_.toma(trozo), salida);
  }
  void termina(std::u16string& salida) override {
    escribe(compuesto_.fin(), salida);
    saltos_.finTrozo(salida);
  }

 private:
  void escribe(const std::u16string& n, std::u16string& salida) {
    salida.reserve(salida.size() + n.size());
    for (char16_t c : n) {
      if (esSalto(c)) {
        saltos_.salto(c, salida);
        continue;
      }
      saltos_.otro();
      auto it = hecho_.find(c);
      if (it == hecho_.end()) it = hecho_.emplace(c, deletrea(c)).first;
      if (it->second) {
        salida += *it->second;
        continue;
      }
      if (inf_) {
        // The code point as the signed 16-bit number the report has always shown.
        const auto u = static_cast<int16_t>(c);
        if (t_.porCoduni(c))
          inf_->sinLetra(u, c, cara_);
        else
          inf_->sinSonido(u, c);
      }
      salida += c;
    }
    saltos_.finTrozo(salida);
  }
  int32_t byteDe(int32_t codlet) const { return c_ ? c_->codigo(codlet) : -1; }
  int32_t byteLetra(const Letra& l) const {
    int32_t u = compone(t_, l);
    if (u < 0) return -1;
    const FilaSonido* f = t_.porCoduni(u);
    return f ? byteDe(f->codlet) : -1;
  }
  int32_t byteMarca(int32_t acc, int32_t esp, int32_t die, int32_t iot, bool antes) const {
    Marca m{acc, esp, die, iot, antes};
    return byteDe(codletMarca(m));
  }

  // The bytes of the face that spell `c`, if it can.
  std::optional<std::u16string> deletrea(char16_t c) const {
    if (!c_) return std::nullopt;
    if (c < 128 && c_->letra(c) == kIdentidad) return std::u16string(1, c);
    const FilaSonido* f = t_.porCoduni(c);
    if (!f) return std::nullopt;
    std::vector<int32_t> b;
    if (int32_t k = byteDe(f->codlet); k >= 0) {
      b = {k};
    } else if (f->codfon >= 1 && f->codfon <= 24) {
      b = partes(letraDe(*f));
    }
    if (b.empty()) return std::nullopt;
    std::u16string r;
    for (int32_t k : b) r += deCodigo8(k);
    return r;
  }

  // A letter as a simpler letter and mark bytes; empty when the face has none.
  std::vector<int32_t> partes(const Letra& l) const {
    const bool conMarcas = l.acc || l.esp || l.die;
    if (glifos_) {
      if (l.may) {
        // Marks before the capital; an iota subscript after it.
        int32_t base = byteLetra({l.fon, 0, 0, 1, 0, 0});
        int32_t pre = conMarcas ? byteMarca(l.acc, l.esp, l.die, 0, true) : -2;
        int32_t post = l.iot == 1 ? byteMarca(0, 0, 0, 1, false) : -2;
        if (base < 0 || pre == -1 || post == -1) return {};
        std::vector<int32_t> r;
        if (pre >= 0) r.push_back(pre);
        r.push_back(base);
        if (post >= 0) r.push_back(post);
        return r;
      }
      if (l.iot == 1) {
        int32_t base = byteLetra({l.fon, l.acc, l.esp, 0, l.die, 0});
        int32_t post = byteMarca(0, 0, 0, 1, false);
        if (base >= 0 && post >= 0) return {base, post};
      }
      return {};
    }
    // Marks after the letter. A letter with its iota in one byte (SGreek)
    // is preferred to the letter and the iota mark.
    std::vector<int32_t> r;
    int32_t base = l.iot == 1 ? byteLetra({l.fon, 0, 0, l.may, 0, 1}) : -1;
    bool iota = l.iot == 1 && base < 0;
    if (base < 0) base = byteLetra({l.fon, 0, 0, l.may, 0, l.iot == 3 ? 3 : 0});
    if (base < 0) return {};
    r.push_back(base);
    if (conMarcas) {
      if (int32_t m = byteMarca(l.acc, l.esp, l.die, 0, false); m >= 0) {
        r.push_back(m);
      } else {
        for (auto [a, e, d] : {std::array<int32_t, 3>{0, l.esp, 0}, {0, 0, l.die}, {l.acc, 0, 0}}) {
          if (!a && !e && !d) continue;
          int32_t mk = byteMarca(a, e, d, 0, false);
          if (mk < 0) return {};
          r.push_back(mk);
        }
      }
    }
    if (iota) {
      int32_t m = byteMarca(0, 0, 0, 1, false);
      if (m < 0) return {};
      r.push_back(m);
    }
    return r;
  }

  const Tablas& t_;
  std::u16string cara_;
  const Cara* c_;
  Informe* inf_;
  Saltos saltos_;
  Compuesto compuesto_;
  bool glifos_;
  mutable std::unordered_map<char16_t, std::optional<std::u16string>> hecho_;
};

// ---- Unicode to BetaCode -----------------------------------------------------------

class ABeta : public Conversor {
 public:
  ABeta(const Tablas& t, const Opciones& o, Informe* inf) : t_(t), inf_(inf), saltos_(o.conservaLineas) {}

  void alimenta(std::u16string_view trozo, std::u16string& salida) override {
    escribe(compuesto_.toma(trozo), salida);
  }
  void termina(std::u16string& salida) override {
    escribe(compuesto_.fin(), salida);
    if (sigma_) cierraSigma(0, salida);
    saltos_.finTrozo(salida);
  }

 private:
  void escribe(const std::u16string& n, std::u16string& salida) {
    salida.reserve(salida.size() + n.size() * 3 / 2);
    for (char16_t c : n) {
      if (sigma_) cierraSigma(c, salida);
      if (esSalto(c)) {
        saltos_.salto(c, salida);
        continue;
      }
      saltos_.otro();
      escribeCar(c, salida);
    }
    saltos_.finTrozo(salida);
  }
  bool esLetra(char16_t c) const {
    const FilaSonido* f = t_.porCoduni(c);
    return f && ((f->codfon >= 1 && f->codfon <= 24) || f->codfon == 33);
  }

  // A sigma waits for the next character: "s" is read as final before a
  // non-letter, so a medial sigma there is "s1" and a final one inside a
  // word "s2". Before a digit, which "s" would take for its code, the code
  // is always written.
  void cierraSigma(char16_t sigue, std::u16string& salida) {
    const bool letra = sigue && (esLetra(sigue) || sigue == u'\u2019');
    const bool digito = sigue >= u'0' && sigue <= u'9';
    salida += u's';
    if (sigma_ == 1 && (!letra || digito)) salida += u'1';
    if (sigma_ == 3 && (letra || digito)) salida += u'2';
    if (sigma_ == 2 && digito) salida += u'1';
    sigma_ = 0;
  }

  void escribeCar(char16_t c, std::u16string& salida) {
    switch (c) {
      case u'\u0374': case u'\u02B9': salida += u'#'; return;
      case u'\u0375': salida += u"#22"; return;
      case u'\u03DF': salida += u"#1"; return;
      case u'\u03DB': salida += u"#2"; return;
      case u'\u03D9': salida += u"#3"; return;
      case u'\u03E1': salida += u"#5"; return;
      case u'\u03DD': salida += u'v'; return;
      case u'\u03DC': salida += u"*v"; return;
      case u'\u03F2': salida += u"s3"; return;
      case u'\u03F9': salida += u"*s3"; return;
      case u'\u2014': salida += u'_'; return;
      case u'\u2019': case u'\u1FBD': case u'\u02BC': salida += u'\''; return;
      case u'\u00B7': case u'\u0387': salida += u':'; return;
      case u'(': salida += u"[1"; return;
      case u')': salida += u"]1"; return;
      default: break;
    }
    const FilaSonido* f = t_.porCoduni(c);
    if (f && f->codfon >= 1 && f->codfon <= 24) {
      char16_t letra = kLetrasBeta[static_cast<size_t>(f->codfon - 1)];
      std::u16string marcas;
      if (f->codesp == 1) marcas += u')';
      if (f->codesp == 2) marcas += u'(';
      if (f->coddie) marcas += u'+';
      if (f->codacc == 1) marcas += u'/';
      if (f->codacc == 2) marcas += u'\\';
      if (f->codacc == 3) marcas += u'=';
      if (f->codiot == 1) marcas += u'|';
      if (f->codmay) {
        salida += u'*';
        salida += marcas;
        if (f->codfon == 18 && marcas.empty()) {
          sigma_ = 2;  // waits too: "*s" before a digit is "*s1"
          return;
        }
        salida += letra;
        return;
      }
      if (f->codfon == 18 && marcas.empty()) {
        sigma_ = f->codiot == 3 ? 3 : 1;
        return;
      }
      salida += letra;
      salida += marcas;
      return;
    }
    // What BetaCode writes as itself; letters of other scripts and the
    // characters BetaCode gives a meaning are reported and copied.
    const bool propio = c == u' ' || c == u'.' || c == u',' || c == u';' || c == u'[' ||
                        c == u']' || c == u'\t' || c == u'-' || c == u'!' || c == u'?' ||
                        (c >= u'0' && c <= u'9') || c == u'"' || c == u'<' || c == u'>';
    if (!propio && inf_) inf_->sinSonido(c, c);
    salida += c;
  }

  const Tablas& t_;
  Informe* inf_;
  Saltos saltos_;
  Compuesto compuesto_;
  int sigma_ = 0;  // 1 medial sigma waiting, 2 capital, 3 final
};

}  // namespace

// ---- Report ------------------------------------------------------------------------

std::u16string numero(int64_t x) {
  std::u16string r = x < 0 ? u"-" : u" ";
  uint64_t v = x < 0 ? static_cast<uint64_t>(-x) : static_cast<uint64_t>(x);
  std::u16string d;
  do {
    d.insert(d.begin(), static_cast<char16_t>(u'0' + v % 10));
    v /= 10;
  } while (v);
  return r + d;
}

std::u16string lineaLetras(int64_t codigo, char16_t c, std::u16string_view cara) {
  std::u16string r = u"No se encontró el carácter " + numero(codigo) + u" ";
  r += c;
  r += u" de la fuente ";
  r += cara;
  r += u" en alpha-letras\r\n";
  return r;
}

std::u16string lineaSonido(int64_t codigo) {
  return u"No se encontró el carácter " + numero(codigo) + u" en alpha-sonido\r\n";
}

void Informe::sinLetra(int64_t codigo, char16_t c, std::u16string_view cara) {
  cuenta(c);
  // A text of unmapped characters repeats the same few lines: build each once.
  if (codigo != ultimoCodigo_ || c != ultimoCar_ || cara != ultimaCara_) {
    ultimoCodigo_ = codigo;
    ultimoCar_ = c;
    ultimaCara_ = cara;
    ultimaLinea_ = lineaLetras(codigo, c, cara);
  }
  escribe(ultimaLinea_);
}

void Informe::sinSonido(int64_t codigo, char16_t c) {
  cuenta(c);
  ultimoCar_ = 0;
  ultimaLinea_ = lineaSonido(codigo);
  escribe(ultimaLinea_);
}

void Informe::sinCombinacion(int64_t posicion, std::u16string_view letra) {
  cuenta(letra.empty() ? u'?' : letra[0]);
  std::u16string r = u"No se encontró la letra ";
  r += letra;
  r += u" con sus signos en alpha-sonido (posición" + numero(posicion) + u")\r\n";
  escribe(r);
}

void Informe::termina() {
  if (lineas_ == 0) return;
  escribe(u"Resumen:" + numero(static_cast<int64_t>(lineas_)) + u" caracteres sin convertir\r\n");
  for (const auto& [c, n] : veces_) {
    std::u16string r = u"  carácter " + numero(c) + u" ";
    r += c;
    r += u":" + numero(static_cast<int64_t>(n)) + (n == 1 ? u" vez\r\n" : u" veces\r\n");
    escribe(r);
  }
}

// ---- Factories and whole texts ------------------------------------------------------

std::unique_ptr<Conversor> aUnicode(const Tablas& t, std::u16string_view origen,
                                    const Opciones& o, Informe* informe) {
  if (origen == cara::kAthenian || origen == cara::kGreek)
    return std::make_unique<DeGlifos>(t, origen, o, informe);
  return std::make_unique<DeMarcas>(t, origen, origen == kBetaCode, o, informe);
}

std::unique_ptr<Conversor> deUnicode(const Tablas& t, std::u16string_view destino,
                                     const Opciones& o, Informe* informe) {
  if (destino == kBetaCode) return std::make_unique<ABeta>(t, o, informe);
  return std::make_unique<ACara>(t, destino, o, informe);
}


void utf8(std::u16string_view texto, std::string& salida) {
  size_t n = salida.size();
  salida.resize(n + texto.size() * 3 + 1);
  char* p = salida.data() + n;
  for (size_t i = 0; i < texto.size(); ++i) {
    char32_t c = texto[i];
    if (c < 0xD800 || c > 0xDFFF) {
      p = ponUtf8(p, static_cast<char16_t>(c));
      continue;
    }
    if (c <= 0xDBFF && i + 1 < texto.size() && texto[i + 1] >= 0xDC00 && texto[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (texto[++i] - 0xDC00);
      *p++ = static_cast<char>(0xF0 | (c >> 18));
      *p++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      *p++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
      p = ponUtf8(p, u'\uFFFD');
    }
  }
  salida.resize(static_cast<size_t>(p - salida.data()));
}

void Conversor::alimentaBytes(std::string_view bytes, std::string& salida) {
  std::u16string r;
  alimenta(cp1252::decode(bytes), r);
  utf8(r, salida);
}

std::u16string convierte(Conversor& c, std::u16string_view texto, Bombeo* b) {
  std::u16string r;
  constexpr size_t kTrozo = 1 << 14;
  for (size_t i = 0; i < texto.size(); i += kTrozo) {
    size_t n = std::min(kTrozo, texto.size() - i);
    // A piece never ends between the halves of a surrogate pair.
    if (i + n < texto.size() && texto[i + n - 1] >= 0xD800 && texto[i + n - 1] < 0xDC00) ++n;
    c.alimenta(texto.substr(i, n), r);
    if (b) b->avanza(n);
    if (n > kTrozo) i += n - kTrozo;
  }
  c.termina(r);
  return r;
}

namespace {
std::u16string conInforme(std::unique_ptr<Conversor> c, std::u16string_view texto,
                          InformeTexto& inf, std::u16string& informe, Bombeo* b) {
  std::u16string r = convierte(*c, texto, b);
  informe = std::move(inf.texto);
  return r;
}
}  // namespace

std::u16string traduce(const Tablas& t, std::u16string_view texto, std::u16string_view cara,
                       std::u16string& informe, const Opciones& o, Bombeo* b) {
  InformeTexto inf;
  return conInforme(aUnicode(t, cara, o, &inf), texto, inf, informe, b);
}

std::u16string traCom(const Tablas& t, std::u16string_view texto, std::u16string_view cara,
                      const Opciones& o, Bombeo* b) {
  auto c = aUnicode(t, cara, o);
  return convierte(*c, texto, b);
}

std::u16string traBet(const Tablas& t, std::u16string_view texto, bool esBeta, const Opciones& o,
                      Bombeo* b) {
  auto c = aUnicode(t, esBeta ? kBetaCode : cara::kSgreek, o);
  return convierte(*c, texto, b);
}

std::u16string traducea(const Tablas& t, std::u16string_view texto, std::u16string_view cara,
                        std::u16string& informe, const Opciones& o, Bombeo* b) {
  InformeTexto inf;
  return conInforme(deUnicode(t, cara, o, &inf), texto, inf, informe, b);
}

std::u16string aBetaCode(const Tablas& t, std::u16string_view texto) {
  auto c = deUnicode(t, kBetaCode, {true});
  return convierte(*c, texto);
}

}  // namespace kalyxon::conversion
