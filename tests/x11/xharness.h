// A private X desktop for keyboard tests: an Xvfb server on a free display, a
// small window that records the text it receives, and xdotool to type.
#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/prueba.h"

namespace kalyxon::xtest {

// What the program under test types after everything else when asked to
// settle (a private-use character no key makes).
inline constexpr char32_t kMarker = 0xE000;

// An Xvfb server on the first free display, stopped at destruction.
class Xvfb {
 public:
  Xvfb();
  bool running() const { return !display_.empty(); }
  const std::string& display() const { return display_; }  // ":N"
  const std::string& failure() const { return failure_; }

 private:
  prueba::Proceso proceso_;
  std::string display_, failure_;
};

// A focused top-level window that turns the key presses it receives into text,
// as an editor would: characters are appended, BackSpace deletes the last one,
// Return is "\n", and a letter with Ctrl held is recorded as a shortcut ("^c")
// instead of text. Like any application it reads its events on its own
// thread, while the program under test runs.
class Recorder {
 public:
  struct Snapshot {
    std::u32string text;
    std::vector<std::string> shortcuts;
  };

  explicit Recorder(const std::string& display);
  ~Recorder();  // (not copied: it holds a mutex and a thread)

  bool ok() const { return dpy_ != nullptr; }
  // Readable whenever the text has changed since the last snapshot().
  int changedFd() const { return changed_; }
  Snapshot snapshot();
  void clear();
  // Waits for kMarker, takes it out and returns the text. While waiting,
  // `pump` runs whenever `fd` (or the window) has something to read.
  std::string untilMarker(int fd = -1, const std::function<void()>& pump = {});

 private:
  void run();
  void handle(XEvent& ev);

  Display* dpy_ = nullptr;
  Window win_ = 0;
  int changed_ = -1, stop_ = -1;
  std::mutex mutex_;
  Snapshot data_;
  std::thread thread_;
};

// Runs xdotool with `args` on `display` and waits for it to finish.
// Returns its exit status.
int xdotool(const std::string& display, const std::vector<std::string>& args);

std::string utf8(const std::u32string& s);

// Waits until one of the file descriptors (-1 ones are left out) is readable,
// or `ms` milliseconds have passed (-1: no limit). Whether one is.
bool waitReadable(const std::vector<int>& fds, int ms = -1);

}  // namespace kalyxon::xtest
