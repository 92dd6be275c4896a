#include "app/frmini.h"

#include <string>

#include "app/proyecto.h"

namespace kalyxon {

Frmini::Frmini() {
  ventana.caption = u"Kalyxon";
  ventana.width = 6735;
  ventana.height = 5310;
  lblnom.caption = u"Kalyxon";
  lblweb.caption = std::u16string(proyecto::kIdentidad);
  imglog.picture = "kalyxon.png";
  cmdace.caption = u"Aceptar";
  cmdcan.caption = u"Cancelar";
}

std::u16string textoVersion() {
  auto n = [](int v) {
    std::u16string s;
    for (char c : std::to_string(v)) s.push_back(static_cast<char16_t>(c));
    return s;
  };
  return n(KALYXON_VERSION_MAJOR) + u"." + n(KALYXON_VERSION_MINOR) + u"." +
         n(KALYXON_VERSION_PATCH);
}

std::u16string textoAviso() {
  std::u16string t;
  t += u"Este programa permite escribir de una forma cómoda utilizando";
  t += u" cualquier fuente UNICODE con soporte para griego politónico. Al activarlo PODRÍA";
  t += u" OCASIONAR ALGÚN FUNCIONAMIENTO IRREGULAR del teclado que desaparecerá al desactivarlo.";
  t += u" En casos excepcionales podría ser necesario reiniciar el equipo. Los autores no se hacen";
  t += u" responsables de estas anomalías. Los acentos funcionan con las";
  t += u" teclas de acento del teclado español y los espíritus con los";
  t += u" paréntesis. El programa cambia la sigma final, coloca";
  t += u" espíritu en las vocales iniciales y cuenta con un diccionario para la";
  t += u" autocorrección. PULSA F1 PARA AYUDA. Pulsando F2 se cambia del alfabeto griego al latino y";
  t += u" viceversa sin cambiar de aplicación. La sigma final automática viene activada; se quita"
       u" y se pone en el menú Opciones > sigma final.";
  t += u"\r\n\r\n";
  t += u"Agradecimientos: los diccionarios de formas que acompañan al programa se han construido"
       u" a partir de textos griegos de la Perseus Digital Library (canonical-greekLit) y del"
       u" proyecto Open Greek and Latin (First1KGreek), publicados con licencia Creative Commons"
       u" Reconocimiento-CompartirIgual 4.0 (CC BY-SA 4.0); los diccionarios se distribuyen con"
       u" esa misma licencia. Gracias a quienes editaron y liberaron esos textos.";
  return t;
}

}  // namespace kalyxon
