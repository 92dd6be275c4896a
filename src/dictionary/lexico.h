// Dictionary storage: the LEXICA*.db files beside the program.
//
// A dictionary is one table of an SQLite file with exactly three fields:
//   codigo      TEXT     search key, the form's letters without marks
//   unicode     TEXT     the form as a code list ("945;7985;")
//   frecuencia  INTEGER  number of occurrences, 1..32767
// and three named orderings kept as real indexes:
//   "frecuencia"  codigo, then frecuencia from highest to lowest
//   "completo"    codigo, then unicode
//   "unicode"     unicode
//
// Opening is exclusive: the file is opened with SQLite's exclusive locking
// mode and the write lock is taken at once, so a second running copy of the
// program cannot open it (BaseOcupada) — that is how the program notices a
// second instance. Within one process the files are opened through an
// `Espacio` (workspace): asking the same workspace for a file it already holds
// open hands back the same connection, so reopening succeeds.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace kalyxon::lexico {

// ---- Code lists -------------------------------------------------------------

// The canonical code list of a form: each UTF-16 code unit in decimal followed
// by ";" (no sign, no leading zeros, no "&#"). Every writer uses this, since
// equality of stored forms is equality of their code lists.
std::string listaCodigos(std::u16string_view forma);

// Reads a code list leniently: pieces split at ";", each optionally preceded by
// "&#"; reading stops at the first piece that is empty, not a decimal number or
// not followed by ";" (so a last number without ";" is dropped).
std::u16string formaDeLista(std::string_view lista);

// ---- Errors -----------------------------------------------------------------

// What went wrong, in English for logs and the command line (what()) and in
// Spanish for the windows (descripcion()): SQLite's own words never reach a
// user of the desktop program.
class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& ingles, int codigo = 0, std::u16string descripcion = {});
  // SQLite's primary result code, 0 when the fault is not SQLite's.
  int codigo() const { return codigo_; }
  const std::u16string& descripcion() const { return descripcion_; }

 private:
  int codigo_;
  std::u16string descripcion_;
};

// The Spanish words for an SQLite result code ("el disco está lleno"...).
std::u16string descripcionSqlite(int codigo);

// Any exception as the Spanish text a message box shows.
std::u16string mensajeError(const std::exception& e);

// The file is held open by another running program (another copy of Kalyxon):
// the start-up turns this into the single-instance message.
class BaseOcupada : public Error {
 public:
  explicit BaseOcupada(const std::filesystem::path& fichero);
};

// ---- Statements -------------------------------------------------------------

// A prepared statement, finalised on destruction.
class Sentencia {
 public:
  Sentencia() = default;
  Sentencia(sqlite3* db, std::string_view sql);
  Sentencia(Sentencia&& o) noexcept : db_(o.db_), st_(o.st_) { o.st_ = nullptr; }
  Sentencia& operator=(Sentencia&& o) noexcept;
  Sentencia(const Sentencia&) = delete;
  Sentencia& operator=(const Sentencia&) = delete;
  ~Sentencia();

  sqlite3_stmt* get() const { return st_; }
  explicit operator bool() const { return st_ != nullptr; }
  Sentencia& reinicia();  // reset and clear bindings
  Sentencia& liga(int i, std::string_view texto);
  Sentencia& liga(int i, std::u16string_view texto);
  Sentencia& liga(int i, int64_t n);
  bool paso();  // true: a row is ready; false: done; throws on error
  int64_t entero(int col) const;
  std::string texto(int col) const;
  std::u16string texto16(int col) const;

 private:
  sqlite3* db_ = nullptr;
  sqlite3_stmt* st_ = nullptr;
};

// ---- Databases and tables ---------------------------------------------------

enum class Indice { frecuencia, completo, unicode };
std::optional<Indice> indicePorNombre(std::string_view nombre);
const char* nombreIndice(Indice i);

struct InfoTabla {
  std::string nombre;
  int campos = 0;
  int64_t registros = 0;
};

struct Registro {
  int64_t id = 0;  // rowid: identifies the record for changes and deletes
  std::u16string codigo;
  std::string unicode;  // the stored code list
  int32_t frecuencia = 0;
  std::u16string forma() const { return formaDeLista(unicode); }
};

class Tabla;

// One open dictionary file. Closed when the last holder lets go of it.
class Base : public std::enable_shared_from_this<Base> {
 public:
  ~Base();
  Base(const Base&) = delete;
  Base& operator=(const Base&) = delete;

  const std::filesystem::path& fichero() const { return fichero_; }
  // The file name without folder, as the dictionary menus keep it.
  std::string nombre() const { return fichero_.filename().string(); }

  // The tables in creation order, with their field and record counts (the
  // file's own table of counts is not listed).
  std::vector<InfoTabla> tablas();
  // A table's record count: the stored one when the file keeps it (see
  // guardaCuenta), else counted.
  int64_t registros(std::string_view tabla);
  // Makes the file keep the record count of a dictionary table in its table
  // of counts, kept right by triggers on every insert and delete, so that
  // reading it costs one row instead of a walk of the whole table. No-op when
  // it is kept already. Needs the file writable.
  void guardaCuenta(std::string_view tabla);
  bool tieneTabla(std::string_view nombre);
  // Opens a table; throws Error when it is missing or lacks the three fields.
  std::shared_ptr<Tabla> tabla(std::string_view nombre);
  // Creates an empty dictionary table with its three indexes (no-op when it
  // exists) and opens it.
  std::shared_ptr<Tabla> creaTabla(std::string_view nombre);

  // Checks the file before it is used: SQLite's quick check, and for every
  // dictionary table its three fields and its three indexes. A missing index
  // is created when the file can be written. Throws Error (with a Spanish
  // description naming what is wrong) when the file cannot be used.
  // `paginas`: false skips the quick check (the file is known unchanged
  // since one passed, see Revisados); fields and indexes are always checked.
  void revisa(bool paginas = true);
  // Whether SQLite opened the file read-only (write-protected file).
  bool soloLectura() const;

  // Runs one statement and returns the number of records it changed.
  int64_t ejecuta(std::string_view sql);

  // Every write is transactional. Nested requests join the outer transaction.
  class Transaccion {
   public:
    explicit Transaccion(Base& b);
    ~Transaccion();  // rolls back unless committed
    void confirma();
    Transaccion(const Transaccion&) = delete;
    Transaccion& operator=(const Transaccion&) = delete;

   private:
    Base& b_;
    bool propia_ = false;
    bool hecha_ = false;
  };
  bool enTransaccion() const { return nivel_ > 0; }

  // While it lives, the file's page cache is large enough for a bulk write
  // (a load, a merge, an import) to find most pages it revisits in memory;
  // the usual size comes back afterwards.
  class CacheAmplia {
   public:
    explicit CacheAmplia(Base& b);
    ~CacheAmplia();
    CacheAmplia(const CacheAmplia&) = delete;
    CacheAmplia& operator=(const CacheAmplia&) = delete;

   private:
    Base& b_;
    int64_t antes_ = 0;
  };
  // Throws when a transaction of ours is open but SQLite has rolled it back.
  void exigeTransaccion() const;

  sqlite3* db() const { return db_; }

 private:
  friend class Espacio;
  friend class Tabla;
  Base(std::filesystem::path fichero, bool crear);
  std::filesystem::path fichero_;
  sqlite3* db_ = nullptr;
  int nivel_ = 0;
  std::map<std::string, std::weak_ptr<Tabla>, std::less<>> tablas_;
};

// A workspace: the set of files this program has open. Opening a file that the
// same workspace holds returns the open connection; a file held by another
// process (or by another workspace) is refused with BaseOcupada.
class Espacio {
 public:
  // `crear`: create the file when it does not exist.
  std::shared_ptr<Base> abre(const std::filesystem::path& fichero, bool crear = false);
  // Whether this workspace holds the file open right now.
  bool abierta(const std::filesystem::path& fichero) const;

 private:
  static std::filesystem::path clave(const std::filesystem::path& fichero);
  std::map<std::filesystem::path, std::weak_ptr<Base>> abiertas_;
};

// The dictionary files of a folder whose last full check passed, each with
// the size and modification time it had then, kept in "kalyxon-revisados.txt"
// of the folder. SQLite's quick check reads every page of a file (most of the
// start-up's time with the complete dictionary); a file found exactly as it
// was after its last check passed skips it. Any write, truncation or damage
// changes the file's time or size, and the next start checks it in full. A
// folder that cannot be written simply checks every file every time.
class Revisados {
 public:
  explicit Revisados(const std::filesystem::path& carpeta);
  bool vigente(const std::filesystem::path& fichero) const;
  // Records the file as it is now (after a check that passed) and saves.
  void anota(const std::filesystem::path& fichero);

 private:
  static std::string huella(const std::filesystem::path& fichero);
  std::filesystem::path archivo_;
  std::map<std::string, std::string, std::less<>> huellas_;
};

// The "LEXICA*.db" files of a folder, sorted by name.
std::vector<std::filesystem::path> ficherosDiccionario(const std::filesystem::path& carpeta);

// The eight table names that are dictionaries, in menu order, with the menu
// caption each has before discovery.
struct NombreDiccionario {
  const char* tabla;
  const char16_t* titulo;
};
extern const NombreDiccionario kDiccionarios[8];
bool esDiccionario(std::string_view tabla);

// A forward walk along one ordering of a table, as a table-type recordset
// positioned with a seek and moved with "next". It reads lazily: a walk that
// stops after a few records costs a few records.
class Cursor {
 public:
  bool fin() const { return fin_; }  // past the last record (or nothing matched)
  const Registro& actual() const { return reg_; }
  void siguiente();

 private:
  friend class Tabla;
  explicit Cursor(Sentencia st);
  Sentencia st_;
  Registro reg_;
  bool fin_ = true;
};

class Tabla {
 public:
  const std::string& nombre() const { return nombre_; }
  Base& base() const { return *base_; }
  std::shared_ptr<Base> basePtr() const { return base_; }
  int64_t registros();

  // ">" on a bare key in the "frecuencia" ordering: lands on the first record
  // of the first key group at or after `codigo` (most frequent first) and walks
  // on from there; the caller stops when the key changes.
  Cursor mayorQue(std::u16string_view codigo);
  // The whole table in one ordering, from its first record.
  Cursor recorre(Indice orden);
  // "=" on (codigo, unicode) in the "completo" ordering.
  std::optional<Registro> buscaPar(std::u16string_view codigo, std::string_view unicode);
  // "=" on unicode in the "unicode" ordering: the first record of that form.
  std::optional<Registro> buscaForma(std::string_view unicode);

  void anade(std::u16string_view codigo, std::string_view unicode, int32_t frecuencia);
  void cambiaFrecuencia(int64_t id, int32_t frecuencia);
  void borra(int64_t id);
  // Deletes every record with frecuencia <= n; returns how many went.
  int64_t borraHasta(int64_t n);
  int64_t vacia();

  Tabla(std::shared_ptr<Base> base, std::string nombre);  // use Base::tabla()

 private:
  Sentencia& prepara(Sentencia& s, const std::string& sql);
  std::shared_ptr<Base> base_;
  std::string nombre_;
  std::string q_;  // quoted name
  Sentencia sBuscaPar_, sBuscaForma_, sAnade_, sCambia_, sBorra_;
};

// The table in which a file keeps its dictionaries' record counts.
inline constexpr const char* kTablaCuentas = "kalyxon_registros";

// Table and index definitions, shared with the build-time generator.
std::string sqlCreaTabla(std::string_view tabla);
std::vector<std::string> sqlCreaIndices(std::string_view tabla);

// UTF-8 <-> UTF-16 for names and text crossing into SQLite and files.
std::string utf8(std::u16string_view s);
std::u16string utf16(std::string_view s);

}  // namespace kalyxon::lexico
