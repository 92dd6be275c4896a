// The desktop program itself on a private X desktop: `kalyxon --griego` with
// its settings in a folder of the test, typing into another application
// through the X11 keyboard, as a user sees it.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "xharness.h"

extern char** environ;

namespace kalyxon::xtest {
namespace {

#ifdef KALYXON_TEST_DESKTOP

const std::string kProgram = std::string(KALYXON_RUNTIME_DIR) + "/kalyxon";

// The desktop program as a child process on `display`. Its own windows are
// drawn offscreen so they never take the keyboard focus from the recorder.
class Desktop {
 public:
  // `errores`, when given, receives the program's standard error.
  Desktop(const std::string& display, const std::filesystem::path& carpeta,
          const std::filesystem::path& errores = {}) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
      std::string v = *e;
      if (v.rfind("DISPLAY=", 0) != 0 && v.rfind("QT_QPA_PLATFORM=", 0) != 0) env.push_back(v);
    }
    env.push_back("DISPLAY=" + display);
    env.push_back("QT_QPA_PLATFORM=offscreen");
    std::vector<std::string> args = {kProgram, "--griego", "--backend", "x11",
                                     "--settings-dir", carpeta.string()};
    std::vector<char*> argv, envp;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t acciones;
    posix_spawn_file_actions_init(&acciones);
    if (!errores.empty())
      posix_spawn_file_actions_addopen(&acciones, 2, errores.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                       0644);
    if (posix_spawn(&pid_, argv[0], &acciones, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&acciones);
  }
  ~Desktop() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  bool running() const { return pid_ > 0; }

 private:
  pid_t pid_ = -1;
};

// Waits for the recorder's text to change; false when nothing came for a
// while (the caller decides whether to try again).
bool waitChange(Recorder& r, int ms) {
  pollfd p{r.changedFd(), POLLIN, 0};
  return poll(&p, 1, ms) > 0;
}

// Waits until the recorder holds at least `n` characters or stops changing.
std::u32string textOf(Recorder& r, size_t n) {
  for (;;) {
    auto t = r.snapshot().text;
    if (t.size() >= n || !waitChange(r, 3000)) return t;
  }
}

TEST(Desktop, TypesGreekSystemWide) {
  Xvfb server;
  if (!server.running()) GTEST_SKIP() << "no X server for the test: " << server.failure();
  auto carpeta = std::filesystem::path(testing::TempDir()) / "kalyxon_desktop_e2e";
  std::filesystem::remove_all(carpeta);
  std::filesystem::create_directories(carpeta);
  // Final sigma on; help already seen, so the first run opens no help window.
  std::ofstream(carpeta / "kalyxon.ini") << "[opciones]\r\nsigma final=SI\r\nayuda=SI\r\n";

  Recorder recorder(server.display());
  ASSERT_TRUE(recorder.ok());
  Desktop desktop(server.display(), carpeta);
  ASSERT_TRUE(desktop.running());

  // The program is ready once a typed "a" arrives as alpha.
  bool ready = false;
  for (int i = 0; i < 100 && !ready; ++i) {
    ASSERT_EQ(xdotool(server.display(), {"key", "a"}), 0);
    ready = textOf(recorder, 1).find(U'α') != std::u32string::npos;
    recorder.clear();
    if (!ready) poll(nullptr, 0, 200);
  }
  ASSERT_TRUE(ready) << "the desktop program never took over the keyboard";

  // L, the acute key (right of Ñ), O, G, O, S, space.
  ASSERT_EQ(xdotool(server.display(),
                    {"key", "--delay", "20", "l", "apostrophe", "o", "g", "o", "s", "space"}),
            0);
  EXPECT_EQ(utf8(textOf(recorder, 6)), "λόγος ");
  recorder.clear();

  // F2: Latin letters pass unchanged.
  ASSERT_EQ(xdotool(server.display(), {"key", "--delay", "20", "F2", "l", "o", "g", "o", "s"}), 0);
  EXPECT_EQ(utf8(textOf(recorder, 5)), "logos");
  recorder.clear();

  // A second copy on another folder, also told to type Greek, is refused the
  // keyboard: every letter still arrives once.
  auto otra = std::filesystem::path(testing::TempDir()) / "kalyxon_desktop_e2e_2";
  std::filesystem::remove_all(otra);
  std::filesystem::create_directories(otra);
  std::ofstream(otra / "kalyxon.ini") << "[opciones]\r\nayuda=SI\r\n";
  Desktop segunda(server.display(), otra, otra / "errores.txt");
  ASSERT_TRUE(segunda.running());
  auto errores = [&] {
    std::ifstream in(otra / "errores.txt");
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  for (int i = 0; i < 150 && errores().find("another copy") == std::string::npos; ++i)
    poll(nullptr, 0, 200);
  ASSERT_NE(errores().find("another copy"), std::string::npos) << errores();
  ASSERT_EQ(xdotool(server.display(), {"key", "--delay", "20", "F2", "a", "l", "a"}), 0);
  EXPECT_EQ(utf8(textOf(recorder, 3)), "αλα");
}

#else

TEST(Desktop, TypesGreekSystemWide) { GTEST_SKIP() << "built without the desktop program"; }

#endif

}  // namespace
}  // namespace kalyxon::xtest
