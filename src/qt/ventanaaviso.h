// The start-up notice (frmini): the notice text, the version, the project's
// identity, and "Aceptar" / "Cancelar".
#pragma once

#include <QWidget>
#include <functional>
#include <string_view>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace kalyxon {
struct Frmini;
}

namespace kalyxon::qt {

class Imagenes;

class VentanaAviso : public QWidget {
  Q_OBJECT
 public:
  VentanaAviso(Frmini& modelo, Imagenes& imagenes, std::function<void(std::string_view)> evento);
  void render();
  QPushButton* aceptar() const { return cmdace_; }
  QPushButton* cancelar() const { return cmdcan_; }
  QPlainTextEdit* texto() const { return txtini_; }
  QLabel* version() const { return lblver_; }

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  Frmini& m_;
  Imagenes& imagenes_;
  std::function<void(std::string_view)> evento_;
  QLabel* imglog_;
  QLabel* lblnom_;
  QLabel* lblweb_;
  QPlainTextEdit* txtini_;
  QLabel* lblver_;
  QPushButton* cmdace_;
  QPushButton* cmdcan_;
  std::string logo_;
  bool renderizando_ = false;
};

}  // namespace kalyxon::qt
