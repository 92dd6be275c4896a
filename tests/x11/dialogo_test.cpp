// The program's own file dialog on a private X desktop while Greek is
// ticked: the keys typed into it arrive as the Latin letters they are.
#include <gtest/gtest.h>

#ifdef KALYXON_TEST_DESKTOP

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <fstream>

#include "app/kalyxon.h"
#include "keyboard/tecladohook.h"
#include "qt/desktopapp.h"
#include "x11/x11keyboard.h"
#include "xharness.h"

namespace kalyxon::xtest {
namespace {

TEST(DesktopDialog, TheProgramsOwnFileDialogTakesLatin) {
  Xvfb server;
  if (!server.running()) GTEST_SKIP() << "no X server for the test: " << server.failure();
  setenv("DISPLAY", server.display().c_str(), 1);
  qputenv("QT_QPA_PLATFORM", "xcb");
  QTemporaryDir dir;
  std::ofstream(QDir(dir.path()).filePath(QStringLiteral("kalyxon.ini")).toStdString())
      << "[opciones]\r\nayuda=SI\r\n";
  // The letter tables, or start-up stops at its message about them.
  QFile::copy(QStringLiteral(KALYXON_RUNTIME_DIR "/ALPHA.db"), QDir(dir.path()).filePath(QStringLiteral("ALPHA.db")));
  int argc = 1;
  char nombre[] = "test_x11";
  char* argv[] = {nombre, nullptr};
  QApplication app(argc, argv);

  x11::X11Keyboard teclado(server.display().c_str());
  {
    qt::DesktopApp desktop(dir.path().toStdString());
    desktop.conectaTeclado(&teclado, &teclado, &teclado);
    teclado.setProcedure(
        [&](int n, const KeyEvent& e) { return desktop.kalyxon().teclado().tecladoProc(n, e); });
    desktop.anadeFuente(teclado.fd(), [&] { teclado.dispatchPending(); });
    desktop.inicia();
    desktop.evento("frmini_cmdace_Click");
    desktop.kalyxon().form1.chkgri.setValue(1);
    desktop.render();
    ASSERT_TRUE(teclado.installed());

    QFileDialog dialogo(nullptr, QStringLiteral("Abrir"));
    dialogo.setOption(QFileDialog::DontUseNativeDialog);
    dialogo.show();
    dialogo.activateWindow();
    QLineEdit* nombreFichero = nullptr;
    for (int i = 0; i < 200 && !nombreFichero; ++i) {
      QApplication::processEvents(QEventLoop::AllEvents, 20);
      nombreFichero = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    }
    ASSERT_NE(nombreFichero, nullptr) << "the dialog never took the focus";
    ASSERT_EQ(xdotool(server.display(), {"type", "--delay", "20", "logos"}), 0);
    for (int i = 0; i < 200 && nombreFichero->text().size() < 5; ++i) {
      teclado.drain();
      QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_EQ(nombreFichero->text(), QStringLiteral("logos"));
    EXPECT_TRUE(desktop.kalyxon().teclado().lModoGriego);
    dialogo.hide();
    desktop.evento("Form_Close");
  }
}

}  // namespace
}  // namespace kalyxon::xtest

#endif
