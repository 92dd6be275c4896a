#include "codes/codigos.h"

namespace kalyxon {

std::u16string Codigos::daRespuesta(int32_t codigo) {
  (void)k_;
  return std::u16string(1, static_cast<char16_t>(codigo));
}

}  // namespace kalyxon
