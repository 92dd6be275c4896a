// kalyxon_tabladb: builds an SQLite database from CSV files, one table per file.
//
//   kalyxon_tabladb OUT.db [--index TABLE:NAME:COL[,COL...]]... FILE.csv...
//
// The table takes the file's stem as its name. The first line of a file names
// the columns, each as "name:TYPE" (TYPE is INTEGER or TEXT; a bare name is
// TEXT). Fields follow RFC 4180: separated by commas, optionally enclosed in
// double quotes, with "" standing for one quote inside a quoted field. Rows keep
// the order of the file (the rowid is the line order): several lookups of the
// program take "the first row" that matches, so the order is data.
//
// The database is written to OUT.db.tmp and renamed over OUT.db only when every
// table loaded, so a failed build never leaves a half-written database behind.
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Column {
  std::string name;
  std::string type;
};

std::vector<std::string> splitCsvLine(const std::string& line, std::istream& in, int& lineNo) {
  std::vector<std::string> fields;
  std::string field;
  std::string text = line;
  bool quoted = false;
  for (size_t i = 0;; ++i) {
    if (i == text.size()) {
      if (quoted) {  // a quoted field spans a line break
        std::string next;
        if (!std::getline(in, next)) throw std::runtime_error("unterminated quoted field");
        ++lineNo;
        if (!next.empty() && next.back() == '\r') next.pop_back();
        field += '\n';
        text += '\n' + next;
        i = text.size() - next.size() - 1;
        continue;
      }
      fields.push_back(field);
      break;
    }
    char c = text[i];
    if (quoted) {
      if (c == '"') {
        if (i + 1 < text.size() && text[i + 1] == '"') {
          field += '"';
          ++i;
        } else {
          quoted = false;
        }
      } else {
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.push_back(field);
      field.clear();
    } else {
      field += c;
    }
  }
  return fields;
}

void check(int rc, sqlite3* db, const std::string& what) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
    throw std::runtime_error(what + ": " + sqlite3_errmsg(db));
}

std::string quoteIdent(const std::string& s) { return "\"" + s + "\""; }

void loadTable(sqlite3* db, const std::filesystem::path& csv) {
  std::ifstream in(csv, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + csv.string());
  std::string line;
  int lineNo = 1;
  if (!std::getline(in, line)) throw std::runtime_error(csv.string() + ": empty file");
  if (line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  std::vector<Column> cols;
  for (auto& h : splitCsvLine(line, in, lineNo)) {
    auto colon = h.find(':');
    Column c{h.substr(0, colon), colon == std::string::npos ? "TEXT" : h.substr(colon + 1)};
    if (c.type != "INTEGER" && c.type != "TEXT")
      throw std::runtime_error(csv.string() + ": unknown column type " + c.type);
    cols.push_back(c);
  }
  std::string table = csv.stem().string();
  std::string create = "CREATE TABLE " + quoteIdent(table) + " (";
  std::string insert = "INSERT INTO " + quoteIdent(table) + " VALUES (";
  for (size_t i = 0; i < cols.size(); ++i) {
    create += (i ? ", " : "") + quoteIdent(cols[i].name) + " " + cols[i].type;
    insert += (i ? ", ?" : "?");
  }
  create += ")";
  insert += ")";
  check(sqlite3_exec(db, create.c_str(), nullptr, nullptr, nullptr), db, create);
  sqlite3_stmt* st = nullptr;
  check(sqlite3_prepare_v2(db, insert.c_str(), -1, &st, nullptr), db, insert);
  while (std::getline(in, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    auto fields = splitCsvLine(line, in, lineNo);
    if (fields.size() != cols.size()) {
      sqlite3_finalize(st);
      throw std::runtime_error(csv.string() + ":" + std::to_string(lineNo) + ": expected " +
                               std::to_string(cols.size()) + " fields, found " +
                               std::to_string(fields.size()));
    }
    sqlite3_reset(st);
    for (size_t i = 0; i < cols.size(); ++i) {
      int idx = static_cast<int>(i) + 1;
      if (cols[i].type == "INTEGER") {
        if (fields[i].empty()) {
          sqlite3_bind_null(st, idx);
        } else {
          size_t used = 0;
          long long v = std::stoll(fields[i], &used, 10);
          if (used != fields[i].size())
            throw std::runtime_error(csv.string() + ":" + std::to_string(lineNo) +
                                     ": not a number: " + fields[i]);
          sqlite3_bind_int64(st, idx, v);
        }
      } else {
        sqlite3_bind_text(st, idx, fields[i].c_str(), static_cast<int>(fields[i].size()),
                          SQLITE_TRANSIENT);
      }
    }
    check(sqlite3_step(st), db, csv.string() + ":" + std::to_string(lineNo));
  }
  sqlite3_finalize(st);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: kalyxon_tabladb OUT.db [--index TABLE:NAME:COLS]... FILE.csv...\n";
    return 2;
  }
  std::filesystem::path out = argv[1];
  std::filesystem::path tmp = out;
  tmp += ".tmp";
  std::vector<std::string> indexes;
  std::vector<std::filesystem::path> files;
  for (int i = 2; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--index" && i + 1 < argc) {
      indexes.push_back(argv[++i]);
    } else {
      files.emplace_back(a);
    }
  }
  std::filesystem::remove(tmp);
  sqlite3* db = nullptr;
  try {
    check(sqlite3_open(tmp.string().c_str(), &db), db, "open " + tmp.string());
    check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db, "begin");
    for (auto& f : files) loadTable(db, f);
    for (auto& def : indexes) {
      auto a = def.find(':');
      auto b = def.find(':', a + 1);
      if (a == std::string::npos || b == std::string::npos)
        throw std::runtime_error("bad --index " + def);
      std::string table = def.substr(0, a), name = def.substr(a + 1, b - a - 1);
      std::string sql = "CREATE INDEX " + quoteIdent(table + "_" + name) + " ON " +
                        quoteIdent(table) + " (" + def.substr(b + 1) + ")";
      check(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), db, sql);
    }
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
    sqlite3_close(db);
    db = nullptr;
    std::filesystem::rename(tmp, out);
  } catch (const std::exception& e) {
    if (db) sqlite3_close(db);
    std::filesystem::remove(tmp);
    std::cerr << "kalyxon_tabladb: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
