// The conversion window's model as the window sees it: the fields of the
// engine's conversion object (Frmtra), with its menus by control name.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "util/viewmodel.h"

namespace kalyxon {
class Frmtra;
}

namespace kalyxon::qt {

struct ModeloConversion {
  vm::Window* ventana = nullptr;
  vm::TextBox* txterr = nullptr;
  vm::TextBox* txtori = nullptr;
  vm::UniText* UniText1 = nullptr;
  vm::Label* Label1 = nullptr;
  vm::Label* Label2 = nullptr;
  std::map<std::string, vm::MenuItem*> menus;  // by control name
};

ModeloConversion modeloConversion(Frmtra& f);

// The conversion window's menus in order: name and parent ("" for the bar).
struct MenuConversion {
  const char* nombre;
  const char* padre;
};
const std::vector<MenuConversion>& menusConversion();

}  // namespace kalyxon::qt
