// Text helpers shared by the subsystems. Positions in the descriptions below
// count UTF-16 code units, as the rest of the program does.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace kalyxon::CadGen {

// Replaces `buscar` by `poner` in `cadena` (which receives the result, also
// returned). With `todas` every occurrence, otherwise the first only; with
// `sinMayusculas` the search ignores case (the text keeps its own).
//
// The search restarts at the match position plus the length of `buscar`, not
// of `poner`: a replacement longer than the text searched is searched again
// from inside itself. Callers rely on exactly this. Where that would find the
// replacement's own text again and again without end ("a" by "ba"), the
// replacing stops at the first match lying wholly inside the text just put in.
// An empty `buscar` replaces nothing.
//
// Before every search `pump` (when not null) lets pending window messages run,
// so a long replacement keeps the window alive; that may re-enter the caller.
std::u16string reemplaza(std::u16string& cadena, std::u16string_view buscar,
                         std::u16string_view poner, bool todas, bool sinMayusculas,
                         platform::MessagePump* pump);

// A tokenizer that remembers its text between calls. A non-empty `cadena`
// replaces the remembered text, a non-empty `separador` the remembered
// separator; two empty texts continue. The token is the text before the
// separator, and the remembered text moves past the separator. When the
// separator is missing or comes first, the result is empty and nothing moves
// (so ";x;" gives the empty text at once). Tokens may be of any length.
class Trozos {
 public:
  std::u16string daTrozo(std::u16string_view cadena = {}, std::u16string_view separador = {});
  const std::u16string& resto() const { return texto_; }

 private:
  std::u16string texto_;
  std::u16string separador_;
};

// The value of `cadena` read in `base` (2, 8, 10 or 16; digits 0-9 A-F in
// either case). −1 for another base, a character that is not a digit of the
// base, or a value beyond 2^31 − 1. The empty text is 0.
int32_t valorBase(std::u16string_view cadena, int base);

// Each UTF-16 code unit of `texto` in decimal followed by ";": αβ gives
// "945;946;".
std::u16string daCodigos(std::u16string_view texto);

// A word separator: comma, semicolon, space, period, colon, underscore, or
// the empty text.
bool esSeparador(std::u16string_view c);
inline bool esSeparador(char16_t c) { return esSeparador(std::u16string_view(&c, 1)); }

// Decoding of escape texts (the clipboard decoding of code mode).
//
// HTML: "&#" + decimal digits (or "&#x" + hexadecimal digits), ended by ";"
// or by the first character that is not a digit, is the character of that
// code point. Java: "\u" + one to four hexadecimal digits (either case) is
// the character of that code unit; one ";" right after it is its end mark and
// is dropped. In both, everything that is not such a reference - words,
// punctuation, a reference with no digits or with a value beyond U+10FFFF -
// passes through unchanged, so decoding never loses text.
std::u16string decodificaHTM(std::u16string_view text);
std::u16string decodificaJava(std::u16string_view text);

}  // namespace kalyxon::CadGen
