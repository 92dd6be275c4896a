// The converters of the conversion window: legacy 8-bit Greek fonts and
// BetaCode to Unicode, and Unicode back to the legacy fonts and BetaCode.
//
// Texts are UTF-16. A legacy text holds one character per byte of the font,
// the Windows-1252 character of that byte, as a text box shows it; its 8-bit
// code is the Windows-1252 code of the character ("?" for one outside the
// code page).
//
// Every converter is a `Conversor` that takes its text in pieces and holds
// back at most a letter and its marks between pieces, so a file of any size
// converts in bounded memory. What a converter cannot convert it copies into
// the result and tells an `Informe`, which may stream it to a file.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "conversion/tablas.h"

namespace kalyxon::conversion {

struct Opciones {
  // Keep line breaks. Off, a line break becomes one space: the words on both
  // sides stay apart, and a sigma before it is final.
  bool conservaLineas = false;
  // In the "Greek" face, "," is the thousands sign ͵ rather than a comma:
  // what the numeral builder writes.
  bool comaNumeral = false;
};

// Lets pending window events run every few milliseconds during a long
// conversion; the clock is read only every few thousand characters, so the
// cost per character stays negligible.
class Bombeo {
 public:
  Bombeo() = default;
  explicit Bombeo(std::function<void()> f, std::chrono::milliseconds cada = std::chrono::milliseconds(5))
      : f_(std::move(f)), cada_(cada), ultimo_(std::chrono::steady_clock::now()) {}
  // Called once per character processed.
  void operator()() { avanza(1); }
  // Called for `n` characters processed at once.
  void avanza(size_t n) {
    hechos_ += n;
    n_ += n;
    if (!f_ || n_ < 2048) return;
    n_ = 0;
    auto t = std::chrono::steady_clock::now();
    if (t - ultimo_ >= cada_) {
      ultimo_ = t;
      if (avance) avance(hechos_);
      f_();
    }
  }
  // Told the characters processed so far, just before each pump (a front
  // end's progress bar).
  std::function<void(size_t)> avance;
  // Characters processed so far (for a progress indicator).
  size_t hechos() const { return hechos_; }

 private:
  std::function<void()> f_;
  size_t hechos_ = 0;
  std::chrono::milliseconds cada_{5};
  std::chrono::steady_clock::time_point ultimo_{};
  size_t n_ = 0;
};

// The lines of the error report.
std::u16string numero(int64_t x);  // decimal with a leading blank (or "-")
std::u16string lineaLetras(int64_t codigo, char16_t c, std::u16string_view cara);
std::u16string lineaSonido(int64_t codigo);

// Where a conversion reports the characters it could not convert, one line
// each as they come (CR LF ended), and at the end a summary: how often each
// character failed. Only the summary's counts are kept in memory (at most
// one per distinct character), so a report of millions of lines costs no
// more memory than one of ten.
class Informe {
 public:
  virtual ~Informe() = default;
  // No "letras" row for (face, code); `c` is the character.
  void sinLetra(int64_t codigo, char16_t c, std::u16string_view cara);
  // No "sonido" row for the code point (or letter code) `codigo` of `c`.
  void sinSonido(int64_t codigo, char16_t c);
  // A letter whose marks make no character: kept as letter and combining
  // marks; `posicion` counts the characters of the source from 1.
  void sinCombinacion(int64_t posicion, std::u16string_view letra);
  // Writes the summary (nothing when nothing failed).
  void termina();
  uint64_t lineas() const { return lineas_; }

 protected:
  virtual void escribe(std::u16string_view linea) = 0;

 private:
  void cuenta(char16_t c) {
    ++lineas_;
    ++veces_[c];
  }
  std::map<char16_t, uint64_t> veces_;
  uint64_t lineas_ = 0;
  int64_t ultimoCodigo_ = -1;
  char16_t ultimoCar_ = 0;
  std::u16string ultimaCara_, ultimaLinea_;
};

// A report kept as text (small conversions, tests).
class InformeTexto : public Informe {
 public:
  std::u16string texto;

 protected:
  void escribe(std::u16string_view linea) override { texto += linea; }
};

// One conversion in course.
class Conversor {
 public:
  virtual ~Conversor() = default;
  // Converts the next piece of the text, appending to `salida`.
  virtual void alimenta(std::u16string_view trozo, std::u16string& salida) = 0;
  // The same for a legacy text given as its bytes, appending UTF-8 (the
  // command line's path: the separate-mark faces and BetaCode read the
  // bytes and write UTF-8 directly).
  virtual void alimentaBytes(std::string_view bytes, std::string& salida);
  // The text has ended: flushes what is held back.
  virtual void termina(std::u16string& salida) = 0;
};

// The pseudo-face of BetaCode for the two functions below.
inline constexpr std::u16string_view kBetaCode = u"BetaCode";

// A converter from `origen` (a face of "letras", or kBetaCode) to Unicode.
// "Athenian" and "Greek" are whole-glyph faces; every other face's marks
// are typed after the letter. Without `informe` failures are only copied.
std::unique_ptr<Conversor> aUnicode(const Tablas& t, std::u16string_view origen,
                                    const Opciones& o = {}, Informe* informe = nullptr);
// A converter from Unicode to `destino` (a face of "letras", or kBetaCode).
// The input is taken in composed form (NFC), piece by piece.
std::unique_ptr<Conversor> deUnicode(const Tablas& t, std::u16string_view destino,
                                     const Opciones& o = {}, Informe* informe = nullptr);

// Appends `texto` as UTF-8 (a quicker path than the general one for the
// megabytes a conversion writes; a lone surrogate becomes U+FFFD).
void utf8(std::u16string_view texto, std::string& salida);

// A whole text through a converter, with `b` told the progress.
std::u16string convierte(Conversor& c, std::u16string_view texto, Bombeo* b = nullptr);

// The converters of the window's entries on whole texts. `informe` receives
// the report lines (without the summary).
std::u16string traduce(const Tablas& t, std::u16string_view texto, std::u16string_view cara,
                       std::u16string& informe, const Opciones& o = {}, Bombeo* b = nullptr);
// Separate-mark faces ("Graeca", Graece, "Sgreek Fixed").
std::u16string traCom(const Tablas& t, std::u16string_view texto, std::u16string_view cara,
                      const Opciones& o = {}, Bombeo* b = nullptr);
// BetaCode (esBeta) or SGreek.
std::u16string traBet(const Tablas& t, std::u16string_view texto, bool esBeta,
                      const Opciones& o = {}, Bombeo* b = nullptr);
std::u16string traducea(const Tablas& t, std::u16string_view texto, std::u16string_view cara,
                        std::u16string& informe, const Opciones& o = {}, Bombeo* b = nullptr);
// Unicode text as BetaCode (line breaks kept).
std::u16string aBetaCode(const Tablas& t, std::u16string_view texto);

}  // namespace kalyxon::conversion
