#include "dictionary/lexico.h"

#include <sqlite3.h>

#include <algorithm>
#include <fstream>
#include <system_error>

#include "util/utf.h"

namespace kalyxon::lexico {

// ---- Text -------------------------------------------------------------------

std::string utf8(std::u16string_view s) { return util::toUtf8(s); }
std::u16string utf16(std::string_view s) { return util::fromUtf8(s); }

std::string listaCodigos(std::u16string_view forma) {
  std::string out;
  out.reserve(forma.size() * 5);
  for (char16_t c : forma) {
    out += std::to_string(static_cast<unsigned>(c));
    out += ';';
  }
  return out;
}

std::u16string formaDeLista(std::string_view lista) {
  std::u16string out;
  size_t i = 0;
  while (i < lista.size()) {
    size_t fin = lista.find(';', i);
    if (fin == std::string_view::npos) break;  // last number without ";"
    std::string_view pieza = lista.substr(i, fin - i);
    if (pieza.starts_with("&#")) pieza.remove_prefix(2);
    if (pieza.empty()) break;
    uint32_t v = 0;
    for (char c : pieza) {
      if (c < '0' || c > '9') return out;
      v = v * 10 + static_cast<uint32_t>(c - '0');
      if (v > 0xFFFF) return out;
    }
    out += static_cast<char16_t>(v);
    i = fin + 1;
  }
  return out;
}

// ---- Errors and statements --------------------------------------------------

namespace {

[[noreturn]] void falla(sqlite3* db, std::string_view que) {
  std::string msg(que);
  int codigo = 0;
  if (db) {
    msg += ": ";
    msg += sqlite3_errmsg(db);
    codigo = sqlite3_errcode(db) & 0xFF;
  }
  throw Error(msg, codigo);
}

std::string cita(std::string_view nombre) {
  std::string out = "\"";
  for (char c : nombre) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

}  // namespace

Error::Error(const std::string& ingles, int codigo, std::u16string descripcion)
    : std::runtime_error(ingles),
      codigo_(codigo),
      descripcion_(descripcion.empty() ? descripcionSqlite(codigo) : std::move(descripcion)) {}

std::u16string descripcionSqlite(int codigo) {
  switch (codigo & 0xFF) {
    case SQLITE_READONLY: return u"el archivo o su carpeta son de sólo lectura";
    case SQLITE_FULL: return u"el disco está lleno";
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return u"el archivo está dañado o no es un diccionario";
    case SQLITE_CANTOPEN: return u"no se puede abrir el archivo (falta, o la carpeta no permite escribir)";
    case SQLITE_PERM:
    case SQLITE_AUTH: return u"permiso denegado";
    case SQLITE_IOERR: return u"error de lectura o escritura en el disco";
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return u"el archivo está abierto en otro programa";
    case SQLITE_NOMEM: return u"no hay memoria suficiente";
    case SQLITE_TOOBIG: return u"un dato es demasiado grande";
    case SQLITE_CONSTRAINT:
    case SQLITE_MISMATCH: return u"un dato no es válido para el diccionario";
    default: return u"error del diccionario";
  }
}

std::u16string mensajeError(const std::exception& e) {
  if (auto* l = dynamic_cast<const Error*>(&e)) return l->descripcion();
  if (dynamic_cast<const std::bad_alloc*>(&e)) return u"no hay memoria suficiente";
  // Other faults carry no Spanish text of their own: say what kind it was
  // and keep the detail for whoever reports it.
  return u"error inesperado (" + utf16(e.what()) + u")";
}

BaseOcupada::BaseOcupada(const std::filesystem::path& fichero)
    : Error(fichero.filename().string() + " is open in another program (database locked)",
            SQLITE_BUSY,
            u"el archivo " + utf16(fichero.filename().string()) +
                u" está abierto en otro programa") {}

Sentencia::Sentencia(sqlite3* db, std::string_view sql) : db_(db) {
  if (sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                         &st_, nullptr) != SQLITE_OK)
    falla(db, std::string("prepare ") + std::string(sql));
}

Sentencia& Sentencia::operator=(Sentencia&& o) noexcept {
  if (this != &o) {
    if (st_) sqlite3_finalize(st_);
    db_ = o.db_;
    st_ = o.st_;
    o.st_ = nullptr;
  }
  return *this;
}

Sentencia::~Sentencia() {
  if (st_) sqlite3_finalize(st_);
}

Sentencia& Sentencia::reinicia() {
  sqlite3_reset(st_);
  sqlite3_clear_bindings(st_);
  return *this;
}

Sentencia& Sentencia::liga(int i, std::string_view t) {
  sqlite3_bind_text(st_, i, t.data(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
  return *this;
}

Sentencia& Sentencia::liga(int i, std::u16string_view t) {
  sqlite3_bind_text16(st_, i, t.data(), static_cast<int>(t.size() * 2), SQLITE_TRANSIENT);
  return *this;
}

Sentencia& Sentencia::liga(int i, int64_t n) {
  sqlite3_bind_int64(st_, i, n);
  return *this;
}

bool Sentencia::paso() {
  int rc = sqlite3_step(st_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  std::string sql = sqlite3_sql(st_) ? sqlite3_sql(st_) : "";
  sqlite3_reset(st_);
  if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) throw Error("database locked: " + sql);
  falla(db_, sql);
}

int64_t Sentencia::entero(int col) const { return sqlite3_column_int64(st_, col); }

std::string Sentencia::texto(int col) const {
  auto p = reinterpret_cast<const char*>(sqlite3_column_text(st_, col));
  return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(st_, col))) : std::string();
}

std::u16string Sentencia::texto16(int col) const {
  auto p = static_cast<const char16_t*>(sqlite3_column_text16(st_, col));
  return p ? std::u16string(p, static_cast<size_t>(sqlite3_column_bytes16(st_, col)) / 2)
           : std::u16string();
}

// ---- Names ------------------------------------------------------------------

const NombreDiccionario kDiccionarios[8] = {
    {"clasico", u"básico"},  {"completo", u"completo"}, {"Aristoteles", u"Aristóteles"},
    {"Esopo", u"Esopo"},     {"Homero", u"Homero"},     {"Jenofonte", u"Jenofonte"},
    {"Platon", u"Platón"},   {"Tragicos", u"Trágicos"},
};

bool esDiccionario(std::string_view tabla) {
  return std::any_of(std::begin(kDiccionarios), std::end(kDiccionarios),
                     [&](const NombreDiccionario& d) { return tabla == d.tabla; });
}

std::optional<Indice> indicePorNombre(std::string_view n) {
  if (n == "frecuencia") return Indice::frecuencia;
  if (n == "completo") return Indice::completo;
  if (n == "unicode") return Indice::unicode;
  return std::nullopt;
}

const char* nombreIndice(Indice i) {
  switch (i) {
    case Indice::frecuencia: return "frecuencia";
    case Indice::completo: return "completo";
    case Indice::unicode: return "unicode";
  }
  return "";
}

std::string sqlCreaTabla(std::string_view tabla) {
  return "CREATE TABLE IF NOT EXISTS " + cita(tabla) +
         " (codigo TEXT NOT NULL, unicode TEXT NOT NULL, frecuencia INTEGER NOT NULL)";
}

std::vector<std::string> sqlCreaIndices(std::string_view tabla) {
  // Index names are unique per file, so they carry the table's name.
  std::string t(tabla);
  return {
      "CREATE INDEX IF NOT EXISTS " + cita(t + ".frecuencia") + " ON " + cita(t) +
          " (codigo, frecuencia DESC)",
      "CREATE INDEX IF NOT EXISTS " + cita(t + ".completo") + " ON " + cita(t) +
          " (codigo, unicode)",
      "CREATE INDEX IF NOT EXISTS " + cita(t + ".unicode") + " ON " + cita(t) + " (unicode)",
  };
}

// ---- Base -------------------------------------------------------------------

Base::Base(std::filesystem::path fichero, bool crear) : fichero_(std::move(fichero)) {
  int flags = SQLITE_OPEN_READWRITE | (crear ? SQLITE_OPEN_CREATE : 0);
  if (sqlite3_open_v2(fichero_.string().c_str(), &db_, flags, nullptr) != SQLITE_OK) {
    std::string msg = "cannot open " + fichero_.string() + ": " +
                      (db_ ? sqlite3_errmsg(db_) : "out of memory");
    int codigo = db_ ? sqlite3_errcode(db_) & 0xFF : SQLITE_NOMEM;
    sqlite3_close(db_);
    db_ = nullptr;
    throw Error(msg, codigo);
  }
  sqlite3_extended_result_codes(db_, 0);
  // Exclusive locking mode keeps every lock until the file is closed; taking
  // the write lock now is what keeps a second copy of the program out.
  int rc = sqlite3_exec(db_, "PRAGMA locking_mode=EXCLUSIVE", nullptr, nullptr, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_exec(db_, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
  if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
    sqlite3_close(db_);
    db_ = nullptr;
    throw BaseOcupada(fichero_);
  }
  if (rc != SQLITE_OK) {
    std::string msg = "cannot lock " + fichero_.string() + ": " + sqlite3_errmsg(db_);
    sqlite3_close(db_);
    db_ = nullptr;
    throw Error(msg, rc & 0xFF);
  }
}

Base::~Base() {
  tablas_.clear();
  if (db_) sqlite3_close_v2(db_);
}

std::vector<InfoTabla> Base::tablas() {
  std::vector<InfoTabla> out;
  Sentencia s(db_, "SELECT name FROM sqlite_schema WHERE type='table' AND name NOT LIKE 'sqlite_%' "
                   "AND name <> ?1 ORDER BY rowid");
  s.liga(1, std::string_view(kTablaCuentas));
  while (s.paso()) out.push_back({s.texto(0), 0, 0});
  for (auto& t : out) {
    Sentencia c(db_, "SELECT count(*) FROM pragma_table_info(?1)");
    c.liga(1, std::string_view(t.nombre));
    if (c.paso()) t.campos = static_cast<int>(c.entero(0));
    t.registros = registros(t.nombre);
  }
  return out;
}

namespace {
// The triggers that keep a table's stored count right.
std::string nombreDisparador(std::string_view tabla, const char* que) {
  return std::string(tabla) + ".registros " + que;
}
}  // namespace

int64_t Base::registros(std::string_view tabla) {
  // The stored count holds only while both of its triggers exist: a table
  // made again by another program has lost them.
  if (tieneTabla(kTablaCuentas)) {
    Sentencia g(db_, "SELECT registros FROM " + cita(kTablaCuentas) +
                         " WHERE tabla = ?1 AND (SELECT count(*) FROM sqlite_schema WHERE "
                         "type = 'trigger' AND tbl_name = ?1 AND name IN (?2, ?3)) = 2");
    g.liga(1, tabla)
        .liga(2, std::string_view(nombreDisparador(tabla, "alta")))
        .liga(3, std::string_view(nombreDisparador(tabla, "baja")));
    if (g.paso()) return g.entero(0);
  }
  Sentencia n(db_, "SELECT count(*) FROM " + cita(tabla));
  return n.paso() ? n.entero(0) : 0;
}

void Base::guardaCuenta(std::string_view tabla) {
  const std::string t = cita(tabla), c = cita(kTablaCuentas);
  const std::string alta = nombreDisparador(tabla, "alta"), baja = nombreDisparador(tabla, "baja");
  {
    Sentencia hay(db_, "SELECT count(*) FROM sqlite_schema WHERE type = 'trigger' AND tbl_name = ?1 "
                       "AND name IN (?2, ?3)");
    hay.liga(1, tabla).liga(2, std::string_view(alta)).liga(3, std::string_view(baja));
    if (tieneTabla(kTablaCuentas) && hay.paso() && hay.entero(0) == 2) return;
  }
  Transaccion tr(*this);
  // No constraint on the count: a statement whose trigger cannot fail needs
  // no statement journal, which would copy every page an insert touches.
  ejecuta("CREATE TABLE IF NOT EXISTS " + c + " (tabla TEXT PRIMARY KEY, registros INTEGER) WITHOUT ROWID");
  ejecuta("DROP TRIGGER IF EXISTS " + cita(alta));
  ejecuta("DROP TRIGGER IF EXISTS " + cita(baja));
  // The name as an SQL string: the triggers' bodies cannot take parameters.
  std::string literal = "'";
  for (char ch : tabla) literal += ch == '\'' ? std::string("''") : std::string(1, ch);
  literal += "'";
  ejecuta("INSERT OR REPLACE INTO " + c + " (tabla, registros) SELECT " + literal +
          ", count(*) FROM " + t);
  ejecuta("CREATE TRIGGER " + cita(alta) + " AFTER INSERT ON " + t + " BEGIN UPDATE " + c +
          " SET registros = registros + 1 WHERE tabla = " + literal + "; END");
  ejecuta("CREATE TRIGGER " + cita(baja) + " AFTER DELETE ON " + t + " BEGIN UPDATE " + c +
          " SET registros = registros - 1 WHERE tabla = " + literal + "; END");
  tr.confirma();
}

bool Base::tieneTabla(std::string_view nombre) {
  Sentencia s(db_, "SELECT 1 FROM sqlite_schema WHERE type='table' AND name=?1");
  s.liga(1, nombre);
  return s.paso();
}

std::shared_ptr<Tabla> Base::tabla(std::string_view nombre) {
  auto it = tablas_.find(nombre);
  if (it != tablas_.end())
    if (auto t = it->second.lock()) return t;
  if (!tieneTabla(nombre))
    throw Error("no table " + std::string(nombre) + " in " + fichero_.filename().string(), 0,
                u"el archivo " + utf16(fichero_.filename().string()) + u" no tiene la tabla " +
                    utf16(nombre));
  auto t = std::make_shared<Tabla>(shared_from_this(), std::string(nombre));
  tablas_[std::string(nombre)] = t;
  return t;
}

std::shared_ptr<Tabla> Base::creaTabla(std::string_view nombre) {
  Transaccion tr(*this);
  ejecuta(sqlCreaTabla(nombre));
  for (auto& sql : sqlCreaIndices(nombre)) ejecuta(sql);
  guardaCuenta(nombre);
  tr.confirma();
  return tabla(nombre);
}

bool Base::soloLectura() const { return sqlite3_db_readonly(db_, "main") == 1; }

void Base::revisa(bool paginas) {
  const std::string nombreF = fichero_.filename().string();
  auto mal = [&](const std::string& ingles, const std::u16string& espanol) {
    throw Error(nombreF + ": " + ingles, SQLITE_CORRUPT, espanol);
  };
  // The quick check reads every page: a truncated file or random bytes over
  // a page show here, not in the middle of a word being typed.
  std::string informe = "ok";
  try {
    Sentencia q(db_, paginas ? "PRAGMA quick_check(1)" : "SELECT 'ok' FROM sqlite_schema LIMIT 1");
    if (q.paso()) informe = q.texto(0);
  } catch (const Error& e) {
    mal(e.what(), u"el archivo está dañado o no es un diccionario");
  }
  if (informe != "ok") mal("damaged (" + informe + ")", u"el archivo está dañado");
  for (const auto& t : tablas()) {
    // A table of another shape is not a dictionary (it is left alone); one of
    // the right shape with other field names is a damaged dictionary.
    if (!esDiccionario(t.nombre) || t.campos != 3) continue;
    std::vector<std::string> campos;
    Sentencia c(db_, "SELECT lower(name) FROM pragma_table_info(?1) ORDER BY cid");
    c.liga(1, std::string_view(t.nombre));
    while (c.paso()) campos.push_back(c.texto(0));
    if (campos != std::vector<std::string>{"codigo", "unicode", "frecuencia"})
      mal("table " + t.nombre + " lacks the fields codigo, unicode, frecuencia",
          u"la tabla " + utf16(t.nombre) + u" no tiene los campos codigo, unicode y frecuencia");
    auto sqls = sqlCreaIndices(t.nombre);
    for (int i = 0; i < 3; ++i) {
      std::string indice = t.nombre + "." + nombreIndice(static_cast<Indice>(i));
      Sentencia x(db_, "SELECT 1 FROM sqlite_schema WHERE type='index' AND name=?1");
      x.liga(1, std::string_view(indice));
      if (x.paso()) continue;
      try {
        if (soloLectura()) throw Error("read-only", SQLITE_READONLY);
        Transaccion tr(*this);
        ejecuta(sqls[static_cast<size_t>(i)]);
        tr.confirma();
      } catch (const Error& e) {
        throw Error(nombreF + ": index " + indice + " is missing and cannot be made: " + e.what(),
                    e.codigo(),
                    u"a la tabla " + utf16(t.nombre) + u" le falta el índice " +
                        utf16(nombreIndice(static_cast<Indice>(i))) +
                        u" y no se puede crear (" + e.descripcion() + u")");
      }
    }
    // A file made before record counts were kept gets them once, here, when
    // it can be written; until then its tables are counted.
    if (!soloLectura()) {
      try {
        guardaCuenta(t.nombre);
      } catch (const Error&) {
      }
    }
  }
}

void Base::exigeTransaccion() const {
  // After a full disk or an I/O error SQLite may roll the whole transaction
  // back by itself. Writing on would then commit each statement alone: half
  // a merge or half a load. Refuse instead; the caller's transaction object
  // unwinds.
  if (nivel_ > 0 && sqlite3_get_autocommit(db_))
    throw Error(fichero_.filename().string() + ": the transaction was rolled back by an earlier error",
                SQLITE_ABORT, u"una escritura anterior falló y se ha deshecho todo lo de esta operación");
}

int64_t Base::ejecuta(std::string_view sql) {
  exigeTransaccion();
  Sentencia s(db_, sql);
  while (s.paso()) {
  }
  return sqlite3_changes64(db_);
}

Base::Transaccion::Transaccion(Base& b) : b_(b) {
  if (b_.nivel_ == 0) {
    if (sqlite3_exec(b_.db_, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
      falla(b_.db_, "begin");
    propia_ = true;
  }
  ++b_.nivel_;
}

Base::Transaccion::~Transaccion() {
  if (!hecha_) {
    --b_.nivel_;
    if (propia_) sqlite3_exec(b_.db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
}

void Base::Transaccion::confirma() {
  if (hecha_) return;
  if (propia_ && sqlite3_exec(b_.db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
    falla(b_.db_, "commit");
  hecha_ = true;
  --b_.nivel_;
}

Base::CacheAmplia::CacheAmplia(Base& b) : b_(b) {
  Sentencia s(b_.db_, "PRAGMA cache_size");
  antes_ = s.paso() ? s.entero(0) : -2000;
  // 32 MiB at most, taken only as pages are read: a bulk write over the
  // complete dictionary revisits its index pages in key order.
  sqlite3_exec(b_.db_, "PRAGMA cache_size=-32768", nullptr, nullptr, nullptr);
}

Base::CacheAmplia::~CacheAmplia() {
  const std::string sql = "PRAGMA cache_size=" + std::to_string(antes_);
  sqlite3_exec(b_.db_, sql.c_str(), nullptr, nullptr, nullptr);
}

// ---- Espacio ----------------------------------------------------------------

std::filesystem::path Espacio::clave(const std::filesystem::path& fichero) {
  std::error_code ec;
  auto p = std::filesystem::weakly_canonical(std::filesystem::absolute(fichero), ec);
  return ec ? fichero.lexically_normal() : p;
}

std::shared_ptr<Base> Espacio::abre(const std::filesystem::path& fichero, bool crear) {
  auto k = clave(fichero);
  auto it = abiertas_.find(k);
  if (it != abiertas_.end())
    if (auto b = it->second.lock()) return b;
  if (!crear && !std::filesystem::exists(fichero))
    throw Error("no such dictionary file: " + fichero.string(), 0,
                u"no se encuentra el archivo " + utf16(fichero.filename().string()));
  std::shared_ptr<Base> b(new Base(fichero, crear));
  abiertas_[k] = b;
  std::erase_if(abiertas_, [](const auto& e) { return e.second.expired(); });
  return b;
}

bool Espacio::abierta(const std::filesystem::path& fichero) const {
  auto it = abiertas_.find(clave(fichero));
  return it != abiertas_.end() && !it->second.expired();
}

Revisados::Revisados(const std::filesystem::path& carpeta) : archivo_(carpeta / "kalyxon-revisados.txt") {
  std::ifstream in(archivo_, std::ios::binary);
  std::string linea;
  while (std::getline(in, linea)) {
    auto tab = linea.find('\t');
    if (tab != std::string::npos) huellas_[linea.substr(0, tab)] = linea.substr(tab + 1);
  }
}

std::string Revisados::huella(const std::filesystem::path& fichero) {
  std::error_code ec, ec2;
  auto tam = std::filesystem::file_size(fichero, ec);
  auto hora = std::filesystem::last_write_time(fichero, ec2);
  if (ec || ec2) return {};
  return std::to_string(tam) + " " + std::to_string(hora.time_since_epoch().count());
}

bool Revisados::vigente(const std::filesystem::path& fichero) const {
  auto it = huellas_.find(fichero.filename().string());
  return it != huellas_.end() && !it->second.empty() && it->second == huella(fichero);
}

void Revisados::anota(const std::filesystem::path& fichero) {
  auto h = huella(fichero);
  auto& actual = huellas_[fichero.filename().string()];
  if (h.empty() || actual == h) return;
  actual = h;
  // Written whole to a temporary file and renamed: never half-written. A
  // folder that cannot be written keeps no record (every start checks).
  std::filesystem::path tmp = archivo_;
  tmp += ".tmp";
  bool escrito = false;
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    for (const auto& [nombre, hu] : huellas_) out << nombre << '\t' << hu << '\n';
    out.flush();
    escrito = static_cast<bool>(out);
  }
  std::error_code ec;
  if (escrito) std::filesystem::rename(tmp, archivo_, ec);
  if (!escrito || ec) std::filesystem::remove(tmp, ec);
}

std::vector<std::filesystem::path> ficherosDiccionario(const std::filesystem::path& carpeta) {
  std::vector<std::filesystem::path> out;
  std::error_code ec;
  for (auto& e : std::filesystem::directory_iterator(carpeta, ec)) {
    auto n = e.path().filename().string();
    if (e.is_regular_file() && n.starts_with("LEXICA") && n.ends_with(".db")) out.push_back(e.path());
  }
  std::sort(out.begin(), out.end());
  return out;
}

// ---- Cursor -----------------------------------------------------------------

namespace {
constexpr const char* kCampos = "SELECT rowid, codigo, unicode, frecuencia FROM ";

void leeRegistro(const Sentencia& s, Registro& r) {
  r.id = s.entero(0);
  r.codigo = s.texto16(1);
  r.unicode = s.texto(2);
  r.frecuencia = static_cast<int32_t>(s.entero(3));
}
}  // namespace

Cursor::Cursor(Sentencia st) : st_(std::move(st)) { siguiente(); }

void Cursor::siguiente() {
  fin_ = !st_.paso();
  if (!fin_) leeRegistro(st_, reg_);
}

// ---- Tabla ------------------------------------------------------------------

Tabla::Tabla(std::shared_ptr<Base> base, std::string nombre)
    : base_(std::move(base)), nombre_(std::move(nombre)), q_(cita(nombre_)) {}

Sentencia& Tabla::prepara(Sentencia& s, const std::string& sql) {
  if (!s) s = Sentencia(base_->db(), sql);
  return s.reinicia();
}

int64_t Tabla::registros() { return base_->registros(nombre_); }

Cursor Tabla::mayorQue(std::u16string_view codigo) {
  Sentencia s(base_->db(), std::string(kCampos) + q_ + " INDEXED BY " + cita(nombre_ + ".frecuencia") +
                               " WHERE codigo >= ?1 ORDER BY codigo, frecuencia DESC");
  s.liga(1, codigo);
  return Cursor(std::move(s));
}

Cursor Tabla::recorre(Indice orden) {
  std::string sql = std::string(kCampos) + q_ + " INDEXED BY " +
                    cita(nombre_ + "." + nombreIndice(orden)) + " ORDER BY ";
  switch (orden) {
    case Indice::frecuencia: sql += "codigo, frecuencia DESC"; break;
    case Indice::completo: sql += "codigo, unicode"; break;
    case Indice::unicode: sql += "unicode"; break;
  }
  return Cursor(Sentencia(base_->db(), sql));
}

std::optional<Registro> Tabla::buscaPar(std::u16string_view codigo, std::string_view unicode) {
  auto& s = prepara(sBuscaPar_, std::string(kCampos) + q_ + " INDEXED BY " +
                                    cita(nombre_ + ".completo") +
                                    " WHERE codigo = ?1 AND unicode = ?2 LIMIT 1");
  s.liga(1, codigo).liga(2, unicode);
  std::optional<Registro> r;
  if (s.paso()) leeRegistro(s, r.emplace());
  s.reinicia();
  return r;
}

std::optional<Registro> Tabla::buscaForma(std::string_view unicode) {
  auto& s = prepara(sBuscaForma_, std::string(kCampos) + q_ + " INDEXED BY " +
                                      cita(nombre_ + ".unicode") +
                                      " WHERE unicode = ?1 ORDER BY unicode LIMIT 1");
  s.liga(1, unicode);
  std::optional<Registro> r;
  if (s.paso()) leeRegistro(s, r.emplace());
  s.reinicia();
  return r;
}

void Tabla::anade(std::u16string_view codigo, std::string_view unicode, int32_t frecuencia) {
  // OR FAIL: the fields' NOT NULL checks then need no statement journal
  // either (nothing of this statement comes before them to undo).
  auto& s = prepara(sAnade_, "INSERT OR FAIL INTO " + q_ + " (codigo, unicode, frecuencia) VALUES (?1, ?2, ?3)");
  s.liga(1, codigo).liga(2, unicode).liga(3, frecuencia);
  base_->exigeTransaccion();
  Base::Transaccion tr(*base_);
  s.paso();
  s.reinicia();
  tr.confirma();
}

void Tabla::cambiaFrecuencia(int64_t id, int32_t frecuencia) {
  auto& s = prepara(sCambia_, "UPDATE " + q_ + " SET frecuencia = ?2 WHERE rowid = ?1");
  s.liga(1, id).liga(2, frecuencia);
  base_->exigeTransaccion();
  Base::Transaccion tr(*base_);
  s.paso();
  s.reinicia();
  tr.confirma();
}

void Tabla::borra(int64_t id) {
  auto& s = prepara(sBorra_, "DELETE FROM " + q_ + " WHERE rowid = ?1");
  s.liga(1, id);
  base_->exigeTransaccion();
  Base::Transaccion tr(*base_);
  s.paso();
  s.reinicia();
  tr.confirma();
}

int64_t Tabla::borraHasta(int64_t n) {
  Base::Transaccion tr(*base_);
  int64_t k = base_->ejecuta("DELETE FROM " + q_ + " WHERE frecuencia <= " + std::to_string(n));
  tr.confirma();
  return k;
}

int64_t Tabla::vacia() {
  Base::Transaccion tr(*base_);
  // A table with triggers is emptied row by row; without them SQLite drops
  // its pages at once. Inside the transaction the triggers go for a moment
  // and come back with the count set again.
  bool contada = false;
  {
    Sentencia hay(base_->db(), "SELECT 1 FROM sqlite_schema WHERE type = 'trigger' AND tbl_name = ?1");
    hay.liga(1, std::string_view(nombre_));
    contada = hay.paso();
  }
  if (contada)
    for (const char* que : {"alta", "baja"})
      base_->ejecuta("DROP TRIGGER IF EXISTS " + cita(nombreDisparador(nombre_, que)));
  int64_t k = base_->ejecuta("DELETE FROM " + q_);
  if (contada) base_->guardaCuenta(nombre_);
  tr.confirma();
  return k;
}

}  // namespace kalyxon::lexico
