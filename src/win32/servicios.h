// The services the window-less Windows agent gives the engine: the clipboard
// (Unicode text and "Rich Text Format"), the default browser for web pages
// and the help, and the pending-messages pump. The desktop program's dialogs,
// fonts and pointer are in ui/servicios.h; the keyboard is in win32keyboard.h.
#pragma once

#include <string>

#include "platform/platform.h"

namespace kalyxon::win32 {

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

}  // namespace kalyxon::win32
