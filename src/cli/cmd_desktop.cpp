// kalyxon with no arguments (or only desktop options such as
// --settings-dir DIR): the desktop program.
#ifdef KALYXON_HAVE_QT
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <iostream>
#include <stdexcept>

#include "app/carpeta.h"
#include "cli/commands.h"
#include "cli/escritorio.h"
#include "qt/desktopapp.h"
#include "qt/limite.h"

#include "app/aplicacion.h"
#include "app/kalyxon.h"
#include "cli/teclado_escritorio.h"
#include "util/utf.h"

namespace kalyxon::cli {

int runDesktop(int argc, char** argv) {
  // --backend chooses who reads the keys (kept in the settings); --ibus is
  // how the IBus daemon starts the program when the engine is selected: the
  // user wants Greek at once.
  std::optional<Backend> backend;
  bool desdeIbus = false;
  const auto opciones = leeOpcionesEscritorio(
      argc, argv, [&](const std::vector<std::string>& args, size_t& i, OpcionesEscritorio& o) {
        const std::string& a = args[i];
        if (a == "--ibus") {
          o.griego = true;
          desdeIbus = true;
          backend = Backend::Ibus;
        } else if (a == "--backend" && i + 1 < args.size() && leeBackend(args[i + 1])) {
          backend = leeBackend(args[++i]);
        } else if (a == "--backend") {
          std::cerr << "kalyxon: --backend needs ibus, x11 or auto\n";
          return Opcion::Erronea;
        } else {
          return Opcion::Desconocida;
        }
        return Opcion::Tomada;
      });
  if (!opciones) return 2;
  // The program's own windows may type through IBus into the engine this same
  // thread serves: Qt must not wait for the answer synchronously.
  qputenv("IBUS_ENABLE_SYNC_MODE", "0");
  // A Wayland session without an X server: Qt's Wayland platform, rather
  // than Qt's X11 default aborting with an English message. Typing into
  // other programs then needs the IBus input source, which the program says
  // when Greek is ticked.
  const bool sinX = qEnvironmentVariableIsEmpty("DISPLAY");
  if (sinX && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "wayland");
  if (sinX && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    std::cerr << "kalyxon: no hay sesión gráfica (ni DISPLAY ni WAYLAND_DISPLAY): el programa de "
                 "escritorio necesita una; las órdenes de kalyxon --help funcionan sin ella\n";
    return 1;
  }
  qt::AplicacionQt app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("kalyxon"));
  QApplication::setApplicationVersion(QString::fromStdString(versionText()));
  QApplication::setDesktopFileName(QStringLiteral("kalyxon"));
  std::filesystem::path carpeta;
  try {
    carpeta = carpetaPrograma(opciones->carpeta);
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, QStringLiteral("Kalyxon"), QString::fromStdU16String(mensajeCarpeta(e)));
    return 1;
  }
  // The keyboard backend: declared before the program so it outlives it.
  TecladoEscritorio teclado;
  qt::DesktopApp desktop(carpeta);
  {
    Aplicacion& a = desktop.kalyxon().aplicacion();
    if (backend && !desdeIbus)
      a.escribeIni(u"teclado", util::fromUtf8(nombreBackend(*backend)));
    if (!backend) backend = leeBackend(util::toUtf8(a.leeIni(u"teclado")));
    teclado.conecta(desktop, resuelveBackend(backend.value_or(Backend::Auto)));
  }
  app.protector = [&desktop](const std::function<void()>& f) { return desktop.protege(f); };
  desktop.inicia();
  if (!teclado.aviso().empty()) {
    const QString aviso = QString::fromStdU16String(teclado.aviso());
    QTimer::singleShot(0, &desktop, [aviso] {
      QMessageBox::information(nullptr, QStringLiteral("Kalyxon"), aviso);
    });
  }
  if (opciones->griego) {
    desktop.evento("frmini_cmdace_Click");
    QTimer::singleShot(0, &desktop, [&desktop] {
      desktop.kalyxon().form1.chkgri.setValue(1);
      desktop.render();
    });
  }
  int rc = app.exec();
  app.protector = nullptr;  // the program object goes before the application
  return rc;
}

}  // namespace kalyxon::cli
#endif
