// The lookups of the legacy font converters, loaded once from the "sonido"
// and "letras" tables of ALPHA.db into memory.
//
// "sonido" answers three questions: the first row of a code (codlet), the
// code point of a letter with a set of marks (codfon + codacc + codesp +
// codmay + coddie + codiot), and the first row of a code point (coduni).
// "letras" answers two per font face: (face, character code) -> codlet and
// (face, codlet) -> character code. The answers are exactly those of "the
// first row that matches" in the tables' row order.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kalyxon::conversion {

struct FilaSonido {
  int32_t codlet = 0;
  int32_t codfon = 0;
  int32_t codacc = 0, codesp = 0, codmay = 0, coddie = 0, codiot = 0;
  int32_t coduni = 0;
};

// A "letras" row whose codlet is kMarcaBase or more is a mark byte of the
// face rather than a letter: codlet 9PAEDI, where P is 1 for a spacing mark
// typed before a capital (whole-glyph faces) and 2 for a mark typed after
// its letter, A the accent, E the breathing, D the diaeresis and I the iota
// subscript codes of "sonido". "sonido" has no rows for marks alone, so the
// mark codes travel in the codlet itself.
inline constexpr int32_t kMarcaBase = 900000;

// A "letras" row with this codlet is a character the face shows as it is
// (a digit, a bracket): the converters copy it without a report.
inline constexpr int32_t kIdentidad = 800000;

struct Marca {
  int32_t acc = 0, esp = 0, die = 0, iot = 0;
  bool antes = false;  // typed before the capital it belongs to
  bool vacia() const { return acc == 0 && esp == 0 && die == 0 && iot == 0; }
};

inline bool esMarca(int32_t codlet) { return codlet >= kMarcaBase && codlet < kMarcaBase + 100000; }
inline Marca marcaDe(int32_t codlet) {
  int32_t v = codlet - kMarcaBase;
  return {v / 1000 % 10, v / 100 % 10, v / 10 % 10, v % 10, v / 10000 == 1};
}
inline int32_t codletMarca(const Marca& m) {
  return kMarcaBase + (m.antes ? 1 : 2) * 10000 + m.acc * 1000 + m.esp * 100 + m.die * 10 + m.iot;
}

struct FilaLetra {
  std::u16string fuente;  // face name
  int32_t codasc = 0;     // the character's 8-bit code in that face
  int32_t codlet = 0;     // a codlet of "sonido"
};

// The table columns and the face names in use.
namespace cara {
inline constexpr std::u16string_view kAthenian = u"Athenian";
inline constexpr std::u16string_view kGreek = u"Greek";
inline constexpr std::u16string_view kGraeca = u"Graeca";
// The Graece font's full face name.
inline constexpr std::u16string_view kGraece = u"graece Normal";
inline constexpr std::u16string_view kSgreek = u"Sgreek Fixed";
inline constexpr std::u16string_view kPalatino = u"Palatino Linotype";
inline constexpr std::u16string_view kVerdana = u"Verdana";
}  // namespace cara

class ErrorTablas : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The "letras" rows of one face.
class Cara {
 public:
  // codlet of the first letter row with this character code, -1 when none.
  int32_t letra(int32_t codasc) const {
    return codasc >= 0 && codasc < 256 ? letra_[static_cast<size_t>(codasc)] : -1;
  }
  // codlet of the first mark row (see kMarcaBase) with this code, -1 when none.
  int32_t marca(int32_t codasc) const {
    return codasc >= 0 && codasc < 256 ? marca_[static_cast<size_t>(codasc)] : -1;
  }
  // character code of the first row with this codlet, -1 when none.
  int32_t codigo(int32_t codlet) const {
    auto it = codigo_.find(codlet);
    return it == codigo_.end() ? -1 : it->second;
  }

 private:
  friend class Tablas;
  Cara() {
    letra_.fill(-1);
    marca_.fill(-1);
  }
  std::array<int32_t, 256> letra_;
  std::array<int32_t, 256> marca_;
  std::unordered_map<int32_t, int32_t> codigo_;
};

class Tablas {
 public:
  Tablas(const std::vector<FilaSonido>& sonido, const std::vector<FilaLetra>& letras);

  // Reads "sonido" and "letras" of an ALPHA.db. Throws ErrorTablas with a
  // message naming the file when it cannot be read.
  static std::shared_ptr<const Tablas> carga(const std::filesystem::path& alpha);
  // Only the "letras" rows of an ALPHA.db (for a program whose alphabet has
  // already read "sonido"). Throws ErrorTablas.
  static std::vector<FilaLetra> cargaLetras(const std::filesystem::path& alpha);

  // First "sonido" row with this codlet, or nullptr.
  const FilaSonido* porCodlet(int32_t codlet) const;
  // First "sonido" row with this code point, or nullptr.
  const FilaSonido* porCoduni(int32_t coduni) const;
  // coduni of the first row of the letter with these marks, -1 when none.
  int32_t porMarcas(int32_t codfon, int32_t acc, int32_t esp, int32_t may, int32_t die,
                    int32_t iot) const {
    if (codfon < 0 || codfon > 255 || acc < 0 || acc > 3 || esp < 0 || esp > 2 || may < 0 ||
        may > 1 || die < 0 || die > 1 || iot < 0 || iot > 3)
      return -1;
    return marcas_[indiceMarcas(codfon, acc, esp, may, die, iot)];
  }
  // The rows of a face; nullptr when "letras" has none for it.
  const Cara* cara(std::u16string_view nombre) const;

  const std::vector<FilaSonido>& sonido() const { return sonido_; }

 private:
  static size_t indiceMarcas(int32_t f, int32_t a, int32_t e, int32_t m, int32_t d, int32_t i) {
    return static_cast<size_t>((((f * 4 + a) * 3 + e) * 2 + m) * 2 + d) * 4 + static_cast<size_t>(i);
  }
  std::vector<FilaSonido> sonido_;
  std::unordered_map<int32_t, size_t> porCodlet_, porCoduni_;
  std::vector<int32_t> marcas_;
  std::map<std::u16string, Cara, std::less<>> caras_;
};

}  // namespace kalyxon::conversion
