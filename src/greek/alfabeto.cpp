#include "greek/alfabeto.h"

#include <sqlite3.h>

#include <memory>
#include <stdexcept>

#include "app/kalyxon.h"
#include "util/sqlite.h"

namespace kalyxon {

namespace {

using util::sqlite::prepara;
using util::sqlite::texto;

// A mark or letter code: the tables hold them as bytes.
uint8_t byte(sqlite3_stmt* st, int col, const char* tabla) {
  sqlite3_int64 v = sqlite3_column_int64(st, col);
  if (v < 0 || v > 255)
    throw std::runtime_error(std::string(tabla) + ": value " + std::to_string(v) + " of " +
                             sqlite3_column_name(st, col) + " is not a byte");
  return static_cast<uint8_t>(v);
}

int64_t claveMarcas(int codfon, int codacc, int codesp, int codmay, int coddie, int codiot) {
  for (int v : {codfon, codacc, codesp, codmay, coddie, codiot})
    if (v < 0 || v > 255) return -1;
  return (int64_t(codfon) << 40) | (int64_t(codacc) << 32) | (int64_t(codesp) << 24) |
         (int64_t(codmay) << 16) | (int64_t(coddie) << 8) | int64_t(codiot);
}

int64_t claveFonetica(int codfon, int codape, int codcan) {
  for (int v : {codfon, codape, codcan})
    if (v < 0 || v > 255) return -1;
  return (int64_t(codfon) << 16) | (int64_t(codape) << 8) | int64_t(codcan);
}

}  // namespace

Alfabeto::Alfabeto(Kalyxon& k) : k_(k) { carga(k.carpeta / "ALPHA.db"); }

bool Alfabeto::carga(const std::filesystem::path& ruta) {
  std::vector<RegSonido> sonido;
  std::vector<RegFonema> fonema;
  std::vector<RegFonetica> fonetica;
  try {
    auto db = util::sqlite::abreLectura(ruta);
    int rc = SQLITE_OK;

    auto st = prepara(db.get(),
                      "SELECT codlet, codfon, codacc, codesp, codmay, coddie, codiot, coduni "
                      "FROM sonido ORDER BY rowid");
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
      RegSonido f;
      f.codlet = static_cast<int32_t>(sqlite3_column_int64(st.get(), 0));
      f.codfon = byte(st.get(), 1, "sonido");
      f.codacc = byte(st.get(), 2, "sonido");
      f.codesp = byte(st.get(), 3, "sonido");
      f.codmay = byte(st.get(), 4, "sonido");
      f.coddie = byte(st.get(), 5, "sonido");
      f.codiot = byte(st.get(), 6, "sonido");
      f.coduni = static_cast<int32_t>(sqlite3_column_int64(st.get(), 7));
      sonido.push_back(f);
    }
    if (rc != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db.get()));

    st = prepara(db.get(), "SELECT codfon, nomfon, TRE, TRL FROM fonema ORDER BY rowid");
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
      RegFonema f;
      f.codfon = byte(st.get(), 0, "fonema");
      f.nomfon = texto(st.get(), 1);
      f.TRE = texto(st.get(), 2);
      f.TRL = texto(st.get(), 3);
      fonema.push_back(std::move(f));
    }
    if (rc != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db.get()));

    st = prepara(db.get(), "SELECT codfon, codape, codcan, coduni FROM fonetica ORDER BY rowid");
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
      RegFonetica f;
      f.codfon = byte(st.get(), 0, "fonetica");
      f.codape = byte(st.get(), 1, "fonetica");
      f.codcan = byte(st.get(), 2, "fonetica");
      f.coduni = static_cast<int32_t>(sqlite3_column_int64(st.get(), 3));
      fonetica.push_back(f);
    }
    if (rc != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db.get()));
    if (sonido.empty()) throw std::runtime_error("table sonido is empty");
  } catch (const std::exception& e) {
    error_ = "ALPHA.db (" + ruta.string() + "): " + e.what();
    return false;
  }

  error_.clear();
  sonido_ = std::move(sonido);
  fonema_ = std::move(fonema);
  fonetica_ = std::move(fonetica);
  porCodlet_.clear();
  porUni_.clear();
  porMarcas_.clear();
  porFon_.clear();
  porFonetica_.clear();
  // emplace keeps the first row of each key: the first row in file order wins.
  for (const auto& f : sonido_) {
    porCodlet_.emplace(f.codlet, &f);
    porUni_.emplace(f.coduni, &f);
    porMarcas_.emplace(claveMarcas(f.codfon, f.codacc, f.codesp, f.codmay, f.coddie, f.codiot), &f);
  }
  for (const auto& f : fonema_) porFon_.emplace(f.codfon, &f);
  for (const auto& f : fonetica_) porFonetica_.emplace(claveFonetica(f.codfon, f.codape, f.codcan), &f);
  return true;
}

const RegSonido* Alfabeto::sonidoPorMarcas(int codfon, int codacc, int codesp, int codmay,
                                            int coddie, int codiot) const {
  int64_t clave = claveMarcas(codfon, codacc, codesp, codmay, coddie, codiot);
  return clave < 0 ? nullptr : busca(porMarcas_, clave);
}

const RegFonetica* Alfabeto::fonetica(int codfon, int codape, int codcan) const {
  int64_t clave = claveFonetica(codfon, codape, codcan);
  return clave < 0 ? nullptr : busca(porFonetica_, clave);
}

}  // namespace kalyxon
