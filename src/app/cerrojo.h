// The program folder's single-instance lock: a running copy of the desktop
// program holds it, so a second copy on the same folder is refused even when
// the folder holds no dictionary (whose own locks would otherwise tell).
// The lock is the operating system's (advisory, on the folder itself), so it
// goes with the process however that ends and needs no file of its own.
#pragma once

#include <cstdint>
#include <filesystem>

namespace kalyxon {

class CerrojoCarpeta {
 public:
  CerrojoCarpeta() = default;
  ~CerrojoCarpeta() { suelta(); }
  CerrojoCarpeta(const CerrojoCarpeta&) = delete;
  CerrojoCarpeta& operator=(const CerrojoCarpeta&) = delete;

  // Takes the lock on `carpeta`. False when another holder has it; true when
  // taken, and also when the system offers no lock there (the dictionaries'
  // locks then remain the only guard).
  bool toma(const std::filesystem::path& carpeta);
  void suelta();
  bool tomado() const { return fd_ >= 0; }

 private:
  std::intptr_t fd_ = -1;  // descriptor (POSIX) or handle (Windows) while held
};

}  // namespace kalyxon
