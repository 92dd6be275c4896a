// kalyxon convert and kalyxon numeral as a user runs them, and killed.
#include <gtest/gtest.h>
#include <sys/types.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "support/prueba.h"
#include "tablas_prueba.h"

namespace kalyxon {
namespace {

namespace fs = std::filesystem;

class Orden : public ::testing::Test {
 protected:
  // Exit status of `kalyxon ARGS` with `entrada` on standard input.
  // `kb`: a limit on the program's address space, in kilobytes.
  int corre(const std::string& args, const std::string& entrada = "", int kb = 0) {
    prueba::escribeFichero(dir_ / "in", entrada);
    std::string limite = kb ? "ulimit -v " + std::to_string(kb) + "; " : "";
    std::string orden = limite + std::string(KALYXON_RUNTIME_DIR) + "/kalyxon " + args + " < '" +
                        (dir_ / "in").string() + "' > '" + (dir_ / "out").string() + "' 2> '" +
                        (dir_ / "err").string() + "'";
    int r = std::system(orden.c_str());
    return WIFEXITED(r) ? WEXITSTATUS(r) : -1;
  }
  std::string lee(const std::string& nombre) { return prueba::leeFichero(dir_ / nombre); }
  prueba::CarpetaTemporal dir_;
};

TEST_F(Orden, ConvertsBothWaysWithTheReport) {
  KALYXON_REQUIERE_TABLAS();
  // Athenian bytes in, UTF-8 out; the unmapped byte 252 is reported, with
  // the summary at the end.
  std::string report = (dir_ / "rep.txt").string();
  ASSERT_EQ(corre("convert --from athenian --report '" + report + "'", "l\xF1gow 1\xFC"), 0);
  EXPECT_EQ(lee("out"), "λόγος 1ü");
  EXPECT_EQ(lee("rep.txt"), "No se encontró el carácter  252 ü de la fuente Athenian en alpha-letras\r\n"
                            "Resumen: 1 caracteres sin convertir\r\n  carácter  252 ü: 1 vez\r\n");
  // Unicode in, Greek-font bytes out, to a file; the report on standard error.
  std::string salida = (dir_ / "greek.txt").string();
  ASSERT_EQ(corre("convert --to greek -o '" + salida + "'", "λόγος Ἀ ῗ"), 0);
  EXPECT_EQ(lee("greek.txt"), "l\xD2goj 'A ?");
  EXPECT_EQ(lee("err").rfind("No se encontró el carácter  8151 ῗ de la fuente Greek en alpha-letras\n", 0), 0u);
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool bajoAsan = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool bajoAsan = true;
#else
constexpr bool bajoAsan = false;
#endif
#else
constexpr bool bajoAsan = false;
#endif

// 20 MB of bytes no letter of the face: the report streams out, so the
// conversion fits in a few hundred megabytes of address space.
TEST_F(Orden, AHugeReportInBoundedMemory) {
  KALYXON_REQUIERE_TABLAS();
  if (bajoAsan)
    GTEST_SKIP() << "AddressSanitizer reserves terabytes of shadow address space: no address-space limit fits";
  {
    std::ofstream f(dir_ / "grande", std::ios::binary);
    std::string linea(1 << 20, '\xFC');
    for (int i = 0; i < 20; ++i) f << linea;
  }
  ASSERT_EQ(corre("convert --from athenian --report /dev/null -o /dev/null '" +
                  (dir_ / "grande").string() + "'", "", 400 << 10),
            0)
      << lee("err");
}

TEST_F(Orden, WhatItPrintsAndWhatItRefuses) {
  KALYXON_REQUIERE_TABLAS();
  const std::string rtf = "{\\rtf1{\\fonttbl{\\f0 Athenian;}}\\f0 l\\'f1gow\\par}";
  prueba::escribeFichero(dir_ / "doc.txt", rtf);
  const struct {
    std::string args;
    int rc;
    std::string sale;  // on standard output, or else on standard error
    std::string entrada = "";
  } casos[] = {
      // Rich text is recognised by its content, in a file or on standard input.
      {"convert --from athenian '" + (dir_ / "doc.txt").string() + "'", 0, "λόγος "},
      {"convert --from athenian -o -", 0, "λόγος ", rtf},
      // Legacy bytes are never taken for UTF-8: these two bytes are two letters.
      {"convert --from greek", 0, "ᾗή", "\xCE\xBB"},
      {"convert --from betacode", 0, "Ἄνδρα λόγος", "*)/andra\nlo/goj"},
      {"convert --from betacode --keep-lines", 0, "Ἄνδρα\nλόγος", "*)/andra\nlo/goj"},
      {"convert --from graece", 0, "λόγος", "lo/gos"},
      {"convert --to betacode -o /dev/stdout", 0, "*)/andra", "Ἄνδρα"},
      // Values become letters with the numeral sign.
      {"numeral 1", 0, "α\u0374\n"},        {"numeral 15", 0, "ιε\u0374\n"},
      {"numeral 105", 0, "ρε\u0374\n"},     {"numeral 999", 0, "ϡϟθ\u0374\n"},
      {"numeral 2024", 0, "͵βκδ\u0374\n"},  {"numeral 6", 0, "ϛ\u0374\n"},
      {"numeral 007", 0, "ζ\u0374\n"},      {"numeral 12000", 0, "͵ι͵β\u0374\n"},
      {"numeral 1000000", 0, "͵͵α\u0374\n"},
      {"numeral 0", 2, ""},
      {"numeral 2147483648", 2, ""},
      {"numeral 99999999999999999999", 2, ""},
      {"numeral 12a", 2, ""},
      {"convert --from latin", 2, ""},
      {"convert --from greek --to greek", 2, ""},
      {"convert --from greek --bogus", 2, ""},
      {"convert --from greek '" + (dir_ / "no-such").string() + "'", 1, "cannot read"},
      {"convert --from greek '" + dir_.ruta().string() + "'", 1, "is a folder"},
  };
  for (const auto& c : casos) {
    EXPECT_EQ(corre(c.args, c.entrada), c.rc) << c.args;
    if (c.rc == 0)
      EXPECT_EQ(lee("out"), c.sale) << c.args;
    else
      EXPECT_NE(lee("err").find(c.sale), std::string::npos) << c.args << ": " << lee("err");
  }
}

// Converts BetaCode `entrada` into `salida`, killed once `momento` holds.
int mataCuando(const fs::path& entrada, const fs::path& salida,
               const std::function<bool(pid_t)>& momento) {
  return prueba::ejecutaYMata({"convert", "--from", "betacode", entrada, "-o", salida}, momento);
}

// Killed outright (SIGKILL, nothing to clean up) while it converts into a
// file: the file then holds what it held before or the whole new text, never
// part of it, and the next run converts as usual.
TEST(ConvertKilled, LeavesTheOldFileOrTheWholeNewOne) {
  KALYXON_REQUIERE_TABLAS();
  const prueba::CarpetaTemporal dir;
  // Several megabytes, so that reading, converting and writing each take a while.
  std::string beta;
  while (beta.size() < (6u << 20)) beta += "*)/andra moi e)/nnepe, mou=sa, polu/tropon, o(\\s ma/la polla\\\n";
  prueba::escribeFichero(dir / "in.beta", beta);
  ASSERT_EQ(mataCuando(dir / "in.beta", dir / "nuevo.txt", [](pid_t) { return false; }), 0);
  const std::string nuevo = prueba::leeFichero(dir / "nuevo.txt");
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
    prueba::escribeFichero(dir / "out.txt", viejo);
    mataCuando(dir / "in.beta", dir / "out.txt", momento);
    std::string ahora = prueba::leeFichero(dir / "out.txt");
    EXPECT_TRUE(ahora == viejo || ahora == nuevo) << ahora.size() << " bytes";
  }
  // A killed run leaves at most its temporary file, which does not stop the next.
  ASSERT_EQ(mataCuando(dir / "in.beta", dir / "out.txt", [](pid_t) { return false; }), 0);
  EXPECT_EQ(prueba::leeFichero(dir / "out.txt"), nuevo);
}

}  // namespace
}  // namespace kalyxon
