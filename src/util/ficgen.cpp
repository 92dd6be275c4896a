#include "util/ficgen.h"

#include <algorithm>
#ifdef _WIN32
#include <windows.h>
#undef MessageBox  // the macro would rename platform::MessageBox
#include <process.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdint>
#include <cstdio>
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

#ifdef _WIN32
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

// The same contract as below with Windows' calls: the whole text goes to a
// temporary file beside the target, is flushed, and replaces the target in
// one move, so the target is always either the old file or the whole new one.
std::error_code escribeBytes(const std::filesystem::path& fichero, std::string_view bytes) {
  auto temp = fichero;
  temp += ".tmp" + std::to_string(::_getpid());
  HANDLE h = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return errorWin32(::GetLastError());
  std::error_code ec;
  std::size_t hecho = 0;
  while (hecho < bytes.size()) {
    const DWORD trozo = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - hecho, 1u << 30));
    DWORD n = 0;
    if (!::WriteFile(h, bytes.data() + hecho, trozo, &n, nullptr)) {
      ec = errorWin32(::GetLastError());
      break;
    }
    hecho += n;
  }
  if (!ec && !::FlushFileBuffers(h)) ec = errorWin32(::GetLastError());
  if (!::CloseHandle(h) && !ec) ec = errorWin32(::GetLastError());
  if (!ec && !::MoveFileExW(temp.c_str(), fichero.c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    ec = errorWin32(::GetLastError());
  if (ec) ::DeleteFileW(temp.c_str());
  return ec;
}
#else
std::error_code escribeBytes(const std::filesystem::path& fichero, std::string_view bytes) {
  auto temp = fichero;
  temp += ".tmp" + std::to_string(::getpid());
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return lastError();
  std::error_code ec;
  std::size_t hecho = 0;
  while (hecho < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + hecho, bytes.size() - hecho);
    if (n < 0) {
      if (errno == EINTR) continue;
      ec = lastError();
      break;
    }
    hecho += static_cast<std::size_t>(n);
  }
  // Flushed before the rename: a crash must find either the old file or the
  // whole new one, never an empty file under the old name.
  if (!ec && ::fsync(fd) != 0) ec = lastError();
  if (::close(fd) != 0 && !ec) ec = lastError();
  if (!ec) std::filesystem::rename(temp, fichero, ec);
  if (ec) {
    std::error_code ignorado;
    std::filesystem::remove(temp, ignorado);
  }
  return ec;
}
#endif

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
      grabaFichero(util::rutaDeUtf8(raiz + std::to_string(trozos + 1) + "." + extension), cp1252::decode(bytes));
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
