// The conversion tables of the built ALPHA.db, read once for all the tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "conversion/tablas.h"
#include "util/utf.h"

namespace kalyxon::conversion::prueba {

inline const Tablas& tablas() {
  static std::shared_ptr<const Tablas> t =
      Tablas::carga(std::filesystem::path(KALYXON_RUNTIME_DIR) / "ALPHA.db");
  return *t;
}

// Unicode text as the UTF-16 the converters take.
inline std::u16string u(const char* utf8) { return util::fromUtf8(utf8); }

}  // namespace kalyxon::conversion::prueba
