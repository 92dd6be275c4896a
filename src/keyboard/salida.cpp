// What the keyboard hook sends to the foreground application: the text of a
// released letter with the word record kept for corrections, the phonetic
// mark, the variant key, the font-switch macro and the angle quotes. Every
// text goes out in the keystroke notation through platform::KeySender.
#include <exception>
#include <string>

#include "app/kalyxon.h"
#include "dictionary/diccionario.h"
#include "greek/compositor.h"
#include "greek/numerus.h"
#include "keyboard/diacriticos.h"
#include "keyboard/tecladohook.h"
#include "util/cadgen.h"

namespace kalyxon {

namespace {

constexpr std::u16string_view kBksp = u"{BKSP}";

// Lower case as the word record needs it: the record holds the characters of
// virtual-key codes, that is ASCII capitals and a few Latin-1 characters.
char16_t minuscula(char16_t c) {
  if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
  return c;
}

std::u16string minusculas(std::u16string s) {
  for (auto& c : s) c = minuscula(c);
  return s;
}

}  // namespace

void TecladoHook::envia(const std::u16string& texto, bool espera) {
  if (texto.empty()) return;
  // Every key of the desktop waits for this procedure: a sender that cannot
  // type the text (a target program's malformed macro, say) must not take
  // the hook down with it. Nothing is reported.
  try {
    k_.sv.sender->send(texto, espera);
  } catch (const std::exception&) {
  }
}

// The target program's macro with every "*" standing for the font name.
std::u16string TecladoHook::macroFuente(const std::u16string& fuente) {
  // A copy: the profile itself keeps its "*". The replacement lets pending
  // window messages (and so key events) run between its searches.
  std::u16string macro = k_.form1.cParametros;
  return CadGen::reemplaza(macro, u"*", fuente, true, true, k_.sv.pump);
}

// Letter release: the act-release of a taken key in Greek mode with neither
// Ctrl nor Alt held. Nothing is read from tTecla here: a message box below
// may let other key events overwrite it.
void TecladoHook::sueltaLetra(int32_t tecla, bool esmayuscula) {
  Form1& f = k_.form1;
  const int n = esmayuscula ? 1 : 0;
  const bool separador = esSeparador(tecla, esmayuscula);
  std::u16string s;

  const bool diacritico = esDiacritico(tecla, esmayuscula);
  if (diacritico) k_.diacriticos().ponDiacritico(tecla, esmayuscula);

  // A dead key outside rectify mode only arms its mark; it is never a
  // separator, so straight to the word record.
  if (!diacritico || f.lRectifica) {
    if (f.chkdic.value == 1) {
      if (k_.sv.keys->capsLockState() == 1) {
        k_.sv.messageBox->show(
            u"La tecla de bloqueo de mayúsculas está pulsada e impide el funcionamiento del "
            u"diccionario",
            platform::Buttons::Ok);
      }
      if (f.lPalabra && f.noDiacritico && separador && f.nCandidato < f.cCandidatos.size())
        s = f.cBorraCad + k_.diccionario().candidatoFinal({tecla == 32, inicioFrase});
    }
    // Read again: whatever ran while the box was open may have changed it.
    if (f.chkdic.value == 1 && !f.lPalabra && f.noDiacritico && separador) {
      s = k_.compositor().daGriego(tecla, n);
    } else {
      if (!lFuenteEnviada) {
        // The first letter after ticking chkgri switches the application to
        // the Greek font; a candidate replacement composed above is dropped.
        if (f.cCambiaFuentes == u"SI") s = macroFuente(f.cFuenteGriego);
        lFuenteEnviada = true;
      }
      s += k_.compositor().daGriego(tecla, n);
      f.cNueva += s;
    }

    if (separador) {
      const std::u16string palabra = minusculas(f.cUltima);
      if (palabra == u"puta")
        s = f.cBorraUltima + u"¡Sin ofender!";
      else if (palabra == u"kabron")
        s = f.cBorraUltima + u"¡shhhhhhh!";
    }

    if (f.mnunum.checked) {
      int32_t cero = 0;
      bool may = esmayuscula;
      std::u16string numeral = k_.numerus().hazNumero(cero, may);
      if (!numeral.empty()) s = numeral;
    }
    envia(s, false);
  }

  // Word record.
  if (separador) {
    // Full stop, raised dot, question mark (shifted comma or 219), line end.
    if (tecla != 32)
      inicioFrase = tecla == 190 || tecla == 13 || (esmayuscula && (tecla == 188 || tecla == 219));
    k_.diccionario().cadenaGriego(0, false);
    f.cUltima.clear();
    f.cBorraUltima.clear();
    f.cNueva.clear();
  } else {
    f.cUltima += static_cast<char16_t>(tecla);
    f.cBorraUltima += kBksp;
    if (f.chkdic.value == 1 && !diacritico) k_.diccionario().cadenaGriego(tecla, esmayuscula);
  }

  if (f.mnunum.checked) {
    int32_t t = tecla;
    bool may = esmayuscula;
    k_.numerus().hazNumero(t, may);
  }
}

void TecladoHook::salidaFonetica(int32_t tecla, bool esmayuscula) {
  envia(k_.compositor().daFonetica(tecla, esmayuscula ? 1 : 0), false);
}

// F4: the variant of the last letter, or rectify mode.
void TecladoHook::teclaVariante() {
  Form1& f = k_.form1;
  if (f.lRectifica) {
    envia(std::u16string(kBksp) + u"\u03F5", false);
    f.lRectifica = false;
    return;
  }
  std::u16string letra;
  if (!f.cUltima.empty()) letra.assign(1, minuscula(f.cUltima.back()));
  if (letra.size() == 1 && std::u16string_view(u"bqkrfsc").find(letra[0]) != std::u16string_view::npos) {
    std::u16string v = k_.compositor().hazOtra(letra);
    f.lblrec.caption = u"Var.";
    envia(v, false);
    return;
  }
  f.lRectifica = true;
  f.lblrec.caption = u"Rec.";
}

// F2: Greek and Latin in turn, with the target program's font following.
void TecladoHook::cambiaModo() {
  Form1& f = k_.form1;
  std::u16string fuente;
  if (lModoGriego) {
    lModoGriego = false;
    f.mnufonabi.checked = false;
    f.mnufoncer.checked = false;
    f.mnufonlar.checked = false;
    f.mnufonbre.checked = false;
    f.nApe = 0;
    f.nCan = 0;
    f.chkgri.enabled = false;
    f.chkgri.tooltip = u"Pulsa F2 para salir de griego";
    fuente = f.cFuenteNormal;
  } else {
    lModoGriego = true;
    f.chkgri.enabled = true;
    f.chkgri.tooltip.clear();
    fuente = f.cFuenteGriego;
  }
  // The macro is typed before the hook answers, so the font is switched
  // before the next key reaches the application.
  if (f.cCambiaFuentes == u"SI") envia(macroFuente(fuente), true);
}

// Key 226 has already typed < or > in the application: replace it.
void TecladoHook::comillaAngular(bool esmayuscula) {
  envia(std::u16string(kBksp) + (esmayuscula ? u"\u00BB" : u"\u00AB"), false);
}

}  // namespace kalyxon
