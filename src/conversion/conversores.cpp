#include "conversion/conversores.h"

#include <array>

#include "util/cadgen.h"
#include "util/cp1252.h"

namespace kalyxon::conversion {

namespace {

constexpr std::u16string_view kA1 = u"abgdezhqiklmncoprstufxyw\\/()=*| .;:?,'";
constexpr std::u16string_view kBase = u"abgdezhqiklmncoprstufxyw__ .,;:'";
constexpr std::u16string_view kMayusculas = u"ABGDEZHQIKLMNCOPRSTUFXYW";

// The 8-bit code of a character of a legacy text, and back.
int codigo8(char16_t c) { return static_cast<unsigned char>(cp1252::encodeChar(c)); }
char16_t deCodigo8(int k) {
  static const std::u16string tabla = [] {
    std::string bytes(256, 0);
    for (int i = 0; i < 256; ++i) bytes[static_cast<size_t>(i)] = static_cast<char>(i);
    return cp1252::decode(bytes);
  }();
  return tabla[static_cast<size_t>(k & 0xFF)];
}

char16_t minuscula(char16_t c) { return c >= u'A' && c <= u'Z' ? c + 32 : c; }

// Membership of the ASCII characters in a string, as a table: the converters
// ask it for every character of the text.
struct Conjunto {
  std::array<int8_t, 128> pos{};  // 1-based position in the string, 0 when absent
  constexpr explicit Conjunto(std::u16string_view s) {
    for (size_t i = s.size(); i-- > 0;)
      if (s[i] < 128) pos[s[i]] = static_cast<int8_t>(i + 1);
  }
  // Position (from 1) of c in the string, 0 when it is not there.
  int posicion(char16_t c) const { return c < 128 ? pos[c] : 0; }
  bool tiene(char16_t c) const { return posicion(c) != 0; }
};

constexpr Conjunto kEnA1(kA1);
constexpr Conjunto kEnBase(kBase);
constexpr Conjunto kEnMayusculas(kMayusculas);

bool esSalto(char16_t c) { return c == u'\r' || c == u'\n'; }

// The characters after which a sigma is final: the word separators.
bool cierraSigma(char16_t c) { return CadGen::esSeparador(c); }

void agregaCodigo(std::u16string& r, int32_t cp) {
  if (cp >= 0x10000 && cp <= 0x10FFFF) {
    cp -= 0x10000;
    r += static_cast<char16_t>(0xD800 + (cp >> 10));
    r += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  } else {
    r += static_cast<char16_t>(cp & 0xFFFF);
  }
}

// A letter and the marks read after it, waiting for the next base character.
struct Pendiente {
  int32_t acc = 0, esp = 0, may = 0, die = 0, iot = 0;
  void limpia() { acc = esp = die = iot = 0; }
};

}  // namespace

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

std::u16string traduce(const Tablas& t, std::u16string_view texto, std::u16string_view cara,
                       std::u16string& informe, const Opciones& o, Bombeo* b) {
  informe.clear();
  // Every 8-bit code of the face resolved once: the code point, or the
  // failure to report.
  constexpr int32_t kSinLetra = -1;
  std::array<int32_t, 256> glifo;
  std::array<int32_t, 256> letra;
  const Cara* c = t.cara(cara);
  for (int k = 0; k < 256; ++k) {
    letra[k] = c ? c->letra(k) : -1;
    if (letra[k] < 0) {
      glifo[k] = kSinLetra;
    } else {
      const FilaSonido* f = t.porCodlet(letra[k]);
      glifo[k] = f ? f->coduni : -2;
    }
  }
  std::u16string r;
  r.reserve(texto.size());
  for (char16_t ch : texto) {
    if (b) (*b)();
    int k = codigo8(ch);
    if (k == 13 || k == 10) {
      if (o.conservaLineas) r += ch;
      continue;
    }
    int32_t g = glifo[static_cast<size_t>(k)];
    if (g >= 0) {
      agregaCodigo(r, g);
    } else {
      informe += g == kSinLetra ? lineaLetras(k, ch, cara) : lineaSonido(letra[k]);
      r += ch;
    }
  }
  return r;
}

std::u16string traCom(const Tablas& t, std::u16string_view texto, std::u16string_view cara,
                      const Opciones& o, Bombeo* b) {
  const bool graeca = cara == cara::kGraeca;
  const char16_t suave = u')', aspera = u'(';
  const char16_t aguda = graeca ? u'v' : u'/';
  const char16_t grave = graeca ? u';' : u'\\';
  const char16_t circunflejo = u'=';
  const char16_t iota = graeca ? u'/' : u'|';
  const Cara* cf = t.cara(cara);

  Pendiente m;
  bool iotaDeLetra = false;
  char16_t p = 0;  // the base character held back; 0 when none
  std::u16string r;
  r.reserve(texto.size());

  auto emite = [&](char16_t sigue) {
    if (cierraSigma(sigue) && m.may == 0 && minuscula(p) == u's') m.iot = 3;
    int32_t l = cf ? cf->letra(codigo8(p)) : -1;
    if (l < 0) {
      if (p == u' ') r += u' ';
    } else if (const FilaSonido* f = t.porCodlet(l)) {
      int32_t u = t.porMarcas(f->codfon, m.acc, m.esp, m.may, m.die, m.iot);
      if (u >= 0) {
        if ((u & 0xFFFF) == 0)
          r += u' ';
        else
          agregaCodigo(r, u);
        m.may = 0;
      }
    }
    // A capital whose lookup failed keeps its marks for the next letter.
    if (m.may == 0) m.limpia();
  };

  auto paso = [&](char16_t c) {
    if (b) (*b)();
    if (c == u'j') c = u's';
    if (o.conservaLineas && esSalto(c)) {
      if (p) emite(u' ');
      p = 0;
      r += c;
      return;
    }
    if (c == suave) m.esp = 1;
    if (c == aspera) m.esp = 2;
    if (c == iota) m.iot = 1;
    if (c == aguda) m.acc = 1;
    if (c == grave) m.acc = 2;
    if (c == circunflejo) m.acc = 3;
    if (c == u'J') {
      c = u'w';
      iotaDeLetra = true;
    } else if (c == u'V') {
      c = u'h';
      iotaDeLetra = true;
    }
    if (!kEnBase.tiene(minuscula(c))) return;
    if (p) emite(c);
    if (kEnMayusculas.tiene(c)) m.may = 1;
    if (iotaDeLetra) {
      m.iot = 1;
      iotaDeLetra = false;
    }
    p = c;
  };

  for (char16_t c : texto) paso(c);
  paso(u' ');  // flushes the last letter; the space itself stays held back
  return r;
}

std::u16string traBet(const Tablas& t, std::u16string_view texto, bool esBeta,
                      const Opciones& o, Bombeo* b) {
  Pendiente m;
  char16_t p = 0;
  std::u16string r;
  r.reserve(texto.size());

  auto emite = [&](char16_t sigue) {
    int32_t letra = kEnBase.posicion(minuscula(p));
    if (cierraSigma(sigue) && m.may == 0 && minuscula(p) == u's') m.iot = 3;
    int32_t u = t.porMarcas(letra, m.acc, m.esp, m.may, m.die, m.iot);
    if (u >= 0) {
      // The space is written once below, whatever its row holds.
      if (letra != 27) agregaCodigo(r, u);
      m.may = 0;
    }
    if (letra == 27) r += u' ';
    if (m.may == 0) m.limpia();
  };

  auto paso = [&](char16_t c) {
    if (b) (*b)();
    if (c == u'j')
      c = u's';
    else if (c == u'J')
      c = u'S';
    if (o.conservaLineas && esSalto(c)) {
      if (p) emite(u' ');
      p = 0;
      r += c;
      return;
    }
    char16_t lc = minuscula(c);
    if (!kEnA1.tiene(lc)) return;
    if ((!esBeta && kEnMayusculas.tiene(c)) || c == u'*') m.may = 1;
    switch (c) {
      case u')': m.esp = 1; break;
      case u'(': m.esp = 2; break;
      case u'/': m.acc = 1; break;
      case u'\\': m.acc = 2; break;
      case u'=': m.acc = 3; break;
      case u'|': m.iot = 1; break;
      default: break;
    }
    if (!kEnBase.tiene(lc)) return;
    if (p) emite(c);
    p = c;
  };

  for (char16_t c : texto) paso(c);
  paso(u' ');
  return r;
}

std::u16string traducea(const Tablas& t, std::u16string_view texto, std::u16string_view cara,
                        std::u16string& informe, const Opciones& o, Bombeo* b) {
  informe.clear();
  const Cara* cf = t.cara(cara);
  std::u16string r;
  r.reserve(texto.size());
  for (char16_t c : texto) {
    if (b) (*b)();
    auto u = static_cast<int16_t>(c);
    if (u == 13 || u == 10) {
      if (o.conservaLineas) r += c;
      continue;
    }
    const FilaSonido* f = u >= 0 ? t.porCoduni(u) : nullptr;
    if (!f) {
      informe += lineaSonido(u);
      r += c;
      continue;
    }
    int32_t k = cf ? cf->codigo(f->codlet) : -1;
    if (k < 0 || k > 255) {
      informe += lineaLetras(u, c, cara);
      r += c;
      continue;
    }
    r += k == 55 ? u'\'' : deCodigo8(k);
  }
  return r;
}

std::u16string aBetaCode(const Tablas& t, std::u16string_view texto) {
  static constexpr std::u16string_view kLetras = u"abgdezhqiklmncoprstufxyw";
  std::u16string r;
  r.reserve(texto.size() * 2);
  for (char16_t c : texto) {
    const FilaSonido* f = t.porCoduni(c);
    if (!f || f->codfon < 1 || f->codfon > 32 || f->codfon == 26) {
      r += c;
      continue;
    }
    if (f->codfon > 24) {
      r += kBase[static_cast<size_t>(f->codfon - 1)];
      continue;
    }
    std::u16string marcas;
    if (f->codesp == 1) marcas += u')';
    if (f->codesp == 2) marcas += u'(';
    if (f->codacc == 1) marcas += u'/';
    if (f->codacc == 2) marcas += u'\\';
    if (f->codacc == 3) marcas += u'=';
    char16_t letra = kLetras[static_cast<size_t>(f->codfon - 1)];
    if (f->codmay) {
      r += u'*';
      r += marcas;
      r += letra;
    } else {
      r += letra;
      r += marcas;
    }
    if (f->coddie) r += u'+';
    if (f->codiot == 1) r += u'|';
  }
  return r;
}

}  // namespace kalyxon::conversion
