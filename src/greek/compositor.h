// Keystroke composition: the text to send for a released key.
//
// daGriego turns one released key and the pending marks into the text for the
// foreground application (characters and "{BKSP}" tokens), applying the word
// rules: automatic breathing (moved to the second vowel of a diphthong), the
// pairs k+s and p+s, long vowel + iota, rectify mode and final sigma.
// buscaGriego is its character lookup in the alphabet tables. All state is
// kept in the main window's members (Form1).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kalyxon {

class Kalyxon;

class Compositor {
 public:
  explicit Compositor(Kalyxon& k) : k_(k) {}

  // The text (keystroke notation) for key `tecla`; esmayuscula is 1 or 0.
  std::u16string daGriego(int32_t tecla, int esmayuscula);

  // The code point for a key with the pending marks. A probe (noBorrar true)
  // changes nothing at all; a normal lookup files the marks as those of the
  // last letter, clears them and turns the indicators off. A key without a
  // row gives its lookup code.
  int32_t buscaGriego(int32_t tecla, bool esmayuscula, bool noBorrar);

  // Text from data (a dictionary form, a numeral, a table's character) as
  // text to send: every character types as itself (in code mode as its
  // escape), the notation's special characters are braced and control
  // characters are left out, so data can never type a key combination.
  std::u16string daTexto(std::u16string_view texto);

  // The text for a letter with the pending phonetic mark, or empty when no
  // mark is armed.
  std::u16string daFonetica(int32_t tecla, int esmayuscula);

  // The text that replaces the last letter (lower-case Latin key letter) by
  // its variant form.
  std::u16string hazOtra(std::u16string& letra);

  // The four items of the "Fonética" menu.
  void mnufonbre_Click();
  void mnufonlar_Click();
  void mnufonabi_Click();
  void mnufoncer_Click();

 private:
  Kalyxon& k_;
};

}  // namespace kalyxon
