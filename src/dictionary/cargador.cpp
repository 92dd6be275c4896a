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

}  // namespace

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
  if (kAceptados.find(m) == std::u16string_view::npos) return false;
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
  if (kLugares.find(m) == std::u16string_view::npos) return false;  // "?"
  bool separador = kSeparadores.find(c) != std::u16string_view::npos;
  if (hayPrevio_) {
    char16_t pm = minuscula(previo_);
    auto codigo = kCodigos.find(pm) + 1;
    if (separador && may_ == 0 && pm == u's') iot_ = 3;
    if (pm == u'\'') {
      // The elision mark is not a letter of this alphabet (its code belongs
      // to the underscore here): it is dropped like a letter without a row,
      // so the elided form is stored as the letters a typed word has.
      may_ = acc_ = esp_ = iot_ = 0;
    } else if (codigo < 26) {
      const RegSonido* f =
          letras_.sonidoPorMarcas(static_cast<uint8_t>(codigo), acc_, esp_, may_, 0, iot_);
      may_ = acc_ = esp_ = iot_ = 0;
      if (f) {
        actual_.clave += previo_;
        actual_.lista += std::to_string(f->coduni);
        actual_.lista += ';';
        actual_.forma += static_cast<char16_t>(f->coduni);
      }
    }
  }
  if (separador) {
    hecha_ = std::move(actual_);
    actual_ = {};
  }
  previo_ = c;
  hayPrevio_ = true;
  return separador;
}

bool esUnicodeGriego(std::string_view s) {
  bool griego = false;
  for (size_t i = 0; i < s.size();) {
    auto b = static_cast<unsigned char>(s[i]);
    int n = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    char32_t c = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
    for (int k = 1; k < n; ++k) {
      auto t = static_cast<unsigned char>(s[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      c = (c << 6) | (t & 0x3F);
    }
    if ((c >= 0x370 && c < 0x400) || (c >= 0x1F00 && c < 0x2000)) griego = true;
    i += n;
  }
  return griego;
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
  std::u16string texto;
  r.unicode = esUnicodeGriego(bytes);
  if (r.unicode) {
    texto = betaDeUnicode(lexico::utf16(bytes), letras_);
  } else {
    texto.reserve(bytes.size());
    for (char b : bytes) texto += static_cast<char16_t>(static_cast<unsigned char>(b));
  }
  auto& base = destino_.base();
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
