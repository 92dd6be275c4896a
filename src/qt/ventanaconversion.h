// The conversion window (frmtra): the legacy-font box above, the Unicode box
// below, the error report in place of the upper box, and the three menus.
// The boxes keep the model's geometry in twips, scaled with the window.
#pragma once

#include <QMainWindow>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "qt/modelos.h"

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QTextEdit;
class QProgressBar;
class QPushButton;

namespace kalyxon::qt {

class TextoUnicode;

class VentanaConversion : public QMainWindow {
  Q_OBJECT
 public:
  VentanaConversion(ModeloConversion modelo,
                    std::function<void(std::string_view, const std::u16string&)> evento);
  void render();
  // The model this window renders (the engine's fields and the stand-ins).
  const ModeloConversion& modelo() const { return m_; }

  QAction* accion(std::string_view nombre) const;
  QMenu* menu(std::string_view nombre) const;
  QTextEdit* txtori() const { return txtori_; }
  QPlainTextEdit* txterr() const { return txterr_; }
  TextoUnicode* uniText() const { return uniText1_; }
  QLabel* avisoFuente() const { return avisoFuente_; }
  QProgressBar* progreso() const { return progreso_; }
  QPushButton* detener() const { return detener_; }
  // Whether a face is installed (the upper box says so plainly when not).
  static bool fuenteInstalada(const QString& cara);
  // Whether a face is one of the legacy Greek faces (Latin letters drawn as
  // Greek glyphs), the only faces whose absence changes what the text says.
  static bool esCaraGriega(const QString& cara);

 protected:
  void resizeEvent(QResizeEvent* e) override;
  void moveEvent(QMoveEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void hideEvent(QHideEvent* e) override;
  bool eventFilter(QObject* obj, QEvent* e) override;

 private:
  void coloca();
  void emite(std::string_view nombre, const std::u16string& texto = {});

  ModeloConversion m_;
  std::function<void(std::string_view, const std::u16string&)> evento_;
  std::map<std::string, QAction*, std::less<>> acciones_;
  std::map<std::string, QMenu*, std::less<>> menus_;
  QWidget* lienzo_;
  QLabel* label1_;
  QLabel* label2_;
  QTextEdit* txtori_;
  QPlainTextEdit* txterr_;
  TextoUnicode* uniText1_;
  QLabel* avisoFuente_;
  QProgressBar* progreso_;
  QPushButton* detener_;
  vm::Window aplicada_;
  bool geometriaAplicada_ = false;
  std::u16string oriMostrado_, uniMostrado_, errMostrado_;
  bool renderizando_ = false;
};

}  // namespace kalyxon::qt
