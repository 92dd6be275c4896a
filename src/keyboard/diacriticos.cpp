#include "keyboard/diacriticos.h"

namespace kalyxon {

void Diacriticos::ponDiacritico(int32_t, bool) {}

}  // namespace kalyxon
