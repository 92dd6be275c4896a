#include "util/ficgen.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <thread>

#include <sys/stat.h>

#include "platform/scripted.h"
#include "support/prueba.h"
#include "util/cp1252.h"
#include "util/utf.h"

namespace kalyxon::FicGen {
namespace {

namespace fs = std::filesystem;
using util::toUtf8;

// A fresh folder without dots in its own name, removed afterwards.
class FicGenTest : public ::testing::Test {
 protected:
  prueba::CarpetaTemporal carpeta_;
  const fs::path& dir_ = carpeta_.ruta();
  platform::scripted::ScriptedMessageBox box_;

  std::string shown(size_t i = 0) const {
    return i < box_.shown.size() ? toUtf8(box_.shown[i].text) : "(nothing shown)";
  }
};

TEST(Cp1252, RoundTripsEveryByteAndMarksMissingCharacters) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(cp1252::encode(cp1252::decode(all)), all);
  EXPECT_EQ(toUtf8(cp1252::decode("\x80\x9f\xf1\x81")), "€Ÿñ\u0081");
  EXPECT_EQ(cp1252::encode(u"€ñ α\U0001F600!"), "\x80\xf1 ?" "?!");
}

TEST(Utf, ConvertsBothWaysAndReplacesMalformedInput) {
  const std::u16string text = u"λόγος \U0001D538 €";
  EXPECT_EQ(util::fromUtf8(toUtf8(text)), text);
  EXPECT_EQ(util::fromUtf8("a\xff" "b\xe2\x82"), u"a\uFFFDb\uFFFD\uFFFD");
  EXPECT_EQ(util::fromUtf8("\xc0\xaf\xed\xa0\x80"), std::u16string(5, u'\uFFFD'));
  EXPECT_EQ(toUtf8(std::u16string(1, char16_t(0xDC00)) + u"x"), "\xef\xbf\xbdx");
}

TEST_F(FicGenTest, EscrituraAtomicaTakesPiecesAndReplacesOnlyWhenDone) {
  const fs::path f = dir_ / "informe.txt";
  prueba::escribeFichero(f, "old");
  auto sinTemporales = [&] {
    for (const auto& e : fs::directory_iterator(dir_))
      EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
  };
  // Small pieces gather in the buffer, large ones go straight out, in order.
  std::string esperado;
  {
    EscrituraAtomica w(f);
    ASSERT_FALSE(w.error());
    for (size_t n : {1u, 40000u, 30000u, 200000u, 7u, 70000u}) {
      const std::string trozo(n, static_cast<char>('a' + n % 26));
      w.escribe(trozo);
      esperado += trozo;
      EXPECT_EQ(prueba::leeFichero(f), "old");  // the old file stands until the end
    }
    EXPECT_FALSE(w.termina());
  }
  EXPECT_EQ(prueba::leeFichero(f), esperado);
  sinTemporales();
  // Abandoned before the end: the old file stays, the temporary one goes.
  {
    EscrituraAtomica w(f);
    w.escribe(std::string(100000, 'x'));
  }
  EXPECT_EQ(prueba::leeFichero(f), esperado);
  sinTemporales();
  // A folder, or a missing one, is an error from the start.
  EXPECT_TRUE(EscrituraAtomica(dir_).error());
  EscrituraAtomica falta(dir_ / "no" / "x.txt");
  EXPECT_TRUE(falta.error());
  falta.escribe("x");
  EXPECT_TRUE(falta.termina());
}

TEST_F(FicGenTest, GrabaFicheroWritesCodePageTextWithALineEndAndReplaces) {
  const fs::path f = dir_ / "infErrores.txt";
  prueba::escribeFichero(f, "old text that is longer");
  grabaFichero(f, u"€ñ α");
  EXPECT_EQ(prueba::leeFichero(f), "\x80\xf1 ?\r\n");
  grabaFichero(f, u"");
  EXPECT_EQ(prueba::leeFichero(f), "\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);

  try {
    grabaFichero(dir_ / "missing" / "x.txt", u"x");
    ADD_FAILURE() << "wrote into a missing folder";
  } catch (const FicheroError& e) {
    EXPECT_EQ(toUtf8(e.description()), "No se encontró la ruta de acceso");
  }
  EXPECT_THROW(grabaFichero(dir_, u"x"), FicheroError);  // a folder is no file
  EXPECT_TRUE(fs::is_directory(dir_));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(FicGenTest, LeeFicheroReadsBytesAsCharactersAndReportsErrors) {
  const fs::path f = dir_ / "texto.txt";
  prueba::escribeFichero(f, std::string("ab\r\n\x80\0z", 7));
  EXPECT_EQ(leeFichero(f.string(), box_), std::u16string(u"ab\r\n€\0z", 7));
  prueba::escribeFichero(f, "");
  EXPECT_EQ(leeFichero(f.string(), box_), u"");
  EXPECT_TRUE(box_.shown.empty());

#ifndef _WIN32
  // Only the first "\..\" is turned into "\" (a backslash is an ordinary
  // character in a file name here; on Windows it separates folders).
  prueba::escribeFichero(dir_ / "a\\b\\..\\c.txt", "ok");
  EXPECT_EQ(toUtf8(leeFichero((dir_ / "a\\..\\b\\..\\c.txt").string(), box_)), "ok");
#endif

  const std::string missing = (dir_ / "no.txt").string();
  EXPECT_EQ(leeFichero(missing, box_), u"");
  ASSERT_EQ(box_.shown.size(), 1u);
  EXPECT_EQ(shown(), missing + " No se encontró el archivo");
  EXPECT_EQ(box_.shown[0].buttons, platform::Buttons::Ok);
  EXPECT_EQ(leeFichero(dir_.string(), box_), u"");
  EXPECT_EQ(shown(1), dir_.string() + " Error de acceso a la ruta o el archivo");
}

TEST_F(FicGenTest, DivideFicheroWritesNumberedPiecesBesideTheFile) {
  std::string text;
  for (int i = 0; i < 2'500'000; ++i) text += static_cast<char>('a' + i % 26);
  text[1'999'999] = '\xe9';
  const fs::path f = dir_ / "grande.txt";
  prueba::escribeFichero(f, text);
  EXPECT_EQ(divideFichero(f.string(), 1'000'000, box_), 3);
  EXPECT_TRUE(box_.shown.empty()) << shown();
  // Each piece ends in CR LF.
  std::string piezas;
  for (const char* n : {"grande1.txt", "grande2.txt", "grande3.txt"}) piezas += prueba::leeFichero(dir_ / n) + "|";
  EXPECT_TRUE(piezas == text.substr(0, 1'000'000) + "\r\n|" + text.substr(1'000'000, 1'000'000) + "\r\n|" +
                            text.substr(2'000'000) + "\r\n|");

  // An exact multiple gives no empty last piece; an empty file no piece.
  prueba::escribeFichero(dir_ / "par.dat", "abcdef");
  EXPECT_EQ(divideFichero((dir_ / "par.dat").string(), 3, box_), 2);
  EXPECT_EQ(prueba::leeFichero(dir_ / "par2.dat"), "def\r\n");
  EXPECT_FALSE(fs::exists(dir_ / "par3.dat"));
  prueba::escribeFichero(dir_ / "vacio.txt", "");
  EXPECT_EQ(divideFichero((dir_ / "vacio.txt").string(), 3, box_), 0);
  EXPECT_TRUE(box_.shown.empty()) << shown();
}

TEST_F(FicGenTest, DivideFicheroCutsAtTheFirstDotAndRefusesPathsWithout) {
  // The first dot is in a folder name: piece 1 goes to "t1.d/f.txt", and
  // piece 2 fails because "t2.d" does not exist.
  fs::create_directories(dir_ / "t.d");
  fs::create_directories(dir_ / "t1.d");
  prueba::escribeFichero(dir_ / "t.d" / "f.txt", "0123456789abcde");
  EXPECT_EQ(divideFichero((dir_ / "t.d" / "f.txt").string(), 10, box_), 1);
  EXPECT_EQ(prueba::leeFichero(dir_ / "t1.d" / "f.txt"), "0123456789\r\n");
  ASSERT_EQ(box_.shown.size(), 1u);
  EXPECT_EQ(shown(), "No se encontró la ruta de acceso");

  EXPECT_EQ(divideFichero((dir_ / "noext").string(), 10, box_), 0);
  EXPECT_NE(shown(1).find("no tiene extensión"), std::string::npos) << shown(1);
  EXPECT_EQ(divideFichero((dir_ / "t.d" / "f.txt").string(), 0, box_), 0);
  EXPECT_NE(shown(2).find("al menos un carácter"), std::string::npos) << shown(2);
  EXPECT_EQ(divideFichero((dir_ / "falta.txt").string(), 10, box_), 0);
  EXPECT_EQ(shown(3), "No se encontró el archivo");
}

// Links, modes, FIFOs and devices: POSIX only.
#ifndef _WIN32
TEST_F(FicGenTest, EscribeBytesKeepsLinksModesAndSpecialFiles) {
  // A link stays a link; its target gets the bytes and keeps its mode.
  prueba::escribeFichero(dir_ / "real.txt", "old");
  fs::permissions(dir_ / "real.txt", fs::perms::owner_read | fs::perms::owner_write);
  fs::create_directories(dir_ / "sub");
  fs::create_symlink("../real.txt", dir_ / "sub" / "enlace.txt");
  ASSERT_FALSE(escribeBytes(dir_ / "sub" / "enlace.txt", "new"));
  EXPECT_TRUE(fs::is_symlink(dir_ / "sub" / "enlace.txt"));
  EXPECT_EQ(prueba::leeFichero(dir_ / "real.txt"), "new");
  EXPECT_EQ(fs::status(dir_ / "real.txt").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  // A dangling link creates its target.
  fs::create_symlink("nuevo.txt", dir_ / "colgado.txt");
  ASSERT_FALSE(escribeBytes(dir_ / "colgado.txt", "x"));
  EXPECT_TRUE(fs::is_symlink(dir_ / "colgado.txt"));
  EXPECT_EQ(prueba::leeFichero(dir_ / "nuevo.txt"), "x");

  // A FIFO is written into, not replaced; so is a device.
  ASSERT_EQ(::mkfifo((dir_ / "tubo").c_str(), 0600), 0);
  std::string leido;
  std::thread lector([&] { leido = prueba::leeFichero(dir_ / "tubo"); });
  EXPECT_FALSE(escribeBytes(dir_ / "tubo", "por la tubería"));
  lector.join();
  EXPECT_EQ(leido, "por la tubería");
  EXPECT_TRUE(fs::is_fifo(dir_ / "tubo"));
  EXPECT_FALSE(escribeBytes("/dev/null", "nada"));
  EXPECT_TRUE(fs::is_character_file("/dev/null"));

  // Nothing is left beside the files; a folder is refused.
  for (const auto& e : fs::recursive_directory_iterator(dir_))
    EXPECT_EQ(e.path().string().find(".tmp"), std::string::npos) << e.path();
  EXPECT_EQ(escribeBytes(dir_ / "sub", "x").value(), EISDIR);
}
#endif  // _WIN32

}  // namespace
}  // namespace kalyxon::FicGen
