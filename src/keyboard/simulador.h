// A keyboard, the keyboard hook and a foreground application, all in memory.
//
// TecladoSimulado plays a Spanish keyboard into the engine exactly as a
// platform backend would: every key press and release (Shift, Ctrl and Alt
// included) becomes a KeyEvent for TecladoHook::tecladoProc, and what the
// hook does not swallow reaches a platform::ForegroundApp, which types the
// key's own character the way a real editor on that layout would. The text the
// engine sends is applied to the same application as it arrives, so the
// application's text is what the user would see. The command `kalyxon type`
// and the typing tests are built on it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "keyboard/tecladohook.h"
#include "platform/foreground_app.h"
#include "platform/scripted.h"

namespace kalyxon {

class Kalyxon;
struct Form1;

// One token of a key script: a key pressed and then released, with modifiers
// held over it.
//
//   A … Z (or a … z)    a letter key
//   65, 222, 113 …      any virtual-key code in decimal, 1 to 254 (the digit
//                       keys are 48 to 57: a lone "8" is Backspace's code)
//   space enter bksp tab esc del ins home end pgup pgdn left right up down
//   f1 … f12 capslock numlock     named keys (case-insensitive)
//   kpenter             the keypad's Enter (an extended key)
//   shift ctrl alt altgr super   the modifier keys themselves
//   click               a mouse click: the application puts its caret at the
//                       start of its text
//   prefixes            + Shift, ^ Ctrl, % Alt (^% together: AltGr), ! the
//                       event is injected (as synthesised keystrokes are)
//   suffix *N           the key is held until it repeats: N presses, one release
//   suffix -down, -up   only the press (with the prefixes' modifiers going
//                       down first) or only the release (modifiers up after):
//                       "shift-down K S shift-up", "^A-down ^-up A-up"
struct TeclaGuion {
  enum class Fase { Ambas, Baja, Sube };
  std::string token;
  uint32_t vk = 0;
  bool shift = false, ctrl = false, alt = false;
  bool extendida = false;
  bool inyectada = false;
  int pulsaciones = 1;
  Fase fase = Fase::Ambas;
};

class ErrorGuion : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Parses a whitespace-separated key script. Throws ErrorGuion naming the first
// bad token and its position.
std::vector<TeclaGuion> leeGuion(std::string_view guion);
TeclaGuion leeTecla(std::string_view token);

// The short name of a key for traces: "A", "space", "f2", or the code.
std::string nombreTecla(uint32_t vk);

class TecladoSimulado {
 public:
  // `carpeta` is the program folder (ALPHA.db and the dictionaries).
  explicit TecladoSimulado(const std::filesystem::path& carpeta);
  ~TecladoSimulado();
  TecladoSimulado(const TecladoSimulado&) = delete;
  TecladoSimulado& operator=(const TecladoSimulado&) = delete;

  Kalyxon& k() { return *k_; }
  TecladoHook& hook();
  Form1& form1();
  platform::ForegroundApp& app() { return app_; }
  // The scripted services other than key state and sender (message boxes,
  // help, hook installation...), for tests to script and inspect.
  platform::scripted::ScriptedServices& servicios() { return sv_; }

  // Ticks chkgri, as the user does to start typing Greek.
  void activaGriego();

  // Types a key script (see TeclaGuion); throws ErrorGuion before typing
  // anything when a token is bad.
  void escribe(std::string_view guion);
  void pulsa(const TeclaGuion& tecla);
  // One raw event from the keyboard: through the hook when it is installed,
  // then to the application unless swallowed.
  Verdict evento(const KeyEvent& e);

  const std::u16string& texto() const { return app_.text(); }
  std::string textoUtf8() const { return app_.textUtf8(); }

  // Caps Lock as the keyboard light shows it (the platform's toggle state).
  bool bloqMay() const { return bloqMay_; }
  void ponBloqMay(bool on) { bloqMay_ = on; }

  // When true, the keystrokes the engine sends come back through the hook as
  // injected events before they reach the application, as on a desktop whose
  // interception also sees synthesised input: a waiting send delivers them
  // before it returns, any other send right after the current event. When
  // false (the default) sent text is applied to the application directly.
  bool reinyectar = false;

  // Observers for traces: every event with its verdict and nesting depth
  // (after it has been judged; nested events report first), and every send.
  std::function<void(const KeyEvent&, Verdict, int nivel)> alEvento;
  std::function<void(const std::u16string& teclas, bool espera, int nivel)> alEnviar;

 private:
  class Estado;
  class Emisor;

  void envia(const std::u16string& teclas, bool espera);
  void inyecta(const sendkeys::KeyAction& a);
  void aplicaAccion(const sendkeys::KeyAction& a);
  Verdict entrega(const KeyEvent& e, const sendkeys::KeyAction* inyectada);
  void aplicaTecla(uint32_t vk, uint32_t flags);
  void vaciaCola();

  platform::scripted::ScriptedServices sv_;
  std::unique_ptr<Estado> estado_;
  std::unique_ptr<Emisor> emisor_;
  platform::ForegroundApp app_;
  std::unique_ptr<Kalyxon> k_;

  // Physical key state.
  bool shift_ = false, ctrl_ = false, alt_ = false;
  bool bloqMay_ = false, bloqMayPulsada_ = false;
  char16_t muerta_ = 0;  // the layout's dead key waiting for its letter

  int nivel_ = 0;
  bool vaciando_ = false;
  sendkeys::KeySequence cola_;  // sent keystrokes waiting for the current event to end
};

}  // namespace kalyxon
