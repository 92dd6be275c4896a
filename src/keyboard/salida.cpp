// What the keyboard hook sends to the foreground application: the text of a
// released letter with the word record kept for corrections, the phonetic
// mark, the variant key, the font-switch macro and the angle quotes. Every
// text goes out in the keystroke notation through platform::KeySender.
#include <algorithm>
#include <exception>
#include <string>

#include "app/kalyxon.h"
#include "dictionary/diccionario.h"
#include "greek/compositor.h"
#include "greek/numerus.h"
#include "keyboard/diacriticos.h"
#include "keyboard/tecladohook.h"
#include "codes/codigos.h"
#include "util/cadgen.h"
#include "util/sendkeys.h"
#include "util/utf.h"

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
  // type the text must not take the hook down with it.
  try {
    k_.sv.sender->send(texto, espera);
  } catch (const std::exception&) {
  }
}

std::u16string TecladoHook::borraPalabra() const {
  std::u16string s;
  for (size_t i = inicioPalabra_; i < pantalla_.size(); ++i) s += kBksp;
  return s;
}

namespace {

bool esHex(char32_t c) { return (c >= U'0' && c <= U'9') || (c >= U'A' && c <= U'F') || (c >= U'a' && c <= U'f'); }

size_t caracteres(std::u16string_view s) {
  size_t n = 0;
  for (char16_t c : s)
    if (c < 0xDC00 || c > 0xDFFF) ++n;
  return n;
}

}  // namespace

// Composed text is a run of characters and Backspaces. The characters are
// grouped into what they stand for (in code mode "&#955;" or "\u03BB" is one
// λ), and each Backspace deletes one such unit, in as many keystrokes as it
// took to type. A Backspace with nothing of the engine's before the caret is
// dropped: the engine never deletes what it did not type.
void TecladoHook::enviaTexto(const std::u16string& texto) {
  if (texto.empty()) return;
  const sendkeys::ParseResult r = sendkeys::tryParse(texto);
  if (!r.ok()) return;
  const bool codigo = k_.codigos().enModoCodigo();
  const auto& a = r.actions;
  auto caracter = [&](size_t i, char32_t c) {
    return i < a.size() && a[i].isChar() && a[i].mods == 0 && a[i].ch == c;
  };
  std::u16string salida;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].key == sendkeys::Key::Backspace && a[i].mods == 0) {
      if (pantalla_.empty()) continue;
      for (size_t n = caracteres(pantalla_.back().texto); n > 0; --n) salida += kBksp;
      pantalla_.pop_back();
      inicioPalabra_ = std::min(inicioPalabra_, pantalla_.size());
      continue;
    }
    if (!a[i].isChar() || a[i].mods != 0) {
      // A named key or a combination: what it does to the text is unknown.
      salida += sendkeys::format({a[i]});
      olvidaPantalla();
      continue;
    }
    Unidad u;
    if (codigo && caracter(i, U'&') && caracter(i + 1, U'#')) {
      std::u16string numero;
      size_t j = i + 2;
      while (j < a.size() && j < i + 10 && a[j].isChar() && a[j].ch >= U'0' && a[j].ch <= U'9')
        numero += static_cast<char16_t>(a[j++].ch);
      if (caracter(j, U';') && !numero.empty()) {
        u.texto = u"&#" + numero + u";";
        u.car = static_cast<char32_t>(std::stoul(std::string(numero.begin(), numero.end())));
        i = j;
      }
    } else if (codigo && caracter(i, U'\\') && caracter(i + 1, U'u')) {
      std::u16string hex;
      size_t j = i + 2;
      while (j < a.size() && j < i + 6 && a[j].isChar() && a[j].mods == 0 && esHex(a[j].ch))
        hex += static_cast<char16_t>(a[j++].ch);
      if (!hex.empty()) {
        u.texto = u"\\u" + hex;
        u.car = static_cast<char32_t>(std::stoul(std::string(hex.begin(), hex.end()), nullptr, 16));
        i = j - 1;
      }
    }
    if (u.texto.empty()) {
      u.car = a[i].ch;
      u.texto = util::fromCodePoint(a[i].ch);
    }
    salida += sendkeys::escape(u.texto);
    anadeUnidad(std::move(u));
  }
  envia(salida, false);
}

void TecladoHook::enviaMacro(const std::u16string& macro, bool espera) {
  if (macro.empty()) return;
  try {
    sendkeys::parse(macro);
  } catch (const sendkeys::SendKeysError&) {
    // Said once for each wrong macro of the profile, not at every F2; the
    // letter typed with it is sent all the same.
    const std::u16string& perfil = k_.form1.cParametros;
    if (perfil != macroMala_) {
      macroMala_ = perfil;
      k_.sv.messageBox->show(
          u"La macro de cambio de fuente del programa no es válida y no se envía:\r\n" + perfil,
          platform::Buttons::Ok);
    }
    return;
  }
  olvidaPantalla();
  envia(macro, espera);
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
  const bool diacritico = esDiacritico(tecla, esmayuscula);

  // Rectify mode waits for a dead key. Any other key is typed as usual and
  // disarms it: a letter is never swallowed by a correction nobody made.
  if (f.lRectifica && !diacritico) {
    f.lRectifica = false;
    f.lblrec.caption.clear();
  }
  if (diacritico) k_.diacriticos().ponDiacritico(tecla, esmayuscula);

  // A dead key outside rectify mode only arms its mark.
  if (!diacritico || f.lRectifica) {
    std::u16string s;
    if (f.chkdic.value == 1) {
      if (k_.sv.keys->capsLockState() == 1) {
        k_.sv.messageBox->show(
            u"La tecla de bloqueo de mayúsculas está pulsada e impide el funcionamiento del "
            u"diccionario",
            platform::Buttons::Ok);
      }
      // The candidate is data: typed as characters, replacing only the word
      // as it stands on screen.
      if (f.lPalabra && f.noDiacritico && separador && f.nCandidato < f.cCandidatos.size() &&
          !f.cCandidatos[f.nCandidato].empty())
        s = borraPalabra() +
            k_.compositor().daTexto(k_.diccionario().candidatoFinal({tecla == 32, inicioFrase}) +
                                    (elision_ ? u"\u2019" : u""));
    }
    // Read again: whatever ran while the box was open may have changed it.
    if (f.chkdic.value == 1 && !f.lPalabra && f.noDiacritico && separador) {
      s = k_.compositor().daGriego(tecla, n);
    } else {
      if (!lFuenteEnviada) {
        // The first letter after ticking chkgri switches the application to
        // the Greek font. The macro goes out on its own first, so that a
        // wrong one costs nothing of what this key types.
        lFuenteEnviada = true;
        if (f.cCambiaFuentes == u"SI") enviaMacro(macroFuente(f.cFuenteGriego), false);
      }
      s += k_.compositor().daGriego(tecla, n);
      f.cNueva += s;
    }

    if (separador) {
      const std::u16string palabra = minusculas(f.cUltima);
      if (palabra == u"puta")
        s = borraPalabra() + u"¡Sin ofender!";
      else if (palabra == u"kabron")
        s = borraPalabra() + u"¡shhhhhhh!";
    }

    // A pending numeral replaces the digits; this key's own text follows it.
    if (f.mnunum.checked) {
      int32_t t = tecla;
      bool may = esmayuscula;
      s = k_.numerus().hazNumero(t, may) + s;
    }
    enviaTexto(s);
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
    inicioPalabra_ = pantalla_.size();
    elision_ = false;
  } else {
    f.cUltima += static_cast<char16_t>(tecla);
    f.cBorraUltima += kBksp;
    if (f.chkdic.value == 1 && !diacritico) {
      // Elided forms are stored without their mark, under the letters typed
      // before it: the elision mark keeps the candidates of those letters
      // and the replacement puts the mark back. A letter after the mark
      // makes a word the dictionary cannot hold: it is left as typed.
      if (tecla == 219 && !esmayuscula && !elision_) {
        elision_ = true;
      } else if (elision_) {
        f.lPalabra = false;
      } else {
        k_.diccionario().cadenaGriego(tecla, esmayuscula);
      }
    }
  }
}

void TecladoHook::salidaFonetica(int32_t tecla, bool esmayuscula) {
  enviaTexto(k_.compositor().daFonetica(tecla, esmayuscula ? 1 : 0));
}

namespace {

// The key letter whose variants a character on screen has (its own variants
// included, so that F4 again steps on), or 0.
char16_t letraVariante(char32_t c) {
  switch (c) {
    case U'β': case U'Β': case 0x3D0: return u'b';
    case U'θ': case U'Θ': case 0x3D1: case 0x3D9: case 0x3D8: return u'q';
    case U'φ': case U'Φ': case 0x3D5: return u'f';
    case U'ρ': case U'Ρ': case 0x3F1: return u'r';
    case U'σ': case U'Σ': case 0x3F2: return u's';
    case U'ς': case 0x3DB: return u'c';
    case U'κ': case U'Κ': case 0x3F0: case 0x3D7: return u'k';
    default: return 0;
  }
}

}  // namespace

// F4: the variant of the letter before the caret, or rectify mode. It acts on
// what is on screen: after ks gave ξ there is no sigma to vary, and after a
// Backspace the deleted letter is gone.
void TecladoHook::teclaVariante() {
  Form1& f = k_.form1;
  if (f.lRectifica) {
    enviaTexto(std::u16string(kBksp) + u"\u03F5");
    f.lRectifica = false;
    f.lblrec.caption.clear();
    return;
  }
  const char16_t l = pantalla_.empty() ? 0 : letraVariante(pantalla_.back().car);
  if (l != 0) {
    std::u16string letra(1, l);
    std::u16string v = k_.compositor().hazOtra(letra);
    f.lblrec.caption = u"Var.";
    enviaTexto(v);
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
  if (f.cCambiaFuentes == u"SI") enviaMacro(macroFuente(fuente), true);
  rompePalabra(false);
}

// Key 226 has already typed < or > in the application: replace it.
void TecladoHook::comillaAngular(bool esmayuscula) {
  enviaTexto(std::u16string(kBksp) + (esmayuscula ? u"\u00BB" : u"\u00AB"));
}

}  // namespace kalyxon
