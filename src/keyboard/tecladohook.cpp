#include "keyboard/tecladohook.h"

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
    case 32: case 56: case 57: case 186: case 188: case 190: case 191:
    case 192: case 219: case 221: case 222: case 13:
      return true;
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
  }
}

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

void TecladoHook::cortaPalabra(uint32_t vkCode) {
  if (vkCode < 42) k_.diccionario().cadenaGriego(0, false);
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

  // 8. Latin mode: only the word break.
  if (!lModoGriego) {
    cortaPalabra(vk);
    return Verdict::Pass;
  }

  // 9. The hook's own idea of Caps Lock, never read back from the platform.
  if (vk == kCapsLock && suelta) tTecla.lBloqMay = !tTecla.lBloqMay;

  // 10. Caps Lock acts as a held Shift on every key.
  const bool esmayuscula = k_.sv.keys->shiftDown() || tTecla.lBloqMay;
  const bool ctrlAlt = k_.sv.keys->ctrlDown() || (event.flags & flag::kAltDown) != 0;

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
    cortaPalabra(vk);
    return Verdict::Pass;
  }

  // 14. Everything else reaches the application.
  if (suelta) {
    f.nUltCar = 0;
    if (f.mnuang.checked && vk == kAngulos) {
      comillaAngular(esmayuscula);
      f.lInicio = true;
    }
    if (vk == 13 || vk == 9) f.lInicio = true;
    if (vk == 8 || vk == 9 || (vk >= 33 && vk <= 40)) inicioFrase = false;
    int32_t tecla = static_cast<int32_t>(vk);
    bool may = esmayuscula;
    k_.numerus().hazNumero(tecla, may);
  }
  cortaPalabra(vk);
  return Verdict::Pass;
}

}  // namespace kalyxon
