#include "dictionary/normaliza.h"

#ifdef KALYXON_HAVE_ICU
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>
#elif defined(_WIN32)
#include <windows.h>
#include <winnls.h>
#endif

namespace kalyxon {

std::u16string nfc(std::u16string_view texto) {
#ifdef KALYXON_HAVE_ICU
  UErrorCode err = U_ZERO_ERROR;
  const icu::Normalizer2* n = icu::Normalizer2::getNFCInstance(err);
  if (U_FAILURE(err)) return std::u16string(texto);
  icu::UnicodeString in(false, texto.data(), static_cast<int32_t>(texto.size()));
  if (n->isNormalized(in, err) && U_SUCCESS(err)) return std::u16string(texto);
  err = U_ZERO_ERROR;
  icu::UnicodeString out = n->normalize(in, err);
  if (U_FAILURE(err)) return std::u16string(texto);
  return std::u16string(out.getBuffer(), static_cast<size_t>(out.length()));
#elif defined(_WIN32)
  // Windows' own normaliser. Its size answer is an estimate, so the call is
  // repeated with the buffer it asks for; on any other failure (an unpaired
  // surrogate, say) the text stays as it was, as with ICU.
  if (texto.empty() || texto.size() > 0x3FFFFFFF) return std::u16string(texto);
  const auto* in = reinterpret_cast<LPCWSTR>(texto.data());
  const int n = static_cast<int>(texto.size());
  if (IsNormalizedString(NormalizationC, in, n)) return std::u16string(texto);
  int cap = NormalizeString(NormalizationC, in, n, nullptr, 0);
  for (int intento = 0; cap > 0 && intento < 8; ++intento) {
    std::u16string out(static_cast<size_t>(cap), u'\0');
    const int got = NormalizeString(NormalizationC, in, n, reinterpret_cast<LPWSTR>(out.data()), cap);
    if (got > 0) {
      out.resize(static_cast<size_t>(got));
      return out;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
    cap = -got;
  }
  return std::u16string(texto);
#else
  return std::u16string(texto);
#endif
}

}  // namespace kalyxon
