// The rows of the alphabet tables "sonido" and "fonema" that the dictionary
// needs: key code -> letter, character -> letter and marks, letter + marks ->
// character, and each letter's key and transliteration. Answers are "the first
// row that matches", in the tables' row order, like the alphabet's own lookups.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

namespace kalyxon {

struct FilaSonido {
  int32_t codlet = 0;
  uint8_t codfon = 0, codacc = 0, codesp = 0, codmay = 0, coddie = 0, codiot = 0;
  int32_t coduni = 0;
};

struct FilaFonema {
  uint8_t codfon = 0;
  std::u16string nomfon, TRE, TRL;
};

class Letras {
 public:
  Letras() = default;
  Letras(std::vector<FilaSonido> sonido, std::vector<FilaFonema> fonema);
  // Reads the two tables of an alphabet database (ALPHA.db); throws
  // std::runtime_error when the file or a table cannot be read.
  static Letras carga(const std::filesystem::path& alpha);

  bool cargado() const { return !sonido_.empty(); }
  const FilaSonido* sonidoPorCodlet(int32_t codlet) const;
  const FilaSonido* sonidoPorUni(int32_t coduni) const;
  const FilaSonido* sonidoPorMarcas(uint8_t codfon, uint8_t acc, uint8_t esp, uint8_t may, uint8_t die,
                              uint8_t iot) const;
  const FilaFonema* fonema(uint8_t codfon) const;

 private:
  static uint64_t claveMarcas(uint8_t f, uint8_t a, uint8_t e, uint8_t m, uint8_t d, uint8_t i) {
    return (uint64_t{f} << 40) | (uint64_t{a} << 32) | (uint64_t{e} << 24) | (uint64_t{m} << 16) |
           (uint64_t{d} << 8) | i;
  }
  std::vector<FilaSonido> sonido_;
  std::vector<FilaFonema> fonema_;
  std::unordered_map<int32_t, size_t> porTecla_, porCaracter_;
  std::unordered_map<uint64_t, size_t> porMarcas_;
  std::unordered_map<uint8_t, size_t> porFonema_;
};

}  // namespace kalyxon
