#include "xharness.h"

#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "support/prueba.h"
#include "util/utf.h"

extern char** environ;

namespace kalyxon::xtest {

Xvfb::Xvfb() {
  int fds[2];
  if (pipe(fds) != 0) {
    failure_ = "pipe failed";
    return;
  }
  // -displayfd: the server picks a free display and writes its number once
  // it accepts connections, so there is nothing to guess or wait for.
  std::string fdArg = std::to_string(fds[1]);
  std::vector<std::string> args = {"Xvfb", "-displayfd", fdArg, "-nolisten", "tcp",
                                   "-screen", "0", "640x480x24"};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  int rc = posix_spawnp(&pid, "Xvfb", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (rc != 0) {
    close(fds[0]);
    failure_ = std::string("cannot run Xvfb: ") + std::strerror(rc);
    return;
  }
  pid_ = pid;
  std::string number;
  char c;
  while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  if (number.empty()) {
    failure_ = "Xvfb did not start";
    return;
  }
  display_ = ":" + number;
}

Xvfb::~Xvfb() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

Recorder::Recorder(const std::string& display) {
  // The window reads the keyboard map as a plain Xlib client does, through
  // the core protocol: every MappingNotify makes it fetch the map again.
  // (Xlib's own XKB tracking misses keycodes that change many times a second.)
  XkbIgnoreExtension(True);
  dpy_ = XOpenDisplay(display.c_str());
  XkbIgnoreExtension(False);
  if (!dpy_) return;
  win_ = XCreateSimpleWindow(dpy_, DefaultRootWindow(dpy_), 0, 0, 300, 100, 0, 0, 0xFFFFFF);
  XSelectInput(dpy_, win_, KeyPressMask | StructureNotifyMask);
  XMapWindow(dpy_, win_);
  // Focus can only go to a viewable window.
  for (;;) {
    XEvent ev;
    XNextEvent(dpy_, &ev);
    if (ev.type == MapNotify) break;
  }
  XSetInputFocus(dpy_, win_, RevertToParent, CurrentTime);
  XSync(dpy_, False);
  changed_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  stop_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  thread_ = std::thread([this] { run(); });
}

Recorder::~Recorder() {
  if (thread_.joinable()) {
    uint64_t one = 1;
    if (write(stop_, &one, sizeof one) < 0) std::abort();
    thread_.join();
  }
  if (changed_ >= 0) close(changed_);
  if (stop_ >= 0) close(stop_);
  if (dpy_) XCloseDisplay(dpy_);
}

Recorder::Snapshot Recorder::snapshot() {
  uint64_t n;
  if (read(changed_, &n, sizeof n) < 0) n = 0;
  std::lock_guard lock(mutex_);
  return data_;
}

void Recorder::clear() {
  std::lock_guard lock(mutex_);
  data_ = {};
}

void Recorder::removeAll(char32_t c) {
  std::lock_guard lock(mutex_);
  for (size_t i = data_.text.size(); i-- > 0;) {
    if (data_.text[i] != c) continue;
    data_.text.erase(i, 1);
    data_.arrivals.erase(data_.arrivals.begin() + static_cast<long>(i));
  }
}

void Recorder::run() {
  for (;;) {
    while (XPending(dpy_)) {
      XEvent ev;
      XNextEvent(dpy_, &ev);
      handle(ev);
    }
    pollfd p[2] = {{ConnectionNumber(dpy_), POLLIN, 0}, {stop_, POLLIN, 0}};
    poll(p, 2, -1);
    if (p[1].revents) return;
  }
}

void Recorder::handle(XEvent& ev) {
  if (ev.type == MappingNotify) {
    XRefreshKeyboardMapping(&ev.xmapping);
    return;
  }
  if (ev.type != KeyPress) return;
  char buf[32];
  KeySym ks = NoSymbol;
  XLookupString(&ev.xkey, buf, sizeof buf, &ks, nullptr);
  char32_t cp = 0;
  if (ks >= 0x1000000 && ks <= 0x110FFFF) cp = static_cast<char32_t>(ks - 0x1000000);
  else if ((ks >= 0x20 && ks <= 0x7E) || (ks >= 0xA0 && ks <= 0xFF)) cp = static_cast<char32_t>(ks);
  else if (ks == XK_Return || ks == XK_KP_Enter) cp = U'\n';
  {
    std::lock_guard lock(mutex_);
    if (ks == XK_BackSpace) {
      if (!data_.text.empty()) {
        data_.text.pop_back();
        data_.arrivals.pop_back();
      }
    } else if (cp == 0) {
      return;
    } else if (ev.xkey.state & ControlMask) {
      data_.shortcuts.push_back("^" + std::string(1, static_cast<char>(cp < 0x80 ? cp : '?')));
    } else {
      data_.text.push_back(cp);
      data_.arrivals.push_back(std::chrono::steady_clock::now());
    }
  }
  uint64_t one = 1;
  if (write(changed_, &one, sizeof one) < 0) std::abort();
}

int xdotool(const std::string& display, const std::vector<std::string>& args) {
  std::vector<std::string> all = {"xdotool"};
  all.insert(all.end(), args.begin(), args.end());
  return prueba::Proceso(all, {.entorno = {"DISPLAY=" + display}}).espera();
}

std::string utf8(const std::u32string& s) {
  std::u16string u;
  for (char32_t c : s) {
    if (c < 0x10000) {
      u += static_cast<char16_t>(c);
    } else {
      u += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      u += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
  }
  return util::toUtf8(u);
}

void waitReadable(const std::vector<int>& fds) {
  std::vector<pollfd> p;
  for (int fd : fds) p.push_back({fd, POLLIN, 0});
  poll(p.data(), p.size(), -1);
}

}  // namespace kalyxon::xtest
