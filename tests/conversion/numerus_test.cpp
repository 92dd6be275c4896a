// Values to Greek numerals; typing a run of digits is in the keyboard's tables.
#include "greek/numerus.h"

#include <gtest/gtest.h>

#include "app/kalyxon.h"
#include "conversion/frmtra.h"
#include "platform/scripted.h"
#include "tablas_prueba.h"

namespace kalyxon {
namespace {

TEST(Numerales, ValuesBecomeLettersWithTheNumeralSign) {
  KALYXON_REQUIERE_TABLAS();
  platform::scripted::ScriptedServices s;
  conversion::prueba::CarpetaTemporal carpeta;
  Kalyxon k(s.services(), carpeta.ruta());
  k.frmtra().usaTablas(conversion::prueba::cargadas());
  const std::pair<const char16_t*, const char*> casos[] = {
      {u"1", "α\u0374"},      {u"15", "ιε\u0374"},         {u"105", "ρε\u0374"},
      {u"999", "ϡϟθ\u0374"},  {u"2024", "͵βκδ\u0374"},     {u"6", "ϛ\u0374"},
      {u"12000", "͵ι͵β\u0374"}, {u"1000000", "͵͵α\u0374"}, {u"0", ""},
      {u"2147483648", ""},     {u"99999999999999999999", ""},
  };
  for (const auto& [valor, numeral] : casos)
    EXPECT_EQ(k.numerus().daNumeral(valor), conversion::prueba::u(numeral)) << numeral;
}

}  // namespace
}  // namespace kalyxon
