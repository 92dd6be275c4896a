// Shared pieces of the fuzz targets: turning the fuzzer's bytes into text, the
// program's tables loaded once per process, and a property check that stops
// the run with a message (libFuzzer keeps the input that got there).
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace kalyxon::fuzz {

inline std::string_view bytes(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The bytes read as UTF-16LE code units, lone surrogates and all: text that
// reaches the engine from the clipboard or a window may hold any code unit.
inline std::u16string unidades(const uint8_t* data, size_t size) {
  std::u16string out(size / 2, u'\0');
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  return out;
}

// The folder holding ALPHA.db: $KALYXON_RUNTIME_DIR, else the build tree's.
inline std::filesystem::path carpetaDatos() {
  if (const char* d = std::getenv("KALYXON_RUNTIME_DIR")) return d;
  return KALYXON_RUNTIME_DIR;
}

[[noreturn]] inline void falla(const char* propiedad, const char* fichero, int linea) {
  std::fprintf(stderr, "%s:%d: property broken: %s\n", fichero, linea, propiedad);
  std::abort();
}

}  // namespace kalyxon::fuzz

// Like assert, but never compiled out.
#define FUZZ_CHECK(cond) \
  do {                   \
    if (!(cond)) ::kalyxon::fuzz::falla(#cond, __FILE__, __LINE__); \
  } while (0)
