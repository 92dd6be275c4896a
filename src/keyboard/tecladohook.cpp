#include "keyboard/tecladohook.h"

#include <algorithm>
#include <string>

#include "app/kalyxon.h"
#include "dictionary/diccionario.h"
#include "greek/numerus.h"

namespace kalyxon {

namespace {

constexpr uint32_t kNumLock = 144;
constexpr uint32_t kF1 = 112, kF2 = 113, kF3 = 114, kF4 = 115;
constexpr uint32_t kCapsLock = 20;
constexpr uint32_t kCambiaForma = 220;
constexpr uint32_t kAngulos = 226;

// An act-release is a plain release: not injected, not extended, Alt up.
// Everything else (injected releases included) counts as a press.
constexpr bool esSuelta(uint32_t flags) { return flags == flag::kUp; }

std::u16string decimal(uint32_t n) {
  std::string s = std::to_string(n);
  return {s.begin(), s.end()};
}

// Keeps the nesting depth right whichever way the procedure leaves.
class Nivel {
 public:
  explicit Nivel(int& n) : n_(n) { ++n_; }
  ~Nivel() { --n_; }
  Nivel(const Nivel&) = delete;
  Nivel& operator=(const Nivel&) = delete;

 private:
  int& n_;
};

}  // namespace

const char* verdictName(Verdict v) {
  switch (v) {
    case Verdict::Pass: return "pass";
    case Verdict::Swallow: return "swallow";
    case Verdict::LetThrough: return "let-through";
  }
  return "?";
}

TecladoHook::TecladoHook(Kalyxon& k) : k_(k) {
  k_.form1.chkgri.onChange = [this] { chkgri_Click(); };
  k_.form1.chkdic.onChange = [this] { chkdic_Click(); };
}

// The key sets are the Spanish layout's: 186 ` ^, 222 ´ ¨, 192 ñ, shifted 8
// and 9 the parentheses, 219 ' ?, 188 , 190 . 189 -, 226 < >, 220 º.
bool TecladoHook::esTeclaGriega(int32_t tecla, bool esmayuscula) {
  if (tecla >= 65 && tecla <= 90) return true;
  if (esmayuscula && tecla >= 52 && tecla <= 54) return true;
  switch (tecla) {
    case 32: case 186: case 188: case 190: case 191:
    case 192: case 219: case 221: case 222: case 13:
      return true;
    // Unshifted, 8 and 9 are digits like the others (and join a numeral
    // run); shifted, or with Caps Lock, they are the breathing keys.
    case 56: case 57:
      return esmayuscula;
    default:
      return false;
  }
}

bool TecladoHook::esDiacritico(int32_t tecla, bool esmayuscula) {
  if (esmayuscula && (tecla == 56 || tecla == 57)) return true;
  return tecla == 186 || tecla == 192 || tecla == 222;
}

bool TecladoHook::esSeparador(int32_t tecla, bool esmayuscula) {
  switch (tecla) {
    case 32: case 188: case 190: case 13: case 189: case 226:
      return true;
    case 219:
      return esmayuscula;
    default:
      return false;
  }
}

// ---- Installation and the two check boxes ------------------------------------

void TecladoHook::activaHook() {
  if (k_.sv.hook->install()) {
    nHook = ++serieHook_;
    lModoGriego = true;
    olvidaPantalla();
    k_.form1.lInicio = true;
    return;
  }
  nHook = 0;
  std::u16string texto = u"No se han podido interceptar las pulsaciones del teclado - ";
  texto += decimal(k_.sv.hook->lastError());
  std::u16string requisitos = k_.sv.hook->errorText();
  if (requisitos.empty()) {
    texto += u"\r\nEste programa requiere Windows NT, XP, 4.0, OSP3.";
    texto += u"\r\nNo funciona con Windows 9x y ME.";
  } else {
    texto += u"\r\n" + requisitos;
  }
  k_.sv.messageBox->show(texto, platform::Buttons::Ok);
}

void TecladoHook::desactivaHook() {
  if (nHook == 0) return;
  k_.sv.hook->remove();
  lModoGriego = false;
}

void TecladoHook::chkgri_Click() {
  Form1& f = k_.form1;
  if (f.chkgri.value == 1) {
    f.chkdic.enabled = true;
    lFuenteEnviada = false;
    activaHook();
  } else {
    f.chkdic.setValue(0);
    f.chkdic.enabled = false;
    desactivaHook();
    // F2 into Latin greyed the box; with the hook gone nothing else could
    // bring it back, and Greek could not be switched on again.
    f.chkgri.enabled = true;
    f.chkgri.tooltip.clear();
  }
}

void TecladoHook::ventanaLatina(bool activa) { lVentanaLatina_ = activa; }

void TecladoHook::chkdic_Click() {
  Form1& f = k_.form1;
  if (k_.sv.keys->capsLockState() == 1) {
    k_.sv.messageBox->show(
        u"La tecla de bloqueo de mayúsculas está pulsada e impide el funcionamiento del "
        u"diccionario",
        platform::Buttons::Ok);
    // Runs this handler once more, which shows the message again while
    // Caps Lock stays on.
    f.chkdic.setValue(0);
  } else {
    f.noDiacritico = true;
    k_.diccionario().cadenaGriego(0, false);
  }
}

// ---- The decision procedure ----------------------------------------------------

bool TecladoHook::esModificador(uint32_t vk) {
  return (vk >= 16 && vk <= 18) || vk == kCapsLock || vk == 91 || vk == 92 ||
         (vk >= 160 && vk <= 165);
}

bool TecladoHook::esBotonRaton(uint32_t vk) { return vk == 1 || vk == 2 || (vk >= 4 && vk <= 6); }

void TecladoHook::rompePalabra(bool nuevaPalabra) {
  Form1& f = k_.form1;
  f.nUltCar = 0;
  f.lVocIni = false;
  if (nuevaPalabra) f.lInicio = true;
  inicioPalabra_ = pantalla_.size();
  elision_ = false;
  f.cUltima.clear();
  f.cBorraUltima.clear();
  f.cNueva.clear();
  k_.diccionario().cadenaGriego(0, false);
}

void TecladoHook::clicRaton() {
  Form1& f = k_.form1;
  olvidaPantalla();
  inicioFrase = false;
  rompePalabra(true);
  // The digits of a numeral run are somewhere behind the old caret.
  f.cNumGri.clear();
  f.cNumBor.clear();
}

void TecladoHook::olvidaPantalla() {
  pantalla_.clear();
  inicioPalabra_ = 0;
}

void TecladoHook::anadeUnidad(Unidad u) {
  // Corrections reach back a few characters at most; a long line need not be kept.
  constexpr size_t kMaximo = 256;
  if (pantalla_.size() >= kMaximo) {
    pantalla_.erase(pantalla_.begin(), pantalla_.begin() + kMaximo / 2);
    inicioPalabra_ = inicioPalabra_ > kMaximo / 2 ? inicioPalabra_ - kMaximo / 2 : 0;
  }
  pantalla_.push_back(std::move(u));
}

// The application has just received the press of a key the hook passed.
void TecladoHook::teclaPasada(uint32_t vk, bool esmayuscula, bool ctrlAlt) {
  if (ctrlAlt) return olvidaPantalla();  // a shortcut may do anything to the text
  if (vk == 8) {
    if (!pantalla_.empty()) pantalla_.pop_back();
    // The whole word deleted: the next letter starts one again.
    if (pantalla_.size() <= inicioPalabra_) k_.form1.lInicio = true;
    inicioPalabra_ = std::min(inicioPalabra_, pantalla_.size());
    return;
  }
  // Keys that type one character on any layout: digits, the keypad's
  // characters, the hyphen, plus/asterisk and the angle key.
  const bool unCaracter = (vk >= 48 && vk <= 57) || (vk >= 96 && vk <= 111 && vk != 108) ||
                          vk == 187 || vk == 189 || vk == kAngulos;
  if (!unCaracter) return olvidaPantalla();
  char32_t c = 0;
  if (vk >= 48 && vk <= 57 && !esmayuscula) c = U'0' + (vk - 48);
  if (vk >= 96 && vk <= 105) c = U'0' + (vk - 96);
  if (vk == kAngulos) c = esmayuscula ? U'>' : U'<';
  anadeUnidad({std::u16string(1, static_cast<char16_t>(c ? c : u'?')), c});
}

void TecladoHook::avanzaCandidato() {
  Form1& f = k_.form1;
  if (f.nCandidato < 35 && !f.cCandidatos[f.nCandidato + 1].empty())
    ++f.nCandidato;
  else
    f.nCandidato = 1;
  f.UniLabel1.caption = decimal(f.nCandidato) + u" " + f.cCandidatos[f.nCandidato];
  f.lblpal.caption = f.cInfoCandidatos[f.nCandidato];
}

void TecladoHook::imgcam_Click() {
  if (k_.form1.lPalabra) avanzaCandidato();
}

Verdict TecladoHook::tecladoProc(int nCode, const KeyEvent& event) {
  // 1. Not ours to judge.
  if (nCode != 0) return Verdict::Pass;
  Nivel nivel(profundidad_);

  // 2. The record is module state, but a message box or a waiting send below
  // may let further events overwrite it; decisions after those points use
  // this event's own copy.
  static_cast<KeyEvent&>(tTecla) = event;
  const uint32_t vk = event.vkCode;
  const bool suelta = esSuelta(event.flags);
  Form1& f = k_.form1;
  f.lblasc.caption = decimal(vk);

  // A box of this program that wants Latin text has the focus: its keys go
  // through untouched, and so does the release of a key pressed there even
  // if the box has closed meanwhile (Enter in a file dialog), or the
  // release would type Greek into the window behind it.
  const bool arriba = (event.flags & flag::kUp) != 0;
  const uint8_t indice = static_cast<uint8_t>(vk & 0xFF);
  if (arriba && pulsadasLatinas_[indice]) {
    pulsadasLatinas_[indice] = false;
    return Verdict::Pass;
  }
  if (lVentanaLatina_) {
    if (!arriba && !(event.flags & flag::kInjected)) pulsadasLatinas_[indice] = true;
    if (vk == kCapsLock && suelta && lModoGriego) tTecla.lBloqMay = !tTecla.lBloqMay;
    return Verdict::Pass;
  }

  // 3. Num Lock never toggles while the hook is installed.
  if (vk == kNumLock) return Verdict::Swallow;

  // 4. F1 is help only in Greek mode; in Latin mode it reaches the application.
  if (vk == kF1 && lModoGriego) {
    if (suelta) k_.sv.help->showTopic(10);
    return Verdict::Swallow;
  }
  // 5.-7. F2, F3 and F4 work in both modes.
  if (vk == kF2) {
    if (suelta) cambiaModo();
    return Verdict::Swallow;
  }
  if (vk == kF3) {
    if (suelta) {
      if (f.chkdic.value == 1) {
        f.chkdic.setValue(0);
      } else {
        f.chkdic.setValue(1);
        k_.diccionario().cadenaGriego(0, false);
      }
    }
    return Verdict::Swallow;
  }
  if (vk == kF4) {
    if (suelta) teclaVariante();
    return Verdict::Swallow;
  }

  // Mouse buttons: the caret may be anywhere now.
  if (esBotonRaton(vk)) {
    if (!(event.flags & flag::kUp)) clicRaton();
    return Verdict::Pass;
  }

  // 8. Latin mode: the engine types nothing, so it knows nothing of the text.
  if (!lModoGriego) {
    if (!esModificador(vk)) {
      olvidaPantalla();
      rompePalabra(false);
    }
    return Verdict::Pass;
  }

  // 9. The hook's own idea of Caps Lock, never read back from the platform.
  if (vk == kCapsLock && suelta) tTecla.lBloqMay = !tTecla.lBloqMay;

  // Modifiers only change the keys they are held over; releasing one in the
  // middle of a word (capital K, then s) must not end the word.
  if (esModificador(vk)) return Verdict::Pass;

  // 10. Caps Lock acts as a held Shift on every key. A key's case and its
  // being a shortcut are those of its press: Ctrl let go before the key (or
  // Shift just before it) does not turn a shortcut into a letter.
  bool esmayuscula = k_.sv.keys->shiftDown() || tTecla.lBloqMay;
  bool ctrlAlt = k_.sv.keys->ctrlDown() || (event.flags & flag::kAltDown) != 0;
  if (!(event.flags & flag::kInjected) && vk < pulsaciones_.size()) {
    Pulsacion& p = pulsaciones_[vk];
    if (!(event.flags & flag::kUp)) {
      p = {true, esmayuscula, ctrlAlt};  // every autorepeat press, as an editor does
    } else if (p.abajo) {
      esmayuscula = p.mayuscula;
      ctrlAlt = ctrlAlt || p.atajo;
      p = {};
    }
  }

  // 11. A pending phonetic mark takes the next release, whatever the key.
  if (f.nCan + f.nApe != 0 && suelta) {
    salidaFonetica(static_cast<int32_t>(vk), esmayuscula);
    f.nApe = 0;
    f.nCan = 0;
    f.mnulat.checked = false;
    f.mnufonabi.checked = false;
    f.mnufonbre.checked = false;
    f.mnufoncer.checked = false;
    f.mnufonlar.checked = false;
    return Verdict::LetThrough;
  }

  // 12. The change-form key steps through the candidates and is never typed.
  if (vk == kCambiaForma) {
    if (suelta && f.lPalabra) avanzaCandidato();
    return Verdict::Swallow;
  }

  // 13. Taken keys: swallowed at the press (every autorepeat too), composed
  // at the release.
  if (esTeclaGriega(static_cast<int32_t>(vk), esmayuscula) && !ctrlAlt) {
    if (!suelta) return Verdict::Swallow;
    sueltaLetra(static_cast<int32_t>(vk), esmayuscula);
    return Verdict::Pass;
  }

  // 14. Everything else reaches the application, and ends the word: nothing
  // the engine corrects later may reach back over it.
  if (suelta) {
    if (f.mnuang.checked && vk == kAngulos) comillaAngular(esmayuscula);
    int32_t tecla = static_cast<int32_t>(vk);
    bool may = esmayuscula || ctrlAlt;
    // A digit joins the numeral run; any other key ends it, and since the
    // application has already typed that key, the digits then stay as typed.
    k_.numerus().hazNumero(tecla, may);
  } else if (!(event.flags & flag::kInjected)) {
    teclaPasada(vk, esmayuscula, ctrlAlt);
  }
  if (!(event.flags & flag::kInjected)) {
    // A caret move leaves the place of the next word unknown: no sentence start.
    if (vk == 8 || vk == 9 || (vk >= 33 && vk <= 40)) inicioFrase = false;
    const bool nueva = vk == 13 || vk == 9 || (vk >= 33 && vk <= 40) ||
                       (suelta && f.mnuang.checked && vk == kAngulos);
    rompePalabra(nueva);
  }
  return Verdict::Pass;
}

}  // namespace kalyxon
