// The physical keyboard as the engine knows it: each key of a PC keyboard,
// named by its XKB position name ("AD11" is the key right of P whatever the
// user's layout), with the virtual-key code, the set-1 scan code and the
// extended flag that the Spanish Windows layout gives that position.
//
// Keys are identified by position, not by the symbol the active X layout puts
// on them, so the dead keys, Ñ, Ç and the punctuation keys land where the
// engine expects them with any layout (a US layout user presses the key
// right of L for Ñ, as on a Spanish keyboard).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kalyxon::x11 {

struct PhysicalKey {
  uint8_t vk = 0;        // Windows virtual-key code (with Num Lock on, for the keypad)
  uint8_t scan = 0;      // set-1 scan code
  bool extended = false; // the E0-prefixed keys: arrows, keypad Enter, right Ctrl/Alt...
  uint8_t vkNoNum = 0;   // keypad keys: the code with Num Lock off (0: same as vk)
};

// The key at XKB position `name` ("AC10", "RTRN", "KPEN"...), or nullopt for a
// position the engine has no code for.
std::optional<PhysicalKey> keyAtPosition(std::string_view name);

// Virtual-key codes the engine uses that are not plain letters or digits.
namespace vk {
inline constexpr uint8_t Back = 8, Tab = 9, Return = 13, Shift = 16, Control = 17, Menu = 18,
                         Capital = 20, Escape = 27, Space = 32, F1 = 112, F2 = 113, F3 = 114,
                         F4 = 115, NumLock = 144, LShift = 160, RShift = 161, LControl = 162,
                         RControl = 163, LMenu = 164, RMenu = 165, Packet = 231;
}  // namespace vk

// The keys that the engine may swallow at a press, in any mode: letters, the
// digits 4 to 9 it takes (4-6 shifted, 8 and 9 always), space, Enter, the
// punctuation and dead keys of the Spanish layout, the change-form key 220,
// F1 to F4 and Num Lock. Only these are grabbed; every other key reaches the
// application without waiting for the engine.
bool mayBeSwallowed(uint8_t vkCode);

}  // namespace kalyxon::x11
