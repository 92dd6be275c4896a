// Pending diacritics: dead keys, the seven mark buttons and their indicators.
//
// A dead key or a button click arms a mark in the main window's members
// (nAcc, nEsp, nDie, nIot; codes as in the alphabet tables); the next letter
// lookup uses and clears them. With rectify mode armed a dead key changes the
// marks of the letter already typed instead (nAccUlt...), and the composer
// then types that letter again. Each mark has an indicator image whose picture
// (an icon file name) shows whether it is pending.
#pragma once

#include <cstdint>

namespace kalyxon {

class Kalyxon;

class Diacriticos {
 public:
  // Gives the seven indicator images their tooltips and off pictures.
  explicit Diacriticos(Kalyxon& k);

  // A dead key: 222 acute (shifted: diaeresis), 186 grave (shifted:
  // circumflex), 192 iota subscript, shifted 8 rough and shifted 9 smooth
  // breathing. Marks the word as having a dead key (noDiacritico false).
  void ponDiacritico(int32_t tecla, bool esmayuscula);

  // The seven buttons. They act on the pending marks only, in both modes.
  void imaagu_Click();
  void imagra_Click();
  void imacir_Click();
  void imaasp_Click();
  void imasua_Click();
  void imadie_Click();
  void imaiot_Click();

  // Every indicator shows whether its mark is pending now.
  void refrescaIndicadores();

 private:
  Kalyxon& k_;
};

}  // namespace kalyxon
