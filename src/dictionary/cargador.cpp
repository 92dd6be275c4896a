#include "dictionary/cargador.h"

#include <algorithm>
#include <optional>


#include "dictionary/normaliza.h"

namespace kalyxon {

namespace {

constexpr std::u16string_view kAceptados = u"abgdezhqiklmncoprstufxyw\\/()=*| .;:?,'";
constexpr std::u16string_view kLugares = u"abgdezhqiklmncoprstufxyw__ .,;:'";
constexpr std::u16string_view kCodigos = u"abgdezhqiklmncoprstufxyw'__ .,;:";
constexpr std::u16string_view kSeparadores = u",; .:_";
constexpr std::u16string_view kLetrasBeta = u"abgdezhqiklmncoprstufxyw";

char16_t minuscula(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }
char16_t mayuscula(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; }

// What one ASCII character is to the reader, looked up once instead of
// searched for in the lists above at every character of a long text.
struct Tabla128 {
  bool aceptado[128] = {}, lugar[128] = {}, separador[128] = {};
  uint8_t codigo[128] = {};  // position in kCodigos + 1, 0 when absent
  constexpr Tabla128() {
    for (char16_t c : kAceptados) aceptado[c] = true;
    for (char16_t c : kLugares) lugar[c] = true;
    for (char16_t c : kSeparadores) separador[c] = true;
    for (size_t i = kCodigos.size(); i-- > 0;) codigo[kCodigos[i]] = static_cast<uint8_t>(i + 1);
  }
};
constexpr Tabla128 kTabla;

void anadeDecimal(std::string& s, int32_t v) {
  char buf[12];
  int n = 0;
  auto u = static_cast<uint32_t>(v);
  do {
    buf[n++] = static_cast<char>('0' + u % 10);
    u /= 10;
  } while (u);
  while (n) s += buf[--n];
}

}  // namespace

const RegSonido* LectorBeta::sonido(int codigo) {
  // The alphabet's own lookup, remembered per combination of marks.
  size_t i = ((static_cast<size_t>(codigo) * 4 + acc_) * 3 + esp_) * 2 * 4 + may_ * 4u + iot_;
  if (i >= cache_.size()) return letras_.sonidoPorMarcas(static_cast<uint8_t>(codigo), acc_, esp_, may_, 0, iot_);
  if (!cacheHecho_[i]) {
    cache_[i] = letras_.sonidoPorMarcas(static_cast<uint8_t>(codigo), acc_, esp_, may_, 0, iot_);
    cacheHecho_[i] = true;
  }
  return cache_[i];
}

bool LectorBeta::lee(char16_t c) {
  if (c == u'j') c = u's';
  if (c == u'J') c = u'S';
  if (saltando_) {
    if (c == u'}') saltando_ = false;
    return false;
  }
  if (c == u'{') {
    saltando_ = true;
    return false;
  }
  char16_t m = minuscula(c);
  if (m >= 128 || !kTabla.aceptado[m]) return false;
  switch (c) {
    case u'*': may_ = 1; return false;
    case u')': esp_ = 1; return false;
    case u'(': esp_ = 2; return false;
    case u'|': iot_ = 1; return false;
    case u'/': acc_ = 1; return false;
    case u'\\': acc_ = 2; return false;
    case u'=': acc_ = 3; return false;
    default: break;
  }
  if (!kTabla.lugar[m]) return false;  // "?"
  bool separador = c < 128 && kTabla.separador[c];
  if (hayPrevio_) {
    char16_t pm = minuscula(previo_);
    size_t codigo = pm < 128 && kTabla.codigo[pm] ? kTabla.codigo[pm] : 0;
    if (separador && may_ == 0 && pm == u's') iot_ = 3;
    if (pm == u'\'') {
      // The elision mark is not a letter of this alphabet (its code belongs
      // to the underscore here): it is dropped like a letter without a row,
      // so the elided form is stored as the letters a typed word has.
      may_ = acc_ = esp_ = iot_ = 0;
    } else if (codigo < 26) {
      const RegSonido* f = sonido(static_cast<int>(codigo));
      may_ = acc_ = esp_ = iot_ = 0;
      if (f) {
        actual_.clave += mayuscula(previo_);
        anadeDecimal(actual_.lista, f->coduni);
        actual_.lista += ';';
        actual_.forma += static_cast<char16_t>(f->coduni);
      }
    }
  }
  if (separador) {
    // The two words trade places and the new one is emptied, keeping its
    // buffers: no allocation per word.
    std::swap(hecha_, actual_);
    actual_.clave.clear();
    actual_.lista.clear();
    actual_.forma.clear();
  }
  previo_ = c;
  hayPrevio_ = true;
  return separador;
}

namespace {

// Walks UTF-8: Greek letters seen, and the offsets of bytes that are not
// part of a well-formed sequence.
struct RecuentoUtf8 {
  int64_t griegas = 0, invalidos = 0;
  std::vector<int64_t> donde;
};

RecuentoUtf8 recorreUtf8(std::string_view s) {
  RecuentoUtf8 r;
  for (size_t i = 0; i < s.size();) {
    auto b = static_cast<unsigned char>(s[i]);
    int n = b < 0x80 ? 1 : (b >= 0xC2 && b <= 0xDF) ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b >= 0xF0 && b <= 0xF4) ? 4 : 0;
    bool bien = n > 0 && i + static_cast<size_t>(n) <= s.size();
    char32_t c = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
    for (int k = 1; bien && k < n; ++k) {
      auto t = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
      if ((t & 0xC0) != 0x80) bien = false;
      c = (c << 6) | (t & 0x3F);
    }
    if (bien && ((n == 3 && (c < 0x800 || (c >= 0xD800 && c < 0xE000))) || (n == 4 && (c < 0x10000 || c > 0x10FFFF))))
      bien = false;
    if (!bien) {
      if (r.donde.size() < 10) r.donde.push_back(static_cast<int64_t>(i));
      ++r.invalidos;
      ++i;
      continue;
    }
    if ((c >= 0x370 && c < 0x400) || (c >= 0x1F00 && c < 0x2000)) ++r.griegas;
    i += static_cast<size_t>(n);
  }
  return r;
}

}  // namespace

bool esUnicodeGriego(std::string_view s) {
  auto r = recorreUtf8(s);
  return r.griegas > 0 && r.invalidos <= r.griegas;
}

std::string TipoTexto::nombre() const {
  switch (tipo) {
    case utf8: return bom ? "UTF-8 with BOM" : "UTF-8";
    case utf16le: return "UTF-16LE";
    case utf16be: return "UTF-16BE";
    case binario: return "binary";
    case beta: break;
  }
  return "BetaCode";
}

TipoTexto detectaTexto(std::string_view b) {
  TipoTexto t;
  if (b.starts_with("\xEF\xBB\xBF")) {
    t.tipo = TipoTexto::utf8;
    t.bom = true;
  } else if (b.starts_with("\xFF\xFE")) {
    t.tipo = TipoTexto::utf16le;
    t.bom = true;
    return t;
  } else if (b.starts_with("\xFE\xFF")) {
    t.tipo = TipoTexto::utf16be;
    t.bom = true;
    return t;
  } else if (b.find('\0') != std::string_view::npos) {
    t.tipo = TipoTexto::binario;
    return t;
  }
  auto r = recorreUtf8(t.bom ? b.substr(3) : b);
  if (t.bom || (r.griegas > 0 && r.invalidos <= r.griegas)) {
    t.tipo = TipoTexto::utf8;
    t.invalidos = r.invalidos;
    t.dondeInvalidos = std::move(r.donde);
    if (t.bom)
      for (auto& d : t.dondeInvalidos) d += 3;
  }
  return t;
}

std::u16string betaDeUnicode(std::u16string_view textoIn, const Alfabeto& letras) {
  std::u16string texto = nfc(textoIn);
  std::u16string out;
  out.reserve(texto.size() * 2);
  for (char16_t c : texto) {
    switch (c) {
      case u'.': case u',': case u';': case u':': case u'_':
        out += c;
        continue;
      case u'\u037E': out += u';'; continue;
      case u'\u00B7': case u'\u0387': out += u':'; continue;
      case u'\'': case u'\u2019': case u'\u02BC': case u'\u1FBD': case u'\u1FBF':
        out += u'\'';
        continue;
      default: break;
    }
    const RegSonido* f = letras.sonidoPorUni(c);
    if (f && f->codfon >= 1 && f->codfon <= 24) {
      out += mayuscula(kLetrasBeta[f->codfon - 1]);
      if (f->codmay) out += u'*';
      if (f->codesp == 1) out += u')';
      if (f->codesp == 2) out += u'(';
      if (f->codacc == 1) out += u'/';
      if (f->codacc == 2) out += u'\\';
      if (f->codacc == 3) out += u'=';
      if (f->codiot == 1) out += u'|';
      continue;
    }
    bool griego = (c >= 0x370 && c < 0x400) || (c >= 0x1F00 && c < 0x2000) ||
                  (c >= 0x300 && c < 0x370);  // combining marks left over
    if (!griego) out += u' ';
  }
  return out;
}

void Carga::cuenta(const LectorBeta::Palabra& p, Resultado& r) {
  if (p.forma.empty()) return;
  ++r.palabras;
  if (p.clave.size() >= 31) return;
  auto [it, primera] = pendientes_.try_emplace(p.lista);
  Pendiente& e = it->second;
  ++e.veces;
  if (!primera) return;
  orden_.push_back(p.lista);
  if (auto reg = destino_.buscaForma(p.lista)) {
    e.id = reg->id;
    e.antes = reg->frecuencia;
  } else {
    e.nueva = true;
    e.clave = p.clave;
    ++r.nuevas;
    if (nueva) nueva(p.forma, r.nuevas);
  }
}

void Carga::vuelca() {
  for (const auto& lista : orden_) {
    const Pendiente& e = pendientes_.at(lista);
    if (e.nueva)
      destino_.anade(e.clave, lista, std::min(e.veces, kTopeCarga));
    else if (e.antes < kTopeCarga)
      destino_.cambiaFrecuencia(e.id, static_cast<int32_t>(std::min<int64_t>(
                                          int64_t{e.antes} + e.veces, kTopeCarga)));
  }
  pendientes_.clear();
  orden_.clear();
}

Carga::Resultado Carga::ejecuta(std::string_view bytes) {
  Resultado r;
  r.tipo = detectaTexto(bytes);
  pendientes_.reserve(std::min<size_t>(loteFormas, bytes.size() / 64 + 1024));
  std::u16string texto;
  switch (r.tipo.tipo) {
    case TipoTexto::binario:
      throw lexico::Error("not a text: the file holds NUL bytes and no byte-order mark", 0,
                          u"el archivo no es un texto (contiene bytes nulos)");
    case TipoTexto::utf8:
      texto = betaDeUnicode(lexico::utf16(r.tipo.bom ? bytes.substr(3) : bytes), letras_);
      r.unicode = true;
      break;
    case TipoTexto::utf16le:
    case TipoTexto::utf16be: {
      std::u16string u;
      u.reserve(bytes.size() / 2);
      const bool le = r.tipo.tipo == TipoTexto::utf16le;
      for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        auto a = static_cast<unsigned char>(bytes[i]), z = static_cast<unsigned char>(bytes[i + 1]);
        u += static_cast<char16_t>(le ? (z << 8 | a) : (a << 8 | z));
      }
      texto = betaDeUnicode(u, letras_);
      r.unicode = true;
      break;
    }
    case TipoTexto::beta:
      texto.reserve(bytes.size());
      for (char b : bytes) {
        // A line end (or a tab) separates words like a blank.
        char16_t c = static_cast<char16_t>(static_cast<unsigned char>(b));
        texto += (c == u'\n' || c == u'\r' || c == u'\t') ? u' ' : c;
      }
      break;
  }
  auto& base = destino_.base();
  lexico::Base::CacheAmplia cache(base);
  std::optional<lexico::Base::Transaccion> tr;
  tr.emplace(base);
  LectorBeta lector(letras_);
  int64_t total = static_cast<int64_t>(texto.size());
  int ultimo = 0, hastaPendientes = cadaCuantos;
  try {
    for (int64_t pos = 0; pos < total; ++pos) {
      if (--hastaPendientes <= 0) {
        hastaPendientes = cadaCuantos;
        if (pendientes) pendientes();
      }
      int pc = static_cast<int>((pos + 1) * 100 / total);
      if (pc != ultimo) {
        ultimo = pc;
        if (porcentaje) porcentaje(pc, pos + 1);
      }
      if (!lector.lee(texto[static_cast<size_t>(pos)])) continue;
      cuenta(lector.palabra(), r);
      if (pendientes_.size() >= loteFormas) {
        vuelca();
        tr->confirma();
        tr.emplace(base);
      }
      if (parar && parar()) {
        r.parada = true;
        break;
      }
    }
    // The last word counts even when the text ends without a blank or a
    // line end after it.
    if (!r.parada && lector.lee(u' ')) cuenta(lector.palabra(), r);
  } catch (...) {
    // The counts of the batch in progress are dropped with its transaction:
    // writing them now could only be partial.
    pendientes_.clear();
    orden_.clear();
    throw;
  }
  vuelca();
  tr->confirma();
  return r;
}

}  // namespace kalyxon
