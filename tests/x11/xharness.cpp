#include "xharness.h"

#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdlib>

#include "util/utf.h"

namespace kalyxon::xtest {

// -displayfd: the server picks a free display and writes its number once it
// accepts connections, so there is nothing to guess or wait for.
Xvfb::Xvfb()
    : proceso_({"Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "640x480x24"},
               {.conSalida = true, .errores = "/dev/null"}) {
  const std::string number = proceso_.vivo() ? proceso_.leeLinea() : "";
  if (!proceso_.vivo()) failure_ = "cannot run Xvfb";
  else if (number.empty()) failure_ = "Xvfb did not start";
  else display_ = ":" + number;
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

std::string Recorder::untilMarker(int fd, const std::function<void()>& pump) {
  for (;;) {
    if (pump) pump();
    if (snapshot().text.find(kMarker) != std::u32string::npos) break;
    waitReadable({changed_, fd});
  }
  std::lock_guard lock(mutex_);
  std::erase(data_.text, kMarker);
  return utf8(data_.text);
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
      if (!data_.text.empty()) data_.text.pop_back();
    } else if (cp == 0) {
      return;
    } else if (ev.xkey.state & ControlMask) {
      data_.shortcuts.push_back("^" + std::string(1, static_cast<char>(cp < 0x80 ? cp : '?')));
    } else {
      data_.text.push_back(cp);
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
  for (char32_t c : s) u += util::fromCodePoint(c);
  return util::toUtf8(u);
}

bool waitReadable(const std::vector<int>& fds, int ms) {
  std::vector<pollfd> p;
  for (int fd : fds)
    if (fd >= 0) p.push_back({fd, POLLIN, 0});
  return poll(p.data(), p.size(), ms) > 0;
}

}  // namespace kalyxon::xtest
