#include "greek/compositor.h"

#include "app/kalyxon.h"
#include "codes/codigos.h"
#include "greek/alfabeto.h"
#include "keyboard/diacriticos.h"
#include "keyboard/tecladohook.h"
#include "util/sendkeys.h"
#include "util/utf.h"

#ifdef KALYXON_HAVE_ICU
#include <unicode/uchar.h>
#endif

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

// The capital of a marked vowel (ᾰ Ᾰ, ῑ Ῑ, ā Ā...).
char32_t mayuscula(char32_t c) {
#ifdef KALYXON_HAVE_ICU
  return static_cast<char32_t>(u_toupper(static_cast<UChar32>(c)));
#else
  if ((c >= 0x1FB0 && c <= 0x1FB1) || (c >= 0x1FD0 && c <= 0x1FD1) || (c >= 0x1FE0 && c <= 0x1FE1))
    return c + 8;
  return c;
#endif
}

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
    // The apostrophe key types the elision mark, so that ἀπ’ and δ’ can be typed.
    if (codigo == 219) { codigo = 0x2019; may = false; }
  }
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
    const RegSonido* fila = alfa.sonidoPorMarcas(nFon, f.nAcc, f.nEsp, nMay, f.nDie, f.nIot);
    // Marks the letter cannot carry (an acute on κ) are dropped rather than
    // typing the key's code in place of the letter.
    if (!fila) fila = alfa.sonidoPorMarcas(nFon, 0, 0, nMay, 0, 0);
    if (fila) resultado = fila->coduni;
  } else if (codigo == 191) {
    // A key with no Greek meaning types what the Spanish keyboard shows on it.
    resultado = may ? u'Ç' : u'ç';
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
    const int32_t antes = tecla;
    if (f.nUltCar == kK && f.mnuks.checked) tecla = kX;
    else if (f.nUltCar == kP && f.mnups.checked) tecla = kY;
    // The pair takes the case of its first letter: capital K then s is Ξ.
    if (tecla != antes) may = may || f.lMayUlt;
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
    // The vowel keeps its case: capital Ω then ι is ῼ.
    may = f.lMayUlt;
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
  if (const RegFonetica* fila = alfa.fonetica(codfon, f.nApe, f.nCan)) {
    // The table holds the small letters; Shift gives the capital (Ᾰ Ᾱ Ῐ Ῑ Ῠ Ῡ).
    char32_t c = static_cast<char32_t>(fila->coduni);
    if (esmayuscula != 0) c = mayuscula(c);
    return daTexto(util::fromCodePoint(c));
  }

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

std::u16string Compositor::daTexto(std::u16string_view texto) {
  const bool codigo = k_.codigos().enModoCodigo();
  const bool java = k_.form1.mnucodjav.checked;
  std::u16string r;
  for (size_t i = 0; i < texto.size(); ++i) {
    char32_t c = texto[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < texto.size() && texto[i + 1] >= 0xDC00 &&
        texto[i + 1] <= 0xDFFF)
      c = 0x10000 + ((c - 0xD800) << 10) + (texto[++i] - 0xDC00);
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) continue;
    const auto cp = static_cast<int32_t>(c);
    if (codigo)
      r += java ? Codigos::formaJava(cp) : Codigos::formaHTM(cp);
    else
      r += sendkeys::escape(util::fromCodePoint(c));
  }
  return r;
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
