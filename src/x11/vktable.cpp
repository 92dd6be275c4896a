#include "x11/vktable.h"

namespace kalyxon::x11 {

bool mayBeSwallowed(uint8_t code) {
  if (code >= 'A' && code <= 'Z') return true;
  if (code >= '4' && code <= '6') return true;  // taken while shifted
  switch (code) {
    case '8': case '9': case vk::Space: case vk::Return:
    case 186: case 188: case 190: case 191: case 192: case 219: case 221: case 222:
    case 220:
    case vk::F1: case vk::F2: case vk::F3: case vk::F4:
    case vk::NumLock:
      return true;
    default:
      return false;
  }
}

}  // namespace kalyxon::x11
