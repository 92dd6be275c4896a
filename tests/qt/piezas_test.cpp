// The pieces behind the windows: the painted pictures, the help pages and the
// keyboard map, and the Qt platform services.
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <csignal>
#include <unistd.h>

#include "keyboard/tecladohook.h"
#include "qt/bandeja.h"
#include "qt/controles.h"
#include "qt/sesion.h"
#include "escritorio.h"
#include "qt/imagenes.h"
#include "qt/mapateclado.h"
#include "qt/pintor.h"
#include "qt/services.h"
#include "qt/ventanaayuda.h"

namespace kalyxon::qt::prueba {
namespace {

// Share of pixels that differ noticeably between two images of one size.
double diferencia(const QImage& a, const QImage& b) {
  const QImage x = a.convertToFormat(QImage::Format_ARGB32);
  const QImage y = b.convertToFormat(QImage::Format_ARGB32);
  int distintos = 0;
  for (int j = 0; j < x.height(); ++j)
    for (int i = 0; i < x.width(); ++i) {
      const QRgb p = x.pixel(i, j), q = y.pixel(i, j);
      if (std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
              std::abs(qBlue(p) - qBlue(q)) >
          90)
        ++distintos;
    }
  return static_cast<double>(distintos) / (x.width() * x.height());
}

TEST(Indicadores, FourteenFilesLoadAtEverySizeWithADistinctOnState) {
  const QDir bin(QStringLiteral(KALYXON_RUNTIME_DIR));
  ASSERT_EQ(indicadores().size(), 7u);
  std::vector<QImage> encendidas;
  for (const auto& ind : indicadores()) {
    QImage imgs[2];
    for (bool on : {false, true}) {
      const QString f = bin.filePath(archivoIndicador(ind, on));
      ASSERT_TRUE(QFile::exists(f)) << f.toStdString();
      const QIcon icon(f);
      for (int lado : {16, 24, 32}) {
        const QImage img = icon.pixmap(lado, lado).toImage();
        ASSERT_EQ(img.width(), lado) << f.toStdString();
      }
      imgs[on] = icon.pixmap(16, 16).toImage();
    }
    // At 16 px the "on" picture must read differently from the "off" one.
    EXPECT_GT(diferencia(imgs[0], imgs[1]), 0.4) << ind.raiz;
    encendidas.push_back(pintaIndicador(ind.marca, true, 24));
  }
  // And the seven marks must not look alike.
  for (size_t i = 0; i < encendidas.size(); ++i)
    for (size_t j = i + 1; j < encendidas.size(); ++j)
      EXPECT_GT(diferencia(encendidas[i], encendidas[j]), 0.02)
          << indicadores()[i].raiz << " vs " << indicadores()[j].raiz;
}

TEST(Indicadores, AMissingPictureIsDrawnAsItsGlyph) {
  QTemporaryDir vacia;
  Imagenes imagenes({vacia.path()});
  for (const char* f : {"accagu2.ico", "iota1.ico", "nada.ico", ""}) {
    const QIcon icon = imagenes.icono(QString::fromLatin1(f));
    ASSERT_FALSE(icon.isNull()) << f;
    EXPECT_FALSE(icon.pixmap(24, 24).isNull()) << f;
  }
  // A damaged file is no better than a missing one.
  QFile roto(QDir(vacia.path()).filePath(QStringLiteral("accgra1.ico")));
  ASSERT_TRUE(roto.open(QIODevice::WriteOnly));
  roto.write("no es un icono");
  roto.close();
  Imagenes otra({vacia.path()});
  EXPECT_FALSE(otra.icono(QStringLiteral("accgra1.ico")).pixmap(24, 24).isNull());
}

TEST(Ayuda, EveryPageAndLinkExistsAndTopicsOpenTheirPages) {
  VentanaAyuda ayuda({QStringLiteral(KALYXON_RUNTIME_DIR)}, {});
  ASSERT_FALSE(ayuda.carpetaAyuda().isEmpty());
  const QDir dir(ayuda.carpetaAyuda());
  const QRegularExpression enlace(QStringLiteral("(?:href|src)=\"([^\"#:]+)\""));
  for (const QString& pagina : dir.entryList({QStringLiteral("*.html")})) {
    QFile f(dir.filePath(pagina));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(f.readAll());
    for (auto it = enlace.globalMatch(html); it.hasNext();) {
      const QString destino = it.next().captured(1);
      if (destino == QStringLiteral("mapa_teclado.png")) continue;  // drawn when shown
      EXPECT_TRUE(dir.exists(destino)) << pagina.toStdString() << " -> " << destino.toStdString();
    }
  }
  for (int tema : {0, 1, 5, 8, 9, 10, 99}) {
    ayuda.muestraTema(tema);
    EXPECT_EQ(ayuda.navegador()->source().fileName(), VentanaAyuda::paginaDeTema(tema)) << tema;
  }
  EXPECT_EQ(VentanaAyuda::paginaDeTema(10), QStringLiteral("mapa.html"));
  EXPECT_EQ(VentanaAyuda::paginaDeTema(99), QStringLiteral("index.html"));
}

TEST_F(Escritorio, TheKeyboardMapShowsWhatTheKeysType) {
  // Dead keys come from the program's own dead-key handling.
  EXPECT_TRUE(consultaMotor(k(), 222, false).muerta.contains(QStringLiteral("agudo")));
  EXPECT_EQ(consultaMotor(k(), 65, false).letra, QStringLiteral("α"));
  EXPECT_EQ(consultaMotor(k(), 65, true).letra, QStringLiteral("Α"));
  EXPECT_EQ(consultaMotor(k(), 67, false).letra, QStringLiteral("ς"));
  EXPECT_TRUE(consultaMotor(k(), 49, false).letra.isEmpty());  // digits stay digits
  // Probing leaves no trace in the window.
  EXPECT_EQ(k().form1.lblasc.caption, u"");
  EXPECT_EQ(k().form1.nAcc, 0);
  const QImage mapa = pintaMapaTeclado([&](int vk, bool may) { return consultaMotor(k(), vk, may); });
  EXPECT_GT(mapa.width(), 600);
}

TEST(Servicios, ClipboardReadsRichTextAndWritesText) {
  QtClipboard c;
  auto* datos = new QMimeData;
  datos->setText(QStringLiteral("texto"));
  datos->setData(QStringLiteral("text/rtf"), QByteArray("{\\rtf1{\\fonttbl{\\f0 Athenian;}}\\f0 a}"));
  QGuiApplication::clipboard()->setMimeData(datos);
  EXPECT_EQ(c.text(), u"texto");
  EXPECT_NE(c.richText().find("Athenian"), std::string::npos);
  c.setText(u"λόγος");
  EXPECT_EQ(c.unicodeText(), u"λόγος");
  EXPECT_EQ(c.richText(), "");
}

TEST(Servicios, FileFiltersAndProgressWithItsStopButton) {
  EXPECT_EQ(QtFileDialog::qtFilter({u"Textos|*.txt;*.rtf", u"Todos|*.*"}),
            QStringLiteral("Textos (*.txt *.rtf);;Todos (*.*)"));

  QWidget ventana;
  auto* barra = new QProgressBar(&ventana);
  auto* boton = new QPushButton(&ventana);
  ventana.show();
  QtProgress p;
  p.place([&] { return std::pair<QProgressBar*, QPushButton*>{barra, boton}; });
  int paradas = 0;
  p.begin(u"Cargando", [&] { ++paradas; });
  EXPECT_TRUE(barra->isVisible());
  EXPECT_TRUE(boton->isVisible());
  p.begin(u"Dentro", {});  // nested: the outer bar stays
  p.step(50, 200);
  EXPECT_EQ(barra->value(), 250);
  boton->click();
  EXPECT_EQ(paradas, 1);
  p.end();
  EXPECT_TRUE(barra->isVisible());
  p.end();
  EXPECT_FALSE(barra->isVisible());
  EXPECT_FALSE(boton->isVisible());
  // Without a stop there is no stop button.
  p.begin(u"Convirtiendo", {});
  EXPECT_FALSE(boton->isVisible());
  p.end();
}

// Qt's own strings are Spanish, and a message box is wide enough for its title.
TEST_F(Escritorio, SpanishStandardButtonsAndWholeTitles) {
  QDialogButtonBox botones(QDialogButtonBox::Cancel | QDialogButtonBox::Save);
  EXPECT_TRUE(botones.button(QDialogButtonBox::Cancel)->text().contains(QStringLiteral("Cancelar")));
  const QString titulo = QStringLiteral("Borrar formas por frecuencia en el diccionario");
  int ancho = 0;
  QTimer::singleShot(0, [&] {
    if (auto* caja = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      ancho = caja->width();
      caja->done(0);
    }
  });
  QtMessageBox({}).show(u"Sí", platform::Buttons::Ok, fromQ(titulo));
  EXPECT_GT(ancho, QFontMetrics(QApplication::font()).horizontalAdvance(titulo));
}

// The program's own boxes take Latin, except the conversion window's
// Unicode box; a termination signal closes the program the normal way.
TEST_F(Escritorio, LatinInOwnBoxesAndSignalsCloseNormally) {
  arranca();
  Sesion& s = app().sesion();
  EXPECT_FALSE(s.pideLatin(conversion().uniText()));
  EXPECT_TRUE(s.pideLatin(conversion().txtori()));
  EXPECT_FALSE(s.pideLatin(principal().chkgri()));
  auto enfoca = [](QWidget* ventana, QWidget* caja) {
    ventana->activateWindow();
    QApplication::setActiveWindow(ventana);
    caja->setFocus();
    QApplication::processEvents();
  };
  QInputDialog caja;
  caja.show();
  enfoca(&caja, caja.findChild<QLineEdit*>());
  EXPECT_TRUE(k().teclado().enVentanaLatina());
  caja.hide();
  enfoca(&principal(), principal().chkgri());
  EXPECT_FALSE(k().teclado().enVentanaLatina());

  elige(principal().accion("mnuks"));
  ::kill(::getpid(), SIGTERM);
  for (int i = 0; i < 100 && !k().aplicacion().terminado(); ++i)
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_TRUE(k().aplicacion().terminado());
  EXPECT_NE(ini().find("posx="), std::string::npos);
  EXPECT_NE(ini().find("ks=SI"), std::string::npos);
}

// The tray shows the state and its entries act on the engine.
TEST_F(Escritorio, TrayMenuSwitchesGreekAndTheDictionary) {
  arranca();
  Bandeja& b = app().bandeja();
  QStringList textos;
  for (QAction* a : b.menu()->actions())
    if (!a->isSeparator()) textos << a->text();
  EXPECT_EQ(textos, (QStringList{"Griego", "Diccionario", "Convertir fuentes", "Mostrar ventana",
                                 "Salir"}));
  EXPECT_EQ(b.estado(), QStringLiteral("-"));
  EXPECT_FALSE(b.accion("diccionario")->isEnabled());
  b.accion("griego")->trigger();
  EXPECT_TRUE(sv_.hook.installed);
  EXPECT_EQ(b.estado(), QStringLiteral("G"));
  EXPECT_TRUE(principal().chkgri()->isChecked());
  b.accion("diccionario")->trigger();
  EXPECT_EQ(b.estado(), QStringLiteral("GD"));
  b.accion("convertir")->trigger();
  EXPECT_EQ(b.estado(), QStringLiteral("-"));
  EXPECT_TRUE(conversion().isVisible());
  b.accion("salir")->trigger();
  EXPECT_TRUE(k().aplicacion().terminado());
}

}  // namespace
}  // namespace kalyxon::qt::prueba
