// The desktop windows driven as a user drives them: buttons clicked, menus
// chosen, text dropped; what the user sees is read back from the widgets.
#include <QCheckBox>
#include <QDropEvent>
#include <QLabel>
#include <QRegularExpression>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "escritorio.h"
#include "qt/controles.h"
#include "qt/services.h"
#include "qt/twips.h"
#include "qt/ventanaacerca.h"
#include "qt/ventanaayuda.h"

namespace kalyxon::qt::prueba {
namespace {

TEST_F(Escritorio, NoticeCancelEndsWithoutTouchingTheSettings) {
  app().inicia();
  VentanaAviso& aviso = app().aviso();
  ASSERT_TRUE(aviso.isVisible());
  EXPECT_TRUE(aviso.texto()->toPlainText().contains(QStringLiteral("PULSA F1 PARA AYUDA")));

  aviso.cancelar()->click();
  EXPECT_TRUE(k().aplicacion().terminado());
  EXPECT_FALSE(aviso.isVisible());
  EXPECT_FALSE(principal().isVisible());
  EXPECT_FALSE(std::filesystem::exists(carpeta() / "kalyxon.ini"));
}

TEST_F(Escritorio, AcceptShowsTheTopmostMainWindowWithItsMenus) {
  arranca();
  VentanaPrincipal& w = principal();
  ASSERT_TRUE(w.isVisible());
  EXPECT_FALSE(app().aviso().isVisible());
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Kalyxon - escritura en griego clásico"));
  EXPECT_TRUE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));

  EXPECT_EQ(w.menuBar()->actions().size(), 5);
  EXPECT_TRUE(w.menu("mnudic")->actions().at(8)->isSeparator());
  // Each dictionary found is enabled and captioned with its count of forms.
  EXPECT_TRUE(w.accion("mnudiccla")->isEnabled());
  EXPECT_TRUE(w.accion("mnudiccla")->text().contains(QRegularExpression(QStringLiteral("^básico \\d+$"))))
      << w.accion("mnudiccla")->text().toStdString();
  EXPECT_FALSE(w.imagen("imgcam")->isVisibleTo(&w));
  // The first run opened the help index and remembered it.
  EXPECT_TRUE(app().ayuda().isVisible());
}

TEST_F(Escritorio, TheKalyxonMenuCaptionsItsItemsWhenOpened) {
  arranca();
  VentanaPrincipal& w = principal();
  emit w.menu("mnusib")->aboutToShow();
  EXPECT_TRUE(w.accion("mnusibver")->text().startsWith(QStringLiteral("Versión: ")));
  elige(w.accion("mnusibgri"));
  ASSERT_EQ(sv_.urls.opened.size(), 0u);  // the real opener is in place, not the script
}

TEST_F(Escritorio, AboutIsAWindowWithTheDictionariesAttributionAndLicence) {
  arranca();
  VentanaPrincipal& w = principal();
  const size_t cajas = sv_.messageBox.shown.size();
  elige(w.accion("mnusibace"));
  VentanaAcerca& a = app().acerca();
  ASSERT_TRUE(a.isVisible());
  EXPECT_EQ(sv_.messageBox.shown.size(), cajas);  // a window, not a message box
  EXPECT_EQ(a.windowTitle(), QStringLiteral("Acerca de Kalyxon"));
  EXPECT_EQ(a.findChild<QLabel*>(QStringLiteral("lblver"))->text(), QStringLiteral("Versión 7.6.0"));
  EXPECT_TRUE(a.findChild<QLabel*>(QStringLiteral("lblide"))->text().contains(QStringLiteral("licencia MIT")));
  // Both texts as the files beside the dictionaries hold them.
  const QDir datos(QStringLiteral(KALYXON_RUNTIME_DIR));
  auto lee = [&](const char* f) {
    QFile in(datos.filePath(QString::fromLatin1(f)));
    EXPECT_TRUE(in.open(QIODevice::ReadOnly)) << f;
    return QString::fromUtf8(in.readAll());
  };
  EXPECT_EQ(a.atribucion()->toPlainText(), lee("LEXICA-ATRIBUCION.txt"));
  EXPECT_EQ(a.licencia()->toPlainText(), lee("LEXICA-LICENCIA-CC-BY-SA-4.0.txt"));
  EXPECT_EQ(a.pestanas()->tabText(1), QStringLiteral("Licencia CC BY-SA 4.0"));
  EXPECT_TRUE(a.atribucion()->isReadOnly());

  a.aceptar()->click();
  EXPECT_FALSE(a.isVisible());
  EXPECT_FALSE(k().aplicacion().frmace.ventana.visible);
  // The frame's close button is "Aceptar" too, and the window opens again.
  elige(w.accion("mnusibace"));
  ASSERT_TRUE(a.isVisible());
  a.close();
  EXPECT_FALSE(k().aplicacion().frmace.ventana.visible);
  EXPECT_TRUE(w.isVisible());
}

TEST_F(Escritorio, CompactModeFollowsTheTwipHeights) {
  arranca();
  VentanaPrincipal& w = principal();
  const int barra = w.menuBar()->sizeHint().height();
  ASSERT_TRUE(w.centralWidget()->isVisible());
  const int llena = w.height();
  EXPECT_GE(llena + (w.frameGeometry().height() - w.geometry().height()),
            twipsToPxY(w, 1695) - 1);

  elige(w.accion("mnubar"));
  EXPECT_TRUE(w.accion("mnubar")->isChecked());
  EXPECT_FALSE(w.centralWidget()->isVisible());
  EXPECT_EQ(w.height(), barra);

  elige(w.accion("mnubar"));
  EXPECT_TRUE(w.centralWidget()->isVisible());
  EXPECT_EQ(w.height(), llena);
}

TEST_F(Escritorio, MovingTheWindowIsSavedAndRestored) {
  arranca();
  VentanaPrincipal& w = principal();
  w.move(300, 200);
  QApplication::processEvents();
  // The model keeps the client area's corner, inside the frame.
  EXPECT_EQ(k().form1.ventana.left, pxToTwipsX(w, w.geometry().x()));
  EXPECT_EQ(k().form1.ventana.top, pxToTwipsY(w, w.geometry().y()));
  w.close();
  ASSERT_TRUE(k().aplicacion().terminado());

  // A second start in the same folder puts the window where it was left.
  DesktopApp otra(carpeta());
  otra.kalyxon().sv.messageBox = &sv_.messageBox;
  otra.inicia();
  otra.aviso().aceptar()->click();
  QApplication::processEvents();
  EXPECT_EQ(otra.principal().pos(), QPoint(300, 200));
  otra.principal().close();
}

// A place saved on a larger screen (or at another scale) comes back onto
// this one, for the main window and for the conversion window opened below
// it; only items with an on/off state carry a check mark.
TEST_F(Escritorio, WindowsStayOnScreenAndOnlyStatesAreCheckable) {
  arranca();
  VentanaPrincipal& w = principal();
  const QRect area = w.screen()->availableGeometry();
  k().form1.ventana.left = 90000;
  k().form1.ventana.top = 60000;
  app().render();
  EXPECT_TRUE(area.contains(w.geometry())) << w.geometry().x() << "," << w.geometry().y();
  EXPECT_EQ(k().form1.ventana.left, pxToTwipsX(w, w.geometry().x()));
  elige(w.accion("mnuhertra"));
  EXPECT_TRUE(area.contains(conversion().geometry()));
  // A move is stored as the client area's place: set again, it stays put.
  w.move(120, 90);
  QApplication::processEvents();
  const QPoint antes = w.geometry().topLeft();
  k().form1.ventana.left += 1;
  app().render();
  k().form1.ventana.left -= 1;
  app().render();
  EXPECT_EQ(w.geometry().topLeft(), antes);

  for (const char* n : {"mnus", "mnubar", "mnudiccla", "mnupro", "mnuses"})
    EXPECT_TRUE(w.accion(n)->isCheckable()) << n;
  for (const char* n : {"mnuhertra", "mnuayugen", "mnudicbor", "mnusibver", "mnufuegri"})
    EXPECT_FALSE(w.accion(n)->isCheckable()) << n;
  // The "Ver" menu draws its one item.
  QMenu* ver = w.menu("mnuver");
  ver->popup(w.geometry().topLeft());
  QApplication::processEvents();
  const QImage img = ver->grab().toImage();
  ver->hide();
  ASSERT_FALSE(img.isNull());
  EXPECT_NE(img.pixelColor(img.width() / 2, img.height() / 2), QColor(Qt::black));
}

TEST_F(Escritorio, EachDiacriticButtonTogglesItsPicture) {
  arranca();
  VentanaPrincipal& w = principal();
  for (const char* n : {"imadie", "imacir", "imaiot", "imagra", "imaagu", "imaasp", "imasua"}) {
    QToolButton* b = w.imagen(n);
    const qint64 apagada = b->icon().cacheKey();
    b->click();
    EXPECT_NE(b->icon().cacheKey(), apagada) << n << " did not turn on";
    b->click();
    EXPECT_EQ(b->icon().cacheKey(), apagada) << n << " did not turn off";
  }
  // The grave replaces the acute: one accent at a time.
  w.imagen("imaagu")->click();
  const qint64 aguda = w.imagen("imaagu")->icon().cacheKey();
  w.imagen("imagra")->click();
  EXPECT_NE(w.imagen("imaagu")->icon().cacheKey(), aguda);
  EXPECT_EQ(k().form1.nAcc, 2);
}

// Ticking "Griego" enables the dictionary box; converting fonts clears both.
TEST_F(Escritorio, ConvertFontsTurnsGreekOffAndOpensTheWindowBelow) {
  arranca();
  VentanaPrincipal& w = principal();
  ASSERT_FALSE(w.chkdic()->isEnabled());
  QTest::mouseClick(w.chkgri(), Qt::LeftButton);
  ASSERT_TRUE(sv_.hook.installed);
  EXPECT_TRUE(w.chkdic()->isEnabled());
  QTest::mouseClick(w.chkdic(), Qt::LeftButton);
  elige(w.accion("mnuhertra"));
  EXPECT_FALSE(w.chkgri()->isChecked());
  EXPECT_FALSE(w.chkdic()->isChecked());
  EXPECT_FALSE(w.chkdic()->isEnabled());
  EXPECT_FALSE(sv_.hook.installed);
  VentanaConversion& c = conversion();
  ASSERT_TRUE(c.isVisible());
  EXPECT_EQ(c.x(), w.x());
  EXPECT_NEAR(c.y(), w.y() + twipsToPxY(w, k().form1.ventana.height), 2);
}

TEST_F(Escritorio, ConversionWindowNotesAMissingFaceAndShowsTheErrorReport) {
  arranca();
  k().sv.messageBox = &sv_.messageBox;  // the empty error report says so
  VentanaConversion& c = conversion();
  const ModeloConversion& m = c.modelo();
  c.show();
  m.txtori->font = u"Athenian";
  app().render();
  ASSERT_FALSE(VentanaConversion::fuenteInstalada(QStringLiteral("Athenian")));
  ASSERT_TRUE(c.isVisible());
  EXPECT_TRUE(c.avisoFuente()->isVisible());
  EXPECT_TRUE(c.avisoFuente()->text().contains(QStringLiteral("«Athenian» no está instalada")));
  EXPECT_EQ(c.txtori()->font().family(), QStringLiteral("Athenian"));

  // The note sits below the text, never over it.
  EXPECT_LE(c.txtori()->geometry().bottom(), c.avisoFuente()->geometry().top());

  // BetaCode is plain ASCII: a missing Latin face is not worth a note.
  for (const char16_t* cara : {u"DejaVu Sans", u"Verdana"}) {
    m.txtori->font = cara;
    app().render();
    EXPECT_FALSE(c.avisoFuente()->isVisible());
  }

  // Typing in the boxes reaches the model the converters read.
  c.uniText()->setPlainText(QStringLiteral("λόγος"));
  EXPECT_EQ(m.UniText1->text, u"λόγος");

  // The error report opens below and closes again from its menu item.
  for (bool abierto : {true, false}) {
    c.accion("mnuvererr")->trigger();
    EXPECT_EQ(c.txterr()->isVisible(), abierto);
    EXPECT_EQ(c.accion("mnuvererr")->isChecked(), abierto);
  }
}

TEST_F(Escritorio, PastedBetaCodeBecomesUnicode) {
  arranca();
  k().sv.clipboard = &sv_.clipboard;
  // Copied from a word processor: plain text and rich text.
  sv_.clipboard.plain = u"lo/gos";
  sv_.clipboard.rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Times New Roman;}}\\f0 lo/gos}";
  elige(principal().accion("mnuhertra"));
  VentanaConversion& c = conversion();
  ASSERT_TRUE(c.isVisible());
  // Click into the upper box, paste with Shift+Insert, choose "BetaCode".
  QTest::mouseClick(c.txtori()->viewport(), Qt::LeftButton);
  QTest::keyClick(c.txtori(), Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(c.txtori()->toPlainText(), QStringLiteral("lo/gos"));
  c.accion("mnubetacode")->trigger();
  EXPECT_TRUE(c.uniText()->toPlainText().startsWith(QStringLiteral("λόγος")))
      << c.uniText()->toPlainText().toStdString();
  EXPECT_EQ(c.txtori()->font().family(), QStringLiteral("Verdana"));
}

// Choosing a dictionary retitles the window; a word dropped on it then shows
// its candidates.
TEST_F(Escritorio, ADictionaryChoiceRetitlesAndADroppedWordShowsItsCandidates) {
  arranca();
  VentanaPrincipal& w = principal();
  const QString antes = w.windowTitle();
  QAction* cla = w.accion("mnudiccla");
  ASSERT_TRUE(cla->isEnabled());
  elige(cla);
  EXPECT_NE(w.windowTitle(), antes);
  EXPECT_TRUE(cla->isChecked());
  QMimeData datos;
  datos.setText(QStringLiteral("λόγος"));
  QDragEnterEvent entra(QPoint(10, 10), Qt::CopyAction, &datos, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &entra);
  EXPECT_TRUE(entra.isAccepted());
  QDropEvent suelta(QPointF(10, 10), Qt::CopyAction, &datos, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &suelta);
  EXPECT_TRUE(w.uniLabel()->text().contains(QStringLiteral("λόγος")))
      << w.uniLabel()->text().toStdString();
  EXPECT_EQ(w.etiqueta("lblpal")->text().left(5), QStringLiteral("logos"));
}

}  // namespace
}  // namespace kalyxon::qt::prueba
