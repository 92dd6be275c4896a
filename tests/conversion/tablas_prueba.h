// The conversion tables of the built ALPHA.db, read once for all the tests.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "conversion/conversores.h"
#include "conversion/tablas.h"
#include "dictionary/normaliza.h"
#include "support/prueba.h"
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

// The shared data folder; KALYXON_SHARED names it when the build tree is elsewhere.
inline std::filesystem::path compartido() {
  const char* env = std::getenv("KALYXON_SHARED");
  return env ? std::filesystem::path(env) : std::filesystem::path(KALYXON_SHARED_DIR);
}

using ::kalyxon::prueba::CarpetaTemporal;
using ::kalyxon::prueba::escribeFichero;
using ::kalyxon::prueba::leeFichero;

// The lines of a text, without their line ends.
inline std::vector<std::u16string> lineas(std::u16string_view t) {
  std::vector<std::u16string> r;
  for (size_t i = 0; i <= t.size();) {
    size_t j = std::min(t.find(u'\n', i), t.size());
    r.emplace_back(t.substr(i, j - i));
    i = j + 1;
  }
  return r;
}

// The Greek words of a text, composed: runs of Greek letters and the elision
// mark, whatever character a face or another converter gives that mark.
inline std::vector<std::u16string> palabras(std::u16string_view t) {
  std::vector<std::u16string> r(1);
  for (char16_t c : nfc(t)) {
    if (c == u'\u1FBD' || c == u'\u02BC' || c == u'\'' || c == u'\u1FBF') c = u'\u2019';
    if ((c >= 0x0370 && c <= 0x03FF && c != 0x037E && c != 0x0387) || (c >= 0x1F00 && c <= 0x1FFF) ||
        c == u'\u2019')
      r.back() += c;
    else if (!r.back().empty())
      r.emplace_back();
  }
  if (r.back().empty()) r.pop_back();
  return r;
}

// A text of the corpus, or "" when the shared data is missing.
inline std::u16string corpus(const char* nombre) {
  auto p = compartido() / "corpus" / "unicode" / nombre;
  return std::filesystem::exists(p) ? util::fromUtf8(leeFichero(p)) : std::u16string();
}

// The command line's path: legacy bytes in pieces of `trozo`, straight to UTF-8.
inline std::string porBytes(std::u16string_view cara, std::string_view bytes, size_t trozo,
                            const Opciones& o = {}) {
  auto c = aUnicode(tablas(), cara, o);
  std::string r;
  for (size_t i = 0; i < bytes.size(); i += trozo) c->alimentaBytes(bytes.substr(i, trozo), r);
  std::u16string fin;
  c->termina(fin);
  utf8(fin, r);
  return r;
}

}  // namespace kalyxon::conversion::prueba
