#include "dictionary/tsv.h"

#include <algorithm>

#include "dictionary/lexico.h"

namespace kalyxon::lexico {

namespace {

bool tieneControl(std::u16string_view s) {
  for (char16_t c : s)
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return true;
  return false;
}

}  // namespace

std::optional<LineaTsv> leeLineaTsv(std::string_view linea) {
  if (!linea.empty() && linea.back() == '\r') linea.remove_suffix(1);
  if (linea.empty() || linea[0] == '#') return std::nullopt;
  auto a = linea.find('\t');
  auto b = a == std::string_view::npos ? a : linea.find('\t', a + 1);
  if (b == std::string_view::npos || linea.find('\t', b + 1) != std::string_view::npos)
    throw std::invalid_argument("expected three fields separated by tabs");
  LineaTsv l{utf16(linea.substr(0, a)), utf16(linea.substr(a + 1, b - a - 1)), 0};
  if (l.clave.empty()) throw std::invalid_argument("empty key");
  if (l.forma.empty()) throw std::invalid_argument("empty form");
  if (tieneControl(l.clave) || tieneControl(l.forma))
    throw std::invalid_argument("control character in key or form");
  // Decimal digits only; the value is capped as it is read, so no count,
  // however long, overflows.
  const std::string_view cuenta = linea.substr(b + 1);
  if (cuenta.empty()) throw std::invalid_argument("bad count '' (a whole number from 0 up)");
  for (char c : cuenta) {
    if (c < '0' || c > '9')
      throw std::invalid_argument("bad count '" + std::string(cuenta) +
                                  "' (a whole number from 0 up)");
    l.frecuencia = std::min<int32_t>(l.frecuencia * 10 + (c - '0'), kTopeTsv);
  }
  return l;
}

std::string lineaTsv(std::u16string_view clave, std::u16string_view forma, int32_t frecuencia) {
  return utf8(clave) + "\t" + utf8(forma) + "\t" + std::to_string(frecuencia) + "\n";
}

}  // namespace kalyxon::lexico
