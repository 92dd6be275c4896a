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

#ifdef KALYXON_HAVE_X11
#include <QAbstractEventDispatcher>

#include "app/kalyxon.h"
#include "keyboard/tecladohook.h"
#include "x11/x11keyboard.h"
#endif

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
  bool griego = false;
  for (const auto& a : args) {
    if (a == "--griego") {
      griego = true;
    } else {
      std::cerr << "kalyxon: unknown option '" << a << "' (try kalyxon --help)\n";
      return 2;
    }
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
#ifdef KALYXON_HAVE_X11
  // The system-wide keyboard: declared before the program so it outlives it.
  x11::X11Keyboard teclado;
#endif
  qt::DesktopApp desktop(carpeta);
#ifdef KALYXON_HAVE_X11
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
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                     &desktop, [&teclado] { teclado.dispatchPending(); });
  }
#endif
  app.protector = [&desktop](const std::function<void()>& f) { return desktop.protege(f); };
  desktop.inicia();
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
