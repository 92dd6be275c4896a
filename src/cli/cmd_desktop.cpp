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
#include "qt/desktopapp.h"
#include "qt/limite.h"

#include "app/aplicacion.h"
#include "app/kalyxon.h"
#include "cli/teclado_escritorio.h"
#include "util/utf.h"

namespace kalyxon::cli {

int runDesktop(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::optional<std::filesystem::path> explicita;
  try {
    explicita = extraeCarpetaAjustes(args);
  } catch (const std::exception& e) {
    std::cerr << "kalyxon: " << e.what() << "\n";
    return 2;
  }
  // --griego starts typing Greek at once: the notice is accepted and "Griego"
  // ticked, as a user would do by hand (the end-to-end keyboard tests and
  // users who start the program from a shortcut want that).
  // --backend chooses who reads the keys (kept in the settings); --ibus is
  // how the IBus daemon starts the program when the engine is selected: the
  // user wants Greek at once.
  bool griego = false;
  std::optional<Backend> backend;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--griego") {
      griego = true;
    } else if (a == "--ibus") {
      griego = true;
      backend = Backend::Ibus;
    } else if (a == "--backend" && i + 1 < args.size() && leeBackend(args[i + 1])) {
      backend = leeBackend(args[++i]);
    } else if (a == "--backend") {
      std::cerr << "kalyxon: --backend needs ibus, x11 or auto\n";
      return 2;
    } else {
      std::cerr << "kalyxon: unknown option '" << a << "' (try kalyxon --help)\n";
      return 2;
    }
  }
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
    carpeta = carpetaPrograma(explicita);
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, QStringLiteral("Kalyxon"),
                          QStringLiteral("No se puede preparar la carpeta del programa:\n%1")
                              .arg(QString::fromLocal8Bit(e.what())));
    return 1;
  }
  // The keyboard backend: declared before the program so it outlives it.
  TecladoEscritorio teclado;
  qt::DesktopApp desktop(carpeta);
  {
    Aplicacion& a = desktop.kalyxon().aplicacion();
    if (backend && !std::count(args.begin(), args.end(), "--ibus"))
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
  if (griego) {
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
