#include "keyboard/posiciones.h"

#include <algorithm>
#include <array>

namespace kalyxon {
namespace {

struct Entry {
  std::string_view name;
  PhysicalKey key;
};

constexpr PhysicalKey k(uint8_t vk, uint8_t scan, bool ext = false, uint8_t vkNoNum = 0) {
  return PhysicalKey{vk, scan, ext, vkNoNum};
}

// Virtual-key codes of the Spanish (Spain) layout by key position.
constexpr std::array kKeys{
    // Function row
    Entry{"ESC", k(27, 0x01)},
    Entry{"FK01", k(112, 0x3B)}, Entry{"FK02", k(113, 0x3C)}, Entry{"FK03", k(114, 0x3D)},
    Entry{"FK04", k(115, 0x3E)}, Entry{"FK05", k(116, 0x3F)}, Entry{"FK06", k(117, 0x40)},
    Entry{"FK07", k(118, 0x41)}, Entry{"FK08", k(119, 0x42)}, Entry{"FK09", k(120, 0x43)},
    Entry{"FK10", k(121, 0x44)}, Entry{"FK11", k(122, 0x57)}, Entry{"FK12", k(123, 0x58)},
    Entry{"PRSC", k(44, 0x37, true)}, Entry{"SCLK", k(145, 0x46)}, Entry{"PAUS", k(19, 0x45)},
    // Digit row: º ª left of 1; ' ? and ¡ ¿ right of 0
    Entry{"TLDE", k(220, 0x29)},
    Entry{"AE01", k('1', 0x02)}, Entry{"AE02", k('2', 0x03)}, Entry{"AE03", k('3', 0x04)},
    Entry{"AE04", k('4', 0x05)}, Entry{"AE05", k('5', 0x06)}, Entry{"AE06", k('6', 0x07)},
    Entry{"AE07", k('7', 0x08)}, Entry{"AE08", k('8', 0x09)}, Entry{"AE09", k('9', 0x0A)},
    Entry{"AE10", k('0', 0x0B)}, Entry{"AE11", k(219, 0x0C)}, Entry{"AE12", k(221, 0x0D)},
    Entry{"BKSP", k(8, 0x0E)},
    // Top letter row: ` ^ and + * right of P
    Entry{"TAB", k(9, 0x0F)},
    Entry{"AD01", k('Q', 0x10)}, Entry{"AD02", k('W', 0x11)}, Entry{"AD03", k('E', 0x12)},
    Entry{"AD04", k('R', 0x13)}, Entry{"AD05", k('T', 0x14)}, Entry{"AD06", k('Y', 0x15)},
    Entry{"AD07", k('U', 0x16)}, Entry{"AD08", k('I', 0x17)}, Entry{"AD09", k('O', 0x18)},
    Entry{"AD10", k('P', 0x19)}, Entry{"AD11", k(186, 0x1A)}, Entry{"AD12", k(187, 0x1B)},
    Entry{"RTRN", k(13, 0x1C)},
    // Home row: Ñ, then ´ ¨, then Ç
    Entry{"CAPS", k(20, 0x3A)},
    Entry{"AC01", k('A', 0x1E)}, Entry{"AC02", k('S', 0x1F)}, Entry{"AC03", k('D', 0x20)},
    Entry{"AC04", k('F', 0x21)}, Entry{"AC05", k('G', 0x22)}, Entry{"AC06", k('H', 0x23)},
    Entry{"AC07", k('J', 0x24)}, Entry{"AC08", k('K', 0x25)}, Entry{"AC09", k('L', 0x26)},
    Entry{"AC10", k(192, 0x27)}, Entry{"AC11", k(222, 0x28)}, Entry{"BKSL", k(191, 0x2B)},
    Entry{"AC12", k(191, 0x2B)},
    // Bottom row: < > left of Z; , . - after M
    Entry{"LFSH", k(160, 0x2A)}, Entry{"LSGT", k(226, 0x56)},
    Entry{"AB01", k('Z', 0x2C)}, Entry{"AB02", k('X', 0x2D)}, Entry{"AB03", k('C', 0x2E)},
    Entry{"AB04", k('V', 0x2F)}, Entry{"AB05", k('B', 0x30)}, Entry{"AB06", k('N', 0x31)},
    Entry{"AB07", k('M', 0x32)}, Entry{"AB08", k(188, 0x33)}, Entry{"AB09", k(190, 0x34)},
    Entry{"AB10", k(189, 0x35)}, Entry{"RTSH", k(161, 0x36)},
    // Space row
    Entry{"LCTL", k(162, 0x1D)}, Entry{"LWIN", k(91, 0x5B, true)}, Entry{"LALT", k(164, 0x38)},
    Entry{"SPCE", k(32, 0x39)}, Entry{"RALT", k(165, 0x38, true)},
    Entry{"RWIN", k(92, 0x5C, true)}, Entry{"COMP", k(93, 0x5D, true)},
    Entry{"MENU", k(93, 0x5D, true)}, Entry{"RCTL", k(163, 0x1D, true)},
    // Editing block and arrows
    Entry{"INS", k(45, 0x52, true)}, Entry{"HOME", k(36, 0x47, true)},
    Entry{"PGUP", k(33, 0x49, true)}, Entry{"DELE", k(46, 0x53, true)},
    Entry{"END", k(35, 0x4F, true)}, Entry{"PGDN", k(34, 0x51, true)},
    Entry{"UP", k(38, 0x48, true)}, Entry{"LEFT", k(37, 0x4B, true)},
    Entry{"DOWN", k(40, 0x50, true)}, Entry{"RGHT", k(39, 0x4D, true)},
    // Numeric keypad: digit keys change code with Num Lock
    Entry{"NMLK", k(144, 0x45, true)}, Entry{"KPDV", k(111, 0x35, true)},
    Entry{"KPMU", k(106, 0x37)}, Entry{"KPSU", k(109, 0x4A)}, Entry{"KPAD", k(107, 0x4E)},
    Entry{"KPEN", k(13, 0x1C, true)},
    Entry{"KP7", k(103, 0x47, false, 36)}, Entry{"KP8", k(104, 0x48, false, 38)},
    Entry{"KP9", k(105, 0x49, false, 33)}, Entry{"KP4", k(100, 0x4B, false, 37)},
    Entry{"KP5", k(101, 0x4C, false, 12)}, Entry{"KP6", k(102, 0x4D, false, 39)},
    Entry{"KP1", k(97, 0x4F, false, 35)}, Entry{"KP2", k(98, 0x50, false, 40)},
    Entry{"KP3", k(99, 0x51, false, 34)}, Entry{"KP0", k(96, 0x52, false, 45)},
    Entry{"KPDL", k(110, 0x53, false, 46)},
};

}  // namespace

std::optional<PhysicalKey> keyAtPosition(std::string_view name) {
  auto it = std::find_if(kKeys.begin(), kKeys.end(), [&](const Entry& e) { return e.name == name; });
  if (it == kKeys.end()) return std::nullopt;
  return it->key;
}

}  // namespace kalyxon
