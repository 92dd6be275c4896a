// A dictionary table as text: one "key TAB form TAB count" line per record,
// for backups and for moving forms between dictionaries. Export then import
// gives back every record (count 0 included).
#pragma once

#include <cstdint>
#include <istream>
#include <string>

#include "dictionary/lexico.h"

namespace kalyxon {

// The table in the "frecuencia" ordering, after a "# codigo..." header line.
std::string exportaTabla(lexico::Tabla& t);

struct Importacion {
  int64_t lineas = 0;  // records read
  int64_t nuevas = 0;  // of them, forms the table did not have
};

// Adds the lines of `in` to the table in one transaction: a known form gains
// the count (never lower, at most 32767), a new one is added with it (capped
// the same way). Blank lines and lines starting with "#" are skipped. Any bad
// line (not three fields, empty key or form, a control character, a count
// that is not a whole number from 0 up) refuses the whole file with an Error
// naming `nombre` and the line numbers; the table is then as it was. With
// `vaciar` the table is emptied first, in the same transaction.
Importacion importaTabla(lexico::Tabla& t, std::istream& in, const std::string& nombre,
                         bool vaciar);

}  // namespace kalyxon
