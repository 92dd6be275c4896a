// Character codes: the text sent for one code point (the character itself, or
// its HTML / Java escape in code mode), and decoding of such escapes.
#pragma once

#include <cstdint>
#include <string>

namespace kalyxon {

class Kalyxon;

class Codigos {
 public:
  explicit Codigos(Kalyxon& k) : k_(k) {}
  // The text to send for one code point.
  std::u16string daRespuesta(int32_t codigo);

 private:
  Kalyxon& k_;
};

}  // namespace kalyxon
