// The platform services of the Windows desktop: message and input boxes,
// file dialog, message pump, clipboard (Unicode text and RTF), help pages in
// the default browser, web pages, screen fonts, busy pointer and progress.
// The keyboard services (key state, SendInput, the low-level hook) belong to
// the keyboard layer; until it is attached the stand-ins below say plainly
// that typing into other programs is not available.
//
// Windows' headers are kept out of this header: windows.h defines MessageBox
// as a macro, which would rename the engine's interface of that name.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace kalyxon::win32ui {

// The window dialogs belong to (an HWND): the program's active window.
using PadreFn = std::function<void*()>;

class CajaMensaje : public platform::MessageBox {
 public:
  explicit CajaMensaje(PadreFn padre) : padre_(std::move(padre)) {}
  platform::Answer show(const std::u16string& text, platform::Buttons buttons,
                        const std::u16string& title) override;

 private:
  PadreFn padre_;
};

// A small modal window (prompt, text field, "Aceptar" / "Cancelar"): Windows
// has no input box of its own.
class CajaEntrada : public platform::InputBox {
 public:
  explicit CajaEntrada(PadreFn padre) : padre_(std::move(padre)) {}
  std::optional<std::u16string> ask(const std::u16string& prompt, const std::u16string& title,
                                    const std::u16string& initial) override;

 private:
  PadreFn padre_;
};

class DialogoArchivo : public platform::FileDialog {
 public:
  explicit DialogoArchivo(PadreFn padre) : padre_(std::move(padre)) {}
  std::optional<std::string> open(const std::u16string& title,
                                  const std::vector<std::u16string>& filters) override;
  // "Griego|*.txt;*.rtf" entries -> the dialog's "Griego\0*.txt;*.rtf\0...\0\0".
  static std::u16string filtro(const std::vector<std::u16string>& filters);

 private:
  PadreFn padre_;
};

// Runs the queued window messages; `despues` re-renders the windows a few
// times a second so a long operation's changes to the models show.
class Bomba : public platform::MessagePump {
 public:
  explicit Bomba(std::function<void()> despues) : despues_(std::move(despues)) {}
  void processPending() override;

 private:
  std::function<void()> despues_;
  unsigned long ultimo_ = 0;
};

class Portapapeles : public platform::Clipboard {
 public:
  std::u16string text() override { return unicodeText(); }
  std::u16string unicodeText() override;
  std::string richText() override;  // the "Rich Text Format" clipboard format
  void setText(const std::u16string& text) override;
};

// Help pages open in the default browser. `carpetas` are searched in order
// for help/<page>; without one, a message says where the help was looked for.
class Ayuda : public platform::HelpViewer {
 public:
  Ayuda(std::vector<std::filesystem::path> carpetas, platform::MessageBox& mensajes)
      : carpetas_(std::move(carpetas)), mensajes_(mensajes) {}
  void showTopic(int topic) override;
  void showIndex() override { showTopic(0); }
  // The page file for a topic, or empty when no help folder is found.
  std::filesystem::path pagina(int topic) const;

 private:
  std::vector<std::filesystem::path> carpetas_;
  platform::MessageBox& mensajes_;
};

class Navegador : public platform::UrlOpener {
 public:
  void open(const std::string& url) override;
};

class Fuentes : public platform::FontList {
 public:
  std::vector<std::u16string> screenFonts() override;
};

// Nested busy requests keep the hourglass until the outermost ends.
class Puntero : public platform::MousePointer {
 public:
  void setBusy(bool busy) override;

 private:
  int nivel_ = 0;
};

// Shift and Ctrl from GetKeyState, Caps Lock's toggle and held bits as the
// platform gives them. The keyboard layer's own key state replaces it.
class EstadoTeclas : public platform::KeyState {
 public:
  bool shiftDown() override;
  bool ctrlDown() override;
  int capsLockState() override;
};

class SinEnvio : public platform::KeySender {
 public:
  void send(const std::u16string&, bool) override {}
};
class SinHook : public platform::KeyboardHook {
 public:
  bool install() override { return false; }
  void remove() override {}
  uint32_t lastError() override { return 120; }  // ERROR_CALL_NOT_IMPLEMENTED
};

// A progress bar with a stop button, placed at each outermost begin() where
// `donde` says (the window the user works in). Nested operations show the
// outermost only.
class Progreso : public platform::Progress {
 public:
  struct Lugar {
    void* barra = nullptr;   // HWND of a progress bar control
    void* boton = nullptr;   // HWND of its stop button
  };
  void coloca(std::function<Lugar()> donde) { donde_ = std::move(donde); }
  void begin(const std::u16string& what, std::function<void()> stop) override;
  void step(long long done, long long total) override;
  void end() override;
  // What the stop button runs (nothing when the operation cannot stop).
  void detiene();

 private:
  std::function<Lugar()> donde_;
  Lugar lugar_;
  std::function<void()> stop_;
  int nivel_ = 0;
};

// UTF-16 both ways: wchar_t is 16 bits on Windows.
inline const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
inline std::u16string U(const wchar_t* s) { return s ? std::u16string(reinterpret_cast<const char16_t*>(s)) : std::u16string(); }

}  // namespace kalyxon::win32ui
