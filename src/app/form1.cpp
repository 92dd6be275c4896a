#include "app/form1.h"

namespace kalyxon {

namespace {

void menu(vm::MenuItem& m, std::u16string caption, bool enabled = true) {
  m.caption = std::move(caption);
  m.enabled = enabled;
}

void imagen(vm::Image& i, std::u16string tooltip, std::string picture) {
  i.tooltip = std::move(tooltip);
  i.picture = std::move(picture);
}

}  // namespace

Form1::Form1() {
  ventana.caption = u"Kalyxon - escritura en griego clásico";
  // Designed position and size (twips); the settings file may move it.
  ventana.left = 1440;
  ventana.top = 1440;
  ventana.width = 5415;
  ventana.height = kAlto;

  // Controls, in their order of creation.
  cmdace.caption = u"Aceptar";
  cmdace.visible = false;
  cmdace.enabled = false;  // a click in the list enables it
  lstfon.visible = false;
  UniLabel1.font = u"Palatino Linotype";
  chkdic.caption = u"Diccionario";
  chkdic.enabled = false;  // enabled while Greek mode is on
  chkgri.caption = u"Griego";
  lblpal.font = u"Times New Roman";
  lblpal.tooltip = u"Trans. y nº de apariciones";
  imgcam.tooltip = u"Pulsa esta tecla para cambiar de forma";
  imgcam.visible = false;  // shown while a word has two or more candidates
  imagen(imadie, u"Diéresis", "dieresis1.ico");
  imagen(imacir, u"Acento circunflejo", "acccir1.ico");
  imagen(imaiot, u"Iota suscrita", "iota1.ico");
  imagen(imagra, u"Acento grave", "accgra1.ico");
  imagen(imaagu, u"Acento agudo", "accagu1.ico");
  imagen(imaasp, u"Espíritu áspero", "espasp1.ico");
  imagen(imasua, u"Espíritu suave", "espsuave1.ico");

  // Menus, in the window's order.
  menu(mnuayu, u"Ayuda-F1");
  menu(mnuayugen, u"General");
  menu(mnuayuind, u"Índice");
  menu(mnuayumap, u"Mapa del teclado");
  menu(mnuayutec, u"Teclado");
  menu(mnuayuesp, u"Teclas especiales");
  menu(mnuopc, u"Opciones");
  menu(mnus, u"sigma final");
  menu(mnuks, u"ks");
  menu(mnups, u"ps");
  menu(mnuesp, u"espíritus iniciales");
  menu(mnuiota, u"larga + iota");
  menu(mnunum, u"números");
  menu(mnuang, u"ángulos dobles");
  menu(mnuacc, u"Acento según contexto");
  menu(mnufon, u"Fonética");
  menu(mnufonbre, u"Breve");
  menu(mnufonlar, u"Larga");
  menu(mnufonabi, u"Abierta");
  menu(mnufoncer, u"Cerrada");
  menu(mnulat, u"Latín");
  menu(mnuses, u"Iniciar con la sesión");
  menu(mnuher, u"Herramientas");
  menu(mnudic, u"Diccionario");
  // The dictionary items stay disabled until the settings load finds their
  // tables.
  menu(mnudiccla, u"básico", false);
  menu(mnudiccom, u"completo", false);
  menu(mnudicari, u"Aristóteles", false);
  menu(mnudiceso, u"Esopo", false);
  menu(mnudichom, u"Homero", false);
  menu(mnudicjen, u"Jenofonte", false);
  menu(mnudicpla, u"Platón", false);
  menu(mnudictra, u"Trágicos", false);
  menu(linea1, u"-");
  menu(mnudicapro, u"aproximado");
  menu(linea2, u"-");
  menu(mnudicpal, u"Añadir palabra");
  menu(mnudicadd, u"Añadir diccionario");
  menu(mnudicfre, u"Borrar por frecuencia");
  menu(mnudicbor, u"Borrar");
  menu(mnudiccar, u"Cargar");
  menu(mnupro, u"Programa");
  menu(mnufue, u"Fuentes");
  // Fonts can be chosen only while a target program is in force; opening
  // "Herramientas" updates these two.
  menu(mnufuegri, u"Griego", false);
  menu(mnufuenor, u"Normal", false);
  menu(mnuhertra, u"Convertir fuentes");
  menu(mnucod, u"Códigos");
  menu(mnucodhtm, u".html");
  menu(mnucodjav, u"java");
  menu(mnuver, u"Ver");
  menu(mnubar, u"barra");
  menu(mnusib, u"Kalyxon");
  menu(mnusibver, u"Version");
  menu(mnusibaut, u"Autor");
  menu(mnusibcor, u"Correo");
  menu(mnusibhtp, u"http");
  menu(mnusibgri, u"Escribir en griego clásico");
  menu(mnusibace, u"Acerca de Kalyxon");
}

}  // namespace kalyxon
