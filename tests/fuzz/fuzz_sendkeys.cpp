// The keystroke notation (font-switch macros from the settings file, and
// everything the program types). Properties: parse and tryParse agree;
// format of a parsed sequence parses back to the same sequence; escape makes
// any text type as itself.
#include <cstdint>

#include "fuzz_support.h"
#include "util/sendkeys.h"

using namespace kalyxon;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string texto = fuzz::unidades(data, size);
  auto r = sendkeys::tryParse(texto);
  bool lanzo = false;
  try {
    FUZZ_CHECK(sendkeys::parse(texto) == r.actions);
  } catch (const sendkeys::SendKeysError& e) {
    lanzo = true;
    FUZZ_CHECK(e.position() >= 1 && e.position() <= texto.size() + 1);
  }
  FUZZ_CHECK(lanzo == !r.ok());
  if (r.ok()) {
    // Each token yields at most kMaxRepeat presses.
    FUZZ_CHECK(r.actions.size() <= texto.size() * size_t{sendkeys::kMaxRepeat});
    auto otra = sendkeys::tryParse(sendkeys::format(r.actions));
    FUZZ_CHECK(otra.ok());
    FUZZ_CHECK(otra.actions == r.actions);
  }
  // Escaped text types character for character.
  auto escapado = sendkeys::tryParse(sendkeys::escape(texto));
  FUZZ_CHECK(escapado.ok());
  std::u16string tecleado;
  for (const auto& a : escapado.actions) {
    FUZZ_CHECK(a.isChar() && a.mods == 0);
    if (a.ch < 0x10000) {
      tecleado += static_cast<char16_t>(a.ch);
    } else {
      tecleado += static_cast<char16_t>(0xD800 + ((a.ch - 0x10000) >> 10));
      tecleado += static_cast<char16_t>(0xDC00 + ((a.ch - 0x10000) & 0x3FF));
    }
  }
  FUZZ_CHECK(tecleado == texto);
  return 0;
}
