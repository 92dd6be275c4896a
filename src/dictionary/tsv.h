// The text form of a dictionary that `kalyxon dict export` writes and
// `kalyxon dict import` reads: one record per line, its key, its form (as
// UTF-8 text, not as a code list) and its count, separated by tabs. Blank
// lines and lines starting with "#" are comments.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kalyxon::lexico {

struct LineaTsv {
  std::u16string clave;
  std::u16string forma;
  int32_t frecuencia = 0;
  bool operator==(const LineaTsv&) const = default;
};

// The largest count a line gives: a larger one reads as this, the largest
// count a table holds.
constexpr int32_t kTopeTsv = 32767;

// Reads one line (without its "\n"; a final "\r" is dropped). nullopt for a
// comment; throws std::invalid_argument saying what is wrong for a line that
// is neither a comment nor a record: not three fields, an empty key or form, a
// control character, a count that is not a whole number from 0 up. A count
// above kTopeTsv reads as kTopeTsv.
std::optional<LineaTsv> leeLineaTsv(std::string_view linea);

// The line of a record, "\n" included.
std::string lineaTsv(std::u16string_view clave, std::u16string_view forma, int32_t frecuencia);

}  // namespace kalyxon::lexico
