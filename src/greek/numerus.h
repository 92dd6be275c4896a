// Greek alphabetic numerals built from the digit keys typed.
#pragma once

#include <cstdint>
#include <string>

namespace kalyxon {

class Kalyxon;

class Numerus {
 public:
  explicit Numerus(Kalyxon& k) : k_(k) {}
  // Feeds one released key to the numeral run; with tecla 0 returns the text
  // of a pending numeral (or empty).
  std::u16string hazNumero(int32_t& tecla, bool& may);

 private:
  [[maybe_unused]] Kalyxon& k_;
};

}  // namespace kalyxon
