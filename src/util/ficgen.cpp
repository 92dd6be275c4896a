#include "util/ficgen.h"

#include <algorithm>
#include <random>

#ifdef _WIN32
#include <windows.h>
#undef MessageBox  // the macro would rename platform::MessageBox
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "util/cp1252.h"
#include "util/utf.h"

namespace kalyxon::FicGen {

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::error_code lastError() { return {errno ? errno : EIO, std::generic_category()}; }

File open(const std::filesystem::path& path, const char* mode) {
  errno = 0;
#ifdef _WIN32
  // Wide names, so that a Greek file name opens on a machine whose ANSI code
  // page cannot spell it.
  const std::string m(mode);
  File f(::_wfopen(path.c_str(), std::wstring(m.begin(), m.end()).c_str()));
  // Windows answers "access denied" for a folder; say what it is, as Linux does.
  std::error_code ignorado;
  if (!f && std::filesystem::is_directory(path, ignorado)) errno = EISDIR;
#else
  File f(std::fopen(path.c_str(), mode));
#endif
  if (!f) throw FicheroError(path, lastError());
  return f;
}

// Reads up to `n` bytes; fewer only at the end of the file. The buffer grows
// with what is read, not with `n`.
std::string readBytes(std::FILE* f, size_t n, const std::filesystem::path& path) {
  constexpr size_t kBlock = 1 << 20;
  std::string buf;
  while (buf.size() < n) {
    const size_t want = std::min(kBlock, n - buf.size());
    const size_t old = buf.size();
    buf.resize(old + want);
    errno = 0;
    const size_t got = std::fread(buf.data() + old, 1, want, f);
    buf.resize(old + got);
    if (got < want) {
      if (std::ferror(f)) throw FicheroError(path, lastError());
      break;
    }
  }
  return buf;
}

}  // namespace

std::u16string descripcionError(std::error_code ec, const std::filesystem::path& path) {
  switch (ec.value()) {
    case ENOENT: {
      std::error_code ignored;
      const auto parent = path.parent_path();
      if (!parent.empty() && !std::filesystem::is_directory(parent, ignored))
        return u"No se encontró la ruta de acceso";
      return u"No se encontró el archivo";
    }
    case ENOTDIR:
      return u"No se encontró la ruta de acceso";
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
      return u"Permiso denegado";
    case EISDIR:
      return u"Error de acceso a la ruta o el archivo";
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return u"Disco lleno";
    case EMFILE:
    case ENFILE:
      return u"Demasiados archivos";
    case ENAMETOOLONG:
    case EINVAL:
      return u"Nombre de archivo incorrecto";
    default:
      return u"Error de E/S de dispositivo";
  }
}

FicheroError::FicheroError(const std::filesystem::path& path, std::error_code ec)
    : std::runtime_error(path.string() + ": " + ec.message()),
      code_(ec),
      description_(descripcionError(ec, path)) {}

// ---- The atomic writer --------------------------------------------------------
//
// Opening, writing and completing the file touch the operating system and
// are written once for POSIX and once for Windows; buffering is shared.

namespace {

std::string nombreAlAzar() {
  // Unpredictable, so another user of a shared folder cannot place a file or
  // a link under the name before it is created.
  std::random_device rd;
  static constexpr char kHex[] = "0123456789abcdef";
  std::string s;
  for (int i = 0; i < 4; ++i) {
    unsigned v = rd();
    for (int k = 0; k < 4; ++k, v >>= 8) {
      s += kHex[(v >> 4) & 15];
      s += kHex[v & 15];
    }
  }
  return s;
}

}  // namespace

// Bytes gathered before a write to the file.
constexpr std::size_t kPendiente = 1 << 16;

#ifndef _WIN32
namespace {

// The file a write to `ruta` must really change: a symlink (or a chain of
// them) is followed to its target, even a missing one, so the link stays a
// link and its target gets the new bytes.
std::filesystem::path destinoReal(const std::filesystem::path& ruta, std::error_code& ec) {
  std::filesystem::path p = ruta;
  for (int saltos = 0; saltos < 40; ++saltos) {
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
    auto destino = std::filesystem::read_symlink(p, ec);
    if (ec) return p;
    p = destino.is_absolute() ? destino : p.parent_path() / destino;
  }
  ec = std::error_code(ELOOP, std::generic_category());
  return p;
}

std::error_code escribeTodo(int fd, std::string_view bytes) {
  std::size_t hecho = 0;
  while (hecho < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + hecho, bytes.size() - hecho);
    if (n < 0) {
      if (errno == EINTR) continue;
      return lastError();
    }
    hecho += static_cast<std::size_t>(n);
  }
  return {};
}

// The descriptor a path names when it is one of the process's own streams
// (/dev/stdout, /dev/fd/N, /proc/self/fd/N): it is written there as it
// stands, at its current position, never reopened or replaced.
int descriptorPropio(const std::string& r) {
  if (r == "/dev/stdout") return 1;
  if (r == "/dev/stderr") return 2;
  for (const char* pre : {"/dev/fd/", "/proc/self/fd/"}) {
    std::string_view p(pre);
    if (r.size() > p.size() && r.compare(0, p.size(), p) == 0 &&
        r.find_first_not_of("0123456789", p.size()) == std::string::npos)
      return std::atoi(r.c_str() + p.size());
  }
  return -1;
}

}  // namespace

EscrituraAtomica::EscrituraAtomica(std::filesystem::path fichero) : destino_(std::move(fichero)) {
  if (int fd = descriptorPropio(destino_.string()); fd >= 0) {
    fd_ = fd;
    propio_ = true;
    return;
  }
  struct stat st {};
  if (::stat(destino_.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    if (S_ISDIR(st.st_mode)) {
      error_ = std::error_code(EISDIR, std::generic_category());
      return;
    }
    // A device, a FIFO or a socket: written in place. Replacing it with a
    // regular file would break whatever reads it.
    fd_ = ::open(destino_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd_ < 0) error_ = lastError();
    return;
  }
  destino_ = destinoReal(destino_, error_);
  if (error_) return;
  struct stat viejo {};
  const bool existe = ::stat(destino_.c_str(), &viejo) == 0;
  std::filesystem::path carpeta = destino_.parent_path();
  if (carpeta.empty()) carpeta = ".";
  for (int intento = 0; intento < 100 && fd_ < 0; ++intento) {
    temporal_ = carpeta / ("." + destino_.filename().string() + "." + nombreAlAzar() + ".tmp");
    fd_ = ::open(temporal_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) {
    error_ = errno == EEXIST ? std::error_code(EEXIST, std::generic_category()) : lastError();
    temporal_.clear();
    return;
  }
  if (existe) {
    // The new file keeps the old one's permissions (and owner, when allowed).
    if (::fchown(fd_, viejo.st_uid, viejo.st_gid) != 0) {
      // Not allowed for other users' files: the writer's own owner stays.
    }
    if (::fchmod(fd_, viejo.st_mode & 07777) != 0) error_ = lastError();
  }
}

EscrituraAtomica::~EscrituraAtomica() {
  if (fd_ >= 0 && !propio_) ::close(fd_);
  if (!temporal_.empty()) ::unlink(temporal_.c_str());
}

void EscrituraAtomica::saca(std::string_view bytes) {
  if (!error_ && fd_ >= 0) error_ = escribeTodo(fd_, bytes);
}

std::error_code EscrituraAtomica::termina() {
  vacia();
  if (fd_ < 0) return error_;
  const int fd = fd_;
  fd_ = -1;
  if (temporal_.empty()) {
    if (!propio_ && ::close(fd) != 0 && !error_) error_ = lastError();
    return error_;
  }
  // Flushed before the rename: a crash must find either the old file or the
  // whole new one, never an empty file under the old name.
  if (!error_ && ::fsync(fd) != 0) error_ = lastError();
  if (::close(fd) != 0 && !error_) error_ = lastError();
  if (!error_ && ::rename(temporal_.c_str(), destino_.c_str()) != 0) error_ = lastError();
  if (error_) return error_;  // the destructor removes the temporary file
  temporal_.clear();
  // The rename itself reaches the disk with the folder.
  std::filesystem::path carpeta = destino_.parent_path();
  if (carpeta.empty()) carpeta = ".";
  int dir = ::open(carpeta.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return {};
}
#else
namespace {

// Win32 failures in the errno terms descripcionError and the callers use.
std::error_code errorWin32(DWORD e) {
  switch (e) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return {ENOENT, std::generic_category()};
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
      return {EACCES, std::generic_category()};
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return {ENOSPC, std::generic_category()};
    case ERROR_TOO_MANY_OPEN_FILES:
      return {EMFILE, std::generic_category()};
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BAD_PATHNAME:
      return {EINVAL, std::generic_category()};
    default:
      return {EIO, std::generic_category()};
  }
}

}  // namespace

EscrituraAtomica::EscrituraAtomica(std::filesystem::path fichero) : destino_(std::move(fichero)) {
  std::error_code ignorado;
  if (std::filesystem::is_directory(destino_, ignorado)) {
    error_ = std::error_code(EISDIR, std::generic_category());
    return;
  }
  std::filesystem::path carpeta = destino_.parent_path();
  if (carpeta.empty()) carpeta = ".";
  HANDLE h = INVALID_HANDLE_VALUE;
  for (int intento = 0; intento < 100 && h == INVALID_HANDLE_VALUE; ++intento) {
    temporal_ = carpeta / (destino_.filename().wstring() + L"." +
                           std::filesystem::path(nombreAlAzar()).wstring() + L".tmp");
    h = ::CreateFileW(temporal_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD e = ::GetLastError();
    error_ = e == ERROR_FILE_EXISTS ? std::error_code(EEXIST, std::generic_category()) : errorWin32(e);
    temporal_.clear();
    return;
  }
  h_ = h;
}

EscrituraAtomica::~EscrituraAtomica() {
  if (h_) ::CloseHandle(static_cast<HANDLE>(h_));
  if (!temporal_.empty()) ::DeleteFileW(temporal_.c_str());
}

void EscrituraAtomica::saca(std::string_view bytes) {
  std::size_t hecho = 0;
  while (!error_ && h_ && hecho < bytes.size()) {
    DWORD n = 0;
    DWORD pide = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - hecho, 1u << 30));
    if (!::WriteFile(static_cast<HANDLE>(h_), bytes.data() + hecho, pide, &n, nullptr))
      error_ = errorWin32(::GetLastError());
    hecho += n;
  }
}

std::error_code EscrituraAtomica::termina() {
  vacia();
  if (!h_) return error_;
  HANDLE h = static_cast<HANDLE>(h_);
  h_ = nullptr;
  if (!error_ && !::FlushFileBuffers(h)) error_ = errorWin32(::GetLastError());
  ::CloseHandle(h);
  if (!error_ && !::MoveFileExW(temporal_.c_str(), destino_.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    error_ = errorWin32(::GetLastError());
  if (!error_) temporal_.clear();
  return error_;
}
#endif

void EscrituraAtomica::vacia() {
  saca(pendiente_);
  pendiente_.clear();
}

void EscrituraAtomica::escribe(std::string_view bytes) {
  if (error_) return;
  if (pendiente_.size() + bytes.size() > kPendiente) {
    vacia();
    // A large piece goes out as it is, without a copy.
    if (bytes.size() >= kPendiente) {
      saca(bytes);
      return;
    }
  }
  pendiente_ += bytes;
}

std::error_code escribeBytes(const std::filesystem::path& fichero, std::string_view bytes) {
  EscrituraAtomica f(fichero);
  f.escribe(bytes);
  return f.termina();
}

void grabaFichero(const std::filesystem::path& fichero, std::u16string_view texto) {
  std::string bytes = cp1252::encode(texto);
  bytes += "\r\n";
  if (auto ec = escribeBytes(fichero, bytes)) throw FicheroError(fichero, ec);
}

int divideFichero(const std::string& fichero, long nCaracteres, platform::MessageBox& mensajes) {
  const size_t punto = fichero.find('.');
  if (punto == std::string::npos) {
    mensajes.show(u"No se puede dividir el fichero " + util::fromUtf8(fichero) +
                      u": su nombre no tiene extensión.",
                  platform::Buttons::Ok);
    return 0;
  }
  if (nCaracteres < 1) {
    mensajes.show(u"No se puede dividir el fichero: cada trozo debe tener al menos un carácter.",
                  platform::Buttons::Ok);
    return 0;
  }
  const std::string raiz = fichero.substr(0, punto);
  const std::string extension = fichero.substr(punto + 1);
  int trozos = 0;
  try {
    File f = open(util::rutaDeUtf8(fichero), "rb");
    while (true) {
      const std::string bytes = readBytes(f.get(), static_cast<size_t>(nCaracteres), fichero);
      if (bytes.empty()) break;
      grabaFichero(util::rutaDeUtf8(raiz + std::to_string(trozos + 1) + "." + extension),
                   cp1252::decode(bytes));
      ++trozos;
      if (bytes.size() < static_cast<size_t>(nCaracteres)) break;
    }
  } catch (const FicheroError& e) {
    mensajes.show(e.description(), platform::Buttons::Ok);
  }
  return trozos;
}

std::u16string leeFichero(const std::string& fichero, platform::MessageBox& mensajes) {
  std::string ruta = fichero;
  if (const size_t p = ruta.find("\\..\\"); p != std::string::npos) ruta.replace(p, 4, "\\");
  try {
    File f = open(util::rutaDeUtf8(ruta), "rb");
    return cp1252::decode(readBytes(f.get(), SIZE_MAX, ruta));
  } catch (const FicheroError& e) {
    mensajes.show(util::fromUtf8(ruta) + u" " + e.description(), platform::Buttons::Ok);
    return {};
  }
}

}  // namespace kalyxon::FicGen
