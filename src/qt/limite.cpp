#include "qt/limite.h"

#include <QMessageBox>
#include <exception>

namespace kalyxon::qt {

bool AplicacionQt::notify(QObject* receptor, QEvent* evento) {
  bool hecho = false;
  if (protector) {
    protector([&] { hecho = QApplication::notify(receptor, evento); });
    return hecho;
  }
  try {
    return QApplication::notify(receptor, evento);
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, QStringLiteral("Kalyxon"),
                          QStringLiteral("Kalyxon no ha podido terminar la operación (%1). "
                                         "El programa sigue abierto.")
                              .arg(QString::fromLocal8Bit(e.what())));
  } catch (...) {
    QMessageBox::critical(nullptr, QStringLiteral("Kalyxon"),
                          QStringLiteral("Kalyxon no ha podido terminar la operación. "
                                         "El programa sigue abierto."));
  }
  return false;
}

}  // namespace kalyxon::qt
