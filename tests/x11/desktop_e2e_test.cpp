// The desktop program itself on a private X desktop: `kalyxon --griego` with
// its settings in a folder of the test, typing into another application
// through the X11 keyboard, as a user sees it.
#include <gtest/gtest.h>
#include <poll.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/prueba.h"
#include "xharness.h"

namespace kalyxon::xtest {
namespace {

#ifdef KALYXON_TEST_DESKTOP

const std::string kProgram = std::string(KALYXON_RUNTIME_DIR) + "/kalyxon";

// The desktop program as a child process on `display`. Its own windows are
// drawn offscreen so they never take the keyboard focus from the recorder;
// `errores`, when given, receives its standard error.
prueba::Proceso escritorio(const std::string& display, const std::filesystem::path& carpeta,
                           const std::filesystem::path& errores = {}) {
  prueba::Proceso::Opciones o;
  o.entorno = {"DISPLAY=" + display, "QT_QPA_PLATFORM=offscreen"};
  o.errores = errores;
  return prueba::Proceso(
      {kProgram, "--griego", "--backend", "x11", "--settings-dir", carpeta.string()}, o);
}

// Waits until the recorder holds at least `n` characters or stops changing.
std::u32string textOf(Recorder& r, size_t n) {
  for (;;) {
    auto t = r.snapshot().text;
    if (t.size() >= n || !waitReadable({r.changedFd()}, 3000)) return t;
  }
}

TEST(Desktop, TypesGreekSystemWide) {
  Xvfb server;
  if (!server.running()) GTEST_SKIP() << "no X server for the test: " << server.failure();
  const prueba::CarpetaTemporal carpeta, otra;
  // Final sigma on; help already seen, so the first run opens no help window.
  std::ofstream(carpeta / "kalyxon.ini") << "[opciones]\r\nsigma final=SI\r\nayuda=SI\r\n";

  Recorder recorder(server.display());
  ASSERT_TRUE(recorder.ok());
  const prueba::Proceso desktop = escritorio(server.display(), carpeta.ruta());
  ASSERT_TRUE(desktop.vivo());

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
  std::ofstream(otra / "kalyxon.ini") << "[opciones]\r\nayuda=SI\r\n";
  const prueba::Proceso segunda = escritorio(server.display(), otra.ruta(), otra / "errores.txt");
  ASSERT_TRUE(segunda.vivo());
  auto errores = [&] { return prueba::leeFichero(otra / "errores.txt"); };
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
