// The converters of the conversion window as plain functions over the
// in-memory tables: legacy 8-bit Greek fonts and BetaCode to Unicode, and
// Unicode back to the whole-glyph fonts.
//
// Texts are UTF-16. A legacy text holds one character per byte of the font,
// the Windows-1252 character of that byte, as a text box shows it; its 8-bit
// code is the Windows-1252 code of the character ("?" for one outside the
// code page).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "conversion/tablas.h"

namespace kalyxon::conversion {

struct Opciones {
  // Keep line breaks instead of joining the last word of a line to the first
  // of the next (the traditional behaviour, and the default).
  bool conservaLineas = false;
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
  void operator()() {
    ++hechos_;
    if (!f_ || ++n_ < 2048) return;
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
  unsigned n_ = 0;
};

// The lines of the error report.
std::u16string numero(int64_t x);  // decimal with a leading blank (or "-")
std::u16string lineaLetras(int64_t codigo, char16_t c, std::u16string_view cara);
std::u16string lineaSonido(int64_t codigo);

// Whole-glyph fonts ("Athenian", "Greek"): each character on its own.
// Unmapped characters are copied and reported in `informe`.
std::u16string traduce(const Tablas& t, std::u16string_view texto, std::u16string_view cara,
                       std::u16string& informe, const Opciones& o = {}, Bombeo* b = nullptr);

// Separate-mark fonts ("Graeca", Graece): a letter with the marks typed after
// it becomes one precomposed character. No report.
std::u16string traCom(const Tablas& t, std::u16string_view texto, std::u16string_view cara,
                      const Opciones& o = {}, Bombeo* b = nullptr);

// BetaCode (esBeta) or SGreek (upper-case letters are capitals too). No report.
std::u16string traBet(const Tablas& t, std::u16string_view texto, bool esBeta,
                      const Opciones& o = {}, Bombeo* b = nullptr);

// Unicode to a whole-glyph face; unmapped characters copied and reported.
// The window runs it without letting events in (it is quick); `b` serves a
// progress indicator.
std::u16string traducea(const Tablas& t, std::u16string_view texto, std::u16string_view cara,
                        std::u16string& informe, const Opciones& o = {}, Bombeo* b = nullptr);

// Unicode text as BetaCode in the conventions traBet reads (marks after a
// small letter, "*" and the marks before a capital, "s" for every sigma).
// Characters without a letter row are copied. Used to make test and
// benchmark texts from Unicode ones.
std::u16string aBetaCode(const Tablas& t, std::u16string_view texto);

}  // namespace kalyxon::conversion
