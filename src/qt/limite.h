// The desktop program's one error boundary. Every event Qt delivers (window,
// menu, drop, key, timer, socket) passes through QApplication::notify; here
// it runs inside the engine's boundary (Aplicacion::protege), so an engine
// error becomes a Spanish message box and the program goes on instead of
// ending in std::terminate.
#pragma once

#include <QApplication>
#include <functional>

namespace kalyxon::qt {

class AplicacionQt : public QApplication {
 public:
  using Protector = std::function<bool(const std::function<void()>&)>;
  AplicacionQt(int& argc, char** argv) : QApplication(argc, argv) {}

  // The engine's boundary, set while the desktop program exists. Without it
  // an error still ends only the event, with a message of its own.
  Protector protector;

  bool notify(QObject* receptor, QEvent* evento) override;
};

}  // namespace kalyxon::qt
