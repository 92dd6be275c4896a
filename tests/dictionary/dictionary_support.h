// Helpers of the dictionary tests.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "app/kalyxon.h"
#include "dictionary/diccionario.h"
#include "platform/scripted.h"
#include "support/prueba.h"

namespace kalyxon {

using prueba::escribeFichero;
using prueba::leeFichero;

// A fresh temporary folder. With `alfabeto`, it gets a copy of the built
// ALPHA.db, as a program folder has.
struct CarpetaTemporal : prueba::CarpetaTemporal {
  explicit CarpetaTemporal(bool alfabeto = false) {
    if (alfabeto)
      std::filesystem::copy_file(std::filesystem::path(KALYXON_RUNTIME_DIR) / "ALPHA.db",
                                 ruta() / "ALPHA.db");
  }
};

// The program object with scripted services over a program folder, and an
// empty table `nombre` in LEXICA_prueba.db (opened when `abierto`).
struct Banco {
  CarpetaTemporal dir{true};
  platform::scripted::ScriptedServices s;
  Kalyxon k{s.services(), dir.ruta()};
  Diccionario& d = k.diccionario();
  Form1& f = k.form1;
  std::string nombre;
  std::shared_ptr<lexico::Tabla> t;

  explicit Banco(std::string tabla, bool abierto) : nombre(std::move(tabla)) {
    t = d.espacio().abre(dir.ruta() / "LEXICA_prueba.db", true)->creaTabla(nombre);
    if (abierto) abre();
  }
  void abre() { d.cambiaDiccionario(u"LEXICA_prueba.db", nombre); }
  void forma(const char16_t* clave, const std::u16string& f, int n) {
    t->anade(clave, lexico::listaCodigos(f), n);
  }
  // The count of a pair in this table or in `en`; 0 when it is not there.
  int cuenta(const char16_t* clave, const std::u16string& forma, lexico::Tabla* en = nullptr) {
    auto r = (en ? en : t.get())->buscaPar(clave, lexico::listaCodigos(forma));
    return r ? r->frecuencia : 0;
  }
  void teclea(std::string_view teclas) {
    for (char c : teclas) d.cadenaGriego(c, false);
  }
};

}  // namespace kalyxon
