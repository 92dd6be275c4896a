// kalyxon convert killed outright (SIGKILL, nothing to clean up) while it
// converts into a file: the file then holds what it held before or the whole
// new text, never part of it, and the next run converts as usual.
#include <gtest/gtest.h>
#include <sys/types.h>

#include <filesystem>
#include <functional>

#include "support/prueba.h"
#include "tablas_prueba.h"

namespace kalyxon {
namespace {

namespace fs = std::filesystem;
using prueba::escribeFichero;
using prueba::leeFichero;

// Converts BetaCode `entrada` into `salida`, killed once `momento` holds.
int mataCuando(const fs::path& entrada, const fs::path& salida,
               const std::function<bool(pid_t)>& momento) {
  return prueba::ejecutaYMata({"convert", "--from", "betacode", entrada, "-o", salida}, momento);
}

TEST(ConvertKilled, LeavesTheOldFileOrTheWholeNewOne) {
  KALYXON_REQUIERE_TABLAS();
  const prueba::CarpetaTemporal dir;
  // Several megabytes, so that reading, converting and writing each take a while.
  std::string beta;
  while (beta.size() < (6u << 20)) beta += "*)/andra moi e)/nnepe, mou=sa, polu/tropon, o(\\s ma/la polla\\\n";
  escribeFichero(dir / "in.beta", beta);
  ASSERT_EQ(mataCuando(dir / "in.beta", dir / "nuevo.txt", [](pid_t) { return false; }), 0);
  const std::string nuevo = leeFichero(dir / "nuevo.txt");
  ASSERT_GT(nuevo.size(), beta.size());

  const std::string viejo = "el texto de antes\n";
  auto temporal = [&](pid_t pid) { return dir / ("out.txt.tmp" + std::to_string(pid)); };
  const std::function<bool(pid_t)> momentos[] = {
      [](pid_t) { return true; },                                           // at start
      [&](pid_t pid) { return fs::exists(temporal(pid)); },                  // writing begins
      [&](pid_t pid) {                                                       // half written
        std::error_code ec;
        return fs::file_size(temporal(pid), ec) > nuevo.size() / 2 && !ec;
      },
  };
  for (const auto& momento : momentos) {
    escribeFichero(dir / "out.txt", viejo);
    mataCuando(dir / "in.beta", dir / "out.txt", momento);
    std::string ahora = leeFichero(dir / "out.txt");
    EXPECT_TRUE(ahora == viejo || ahora == nuevo) << ahora.size() << " bytes";
  }
  // A killed run leaves at most its temporary file, which does not stop the next.
  ASSERT_EQ(mataCuando(dir / "in.beta", dir / "out.txt", [](pid_t) { return false; }), 0);
  EXPECT_EQ(leeFichero(dir / "out.txt"), nuevo);
}

}  // namespace
}  // namespace kalyxon
