#include "app/carpeta.h"

#include <gtest/gtest.h>

#include "support/prueba.h"

namespace kalyxon {
namespace {

namespace fs = std::filesystem;

class CarpetaTest : public ::testing::Test {
 protected:
  prueba::CarpetaTemporal carpeta;
  const fs::path& raiz = carpeta.ruta();
  static void crea(const fs::path& p, const std::string& texto = "x") {
    fs::create_directories(p.parent_path());
    prueba::escribeFichero(p, texto);
  }
};

TEST_F(CarpetaTest, ABuildTreeIsAPortableCopy) {
  crea(raiz / "bin" / "ALPHA.db");
  OrigenCarpeta o{raiz / "bin" / "kalyxon", std::nullopt, (raiz / "xdg").string(), ""};
  EXPECT_EQ(carpetaPrograma(o), raiz / "bin");
  EXPECT_FALSE(fs::exists(raiz / "xdg"));
}

TEST_F(CarpetaTest, AnInstalledCopyUsesAndSeedsTheUsersDataFolder) {
  fs::path share = raiz / "usr" / "share" / "kalyxon";
  crea(share / "ALPHA.db", "alfabeto 2");
  crea(share / "LEXICA.db", "diccionario de fábrica");
  crea(share / "accagu1.ico");
  crea(share / "otro.txt");
  crea(share / "LEXICA-ATRIBUCION.txt", "CC BY-SA");
  fs::create_directories(raiz / "usr" / "bin");
#ifdef _WIN32
  fs::path usuario = raiz / "appdata" / "Kalyxon";  // %APPDATA%\Kalyxon
#else
  fs::path usuario = raiz / "home" / ".local" / "share" / "kalyxon";
#endif
  crea(usuario / "LEXICA.db", "diccionario del usuario");
  crea(usuario / "ALPHA.db", "alfabeto 1");
  fs::last_write_time(usuario / "ALPHA.db",
                      fs::last_write_time(share / "ALPHA.db") - std::chrono::hours(1));

#ifdef _WIN32
  OrigenCarpeta o{raiz / "usr" / "bin" / "kalyxon", std::nullopt, (raiz / "appdata").string(), ""};
#else
  OrigenCarpeta o{raiz / "usr" / "bin" / "kalyxon", std::nullopt, "", (raiz / "home").string()};
#endif
  EXPECT_EQ(carpetaPrograma(o), usuario);
  EXPECT_EQ(prueba::leeFichero(usuario / "LEXICA.db"), "diccionario del usuario");  // never replaced
  EXPECT_EQ(prueba::leeFichero(usuario / "ALPHA.db"), "alfabeto 2");                // newer program data
  EXPECT_TRUE(fs::exists(usuario / "accagu1.ico"));
  EXPECT_FALSE(fs::exists(usuario / "otro.txt"));
  EXPECT_TRUE(fs::exists(usuario / "LEXICA-ATRIBUCION.txt"));  // the licence goes with the data

#ifndef _WIN32
  // $XDG_DATA_HOME wins over $HOME.
  o.xdgDataHome = (raiz / "xdg").string();
  EXPECT_EQ(carpetaPrograma(o), raiz / "xdg" / "kalyxon");
  EXPECT_EQ(prueba::leeFichero(raiz / "xdg" / "kalyxon" / "LEXICA.db"), "diccionario de fábrica");
#endif
}

TEST_F(CarpetaTest, AnExplicitFolderGetsProgramDataButNoDictionaries) {
  crea(raiz / "bin" / "ALPHA.db");
  crea(raiz / "bin" / "LEXICA.db");
  crea(raiz / "bin" / "iota1.ico");
  OrigenCarpeta o{raiz / "bin" / "kalyxon", raiz / "pruebas", "", ""};
  EXPECT_EQ(carpetaPrograma(o), raiz / "pruebas");
  EXPECT_TRUE(fs::exists(raiz / "pruebas" / "ALPHA.db"));
  EXPECT_TRUE(fs::exists(raiz / "pruebas" / "iota1.ico"));
  EXPECT_FALSE(fs::exists(raiz / "pruebas" / "LEXICA.db"));

  // A damaged ALPHA.db, even a newer one, is replaced by a sound shipped copy.
  fs::copy_file(fs::path(KALYXON_RUNTIME_DIR) / "ALPHA.db", raiz / "bin" / "ALPHA.db",
                fs::copy_options::overwrite_existing);
  std::string roto(40960, '\x5a');
  crea(raiz / "pruebas" / "ALPHA.db", "SQLite format 3" + roto);
  EXPECT_EQ(carpetaPrograma(o), raiz / "pruebas");
  EXPECT_EQ(fs::file_size(raiz / "pruebas" / "ALPHA.db"), fs::file_size(raiz / "bin" / "ALPHA.db"));
}

TEST_F(CarpetaTest, TheOptionIsTakenOutOfTheArguments) {
  std::vector<std::string> a = {"--settings-dir", "/tmp/x", "show"};
  EXPECT_EQ(extraeCarpetaAjustes(a), fs::path("/tmp/x"));
  EXPECT_EQ(a, std::vector<std::string>{"show"});
  a = {"--settings-dir=/tmp/y"};
  EXPECT_EQ(extraeCarpetaAjustes(a), fs::path("/tmp/y"));
  EXPECT_TRUE(a.empty());
  a = {"show"};
  EXPECT_EQ(extraeCarpetaAjustes(a), std::nullopt);
  a = {"--settings-dir"};
  EXPECT_THROW(extraeCarpetaAjustes(a), std::invalid_argument);
}

}  // namespace
}  // namespace kalyxon
