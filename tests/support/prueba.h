// Helpers shared by the test programs: a temporary folder of the running test,
// whole files, and the built kalyxon command run as a user runs it.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

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

// Runs `kalyxon ARGS` (its output dropped) and kills it with SIGKILL as soon
// as `momento(pid)` holds, asked again and again while it runs. Its exit
// status; -1 when the kill came first, -2 when it ended otherwise.
int ejecutaYMata(const std::vector<std::string>& args,
                 const std::function<bool(pid_t)>& momento = [](pid_t) { return false; });

// What `kalyxon type OPCIONES` types for a key script.
std::string tecleaConType(const std::string& guion, const std::string& opciones);

// A child process. With `conEntrada` its standard input is a pipe, and ending
// it is closing that pipe and waiting; otherwise it is sent SIGTERM.
class Proceso {
 public:
  struct Opciones {
    bool conEntrada = false, conSalida = false;
    std::vector<std::string> entorno = {};  // NAME=value, over the test's own
    std::filesystem::path errores = {};     // where standard error goes, if given
  };
  explicit Proceso(const std::vector<std::string>& args) : Proceso(args, Opciones{}) {}
  Proceso(const std::vector<std::string>& args, const Opciones& o);
  ~Proceso() { termina(); }
  Proceso(const Proceso&) = delete;
  Proceso& operator=(const Proceso&) = delete;
  bool vivo() const { return pid_ > 0; }
  void termina();
  // Waits for the program to end by itself; its exit status, or -1.
  int espera();
  void di(const std::string& linea);
  // The next line of standard output; empty at its end.
  std::string leeLinea();

 private:
  pid_t pid_ = -1;
  int entrada_ = -1, salida_ = -1;
};
#endif

}  // namespace kalyxon::prueba
