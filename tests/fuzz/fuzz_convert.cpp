// The legacy font and BetaCode converters, both ways. The first byte picks the
// converter and the options, the rest is the text (8-bit font text as the
// Windows-1252 characters of its bytes, Unicode text as UTF-16 code units).
// Properties: output and error report bounded by the input; the command
// line's byte path gives what the text path gives; a text converted
// to a whole-glyph face and back is a fixed point of that round trip; so is
// BetaCode made from converted text.
#include <cstdint>
#include <memory>

#include "conversion/conversores.h"
#include "fuzz_support.h"
#include "util/cp1252.h"

using namespace kalyxon;
namespace cv = kalyxon::conversion;

namespace {

const cv::Tablas& tablas() {
  static const std::shared_ptr<const cv::Tablas> t = cv::Tablas::carga(fuzz::carpetaDatos() / "ALPHA.db");
  return *t;
}

size_t lineas(const std::u16string& s) {
  size_t n = 0;
  for (char16_t c : s) n += c == u'\n';
  return n + (!s.empty() && s.back() != u'\n');
}

// Unicode -> face -> Unicode.
std::u16string idaYVuelta(std::u16string_view u, std::u16string_view cara, const cv::Opciones& o,
                          bool* todoDeletreado = nullptr) {
  std::u16string informe;
  auto enCara = cv::traducea(tablas(), u, cara, informe, o);
  // A letter may take a mark byte before it (capitals) or its marks after
  // it (a letter the face cannot spell whole): a few bytes per character.
  FUZZ_CHECK(enCara.size() <= 8 * u.size());
  // A line per character reported, then a summary of a line per distinct
  // character under a few lines of heading.
  FUZZ_CHECK(lineas(informe) <= 2 * u.size() + 8);
  if (todoDeletreado) *todoDeletreado = informe.empty();
  if (cara == cv::cara::kGraeca) return cv::traCom(tablas(), enCara, cara, o);
  informe.clear();
  return cv::traduce(tablas(), enCara, cara, informe, o);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const unsigned modo = data[0] % 9;
  cv::Opciones o;
  o.conservaLineas = data[0] & 0x80;
  const auto& t = tablas();
  if (modo < 6) {
    std::u16string texto = cp1252::decode(fuzz::bytes(data + 1, size - 1));
    std::u16string r, informe;
    switch (modo) {
      case 0: r = cv::traduce(t, texto, cv::cara::kAthenian, informe, o); break;
      case 1: r = cv::traduce(t, texto, cv::cara::kGreek, informe, o); break;
      case 2: r = cv::traCom(t, texto, cv::cara::kGraeca, o); break;
      case 3: r = cv::traCom(t, texto, cv::cara::kGraece, o); break;
      case 4: r = cv::traBet(t, texto, true, o); break;
      case 5: r = cv::traBet(t, texto, false, o); break;
    }
    // A character may become a surrogate pair, never more.
    FUZZ_CHECK(r.size() <= 2 * texto.size());
    FUZZ_CHECK(lineas(informe) <= 2 * texto.size() + 8);  // lines, then the summary
    {
      // The command line's path, the bytes in pieces straight to UTF-8,
      // gives the same text.
      static constexpr std::u16string_view kOrigenes[] = {
          cv::cara::kAthenian, cv::cara::kGreek, cv::cara::kGraeca,
          cv::cara::kGraece,   cv::kBetaCode,    cv::cara::kSgreek};
      auto c = cv::aUnicode(t, kOrigenes[modo], o);
      const std::string_view bytes = fuzz::bytes(data + 1, size - 1);
      const size_t trozo = 1 + size % 13;
      std::string porBytes, esperado;
      for (size_t i = 0; i < bytes.size(); i += trozo) c->alimentaBytes(bytes.substr(i, trozo), porBytes);
      std::u16string fin;
      c->termina(fin);
      cv::utf8(fin, porBytes);
      cv::utf8(r, esperado);
      FUZZ_CHECK(porBytes == esperado);
    }
    if (modo == 4) {
      // BetaCode written from converted text reads back as that text, unless
      // a capital stands inside a word: the reader then makes the letter
      // before it the capital, as this BetaCode always did.
      cv::Opciones lineasIntactas{true};
      auto beta = cv::aBetaCode(t, r);
      bool capitalDentro = false;
      for (size_t i = 1; i < beta.size(); ++i)
        if (beta[i] == u'*' && std::u16string_view(u" \t\r\n").find(beta[i - 1]) == std::u16string_view::npos)
          capitalDentro = true;
      auto r2 = cv::traBet(t, beta, true, lineasIntactas);
      if (!capitalDentro) FUZZ_CHECK(cv::traBet(t, cv::aBetaCode(t, r2), true, lineasIntactas) == r2);
    }
    return 0;
  }
  static constexpr std::u16string_view kCaras[] = {cv::cara::kAthenian, cv::cara::kGraeca,
                                                   cv::cara::kGreek};
  auto cara = kCaras[modo - 6];
  std::u16string u = fuzz::unidades(data + 1, size - 1);
  o.conservaLineas = true;
  bool todoDeletreado = false;
  auto vuelta = idaYVuelta(u, cara, o, &todoDeletreado);
  // Text the face spells whole (nothing reported) comes back the same from a
  // second trip; what it cannot spell is reported, and copied as it is.
  if (todoDeletreado) FUZZ_CHECK(idaYVuelta(vuelta, cara, o) == vuelta);
  return 0;
}
