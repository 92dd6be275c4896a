#include "dictionary/tsv.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "dictionary/lexico.h"

namespace kalyxon::lexico {

std::optional<LineaTsv> leeLineaTsv(std::string_view linea) {
  if (!linea.empty() && linea.back() == '\r') linea.remove_suffix(1);
  if (linea.empty() || linea[0] == '#') return std::nullopt;
  auto a = linea.find('\t');
  auto b = a == std::string_view::npos ? a : linea.find('\t', a + 1);
  if (b == std::string_view::npos) throw std::invalid_argument("expected three fields");
  // strtoll needs a terminated string; the field is copied for it.
  std::string cuenta(linea.substr(b + 1));
  char* fin = nullptr;
  long long f = std::strtoll(cuenta.c_str(), &fin, 10);
  if (fin == cuenta.c_str() || f < 1) throw std::invalid_argument("bad count");
  // strtoll saturates a huge count at LLONG_MAX; it is capped here, before any
  // arithmetic on it.
  return LineaTsv{utf16(linea.substr(0, a)), utf16(linea.substr(a + 1, b - a - 1)),
                  static_cast<int32_t>(std::min<long long>(f, kTopeTsv))};
}

std::string lineaTsv(std::u16string_view clave, std::u16string_view forma, int32_t frecuencia) {
  return utf8(clave) + "\t" + utf8(forma) + "\t" + std::to_string(frecuencia) + "\n";
}

}  // namespace kalyxon::lexico
