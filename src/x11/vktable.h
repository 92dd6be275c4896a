// The X11 backend's view of the physical keyboard: the position table is the
// engine's (keyboard/posiciones.h); the keys worth grabbing are chosen here.
#pragma once

#include <cstdint>

#include "keyboard/posiciones.h"

namespace kalyxon::x11 {

using kalyxon::PhysicalKey;
using kalyxon::keyAtPosition;

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
