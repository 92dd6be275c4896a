#include "util/cadgen.h"

#ifdef KALYXON_HAVE_ICU
#include <unicode/uchar.h>
#elif defined(_WIN32)
#include <windows.h>
#endif

#include "util/utf.h"

namespace kalyxon::CadGen {

namespace {

// Upper case unit by unit, so that positions in the copy are positions in
// the original.
char16_t upperUnit(char16_t c) {
  if (c >= 0xD800 && c <= 0xDFFF) return c;
#ifdef KALYXON_HAVE_ICU
  const UChar32 u = u_toupper(static_cast<UChar32>(c));
  return u <= 0xFFFF ? static_cast<char16_t>(u) : c;
#elif defined(_WIN32)
  wchar_t w = static_cast<wchar_t>(c);
  // Linguistic casing: the plain table leaves final sigma as it is, ICU
  // (the Linux build) gives capital sigma.
  wchar_t u = w;
  if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE | LCMAP_LINGUISTIC_CASING, &w, 1, &u, 1,
                    nullptr, nullptr, 0) == 1)
    w = u;
  return static_cast<char16_t>(w);
#else
  return (c >= u'a' && c <= u'z') ? c - u'a' + u'A' : c;
#endif
}

std::u16string upper(std::u16string_view s) {
  std::u16string out(s);
  for (auto& c : out) c = upperUnit(c);
  return out;
}

int hexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

}  // namespace

std::u16string reemplaza(std::u16string& cadena, std::u16string_view buscar,
                         std::u16string_view poner, bool todas, bool sinMayusculas,
                         platform::MessagePump* pump) {
  if (buscar.empty()) return cadena;
  const std::u16string buscarMay = sinMayusculas ? upper(buscar) : std::u16string();
  const std::u16string ponerMay = sinMayusculas ? upper(poner) : std::u16string();
  std::u16string cadenaMay = sinMayusculas ? upper(cadena) : std::u16string();
  size_t desde = 0;
  // The text put in by the last replacement, [puesto, puestoFin).
  size_t puesto = 0, puestoFin = 0;
  bool hayPuesto = false;
  while (true) {
    if (pump) pump->processPending();
    const size_t p = sinMayusculas ? cadenaMay.find(buscarMay, desde) : cadena.find(buscar, desde);
    if (p == std::u16string::npos) break;
    if (hayPuesto && p >= puesto && p + buscar.size() <= puestoFin) break;  // would never end
    cadena.replace(p, buscar.size(), poner);
    if (sinMayusculas) cadenaMay.replace(p, buscar.size(), ponerMay);
    desde = p + buscar.size();
    puesto = p;
    puestoFin = p + poner.size();
    hayPuesto = true;
    if (!todas) break;
  }
  return cadena;
}

std::u16string Trozos::daTrozo(std::u16string_view cadena, std::u16string_view separador) {
  if (!cadena.empty()) texto_ = cadena;
  if (!separador.empty()) separador_ = separador;
  if (separador_.empty()) return {};
  const size_t p = texto_.find(separador_);
  if (p == std::u16string::npos || p == 0) return {};
  std::u16string trozo = texto_.substr(0, p);
  texto_.erase(0, p + separador_.size());
  return trozo;
}

int32_t valorBase(std::u16string_view cadena, int base) {
  if (base != 2 && base != 8 && base != 10 && base != 16) return -1;
  int64_t valor = 0;
  for (char16_t c : cadena) {
    const int d = hexDigit(c);
    if (d < 0 || d >= base) return -1;
    valor = valor * base + d;
    if (valor > INT32_MAX) return -1;
  }
  return static_cast<int32_t>(valor);
}

std::u16string daCodigos(std::u16string_view texto) {
  std::u16string out;
  for (char16_t c : texto) {
    out += util::fromUtf8(std::to_string(static_cast<unsigned>(c)));
    out += u';';
  }
  return out;
}

bool esSeparador(std::u16string_view c) {
  std::u16string buscado(c);
  buscado += u'&';
  return std::u16string_view(u",&;& &.&:&_&").find(buscado) != std::u16string_view::npos;
}

std::u16string decodificaHTM(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == u'&' && i + 1 < text.size() && text[i + 1] == u'#') {
      size_t j = i + 2;
      int base = 10;
      if (j < text.size() && (text[j] == u'x' || text[j] == u'X')) {
        base = 16;
        ++j;
      }
      const size_t digits = j;
      int64_t value = 0;
      while (j < text.size()) {
        const int d = hexDigit(text[j]);
        if (d < 0 || d >= base) break;
        if (value <= 0x10FFFF) value = value * base + d;
        ++j;
      }
      if (j > digits && value <= 0x10FFFF) {
        out += util::fromCodePoint(static_cast<char32_t>(value));
        if (j < text.size() && text[j] == u';') ++j;
        i = j;
        continue;
      }
    }
    out += text[i++];
  }
  return out;
}

std::u16string decodificaJava(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == u'\\' && i + 1 < text.size() && text[i + 1] == u'u') {
      size_t j = i + 2;
      while (j < text.size() && j < i + 6 && hexDigit(text[j]) >= 0) ++j;
      if (j > i + 2) {
        // A Java escape has no terminator: a ";" after it is the user's text
        // (Java source such as x = \u03bb; keeps its semicolon).
        out += static_cast<char16_t>(valorBase(text.substr(i + 2, j - i - 2), 16));
        i = j;
        continue;
      }
    }
    out += text[i++];
  }
  return out;
}

}  // namespace kalyxon::CadGen
