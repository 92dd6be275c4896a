#include "qt/pantalla.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace kalyxon::qt {

QPoint encaja(QPoint esquina, QSize tam, QMargins marco, const QRect& area) {
  const QRect dentro = area.marginsRemoved(marco);
  auto ajusta = [](int v, int min, int max) { return std::max(min, std::min(v, max)); };
  return {ajusta(esquina.x(), dentro.left(), dentro.right() + 1 - tam.width()),
          ajusta(esquina.y(), dentro.top(), dentro.bottom() + 1 - tam.height())};
}

QPoint encajaEnPantalla(const QWidget& w, QPoint esquina) {
  QScreen* s = QGuiApplication::screenAt(esquina);
  if (!s) s = QGuiApplication::primaryScreen();
  if (!s) return esquina;
  // The frame counts once the window manager has drawn it (zero before).
  QMargins marco(w.geometry().left() - w.frameGeometry().left(),
                 w.geometry().top() - w.frameGeometry().top(),
                 w.frameGeometry().right() - w.geometry().right(),
                 w.frameGeometry().bottom() - w.geometry().bottom());
  return encaja(esquina, w.size(), marco, s->availableGeometry());
}

void colocaCliente(QWidget& w, QPoint esquina) {
  const QPoint p = encajaEnPantalla(w, esquina);
  if (w.geometry().topLeft() != p) w.setGeometry(QRect(p, w.size()));
}

}  // namespace kalyxon::qt
