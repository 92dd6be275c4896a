// Unicode normalisation of text that comes from other programs.
#pragma once

#include <string>
#include <string_view>

namespace kalyxon {

// The text in Normalization Form C (precomposed). Text copied from other
// programs is often decomposed (a letter followed by combining accents); the
// dictionary stores and compares precomposed forms. ICU does the work on
// Linux, Windows' NormalizeString on Windows; with neither the text is
// returned as it is.
std::u16string nfc(std::u16string_view texto);

}  // namespace kalyxon
