// The alphabet tables: the facts the keyboard, the dictionary and the
// converters rely on, reproducibility of ALPHA.db from the repository, and
// coverage of the precomposed letters by the keyboard.
#include "greek/alfabeto.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/kalyxon.h"
#include "greek/compositor.h"
#include "keyboard/diacriticos.h"
#include "platform/scripted.h"
#include "support/prueba.h"

namespace kalyxon {
namespace {

namespace fs = std::filesystem;

class AlfabetoTest : public ::testing::Test {
 protected:
  platform::scripted::ScriptedServices s;
  Kalyxon k{s.services(), KALYXON_RUNTIME_DIR};
  const Alfabeto& a = k.alfabeto();
};

// (What each letter key types is checked end to end by the typing tables.)

TEST_F(AlfabetoTest, RowsFitTheWholeGlyphLookupsBothWaysAndNoMoreCharacters) {
  ASSERT_TRUE(a.cargado()) << a.error();
  EXPECT_GT(a.sonidos().size(), 250u);
  std::set<int32_t> unis;
  std::map<int32_t, int> codfonDe;
  for (const RegSonido& f : a.sonidos()) {
    EXPECT_TRUE(unis.insert(f.coduni).second) << "code point in two rows: " << f.coduni;
    auto [it, nuevo] = codfonDe.emplace(f.codlet, f.codfon);
    EXPECT_TRUE(nuevo) << "codlet in two rows: " << f.codlet;
    // code point -> row -> codlet -> first row with that codlet -> same code point
    EXPECT_EQ(a.sonidoPorCodlet(a.sonidoPorUni(f.coduni)->codlet)->coduni, f.coduni);
    EXPECT_NE(a.fonema(f.codfon), nullptr) << "no fonema row for " << int(f.codfon);
  }
  // What neither the typing tables nor the conversion tests reach: a symbol
  // form's sound and combinations with no character.
  EXPECT_EQ(a.sonidoPorUni(0x03D0)->codfon, 2);  // ϐ is a beta
  EXPECT_EQ(a.sonidoPorMarcas(2, 1, 0, 0, 0, 0), nullptr);
  EXPECT_EQ(a.sonidoPorMarcas(1, 1, 0, 0, 0, 999), nullptr);
}

TEST_F(AlfabetoTest, FonemaGivesBetaCodeKeysAndTransliterations) {
  // Dictionary key letters and transliterations of alfa..omega, in order.
  std::u16string tre, trl;
  for (int i = 1; i <= 24; ++i) {
    const RegFonema* f = a.fonema(i);
    ASSERT_NE(f, nullptr) << i;
    EXPECT_FALSE(f->nomfon.empty()) << i;
    tre += f->TRE;
    trl += f->TRL + u" ";
  }
  EXPECT_EQ(tre, u"ABGDEZHQIKLMNCOPRSTUFXYW");
  EXPECT_EQ(trl, u"a b g d e z ē th i k l m n x o p r s t y ph ch ps ō ");
  EXPECT_EQ(a.fonema(14)->nomfon, u"xi");
  for (int c : {25, 27, 28, 29, 30, 31, 32, 33}) EXPECT_NE(a.fonema(c), nullptr) << c;
}

TEST_F(AlfabetoTest, ABrokenFileKeepsTheTablesAndSaysWhy) {
  Alfabeto& al = k.alfabeto();
  const size_t filas = al.sonidos().size();
  const prueba::CarpetaTemporal dir;
  prueba::escribeFichero(dir / "roto.db", "not a database");
  EXPECT_FALSE(al.carga(dir / "roto.db"));
  EXPECT_NE(al.error().find("ALPHA.db"), std::string::npos);
  EXPECT_FALSE(al.carga(dir / "no_such_alpha.db"));
  EXPECT_EQ(al.sonidos().size(), filas);
  EXPECT_NE(al.sonidoPorCodlet('A'), nullptr);
}

// The generators run in the build tree's host tools and use ICU: Linux only.
#ifndef _WIN32
// ---- Reproducibility ---------------------------------------------------------

TEST_F(AlfabetoTest, CsvAndDatabaseAreReproducible) {
  fs::path tools = fs::path(KALYXON_RUNTIME_DIR).parent_path() / "tools";
  fs::path alpha = fs::path(KALYXON_SOURCE_DIR) / "data" / "alpha";
  // The committed CSV files are what the generator writes today.
  std::string check = (tools / "kalyxon_alfabetogen").string() + " --check " + alpha.string();
  EXPECT_EQ(std::system(check.c_str()), 0) << "run: cmake --build build --target alfabeto_csv";

  // Building the database again from the CSV files gives the same tables.
  const prueba::CarpetaTemporal dir;
  const fs::path otra = dir / "ALPHA.db";
  std::string build = (tools / "kalyxon_tabladb").string() + " " + otra.string();
  for (const char* t : {"sonido", "fonema", "fonetica"})
    build += " " + (alpha / (std::string(t) + ".csv")).string();
  ASSERT_EQ(std::system(build.c_str()), 0);
  Kalyxon k2(s.services(), KALYXON_RUNTIME_DIR);
  ASSERT_TRUE(k2.alfabeto().carga(otra)) << k2.alfabeto().error();
  const auto& x = a.sonidos();
  const auto& y = k2.alfabeto().sonidos();
  ASSERT_EQ(x.size(), y.size());
  for (size_t i = 0; i < x.size(); ++i)
    EXPECT_EQ(std::tie(x[i].codlet, x[i].coduni, x[i].codfon),
              std::tie(y[i].codlet, y[i].coduni, y[i].codfon)) << i;
  EXPECT_EQ(a.fonemas().size(), k2.alfabeto().fonemas().size());
  EXPECT_EQ(a.foneticas().size(), k2.alfabeto().foneticas().size());
}

// ---- Coverage ----------------------------------------------------------------

// Every precomposed letter of the Greek and Greek Extended blocks whose marks
// are polytonic (accents, breathings, diaeresis, iota subscript or adscript)
// must be typeable: some dead keys and one letter key, with or without Shift,
// compose a character canonically equivalent to it.
TEST_F(AlfabetoTest, EveryPolytonicLetterIsReachableByDeadKeys) {
  UErrorCode err = U_ZERO_ERROR;
  const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(err);
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(err);
  ASSERT_TRUE(U_SUCCESS(err));
  const std::set<UChar32> polytonicas = {0x0300, 0x0301, 0x0342, 0x0313, 0x0314, 0x0308, 0x0345};

  std::set<UChar32> objetivo;
  for (auto [desde, hasta] : {std::pair{0x0370, 0x03FF}, std::pair{0x1F00, 0x1FFF}}) {
    for (UChar32 c = desde; c <= hasta; ++c) {
      if (!u_isalpha(c)) continue;
      icu::UnicodeString d = nfd->normalize(icu::UnicodeString(c), err);
      if (d.length() < 2) continue;  // not precomposed
      UChar32 b = d.char32At(0);
      if (!(b >= 0x03B1 && b <= 0x03C9) && !(b >= 0x0391 && b <= 0x03A9)) continue;
      bool polytonica = true;
      for (int32_t i = d.moveIndex32(0, 1); i < d.length(); i = d.moveIndex32(i, 1))
        polytonica &= polytonicas.count(d.char32At(i)) > 0;
      if (polytonica) objetivo.insert(c);
    }
  }

  std::set<std::u16string> tecleadas;  // NFC texts typed
  using Muerta = std::pair<int32_t, bool>;  // a dead key and its Shift; 0 for none
  const std::vector<Muerta> acentos = {{0, 0}, {222, 0}, {186, 0}, {186, 1}},
                            espiritus = {{0, 0}, {57, 1}, {56, 1}}, dieresis = {{0, 0}, {222, 1}},
                            iotas = {{0, 0}, {192, 0}};
  for (int32_t letra = 'A'; letra <= 'Z'; ++letra)
    for (int may = 0; may <= 1; ++may)
      for (auto ac : acentos)
        for (auto es : espiritus)
          for (auto di : dieresis)
            for (auto io : iotas) {
              k.form1.nUltCar = 0;
              k.form1.lInicio = false;
              for (auto [tecla, mayuscula] : {di, ac, es, io})
                if (tecla) k.diacriticos().ponDiacritico(tecla, mayuscula);
              std::u16string t = k.compositor().daGriego(letra, may);
              icu::UnicodeString n = nfc->normalize(icu::UnicodeString(t.data(), t.size()), err);
              tecleadas.insert(std::u16string(n.getBuffer(), n.length()));
            }

  std::string faltan;
  for (UChar32 c : objetivo) {
    icu::UnicodeString n = nfc->normalize(icu::UnicodeString(c), err);
    if (tecleadas.count(std::u16string(n.getBuffer(), n.length()))) continue;
    char buf[16];
    std::snprintf(buf, sizeof buf, " U+%04X", c);
    faltan += buf;
  }
  EXPECT_GT(objetivo.size(), 200u);
  EXPECT_EQ(faltan, "") << "unreachable";
}

#endif  // _WIN32

}  // namespace
}  // namespace kalyxon
