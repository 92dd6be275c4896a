// The Windows desktop program: the Win32 services, the engine, and native
// windows that render the engine's window models (the main window, the
// start-up notice, the conversion window, the About window) and hand every
// click, menu choice and window event to the engine by its handler's name.
// Menus come from the engine's menu trees; events go through the engine's own
// dispatch (app/eventos.h), as the Qt front end's do, and the conversion
// window's model view is the Qt front end's (qt/modelos.h, free of Qt).
// Nothing is decided here.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "win32/ui/servicios.h"
#include "win32/ui/soltar.h"

namespace kalyxon {
class Kalyxon;
}

namespace kalyxon::win32ui {

class Escritorio {
 public:
  // `carpeta` is the program folder; `carpetasDatos` where help and pictures
  // are looked for, in order (the program folder, the executable's folder).
  Escritorio(std::filesystem::path carpeta, std::vector<std::filesystem::path> carpetasDatos);
  ~Escritorio();
  Escritorio(const Escritorio&) = delete;
  Escritorio& operator=(const Escritorio&) = delete;

  Kalyxon& kalyxon() { return *k_; }

  // The keyboard layer's services; null leaves the stand-in in place.
  void conectaTeclado(platform::KeyState* teclas, platform::KeySender* envio,
                      platform::KeyboardHook* hook);

  // A main-window or notice event to the engine, then every window re-rendered.
  void evento(std::string_view nombre, const std::u16string& texto = {});
  void eventoConversion(std::string_view nombre);
  void render();
  // Shows the start-up notice.
  void inicia();
  // The message loop, until the engine ends the program; the exit status.
  int ejecuta();

  // Window handles (HWND) by window name: "Form1", "frmini", "frmtra", "frmace".
  void* ventana(std::string_view nombre) const;

  // An icon file (HICON) of the data folders at `lado` pixels, or null; the
  // caller destroys it.
  void* icono(const std::string& archivo, int lado) const;

  struct Ventana;  // one native window and its controls

 private:
  friend struct Ventana;
  void* ventanaActiva() const;

  std::vector<std::filesystem::path> carpetasDatos_;
  CajaMensaje mensajes_;
  CajaEntrada entradas_;
  DialogoArchivo archivos_;
  Bomba bomba_;
  Portapapeles portapapeles_;
  Ayuda ayuda_;
  Navegador navegador_;
  Fuentes fuentes_;
  Puntero puntero_;
  EstadoTeclas teclas_;
  SinEnvio envio_;
  SinHook hook_;
  Progreso progreso_;
  // OLE (drag and drop) on this thread for the program's life.
  struct Ole {
    Ole();
    ~Ole();
    Ole(const Ole&) = delete;
    Ole& operator=(const Ole&) = delete;
    bool iniciado;
  } ole_;
  std::unique_ptr<Kalyxon> k_;
  std::unique_ptr<Ventana> principal_, aviso_, conversion_, acerca_;
  std::unique_ptr<Soltar> soltar_;  // drops on the main window
  bool renderizando_ = false;
};

}  // namespace kalyxon::win32ui
