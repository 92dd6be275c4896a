// A small reader of rich text (RTF) as word processors write it: the plain
// text of the document with the font face of every stretch of it. It reads
// what the conversion window needs (the font table, font changes, 8-bit and
// Unicode characters, paragraph breaks) and skips pictures, style sheets,
// document information and every other destination it does not know.
//
// Characters written as \'hh are kept as the Windows-1252 character of that
// byte whatever the font's character set: text typed in an old 8-bit Greek
// font must reach the converters with the font's own codes. For the same
// reason a \uN in the private-use range U+F020-U+F0FF (how symbol fonts are
// written by some word processors) is read back as the byte N - 0xF000.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kalyxon::rtf {

struct Fuente {
  int numero = 0;
  std::u16string nombre;  // face name, as in the font table
  int juego = 0;          // \fcharset
};

// A stretch of text in one font. `fuente` is the face name, empty when the
// document names no font for it.
struct Tramo {
  std::u16string texto;
  std::u16string fuente;
};

struct Documento {
  std::vector<Fuente> fuentes;
  std::vector<Tramo> tramos;  // consecutive stretches have different faces
  std::u16string texto() const;
  // The face that covers most characters of the text (empty if none).
  std::u16string fuentePrincipal() const;
};

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// True when the bytes start like an RTF document ("{\rtf", after blanks).
bool esRtf(std::string_view datos);

// Reads an RTF document. Paragraph and line breaks become "\n", tabs "\t".
// Throws rtf::Error when the data is not RTF; unbalanced braces at the end
// of a damaged file are tolerated.
Documento lee(std::string_view datos);

}  // namespace kalyxon::rtf
