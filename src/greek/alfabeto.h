// The alphabet tables of ALPHA.db, loaded once into memory.
//
// ALPHA.db ships beside the program; its tables are built from
// data/alpha/*.csv. The keyboard asks these tables on every key, so they are
// read whole when the program object is made and answered from hash indexes
// afterwards. Every lookup answers "the first row (in file order) whose fields
// equal the values given", which is what a find-first on the same criterion
// gives on the database.
//
// Tables:
//   sonido   one row per character the keyboard and the converters produce:
//            codlet (lookup code), codfon (letter code), the mark codes
//            codacc/codesp/codmay/coddie/codiot, coduni (code point)
//   fonema   one row per letter code: nomfon (Spanish name), TRE (search-key
//            letter, BetaCode upper case), TRL (transliteration)
//   fonetica the letters with a quantity (codcan) or quality (codape) mark
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

namespace kalyxon {

class Kalyxon;

struct RegSonido {
  int32_t codlet = 0;
  uint8_t codfon = 0, codacc = 0, codesp = 0, codmay = 0, coddie = 0, codiot = 0;
  int32_t coduni = 0;
};

struct RegFonema {
  uint8_t codfon = 0;
  std::u16string nomfon, TRE, TRL;
};

struct RegFonetica {
  uint8_t codfon = 0, codape = 0, codcan = 0;
  int32_t coduni = 0;
};

class Alfabeto {
 public:
  // Loads ALPHA.db from the program folder. A missing or broken file leaves
  // the tables empty and error() says why; every lookup then finds nothing.
  explicit Alfabeto(Kalyxon& k);

  // (Re)loads the tables from `db`. Returns false and sets error() on failure;
  // the tables loaded before stay as they were.
  bool carga(const std::filesystem::path& db);
  bool cargado() const { return !sonido_.empty(); }
  // English description of the last load failure, empty when none.
  const std::string& error() const { return error_; }

  // First "sonido" row with codlet = `codlet` (nullptr when none).
  const RegSonido* sonidoPorCodlet(int32_t codlet) const { return busca(porCodlet_, codlet); }
  // First "sonido" row with coduni = `coduni`.
  const RegSonido* sonidoPorUni(int32_t coduni) const { return busca(porUni_, coduni); }
  // First "sonido" row with codfon, codacc, codesp, codmay, coddie and codiot
  // equal to the values given.
  const RegSonido* sonidoPorMarcas(int codfon, int codacc, int codesp, int codmay, int coddie,
                                    int codiot) const;
  // First "fonema" row of a letter code.
  const RegFonema* fonema(int codfon) const { return busca(porFon_, codfon); }
  // First "fonetica" row with codfon, codape and codcan.
  const RegFonetica* fonetica(int codfon, int codape, int codcan) const;

  // All rows in file order.
  const std::vector<RegSonido>& sonidos() const { return sonido_; }
  const std::vector<RegFonema>& fonemas() const { return fonema_; }
  const std::vector<RegFonetica>& foneticas() const { return fonetica_; }

 private:
  template <class Fila>
  const Fila* busca(const std::unordered_map<int64_t, const Fila*>& indice, int64_t clave) const {
    auto it = indice.find(clave);
    return it == indice.end() ? nullptr : it->second;
  }

  [[maybe_unused]] Kalyxon& k_;
  std::string error_;
  std::vector<RegSonido> sonido_;
  std::vector<RegFonema> fonema_;
  std::vector<RegFonetica> fonetica_;
  std::unordered_map<int64_t, const RegSonido*> porCodlet_, porUni_, porMarcas_;
  std::unordered_map<int64_t, const RegFonema*> porFon_;
  std::unordered_map<int64_t, const RegFonetica*> porFonetica_;
};

}  // namespace kalyxon
