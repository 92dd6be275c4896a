#include "app/ayuda.h"

namespace kalyxon {

const char* paginaAyuda(int tema) {
  switch (tema) {
    case 1: return "general.html";
    case 5: return "conversion.html";
    case 8: return "teclado.html";
    case 9: return "especiales.html";
    case 10: return "mapa.html";
    default: return "index.html";
  }
}

}  // namespace kalyxon
