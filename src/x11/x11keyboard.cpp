#include "x11/x11keyboard.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <mutex>
#include <thread>

namespace kalyxon::x11 {
namespace {

// X errors arrive through one process-wide handler. Errors on a backend's
// connection are recorded for it (a grab refused with BadAccess is expected
// when another program holds a key); the rest go to the handler that was there
// before.
std::mutex gErrorMutex;
std::map<Display*, std::vector<int>*> gErrorSinks;
XErrorHandler gPreviousHandler = nullptr;

int onXError(Display* d, XErrorEvent* e) {
  {
    std::lock_guard lock(gErrorMutex);
    auto it = gErrorSinks.find(d);
    if (it != gErrorSinks.end()) {
      it->second->push_back(e->error_code);
      return 0;
    }
  }
  return gPreviousHandler ? gPreviousHandler(d, e) : 0;
}

void registerErrorSink(Display* d, std::vector<int>* sink) {
  std::lock_guard lock(gErrorMutex);
  if (gErrorSinks.empty()) gPreviousHandler = XSetErrorHandler(onXError);
  gErrorSinks[d] = sink;
}

void unregisterErrorSink(Display* d) {
  std::lock_guard lock(gErrorMutex);
  gErrorSinks.erase(d);
  if (gErrorSinks.empty()) {
    XSetErrorHandler(gPreviousHandler);
    gPreviousHandler = nullptr;
  }
}

bool isKeypadWithNumLock(const PhysicalKey& k) { return k.vkNoNum != 0; }

// How long an application gets to read a key typed on a spare keycode before
// that keycode is remapped to another character.
constexpr std::chrono::milliseconds kReuseDelay{100};

}  // namespace

unsigned long keysymForChar(char32_t cp) {
  // Latin-1 keysyms are the code points themselves; everything else uses the
  // Unicode keysym range. Control characters have keys of their own.
  switch (cp) {
    case U'\b': return XK_BackSpace;
    case U'\t': return XK_Tab;
    case U'\r':
    case U'\n': return XK_Return;
    case 0x1B: return XK_Escape;
    default: break;
  }
  if ((cp >= 0x20 && cp <= 0x7E) || (cp >= 0xA0 && cp <= 0xFF)) return cp;
  return 0x1000000 + static_cast<unsigned long>(cp);
}

void X11Keyboard::DisplayCloser::operator()(_XDisplay* d) const { XCloseDisplay(d); }

X11Keyboard::X11Keyboard(const char* displayName) { connect(displayName); }

X11Keyboard::~X11Keyboard() {
  if (dpy_) {
    remove();
    restoreSpareKeycodes();
    XSync(dpy_.get(), False);
    unregisterErrorSink(dpy_.get());
  }
  if (pollFd_ >= 0) close(pollFd_);
  if (wakeFd_ >= 0) close(wakeFd_);
}

void X11Keyboard::connect(const char* displayName) {
  const char* name = displayName ? displayName : std::getenv("DISPLAY");
  if (!name || !*name) {
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    error_ = (wayland && *wayland) ? kWaylandOnly : kNoDisplay;
    return;
  }
  Display* d = XOpenDisplay(name);
  if (!d) {
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    error_ = (wayland && *wayland) ? kWaylandOnly : kNoDisplay;
    return;
  }
  dpy_.reset(d);
  registerErrorSink(d, &xErrors_);
  root_ = DefaultRootWindow(d);

  int event = 0, err = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
  haveXkb_ = XkbQueryExtension(d, nullptr, &event, &err, &major, &minor);
  int xtMajor = 0, xtMinor = 0;
  haveXTest_ = XTestQueryExtension(d, &event, &err, &xtMajor, &xtMinor);
  int opcode = 0;
  if (XQueryExtension(d, "XInputExtension", &opcode, &event, &err)) {
    int xiMajor = 2, xiMinor = 2;
    if (XIQueryVersion(d, &xiMajor, &xiMinor) == Success && (xiMajor > 2 || xiMinor >= 2))
      xiOpcode_ = opcode;
  }
  if (xiOpcode_ < 0) error_ = kNoXInput2;
  else if (!haveXTest_) error_ = kNoXTest;
  else if (!haveXkb_) error_ = kNoXkb;
  if (error_ != kOk) return;

  // Raw key events of every keyboard, always, grabs or not: the key state is
  // tracked from the start, the engine is asked only while installed.
  unsigned char mask[XIMaskLen(XI_LASTEVENT)] = {};
  XISetMask(mask, XI_RawKeyPress);
  XISetMask(mask, XI_RawKeyRelease);
  XIEventMask em{XIAllMasterDevices, sizeof(mask), mask};
  XISelectEvents(d, root_, &em, 1);

  readKeyboardLayout();
  findXTestDevices();
  numLockMask_ = XkbKeysymToModifiers(d, XK_Num_Lock);

  // Spare keycodes: no symbol at any level. The highest are taken first, as
  // the low end of the range is where real keys live.
  int minKc = 0, maxKc = 0;
  XDisplayKeycodes(d, &minKc, &maxKc);
  int perKeycode = 0;
  KeySym* syms = XGetKeyboardMapping(d, minKc, maxKc - minKc + 1, &perKeycode);
  for (int kc = maxKc; kc >= minKc && syms; --kc) {
    bool empty = true;
    for (int i = 0; i < perKeycode; ++i)
      if (syms[(kc - minKc) * perKeycode + i] != NoSymbol) empty = false;
    if (empty && !layout_[kc]) spare_.push_back(kc);
  }
  if (syms) XFree(syms);

  pollFd_ = epoll_create1(EPOLL_CLOEXEC);
  wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  epoll_event ev{};
  ev.events = EPOLLIN;
  ev.data.fd = ConnectionNumber(d);
  epoll_ctl(pollFd_, EPOLL_CTL_ADD, ConnectionNumber(d), &ev);
  ev.data.fd = wakeFd_;
  epoll_ctl(pollFd_, EPOLL_CTL_ADD, wakeFd_, &ev);
  XFlush(d);
}

void X11Keyboard::readKeyboardLayout() {
  Display* d = dpy_.get();
  XkbDescPtr xkb = XkbGetMap(d, 0, XkbUseCoreKbd);
  if (!xkb) return;
  if (XkbGetNames(d, XkbKeyNamesMask, xkb) == Success && xkb->names && xkb->names->keys) {
    for (int kc = xkb->min_key_code; kc <= xkb->max_key_code && kc < 256; ++kc) {
      const char* raw = xkb->names->keys[kc].name;
      std::string name(raw, strnlen(raw, XkbKeyNameLength));
      layout_[kc] = keyAtPosition(name);
    }
  }
  XkbFreeKeyboard(xkb, 0, True);
}

void X11Keyboard::findXTestDevices() {
  int n = 0;
  XIDeviceInfo* info = XIQueryDevice(dpy_.get(), XIAllDevices, &n);
  for (int i = 0; i < n; ++i)
    if (info[i].use == XISlaveKeyboard && std::strstr(info[i].name, "XTEST"))
      xtestDevices_.push_back(info[i].deviceid);
  if (info) XIFreeDeviceInfo(info);
}

// ---- Events ------------------------------------------------------------------

void X11Keyboard::dispatchPending() {
  if (!dpy_) return;
  uint64_t drained = 0;
  if (read(wakeFd_, &drained, sizeof drained) < 0) drained = 0;
  Display* d = dpy_.get();
  ++dispatching_;
  while (XPending(d)) {
    XEvent ev;
    XNextEvent(d, &ev);
    ++handled_;
    if (ev.type == GenericEvent && ev.xcookie.extension == xiOpcode_ &&
        XGetEventData(d, &ev.xcookie)) {
      if (ev.xcookie.evtype == XI_RawKeyPress || ev.xcookie.evtype == XI_RawKeyRelease)
        handleRaw(ev.xcookie.evtype, ev.xcookie.data);
      XFreeEventData(d, &ev.xcookie);
    } else if (ev.type == KeyPress) {
      handleGrabbedPress(ev.xkey.keycode, ev.xkey.time);
    } else if (ev.type == MappingNotify) {
      XRefreshKeyboardMapping(&ev.xmapping);
    }
  }
  --dispatching_;
}

void X11Keyboard::drain() {
  if (!dpy_) return;
  for (;;) {
    XSync(dpy_.get(), False);
    int before = handled_;
    dispatchPending();
    if (handled_ == before) break;
  }
}

void X11Keyboard::wakeIfBuffered() {
  // A round trip outside dispatchPending() may have read events into Xlib's
  // queue, where the socket no longer shows them: make fd() readable.
  if (dpy_ && dispatching_ == 0 && XQLength(dpy_.get()) > 0) {
    uint64_t one = 1;
    if (write(wakeFd_, &one, sizeof one) < 0) return;
  }
}

bool X11Keyboard::isInjectedByUs(unsigned keycode, bool press, int sourceId) {
  if (std::find(xtestDevices_.begin(), xtestDevices_.end(), sourceId) == xtestDevices_.end())
    return false;
  // Our events come back in the order they were faked; other XTest clients
  // (test drivers, on-screen keyboards) may interleave theirs.
  auto it = std::find(ownEvents_.begin(), ownEvents_.end(), std::pair{keycode, press});
  if (it == ownEvents_.end()) return false;
  ownEvents_.erase(ownEvents_.begin(), it + 1);
  return true;
}

KeyEvent X11Keyboard::makeEvent(unsigned keycode, bool release, bool injected,
                                unsigned long time) {
  KeyEvent e;
  e.time = static_cast<uint32_t>(time);
  auto spare = codePointOfSpare_.find(keycode);
  if (spare != codePointOfSpare_.end()) {
    // Text typed by us: the code of a Unicode character packet.
    e.vkCode = vk::Packet;
    e.scanCode = static_cast<uint32_t>(spare->second);
  } else if (const auto& k = layout_[keycode]) {
    e.vkCode = k->vk;
    if (isKeypadWithNumLock(*k) && !(lockedModifiers() & numLockMask_)) e.vkCode = k->vkNoNum;
    e.scanCode = k->scan;
    if (k->extended) e.flags |= 1;
  }
  if (injected) e.flags |= 16;
  bool altDown = false;
  for (unsigned kc = 0; kc < 256; ++kc)
    if (down_[kc] && layout_[kc] && (layout_[kc]->vk == vk::LMenu || layout_[kc]->vk == vk::RMenu))
      altDown = true;
  if (!release && (e.vkCode == vk::LMenu || e.vkCode == vk::RMenu)) altDown = true;
  if (release && (e.vkCode == vk::LMenu || e.vkCode == vk::RMenu)) altDown = false;
  if (altDown) e.flags |= 32;
  if (release) e.flags |= 128;
  return e;
}

Verdict X11Keyboard::judge(const KeyEvent& e) {
  if (!installed_ || !procedure_) return Verdict::Pass;
  return procedure_(0, e);
}

void X11Keyboard::handleRaw(int evtype, const void* data) {
  const auto* raw = static_cast<const XIRawEvent*>(data);
  unsigned kc = static_cast<unsigned>(raw->detail) & 0xFF;
  bool press = evtype == XI_RawKeyPress;
  bool injected = isInjectedByUs(kc, press, raw->sourceid);
  KeyEvent e = makeEvent(kc, !press, injected, raw->time);
  if (press) {
    judging_[kc] = true;
    grabbedWaiting_[kc] = false;
  }
  Verdict v = judge(e);
  // The engine reads the key state as it was before this event, like the
  // asynchronous key state inside a low-level hook.
  down_[kc] = press;
  if (!press) {
    verdict_[kc].reset();
    return;
  }
  judging_[kc] = false;
  if (grabbedWaiting_[kc]) {
    grabbedWaiting_[kc] = false;
    carryOut(kc, v);
  } else if (grabbed_[kc]) {
    verdict_[kc] = v;
  }
}

void X11Keyboard::handleGrabbedPress(unsigned keycode, unsigned long time) {
  keycode &= 0xFF;
  if (verdict_[keycode]) {
    Verdict v = *verdict_[keycode];
    verdict_[keycode].reset();
    carryOut(keycode, v);
  } else if (judging_[keycode]) {
    // The engine is still busy with this press (a message box is open).
    grabbedWaiting_[keycode] = true;
  } else {
    // Auto-repeat: the server repeats the press without a raw event.
    carryOut(keycode, judge(makeEvent(keycode, false, false, time)));
  }
}

void X11Keyboard::carryOut(unsigned keycode, Verdict verdict) {
  Display* d = dpy_.get();
  if (verdict == Verdict::Swallow) {
    XUngrabKeyboard(d, CurrentTime);
    if (layout_[keycode] && layout_[keycode]->vk == vk::NumLock && numLockMask_)
      XkbLockModifiers(d, XkbUseCoreKbd, numLockMask_, numLockWasOn_ ? numLockMask_ : 0);
  } else {
    XAllowEvents(d, ReplayKeyboard, CurrentTime);
  }
  XFlush(d);
}

// ---- Hook ----------------------------------------------------------------------

bool X11Keyboard::install() {
  if (!dpy_ || error_ != kOk) return false;
  if (installed_) return true;
  numLockWasOn_ = (lockedModifiers() & numLockMask_) != 0;
  grabAll();
  installed_ = true;
  wakeIfBuffered();
  return true;
}

void X11Keyboard::remove() {
  if (!dpy_ || !installed_) return;
  ungrabAll();
  installed_ = false;
  // A press frozen by a grab and not yet judged must not stay frozen.
  XAllowEvents(dpy_.get(), AsyncKeyboard, CurrentTime);
  XFlush(dpy_.get());
  std::fill(verdict_.begin(), verdict_.end(), std::nullopt);
}

void X11Keyboard::grabAll() {
  Display* d = dpy_.get();
  conflicts_.clear();
  std::vector<unsigned> combos;
  for (unsigned m = 0; m < 8; ++m) {
    unsigned mods = 0;
    if (m & 1) mods |= ShiftMask;
    if (m & 2) mods |= LockMask;
    if (m & 4) {
      if (!numLockMask_) continue;
      mods |= numLockMask_;
    }
    combos.push_back(mods);
  }
  XSync(d, False);
  for (unsigned kc = 0; kc < 256; ++kc) {
    if (!layout_[kc] || !mayBeSwallowed(layout_[kc]->vk)) continue;
    xErrors_.clear();
    for (unsigned mods : combos)
      XGrabKey(d, static_cast<int>(kc), mods, root_, False, GrabModeAsync, GrabModeSync);
    XSync(d, False);
    if (std::find(xErrors_.begin(), xErrors_.end(), BadAccess) != xErrors_.end()) {
      // Another client owns (part of) this key: leave it to that client.
      for (unsigned mods : combos) XUngrabKey(d, static_cast<int>(kc), mods, root_);
      conflicts_.push_back("keycode " + std::to_string(kc));
      continue;
    }
    grabbed_[kc] = true;
  }
  xErrors_.clear();
  XSync(d, False);
  for (const auto& c : conflicts_)
    std::cerr << "kalyxon: " << c << " is grabbed by another program; it is not intercepted\n";
}

void X11Keyboard::ungrabAll() {
  Display* d = dpy_.get();
  for (unsigned kc = 0; kc < 256; ++kc) {
    if (!grabbed_[kc]) continue;
    XUngrabKey(d, static_cast<int>(kc), AnyModifier, root_);
    grabbed_[kc] = false;
  }
}

std::u16string X11Keyboard::errorText() const {
  switch (error_) {
    case kOk: return {};
    case kNoDisplay:
    case kWaylandOnly:
      return u"Este programa requiere una sesión gráfica X11 o Wayland con Xwayland.\r\n"
             u"No funciona sin servidor X (variable DISPLAY vacía o servidor inaccesible).";
    default:
      return u"Este programa requiere un servidor X con las extensiones XInput 2.2, XTEST y "
             u"XKEYBOARD.\r\n"
             u"No funciona con servidores X antiguos ni con escritorios remotos que no las "
             u"ofrecen.";
  }
}

// ---- Key state -------------------------------------------------------------------

unsigned X11Keyboard::lockedModifiers() {
  if (!dpy_ || !haveXkb_) return 0;
  XkbStateRec state{};
  if (XkbGetState(dpy_.get(), XkbUseCoreKbd, &state) != Success) return 0;
  wakeIfBuffered();
  return state.locked_mods;
}

bool X11Keyboard::shiftDown() {
  for (unsigned kc = 0; kc < 256; ++kc)
    if (down_[kc] && layout_[kc] && (layout_[kc]->vk == vk::LShift || layout_[kc]->vk == vk::RShift))
      return true;
  return false;
}

bool X11Keyboard::ctrlDown() {
  for (unsigned kc = 0; kc < 256; ++kc)
    if (down_[kc] && layout_[kc] &&
        (layout_[kc]->vk == vk::LControl || layout_[kc]->vk == vk::RControl))
      return true;
  return false;
}

int X11Keyboard::capsLockState() {
  int state = (lockedModifiers() & LockMask) ? 1 : 0;
  for (unsigned kc = 0; kc < 256; ++kc)
    if (down_[kc] && layout_[kc] && layout_[kc]->vk == vk::Capital) state |= 0x8000;
  return state;
}

// ---- Sending -----------------------------------------------------------------------

unsigned X11Keyboard::spareKeycodeFor(unsigned long keysym) {
  Display* d = dpy_.get();
  // Reuse a keycode that still carries this keysym.
  for (auto it = lru_.begin(); it != lru_.end(); ++it) {
    if (spareSym_[*it] == keysym && XkbKeycodeToKeysym(d, *it, 0, 0) == keysym) {
      lru_.splice(lru_.end(), lru_, it);
      return lru_.back();
    }
  }
  unsigned kc = 0;
  if (lru_.size() < spare_.size()) {
    kc = spare_[lru_.size()];
    lru_.push_back(kc);
  } else if (!lru_.empty()) {
    kc = lru_.front();
    lru_.splice(lru_.end(), lru_, lru_.begin());
    // The application may not have read the last key typed on this keycode;
    // once remapped, that key would turn into the new character.
    auto last = lastTyped_.find(kc);
    if (last != lastTyped_.end()) {
      auto ready = last->second + kReuseDelay;
      if (std::chrono::steady_clock::now() < ready) {
        XSync(d, False);
        std::this_thread::sleep_until(ready);
      }
    }
  } else {
    return 0;
  }
  KeySym syms[2] = {keysym, keysym};
  XChangeKeyboardMapping(d, static_cast<int>(kc), 2, syms, 1);
  spareSym_[kc] = keysym;
  // Our own keycode map must follow at once, or the next lookup misses it.
  XSync(d, False);
  XMappingEvent me{};
  me.type = MappingNotify;
  me.display = d;
  me.request = MappingKeyboard;
  me.first_keycode = static_cast<int>(kc);
  me.count = 1;
  XRefreshKeyboardMapping(&me);
  return kc;
}

unsigned X11Keyboard::keycodeForKeysym(unsigned long keysym, bool character) {
  if (!character) {
    KeyCode kc = XKeysymToKeycode(dpy_.get(), keysym);
    if (kc != 0 && !grabbed_[kc] && XkbKeycodeToKeysym(dpy_.get(), kc, 0, 0) == keysym) return kc;
  }
  return spareKeycodeFor(keysym);
}

void X11Keyboard::fake(unsigned keycode, bool press) {
  XTestFakeKeyEvent(dpy_.get(), keycode, press ? True : False, CurrentTime);
  if (spareSym_.count(keycode)) lastTyped_[keycode] = std::chrono::steady_clock::now();
  ownEvents_.emplace_back(keycode, press);
  // Bound the record: events lost by the server must not pin it forever.
  if (ownEvents_.size() > 4096) ownEvents_.pop_front();
}

void X11Keyboard::sendActions(const std::vector<KeyAction>& actions, bool wait) {
  if (!dpy_ || !haveXTest_ || actions.empty()) return;
  Display* d = dpy_.get();
  unsigned locked = lockedModifiers();
  if (locked & LockMask) XkbLockModifiers(d, XkbUseCoreKbd, LockMask, 0);
  for (const KeyAction& a : actions) {
    unsigned kc = keycodeForKeysym(a.keysym, a.character);
    if (kc == 0) continue;
    if (a.character) {
      unsigned long ks = a.keysym;
      codePointOfSpare_[kc] = static_cast<int>(ks >= 0x1000000 ? ks - 0x1000000 : ks);
    } else {
      codePointOfSpare_.erase(kc);
    }
    if (a.kind != KeyAction::Release) fake(kc, true);
    if (a.kind != KeyAction::Press) fake(kc, false);
  }
  if (locked & LockMask) XkbLockModifiers(d, XkbUseCoreKbd, LockMask, LockMask);
  if (wait) {
    XSync(d, False);
    wakeIfBuffered();
  } else {
    XFlush(d);
  }
}

void X11Keyboard::send(const std::u16string& keys, bool wait) {
  // Until the notation parser is wired in, every code unit is typed as text.
  std::vector<KeyAction> actions;
  for (char16_t c : keys) actions.push_back({KeyAction::Tap, keysymForChar(c), true});
  sendActions(actions, wait);
}

void X11Keyboard::restoreSpareKeycodes() {
  Display* d = dpy_.get();
  for (unsigned kc : lru_) {
    KeySym none[2] = {NoSymbol, NoSymbol};
    XChangeKeyboardMapping(d, static_cast<int>(kc), 2, none, 1);
  }
  lru_.clear();
  spareSym_.clear();
}

}  // namespace kalyxon::x11
