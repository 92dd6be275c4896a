// UTF-8 <-> UTF-16 conversion. The engine keeps text as UTF-16 (code units
// count in several places); files names, the command line and logs are UTF-8.
// Neither direction ever fails: malformed input becomes U+FFFD, so a bad byte
// or a lone surrogate costs one character, never the whole text.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kalyxon::util {

std::string toUtf8(std::u16string_view text);
std::u16string fromUtf8(std::string_view text);

// One code point (BMP or supplementary) as UTF-16.
std::u16string fromCodePoint(char32_t cp);

// A path named by UTF-8 text. Every path made from the program's own strings
// goes through here: on Windows a path built from a plain std::string reads it
// in the ANSI code page, where a Greek name is lost (path::string() does give
// UTF-8 back there, so that direction needs nothing).
inline std::filesystem::path rutaDeUtf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace kalyxon::util
