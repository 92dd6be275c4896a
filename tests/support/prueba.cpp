#include "prueba.h"

#include <gtest/gtest.h>
#include <unistd.h>
#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;
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

int ejecutaYMata(const std::vector<std::string>& args, const std::function<bool(pid_t)>& momento) {
  std::vector<std::string> todo = {KALYXON_RUNTIME_DIR "/kalyxon"};
  todo.insert(todo.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : todo) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&fa, 1, 2);
  pid_t pid = -1;
  const int r = posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&fa);
  if (r != 0) return -2;
  int estado = 0;
  while (::waitpid(pid, &estado, WNOHANG) == 0) {
    if (momento(pid)) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &estado, 0);
      return WIFSIGNALED(estado) ? -1 : WIFEXITED(estado) ? WEXITSTATUS(estado) : -2;
    }
    ::usleep(100);
  }
  return WIFEXITED(estado) ? WEXITSTATUS(estado) : -2;
}

std::string tecleaConType(const std::string& guion, const std::string& opciones) {
  return ejecutaKalyxon("type " + opciones, guion).texto;
}

Proceso::Proceso(const std::vector<std::string>& args, const Opciones& o) {
  int in[2] = {-1, -1}, out[2] = {-1, -1};
  if ((o.conEntrada && ::pipe(in) != 0) || (o.conSalida && ::pipe(out) != 0)) return;
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  if (o.conEntrada) {
    posix_spawn_file_actions_adddup2(&fa, in[0], 0);
    posix_spawn_file_actions_addclose(&fa, in[1]);
  }
  if (o.conSalida) {
    posix_spawn_file_actions_adddup2(&fa, out[1], 1);
    posix_spawn_file_actions_addclose(&fa, out[0]);
  }
  if (!o.errores.empty())
    posix_spawn_file_actions_addopen(&fa, 2, o.errores.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string v = *e;
    bool tapada = false;
    for (const auto& nuevo : o.entorno)
      tapada |= v.compare(0, nuevo.find('=') + 1, nuevo, 0, nuevo.find('=') + 1) == 0;
    if (!tapada) env.push_back(v);
  }
  env.insert(env.end(), o.entorno.begin(), o.entorno.end());
  std::vector<char*> argv, envp;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  if (posix_spawnp(&pid_, argv[0], &fa, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
  posix_spawn_file_actions_destroy(&fa);
  if (o.conEntrada) {
    ::close(in[0]);
    entrada_ = in[1];
  }
  if (o.conSalida) {
    ::close(out[1]);
    salida_ = out[0];
  }
}

void Proceso::termina() {
  if (entrada_ >= 0) {
    ::close(entrada_);  // end of input: the program stops by itself
    entrada_ = -1;
  } else if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
  }
  if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
  if (salida_ >= 0) ::close(salida_);
  salida_ = -1;
}

int Proceso::espera() {
  int estado = 0;
  if (pid_ <= 0 || ::waitpid(pid_, &estado, 0) != pid_) estado = -1;
  pid_ = -1;
  return estado >= 0 && WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
}

void Proceso::di(const std::string& linea) {
  const std::string l = linea + "\n";
  if (::write(entrada_, l.data(), l.size()) != static_cast<ssize_t>(l.size()))
    ADD_FAILURE() << "cannot write to the program";
}

std::string Proceso::leeLinea() {
  std::string linea;
  for (char c; ::read(salida_, &c, 1) == 1 && c != '\n';) linea += c;
  return linea;
}
#endif

}  // namespace kalyxon::prueba
