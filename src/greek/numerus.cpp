#include "greek/numerus.h"

#include <string_view>

#include "app/kalyxon.h"
#include "conversion/frmtra.h"
#include "greek/compositor.h"

namespace kalyxon {

namespace {

// The k-th character (k from 1) stands for the digit k, in the "Greek" face.
constexpr std::u16string_view kUnidades = u"abgde$zhq";
constexpr std::u16string_view kDecenas = u"iklmnxop%";
constexpr std::u16string_view kCentenas = u"rstufcyw\"";

constexpr char16_t kSignoNumeral = u'\u0374';

}  // namespace

std::optional<int32_t> Numerus::valor(const std::u16string& digitos) {
  if (digitos.empty()) return std::nullopt;
  int64_t v = 0;
  for (char16_t c : digitos) {
    if (c < u'0' || c > u'9') return std::nullopt;
    v = v * 10 + (c - u'0');
    if (v > INT32_MAX) return std::nullopt;
  }
  return static_cast<int32_t>(v);
}

std::u16string Numerus::letrasGreek(int32_t n) {
  if (n <= 0) return {};
  std::u16string s;
  if (int32_t m = n / 1000; m > 0) {
    // Every letter of the thousands part gets its own thousands sign.
    for (char16_t c : letrasGreek(m)) {
      if (c != u',') s += u',';
      s += c;
    }
  }
  int32_t r = n % 1000;
  int32_t h = r / 100, t = r / 10 % 10, u = r % 10;
  if (h > 0) s += kCentenas[static_cast<size_t>(h - 1)];
  if (t > 0) s += kDecenas[static_cast<size_t>(t - 1)];
  if (u > 0) s += kUnidades[static_cast<size_t>(u - 1)];
  return s;
}

std::u16string Numerus::daNumeral(const std::u16string& x) {
  auto n = valor(x);
  std::u16string s = n ? letrasGreek(*n) : std::u16string{};
  std::u16string r = k_.frmtra().traGreUni(s);
  if (!r.empty()) r += kSignoNumeral;
  return r;
}

std::u16string Numerus::hazNumero(int32_t& tecla, bool& may) {
  auto& f = k_.form1;
  if (!may && tecla >= u'0' && tecla <= u'9') {
    f.cNumGri += static_cast<char16_t>(tecla);
    f.cNumBor += u"{BKSP}";
    return {};
  }
  // Any other key ends the run, shifted or not: a shifted digit is a symbol
  // typed after the digits, and a numeral made later would delete it.
  std::u16string resultado;
  if (!f.cNumGri.empty()) {
    std::u16string n = daNumeral(f.cNumGri);
    if (!n.empty()) resultado = f.cNumBor + k_.compositor().daTexto(n);
  }
  f.cNumGri.clear();
  f.cNumBor.clear();
  return resultado;
}

}  // namespace kalyxon
