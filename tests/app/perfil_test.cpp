#include "util/perfil.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace kalyxon::util {
namespace {

namespace fs = std::filesystem;

struct Carpeta {
  fs::path ruta;
  Carpeta() {
    ruta = fs::temp_directory_path() /
           ("kalyxon_perfil_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(ruta);
    fs::create_directories(ruta);
  }
  ~Carpeta() { fs::remove_all(ruta); }
};

std::string lee(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void escribe(const fs::path& p, const std::string& s) {
  std::ofstream(p, std::ios::binary) << s;
}

TEST(Perfil, MissingFileSectionOrKeyReadsEmpty) {
  Carpeta c;
  Perfil p(c.ruta / "kalyxon.ini");
  EXPECT_EQ(p.lee(u"opciones", u"ks"), u"");
  escribe(p.fichero(), "[otra]\nks=SI\n");
  EXPECT_EQ(p.lee(u"opciones", u"ks"), u"");
  EXPECT_EQ(p.lee(u"otra", u"ps"), u"");
  EXPECT_EQ(p.lee(u"otra", u"ks"), u"SI");
}

TEST(Perfil, NamesIgnoreCaseAndValuesAreTrimmedAndCut) {
  Carpeta c;
  Perfil p(c.ruta / "kalyxon.ini");
  std::string largo(300, 'x');
  escribe(p.fichero(),
          "  [Opciones]  \r\n"
          "  Sigma Final =   si  \r\n"
          "griego=\"Gentium Plus\"\r\n"
          "largo=" + largo + "\r\n"
          "\xc1NGULO=1\r\n");
  EXPECT_EQ(p.lee(u"OPCIONES", u"sigma final"), u"si");
  EXPECT_EQ(p.lee(u"opciones", u"griego"), u"Gentium Plus");
  // A 240-character buffer holds 239 characters.
  EXPECT_EQ(p.lee(u"opciones", u"largo"), std::u16string(239, u'x'));
  EXPECT_EQ(p.lee(u"opciones", u"ángulo"), u"1");
}

TEST(Perfil, WritesKeepEverythingElseAndUseWindows1252) {
  Carpeta c;
  Perfil p(c.ruta / "kalyxon.ini");
  std::string antes =
      "; comentario\r\n"
      "[otra]\r\n"
      "x=1\r\n"
      "\r\n"
      "[opciones]\r\n"
      "ks=NO\r\n"
      "linea sin igual\r\n"
      "\x01\x02\xff basura\r\n"
      "\r\n"
      "[final]\r\n"
      "y=2\r\n";
  escribe(p.fichero(), antes);
  ASSERT_TRUE(p.escribe(u"Opciones", u"KS", u"SI"));
  ASSERT_TRUE(p.escribe(u"opciones", u"autor", u"BÁSICO"));
  ASSERT_TRUE(p.escribe(u"nueva", u"z", u"€"));
  EXPECT_EQ(lee(p.fichero()),
            "; comentario\r\n"
            "[otra]\r\n"
            "x=1\r\n"
            "\r\n"
            "[opciones]\r\n"
            "KS=SI\r\n"
            "linea sin igual\r\n"
            "\x01\x02\xff basura\r\n"
            "autor=B\xc1SICO\r\n"
            "\r\n"
            "[final]\r\n"
            "y=2\r\n"
            "[nueva]\r\n"
            "z=\x80\r\n");
  EXPECT_EQ(p.lee(u"opciones", u"autor"), u"BÁSICO");
  EXPECT_EQ(p.lee(u"nueva", u"z"), u"€");
  // Nothing is left behind by the atomic write.
  int ficheros = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(c.ruta)) ++ficheros;
  EXPECT_EQ(ficheros, 1);
}

TEST(Perfil, EncodingsAreDetectedAndKeptAndLinksStayLinks) {
  Carpeta c;
  Perfil p(c.ruta / "kalyxon.ini");
  // A new file is UTF-8; line breaks in a value become blanks.
  ASSERT_TRUE(p.escribe(u"opciones", {{u"griego", u"λόγος"}, {u"normal", u"Times\nNew"}}));
  EXPECT_EQ(lee(p.fichero()), "[opciones]\ngriego=λόγος\nnormal=Times New\n");
  // A file without a final line end gets one before a new key.
  escribe(p.fichero(), "[opciones]\nks=SI");
  ASSERT_TRUE(p.escribe(u"opciones", u"ps", u"NO"));
  EXPECT_EQ(lee(p.fichero()), "[opciones]\nks=SI\nps=NO\n");

  struct Caso {
    std::string antes;        // the file as found
    std::u16string valor;     // written to "autor"
    std::string despues;      // the file afterwards
  };
  const Caso casos[] = {
      // UTF-8 with a mark: names fold case through the mark, the mark stays.
      {"\xEF\xBB\xBF[Opciones]\r\ngriego=Ἀθηνᾶ\r\n", u"BÁSICO",
       "\xEF\xBB\xBF[Opciones]\r\ngriego=Ἀθηνᾶ\r\nautor=BÁSICO\r\n"},
      // Windows-1252 stays Windows-1252 while it can hold the text...
      {"[opciones]\ngriego=Gr\xe6" "cus\n", u"PLATÓN", "[opciones]\ngriego=Gr\xe6" "cus\nautor=PLAT\xd3N\n"},
      // ...unless what is left of it would read as UTF-8 (the line with the
      // only bytes UTF-8 refuses is replaced; a fuzzing find)...
      {"[opciones]\r\nautor=E\\ [opci\x91\x87opcioidioma=\n", u"ß·SICO", "[opciones]\r\nautor=ß·SICO\r\n"},
      // ...and becomes UTF-8, losing nothing, when it cannot hold the text.
      {"[opciones]\ngriego=Gr\xe6" "cus\n", u"Ὅμηρος", "[opciones]\ngriego=Græcus\nautor=Ὅμηρος\n"},
  };
  for (const auto& k : casos) {
    escribe(p.fichero(), k.antes);
    std::u16string griego = p.lee(u"OPCIONES", u"GRIEGO");
    ASSERT_TRUE(p.escribe(u"opciones", u"autor", k.valor));
    EXPECT_EQ(lee(p.fichero()), k.despues);
    EXPECT_EQ(p.lee(u"opciones", u"autor"), k.valor);
    EXPECT_EQ(p.lee(u"opciones", u"griego"), griego);
  }
  EXPECT_EQ(p.lee(u"opciones", u"griego"), u"Græcus");

#ifndef _WIN32
  // A symlinked settings file stays a link and keeps its mode (POSIX links).
  fs::create_directories(c.ruta / "real");
  escribe(c.ruta / "real" / "k.ini", "[opciones]\nks=SI\n");
  fs::permissions(c.ruta / "real" / "k.ini", fs::perms::owner_read | fs::perms::owner_write);
  fs::remove(p.fichero());
  fs::create_symlink("real/k.ini", p.fichero());
  ASSERT_TRUE(p.escribe(u"opciones", u"ks", u"NO"));
  EXPECT_TRUE(fs::is_symlink(p.fichero()));
  EXPECT_EQ(lee(c.ruta / "real" / "k.ini"), "[opciones]\nks=NO\n");
  EXPECT_EQ(fs::status(c.ruta / "real" / "k.ini").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
#endif
}

TEST(Perfil, AFailedWriteReportsFailureAndLeavesNothingBehind) {
  Carpeta c;
  // The settings path is taken by a folder: the final rename fails.
  fs::create_directories(c.ruta / "kalyxon.ini" / "dentro");
  Perfil p(c.ruta / "kalyxon.ini");
  EXPECT_FALSE(p.escribe(u"opciones", u"ks", u"NO"));
  EXPECT_EQ(p.lee(u"opciones", u"ks"), u"");
  int ficheros = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(c.ruta)) ++ficheros;
  EXPECT_EQ(ficheros, 1);
  EXPECT_FALSE(Perfil(c.ruta / "no" / "kalyxon.ini").escribe(u"opciones", u"ks", u"NO"));
}

}  // namespace
}  // namespace kalyxon::util
