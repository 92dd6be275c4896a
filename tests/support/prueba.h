// Helpers shared by the test programs: a temporary folder of the running test,
// whole files, and the built kalyxon command run as a user runs it.
#pragma once

#include <filesystem>
#include <string>

namespace kalyxon::prueba {

// A fresh folder for the running test, removed with all it holds at the end.
class CarpetaTemporal {
 public:
  CarpetaTemporal();
  ~CarpetaTemporal();
  CarpetaTemporal(const CarpetaTemporal&) = delete;
  CarpetaTemporal& operator=(const CarpetaTemporal&) = delete;
  const std::filesystem::path& ruta() const { return ruta_; }
  std::filesystem::path operator/(const std::filesystem::path& p) const { return ruta_ / p; }

 private:
  std::filesystem::path ruta_;
};

// The bytes of a file; empty when it cannot be read.
std::string leeFichero(const std::filesystem::path& p);
void escribeFichero(const std::filesystem::path& p, const std::string& bytes);

#ifndef _WIN32
struct Salida {
  std::string texto;
  int codigo = -1;  // the exit status; -1 when the program did not exit
};

// Runs `kalyxon ARGS` (shell words) with `entrada` on standard input. Standard
// error joins the text when `conErrores`, and is dropped otherwise.
Salida ejecutaKalyxon(const std::string& args, const std::string& entrada = "",
                      bool conErrores = false);

// What `kalyxon type OPCIONES` types for a key script.
std::string tecleaConType(const std::string& guion, const std::string& opciones);
#endif

}  // namespace kalyxon::prueba
