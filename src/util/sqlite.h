// Small RAII handles for reading the shipped SQLite tables (ALPHA.db). The
// dictionaries, which are written and locked, have their own richer layer in
// dictionary/lexico.h.
#pragma once

#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

namespace kalyxon::util::sqlite {

struct CierraDb {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct FinalizaSt {
  void operator()(sqlite3_stmt* st) const { sqlite3_finalize(st); }
};
using Db = std::unique_ptr<sqlite3, CierraDb>;
using Consulta = std::unique_ptr<sqlite3_stmt, FinalizaSt>;

// Opens an existing database read-only; throws std::runtime_error naming the
// file when it is missing or unreadable (SQLite would otherwise create it).
Db abreLectura(const std::filesystem::path& ruta);

// Prepares one statement; throws std::runtime_error with SQLite's message and
// the statement.
Consulta prepara(sqlite3* db, const char* sql);

// A text column as UTF-16 (empty for NULL).
std::u16string texto(sqlite3_stmt* st, int col);

}  // namespace kalyxon::util::sqlite
