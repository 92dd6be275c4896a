// Rich text from files and the clipboard. Properties: data is read exactly
// when it starts like RTF; every character read costs at least one byte;
// stretches are non-empty and change face from one to the next; the main face
// is one of theirs.
#include <cstdint>

#include "conversion/rtf.h"
#include "fuzz_support.h"

using namespace kalyxon;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto d = fuzz::bytes(data, size);
  rtf::Documento doc;
  try {
    doc = rtf::lee(d);
  } catch (const rtf::Error&) {
    FUZZ_CHECK(!rtf::esRtf(d));
    return 0;
  }
  FUZZ_CHECK(rtf::esRtf(d));
  FUZZ_CHECK(doc.texto().size() <= size);
  size_t nombres = 0;
  for (const auto& f : doc.fuentes) nombres += f.nombre.size();
  FUZZ_CHECK(nombres <= size);
  bool principal = doc.fuentePrincipal().empty();
  for (size_t i = 0; i < doc.tramos.size(); ++i) {
    FUZZ_CHECK(!doc.tramos[i].texto.empty());
    if (i > 0) FUZZ_CHECK(doc.tramos[i].fuente != doc.tramos[i - 1].fuente);
    principal = principal || doc.tramos[i].fuente == doc.fuentePrincipal();
  }
  FUZZ_CHECK(principal);
  return 0;
}
