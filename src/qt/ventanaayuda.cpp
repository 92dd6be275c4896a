#include "qt/ventanaayuda.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace kalyxon::qt {

QVariant NavegadorAyuda::loadResource(int type, const QUrl& name) {
  if (type == QTextDocument::ImageResource && name.fileName() == QStringLiteral("mapa_teclado.png") &&
      consulta) {
    return pintaMapaTeclado(consulta, 0.92);
  }
  return QTextBrowser::loadResource(type, name);
}

VentanaAyuda::VentanaAyuda(QStringList carpetas, ConsultaTecla consulta, QWidget* parent)
    : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("ayuda"));
  setWindowTitle(QStringLiteral("Ayuda de Kalyxon"));
  for (const QString& c : carpetas) {
    const QString d = QDir(c).filePath(QStringLiteral("help"));
    if (QFileInfo(QDir(d).filePath(QStringLiteral("index.html"))).isFile()) {
      carpeta_ = d;
      break;
    }
  }
  navegador_ = new NavegadorAyuda(this);
  navegador_->consulta = std::move(consulta);
  navegador_->setOpenExternalLinks(true);
  if (!carpeta_.isEmpty()) navegador_->setSearchPaths({carpeta_});

  auto* atras = new QPushButton(QStringLiteral("Atrás"), this);
  auto* adelante = new QPushButton(QStringLiteral("Adelante"), this);
  auto* indice = new QPushButton(QStringLiteral("Índice"), this);
  atras->setEnabled(false);
  adelante->setEnabled(false);
  connect(atras, &QPushButton::clicked, navegador_, &QTextBrowser::backward);
  connect(adelante, &QPushButton::clicked, navegador_, &QTextBrowser::forward);
  connect(navegador_, &QTextBrowser::backwardAvailable, atras, &QPushButton::setEnabled);
  connect(navegador_, &QTextBrowser::forwardAvailable, adelante, &QPushButton::setEnabled);
  connect(indice, &QPushButton::clicked, this, [this] { muestraTema(0); });
  connect(navegador_, &QTextBrowser::sourceChanged, this, [this] {
    const QString t = navegador_->documentTitle();
    setWindowTitle(t.isEmpty() ? QStringLiteral("Ayuda de Kalyxon")
                               : QStringLiteral("Ayuda de Kalyxon - ") + t);
  });

  auto* barra = new QHBoxLayout;
  barra->addWidget(atras);
  barra->addWidget(adelante);
  barra->addWidget(indice);
  barra->addStretch(1);
  auto* todo = new QVBoxLayout(this);
  todo->addLayout(barra);
  todo->addWidget(navegador_, 1);
  resize(900, 640);
}

QString VentanaAyuda::paginaDeTema(int tema) {
  switch (tema) {
    case 1: return QStringLiteral("general.html");
    case 5: return QStringLiteral("conversion.html");
    case 8: return QStringLiteral("teclado.html");
    case 9: return QStringLiteral("especiales.html");
    case 10: return QStringLiteral("mapa.html");
    default: return QStringLiteral("index.html");
  }
}

void VentanaAyuda::muestraTema(int tema) {
  if (carpeta_.isEmpty()) {
    navegador_->setHtml(QStringLiteral(
        "<h2>Ayuda no encontrada</h2><p>No se encuentra la carpeta <b>help</b> de Kalyxon "
        "junto al programa ni en la carpeta de datos instalada.</p>"));
  } else {
    navegador_->setSource(QUrl::fromLocalFile(QDir(carpeta_).filePath(paginaDeTema(tema))));
  }
  show();
  raise();
  activateWindow();
}

}  // namespace kalyxon::qt
