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
      : carpeta_(std::filesystem::temp_directory_path() /
                 ("kalyxon-numerus-" + std::to_string(::getpid()))),
        k_((std::filesystem::create_directories(carpeta_), s_.services()), carpeta_) {
    k_.frmtra().usaTablas(conversion::prueba::cargadas());
  }
  void SetUp() override { KALYXON_REQUIERE_TABLAS(); }
  ~Numerales() override { std::filesystem::remove_all(carpeta_); }

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
  std::filesystem::path carpeta_;
  Kalyxon k_;
};

TEST_F(Numerales, ValuesBecomeLettersWithTheNumeralSign) {
  auto& n = k_.numerus();
  EXPECT_EQ(n.daNumeral(u"1"), u("α\u0374"));
  EXPECT_EQ(n.daNumeral(u"15"), u("ιε\u0374"));
  EXPECT_EQ(n.daNumeral(u"105"), u("ρε\u0374"));
  EXPECT_EQ(n.daNumeral(u"999"), u("ϡϟθ\u0374"));
  EXPECT_EQ(n.daNumeral(u"2024"), u("͵βκδ\u0374"));
  EXPECT_EQ(n.daNumeral(u"6"), u("ϛ\u0374"));
  EXPECT_EQ(n.daNumeral(u"12000"), u("͵ι͵β\u0374"));
  EXPECT_EQ(n.daNumeral(u"1000000"), u("͵͵α\u0374"));
  EXPECT_EQ(n.daNumeral(u"0"), u"");
  EXPECT_EQ(n.daNumeral(u"2147483648"), u"");
  EXPECT_EQ(n.daNumeral(u"99999999999999999999"), u"");
}

TEST_F(Numerales, RunsEndAtTheNextKey) {
  // 0, 0, 7 then space: three backspaces, ζ with the sign, then the space's text.
  std::u16string r = teclea("007");
  EXPECT_EQ(r.substr(0, 20), u("{BKSP}{BKSP}{BKSP}ζ\u0374"));
  EXPECT_TRUE(k_.form1.cNumGri.empty());
  EXPECT_TRUE(k_.form1.cNumBor.empty());
  // A run of zeros gives nothing: the digits stay.
  EXPECT_EQ(teclea("0"), u"");
  EXPECT_TRUE(k_.form1.cNumGri.empty());
  // Key code 0 collects the numeral without a NUL after it.
  EXPECT_EQ(teclea("15", 0), u("{BKSP}{BKSP}ιε\u0374"));
  // Shifted keys neither extend nor end a run.
  int32_t t = '1';
  bool may = false;
  k_.numerus().hazNumero(t, may);
  t = '2';
  may = true;
  EXPECT_EQ(k_.numerus().hazNumero(t, may), u"");
  t = 65;
  EXPECT_EQ(k_.numerus().hazNumero(t, may), u"");
  EXPECT_EQ(k_.form1.cNumGri, u"1");
  EXPECT_EQ(teclea("", 0), u("{BKSP}α\u0374"));
  // No numeral run: nothing to replace.
  EXPECT_EQ(teclea("", 32), u"");
}

}  // namespace
}  // namespace kalyxon

#include "keyboard/simulador.h"

namespace kalyxon {
namespace {

// Typing digits with "numerales" on: the digits reach the application, then
// the numeral replaces them when the run ends. The separator that ends the
// run is a taken key whose own text the numeral replaces.
TEST(NumeralesTecleados, DigitsBecomeTheNumeralInTheApplication) {
  KALYXON_REQUIERE_TABLAS();
  struct Caso {
    const char* guion;
    const char* esperado;
  } casos[] = {
      {"50 48 50 52 space", "͵βκδ\u0374"},
      {"49 53 space", "ιε\u0374"},
      {"49 48 53 space", "ρε\u0374"},
      {"48 space", "0 "},
      {"48 48 55 space", "ζ\u0374"},
  };
  for (const auto& c : casos) {
    TecladoSimulado s(KALYXON_RUNTIME_DIR);
    s.form1().mnunum.checked = true;
    s.activaGriego();
    s.escribe(c.guion);
    EXPECT_EQ(s.textoUtf8(), c.esperado) << c.guion;
  }
}

}  // namespace
}  // namespace kalyxon
