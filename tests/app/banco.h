// The program on a temporary program folder with scripted services.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "app/aplicacion.h"
#include "app/kalyxon.h"
#include "platform/scripted.h"
#include "support/prueba.h"

namespace kalyxon {

class BancoPrograma : public ::testing::Test {
 protected:
  BancoPrograma() {
    std::filesystem::copy_file(std::filesystem::path(KALYXON_RUNTIME_DIR) / "ALPHA.db",
                               dir / "ALPHA.db");
    reinicia();
  }
  ~BancoPrograma() override { k.reset(); }
  Aplicacion& app() { return k->aplicacion(); }
  Form1& f() { return k->form1; }
  // A fresh program run on the same folder (the previous one closed first).
  void reinicia() { k = std::make_unique<Kalyxon>(s.services(), dir); }
  // The notice, then "Aceptar".
  void arranca() {
    app().frmini_Load();
    app().frmini_cmdace_Click();
  }
  std::string ini() const { return prueba::leeFichero(dir / "kalyxon.ini"); }
  void escribeIni(const std::string& texto) const {
    prueba::escribeFichero(dir / "kalyxon.ini", texto);
  }

  prueba::CarpetaTemporal carpeta;
  const std::filesystem::path& dir = carpeta.ruta();
  platform::scripted::ScriptedServices s;
  std::unique_ptr<Kalyxon> k;
};

}  // namespace kalyxon
