// Greek alphabetic numerals built from the digit keys typed.
//
// Choices where the traditional rules stop short:
// - The run's result is only the numeral (the Backspaces for the digits and
//   the letters); the caller types the key that ended the run after it, so
//   0 0 7 space gives ζʹ and the space, and nothing typed after the digits is
//   lost. Any key other than an unshifted digit ends the run.
// - From 10,000 on, the thousands part is written in full, one thousands
//   letter per digit place, each with its own thousands sign: 12,000 is ͵ι͵β
//   and 345,000 is ͵τ͵μ͵ε. A thousands part of 1000 or more is written the
//   same way again (1,000,000 is ͵͵α).
// - A run whose value does not fit in 32 bits (over 2,147,483,647) gives no
//   numeral: the digits stay as typed.
// - The numeral sign U+0374 is appended after the letters have gone through
//   the "Greek" face converter, so the error report lists only real failures.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kalyxon {

class Kalyxon;

class Numerus {
 public:
  explicit Numerus(Kalyxon& k) : k_(k) {}
  // Feeds one released key to the numeral run: a digit (unshifted 0 to 9)
  // joins it; any other key ends it and gets the text that replaces the
  // digits by their numeral (empty when there is none).
  std::u16string hazNumero(int32_t& tecla, bool& may);
  // The numeral of a digit text as Unicode, or empty when it gives none.
  std::u16string daNumeral(const std::u16string& x);

  // The value of a digit text, or nullopt when it is not one or exceeds 32 bits.
  static std::optional<int32_t> valor(const std::u16string& digitos);
  // The numeral letters of n in the "Greek" font encoding, without the
  // numeral sign ("," is the thousands sign). Empty for 0.
  static std::u16string letrasGreek(int32_t n);

 private:
  Kalyxon& k_;
};

}  // namespace kalyxon
