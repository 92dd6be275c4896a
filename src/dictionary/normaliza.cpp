#include "dictionary/normaliza.h"

#ifdef KALYXON_HAVE_ICU
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>
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
#else
  return std::u16string(texto);
#endif
}

}  // namespace kalyxon
