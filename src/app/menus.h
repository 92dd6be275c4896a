// The main window's menu bar as a tree, in the window's order, so that a front
// end can build it without knowing the items one by one. Each node names its
// item (the name the engine's menu dispatch takes) and points at the item's
// view-model state inside Form1.
#pragma once

#include <string>
#include <vector>

#include "app/form1.h"

namespace kalyxon {

struct NodoMenu {
  std::string nombre;                // "mnudiccla", "linea1", ...
  vm::MenuItem* item = nullptr;      // never null
  std::vector<NodoMenu> hijos;       // empty for a leaf
  bool conEstado = false;            // an on/off item that shows a check mark
  bool separador() const { return nombre.rfind("linea", 0) == 0; }
};

// The top-level menus ("Ayuda-F1", "Opciones", "Herramientas", "Ver",
// "Kalyxon") with their items.
std::vector<NodoMenu> arbolMenus(Form1& f);

// The item named `nombre`, or nullptr.
vm::MenuItem* buscaMenu(Form1& f, std::string_view nombre);

}  // namespace kalyxon
