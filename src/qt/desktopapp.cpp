#include "qt/desktopapp.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCoreApplication>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTimer>

#include "app/aplicacion.h"
#include "app/kalyxon.h"
#include "conversion/frmtra.h"
#include "dictionary/diccionario.h"
#include "keyboard/tecladohook.h"
#include "qt/bandeja.h"
#include "qt/controles.h"
#include "app/eventos.h"
#include "qt/sesion.h"
#include "qt/imagenes.h"
#include "qt/mapateclado.h"
#include "qt/modelos.h"
#include "qt/ventanaacerca.h"
#include "qt/ventanaayuda.h"
#include "qt/ventanaaviso.h"
#include "qt/ventanaconversion.h"
#include "qt/ventanaprincipal.h"
#include "app/menus.h"
#include <QGuiApplication>

namespace kalyxon::qt {


DesktopApp::DesktopApp(std::filesystem::path carpeta)
    : carpetas_(qt::carpetasDeDatos(QString::fromStdString(carpeta.string()))),
      mensajes_([this] { return ventanaActiva(); }),
      entradas_([this] { return ventanaActiva(); }),
      archivos_([this] { return ventanaActiva(); }),
      bomba_([this] { render(); }) {
  platform::Services sv{&mensajes_, &entradas_, &archivos_, &bomba_, &portapapeles_,
                        &ayudaSv_,  &urls_,     &fuentes_,  &puntero_, &teclas_,
                        &envio_,    &hook_,     &progreso_};
  k_ = std::make_unique<Kalyxon>(sv, std::move(carpeta));
  imagenes_ = std::make_unique<Imagenes>(carpetas_);
  const QIcon icono = imagenes_->icono(QStringLiteral("kalyxon.png"), QStringLiteral("\u1F04"));
  QApplication::setWindowIcon(icono);

  auto evento = [this](std::string_view n, const std::u16string& t) { this->evento(n, t); };
  principal_ = std::make_unique<VentanaPrincipal>(*k_, *imagenes_, evento);
  aviso_ = std::make_unique<VentanaAviso>(k_->aplicacion().frmini, *imagenes_,
                                          [this](std::string_view n) { this->evento(n); });
  acerca_ = std::make_unique<VentanaAcerca>(k_->aplicacion().frmace, *imagenes_,
                                            [this](std::string_view n) { this->evento(n); });
  k_->aplicacion().acercaDeEnVentana = true;
  conversion_ = std::make_unique<VentanaConversion>(
      modeloConversion(k_->frmtra()),
      [this](std::string_view n, const std::u16string&) { eventoConversion(n); });

  // When the engine says the program is over, every window goes and the
  // event loop ends.
  k_->aplicacion().alTerminar = [this] {
    render();
    aviso_->hide();
    acerca_->hide();
    conversion_->hide();
    principal_->hide();
    if (ayuda_) ayuda_->close();
    QCoreApplication::quit();
  };
  // The main window is activated when it becomes the active window again
  // after one of the program's other windows, the notice or the conversion
  // window. Coming back from another application, from a message or input box
  // or from the help window is not an activation: each activation reloads
  // the settings file, and a choice just confirmed in a box (a target
  // program, a font) must not be undone by the reload.
  connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* w) {
    const bool desdeOtraVentana =
        ultimaActiva_ && (ultimaActiva_ == aviso_->windowHandle() ||
                          ultimaActiva_ == conversion_->windowHandle());
    if (w && principal_->windowHandle() == w && desdeOtraVentana)
      this->evento("Form_Activate");
    ultimaActiva_ = w;
  });

  bandeja_ = std::make_unique<Bandeja>(
      *k_, *imagenes_, [this](std::string_view n) { this->evento(n); },
      [this] {
        principal_->show();
        principal_->raise();
        principal_->activateWindow();
      });
  sesion_ = std::make_unique<Sesion>(
      [this] { this->evento("Form_Close"); },
      [this](bool latina) { k_->teclado().ventanaLatina(latina); },
      [this](QWidget* w) { return w == conversion_->uniText(); });

  ayudaSv_.onTopic = [this](int tema) { ayuda().muestraTema(tema); };
  progreso_.place([this]() -> std::pair<QProgressBar*, QPushButton*> {
    if (conversion_->isActiveWindow()) return {conversion_->progreso(), conversion_->detener()};
    return {principal_->progreso(), principal_->detener()};
  });

  // Model changes that come from outside a window event (the keyboard
  // backend, a long operation between its pump calls) show within a blink.
  pulso_ = new QTimer(this);
  pulso_->setInterval(100);
  connect(pulso_, &QTimer::timeout, this, [this] { render(); });
  pulso_->start();
}

DesktopApp::~DesktopApp() {
  sesion_.reset();
  bandeja_.reset();
  ayuda_.reset();
  conversion_.reset();
  acerca_.reset();
  aviso_.reset();
  principal_.reset();
  k_.reset();
}

VentanaAyuda& DesktopApp::ayuda() {
  if (!ayuda_)
    ayuda_ = std::make_unique<VentanaAyuda>(
        carpetas_, [this](int vk, bool may) { return consultaMotor(*k_, vk, may); });
  return *ayuda_;
}

void DesktopApp::conectaTeclado(platform::KeyState* teclas, platform::KeySender* envio,
                                platform::KeyboardHook* hook) {
  if (teclas) k_->sv.keys = teclas;
  if (envio) k_->sv.sender = envio;
  if (hook) k_->sv.hook = hook;
}

QSocketNotifier* DesktopApp::anadeFuente(int fd, std::function<void()> alLeer) {
  auto* n = new QSocketNotifier(fd, QSocketNotifier::Read, this);
  connect(n, &QSocketNotifier::activated, this, [this, alLeer = std::move(alLeer)] {
    protege(alLeer);
    render();
  });
  return n;
}

void DesktopApp::anadeFiltroNativo(QAbstractNativeEventFilter* filtro) {
  QCoreApplication::instance()->installNativeEventFilter(filtro);
}

QWidget* DesktopApp::ventanaActiva() const {
  if (QWidget* w = QApplication::activeWindow()) return w;
  if (principal_ && principal_->isVisible()) return principal_.get();
  return nullptr;
}

bool DesktopApp::protege(const std::function<void()>& manejador) {
  return k_->aplicacion().protege(manejador);
}

void DesktopApp::evento(std::string_view nombre, const std::u16string& texto) {
  protege([&] { eventoEscritorio(*k_, nombre, texto); });
  render();
}

void DesktopApp::eventoConversion(std::string_view nombre) {
  protege([&] { kalyxon::eventoConversion(*k_, nombre); });
  render();
}

void DesktopApp::render() {
  if (bandeja_) bandeja_->render();
  principal_->render();
  aviso_->render();
  acerca_->render();
  conversion_->render();
}

void DesktopApp::inicia() { evento("frmini_Load"); }

}  // namespace kalyxon::qt
