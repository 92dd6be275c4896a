#include "qt/desktopapp.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCoreApplication>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTimer>

#include "app/kalyxon.h"
#include "qt/enlace.h"
#include "qt/imagenes.h"
#include "qt/mapateclado.h"
#include "qt/modelos.h"
#include "qt/ventanaayuda.h"
#include "qt/ventanaaviso.h"
#include "qt/ventanaconversion.h"
#include "qt/ventanaprincipal.h"

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
  aviso_ = std::make_unique<VentanaAviso>(modeloAviso(*k_, reservaAviso_), icono,
                                          [this](std::string_view n) { this->evento(n); });
  conversion_ = std::make_unique<VentanaConversion>(
      modeloConversion(*k_, reservaConversion_), evento);

  ayudaSv_.onTopic = [this](int tema) { ayuda().muestraTema(tema); };
  progreso_.place([this]() -> std::pair<QProgressBar*, QPushButton*> {
    if (conversion_->isActiveWindow()) return {conversion_->progreso(), conversion_->detener()};
    return {principal_->progreso(), principal_->detener()};
  });
  for (QPushButton* b : {principal_->detener(), conversion_->detener()})
    connect(b, &QPushButton::clicked, this, [this] { progreso_.stop(); });

  // Model changes that come from outside a window event (the keyboard
  // backend, a long operation between its pump calls) show within a blink.
  pulso_ = new QTimer(this);
  pulso_->setInterval(100);
  connect(pulso_, &QTimer::timeout, this, [this] { render(); });
  pulso_->start();
}

DesktopApp::~DesktopApp() {
  ayuda_.reset();
  conversion_.reset();
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
    alLeer();
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

void DesktopApp::evento(std::string_view nombre, const std::u16string& texto) {
  if (!nombre.empty() && !reenvia(*k_, nombre, texto)) {
    // What the windows do themselves when the engine has nothing to say.
    if (nombre == "F1") {
      k_->sv.help->showTopic(1);
    } else if (nombre == "UniText1_F1") {
      k_->sv.help->showTopic(5);
    } else if (nombre == "frmini.cmdace_Click") {
      aviso_->hide();
      k_->form1.ventana.visible = true;
    } else if (nombre == "frmini.cmdcan_Click") {
      aviso_->hide();
      QCoreApplication::quit();
    }
  }
  if (nombre == "Form_Unload") {
    // The other windows go with the main one, and so does the process.
    aviso_->hide();
    conversion_->hide();
    if (ayuda_) ayuda_->hide();
  }
  render();
}

void DesktopApp::render() {
  principal_->render();
  aviso_->render();
  conversion_->render();
}

void DesktopApp::inicia() {
  evento("frmini_Load");
  aviso_->show();
  render();
}

}  // namespace kalyxon::qt
