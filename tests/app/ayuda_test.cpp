// The help page "Guía" is the current user guide, and the index links to it.
// (That every link of the help leads to a page is checked with the help window.)
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/prueba.h"

namespace {

namespace fs = std::filesystem;
using kalyxon::prueba::leeFichero;

// The page is made by the Linux build (cmark); a Windows package takes it from there.
#ifndef _WIN32
TEST(Guia, TheHelpPageIsMadeFromTheCurrentGuideAndTheIndexLinksIt) {
  const fs::path ayuda = fs::path(KALYXON_RUNTIME_DIR) / "help";
  EXPECT_NE(leeFichero(ayuda / "index.html").find("href=\"guia.html\""), std::string::npos);
  const std::string pagina = leeFichero(ayuda / "guia.html");
  EXPECT_NE(pagina.find("<title>Guía de Kalyxon</title>"), std::string::npos);
  // The guide's screenshot of the map gives way to the map the window draws.
  EXPECT_NE(pagina.find("src=\"mapa_teclado.png\""), std::string::npos);
  std::ifstream md(fs::path(KALYXON_SOURCE_DIR) / "docs" / "guia.md");
  int secciones = 0;
  for (std::string linea; std::getline(md, linea);) {
    if (linea.rfind("## ", 0) != 0) continue;
    ++secciones;
    EXPECT_NE(pagina.find("<h2>" + linea.substr(3) + "</h2>"), std::string::npos) << linea;
  }
  EXPECT_GE(secciones, 8);
}
#endif  // _WIN32

}  // namespace
