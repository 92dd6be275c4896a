// kalyxon with no arguments (or only desktop options such as
// --settings-dir DIR): the desktop program.
#ifdef KALYXON_HAVE_QT
#include <QApplication>
#include <QMessageBox>
#include <iostream>
#include <stdexcept>

#include "app/carpeta.h"
#include "cli/commands.h"
#include "qt/desktopapp.h"

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
  QApplication app(argc, argv);
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
  qt::DesktopApp desktop(carpeta);
  // A keyboard backend attaches here: desktop.conectaTeclado(...) and
  // desktop.anadeFuente(...) / desktop.anadeFiltroNativo(...).
  desktop.inicia();
  return app.exec();
}

}  // namespace kalyxon::cli
#endif
