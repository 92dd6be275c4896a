// The desktop program in one object: the Qt services, the engine, the
// windows, and the event loop's hooks. Everything the desktop needs to start
// is set up here, so a keyboard backend has one place to attach to: it hands
// in its key state, keystroke sender and hook, registers its native event
// source (a file descriptor the loop watches, or a native event filter), and
// calls render() after it has let the engine change the window's state.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWindow>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>

#include "platform/platform.h"
#include "qt/modelos.h"
#include "qt/services.h"

class QAbstractNativeEventFilter;
class QSocketNotifier;
class QTimer;

namespace kalyxon {
class Kalyxon;
}

namespace kalyxon::qt {

class Bandeja;
class Imagenes;
class Sesion;
class VentanaPrincipal;
class VentanaAyuda;
class VentanaAcerca;
class VentanaAviso;
class VentanaConversion;

class DesktopApp : public QObject {
  Q_OBJECT
 public:
  // A QApplication must exist. `carpeta` is the program folder (settings,
  // dictionaries, alphabet database, error report).
  explicit DesktopApp(std::filesystem::path carpeta);
  ~DesktopApp() override;

  Kalyxon& kalyxon() { return *k_; }
  VentanaPrincipal& principal() { return *principal_; }
  VentanaAviso& aviso() { return *aviso_; }
  VentanaAcerca& acerca() { return *acerca_; }
  VentanaConversion& conversion() { return *conversion_; }
  VentanaAyuda& ayuda();
  Bandeja& bandeja() { return *bandeja_; }
  Sesion& sesion() { return *sesion_; }

  // The keyboard backend's services; null leaves the stand-in in place.
  void conectaTeclado(platform::KeyState* teclas, platform::KeySender* envio,
                      platform::KeyboardHook* hook);
  // Calls `alLeer` on the UI thread whenever `fd` has data to read.
  QSocketNotifier* anadeFuente(int fd, std::function<void()> alLeer);
  void anadeFiltroNativo(QAbstractNativeEventFilter* filtro);

  // Hands a main-window or notice event to the engine, then re-renders
  // every window.
  void evento(std::string_view nombre, const std::u16string& texto = {});
  // The same for the conversion window's events.
  void eventoConversion(std::string_view nombre);
  // Brings every window in line with its model.
  void render();
  // Runs a handler inside the engine's error boundary (see qt/limite.h).
  bool protege(const std::function<void()>& manejador);
  // Shows the start-up notice; the event loop is the caller's (app.exec()).
  void inicia();

  QStringList carpetasDeDatos() const { return carpetas_; }

 private:
  QWidget* ventanaActiva() const;

  QStringList carpetas_;
  // Services first: the engine is built with pointers to them.
  QtMessageBox mensajes_;
  QtInputBox entradas_;
  QtFileDialog archivos_;
  QtMessagePump bomba_;
  QtClipboard portapapeles_;
  QtHelp ayudaSv_;
  QtUrlOpener urls_;
  QtFontList fuentes_;
  QtPointer puntero_;
  QtKeyState teclas_;
  NoKeySender envio_;
  NoKeyboardHook hook_;
  QtProgress progreso_;
  std::unique_ptr<Kalyxon> k_;
  std::unique_ptr<Imagenes> imagenes_;
  std::unique_ptr<VentanaPrincipal> principal_;
  std::unique_ptr<VentanaAviso> aviso_;
  std::unique_ptr<VentanaAcerca> acerca_;
  std::unique_ptr<VentanaConversion> conversion_;
  std::unique_ptr<VentanaAyuda> ayuda_;
  std::unique_ptr<Bandeja> bandeja_;
  std::unique_ptr<Sesion> sesion_;
  QTimer* pulso_ = nullptr;
  QPointer<QWindow> ultimaActiva_;
};

}  // namespace kalyxon::qt
