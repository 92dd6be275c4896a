#include "greek/alfabeto.h"

#include <sqlite3.h>

#include <memory>
#include <stdexcept>

#include "app/kalyxon.h"

namespace kalyxon {

namespace {

struct CierraDb {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct FinalizaSt {
  void operator()(sqlite3_stmt* st) const { sqlite3_finalize(st); }
};
using Db = std::unique_ptr<sqlite3, CierraDb>;
using Consulta = std::unique_ptr<sqlite3_stmt, FinalizaSt>;

std::u16string desdeUtf8(const unsigned char* s) {
  std::u16string r;
  if (!s) return r;
  while (*s) {
    char32_t c = *s++;
    int mas = 0;
    if (c >= 0xF0) {
      c &= 0x07;
      mas = 3;
    } else if (c >= 0xE0) {
      c &= 0x0F;
      mas = 2;
    } else if (c >= 0xC0) {
      c &= 0x1F;
      mas = 1;
    }
    for (; mas > 0 && (*s & 0xC0) == 0x80; --mas) c = (c << 6) | (*s++ & 0x3F);
    if (c >= 0x10000) {
      c -= 0x10000;
      r += static_cast<char16_t>(0xD800 + (c >> 10));
      r += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      r += static_cast<char16_t>(c);
    }
  }
  return r;
}

Consulta prepara(sqlite3* db, const char* sql) {
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK)
    throw std::runtime_error(std::string(sqlite3_errmsg(db)) + " in: " + sql);
  return Consulta(st);
}

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
    if (!std::filesystem::exists(ruta)) throw std::runtime_error("not found");
    sqlite3* raw = nullptr;
    int rc = sqlite3_open_v2(ruta.string().c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    Db db(raw);
    if (rc != SQLITE_OK) throw std::runtime_error(raw ? sqlite3_errmsg(raw) : "cannot open");

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
      f.nomfon = desdeUtf8(sqlite3_column_text(st.get(), 1));
      f.TRE = desdeUtf8(sqlite3_column_text(st.get(), 2));
      f.TRL = desdeUtf8(sqlite3_column_text(st.get(), 3));
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
