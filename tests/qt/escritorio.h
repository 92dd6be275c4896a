// A desktop program on a temporary program folder, with the keyboard and the
// modal dialogs scripted so a test never waits for a person.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <memory>

#include "app/aplicacion.h"
#include "app/kalyxon.h"
#include "platform/scripted.h"
#include "qt/desktopapp.h"
#include "qt/ventanaaviso.h"
#include "qt/ventanaconversion.h"
#include "qt/ventanaprincipal.h"
#include "support/prueba.h"

namespace kalyxon::qt::prueba {

class Escritorio : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    // "Iniciar con la sesión" must never write the user's own autostart.
    qputenv("XDG_CONFIG_HOME", QDir(dir_.path()).filePath(QStringLiteral("config")).toUtf8());
    // The shipped databases, copied so the test owns its program folder.
    const QDir bin(QStringLiteral(KALYXON_RUNTIME_DIR));
    for (const QString& f : bin.entryList({QStringLiteral("ALPHA.db"), QStringLiteral("LEXICA*.db")}))
      QFile::copy(bin.filePath(f), QDir(dir_.path()).filePath(f));
    app_ = std::make_unique<DesktopApp>(carpeta());
    app_->conectaTeclado(&sv_.keys, &sv_.sender, &sv_.hook);
    k().sv.messageBox = &sv_.messageBox;
    k().sv.inputBox = &sv_.inputBox;
    k().sv.fileDialog = &sv_.fileDialog;
  }
  void TearDown() override {
    app_.reset();
    QApplication::processEvents();
  }

  std::filesystem::path carpeta() const { return dir_.path().toStdString(); }
  Kalyxon& k() { return app_->kalyxon(); }
  DesktopApp& app() { return *app_; }
  VentanaPrincipal& principal() { return app_->principal(); }
  VentanaConversion& conversion() { return app_->conversion(); }

  // The notice, then "Aceptar": the main window shows with the settings loaded.
  void arranca() {
    app_->inicia();
    app_->aviso().aceptar()->click();
    QApplication::processEvents();
  }
  // Chooses a menu item the way a user does: the item's action fires.
  void elige(QAction* a) {
    ASSERT_NE(a, nullptr);
    a->trigger();
    QApplication::processEvents();
  }
  std::string ini() const { return kalyxon::prueba::leeFichero(carpeta() / "kalyxon.ini"); }

  platform::scripted::ScriptedServices sv_;

 private:
  QTemporaryDir dir_;
  std::unique_ptr<DesktopApp> app_;
};

}  // namespace kalyxon::qt::prueba
