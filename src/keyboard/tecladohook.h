// The keyboard hook's decision procedure and its module state.
//
// A platform backend installs a system-wide keyboard interception through
// platform::KeyboardHook, translates every key event into a KeyEvent and asks
// tecladoProc what to do with it: hand it on, swallow it, or let it through
// without the rest of the chain. Everything else (composition, sends, the
// word record) happens here and in salida.cpp, with no OS dependency.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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
  // Shift, Ctrl, Alt (AltGr is Ctrl and Alt), Caps Lock and the Windows keys:
  // they change other keys and are never a word break themselves.
  static bool esModificador(uint32_t vk);
  // Mouse buttons (1 left, 2 right, 4 middle, 5 and 6 the side buttons):
  // a backend that sees clicks reports each press as an event of these codes.
  static bool esBotonRaton(uint32_t vk);

  // A word break the user made outside the keyboard (a click moves the caret
  // somewhere the engine cannot see): nothing typed before it is corrected
  // any more, and the next letter starts a word.
  void clicRaton();

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

  // While a box of this program that takes Latin text (a file dialog, an
  // input box, a path or number field) has the keyboard focus, every key
  // reaches it untouched. The front end says when.
  void ventanaLatina(bool activa);
  bool enVentanaLatina() const { return lVentanaLatina_; }

  // Nesting depth of tecladoProc: above 1 while a message box or a waiting
  // send lets another event in. Backends and the simulator read it.
  int profundidad() const { return profundidad_; }

  // One character the engine knows to be before the caret: the text that
  // typed it (a whole HTML or Java escape in code mode) and the character.
  // The character is 0 when the application typed it from a passed key.
  struct Unidad {
    std::u16string texto;
    char32_t car = 0;
  };
  // What the engine knows lies before the caret, oldest first, since it last
  // lost track (a click, an arrow key, a shortcut...). Every correction is
  // measured against it: a Backspace the engine sends removes one unit (as
  // many Backspaces as the unit has characters), and none is sent beyond it.
  const std::vector<Unidad>& pantalla() const { return pantalla_; }

 private:
  // salida.cpp: what the hook sends.
  void sueltaLetra(int32_t tecla, bool esmayuscula);
  void salidaFonetica(int32_t tecla, bool esmayuscula);
  void teclaVariante();
  void cambiaModo();
  void comillaAngular(bool esmayuscula);
  std::u16string macroFuente(const std::u16string& fuente);
  void envia(const std::u16string& texto, bool espera);
  // Sends composed text (keystroke notation), measuring its Backspaces in
  // units of pantalla_ and keeping pantalla_ in step.
  void enviaTexto(const std::u16string& texto);
  // The font-switch macro: the only text sent as the user wrote it. A
  // malformed one is reported (once per macro) and not sent.
  void enviaMacro(const std::u16string& macro, bool espera);
  // Backspaces that delete the word being typed, as far as it is on screen.
  std::u16string borraPalabra() const;
  void anadeUnidad(Unidad u);
  void olvidaPantalla();
  // A key that reached the application: what it did to the text before the caret.
  void teclaPasada(uint32_t vk, bool esmayuscula, bool ctrlAlt);
  // Ends the remembered pair, word-initial vowel and running word.
  void rompePalabra(bool nuevaPalabra);

  void avanzaCandidato();

  Kalyxon& k_;
  uint32_t serieHook_ = 0;
  int profundidad_ = 0;

  std::vector<Unidad> pantalla_;
  size_t inicioPalabra_ = 0;  // index in pantalla_ where the word being typed starts
  std::u16string macroMala_;  // the malformed macro already reported
  bool elision_ = false;      // the word being typed ends in the elision mark

  // The shift state and shortcut status of each key, decided at its press:
  // a modifier released before the key does not change what the key does.
  struct Pulsacion {
    bool abajo = false, mayuscula = false, atajo = false;
  };
  std::array<Pulsacion, 256> pulsaciones_{};
  bool lVentanaLatina_ = false;
  std::bitset<256> pulsadasLatinas_;  // keys pressed while a Latin box had the focus
};

}  // namespace kalyxon
