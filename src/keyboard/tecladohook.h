// The keyboard hook's decision procedure and its module state.
//
// A platform backend installs a system-wide keyboard interception through
// platform::KeyboardHook, translates every key event into a KeyEvent and asks
// tecladoProc what to do with it: hand it on, swallow it, or let it through
// without the rest of the chain. Everything else (composition, sends, the
// word record) happens here and in salida.cpp, with no OS dependency.
#pragma once

#include <cstdint>
#include <string>

namespace kalyxon {

class Kalyxon;

// The event record of one key event, copied whole at every event: the
// virtual-key code (Windows numbering, decimal), scan code, flags, time stamp
// and extra info, five 32-bit fields.
struct KeyEvent {
  uint32_t vkCode = 0;
  uint32_t scanCode = 0;
  uint32_t flags = 0;
  uint32_t time = 0;
  uint32_t dwExtraInfo = 0;
};

// Bits of KeyEvent::flags.
namespace flag {
inline constexpr uint32_t kExtended = 1;
inline constexpr uint32_t kInjected = 16;
inline constexpr uint32_t kAltDown = 32;
inline constexpr uint32_t kUp = 128;
}  // namespace flag

// What the backend does with the event: hand it on, swallow it, or let it
// through to the application without the next hook.
enum class Verdict { Pass, Swallow, LetThrough };

const char* verdictName(Verdict v);  // "pass", "swallow", "let-through"

class TecladoHook {
 public:
  // Wires the main window's chkgri and chkdic boxes to their handlers.
  explicit TecladoHook(Kalyxon& k);

  // The hook procedure. nCode other than 0 is handed on untouched.
  Verdict tecladoProc(int nCode, const KeyEvent& event);

  void activaHook();
  void desactivaHook();
  void chkgri_Click();
  void chkdic_Click();
  // The change-form image runs the same candidate advance as key 220, and
  // like it only while the word has candidates.
  void imgcam_Click();

  // Keys that Greek mode takes over (their press is swallowed and their
  // release composes Greek).
  static bool esTeclaGriega(int32_t tecla, bool esmayuscula);
  // Dead keys: they arm a pending mark instead of typing.
  static bool esDiacritico(int32_t tecla, bool esmayuscula);
  // Word separators.
  static bool esSeparador(int32_t tecla, bool esmayuscula);

  // ---- Module state ---------------------------------------------------------
  // The event record as last copied, followed by the Caps Lock state as the
  // hook tracks it. The copy of each event leaves lBloqMay alone.
  struct RegistroTecla : KeyEvent {
    bool lBloqMay = false;
  };

  uint32_t nHook = 0;           // handle of the installed hook, 0 when never installed
  bool lModoGriego = false;     // Greek mode (the hook is installed and not suspended by F2)
  bool lFuenteEnviada = false;  // the font-switch macro has been dealt with since chkgri was ticked
  RegistroTecla tTecla;
  // The next word starts a sentence: the last separator typed (blanks aside)
  // was . ; · or a line end. Unknown, hence false, after a caret move.
  bool inicioFrase = false;

  // Nesting depth of tecladoProc: above 1 while a message box or a waiting
  // send lets another event in. Backends and the simulator read it.
  int profundidad() const { return profundidad_; }

 private:
  // salida.cpp: what the hook sends.
  void sueltaLetra(int32_t tecla, bool esmayuscula);
  void salidaFonetica(int32_t tecla, bool esmayuscula);
  void teclaVariante();
  void cambiaModo();
  void comillaAngular(bool esmayuscula);
  std::u16string macroFuente(const std::u16string& fuente);
  void envia(const std::u16string& texto, bool espera);

  void avanzaCandidato();
  void cortaPalabra(uint32_t vkCode);  // word break: resets the running word below code 42

  Kalyxon& k_;
  uint32_t serieHook_ = 0;
  int profundidad_ = 0;
};

}  // namespace kalyxon
