// Loading the pictures the window models name by bare file name. They are
// looked for in the program folder, then beside the executable, then in the
// installed data folder; a picture that cannot be loaded is drawn instead
// (the indicator's mark as a text glyph), so a missing file never leaves a
// button blank or stops the program.
#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>
#include <map>
#include <string>

class QLabel;

namespace kalyxon::qt {

class Imagenes {
 public:
  explicit Imagenes(QStringList carpetas) : carpetas_(std::move(carpetas)) {}
  // The picture for a file name; `glifoSiFalta` is drawn when the file and
  // the indicator it names are both unknown.
  QIcon icono(const QString& archivo, const QString& glifoSiFalta = QStringLiteral("?"));
  // Where a file was found, or empty.
  QString ruta(const QString& archivo) const;
  const QStringList& carpetas() const { return carpetas_; }

 private:
  QStringList carpetas_;
  std::map<QString, QIcon> cache_;
};

// The folders the program's data is looked for in, in order.
QStringList carpetasDeDatos(const QString& carpetaPrograma);

// Shows the picture `archivo` (a window's logo, 64 px) in `l`, unless it
// already shows it (`puesto` remembers what it shows).
void ponLogo(QLabel* l, std::string& puesto, const std::string& archivo, Imagenes& imagenes);

}  // namespace kalyxon::qt
