#include "win32/win32keyboard.h"

#include <windows.h>

#include <iostream>
#include <vector>

#include "util/sendkeys.h"
#include "util/utf.h"

namespace kalyxon::win32 {

namespace {

using sendkeys::Key;

struct Tecla {
  WORD vk;
  bool extendida;
};

Tecla teclaNombrada(Key k) {
  switch (k) {
    case Key::Enter: return {VK_RETURN, false};
    case Key::Tab: return {VK_TAB, false};
    case Key::Escape: return {VK_ESCAPE, false};
    case Key::Backspace: return {VK_BACK, false};
    case Key::Delete: return {VK_DELETE, true};
    case Key::Insert: return {VK_INSERT, true};
    case Key::Home: return {VK_HOME, true};
    case Key::End: return {VK_END, true};
    case Key::Left: return {VK_LEFT, true};
    case Key::Right: return {VK_RIGHT, true};
    case Key::Up: return {VK_UP, true};
    case Key::Down: return {VK_DOWN, true};
    case Key::PageUp: return {VK_PRIOR, true};
    case Key::PageDown: return {VK_NEXT, true};
    case Key::Break: return {VK_CANCEL, true};
    case Key::CapsLock: return {VK_CAPITAL, false};
    case Key::NumLock: return {VK_NUMLOCK, true};
    case Key::ScrollLock: return {VK_SCROLL, false};
    case Key::PrintScreen: return {VK_SNAPSHOT, true};
    case Key::Clear: return {VK_CLEAR, false};
    case Key::Help: return {VK_HELP, false};
    case Key::Add: return {VK_ADD, false};
    case Key::Subtract: return {VK_SUBTRACT, false};
    case Key::Multiply: return {VK_MULTIPLY, false};
    case Key::Divide: return {VK_DIVIDE, true};
    default:
      if (k >= Key::F1 && k <= Key::F16)
        return {static_cast<WORD>(VK_F1 + (static_cast<int>(k) - static_cast<int>(Key::F1))), false};
      return {0, false};
  }
}

INPUT teclaVirtual(WORD vk, bool arriba, bool extendida) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = (arriba ? KEYEVENTF_KEYUP : 0) | (extendida ? KEYEVENTF_EXTENDEDKEY : 0);
  in.ki.dwExtraInfo = Win32Keyboard::kMarca;
  return in;
}

INPUT unidad(char16_t u, bool arriba) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wScan = u;
  in.ki.dwFlags = KEYEVENTF_UNICODE | (arriba ? KEYEVENTF_KEYUP : 0);
  in.ki.dwExtraInfo = Win32Keyboard::kMarca;
  return in;
}

// The events of one key action, modifiers pressed around it. A character
// with Ctrl or Alt is a shortcut and goes as the key that types it on the
// current layout (Ctrl+F needs the F key, not the letter f); any other
// character goes as itself, in one or two UTF-16 units.
void anade(std::vector<INPUT>& out, const sendkeys::KeyAction& a) {
  std::vector<WORD> mods;
  WORD vk = 0;
  bool extendida = false;
  uint8_t modsTecla = a.mods;
  if (!a.isChar()) {
    const Tecla t = teclaNombrada(a.key);
    vk = t.vk;
    extendida = t.extendida;
  } else if ((a.mods & (sendkeys::kCtrl | sendkeys::kAlt)) && a.ch <= 0xFFFF) {
    const SHORT r = VkKeyScanW(static_cast<WCHAR>(a.ch));
    if (r != -1) {
      vk = LOBYTE(r);
      if (HIBYTE(r) & 1) modsTecla |= sendkeys::kShift;
    }
  }
  if (modsTecla & sendkeys::kShift) mods.push_back(VK_SHIFT);
  if (modsTecla & sendkeys::kCtrl) mods.push_back(VK_CONTROL);
  if (modsTecla & sendkeys::kAlt) mods.push_back(VK_MENU);
  for (WORD m : mods) out.push_back(teclaVirtual(m, false, false));
  if (vk) {
    out.push_back(teclaVirtual(vk, false, extendida));
    out.push_back(teclaVirtual(vk, true, extendida));
  } else if (a.isChar()) {
    const std::u16string s = util::fromCodePoint(a.ch);
    for (char16_t u : s) out.push_back(unidad(u, false));
    for (char16_t u : s) out.push_back(unidad(u, true));
  }
  for (auto m = mods.rbegin(); m != mods.rend(); ++m) out.push_back(teclaVirtual(*m, true, false));
}

}  // namespace

Win32Keyboard* Win32Keyboard::activo_ = nullptr;

Win32Keyboard::Win32Keyboard() { engancha(); }

Win32Keyboard::~Win32Keyboard() {
  if (hook_) UnhookWindowsHookEx(static_cast<HHOOK>(hook_));
  if (activo_ == this) activo_ = nullptr;
}

bool Win32Keyboard::engancha() {
  if (hook_) return true;
  HHOOK h = SetWindowsHookExW(WH_KEYBOARD_LL, reinterpret_cast<HOOKPROC>(&Win32Keyboard::hookProc),
                              GetModuleHandleW(nullptr), 0);
  if (!h) {
    error_ = GetLastError();
    return false;
  }
  error_ = 0;
  hook_ = h;
  return true;
}

bool Win32Keyboard::install() {
  if (!engancha()) return false;
  activo_ = this;
  return true;
}

void Win32Keyboard::remove() {
  if (activo_ == this) activo_ = nullptr;
}

bool Win32Keyboard::shiftDown() { return (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0; }

bool Win32Keyboard::ctrlDown() { return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0; }

int Win32Keyboard::capsLockState() {
  return static_cast<int>(static_cast<unsigned short>(GetKeyState(VK_CAPITAL))) & 0x8001;
}

void Win32Keyboard::send(const std::u16string& keys, bool wait) {
  auto r = sendkeys::tryParse(keys);
  if (!r.error.empty()) {
    std::cerr << "kalyxon: not typed (" << r.error << "): " << util::toUtf8(keys) << "\n";
    return;
  }
  std::vector<INPUT> ins;
  for (const auto& a : r.actions) anade(ins, a);
  if (ins.empty()) return;
  const UINT enviados = SendInput(static_cast<UINT>(ins.size()), ins.data(), sizeof(INPUT));
  if (!installed()) return;
  pendientes_ += static_cast<long>(enviados);
  if (!wait) return;
  // Until the hook has seen them all (it runs from this loop), with a bound
  // in case the system drops some of them.
  const DWORD inicio = GetTickCount();
  MSG msg;
  while (pendientes_ > 0 && GetTickCount() - inicio < 2000) {
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    } else {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
  }
  pendientes_ = 0;
}

intptr_t __stdcall Win32Keyboard::hookProc(int nCode, uintptr_t wParam, intptr_t lParam) {
  if (nCode == HC_ACTION && activo_) return activo_->judge(nCode, wParam, lParam);
  return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

intptr_t Win32Keyboard::judge(int nCode, uintptr_t wParam, intptr_t lParam) {
  const auto* k = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
  if (k->dwExtraInfo == kMarca) {
    if (pendientes_ > 0) --pendientes_;
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
  }
  if (!procedure_) return CallNextHookEx(nullptr, nCode, wParam, lParam);
  KeyEvent e;
  e.vkCode = k->vkCode;
  e.scanCode = k->scanCode;
  e.flags = k->flags & (flag::kExtended | flag::kInjected | flag::kAltDown);
  // Up or down from the message, not from the flags: Wine leaves the
  // release bit out of injected releases.
  if (wParam == WM_KEYUP || wParam == WM_SYSKEYUP) e.flags |= flag::kUp;
  e.time = k->time;
  e.dwExtraInfo = static_cast<uint32_t>(k->dwExtraInfo);
  switch (procedure_(nCode, e)) {
    case Verdict::Swallow:
      return 1;
    case Verdict::LetThrough:
      return 0;
    case Verdict::Pass:
    default:
      return CallNextHookEx(nullptr, nCode, wParam, lParam);
  }
}

}  // namespace kalyxon::win32
