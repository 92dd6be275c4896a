#include "app/menus.h"

namespace kalyxon {

namespace {

NodoMenu hoja(const char* nombre, vm::MenuItem& m) {
  // Only items that hold an on/off state carry a check mark; the others are
  // commands.
  static constexpr std::string_view kConEstado[] = {
      "mnus",      "mnuks",     "mnups",     "mnuesp",    "mnuiota",    "mnunum",    "mnuang",
      "mnufonbre", "mnufonlar", "mnufonabi", "mnufoncer", "mnulat",     "mnuses",    "mnudiccla",
      "mnudiccom", "mnudicari", "mnudiceso", "mnudichom", "mnudicjen",  "mnudicpla", "mnudictra",
      "mnudicapro", "mnudiccar", "mnupro",   "mnucodhtm", "mnucodjav",  "mnubar"};
  bool estado = false;
  for (auto n : kConEstado) estado = estado || n == nombre;
  return {nombre, &m, {}, estado};
}

NodoMenu grupo(const char* nombre, vm::MenuItem& m, std::vector<NodoMenu> hijos) {
  return {nombre, &m, std::move(hijos)};
}

const NodoMenu* busca(const std::vector<NodoMenu>& nodos, std::string_view nombre) {
  for (const auto& n : nodos) {
    if (n.nombre == nombre) return &n;
    if (const NodoMenu* h = busca(n.hijos, nombre)) return h;
  }
  return nullptr;
}

}  // namespace

std::vector<NodoMenu> arbolMenus(Form1& f) {
  return {
      grupo("mnuayu", f.mnuayu,
            {hoja("mnuayugen", f.mnuayugen), hoja("mnuayuind", f.mnuayuind),
             hoja("mnuayumap", f.mnuayumap), hoja("mnuayutec", f.mnuayutec),
             hoja("mnuayuesp", f.mnuayuesp)}),
      grupo("mnuopc", f.mnuopc,
            {hoja("mnus", f.mnus), hoja("mnuks", f.mnuks), hoja("mnups", f.mnups),
             hoja("mnuesp", f.mnuesp), hoja("mnuiota", f.mnuiota), hoja("mnunum", f.mnunum),
             hoja("mnuang", f.mnuang), hoja("mnuacc", f.mnuacc),
             grupo("mnufon", f.mnufon,
                   {hoja("mnufonbre", f.mnufonbre), hoja("mnufonlar", f.mnufonlar),
                    hoja("mnufonabi", f.mnufonabi), hoja("mnufoncer", f.mnufoncer)}),
             hoja("mnulat", f.mnulat), hoja("mnuses", f.mnuses)}),
      grupo("mnuher", f.mnuher,
            {grupo("mnudic", f.mnudic,
                   {hoja("mnudiccla", f.mnudiccla), hoja("mnudiccom", f.mnudiccom),
                    hoja("mnudicari", f.mnudicari), hoja("mnudiceso", f.mnudiceso),
                    hoja("mnudichom", f.mnudichom), hoja("mnudicjen", f.mnudicjen),
                    hoja("mnudicpla", f.mnudicpla), hoja("mnudictra", f.mnudictra),
                    hoja("linea1", f.linea1), hoja("mnudicapro", f.mnudicapro),
                    hoja("linea2", f.linea2), hoja("mnudicpal", f.mnudicpal),
                    hoja("mnudicadd", f.mnudicadd), hoja("mnudicfre", f.mnudicfre),
                    hoja("mnudicbor", f.mnudicbor), hoja("mnudiccar", f.mnudiccar)}),
             hoja("mnupro", f.mnupro),
             grupo("mnufue", f.mnufue,
                   {hoja("mnufuegri", f.mnufuegri), hoja("mnufuenor", f.mnufuenor)}),
             hoja("mnuhertra", f.mnuhertra),
             grupo("mnucod", f.mnucod,
                   {hoja("mnucodhtm", f.mnucodhtm), hoja("mnucodjav", f.mnucodjav)})}),
      grupo("mnuver", f.mnuver, {hoja("mnubar", f.mnubar)}),
      grupo("mnusib", f.mnusib,
            {hoja("mnusibver", f.mnusibver), hoja("mnusibaut", f.mnusibaut),
             hoja("mnusibcor", f.mnusibcor), hoja("mnusibhtp", f.mnusibhtp),
             hoja("mnusibgri", f.mnusibgri), hoja("mnusibace", f.mnusibace)}),
  };
}

vm::MenuItem* buscaMenu(Form1& f, std::string_view nombre) {
  auto arbol = arbolMenus(f);
  const NodoMenu* n = busca(arbol, nombre);
  return n ? n->item : nullptr;
}

}  // namespace kalyxon
