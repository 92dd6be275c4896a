// The Windows-1252 code page, in which the program reads and writes 8-bit text
// files (split pieces, the error report, texts loaded into the windows). The
// files this program meets were written on Western European Windows systems,
// whose ANSI code page it is; files written here read back the same there.
//
// Every byte decodes to one character, so a read counts characters as bytes.
// The five bytes the code page leaves undefined (81 8D 8F 90 9D) decode to the
// C1 control characters of the same value, as Windows itself does, which makes
// decode/encode a byte-exact round trip for any file. On encoding, a character
// the code page lacks becomes "?" (a surrogate pair becomes one "?").
#pragma once

#include <string>
#include <string_view>

namespace kalyxon::cp1252 {

std::u16string decode(std::string_view bytes);
std::string encode(std::u16string_view text);

// The byte of one character, or '?' when the code page lacks it.
char encodeChar(char16_t c);

}  // namespace kalyxon::cp1252
