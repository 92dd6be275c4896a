// The help window: the program's own HTML pages in a browser with back,
// forward and index. Topic numbers are those the menus and F1 ask for; the
// keyboard-map page's picture is drawn when the page is shown, from what the
// running program answers for each key.
#pragma once

#include <QTextBrowser>
#include <QWidget>
#include <functional>

#include "qt/mapateclado.h"

namespace kalyxon::qt {

class NavegadorAyuda : public QTextBrowser {
  Q_OBJECT
 public:
  using QTextBrowser::QTextBrowser;
  ConsultaTecla consulta;
  QVariant loadResource(int type, const QUrl& name) override;
};

class VentanaAyuda : public QWidget {
  Q_OBJECT
 public:
  // `carpetas`: where to look for the "help" folder, in order.
  VentanaAyuda(QStringList carpetas, ConsultaTecla consulta, QWidget* parent = nullptr);

  // 0 is the index; an unknown topic shows the index too.
  void muestraTema(int tema);
  static QString paginaDeTema(int tema);
  NavegadorAyuda* navegador() const { return navegador_; }
  // The folder the pages were found in, or empty when none was.
  QString carpetaAyuda() const { return carpeta_; }

 private:
  NavegadorAyuda* navegador_;
  QString carpeta_;
};

}  // namespace kalyxon::qt
