#include "greek/numerus.h"

namespace kalyxon {

std::u16string Numerus::hazNumero(int32_t&, bool&) { return {}; }

}  // namespace kalyxon
