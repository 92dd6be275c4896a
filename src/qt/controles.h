// The two Unicode controls: a label (UniLabel) that shows a Greek caption and
// reports clicks, and a multi-line text box (UniText) with a settable face and
// help on F1. Faces the system lacks fall back to an installed serif with
// polytonic Greek, so Greek Extended text never shows as boxes.
#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <functional>

namespace kalyxon::qt {

// `cara` first, then serif faces that cover polytonic Greek.
QFont fuenteGriega(const QString& cara, int puntos);

class EtiquetaUnicode : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;
 signals:
  void pulsada();

 protected:
  void mouseReleaseEvent(QMouseEvent* e) override;
};

class TextoUnicode : public QPlainTextEdit {
  Q_OBJECT
 public:
  using QPlainTextEdit::QPlainTextEdit;
  std::function<void()> alPedirAyuda;
  std::function<void()> alPulsarRaton;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
};

}  // namespace kalyxon::qt
