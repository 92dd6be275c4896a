// Pending diacritics: dead keys, the seven mark buttons and their indicators.
#pragma once

#include <cstdint>

namespace kalyxon {

class Kalyxon;

class Diacriticos {
 public:
  explicit Diacriticos(Kalyxon& k) : k_(k) {}
  void ponDiacritico(int32_t tecla, bool esmayuscula);

 private:
  [[maybe_unused]] Kalyxon& k_;
};

}  // namespace kalyxon
