#include "qt/pintor.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <QtEndian>

namespace kalyxon::qt {

const std::vector<Indicador>& indicadores() {
  static const std::vector<Indicador> lista = {
      {Marca::Dieresis, "dieresis", "\u00A8"}, {Marca::Circunflejo, "acccir", "~"},
      {Marca::Iota, "iota", "\u03B9"},         {Marca::Grave, "accgra", "`"},
      {Marca::Agudo, "accagu", "\u00B4"},      {Marca::Aspero, "espasp", "("},
      {Marca::Suave, "espsuave", ")"},
  };
  return lista;
}

QString archivoIndicador(const Indicador& ind, bool encendido) {
  return QString::fromLatin1(ind.raiz) + (encendido ? QStringLiteral("2.ico") : QStringLiteral("1.ico"));
}

const Indicador* indicadorDeArchivo(const QString& archivo, bool* encendido) {
  for (const auto& ind : indicadores()) {
    for (bool on : {false, true}) {
      if (archivo.compare(archivoIndicador(ind, on), Qt::CaseInsensitive) == 0) {
        if (encendido) *encendido = on;
        return &ind;
      }
    }
  }
  return nullptr;
}

namespace {

// Off: a light key with a dark mark. On: a saturated key with a white mark,
// so the state reads at a glance even at 16 pixels.
const QColor kFondoOff(0xF2, 0xF2, 0xF0), kBordeOff(0x8A, 0x8A, 0x8A), kTintaOff(0x30, 0x30, 0x30);
const QColor kFondoOn(0x1E, 0x5A, 0xC8), kBordeOn(0x0B, 0x2E, 0x70), kTintaOn(0xFF, 0xFF, 0xFF);

QImage lienzo(int lado, bool encendido, QPainter& p) {
  QImage img(lado, lado, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  p.begin(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal borde = std::max(1.0, lado / 16.0);
  const QRectF r(borde / 2, borde / 2, lado - borde, lado - borde);
  p.setPen(QPen(encendido ? kBordeOn : kBordeOff, borde));
  p.setBrush(encendido ? kFondoOn : kFondoOff);
  p.drawRoundedRect(r, lado * 0.18, lado * 0.18);
  return img;
}

}  // namespace

QImage pintaIndicador(Marca marca, bool encendido, int lado) {
  QPainter p;
  QImage img = lienzo(lado, encendido, p);
  p.scale(lado, lado);  // draw in a unit square
  const QColor tinta = encendido ? kTintaOn : kTintaOff;
  // Strokes stay at least about 1.6 pixels wide so they survive 16 px.
  const qreal grueso = std::max(0.13, 1.6 / lado);
  QPen pluma(tinta, grueso, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  p.setPen(pluma);
  p.setBrush(Qt::NoBrush);
  auto punto = [&](qreal x, qreal y, qreal radio) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(tinta);
    p.drawEllipse(QPointF(x, y), radio, radio);
    p.restore();
  };
  switch (marca) {
    case Marca::Agudo:
      p.drawLine(QPointF(0.36, 0.74), QPointF(0.64, 0.26));
      break;
    case Marca::Grave:
      p.drawLine(QPointF(0.36, 0.26), QPointF(0.64, 0.74));
      break;
    case Marca::Circunflejo: {
      QPainterPath onda(QPointF(0.2, 0.58));
      onda.cubicTo(QPointF(0.32, 0.3), QPointF(0.45, 0.36), QPointF(0.5, 0.5));
      onda.cubicTo(QPointF(0.55, 0.64), QPointF(0.68, 0.7), QPointF(0.8, 0.42));
      p.drawPath(onda);
      break;
    }
    case Marca::Dieresis:
      punto(0.32, 0.5, 0.12);
      punto(0.68, 0.5, 0.12);
      break;
    case Marca::Suave: {  // like an apostrophe: a head with a tail bending left
      punto(0.5, 0.33, 0.13);
      QPainterPath cola(QPointF(0.6, 0.35));
      cola.cubicTo(QPointF(0.64, 0.55), QPointF(0.55, 0.68), QPointF(0.38, 0.76));
      p.drawPath(cola);
      break;
    }
    case Marca::Aspero: {  // the mirror image: the tail bends right
      punto(0.5, 0.33, 0.13);
      QPainterPath cola(QPointF(0.4, 0.35));
      cola.cubicTo(QPointF(0.36, 0.55), QPointF(0.45, 0.68), QPointF(0.62, 0.76));
      p.drawPath(cola);
      break;
    }
    case Marca::Iota: {  // a faint omega with a bold iota hanging under it
      QColor tenue = tinta;
      tenue.setAlphaF(0.5);
      QPen fina(tenue, std::max(0.07, 1.0 / lado), Qt::SolidLine, Qt::RoundCap);
      p.setPen(fina);
      QPainterPath omega(QPointF(0.3, 0.26));
      omega.cubicTo(QPointF(0.18, 0.34), QPointF(0.2, 0.52), QPointF(0.34, 0.52));
      omega.cubicTo(QPointF(0.44, 0.52), QPointF(0.5, 0.44), QPointF(0.5, 0.34));
      omega.cubicTo(QPointF(0.5, 0.44), QPointF(0.56, 0.52), QPointF(0.66, 0.52));
      omega.cubicTo(QPointF(0.8, 0.52), QPointF(0.82, 0.34), QPointF(0.7, 0.26));
      p.drawPath(omega);
      p.setPen(pluma);
      QPainterPath iota(QPointF(0.5, 0.62));
      iota.lineTo(QPointF(0.5, 0.74));
      iota.quadTo(QPointF(0.5, 0.82), QPointF(0.6, 0.8));
      p.drawPath(iota);
      break;
    }
  }
  p.end();
  return img;
}

QImage pintaGlifo(const QString& glifo, bool encendido, int lado) {
  QPainter p;
  QImage img = lienzo(lado, encendido, p);
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(std::max(8, lado * 3 / 4));
  f.setBold(true);
  p.setFont(f);
  p.setPen(encendido ? kTintaOn : kTintaOff);
  p.drawText(QRect(0, 0, lado, lado), Qt::AlignCenter, glifo);
  p.end();
  return img;
}

QImage pintaIconoPrograma(int lado) {
  QImage img(lado, lado, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  QLinearGradient fondo(0, 0, 0, lado);
  fondo.setColorAt(0, QColor(0x2A, 0x6C, 0xD8));
  fondo.setColorAt(1, QColor(0x12, 0x3A, 0x86));
  p.setPen(Qt::NoPen);
  p.setBrush(fondo);
  const qreal m = lado * 0.04;
  p.drawRoundedRect(QRectF(m, m, lado - 2 * m, lado - 2 * m), lado * 0.2, lado * 0.2);
  QFont f(QStringLiteral("DejaVu Serif"));
  f.setPixelSize(static_cast<int>(lado * 0.72));
  p.setFont(f);
  p.setPen(Qt::white);
  // Alpha with smooth breathing and acute: the program in one letter.
  p.drawText(QRectF(0, -lado * 0.04, lado, lado), Qt::AlignCenter, QString(QChar(0x1F04)));
  return img;
}

bool escribeIco(const QString& ruta, const std::vector<QImage>& imagenes) {
  QByteArray cabecera, datos;
  auto u16 = [](QByteArray& b, quint16 v) {
    v = qToLittleEndian(v);
    b.append(reinterpret_cast<const char*>(&v), 2);
  };
  auto u32 = [](QByteArray& b, quint32 v) {
    v = qToLittleEndian(v);
    b.append(reinterpret_cast<const char*>(&v), 4);
  };
  u16(cabecera, 0);
  u16(cabecera, 1);  // icon
  u16(cabecera, static_cast<quint16>(imagenes.size()));
  quint32 desplazamiento = 6 + 16 * static_cast<quint32>(imagenes.size());
  for (const QImage& original : imagenes) {
    const QImage img = original.convertToFormat(QImage::Format_ARGB32);
    const int w = img.width(), h = img.height();
    QByteArray dib;
    u32(dib, 40);
    u32(dib, static_cast<quint32>(w));
    u32(dib, static_cast<quint32>(h * 2));  // colour rows and mask rows
    u16(dib, 1);
    u16(dib, 32);
    u32(dib, 0);
    u32(dib, 0);
    u32(dib, 0);
    u32(dib, 0);
    u32(dib, 0);
    u32(dib, 0);
    for (int y = h - 1; y >= 0; --y) {  // bottom-up BGRA
      const auto* fila = reinterpret_cast<const QRgb*>(img.constScanLine(y));
      for (int x = 0; x < w; ++x) u32(dib, fila[x]);
    }
    const int bytesMascara = ((w + 31) / 32) * 4;
    for (int y = h - 1; y >= 0; --y) {
      QByteArray fila(bytesMascara, '\0');
      const auto* px = reinterpret_cast<const QRgb*>(img.constScanLine(y));
      for (int x = 0; x < w; ++x)
        if (qAlpha(px[x]) == 0) fila[x / 8] = static_cast<char>(fila[x / 8] | (0x80 >> (x % 8)));
      dib.append(fila);
    }
    cabecera.append(static_cast<char>(w >= 256 ? 0 : w));
    cabecera.append(static_cast<char>(h >= 256 ? 0 : h));
    cabecera.append('\0');
    cabecera.append('\0');
    u16(cabecera, 1);
    u16(cabecera, 32);
    u32(cabecera, static_cast<quint32>(dib.size()));
    u32(cabecera, desplazamiento);
    desplazamiento += static_cast<quint32>(dib.size());
    datos.append(dib);
  }
  QSaveFile f(ruta);
  if (!f.open(QIODevice::WriteOnly)) return false;
  f.write(cabecera);
  f.write(datos);
  return f.commit();
}

}  // namespace kalyxon::qt
