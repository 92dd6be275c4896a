// The start-up notice (frmini): the notice text, the version, the program's
// identity, and "Aceptar" / "Cancelar".
#pragma once

#include <QDialog>
#include <functional>
#include <string_view>

#include "qt/modelos.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace kalyxon::qt {

class VentanaAviso : public QWidget {
  Q_OBJECT
 public:
  VentanaAviso(ModeloAviso modelo, const QIcon& icono,
               std::function<void(std::string_view)> evento);
  void render();
  QPushButton* aceptar() const { return cmdace_; }
  QPushButton* cancelar() const { return cmdcan_; }
  QPlainTextEdit* texto() const { return txtini_; }
  QLabel* version() const { return lblver_; }

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  ModeloAviso m_;
  std::function<void(std::string_view)> evento_;
  QPlainTextEdit* txtini_;
  QLabel* lblver_;
  QPushButton* cmdace_;
  QPushButton* cmdcan_;
  bool cerrando_ = false;
};

}  // namespace kalyxon::qt
