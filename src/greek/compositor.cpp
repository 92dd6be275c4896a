#include "greek/compositor.h"

namespace kalyxon {

std::u16string Compositor::daGriego(int32_t, int) { return {}; }
std::u16string Compositor::daFonetica(int32_t, int) { return {}; }
std::u16string Compositor::hazOtra(std::u16string&) { return {}; }

}  // namespace kalyxon
