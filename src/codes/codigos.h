// Character codes: the text sent for one code point (the character itself, or
// its HTML / Java escape in code mode), the hexadecimal code label, and the
// decoding of escape texts back into characters.
//
// Code mode lives in the menus: the tag of form1.mnucod is "*" while it is on
// and the check mark of form1.mnucodjav chooses Java over HTML. It starts off
// at every run and is not saved.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace kalyxon {

class Kalyxon;

class Codigos {
 public:
  explicit Codigos(Kalyxon& k) : k_(k) {}

  // The text to send for one code point, in keystroke notation. Outside code
  // mode it is the character (the notation's special characters + ^ % ~ ( )
  // { } [ ] braced, so that they type as themselves); in code mode its Java
  // form "\u03B1" when mnucodjav is ticked, else its HTML form "&#945;", and
  // UniLabel1 then shows the character itself.
  std::u16string daRespuesta(int32_t codigo);

  // The code point in upper-case hexadecimal, widened to four digits when it
  // has two or three ("00E9", "03B1"); one digit or more than four stay as
  // they are ("3", "1F00").
  static std::u16string daHex(int32_t codigo);

  // The escape forms of one code point.
  static std::u16string formaHTM(int32_t codigo);   // "&#945;"
  static std::u16string formaJava(int32_t codigo);  // "\u03B1"

  // Decodes a text of escapes: as HTML when it contains "&#" anywhere (spaces
  // first become "&#32;"), otherwise as Java escapes ("\u" is rewritten to
  // ";\u" to mark where each escape ends). `cadena` is left holding the
  // rewritten text. What is not an escape passes through unchanged (see
  // CadGen::decodificaHTM / decodificaJava).
  std::u16string cargaHTM(std::u16string& cadena);
  // The same, usable without the program object (pump may be null).
  static std::u16string cargaHTM(std::u16string& cadena, platform::MessagePump* pump);

  // The two exclusive code-mode menu items.
  void mnucodhtm_Click();
  void mnucodjav_Click();

  // In code mode: decodes the clipboard's text and shows it in UniLabel1.
  // Outside code mode the click does nothing.
  void UniLabel1_Click();

  bool enModoCodigo() const;

 private:
  Kalyxon& k_;
};

}  // namespace kalyxon
