// Keystroke composition: the text to send for a released key.
#pragma once

#include <cstdint>
#include <string>

namespace kalyxon {

class Kalyxon;

class Compositor {
 public:
  explicit Compositor(Kalyxon& k) : k_(k) {}
  // The text (keystroke notation) for key `tecla`; esmayuscula is 1 or 0.
  std::u16string daGriego(int32_t tecla, int esmayuscula);
  // The text for a vowel with the pending phonetic mark, or empty.
  std::u16string daFonetica(int32_t tecla, int esmayuscula);
  // The text that replaces the last letter (lower-case Latin key letter) by
  // its variant form.
  std::u16string hazOtra(std::u16string& letra);

 private:
  [[maybe_unused]] Kalyxon& k_;
};

}  // namespace kalyxon
