// UTF-8 <-> UTF-16 conversion. The engine keeps text as UTF-16 (code units
// count in several places); files names, the command line and logs are UTF-8.
// Neither direction ever fails: malformed input becomes U+FFFD, so a bad byte
// or a lone surrogate costs one character, never the whole text.
#pragma once

#include <string>
#include <string_view>

namespace kalyxon::util {

std::string toUtf8(std::u16string_view text);
std::u16string fromUtf8(std::string_view text);

// One code point (BMP or supplementary) as UTF-16.
std::u16string fromCodePoint(char32_t cp);

}  // namespace kalyxon::util
