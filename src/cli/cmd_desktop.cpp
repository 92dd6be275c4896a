// kalyxon with no arguments: the desktop program.
#ifdef KALYXON_HAVE_QT
#include <QApplication>

#include "cli/commands.h"
#include "qt/desktopapp.h"

namespace kalyxon::cli {

int runDesktop(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("kalyxon"));
  QApplication::setApplicationVersion(QString::fromStdString(versionText()));
  QApplication::setDesktopFileName(QStringLiteral("kalyxon"));
  qt::DesktopApp desktop(QCoreApplication::applicationDirPath().toStdString());
  // A keyboard backend attaches here: desktop.conectaTeclado(...) and
  // desktop.anadeFuente(...) / desktop.anadeFiltroNativo(...).
  desktop.inicia();
  return app.exec();
}

}  // namespace kalyxon::cli
#endif
