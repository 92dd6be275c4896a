// The conversion tables of the built ALPHA.db, read once for all the tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "conversion/tablas.h"

namespace kalyxon::conversion::prueba {

inline const Tablas& tablas() {
  static std::shared_ptr<const Tablas> t =
      Tablas::carga(std::filesystem::path(KALYXON_RUNTIME_DIR) / "ALPHA.db");
  return *t;
}

// Unicode text as the UTF-16 the converters take.
inline std::u16string u(const char* utf8) {
  std::u16string r;
  for (const unsigned char* s = reinterpret_cast<const unsigned char*>(utf8); *s;) {
    uint32_t c = *s++;
    int n = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    if (n) c &= (0x3Fu >> n);
    for (int k = 0; k < n; ++k) c = (c << 6) | (*s++ & 0x3Fu);
    r += static_cast<char16_t>(c);
  }
  return r;
}

}  // namespace kalyxon::conversion::prueba
