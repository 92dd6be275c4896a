#include "app/kalyxon.h"

#include "app/aplicacion.h"
#include "codes/codigos.h"
#include "conversion/frmtra.h"
#include "dictionary/diccionario.h"
#include "greek/alfabeto.h"
#include "greek/compositor.h"
#include "greek/numerus.h"
#include "keyboard/diacriticos.h"
#include "keyboard/tecladohook.h"

namespace kalyxon {

Kalyxon::Kalyxon(platform::Services services, std::filesystem::path programDir)
    : sv(services), carpeta(std::move(programDir)) {
  codigos_ = std::make_unique<Codigos>(*this);
  alfabeto_ = std::make_unique<Alfabeto>(*this);
  compositor_ = std::make_unique<Compositor>(*this);
  numerus_ = std::make_unique<Numerus>(*this);
  diacriticos_ = std::make_unique<Diacriticos>(*this);
  teclado_ = std::make_unique<TecladoHook>(*this);
  diccionario_ = std::make_unique<Diccionario>(*this);
  frmtra_ = std::make_unique<Frmtra>(*this);
  aplicacion_ = std::make_unique<Aplicacion>(*this);
}

Kalyxon::~Kalyxon() = default;

}  // namespace kalyxon
