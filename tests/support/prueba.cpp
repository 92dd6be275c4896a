#include "prueba.h"

#include <gtest/gtest.h>
#include <unistd.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <cstdio>
#include <fstream>
#include <iterator>

namespace kalyxon::prueba {

namespace fs = std::filesystem;

CarpetaTemporal::CarpetaTemporal() {
  static int serie = 0;
  std::string nombre = "kalyxon_" + std::to_string(::getpid()) + "_" + std::to_string(++serie);
  if (auto* info = ::testing::UnitTest::GetInstance()->current_test_info())
    nombre += std::string("_") + info->test_suite_name() + "_" + info->name();
  ruta_ = fs::temp_directory_path() / nombre;
  fs::remove_all(ruta_);
  fs::create_directories(ruta_);
}

CarpetaTemporal::~CarpetaTemporal() {
  std::error_code ec;
  fs::remove_all(ruta_, ec);
}

std::string leeFichero(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void escribeFichero(const fs::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary) << bytes;
}

#ifndef _WIN32
Salida ejecutaKalyxon(const std::string& args, const std::string& entrada, bool conErrores) {
  CarpetaTemporal carpeta;
  escribeFichero(carpeta / "entrada", entrada);
  const std::string orden = "'" KALYXON_RUNTIME_DIR "/kalyxon' " + args + " < '" +
                            (carpeta / "entrada").string() + "'" +
                            (conErrores ? " 2>&1" : " 2>/dev/null");
  Salida s;
  FILE* p = ::popen(orden.c_str(), "r");
  if (!p) return s;
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) s.texto.append(buf, n);
  const int estado = ::pclose(p);
  s.codigo = WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
  return s;
}

std::string tecleaConType(const std::string& guion, const std::string& opciones) {
  return ejecutaKalyxon("type " + opciones, guion).texto;
}
#endif

}  // namespace kalyxon::prueba
