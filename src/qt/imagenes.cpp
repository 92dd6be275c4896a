#include "qt/imagenes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>

#include "app/carpeta.h"
#include "qt/pintor.h"

namespace kalyxon::qt {

QStringList carpetasDeDatos(const QString& carpetaPrograma) {
  QStringList out;
  auto add = [&](const QString& d) {
    const QString c = QDir::cleanPath(d);
    if (!d.isEmpty() && !out.contains(c)) out << c;
  };
  add(carpetaPrograma);
  add(QCoreApplication::applicationDirPath());
  // An installed copy: <prefix>/share/kalyxon, found from the executable.
  if (auto d = carpetaDatosInstalados(QCoreApplication::applicationFilePath().toStdString()))
    add(QString::fromStdString(d->string()));
  return out;
}

QString Imagenes::ruta(const QString& archivo) const {
  if (archivo.isEmpty()) return {};
  for (const QString& c : carpetas_) {
    const QString r = QDir(c).filePath(archivo);
    if (QFileInfo(r).isFile()) return r;
  }
  return {};
}

QIcon Imagenes::icono(const QString& archivo, const QString& glifoSiFalta) {
  const QString clave = archivo + u'\n' + glifoSiFalta;
  if (auto it = cache_.find(clave); it != cache_.end()) return it->second;
  QIcon icon;
  if (const QString r = ruta(archivo); !r.isEmpty()) {
    icon = QIcon(r);
    if (icon.availableSizes().isEmpty() && QPixmap(r).isNull()) icon = QIcon();
  }
  if (icon.isNull()) {
    bool on = false;
    const Indicador* ind = indicadorDeArchivo(archivo, &on);
    const QString glifo = ind ? QString::fromUtf8(ind->glifo) : glifoSiFalta;
    for (int lado : {16, 24, 32, 48}) icon.addPixmap(QPixmap::fromImage(pintaGlifo(glifo, on, lado)));
  }
  cache_[clave] = icon;
  return icon;
}

void ponLogo(QLabel* l, std::string& puesto, const std::string& archivo, Imagenes& imagenes) {
  if (puesto == archivo && !l->pixmap().isNull()) return;
  puesto = archivo;
  l->setPixmap(imagenes.icono(QString::fromStdString(archivo), QStringLiteral("\u1F04")).pixmap(64, 64));
}

}  // namespace kalyxon::qt
