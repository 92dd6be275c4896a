// The conversion tables of the built ALPHA.db, read once for all the tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "conversion/tablas.h"
#include "util/utf.h"

namespace kalyxon::conversion::prueba {

inline std::shared_ptr<const Tablas> cargadas() {
  static std::shared_ptr<const Tablas> t = []() -> std::shared_ptr<const Tablas> {
    try {
      auto r = Tablas::carga(std::filesystem::path(KALYXON_RUNTIME_DIR) / "ALPHA.db");
      return r->cara(cara::kAthenian) ? r : nullptr;
    } catch (const std::exception&) {
      return nullptr;
    }
  }();
  return t;
}
inline const Tablas& tablas() { return *cargadas(); }

// Skips a test while the built ALPHA.db has no letter tables yet.
#define KALYXON_REQUIERE_TABLAS()                                            \
  if (!::kalyxon::conversion::prueba::cargadas())                            \
  GTEST_SKIP() << "ALPHA.db has no sonido/letras tables"

// Unicode text as the UTF-16 the converters take.
inline std::u16string u(const char* utf8) { return util::fromUtf8(utf8); }

}  // namespace kalyxon::conversion::prueba
