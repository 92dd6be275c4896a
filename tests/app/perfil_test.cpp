#include "util/perfil.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/prueba.h"

namespace kalyxon::util {
namespace {

namespace fs = std::filesystem;
using Carpeta = prueba::CarpetaTemporal;
using prueba::escribeFichero;
using prueba::leeFichero;

size_t cuenta(const fs::path& dir) {
  return std::distance(fs::directory_iterator(dir), fs::directory_iterator());
}

TEST(Perfil, ReadsNamesInAnyCaseAndValuesTrimmedAndCut) {
  Carpeta c;
  Perfil p(c / "kalyxon.ini");
  EXPECT_EQ(p.lee(u"opciones", u"ks"), u"");  // no file
  std::string largo(300, 'x');
  escribeFichero(p.fichero(),
                 "[otra]\r\nks=SI\r\n"
                 "  [Opciones]  \r\n"
                 "  Sigma Final =   si  \r\n"
                 "griego=\"Gentium Plus\"\r\n"
                 "largo=" + largo + "\r\n"
                 "\xc1NGULO=1\r\n");
  EXPECT_EQ(p.lee(u"otra", u"ks"), u"SI");
  EXPECT_EQ(p.lee(u"opciones", u"ks"), u"");  // another section's key
  EXPECT_EQ(p.lee(u"otra", u"ps"), u"");
  EXPECT_EQ(p.lee(u"nada", u"ks"), u"");
  EXPECT_EQ(p.lee(u"OPCIONES", u"sigma final"), u"si");
  EXPECT_EQ(p.lee(u"opciones", u"griego"), u"Gentium Plus");
  // A 240-character buffer holds 239 characters.
  EXPECT_EQ(p.lee(u"opciones", u"largo"), std::u16string(239, u'x'));
  EXPECT_EQ(p.lee(u"opciones", u"ángulo"), u"1");
}

TEST(Perfil, WritesKeepEverythingElseAndUseWindows1252) {
  Carpeta c;
  Perfil p(c / "kalyxon.ini");
  escribeFichero(p.fichero(),
                 "; comentario\r\n[otra]\r\nx=1\r\n\r\n"
                 "[opciones]\r\nks=NO\r\nlinea sin igual\r\n\x01\x02\xff basura\r\n\r\n"
                 "[final]\r\ny=2\r\n");
  ASSERT_TRUE(p.escribe(u"Opciones", u"KS", u"SI"));
  ASSERT_TRUE(p.escribe(u"opciones", u"autor", u"BÁSICO"));
  ASSERT_TRUE(p.escribe(u"nueva", u"z", u"€"));
  EXPECT_EQ(leeFichero(p.fichero()),
            "; comentario\r\n[otra]\r\nx=1\r\n\r\n"
            "[opciones]\r\nKS=SI\r\nlinea sin igual\r\n\x01\x02\xff basura\r\n"
            "autor=B\xc1SICO\r\n\r\n"
            "[final]\r\ny=2\r\n"
            "[nueva]\r\nz=\x80\r\n");
  EXPECT_EQ(p.lee(u"opciones", u"autor"), u"BÁSICO");
  EXPECT_EQ(p.lee(u"nueva", u"z"), u"€");
  // Nothing is left behind by the atomic write.
  EXPECT_EQ(cuenta(c.ruta()), 1u);
}

TEST(Perfil, EncodingsAreDetectedAndKeptAndLinksStayLinks) {
  Carpeta c;
  Perfil p(c / "kalyxon.ini");
  // A new file is UTF-8; line breaks in a value become blanks.
  ASSERT_TRUE(p.escribe(u"opciones", {{u"griego", u"λόγος"}, {u"normal", u"Times\nNew"}}));
  EXPECT_EQ(leeFichero(p.fichero()), "[opciones]\ngriego=λόγος\nnormal=Times New\n");

  struct Caso {
    std::string antes;        // the file as found
    std::u16string valor;     // written to "autor"
    std::string despues;      // the file afterwards
  };
  const Caso casos[] = {
      {"[opciones]\nks=SI", u"X", "[opciones]\nks=SI\nautor=X\n"},  // no final line end
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
    escribeFichero(p.fichero(), k.antes);
    std::u16string griego = p.lee(u"OPCIONES", u"GRIEGO");
    ASSERT_TRUE(p.escribe(u"opciones", u"autor", k.valor));
    EXPECT_EQ(leeFichero(p.fichero()), k.despues);
    EXPECT_EQ(p.lee(u"opciones", u"autor"), k.valor);
    EXPECT_EQ(p.lee(u"opciones", u"griego"), griego);
  }
  EXPECT_EQ(p.lee(u"opciones", u"griego"), u"Græcus");

#ifndef _WIN32
  // A symlinked settings file stays a link and keeps its mode (POSIX links).
  fs::create_directories(c / "real");
  escribeFichero(c / "real" / "k.ini", "[opciones]\nks=SI\n");
  fs::permissions(c / "real" / "k.ini", fs::perms::owner_read | fs::perms::owner_write);
  fs::remove(p.fichero());
  fs::create_symlink("real/k.ini", p.fichero());
  ASSERT_TRUE(p.escribe(u"opciones", u"ks", u"NO"));
  EXPECT_TRUE(fs::is_symlink(p.fichero()));
  EXPECT_EQ(leeFichero(c / "real" / "k.ini"), "[opciones]\nks=NO\n");
  EXPECT_EQ(fs::status(c / "real" / "k.ini").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
#endif
}

TEST(Perfil, AFailedWriteReportsFailureAndLeavesNothingBehind) {
  Carpeta c;
  // The settings path is taken by a folder: the final rename fails.
  fs::create_directories(c / "kalyxon.ini" / "dentro");
  Perfil p(c / "kalyxon.ini");
  EXPECT_FALSE(p.escribe(u"opciones", u"ks", u"NO"));
  EXPECT_EQ(p.lee(u"opciones", u"ks"), u"");
  EXPECT_EQ(cuenta(c.ruta()), 1u);
  EXPECT_FALSE(Perfil(c / "no" / "kalyxon.ini").escribe(u"opciones", u"ks", u"NO"));
}

}  // namespace
}  // namespace kalyxon::util
