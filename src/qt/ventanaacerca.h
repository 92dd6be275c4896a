// The "Acerca de Kalyxon" window (frmace): logo, name, version, the program's
// licence, and the dictionaries' attribution and licence in two tabs.
#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <string_view>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace kalyxon {
struct Frmace;
}

namespace kalyxon::qt {

class Imagenes;

class VentanaAcerca : public QWidget {
  Q_OBJECT
 public:
  VentanaAcerca(Frmace& modelo, Imagenes& imagenes, std::function<void(std::string_view)> evento);
  void render();
  QPushButton* aceptar() const { return cmdace_; }
  QTabWidget* pestanas() const { return pestanas_; }
  QPlainTextEdit* atribucion() const { return txtatr_; }
  QPlainTextEdit* licencia() const { return txtlic_; }

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  Frmace& m_;
  Imagenes& imagenes_;
  std::function<void(std::string_view)> evento_;
  QLabel* imglog_;
  QLabel* lblnom_;
  QLabel* lblver_;
  QLabel* lbldes_;
  QLabel* lblide_;
  QLabel* lblcar_;
  QTabWidget* pestanas_;
  QPlainTextEdit* txtatr_;
  QPlainTextEdit* txtlic_;
  QPushButton* cmdace_;
  std::string logo_;
  bool renderizando_ = false;
};

}  // namespace kalyxon::qt
