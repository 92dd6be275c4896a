// Where the desktop windows find their models in the engine. The main
// window's is Form1; the notice's and the conversion window's are looked up
// field by field in the engine objects that own them, so each window renders
// whatever its owner provides and keeps a blank stand-in for the rest.
#pragma once

#include <map>
#include <string>

#include "util/viewmodel.h"

namespace kalyxon {
class Kalyxon;
}

namespace kalyxon::qt {

struct ModeloAviso {
  vm::Window* ventana = nullptr;
  vm::TextBox* txtini = nullptr;
  vm::Label* lblver = nullptr;
  vm::Control* cmdace = nullptr;
  vm::Control* cmdcan = nullptr;
  bool delMotor = false;  // true when the engine provides the notice
};

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

// Stand-ins for what the engine does not provide (yet); owned by the caller.
struct ReservaAviso {
  vm::Window ventana;
  vm::TextBox txtini;
  vm::Label lblver;
  vm::Control cmdace, cmdcan;
};
struct ReservaConversion {
  vm::Window ventana;
  vm::TextBox txterr, txtori;
  vm::UniText UniText1;
  vm::Label Label1, Label2;
  std::map<std::string, vm::MenuItem> menus;
};

ModeloAviso modeloAviso(Kalyxon& k, ReservaAviso& reserva);
ModeloConversion modeloConversion(Kalyxon& k, ReservaConversion& reserva);

// The conversion window's menus in order: name and parent ("" for the bar).
struct MenuConversion {
  const char* nombre;
  const char* padre;
};
const std::vector<MenuConversion>& menusConversion();

}  // namespace kalyxon::qt
