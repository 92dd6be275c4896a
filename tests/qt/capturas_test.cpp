// Screenshots of the main window, the conversion window and the keyboard-map
// help page, saved as PNG under the build folder for the README.
#include <QDir>
#include <QMenu>
#include <QPainter>

#include "escritorio.h"
#include "qt/bandeja.h"
#include "qt/pintor.h"
#include "qt/ventanaacerca.h"
#include "qt/ventanaayuda.h"

namespace kalyxon::qt::prueba {
namespace {

QString rutaCaptura(const char* nombre) {
  QDir().mkpath(QStringLiteral(KALYXON_SCREENSHOT_DIR));
  return QDir(QStringLiteral(KALYXON_SCREENSHOT_DIR)).filePath(QString::fromLatin1(nombre));
}

TEST_F(Escritorio, SavesScreenshotsOfTheWindows) {
  arranca();
  VentanaPrincipal& w = principal();
  // A moment of typing: an acute pending, a candidate on show.
  Form1& f = k().form1;
  f.imaagu.picture = "accagu2.ico";
  f.imaasp.picture = "espasp2.ico";
  f.UniLabel1.caption = u"1 λόγος";
  f.lblpal.caption = u"logos 1204";
  f.lblhex.caption = u"03CC";
  f.lbluni.caption = u"972";
  f.lblfon.caption = u"omicron";
  f.lblasc.caption = u"79";
  f.imgcam.visible = true;
  app().render();
  QApplication::processEvents();
  EXPECT_TRUE(w.grab().toImage().save(rutaCaptura("ventana-principal.png")));

  // The tray menu with Greek and the dictionary on.
  f.chkgri.setValue(1);
  f.chkdic.setValue(1);
  app().render();
  QMenu* bandeja = app().bandeja().menu();
  bandeja->popup(QPoint(0, 0));
  QApplication::processEvents();
  EXPECT_TRUE(bandeja->grab().toImage().save(rutaCaptura("menu-bandeja.png")));
  bandeja->hide();

  const ModeloConversion& m = conversion().modelo();
  m.ventana->caption = u"Traducir fuentes";
  m.Label1->caption = u"Texto en fuente griega (Pégalo con May+Insertar)";
  m.Label2->caption = u"Texto en Unicode (Pulsa F1 para ayuda)";
  m.txtori->text = u"*)en a)rxh=| h)=n o( lo/goj, kai\\ o( lo/goj h)=n pro\\j to\\n qeo/n";
  m.txtori->font = u"Verdana";  // BetaCode's face: plain ASCII, no font note
  m.UniText1->text = u"Ἐν ἀρχῇ ἦν ὁ λόγος, καὶ ὁ λόγος ἦν πρὸς τὸν θεόν";
  m.ventana->visible = true;
  const std::pair<const char*, const char16_t*> menus[] = {
      {"mnutra", u"Convertir a Unicode"}, {"mnude", u"Convertir de Unicode"}, {"mnuver", u"Cargar"}};
  for (auto [n, t] : menus)
    if (m.menus.at(n)->caption.empty()) m.menus.at(n)->caption = t;
  app().render();
  QApplication::processEvents();
  EXPECT_TRUE(conversion().grab().toImage().save(rutaCaptura("ventana-conversion.png")));

  // "Acerca de Kalyxon", with the dictionaries' attribution.
  app().evento("mnusibace_Click");
  k().aplicacion().frmace.lblcar.caption = u"Archivos de los diccionarios: /usr/share/kalyxon";
  app().render();
  QApplication::processEvents();
  EXPECT_TRUE(app().acerca().grab().toImage().save(rutaCaptura("acerca-de.png")));
  app().evento("frmace_cmdace_Click");

  VentanaAyuda& ayuda = app().ayuda();
  ayuda.muestraTema(10);
  QApplication::processEvents();
  EXPECT_TRUE(ayuda.grab().toImage().save(rutaCaptura("ayuda-mapa-teclado.png")));

  // The fourteen indicators side by side, off above on, at 16 and 32 px.
  QImage hoja(7 * 40 + 8, 2 * 40 + 2 * 24 + 8, QImage::Format_ARGB32_Premultiplied);
  hoja.fill(Qt::white);
  QPainter p(&hoja);
  int x = 4;
  for (const auto& ind : indicadores()) {
    p.drawImage(x, 4, pintaIndicador(ind.marca, false, 32));
    p.drawImage(x, 44, pintaIndicador(ind.marca, true, 32));
    p.drawImage(x + 8, 88, pintaIndicador(ind.marca, false, 16));
    p.drawImage(x + 8, 112, pintaIndicador(ind.marca, true, 16));
    x += 40;
  }
  p.end();
  EXPECT_TRUE(hoja.save(rutaCaptura("indicadores.png")));
}

}  // namespace
}  // namespace kalyxon::qt::prueba
