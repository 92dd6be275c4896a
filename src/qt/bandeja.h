// The tray icon: Greek or Latin and the dictionary state at a glance, and
// the few commands a user wants without the main window: Griego,
// Diccionario, Convertir fuentes, Mostrar ventana, Salir. It renders the
// main window's model like the windows do and acts through the same events.
#pragma once

#include <QIcon>
#include <QObject>
#include <functional>
#include <memory>
#include <string_view>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace kalyxon {
class Kalyxon;
}

namespace kalyxon::qt {

class Imagenes;

class Bandeja : public QObject {
  Q_OBJECT
 public:
  // `evento` hands an event to the engine as the windows do; `muestra`
  // brings the main window forward.
  Bandeja(Kalyxon& k, Imagenes& imagenes, std::function<void(std::string_view)> evento,
          std::function<void()> muestra);
  ~Bandeja() override;

  void render();

  QMenu* menu() const { return menu_.get(); }
  QAction* accion(std::string_view nombre) const;  // "griego", "diccionario", ...
  QSystemTrayIcon* icono() const { return icono_; }
  // What the icon shows: 'G' Greek, 'L' Latin (F2), '-' off; then 'D' when
  // the dictionary is on.
  QString estado() const;

 private:
  QIcon pinta(bool griego, bool latino, bool diccionario);

  Kalyxon& k_;
  Imagenes& imagenes_;
  std::function<void(std::string_view)> evento_;
  std::unique_ptr<QMenu> menu_;
  QSystemTrayIcon* icono_ = nullptr;
  QAction *griego_ = nullptr, *diccionario_ = nullptr, *convertir_ = nullptr,
          *mostrar_ = nullptr, *salir_ = nullptr;
  QString estadoPintado_;
};

}  // namespace kalyxon::qt
