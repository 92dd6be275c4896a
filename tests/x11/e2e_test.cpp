// The program on a private X desktop: `kalyxon x11-agent --griego` (the
// keyboard engine with the X11 backend), a window of the test's own that
// records what it receives, and xdotool typing on the keyboard.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "xharness.h"

extern char** environ;

namespace kalyxon::xtest {
namespace {

constexpr char32_t kSentinel = 0xE000;
const std::string kProgram = std::string(KALYXON_RUNTIME_DIR) + "/kalyxon";

// A child process with its standard input and output on pipes.
class Child {
 public:
  explicit Child(std::vector<std::string> args) {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) return;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, in[0], 0);
    posix_spawn_file_actions_adddup2(&fa, out[1], 1);
    posix_spawn_file_actions_addclose(&fa, in[1]);
    posix_spawn_file_actions_addclose(&fa, out[0]);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, argv[0], &fa, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&fa);
    close(in[0]);
    close(out[1]);
    in_ = in[1];
    out_ = out[0];
  }
  ~Child() {
    if (in_ >= 0) close(in_);  // end of input: the agent stops and restores the keymap
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
    if (out_ >= 0) close(out_);
  }
  bool running() const { return pid_ > 0; }
  int outFd() const { return out_; }
  void say(const std::string& line) {
    std::string l = line + "\n";
    if (write(in_, l.data(), l.size()) != static_cast<ssize_t>(l.size())) ADD_FAILURE();
  }
  // The next line of output; empty at end of output.
  std::string readLine() {
    std::string line;
    char c;
    while (read(out_, &c, 1) == 1) {
      if (c == '\n') return line;
      line += c;
    }
    return line;
  }

 private:
  pid_t pid_ = -1;
  int in_ = -1, out_ = -1;
};

// The engine's own answer for a key script, through the simulated keyboard.
std::string simulated(const std::string& script) {
  std::string path = testing::TempDir() + "kalyxon_e2e_script.txt";
  std::ofstream(path) << script;
  std::string cmd = kProgram + " type --sigma-final " + path;
  FILE* p = popen(cmd.c_str(), "r");
  std::string out;
  char buf[512];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  pclose(p);
  return out;
}

class Program : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!server.running()) GTEST_SKIP() << "no X server for the test: " << server.failure();
    recorder = std::make_unique<Recorder>(server.display());
    agent = std::make_unique<Child>(std::vector<std::string>{
        kProgram, "x11-agent", "--griego", "--sigma-final", "--display", server.display()});
    ASSERT_TRUE(agent->running());
    ASSERT_EQ(agent->readLine(), "ready");
  }

  // Everything typed so far has been dealt with and has arrived: the agent
  // types a marker after it, and the window has received the marker.
  std::string settle() {
    agent->say("sync");
    EXPECT_EQ(agent->readLine(), "synced");
    for (;;) {
      Recorder::Snapshot s = recorder->snapshot();
      if (s.text.find(kSentinel) != std::u32string::npos) {
        recorder->removeAll(kSentinel);
        return utf8(recorder->snapshot().text);
      }
      waitReadable({recorder->changedFd()});
    }
  }

  std::string type(const std::vector<std::string>& args) {
    EXPECT_EQ(xdotool(server.display(), args), 0);
    return settle();
  }

  Xvfb server;
  std::unique_ptr<Recorder> recorder;
  std::unique_ptr<Child> agent;
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
  std::string want = simulated(script);
  ASSERT_FALSE(want.empty());
  EXPECT_EQ(type({"type", "--delay", "0", latin}), want);
}

TEST_F(Program, LatencyFromKeyReleaseToText) {
  // The test's own XTest connection types L and waits for the λ, one at a
  // time: from the release leaving the test to the letter reaching the
  // window, through the X server, the program and back.
  Display* d = XOpenDisplay(server.display().c_str());
  ASSERT_NE(d, nullptr);
  KeyCode l = XKeysymToKeycode(d, XK_l), space = XKeysymToKeycode(d, XK_space);
  std::vector<double> ms;
  for (int i = 0; i < 200; ++i) {
    if (i % 10 == 0) {
      XTestFakeKeyEvent(d, space, True, CurrentTime);
      XTestFakeKeyEvent(d, space, False, CurrentTime);
      XSync(d, False);
      settle();
    }
    size_t before = recorder->snapshot().text.size();
    XTestFakeKeyEvent(d, l, True, CurrentTime);
    XSync(d, False);
    XTestFakeKeyEvent(d, l, False, CurrentTime);
    auto t0 = std::chrono::steady_clock::now();
    XFlush(d);
    Recorder::Snapshot s;
    while ((s = recorder->snapshot()).text.size() <= before) waitReadable({recorder->changedFd()});
    EXPECT_EQ(s.text.back(), U'λ');
    ms.push_back(std::chrono::duration<double, std::milli>(s.arrivals[before] - t0).count());
  }
  XCloseDisplay(d);
  std::sort(ms.begin(), ms.end());
  double median = ms[ms.size() / 2], p99 = ms[ms.size() * 99 / 100];
  std::printf("key release -> text received: median %.2f ms, p99 %.2f ms (%zu keys)\n", median,
              p99, ms.size());
  RecordProperty("median_ms", std::to_string(median));
  RecordProperty("p99_ms", std::to_string(p99));
}

TEST(ProgramWithoutDisplay, KeepsRunningAndShowsTheMessage) {
  Child agent({kProgram, "x11-agent", "--griego", "--display", ":999"});
  ASSERT_TRUE(agent.running());
  // Still running: it answers.
  EXPECT_EQ(agent.readLine(), "ready");
  agent.say("quit");
}

}  // namespace
}  // namespace kalyxon::xtest
