#include "greek/compositor.h"

#include "app/kalyxon.h"
#include "codes/codigos.h"
#include "greek/alfabeto.h"
#include "keyboard/diacriticos.h"
#include "keyboard/tecladohook.h"

namespace kalyxon {

namespace {

constexpr int32_t kSigmaFinal = 962;
constexpr char16_t kBksp[] = u"{BKSP}";

// Virtual-key codes the composer tests.
enum : int32_t {
  kA = 65, kC = 67, kH = 72, kI = 73, kJ = 74, kK = 75, kP = 80, kR = 82, kS = 83, kU = 85,
  kV = 86, kW = 87, kX = 88, kY = 89,
};

bool esSeparador(int32_t t, bool may) {
  switch (t) {
    case 32: case 188: case 190: case 226: case 189: case 13: return true;
    case 219: return may;
    default: return false;
  }
}

bool esTeclaEspiritu(int32_t t) {
  switch (t) {
    case kW: case kH: case kA: case 69: case kI: case 79: case kU: case kR: return true;
    default: return false;
  }
}

bool cierraDiptongo(int32_t t) { return t == kI || t == kU; }
bool esVocalLarga(int32_t t) { return t == kW || t == kH; }

std::u16string decimal(int64_t v) {
  std::string s = std::to_string(v);
  return std::u16string(s.begin(), s.end());
}

}  // namespace

int32_t Compositor::buscaGriego(int32_t tecla, bool esmayuscula, bool noBorrar) {
  Form1& f = k_.form1;
  const Alfabeto& alfa = k_.alfabeto();
  bool may = esmayuscula;
  int32_t codigo = tecla;

  // Symbol keys look up another code; the checks run in order, each on the
  // value the one before left.
  if (may) {
    if (codigo == 54) codigo = 983;
    if (codigo == 221) codigo = 984;
    if (codigo == 219) { codigo = 59; may = false; }
    if (codigo == 190) codigo = 903;
    if (codigo == 188) { codigo = 59; may = false; }
    if (codigo == 52) { codigo = 34; may = false; }
    if (codigo == 53) { codigo = 1013; may = false; }
  } else {
    if (codigo == 221) codigo = 985;
    if (codigo == 190) codigo = 46;
    if (codigo == 188) codigo = 44;
    if (codigo == 219) codigo = 55;
  }
  if (codigo == 55) may = false;
  if (codigo == kJ) codigo = 99;
  if (codigo == kV) codigo = 988;

  int32_t resultado = codigo;
  uint8_t nMay = f.nMay;
  uint8_t nFon = f.nFon;
  const RegFonema* fonema = nullptr;
  if (const RegSonido* letra = alfa.sonidoPorCodlet(codigo)) {
    nMay = may ? 1 : 0;
    nFon = letra->codfon;
    fonema = alfa.fonema(nFon);
    if (const RegSonido* fila = alfa.sonidoPorMarcas(nFon, f.nAcc, f.nEsp, nMay, f.nDie, f.nIot))
      resultado = fila->coduni;
  }
  // A probe is invisible: the composer asks it for the vowel it is about to
  // type without the automatic breathing, and then makes the real lookup.
  if (noBorrar) return resultado;

  f.lblasc.caption = decimal(tecla);
  if (fonema) f.lblfon.caption = fonema->nomfon;
  f.nMay = nMay;
  f.nFon = nFon;
  f.nAccUlt = f.nAcc;
  f.nDieUlt = f.nDie;
  f.nEspUlt = f.nEsp;
  f.nMayUlt = f.nMay;
  f.nFonUlt = f.nFon;
  f.nIotUlt = f.nIot;
  f.lMayUlt = may;
  f.nMay = f.nAcc = f.nDie = f.nEsp = f.nIot = 0;
  k_.diacriticos().refrescaIndicadores();
  return resultado;
}

std::u16string Compositor::daGriego(int32_t tecla, int esmayuscula) {
  Form1& f = k_.form1;
  Codigos& cod = k_.codigos();
  bool may = esmayuscula != 0;
  std::u16string r;

  // Rectify mode with no letter to rectify (nothing typed since the last
  // word break) would delete a character that is not ours: disarm instead.
  if (f.lRectifica && f.nUltCar == 0) {
    f.lRectifica = false;
    f.lblrec.caption.clear();
    return r;
  }

  const bool separador = esSeparador(tecla, may);

  // k+s and p+s. Without the option the S stays an S (κσ, πσ): only the
  // ticked option turns the pair into ξ or ψ.
  bool pulsadaS = false;
  if (tecla == kS) {
    pulsadaS = true;
    if (f.nUltCar == kK && f.mnuks.checked) tecla = kX;
    else if (f.nUltCar == kP && f.mnups.checked) tecla = kY;
  }

  // Long vowel + iota: the vowel is typed again with the iota subscript and
  // the marks it had.
  bool parIota = false;
  if (f.mnuiota.checked && tecla == kI && esVocalLarga(f.nUltCar)) {
    parIota = true;
    f.nIot = 1;
    f.nAcc = f.nAccUlt;
    f.nDie = f.nDieUlt;
    f.nEsp = f.nEspUlt;
    f.nMay = f.nMayUlt;
    tecla = f.nUltCar;
  }

  // Rectify mode: the last letter again, with the marks it has now.
  if (f.lRectifica) {
    f.nAcc = f.nAccUlt;
    f.nDie = f.nDieUlt;
    f.nEsp = f.nEspUlt;
    f.nMay = f.nMayUlt;
    f.nIot = f.nIotUlt;
    tecla = f.nUltCar;
    may = f.lMayUlt;
    f.lblrec.caption.clear();
  }

  const bool teclaEspiritu = esTeclaEspiritu(tecla);
  const bool cierra = cierraDiptongo(tecla);

  if (f.lVocIni) f.lInicio = true;

  // Automatic breathing on the first vowel (or rho) of a word; when the next
  // key closes a diphthong the breathing moves to it (step below).
  bool vocalInicial = false;
  if (f.mnuesp.checked && teclaEspiritu && f.nDie == 0 && f.lInicio) {
    if (!f.lVocIni) {
      if (tecla != kR) {
        vocalInicial = true;
        f.nUniIni = buscaGriego(tecla, may, true);
      }
      if (f.nEsp == 0) f.nEsp = (tecla == kU || tecla == kR) ? 2 : 1;
    } else if (tecla != kR && cierra && f.nEsp == 0) {
      f.nEsp = 1;
    }
  }

  int32_t codigo = 0;
  if (tecla == kC) {
    r = cod.daRespuesta(kSigmaFinal);
  } else {
    codigo = buscaGriego(tecla, may, false);
    r = cod.daRespuesta(codigo);
  }

  if (f.lVocIni && cierra && !f.lRectifica && !parIota && tecla != kR)
    r = kBksp + cod.daRespuesta(f.nUniIni) + r;

  f.lbluni.caption = decimal(codigo);
  f.lblhex.caption = Codigos::daHex(codigo);

  if (separador) {
    f.lInicio = true;
    if (f.mnus.checked && f.nUltCar == kS) r = kBksp + cod.daRespuesta(kSigmaFinal) + r;
  } else {
    f.lInicio = false;
    if (pulsadaS && ((f.mnuks.checked && f.nUltCar == kK) || (f.mnups.checked && f.nUltCar == kP)))
      r = kBksp + r;
  }

  if (parIota || f.lRectifica) {
    r = kBksp + r;
    f.lRectifica = false;
  }

  f.lVocIni = vocalInicial;
  f.nUltCar = tecla;
  return r;
}

std::u16string Compositor::daFonetica(int32_t tecla, int esmayuscula) {
  Form1& f = k_.form1;
  const Alfabeto& alfa = k_.alfabeto();
  if (f.nCan + f.nApe == 0) return {};

  int codfon = 0;
  if (f.mnulat.checked) {
    codfon = tecla & 0xFF;
  } else if (const RegSonido* letra = alfa.sonidoPorCodlet(tecla)) {
    codfon = letra->codfon;
  }
  if (const RegFonetica* fila = alfa.fonetica(codfon, f.nApe, f.nCan))
    return std::u16string(1, static_cast<char16_t>(fila->coduni));

  // No marked form for this key. The hook swallowed the press of a key it
  // takes, so that key must still type what it types without the mark: its
  // Latin letter with "Latín", otherwise its ordinary composition. A dead key
  // or a key the hook lets through (its character is already typed) gives
  // nothing.
  bool may = esmayuscula != 0;
  if (!TecladoHook::esTeclaGriega(tecla, may) || TecladoHook::esDiacritico(tecla, may)) return {};
  if (f.mnulat.checked && tecla >= kA && tecla <= 90)
    return std::u16string(1, static_cast<char16_t>(may ? tecla : tecla + 32));
  return daGriego(tecla, esmayuscula);
}

std::u16string Compositor::hazOtra(std::u16string& letra) {
  int16_t& ult = k_.form1.nOtraUlt;
  int16_t cp = 0;
  if (letra == u"b") cp = 976;
  else if (letra == u"q") cp = ult == 977 ? 985 : ult == 985 ? 984 : 977;
  else if (letra == u"f") cp = 981;
  else if (letra == u"r") cp = 1009;
  else if (letra == u"s") cp = 1010;
  else if (letra == u"c") cp = 987;
  else if (letra == u"k") cp = ult == 1008 ? 983 : 1008;
  // The caller only asks for the seven letters above; anything else gives a
  // deletion without a replacement, which would lose a letter: give nothing.
  if (cp == 0) return {};
  ult = cp;
  return kBksp + std::u16string(1, static_cast<char16_t>(cp));
}

namespace {

// One of a pair of exclusive menu items: the armed value toggles, the other
// item of the pair is unticked.
void conmuta(uint8_t& miembro, uint8_t valor, vm::MenuItem& item, vm::MenuItem& otro) {
  if (miembro != valor) {
    miembro = valor;
    item.checked = true;
    otro.checked = false;
  } else {
    miembro = 0;
    item.checked = false;
  }
}

}  // namespace

void Compositor::mnufonbre_Click() {
  conmuta(k_.form1.nCan, 1, k_.form1.mnufonbre, k_.form1.mnufonlar);
}
void Compositor::mnufonlar_Click() {
  conmuta(k_.form1.nCan, 2, k_.form1.mnufonlar, k_.form1.mnufonbre);
}
void Compositor::mnufonabi_Click() {
  conmuta(k_.form1.nApe, 1, k_.form1.mnufonabi, k_.form1.mnufoncer);
}
void Compositor::mnufoncer_Click() {
  conmuta(k_.form1.nApe, 2, k_.form1.mnufoncer, k_.form1.mnufonabi);
}

}  // namespace kalyxon
