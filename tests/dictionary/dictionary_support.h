// Helpers of the dictionary tests.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace kalyxon {

// A fresh folder under the system's temporary folder, removed afterwards.
struct CarpetaTemporal {
  std::filesystem::path ruta;
  // With `alfabeto`, the folder gets a copy of the built ALPHA.db, as a
  // program folder has.
  explicit CarpetaTemporal(bool alfabeto = false) {
    std::random_device rd;
    ruta = std::filesystem::temp_directory_path() /
           ("kalyxon-dict-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(ruta);
    if (alfabeto)
      std::filesystem::copy_file(std::filesystem::path(KALYXON_RUNTIME_DIR) / "ALPHA.db",
                                 ruta / "ALPHA.db");
  }
  ~CarpetaTemporal() {
    std::error_code ec;
    std::filesystem::remove_all(ruta, ec);
  }
  CarpetaTemporal(const CarpetaTemporal&) = delete;
  CarpetaTemporal& operator=(const CarpetaTemporal&) = delete;
};

inline std::string leeFichero(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void escribeFichero(const std::filesystem::path& p, const std::string& texto) {
  std::ofstream out(p, std::ios::binary);
  out << texto;
}

}  // namespace kalyxon

