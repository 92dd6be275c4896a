#include "dictionary/letras.h"

#include <stdexcept>

#include <sqlite3.h>

#include "dictionary/lexico.h"

namespace kalyxon {

Letras::Letras(std::vector<FilaSonido> sonido, std::vector<FilaFonema> fonema)
    : sonido_(std::move(sonido)), fonema_(std::move(fonema)) {
  // try_emplace keeps the first row of each key: the tables' own order decides.
  for (size_t i = 0; i < sonido_.size(); ++i) {
    const auto& f = sonido_[i];
    porTecla_.try_emplace(f.codlet, i);
    porCaracter_.try_emplace(f.coduni, i);
    porMarcas_.try_emplace(claveMarcas(f.codfon, f.codacc, f.codesp, f.codmay, f.coddie, f.codiot), i);
  }
  for (size_t i = 0; i < fonema_.size(); ++i) porFonema_.try_emplace(fonema_[i].codfon, i);
}

Letras Letras::carga(const std::filesystem::path& alpha) {
  if (!std::filesystem::exists(alpha)) throw std::runtime_error("no alphabet database " + alpha.string());
  // The alphabet database is shared and read-only here: no exclusive lock.
  struct Db {
    sqlite3* p = nullptr;
    ~Db() { sqlite3_close(p); }
  } db;
  if (sqlite3_open_v2(alpha.string().c_str(), &db.p, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
    throw std::runtime_error("cannot open " + alpha.string());
  std::vector<FilaSonido> sonido;
  std::vector<FilaFonema> fonema;
  try {
    lexico::Sentencia s(db.p,
                        "SELECT codlet, codfon, codacc, codesp, codmay, coddie, codiot, coduni "
                        "FROM sonido ORDER BY rowid");
    while (s.paso()) {
      FilaSonido f;
      f.codlet = static_cast<int32_t>(s.entero(0));
      f.codfon = static_cast<uint8_t>(s.entero(1));
      f.codacc = static_cast<uint8_t>(s.entero(2));
      f.codesp = static_cast<uint8_t>(s.entero(3));
      f.codmay = static_cast<uint8_t>(s.entero(4));
      f.coddie = static_cast<uint8_t>(s.entero(5));
      f.codiot = static_cast<uint8_t>(s.entero(6));
      f.coduni = static_cast<int32_t>(s.entero(7));
      sonido.push_back(f);
    }
    lexico::Sentencia t(db.p, "SELECT codfon, nomfon, TRE, TRL FROM fonema ORDER BY rowid");
    while (t.paso())
      fonema.push_back({static_cast<uint8_t>(t.entero(0)), t.texto16(1), t.texto16(2), t.texto16(3)});
  } catch (const lexico::Error& e) {
    throw std::runtime_error(alpha.filename().string() + ": " + e.what());
  }
  return Letras(std::move(sonido), std::move(fonema));
}

const FilaSonido* Letras::sonidoPorCodlet(int32_t codlet) const {
  auto it = porTecla_.find(codlet);
  return it == porTecla_.end() ? nullptr : &sonido_[it->second];
}

const FilaSonido* Letras::sonidoPorUni(int32_t coduni) const {
  auto it = porCaracter_.find(coduni);
  return it == porCaracter_.end() ? nullptr : &sonido_[it->second];
}

const FilaSonido* Letras::sonidoPorMarcas(uint8_t f, uint8_t a, uint8_t e, uint8_t m, uint8_t d,
                                    uint8_t i) const {
  auto it = porMarcas_.find(claveMarcas(f, a, e, m, d, i));
  return it == porMarcas_.end() ? nullptr : &sonido_[it->second];
}

const FilaFonema* Letras::fonema(uint8_t codfon) const {
  auto it = porFonema_.find(codfon);
  return it == porFonema_.end() ? nullptr : &fonema_[it->second];
}

}  // namespace kalyxon
