// Code lists ("955;972;", the stored form of every dictionary word, also read
// leniently as "&#955;"). Properties: a list reads as at most one unit per two
// bytes; any form written as a list reads back as itself; what a list reads as
// is written canonically and then reads the same.
#include <cstdint>

#include "dictionary/lexico.h"
#include "fuzz_support.h"
#include "util/cadgen.h"

using namespace kalyxon;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto lista = fuzz::bytes(data, size);
  std::u16string forma = lexico::formaDeLista(lista);
  FUZZ_CHECK(forma.size() <= size / 2);
  std::string canonica = lexico::listaCodigos(forma);
  FUZZ_CHECK(lexico::formaDeLista(canonica) == forma);
  FUZZ_CHECK(lexico::utf16(canonica) == CadGen::daCodigos(forma));
  // Any text (the same bytes as UTF-16 units) survives the trip.
  std::u16string unidades = fuzz::unidades(data, size);
  FUZZ_CHECK(lexico::formaDeLista(lexico::listaCodigos(unidades)) == unidades);
  return 0;
}
