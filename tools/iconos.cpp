// Paints the program's icons: the fourteen indicator pictures of the diacritic
// buttons (beside the program, as the buttons load them) and the program icon
// in the sizes desktop menus ask for.
//
//   kalyxon_iconos RUNTIME_DIR HICOLOR_DIR
#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "qt/pintor.h"

using namespace kalyxon::qt;

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: kalyxon_iconos RUNTIME_DIR HICOLOR_DIR\n");
    return 2;
  }
  QGuiApplication app(argc, argv);  // fonts for the program icon's letter
  const QDir bin(QString::fromLocal8Bit(argv[1]));
  const QDir hicolor(QString::fromLocal8Bit(argv[2]));
  if (!QDir().mkpath(bin.path()) || !QDir().mkpath(hicolor.path())) {
    std::fprintf(stderr, "kalyxon_iconos: cannot create the output folders\n");
    return 1;
  }
  const std::vector<int> lados = {16, 20, 24, 32, 48};
  bool ok = true;
  for (const auto& ind : indicadores()) {
    for (bool on : {false, true}) {
      std::vector<QImage> imgs;
      for (int lado : lados) imgs.push_back(pintaIndicador(ind.marca, on, lado));
      ok &= escribeIco(bin.filePath(archivoIndicador(ind, on)), imgs);
    }
  }
  std::vector<QImage> programa;
  for (int lado : {16, 24, 32, 48, 64, 128, 256}) {
    QImage img = pintaIconoPrograma(lado);
    programa.push_back(img);
    const QString carpeta = hicolor.filePath(QStringLiteral("%1x%1/apps").arg(lado));
    ok &= QDir().mkpath(carpeta) && img.save(carpeta + QStringLiteral("/kalyxon.png"));
  }
  ok &= programa.back().save(bin.filePath(QStringLiteral("kalyxon.png")));
  programa.pop_back();  // an .ico entry tops out at 255 pixels in its header
  ok &= escribeIco(bin.filePath(QStringLiteral("kalyxon.ico")), programa);
  if (!ok) {
    std::fprintf(stderr, "kalyxon_iconos: could not write every icon\n");
    return 1;
  }
  return 0;
}
