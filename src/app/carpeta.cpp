#include "app/carpeta.h"
#include "util/utf.h"

#ifdef _WIN32
#include <windows.h>
#undef MessageBox  // the macro would rename platform::MessageBox
#else
#include <unistd.h>
#endif

#include <cstdlib>
#include <stdexcept>
#include <system_error>

#include "util/sqlite.h"

namespace kalyxon {

namespace fs = std::filesystem;

namespace {

bool empiezaPor(const std::string& s, const char* p) { return s.rfind(p, 0) == 0; }

bool terminaEnMinusculas(std::string s, const char* suf) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::string f(suf);
  return s.size() >= f.size() && s.compare(s.size() - f.size(), f.size(), f) == 0;
}

bool esIcono(const std::string& nombre) {
  return terminaEnMinusculas(nombre, ".ico") || terminaEnMinusculas(nombre, ".png") ||
         terminaEnMinusculas(nombre, ".svg");
}

bool esDiccionario(const std::string& nombre) {
  return empiezaPor(nombre, "LEXICA") && terminaEnMinusculas(nombre, ".db");
}

// The dictionaries' attribution and licence (LEXICA-*.txt) go with them.
bool esLicencia(const std::string& nombre) {
  return empiezaPor(nombre, "LEXICA-") && terminaEnMinusculas(nombre, ".txt");
}

#ifdef _WIN32
// Windows' access() only looks at the read-only attribute, not at who may
// write (Program Files has no such attribute), so the folder is asked to take
// a file that is gone again when its handle closes.
bool escribible(const fs::path& d) {
  const fs::path prueba = d / (".kalyxon-escritura-" + std::to_string(::GetCurrentProcessId()));
  HANDLE h = ::CreateFileW(prueba.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  ::CloseHandle(h);
  return true;
}
#else
bool escribible(const fs::path& d) { return ::access(d.c_str(), W_OK) == 0; }
#endif

// Whether an SQLite file opens and passes SQLite's quick check.
bool baseSana(const fs::path& p) {
  try {
    auto db = util::sqlite::abreLectura(p);
    auto st = util::sqlite::prepara(db.get(), "PRAGMA quick_check(1)");
    if (sqlite3_step(st.get()) != SQLITE_ROW) return false;
    auto t = reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0));
    return t && std::string(t) == "ok";
  } catch (const std::exception&) {
    return false;
  }
}

// Copies one shipped file; `reemplaza` replaces an older copy, and a copy
// that is damaged (program data the user never edits).
void copia(const fs::path& de, const fs::path& a, bool reemplaza) {
  std::error_code ec;
  if (fs::exists(a, ec)) {
    if (!reemplaza) return;
    if (!baseSana(a) && baseSana(de)) {
      fs::path tmp = a;
      tmp += ".tmp" + std::to_string(::getpid());
      fs::copy_file(de, tmp, fs::copy_options::overwrite_existing, ec);
      if (!ec) fs::rename(tmp, a, ec);
      if (ec) fs::remove(tmp, ec);
      return;
    }
    auto td = fs::last_write_time(de, ec);
    auto ta = fs::last_write_time(a, ec);
    if (ec || td <= ta) return;
  }
  // Through a temporary name, so a crash never leaves half a database.
  fs::path tmp = a;
  tmp += ".tmp" + std::to_string(::getpid());
  fs::copy_file(de, tmp, fs::copy_options::overwrite_existing, ec);
  if (!ec) fs::rename(tmp, a, ec);
  if (ec) fs::remove(tmp, ec);
}

void siembra(const fs::path& origen, const fs::path& destino, bool conDiccionarios) {
  std::error_code ec;
  if (fs::equivalent(origen, destino, ec)) return;
  for (const auto& e : fs::directory_iterator(origen, ec)) {
    if (!e.is_regular_file(ec)) continue;
    std::string nombre = e.path().filename().string();
    if (nombre == "ALPHA.db")
      copia(e.path(), destino / nombre, true);
    else if (esIcono(nombre) || nombre == "kalyxon-inicial.ini" ||
             (conDiccionarios && (esDiccionario(nombre) || esLicencia(nombre))))
      copia(e.path(), destino / nombre, false);
  }
}

void creaCarpeta(const fs::path& d) {
  std::error_code ec;
  fs::create_directories(d, ec);
  if (!fs::is_directory(d, ec))
    throw std::runtime_error("cannot create the program folder " + d.string());
}

}  // namespace

std::optional<fs::path> carpetaDatosInstalados(const fs::path& ejecutable) {
  std::error_code ec;
  fs::path dir = ejecutable.parent_path();
  if (fs::exists(dir / "ALPHA.db", ec)) return dir;
  fs::path share = (dir / ".." / "share" / "kalyxon").lexically_normal();
  if (fs::exists(share / "ALPHA.db", ec)) return share;
  return std::nullopt;
}

fs::path carpetaPrograma(const OrigenCarpeta& o) {
  auto datos = carpetaDatosInstalados(o.ejecutable);
  if (o.explicita) {
    fs::path d = fs::absolute(*o.explicita);
    creaCarpeta(d);
    if (datos) siembra(*datos, d, false);
    return d;
  }
  fs::path dir = o.ejecutable.parent_path();
  std::error_code ec;
  if (fs::exists(dir / "ALPHA.db", ec) && escribible(dir)) return dir;
#ifdef _WIN32
  // There the per-user folder is %APPDATA%\Kalyxon (the process overload
  // passes %APPDATA% in xdgDataHome).
  if (o.xdgDataHome.empty() || !util::rutaDeUtf8(o.xdgDataHome).is_absolute())
    throw std::runtime_error("APPDATA is not set: use --settings-dir DIR");
  fs::path d = util::rutaDeUtf8(o.xdgDataHome) / "Kalyxon";
#else
  fs::path base;
  if (!o.xdgDataHome.empty() && fs::path(o.xdgDataHome).is_absolute())
    base = o.xdgDataHome;
  else if (!o.home.empty())
    base = fs::path(o.home) / ".local" / "share";
  else
    throw std::runtime_error("neither XDG_DATA_HOME nor HOME is set: use --settings-dir DIR");
  fs::path d = base / "kalyxon";
#endif
  creaCarpeta(d);
  if (datos) siembra(*datos, d, true);
  return d;
}

fs::path carpetaPrograma(std::optional<fs::path> explicita) {
  OrigenCarpeta o;
  o.ejecutable = rutaEjecutable();
  o.explicita = std::move(explicita);
#ifdef _WIN32
  if (const wchar_t* a = ::_wgetenv(L"APPDATA")) o.xdgDataHome = fs::path(a).string();
#else
  if (const char* x = std::getenv("XDG_DATA_HOME")) o.xdgDataHome = x;
  if (const char* h = std::getenv("HOME")) o.home = h;
#endif
  return carpetaPrograma(o);
}

fs::path rutaEjecutable() {
#ifdef _WIN32
  std::wstring r(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, r.data(), static_cast<DWORD>(r.size()));
    if (n == 0) return {};
    if (n < r.size()) {
      r.resize(n);
      return fs::path(r);
    }
    r.resize(r.size() * 2);
  }
#else
  std::error_code ec;
  return fs::read_symlink("/proc/self/exe", ec);
#endif
}

std::optional<fs::path> extraeCarpetaAjustes(std::vector<std::string>& args) {
  std::optional<fs::path> r;
  for (std::size_t i = 0; i < args.size();) {
    if (args[i] == "--settings-dir") {
      if (i + 1 >= args.size() || args[i + 1].empty())
        throw std::invalid_argument("--settings-dir needs a folder");
      r = util::rutaDeUtf8(args[i + 1]);
      args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                 args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
    } else if (empiezaPor(args[i], "--settings-dir=")) {
      std::string v = args[i].substr(15);
      if (v.empty()) throw std::invalid_argument("--settings-dir needs a folder");
      r = util::rutaDeUtf8(v);
      args.erase(args.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
  return r;
}

}  // namespace kalyxon
