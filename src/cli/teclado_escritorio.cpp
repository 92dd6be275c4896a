#ifdef KALYXON_HAVE_QT
#include "cli/teclado_escritorio.h"

#include <QAbstractEventDispatcher>
#include <QObject>
#include <QTimer>
#include <cstdlib>
#include <cstring>

#include "app/kalyxon.h"
#include "dictionary/diccionario.h"
#include "keyboard/tecladohook.h"
#include "qt/desktopapp.h"
#ifdef KALYXON_HAVE_X11
#include "x11/x11keyboard.h"
#endif
#ifdef KALYXON_HAVE_IBUS
#include "ibus/teclado_ibus.h"
#endif

namespace kalyxon::cli {

namespace {

bool hay(const char* variable) {
  const char* v = std::getenv(variable);
  return v && *v;
}

bool sesionWayland() {
  const char* tipo = std::getenv("XDG_SESSION_TYPE");
  if (tipo && *tipo) return std::strcmp(tipo, "wayland") == 0;
  return hay("WAYLAND_DISPLAY");
}

bool escritorio(const char* nombre) {
  const char* e = std::getenv("XDG_CURRENT_DESKTOP");
  return e && std::strstr(e, nombre);
}

// How to add the engine as an input source, for the desktop in use.
[[maybe_unused]] std::u16string comoAnadir() {
  if (escritorio("GNOME"))
    return u"En GNOME: Configuración > Teclado > Fuentes de entrada > «+» > Griego antiguo "
           u"(o «Otro») > «Griego clásico (Kalyxon)». Después se cambia de fuente con "
           u"Súper+Espacio.";
  if (escritorio("KDE"))
    return u"En KDE Plasma: Configuración del sistema > Teclado > Teclado virtual > «IBus "
           u"Wayland»; después, en «ibus-setup» > Método de entrada > Añadir, elija «Griego "
           u"clásico (Kalyxon)».";
  return u"Ejecute «ibus-setup», pestaña «Método de entrada», botón «Añadir», y elija «Griego "
         u"clásico (Kalyxon)».";
}

const char16_t* kSinTeclado =
    u"Kalyxon no puede leer el teclado: no hay servidor X ni sistema de entrada IBus.\n\n"
    u"Instale el paquete «ibus» (sudo apt install ibus), actívelo como sistema de entrada "
    u"(«im-config -n ibus» o la configuración del escritorio) y vuelva a iniciar la sesión. "
    u"En una sesión X11 también sirve arrancar Kalyxon con «--backend x11».";

[[maybe_unused]] const char16_t* kSinIbus =
    u"El sistema de entrada IBus no está en marcha, y Kalyxon lo necesita para escribir en "
    u"las aplicaciones de Wayland.\n\n"
    u"Instale el paquete «ibus» (sudo apt install ibus), actívelo como sistema de entrada "
    u"(«im-config -n ibus» o la configuración del escritorio) y vuelva a iniciar la sesión. "
    u"Mientras tanto, «kalyxon --backend x11» escribe en las ventanas X11.";

}  // namespace

std::optional<Backend> leeBackend(std::string_view nombre) {
  if (nombre == "auto") return Backend::Auto;
  if (nombre == "ibus") return Backend::Ibus;
  if (nombre == "x11") return Backend::X11;
  return std::nullopt;
}

const char* nombreBackend(Backend b) {
  switch (b) {
    case Backend::Ibus: return "ibus";
    case Backend::X11: return "x11";
    default: return "auto";
  }
}

Backend resuelveBackend(Backend pedido) {
  if (pedido != Backend::Auto) return pedido;
  if (sesionWayland()) return Backend::Ibus;
  if (hay("DISPLAY")) return Backend::X11;
  return Backend::Ibus;
}

struct TecladoEscritorio::Impl {
#ifdef KALYXON_HAVE_X11
  std::unique_ptr<x11::X11Keyboard> x11;
#endif
#ifdef KALYXON_HAVE_IBUS
  std::unique_ptr<ibus::TecladoIbus> ibus;
#endif
};

TecladoEscritorio::TecladoEscritorio() : d_(std::make_unique<Impl>()) {}
TecladoEscritorio::~TecladoEscritorio() = default;

void TecladoEscritorio::conecta(qt::DesktopApp& desktop, Backend b) {
  if (b == Backend::X11) {
#ifdef KALYXON_HAVE_X11
    d_->x11 = std::make_unique<x11::X11Keyboard>();
    x11::X11Keyboard& teclado = *d_->x11;
    desktop.conectaTeclado(&teclado, &teclado, &teclado);
    teclado.setProcedure([&desktop](int n, const KeyEvent& e) {
      Verdict v = Verdict::Pass;  // after an error the key goes on unchanged
      desktop.protege([&] { v = desktop.kalyxon().teclado().tecladoProc(n, e); });
      return v;
    });
    if (teclado.fd() >= 0) {
      desktop.anadeFuente(teclado.fd(), [&teclado] { teclado.dispatchPending(); });
      // Events Xlib has already read into its buffer leave the socket quiet:
      // handle them before the loop goes to sleep.
      QObject::connect(QAbstractEventDispatcher::instance(),
                       &QAbstractEventDispatcher::aboutToBlock, &desktop,
                       [&teclado] { teclado.dispatchPending(); });
    }
#endif
    return;
  }
#ifdef KALYXON_HAVE_IBUS
  d_->ibus = std::make_unique<ibus::TecladoIbus>();
  ibus::TecladoIbus& teclado = *d_->ibus;
  desktop.conectaTeclado(&teclado, &teclado, &teclado);
  // Key events arrive from GLib's main context; the windows follow once the
  // burst is over.
  auto* pintar = new QTimer(&desktop);
  pintar->setSingleShot(true);
  pintar->setInterval(0);
  QObject::connect(pintar, &QTimer::timeout, &desktop, [&desktop] { desktop.render(); });
  teclado.setProcedure([&desktop, pintar](int n, const KeyEvent& e) {
    Verdict v = Verdict::Pass;  // after an error the key goes on unchanged
    desktop.protege([&] { v = desktop.kalyxon().teclado().tecladoProc(n, e); });
    pintar->start();
    return v;
  });
  // The caret may have moved (a click, another field): a word break, as a
  // click is for the X11 backend.
  teclado.setWordBreak([&desktop] { desktop.protege([&] { desktop.kalyxon().teclado().clicRaton(); }); });
  // Qt on Linux normally runs GLib's loop, which serves the bus by itself;
  // with any other event dispatcher GLib is polled.
  if (!QAbstractEventDispatcher::instance()->inherits("QEventDispatcherGlib")) {
    auto* bomba = new QTimer(&desktop);
    QObject::connect(bomba, &QTimer::timeout, &desktop, [&teclado] { teclado.dispatchPending(); });
    bomba->start(5);
  }
  if (!teclado.serve()) {
    // A second copy of the program finds the name taken; the single-instance
    // message tells the user about it, so nothing is added here.
    if (teclado.lastError() != ibus::kNoDaemon)
      return;
    if (hay("DISPLAY"))
      aviso_ = kSinIbus;
    else
      aviso_ = kSinTeclado;
    return;
  }
  if (sesionWayland() && ibus::isInputSource() == false)
    aviso_ = u"Kalyxon escribe en esta sesión Wayland como método de entrada de IBus, pero "
             u"todavía no está entre sus fuentes de entrada.\n\n" +
             comoAnadir();
#else
  (void)desktop;
  aviso_ = kSinTeclado;
#endif
}

}  // namespace kalyxon::cli
#endif
