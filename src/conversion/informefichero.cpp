#include "conversion/informefichero.h"

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>

#include "util/cp1252.h"
#include "util/utf.h"

namespace kalyxon::conversion {

namespace {
std::error_code ultimoError() { return {errno, std::generic_category()}; }
}  // namespace

#ifdef _WIN32
// Windows: the report goes to a temporary file beside the target and replaces
// it in one move at the end, as on POSIX (links and devices aside).
InformeFichero::InformeFichero(std::filesystem::path fichero, Codificacion c)
    : fichero_(std::move(fichero)), codificacion_(c) {
  temporal_ = fichero_;
  temporal_ += L".tmp" + std::to_wstring(::_getpid());
  f_ = ::_wfopen(temporal_.c_str(), L"wb");
  if (!f_) {
    error_ = ultimoError();
    temporal_.clear();
  }
}
#else
InformeFichero::InformeFichero(std::filesystem::path fichero, Codificacion c)
    : fichero_(std::move(fichero)), codificacion_(c) {
  struct stat st {};
  if (::stat(fichero_.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    f_ = std::fopen(fichero_.c_str(), "wb");
    if (!f_) error_ = ultimoError();
    return;
  }
  // A symbolic link keeps being a link: its target is the file replaced.
  std::filesystem::path destino = fichero_;
  std::error_code ec;
  if (std::filesystem::is_symlink(fichero_, ec)) {
    auto t = std::filesystem::read_symlink(fichero_, ec);
    if (!ec) destino = t.is_absolute() ? t : fichero_.parent_path() / t;
  }
  fichero_ = destino;
  std::string plantilla = (destino.parent_path() / ("." + destino.filename().string() + ".XXXXXX")).string();
  if (destino.parent_path().empty()) plantilla = "." + destino.filename().string() + ".XXXXXX";
  int fd = ::mkstemp(plantilla.data());
  if (fd < 0) {
    error_ = ultimoError();
    return;
  }
  temporal_ = plantilla;
  f_ = ::fdopen(fd, "wb");
  if (!f_) {
    error_ = ultimoError();
    ::close(fd);
  }
}

#endif

InformeFichero::~InformeFichero() {
  if (f_) std::fclose(f_);
  if (!temporal_.empty()) {
    std::error_code ec;
    std::filesystem::remove(temporal_, ec);
  }
}

void InformeFichero::escribe(std::u16string_view linea) {
  if (!f_ || error_) return;
  if (linea != previa_) {
    previa_ = linea;
    bytes_ = codificacion_ == Codificacion::kUtf8 ? util::toUtf8(linea) : cp1252::encode(linea);
  }
  if (std::fwrite(bytes_.data(), 1, bytes_.size(), f_) != bytes_.size()) error_ = ultimoError();
}

#ifdef _WIN32
std::error_code InformeFichero::cierra() {
  termina();
  if (f_) {
    if (std::fflush(f_) != 0 && !error_) error_ = ultimoError();
    if (!temporal_.empty() && ::_commit(::_fileno(f_)) != 0 && !error_) error_ = ultimoError();
    if (std::fclose(f_) != 0 && !error_) error_ = ultimoError();
    f_ = nullptr;
  }
  if (error_ || temporal_.empty()) return error_;
  if (!::MoveFileExW(temporal_.c_str(), fichero_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return error_ = std::error_code(EACCES, std::generic_category());
  temporal_.clear();
  return {};
}
#else
std::error_code InformeFichero::cierra() {
  termina();
  if (f_) {
    if (std::fflush(f_) != 0 && !error_) error_ = ultimoError();
    if (!temporal_.empty() && ::fsync(::fileno(f_)) != 0 && !error_) error_ = ultimoError();
    if (std::fclose(f_) != 0 && !error_) error_ = ultimoError();
    f_ = nullptr;
  }
  if (error_ || temporal_.empty()) return error_;
  // The replaced file's permissions stay; a new one gets the usual ones.
  struct stat st {};
  if (::stat(fichero_.c_str(), &st) == 0) {
    ::chmod(temporal_.c_str(), st.st_mode & 07777);
  } else {
    mode_t m = ::umask(0);
    ::umask(m);
    ::chmod(temporal_.c_str(), 0666 & ~m);
  }
  if (::rename(temporal_.c_str(), fichero_.c_str()) != 0) return error_ = ultimoError();
  temporal_.clear();
  return {};
}
#endif

}  // namespace kalyxon::conversion
