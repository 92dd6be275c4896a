// kalyxon convert killed outright (SIGKILL, nothing to clean up) while it
// converts into a file: the file then holds what it held before or the whole
// new text, never part of it, and the next run converts as usual.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "tablas_prueba.h"

namespace kalyxon {
namespace {

namespace fs = std::filesystem;

std::string lee(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

pid_t convierte(const fs::path& entrada, const fs::path& salida) {
  std::string programa = std::string(KALYXON_RUNTIME_DIR) + "/kalyxon";
  pid_t pid = fork();
  if (pid == 0) {
    execl(programa.c_str(), programa.c_str(), "convert", "--from", "betacode",
          entrada.c_str(), "-o", salida.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

// Runs a conversion and kills it once `momento` holds (or lets it finish when
// it ends first). Its exit status, or -1 when the kill came before the end.
int mataCuando(const fs::path& entrada, const fs::path& salida,
                const std::function<bool(pid_t)>& momento) {
  pid_t pid = convierte(entrada, salida);
  int estado = 0;
  while (waitpid(pid, &estado, WNOHANG) == 0) {
    if (momento(pid)) {
      kill(pid, SIGKILL);
      waitpid(pid, &estado, 0);
      if (WIFSIGNALED(estado)) return -1;
      break;
    }
    usleep(100);
  }
  return WIFEXITED(estado) ? WEXITSTATUS(estado) : -2;
}

TEST(ConvertKilled, LeavesTheOldFileOrTheWholeNewOne) {
  KALYXON_REQUIERE_TABLAS();
  fs::path dir = fs::temp_directory_path() / ("kalyxon-muerte-" + std::to_string(getpid()));
  fs::create_directories(dir);
  // Several megabytes, so that reading, converting and writing each take a while.
  std::string beta;
  while (beta.size() < (6u << 20)) beta += "*)/andra moi e)/nnepe, mou=sa, polu/tropon, o(\\s ma/la polla\\\n";
  std::ofstream(dir / "in.beta", std::ios::binary) << beta;
  ASSERT_EQ(mataCuando(dir / "in.beta", dir / "nuevo.txt", [](pid_t) { return false; }), 0);
  const std::string nuevo = lee(dir / "nuevo.txt");
  ASSERT_GT(nuevo.size(), beta.size());

  const std::string viejo = "el texto de antes\n";
  auto temporal = [&](pid_t pid) { return dir / ("out.txt.tmp" + std::to_string(pid)); };
  const std::function<bool(pid_t)> momentos[] = {
      [](pid_t) { return true; },                                           // at start
      [&](pid_t pid) { return fs::exists(temporal(pid)); },                  // writing begins
      [&](pid_t pid) {                                                       // half written
        std::error_code ec;
        return fs::file_size(temporal(pid), ec) > nuevo.size() / 2 && !ec;
      },
  };
  for (const auto& momento : momentos) {
    std::ofstream(dir / "out.txt", std::ios::binary) << viejo;
    mataCuando(dir / "in.beta", dir / "out.txt", momento);
    std::string ahora = lee(dir / "out.txt");
    EXPECT_TRUE(ahora == viejo || ahora == nuevo) << ahora.size() << " bytes";
  }
  // A killed run leaves at most its temporary file, which does not stop the next.
  ASSERT_EQ(mataCuando(dir / "in.beta", dir / "out.txt", [](pid_t) { return false; }), 0);
  EXPECT_EQ(lee(dir / "out.txt"), nuevo);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace kalyxon
