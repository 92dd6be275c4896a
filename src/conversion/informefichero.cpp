#include "conversion/informefichero.h"

#include "util/cp1252.h"
#include "util/utf.h"

namespace kalyxon::conversion {

void InformeFichero::escribe(std::u16string_view linea) {
  if (linea != previa_) {
    previa_ = linea;
    bytes_ = codificacion_ == Codificacion::kUtf8 ? util::toUtf8(linea) : cp1252::encode(linea);
  }
  fichero_.escribe(bytes_);
}

}  // namespace kalyxon::conversion
