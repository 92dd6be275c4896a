// The program on a private X desktop: `kalyxon x11-agent --griego` (the
// keyboard engine with the X11 backend), a window of the test's own that
// records what it receives, and xdotool typing on the keyboard.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/prueba.h"
#include "xharness.h"

namespace kalyxon::xtest {
namespace {

const std::string kProgram = std::string(KALYXON_RUNTIME_DIR) + "/kalyxon";

using prueba::Proceso;

class Program : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!server.running()) GTEST_SKIP() << "no X server for the test: " << server.failure();
    recorder = std::make_unique<Recorder>(server.display());
    agent = std::make_unique<Proceso>(
        std::vector<std::string>{kProgram, "x11-agent", "--griego", "--sigma-final", "--display",
                                 server.display()},
        Proceso::Opciones{.conEntrada = true, .conSalida = true});
    ASSERT_TRUE(agent->vivo());
    ASSERT_EQ(agent->leeLinea(), "ready");
  }

  // Everything typed so far has been dealt with and has arrived: the agent
  // types a marker after it, and the window has received the marker.
  std::string settle() {
    agent->di("sync");
    EXPECT_EQ(agent->leeLinea(), "synced");
    return recorder->untilMarker();
  }

  std::string type(const std::vector<std::string>& args) {
    EXPECT_EQ(xdotool(server.display(), args), 0);
    return settle();
  }

  Xvfb server;
  std::unique_ptr<Recorder> recorder;
  std::unique_ptr<Proceso> agent;
};

TEST_F(Program, TypesGreekIntoAnyApplication) {
  // L, the acute key (right of Ñ), O, G, O, S, space.
  EXPECT_EQ(type({"key", "--delay", "0", "l", "apostrophe", "o", "g", "o", "s", "space"}),
            "λόγος ");
  // A Ctrl combination reaches the application as it is.
  EXPECT_EQ(type({"keydown", "ctrl", "key", "c", "keyup", "ctrl"}), "λόγος ");
  EXPECT_EQ(recorder->snapshot().shortcuts, std::vector<std::string>{"^c"});
  // Backspace deletes.
  EXPECT_EQ(type({"key", "BackSpace", "BackSpace"}), "λόγο");
  // F2 switches to Latin: letters pass unchanged; F2 again, back to Greek.
  EXPECT_EQ(type({"key", "--delay", "0", "F2", "space", "l", "o", "g", "o", "s", "F2", "space",
                  "k", "a", "i"}),
            "λόγο logos και");
}

TEST_F(Program, ShortcutsAndClicksAreNeverTypedOver) {
  // Ctrl let go before the A: the application got Ctrl+A (select all) at the
  // press, and the release types no α over the selection.
  EXPECT_EQ(type({"keydown", "ctrl", "keydown", "a", "keyup", "ctrl", "keyup", "a"}), "");
  EXPECT_EQ(recorder->snapshot().shortcuts, std::vector<std::string>{"^a"});
  // A click after the σ moves the caret away from it: the space that follows
  // must not delete the character before the caret to make a final sigma.
  EXPECT_EQ(type({"key", "--delay", "0", "l", "o", "g", "o", "s"}), "λογοσ");
  EXPECT_EQ(xdotool(server.display(), {"click", "1"}), 0);
  EXPECT_EQ(type({"key", "space"}), "λογοσ ");
}

TEST_F(Program, FastTypingArrivesCompleteAndInOrder) {
  const std::string words[] = {"anthropos", "logos", "kai", "theos", "psyche", "bios", "zoe"};
  std::string latin, script;
  for (size_t i = 0; latin.size() < 200; ++i) {
    for (char c : words[i % 7]) {
      latin += c;
      script += static_cast<char>(c - 'a' + 'A');
      script += ' ';
    }
    latin += ' ';
    script += "space ";
  }
  std::string want = prueba::tecleaConType(script, "--sigma-final");
  ASSERT_FALSE(want.empty());
  EXPECT_EQ(type({"type", "--delay", "0", latin}), want);
}

TEST(ProgramWithoutDisplay, KeepsRunningAndShowsTheMessage) {
  Proceso agent({kProgram, "x11-agent", "--griego", "--display", ":999"},
                Proceso::Opciones{.conEntrada = true, .conSalida = true});
  ASSERT_TRUE(agent.vivo());
  // Still running: it answers.
  EXPECT_EQ(agent.leeLinea(), "ready");
  agent.di("quit");
}

}  // namespace
}  // namespace kalyxon::xtest
