// What the window-less keyboard agents (x11-agent, ibus-engine, win32-agent)
// share: their common options, the engine started on a platform keyboard,
// and message boxes written to standard error.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/kalyxon.h"
#include "keyboard/tecladohook.h"
#include "platform/platform.h"
#include "platform/scripted.h"

namespace kalyxon::cli {

struct OpcionesAgente {
  bool griego = false;                     // --griego
  std::optional<std::filesystem::path> dir;  // --dir DIR
  std::vector<std::string> menus;          // --sigma-final, --ks... in the order given
};

// Takes args[i] (and its value, advancing i) when it is one of the common
// options; false leaves it to the agent.
bool opcionAgente(const std::vector<std::string>& args, size_t& i, OpcionesAgente& o);

// Message boxes of a program with no window: the text goes to standard error
// and the default answer is taken.
class MensajeEnConsola : public platform::MessageBox {
 public:
  platform::Answer show(const std::u16string& text, platform::Buttons buttons,
                        const std::u16string& title) override;
};

// The engine on a platform keyboard `kb` (a KeyState, KeySender and
// KeyboardHook with setProcedure): scripted services for everything else,
// message boxes on standard error, `bomba` as the message pump; `ajusta` may
// put platform services in place of scripted ones before the engine starts.
// The options of the Opciones menu named in `o` are ticked; Greek is left to
// the caller.
class Agente {
 public:
  template <class Teclado>
  Agente(Teclado& kb, platform::MessagePump& bomba, const std::filesystem::path& dir,
         const OpcionesAgente& o, const std::function<void(platform::Services&)>& ajusta = {})
      : Agente(kb, kb, kb, bomba, dir, o, ajusta) {
    kb.setProcedure([this](int n, const KeyEvent& e) { return k_->teclado().tecladoProc(n, e); });
  }

  Kalyxon& kalyxon() { return *k_; }

 private:
  Agente(platform::KeyState& teclas, platform::KeySender& envio, platform::KeyboardHook& hook,
         platform::MessagePump& bomba, const std::filesystem::path& dir, const OpcionesAgente& o,
         const std::function<void(platform::Services&)>& ajusta);

  platform::scripted::ScriptedServices guion_;
  MensajeEnConsola mensajes_;
  std::unique_ptr<Kalyxon> k_;
};

}  // namespace kalyxon::cli
