#include "x11/x11keyboard.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
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
#include <iterator>
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
  // Clicks too: a click moves the caret, which ends the word being typed.
  XISetMask(mask, XI_RawButtonPress);
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
  if (spare_.empty())
    std::cerr << "kalyxon: the keyboard map has no free keycode; text cannot be typed\n";

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
      else if (ev.xcookie.evtype == XI_RawButtonPress)
        handleRawButton(ev.xcookie.data);
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

X11Keyboard::Origin X11Keyboard::originOf(unsigned keycode, bool press, int sourceId) {
  if (std::find(xtestDevices_.begin(), xtestDevices_.end(), sourceId) == xtestDevices_.end())
    return Origin::Outside;
  // Our events come back in the order they were faked; other XTest clients
  // (test drivers, on-screen keyboards) may interleave theirs.
  auto it = std::find_if(ownEvents_.begin(), ownEvents_.end(), [&](const OwnEvent& o) {
    return o.keycode == keycode && o.press == press;
  });
  if (it == ownEvents_.end()) return Origin::Outside;
  bool hidden = it->hidden;
  ownEvents_.erase(ownEvents_.begin(), it + 1);
  return hidden ? Origin::UsHidden : Origin::Us;
}

KeyEvent X11Keyboard::makeEvent(unsigned keycode, bool release, bool injected,
                                unsigned long time) {
  KeyEvent e;
  e.time = static_cast<uint32_t>(time);
  auto spare = spareUse_.find(keycode);
  if (spare != spareUse_.end()) {
    // Typed by us: text comes as a Unicode character packet, a named key
    // with its own code.
    e.vkCode = spare->second.vk;
    e.scanCode = spare->second.scan;
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

// A mouse button press reaches the engine as the press of the Windows
// virtual key of that button (1 left, 4 middle, 2 right, 5 and 6 the side
// buttons); the wheel (buttons 4 to 7) moves no caret and is left out.
void X11Keyboard::handleRawButton(const void* data) {
  const auto* raw = static_cast<const XIRawEvent*>(data);
  static constexpr uint32_t kVk[] = {0, 1, 4, 2, 0, 0, 0, 0, 5, 6};
  const auto boton = static_cast<size_t>(raw->detail);
  if (boton >= std::size(kVk) || kVk[boton] == 0 || clickOnOwnWindow()) return;
  judge(KeyEvent{kVk[boton], 0, 0, static_cast<uint32_t>(raw->time), 0});
}

// A click on a window of this process (the main window's mark buttons) is
// part of typing, not a move of the caret: the focused application keeps it.
// The top-level under the pointer, or its client inside a window manager's
// frame, names its process in _NET_WM_PID.
bool X11Keyboard::clickOnOwnWindow() {
  Display* d = dpy_.get();
  Window raiz = 0, hijo = 0;
  int rx, ry, wx, wy;
  unsigned botones;
  if (!XQueryPointer(d, root_, &raiz, &hijo, &rx, &ry, &wx, &wy, &botones) || hijo == 0)
    return false;
  const Atom pid = XInternAtom(d, "_NET_WM_PID", True);
  if (pid == None) return false;
  auto esNuestra = [&](Window w) {
    Atom tipo;
    int formato;
    unsigned long n = 0, resto = 0;
    unsigned char* datos = nullptr;
    bool nuestra = false;
    if (XGetWindowProperty(d, w, pid, 0, 1, False, XA_CARDINAL, &tipo, &formato, &n, &resto,
                           &datos) == Success &&
        datos && n == 1 && formato == 32)
      nuestra = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(datos)) == getpid();
    if (datos) XFree(datos);
    return nuestra;
  };
  if (esNuestra(hijo)) return true;
  Window r = 0, padre = 0, *hijos = nullptr;
  unsigned nHijos = 0;
  bool nuestra = false;
  if (XQueryTree(d, hijo, &r, &padre, &hijos, &nHijos)) {
    for (unsigned i = 0; i < nHijos && !nuestra; ++i) nuestra = esNuestra(hijos[i]);
    if (hijos) XFree(hijos);
  }
  return nuestra;
}

void X11Keyboard::handleRaw(int evtype, const void* data) {
  const auto* raw = static_cast<const XIRawEvent*>(data);
  unsigned kc = static_cast<unsigned>(raw->detail) & 0xFF;
  bool press = evtype == XI_RawKeyPress;
  Origin origin = originOf(kc, press, raw->sourceid);
  if (origin == Origin::UsHidden) return;
  // A key we may swallow but do not hold the grab of went to whoever does
  // hold it (another copy, a hot-key tool) or straight to the application;
  // composing it too would type it twice.
  const bool notOurs = origin == Origin::Outside && installed_ && layout_[kc] &&
                       mayBeSwallowed(layout_[kc]->vk) && !grabbed_[kc];
  if ((press && notOurs) || (!press && unjudged_[kc])) {
    unjudged_[kc] = press;
    down_[kc] = press;
    return;
  }
  KeyEvent e = makeEvent(kc, !press, origin == Origin::Us, raw->time);
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
  if (!dpy_ || (error_ != kOk && error_ != kOtherCopy)) return false;
  if (installed_) return true;
  if (!takeInterception()) {
    error_ = kOtherCopy;
    std::cerr << "kalyxon: another copy of the program intercepts the keyboard on this "
                 "display; this one does not\n";
    return false;
  }
  error_ = kOk;
  numLockWasOn_ = (lockedModifiers() & numLockMask_) != 0;
  grabAll();
  installed_ = true;
  wakeIfBuffered();
  return true;
}

void X11Keyboard::remove() {
  if (!dpy_ || !installed_) return;
  ungrabAll();
  releaseInterception();
  installed_ = false;
  // A press frozen by a grab and not yet judged must not stay frozen.
  XAllowEvents(dpy_.get(), AsyncKeyboard, CurrentTime);
  XFlush(dpy_.get());
  std::fill(verdict_.begin(), verdict_.end(), std::nullopt);
}

namespace {
constexpr const char* kInterceptionSelection = "KALYXON_INTERCEPTION";
}

bool X11Keyboard::takeInterception() {
  Display* d = dpy_.get();
  if (!lockWindow_)
    lockWindow_ = XCreateWindow(d, root_, -1, -1, 1, 1, 0, CopyFromParent, InputOnly,
                                CopyFromParent, 0, nullptr);
  Atom sel = XInternAtom(d, kInterceptionSelection, False);
  // Look and take in one step, or two copies starting together could both
  // find the selection free.
  XGrabServer(d);
  Window owner = XGetSelectionOwner(d, sel);
  bool free = owner == None || owner == lockWindow_;
  if (free) XSetSelectionOwner(d, sel, lockWindow_, CurrentTime);
  XUngrabServer(d);
  XSync(d, False);
  return free && XGetSelectionOwner(d, sel) == lockWindow_;
}

void X11Keyboard::releaseInterception() {
  Display* d = dpy_.get();
  Atom sel = XInternAtom(d, kInterceptionSelection, False);
  if (lockWindow_ && XGetSelectionOwner(d, sel) == lockWindow_) {
    XSetSelectionOwner(d, sel, None, CurrentTime);
    // Done once this returns: another copy asking right after finds it free.
    XSync(d, False);
  }
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

std::u16string X11Keyboard::errorText() {
  switch (error_) {
    case kOk: return {};
    case kOtherCopy:
      return u"Otra copia de Kalyxon ya escribe en griego en esta pantalla.\r\n"
             u"Desmarca «Griego» en esa copia o ciérrala, y vuelve a marcarlo aquí.";
    case kWaylandOnly:
      return u"En una sesión Wayland sin servidor X, escribir en griego en todas las aplicaciones "
             u"necesita la fuente de entrada IBus de Kalyxon.\r\n"
             u"Añádela en la configuración de teclado del escritorio (fuentes de entrada) y elígela "
             u"allí; esta ventana sigue sirviendo para convertir textos y consultar el diccionario.";
    case kNoDisplay:
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

unsigned X11Keyboard::spareKeycodeFor(const SpareUse& use) {
  Display* d = dpy_.get();
  // Reuse a keycode that still carries these keysyms (a keyboard map change
  // by another program may have taken them away).
  for (auto it = lru_.begin(); it != lru_.end(); ++it) {
    const SpareUse& held = spareUse_[*it];
    if (held.lower == use.lower && held.upper == use.upper &&
        XkbKeycodeToKeysym(d, static_cast<KeyCode>(*it), 0, 0) == use.lower) {
      spareUse_[*it] = use;
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
  KeySym syms[2] = {use.lower, use.upper};
  XChangeKeyboardMapping(d, static_cast<int>(kc), 2, syms, 1);
  spareUse_[kc] = use;
  // Our own copy of the keyboard map must follow at once: the next lookup
  // above reads it.
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

void X11Keyboard::fake(unsigned keycode, bool press, bool hidden) {
  XTestFakeKeyEvent(dpy_.get(), keycode, press ? True : False, CurrentTime);
  if (spareUse_.count(keycode)) lastTyped_[keycode] = std::chrono::steady_clock::now();
  ownEvents_.push_back({keycode, press, hidden});
  // Bound the record: events lost by the server must not pin it forever.
  if (ownEvents_.size() > 4096) ownEvents_.pop_front();
}

namespace {

struct NamedKey {
  sendkeys::Key key;
  KeySym keysym;
  uint8_t vk;
};

constexpr NamedKey kNamedKeys[] = {
    {sendkeys::Key::Enter, XK_Return, 13},       {sendkeys::Key::Tab, XK_Tab, 9},
    {sendkeys::Key::Escape, XK_Escape, 27},      {sendkeys::Key::Backspace, XK_BackSpace, 8},
    {sendkeys::Key::Delete, XK_Delete, 46},      {sendkeys::Key::Insert, XK_Insert, 45},
    {sendkeys::Key::Home, XK_Home, 36},          {sendkeys::Key::End, XK_End, 35},
    {sendkeys::Key::Left, XK_Left, 37},          {sendkeys::Key::Right, XK_Right, 39},
    {sendkeys::Key::Up, XK_Up, 38},              {sendkeys::Key::Down, XK_Down, 40},
    {sendkeys::Key::PageUp, XK_Prior, 33},       {sendkeys::Key::PageDown, XK_Next, 34},
    {sendkeys::Key::Break, XK_Break, 3},         {sendkeys::Key::CapsLock, XK_Caps_Lock, 20},
    {sendkeys::Key::NumLock, XK_Num_Lock, 144},  {sendkeys::Key::ScrollLock, XK_Scroll_Lock, 145},
    {sendkeys::Key::PrintScreen, XK_Print, 44},  {sendkeys::Key::Clear, XK_Clear, 12},
    {sendkeys::Key::Help, XK_Help, 47},          {sendkeys::Key::Add, XK_KP_Add, 107},
    {sendkeys::Key::Subtract, XK_KP_Subtract, 109},
    {sendkeys::Key::Multiply, XK_KP_Multiply, 106},
    {sendkeys::Key::Divide, XK_KP_Divide, 111},
};

}  // namespace

unsigned X11Keyboard::keycodeFor(const sendkeys::KeyAction& a) {
  Display* d = dpy_.get();
  KeySym ks = NoSymbol;
  uint8_t vkCode = 0;
  if (a.isChar()) {
    ks = keysymForChar(a.ch);
    if (ks < 0x100 || ks >= 0x1000000) {
      // Text: always on a spare keycode, with its capital on the shifted
      // level for "+a".
      SpareUse use{ks, ks, vk::Packet, static_cast<uint32_t>(a.ch)};
      if (a.mods & sendkeys::kShift) XConvertCase(ks, &use.lower, &use.upper);
      return spareKeycodeFor(use);
    }
    vkCode = ks == XK_Return ? 13 : ks == XK_Tab ? 9 : ks == XK_BackSpace ? 8 : 27;
  } else if (a.key >= sendkeys::Key::F1 && a.key <= sendkeys::Key::F16) {
    int n = static_cast<int>(a.key) - static_cast<int>(sendkeys::Key::F1);
    ks = XK_F1 + static_cast<KeySym>(n);
    vkCode = static_cast<uint8_t>(vk::F1 + n);
  } else {
    for (const auto& nk : kNamedKeys)
      if (nk.key == a.key) ks = nk.keysym, vkCode = nk.vk;
  }
  if (ks == NoSymbol) return 0;
  // A key on its own keycode, unless the hook has grabbed that keycode: what
  // we type must reach the application, not come back to us.
  KeyCode kc = XKeysymToKeycode(d, ks);
  if (kc != 0 && !grabbed_[kc] && XkbKeycodeToKeysym(d, kc, 0, 0) == ks) return kc;
  return spareKeycodeFor(SpareUse{ks, ks, vkCode, 0});
}

void X11Keyboard::send(const std::u16string& keys, bool wait) {
  if (!dpy_ || !haveXTest_ || keys.empty()) return;
  sendkeys::ParseResult parsed = sendkeys::tryParse(keys);
  if (!parsed.ok()) {
    // Malformed text (a user's font-switch macro) is typed not at all rather
    // than in part.
    std::cerr << "kalyxon: keystrokes not sent: " << parsed.error << "\n";
    return;
  }
  Display* d = dpy_.get();
  // Caps Lock would change the case of what we type; it is switched off
  // for the send and back on after it, by key taps that travel in order with
  // the keys typed.
  KeyCode capsKey = 0;
  if (lockedModifiers() & LockMask) capsKey = XKeysymToKeycode(d, XK_Caps_Lock);
  auto tapCaps = [&] {
    if (capsKey == 0) return;
    fake(capsKey, true, true);
    fake(capsKey, false, true);
  };
  tapCaps();
  struct Modifier {
    uint8_t bit;
    KeySym keysym;
  };
  static constexpr Modifier kModifiers[] = {
      {sendkeys::kShift, XK_Shift_L}, {sendkeys::kCtrl, XK_Control_L}, {sendkeys::kAlt, XK_Alt_L}};
  for (const sendkeys::KeyAction& a : parsed.actions) {
    unsigned kc = keycodeFor(a);
    if (kc == 0) continue;
    std::vector<unsigned> held;
    for (const auto& m : kModifiers) {
      if (!(a.mods & m.bit)) continue;
      KeyCode mk = XKeysymToKeycode(d, m.keysym);
      if (mk == 0) continue;
      fake(mk, true);
      held.push_back(mk);
    }
    fake(kc, true);
    fake(kc, false);
    for (auto it = held.rbegin(); it != held.rend(); ++it) fake(*it, false);
  }
  tapCaps();
  if (wait) {
    XSync(d, False);
    wakeIfBuffered();
  } else {
    XFlush(d);
  }
}

void X11Keyboard::restoreSpareKeycodes() {
  Display* d = dpy_.get();
  for (unsigned kc : lru_) {
    KeySym none[2] = {NoSymbol, NoSymbol};
    XChangeKeyboardMapping(d, static_cast<int>(kc), 2, none, 1);
  }
  lru_.clear();
  spareUse_.clear();
}

}  // namespace kalyxon::x11
