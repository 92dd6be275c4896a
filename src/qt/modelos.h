// Where the conversion window finds its model: field by field in the engine's
// conversion object, so the window renders whatever that object provides and
// keeps a blank stand-in for the rest.
#pragma once

#include <map>
#include <vector>
#include <string>

#include "util/viewmodel.h"

namespace kalyxon {
class Kalyxon;
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
  bool delMotor = false;
};

// Stand-ins for what the engine does not provide; owned by the caller.
struct ReservaConversion {
  ReservaConversion() { txterr.visible = false; }  // the report starts hidden
  vm::Window ventana;
  vm::TextBox txterr, txtori;
  vm::UniText UniText1;
  vm::Label Label1, Label2;
  std::map<std::string, vm::MenuItem> menus;
};

ModeloConversion modeloConversion(Kalyxon& k, ReservaConversion& reserva);

// The conversion window's menus in order: name and parent ("" for the bar).
struct MenuConversion {
  const char* nombre;
  const char* padre;
};
const std::vector<MenuConversion>& menusConversion();

}  // namespace kalyxon::qt
