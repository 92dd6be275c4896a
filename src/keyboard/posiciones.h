// The physical keyboard as the engine knows it: each key of a PC keyboard,
// named by its XKB position name ("AD11" is the key right of P whatever the
// user's layout), with the virtual-key code, the set-1 scan code and the
// extended flag that the Spanish Windows layout gives that position.
//
// Keyboard backends identify keys by position, not by the symbol the active
// layout puts on them, so the dead keys, Ñ, Ç and the punctuation keys land
// where the engine expects them with any layout (a US layout user presses the
// key right of L for Ñ, as on a Spanish keyboard). The X11 backend learns the
// position names of its keycodes from the X server; the IBus engine, which
// sees Linux input codes, names them from the kernel's fixed numbering.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kalyxon {

struct PhysicalKey {
  uint8_t vk = 0;        // Windows virtual-key code (with Num Lock on, for the keypad)
  uint8_t scan = 0;      // set-1 scan code
  bool extended = false; // the E0-prefixed keys: arrows, keypad Enter, right Ctrl/Alt...
  uint8_t vkNoNum = 0;   // keypad keys: the code with Num Lock off (0: same as vk)
};

// The key at XKB position `name` ("AC10", "RTRN", "KPEN"...), or nullopt for a
// position the engine has no code for.
std::optional<PhysicalKey> keyAtPosition(std::string_view name);

}  // namespace kalyxon
