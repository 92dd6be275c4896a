#include "app/cerrojo.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace kalyxon {

#ifndef _WIN32

bool CerrojoCarpeta::toma(const std::filesystem::path& carpeta) {
  if (fd_ >= 0) return true;
  int fd = ::open(carpeta.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return true;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    bool ocupado = errno == EWOULDBLOCK;
    ::close(fd);
    return !ocupado;
  }
  fd_ = fd;
  return true;
}

void CerrojoCarpeta::suelta() {
  if (fd_ < 0) return;
  ::close(static_cast<int>(fd_));  // closing releases the lock
  fd_ = -1;
}

#else

bool CerrojoCarpeta::toma(const std::filesystem::path& carpeta) {
  if (fd_ >= 0) return true;
  // A file opened without sharing: a second copy cannot open it.
  HANDLE h = ::CreateFileW((carpeta / L"kalyxon.lock").c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE,
                           nullptr);
  if (h == INVALID_HANDLE_VALUE) return ::GetLastError() != ERROR_SHARING_VIOLATION;
  fd_ = reinterpret_cast<std::intptr_t>(h);
  return true;
}

void CerrojoCarpeta::suelta() {
  if (fd_ < 0) return;
  ::CloseHandle(reinterpret_cast<HANDLE>(fd_));
  fd_ = -1;
}

#endif

}  // namespace kalyxon
