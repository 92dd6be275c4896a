// The keyboard hook's decision procedure and its module state.
#pragma once

#include <cstdint>

namespace kalyxon {

class Kalyxon;

// The event record of one key event, copied whole at every event.
struct KeyEvent {
  uint32_t vkCode = 0;
  uint32_t scanCode = 0;
  uint32_t flags = 0;
  uint32_t time = 0;
  uint32_t dwExtraInfo = 0;
};

// What the backend does with the event: hand it on, swallow it, or let it
// through to the application without the next hook.
enum class Verdict { Pass, Swallow, LetThrough };

class TecladoHook {
 public:
  explicit TecladoHook(Kalyxon& k) : k_(k) {}
  Verdict tecladoProc(int nCode, const KeyEvent& event);

 private:
  [[maybe_unused]] Kalyxon& k_;
};

}  // namespace kalyxon
