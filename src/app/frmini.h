// The start-up notice window: the version, the notice about the keyboard, our
// acknowledgements, and "Aceptar" / "Cancelar".
#pragma once

#include <string>

#include "util/viewmodel.h"

namespace kalyxon {

struct Frmini {
  // Sets the designed state; the notice text and version are filled by the
  // window's load (Aplicacion::frmini_Load).
  Frmini();

  vm::Window ventana;
  vm::TextBox txtini;  // multi-line, read-only
  vm::Label lblver;
  vm::Label lblnom, lblweb;  // the project's identity
  vm::Image imglog, imggri, imglib;
  vm::Control cmdace;
  vm::Control cmdcan;
  bool cargado = false;  // loaded (shown or hidden); false once unloaded
};

// "7.6.0"
std::u16string textoVersion();

// The notice: the keyboard notice followed by the acknowledgements paragraph.
std::u16string textoAviso();

}  // namespace kalyxon
