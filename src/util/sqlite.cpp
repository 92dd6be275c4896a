#include "util/sqlite.h"

#include "util/utf.h"

namespace kalyxon::util::sqlite {

Db abreLectura(const std::filesystem::path& ruta) {
  sqlite3* raw = nullptr;
  if (!std::filesystem::exists(ruta))
    throw std::runtime_error("cannot open " + ruta.string() + ": no such file");
  int rc = sqlite3_open_v2(ruta.string().c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
  Db db(raw);
  if (rc != SQLITE_OK)
    throw std::runtime_error("cannot open " + ruta.string() + ": " +
                             (raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)));
  return db;
}

Consulta prepara(sqlite3* db, const char* sql) {
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK)
    throw std::runtime_error(std::string(sqlite3_errmsg(db)) + " in: " + sql);
  return Consulta(st);
}

std::u16string texto(sqlite3_stmt* st, int col) {
  const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
  return t ? fromUtf8(t) : std::u16string();
}

}  // namespace kalyxon::util::sqlite
