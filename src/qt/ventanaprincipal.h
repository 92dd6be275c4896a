// The main window (Form1): renders the main window's model — captions, check
// marks, enabled and visible state, tooltips, pictures, geometry in twips —
// and forwards every click, menu choice, drop and window event to the engine.
#pragma once

#include <QMainWindow>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "util/viewmodel.h"

class QAction;
class QCheckBox;
class QLabel;
class QListWidget;
class QMenu;
class QProgressBar;
class QPushButton;
class QToolButton;

namespace kalyxon {
class Kalyxon;
struct Form1;
}  // namespace kalyxon

namespace kalyxon::qt {

class Imagenes;
class EtiquetaUnicode;

class VentanaPrincipal : public QMainWindow {
  Q_OBJECT
 public:
  // `evento` forwards an event to the engine (and re-renders every window).
  VentanaPrincipal(Kalyxon& k, Imagenes& imagenes,
                   std::function<void(std::string_view, const std::u16string&)> evento);

  // Brings every widget in line with the model.
  void render();

  // For tests and the keyboard map: the widgets by their control names.
  QAction* accion(std::string_view nombre) const;
  QMenu* menu(std::string_view nombre) const;
  QToolButton* imagen(std::string_view nombre) const;
  QCheckBox* chkgri() const { return chkgri_; }
  QCheckBox* chkdic() const { return chkdic_; }
  QLabel* uniLabel() const;
  QLabel* etiqueta(std::string_view nombre) const;
  QListWidget* lstfon() const { return lstfon_; }
  QPushButton* cmdace() const { return cmdace_; }
  QProgressBar* progreso() const { return progreso_; }
  QPushButton* detener() const { return detener_; }
  // The height the model asks for, in pixels (frame included).
  int alturaPedida() const;

  // Hands a dropped text to the engine as a drop on the window or on imgcam.
  void soltarTexto(const QString& texto, bool sobreImgcam);

 protected:
  bool event(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void moveEvent(QMoveEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  bool eventFilter(QObject* obj, QEvent* e) override;

 private:
  struct Menu {
    std::string nombre;
    vm::MenuItem* item;
    QAction* accion = nullptr;
    QMenu* submenu = nullptr;
  };
  struct Img {
    const char* nombre;
    vm::Image Form1::*imagen;
    QToolButton* boton = nullptr;
    std::string picture;  // last rendered
  };
  struct Etq {
    const char* nombre;
    vm::Label Form1::*label;
    QLabel* widget = nullptr;
  };

  void construyeMenus();
  void construyeControles();
  void renderVentana();
  void aplicaAltura();
  void colocaSegunModelo();
  void emite(std::string_view nombre, const std::u16string& texto = {});

  Kalyxon& k_;
  Imagenes& imagenes_;
  std::function<void(std::string_view, const std::u16string&)> evento_;
  std::vector<Menu> menus_;
  std::vector<Img> imagenesCtl_;
  std::vector<Etq> etiquetas_;
  QCheckBox* chkgri_ = nullptr;
  QCheckBox* chkdic_ = nullptr;
  EtiquetaUnicode* uniLabel1_ = nullptr;
  QListWidget* lstfon_ = nullptr;
  QPushButton* cmdace_ = nullptr;
  QWidget* centro_ = nullptr;
  QWidget* filaLista_ = nullptr;
  QProgressBar* progreso_ = nullptr;
  QPushButton* detener_ = nullptr;
  // What was last applied from the model, so a render only touches changes
  // and the window's own moves are told apart from the model's.
  vm::Window aplicada_;
  bool geometriaAplicada_ = false;
  int alturaCliente_ = -1;
  std::vector<std::u16string> itemsLista_;
  bool renderizando_ = false;
};

}  // namespace kalyxon::qt
