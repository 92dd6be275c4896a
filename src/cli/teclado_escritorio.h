// The desktop program's keyboard: which backend reads the keys (the X11
// backend or the IBus engine), never both, and what the user must be told
// when neither can work.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kalyxon::qt {
class DesktopApp;
}

namespace kalyxon::cli {

enum class Backend { Auto, Ibus, X11 };

// "auto", "ibus" or "x11"; nullopt for anything else.
std::optional<Backend> leeBackend(std::string_view nombre);
const char* nombreBackend(Backend b);

// The backend `pedido` stands for in this session: IBus in a Wayland session
// (X grabs reach only the Xwayland windows there), the X11 backend in an X11
// session (it works at once, with no input source to add), and IBus when
// there is no display at all.
Backend resuelveBackend(Backend pedido);

// Holds the chosen backend for the life of the desktop program. Declared
// before the DesktopApp, so that it outlives it.
class TecladoEscritorio {
 public:
  TecladoEscritorio();
  ~TecladoEscritorio();
  // Builds the backend `b` (resolved already) and hands it to the desktop.
  void conecta(qt::DesktopApp& desktop, Backend b);
  // What the user must read now (Spanish; empty when all is well): what to
  // install or enable when the backend cannot work, or how to add Kalyxon as
  // an input source.
  std::u16string aviso() const { return aviso_; }

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
  std::u16string aviso_;
};

}  // namespace kalyxon::cli
