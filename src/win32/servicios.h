// The engine's services on Windows, with the system's own dialogs and
// clipboard: message boxes (MessageBoxW), a small input box, the clipboard
// (Unicode text and "Rich Text Format"), the default browser for web pages
// and the help, the pending-messages pump, the screen fonts and the busy
// pointer. The keyboard is in win32keyboard.h.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace kalyxon::win32 {

// Captions default to the program's name.
class CajaMensaje : public platform::MessageBox {
 public:
  explicit CajaMensaje(void* propietario = nullptr) : propietario_(propietario) {}
  platform::Answer show(const std::u16string& text, platform::Buttons buttons,
                        const std::u16string& title) override;

 private:
  void* propietario_;  // HWND
};

class CajaEntrada : public platform::InputBox {
 public:
  explicit CajaEntrada(void* propietario = nullptr) : propietario_(propietario) {}
  std::optional<std::u16string> ask(const std::u16string& prompt, const std::u16string& title,
                                    const std::u16string& initial) override;

 private:
  void* propietario_;
};

class Portapapeles : public platform::Clipboard {
 public:
  std::u16string text() override { return unicodeText(); }
  std::u16string unicodeText() override;
  std::string richText() override;
  void setText(const std::u16string& text) override;
  // Puts RTF bytes (and nothing else) on the clipboard; for tests and the
  // conversion window's rich text.
  bool setRichText(const std::string& rtf);
};

class Bomba : public platform::MessagePump {
 public:
  void processPending() override;
};

// Web pages and the help pages (help/<page>.html beside the program, per
// topic as the Qt front end numbers them) in the default browser.
class Navegador : public platform::UrlOpener, public platform::HelpViewer {
 public:
  explicit Navegador(std::u16string carpetaAyuda) : ayuda_(std::move(carpetaAyuda)) {}
  void open(const std::string& url) override;
  void showTopic(int topic) override;
  void showIndex() override;

 private:
  std::u16string ayuda_;
};

class Fuentes : public platform::FontList {
 public:
  std::vector<std::u16string> screenFonts() override;
};

class Puntero : public platform::MousePointer {
 public:
  void setBusy(bool busy) override;
};

}  // namespace kalyxon::win32
