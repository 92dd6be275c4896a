#include "dictionary/diccionario.h"

namespace kalyxon {

void Diccionario::cadenaGriego(int32_t, bool) {}
void Diccionario::revisaGriego(const std::u16string&) {}

}  // namespace kalyxon
