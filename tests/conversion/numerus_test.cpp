#include "greek/numerus.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/kalyxon.h"
#include "conversion/frmtra.h"
#include "platform/scripted.h"
#include "tablas_prueba.h"

namespace kalyxon {
namespace {

using conversion::prueba::u;

class Numerales : public ::testing::Test {
 protected:
  Numerales()
      : k_(s_.services(), carpeta_.ruta()) {
    k_.frmtra().usaTablas(conversion::prueba::cargadas());
  }
  void SetUp() override { KALYXON_REQUIERE_TABLAS(); }

  // Types the digits of `digitos`, then the key `fin`, as hazNumero sees them.
  std::u16string teclea(std::string_view digitos, int32_t fin = 32) {
    for (char d : digitos) {
      int32_t t = d;
      bool may = false;
      EXPECT_EQ(k_.numerus().hazNumero(t, may), u"");
    }
    bool may = false;
    return k_.numerus().hazNumero(fin, may);
  }

  platform::scripted::ScriptedServices s_;
  conversion::prueba::CarpetaTemporal carpeta_;
  Kalyxon k_;
};

TEST_F(Numerales, ValuesBecomeLettersWithTheNumeralSign) {
  const std::pair<const char16_t*, const char*> casos[] = {
      {u"1", "α\u0374"},      {u"15", "ιε\u0374"},         {u"105", "ρε\u0374"},
      {u"999", "ϡϟθ\u0374"},  {u"2024", "͵βκδ\u0374"},     {u"6", "ϛ\u0374"},
      {u"12000", "͵ι͵β\u0374"}, {u"1000000", "͵͵α\u0374"}, {u"0", ""},
      {u"2147483648", ""},     {u"99999999999999999999", ""},
  };
  for (const auto& [valor, numeral] : casos)
    EXPECT_EQ(k_.numerus().daNumeral(valor), u(numeral)) << numeral;
}

TEST_F(Numerales, RunsEndAtTheNextKey) {
  // 0, 0, 7 then any other key: three backspaces and ζ with the sign; the
  // caller types the key itself after it.
  EXPECT_EQ(teclea("007"), u("{BKSP}{BKSP}{BKSP}ζ\u0374"));
  EXPECT_TRUE(k_.form1.cNumGri.empty());
  EXPECT_TRUE(k_.form1.cNumBor.empty());
  // A run of zeros gives nothing: the digits stay.
  EXPECT_EQ(teclea("0"), u"");
  EXPECT_EQ(teclea("15", 65), u("{BKSP}{BKSP}ιε\u0374"));
  // No numeral run: nothing to replace.
  EXPECT_EQ(teclea("", 32), u"");
}

}  // namespace
}  // namespace kalyxon

