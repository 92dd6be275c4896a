// HTML and Java escape decoding (code mode's clipboard decoding). Properties:
// decoding never lengthens a text; text without escapes passes unchanged; the
// escapes the program writes decode back to the text they came from.
#include <cstdint>

#include "codes/codigos.h"
#include "fuzz_support.h"
#include "util/cadgen.h"

using namespace kalyxon;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string t = fuzz::unidades(data, size);
  auto html = CadGen::decodificaHTM(t), java = CadGen::decodificaJava(t);
  FUZZ_CHECK(html.size() <= t.size());
  FUZZ_CHECK(java.size() <= t.size());
  if (t.find(u"&#") == std::u16string::npos) FUZZ_CHECK(html == t);
  if (t.find(u"\\u") == std::u16string::npos) FUZZ_CHECK(java == t);
  std::u16string cadena = t;
  auto decodificado = Codigos::cargaHTM(cadena, nullptr);
  FUZZ_CHECK(decodificado.size() <= t.size());

  // Round trip: every code point as HTML, every code unit as Java.
  std::u16string comoHtml, comoJava;
  for (size_t i = 0; i < t.size(); ++i) {
    char32_t cp = t[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < t.size() && t[i + 1] >= 0xDC00 && t[i + 1] <= 0xDFFF)
      cp = 0x10000 + ((cp - 0xD800) << 10) + (t[++i] - 0xDC00);
    comoHtml += Codigos::formaHTM(static_cast<int32_t>(cp));
  }
  for (char16_t c : t) comoJava += Codigos::formaJava(c);
  FUZZ_CHECK(CadGen::decodificaJava(comoJava) == t);
  // Lone surrogates have no HTML reference of their own.
  bool sueltos = false;
  for (size_t i = 0; i < t.size(); ++i) {
    bool alto = t[i] >= 0xD800 && t[i] <= 0xDBFF, bajo = t[i] >= 0xDC00 && t[i] <= 0xDFFF;
    if (alto && i + 1 < t.size() && t[i + 1] >= 0xDC00 && t[i + 1] <= 0xDFFF) ++i;
    else if (alto || bajo) sueltos = true;
  }
  if (!sueltos) FUZZ_CHECK(CadGen::decodificaHTM(comoHtml) == t);
  return 0;
}
