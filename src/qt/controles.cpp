#include "qt/controles.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace kalyxon::qt {

QFont fuenteGriega(const QString& cara, int puntos) {
  QFont f;
  QStringList caras;
  if (!cara.isEmpty()) caras << cara;
  caras << QStringLiteral("Noto Serif") << QStringLiteral("DejaVu Serif")
        << QStringLiteral("FreeSerif") << QStringLiteral("Noto Sans");
  f.setFamilies(caras);
  f.setStyleHint(QFont::Serif);
  if (puntos > 0) f.setPointSize(puntos);
  return f;
}

void EtiquetaUnicode::mouseReleaseEvent(QMouseEvent* e) {
  QLabel::mouseReleaseEvent(e);
  if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) emit pulsada();
}

void TextoUnicode::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_F1 && alPedirAyuda) {
    alPedirAyuda();
    return;
  }
  QPlainTextEdit::keyPressEvent(e);
}

void TextoUnicode::mousePressEvent(QMouseEvent* e) {
  if (alPulsarRaton) alPulsarRaton();
  QPlainTextEdit::mousePressEvent(e);
}

}  // namespace kalyxon::qt
