// A dictionary export read back (kalyxon dict import), line by line.
// Properties: a line reads as a comment, a record or a refusal, never
// anything else; a record read is written back as a line that reads as the
// same record; the count stays within what a table holds.
#include <cstdint>
#include <stdexcept>

#include "dictionary/lexico.h"
#include "dictionary/tsv.h"
#include "fuzz_support.h"

using namespace kalyxon;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto texto = fuzz::bytes(data, size);
  size_t i = 0;
  while (i <= texto.size()) {
    size_t fin = texto.find('\n', i);
    if (fin == std::string_view::npos) fin = texto.size();
    auto linea = texto.substr(i, fin - i);
    i = fin + 1;
    std::optional<lexico::LineaTsv> l;
    try {
      l = lexico::leeLineaTsv(linea);
    } catch (const std::invalid_argument&) {
      continue;
    }
    if (!l) continue;
    FUZZ_CHECK(l->frecuencia >= 0 && l->frecuencia <= lexico::kTopeTsv);
    FUZZ_CHECK(l->clave.size() + l->forma.size() <= linea.size());
    // Fields read from UTF-8 hold no tab, so the written line splits the same.
    std::string escrita = lexico::lineaTsv(l->clave, l->forma, l->frecuencia);
    FUZZ_CHECK(escrita.back() == '\n');
    escrita.pop_back();
    auto otra = lexico::leeLineaTsv(escrita);
    FUZZ_CHECK(otra && *otra == *l);
    // The form goes into the table as a code list, which reads back as it.
    FUZZ_CHECK(lexico::formaDeLista(lexico::listaCodigos(l->forma)) == l->forma);
  }
  return 0;
}
