// The desktop program's ties to its session, apart from the windows:
// - SIGTERM, SIGINT, SIGHUP and the session manager's logout take the main
//   window's normal close (settings saved, the keyboard backend's borrowed
//   keycodes given back when the program object goes);
// - Qt's own Spanish translations for its dialogs, context menus and
//   standard buttons;
// - Latin typing in the program's own boxes: while a file dialog, an input
//   box or a path or number field of the program has the focus, the keyboard
//   engine lets keys through untouched (the conversion window's Unicode box
//   keeps Greek).
#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;
class QTranslator;
class QWidget;

namespace kalyxon::qt {

class Sesion : public QObject {
  Q_OBJECT
 public:
  // `cierra` runs the normal close; `latina(bool)` tells the engine whether
  // the focus is in a box that takes Latin; `esGriega(w)` says whether `w`
  // is a box that keeps Greek typing.
  Sesion(std::function<void()> cierra, std::function<void(bool)> latina,
         std::function<bool(QWidget*)> esGriega, QObject* padre = nullptr);
  ~Sesion() override;

  // Whether focus on `w` means Latin typing (see above).
  bool pideLatin(QWidget* w) const;

 private:
  std::function<void()> cierra_;
  std::function<void(bool)> latina_;
  std::function<bool(QWidget*)> esGriega_;
  QSocketNotifier* senales_ = nullptr;
  int tubo_[2] = {-1, -1};
  std::unique_ptr<QTranslator> traductor_;
};

}  // namespace kalyxon::qt
