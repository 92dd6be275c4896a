// The program object: owns the main window's state, the platform services and
// one instance of every subsystem, and lets each subsystem reach the others.
// Every window event, menu item and key event enters the engine through one of
// the subsystem objects held here.
#pragma once

#include <filesystem>
#include <memory>

#include "app/form1.h"
#include "platform/platform.h"

namespace kalyxon {

class Codigos;
class Alfabeto;
class Compositor;
class Numerus;
class Diacriticos;
class TecladoHook;
class Diccionario;
class Frmtra;
class Aplicacion;

class Kalyxon {
 public:
  // `programDir` is the folder that holds ALPHA.db, the dictionaries, the
  // settings file and the error report.
  Kalyxon(platform::Services services, std::filesystem::path programDir);
  ~Kalyxon();
  Kalyxon(const Kalyxon&) = delete;
  Kalyxon& operator=(const Kalyxon&) = delete;

  platform::Services sv;
  std::filesystem::path carpeta;
  Form1 form1;

  Codigos& codigos() { return *codigos_; }
  Alfabeto& alfabeto() { return *alfabeto_; }
  Compositor& compositor() { return *compositor_; }
  Numerus& numerus() { return *numerus_; }
  Diacriticos& diacriticos() { return *diacriticos_; }
  TecladoHook& teclado() { return *teclado_; }
  Diccionario& diccionario() { return *diccionario_; }
  Frmtra& frmtra() { return *frmtra_; }
  Aplicacion& aplicacion() { return *aplicacion_; }

 private:
  std::unique_ptr<Codigos> codigos_;
  std::unique_ptr<Alfabeto> alfabeto_;
  std::unique_ptr<Compositor> compositor_;
  std::unique_ptr<Numerus> numerus_;
  std::unique_ptr<Diacriticos> diacriticos_;
  std::unique_ptr<TecladoHook> teclado_;
  std::unique_ptr<Diccionario> diccionario_;
  std::unique_ptr<Frmtra> frmtra_;
  std::unique_ptr<Aplicacion> aplicacion_;
};

}  // namespace kalyxon
