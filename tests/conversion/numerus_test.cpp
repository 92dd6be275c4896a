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

