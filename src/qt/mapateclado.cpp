#include "qt/mapateclado.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <vector>

#include "app/kalyxon.h"
#include "greek/alfabeto.h"
#include "greek/compositor.h"
#include "keyboard/diacriticos.h"
#include "keyboard/tecladohook.h"
#include "qt/controles.h"

namespace kalyxon::qt {

namespace {

struct Tecla {
  int vk;
  const char* baja;  // legend without shift
  const char* alta;  // legend with shift
  qreal ancho = 1.0;
};

// The Spanish (ISO) layout, row by row, with each key's Windows key code.
const std::vector<std::vector<Tecla>>& filas() {
  static const std::vector<std::vector<Tecla>> f = {
      {{220, "º", "ª"}, {49, "1", "!"}, {50, "2", "\""}, {51, "3", "·"}, {52, "4", "$"},
       {53, "5", "%"}, {54, "6", "&"}, {55, "7", "/"}, {56, "8", "("}, {57, "9", ")"},
       {48, "0", "="}, {219, "'", "?"}, {221, "¡", "¿"}},
      {{81, "q", "Q"}, {87, "w", "W"}, {69, "e", "E"}, {82, "r", "R"}, {84, "t", "T"},
       {89, "y", "Y"}, {85, "u", "U"}, {73, "i", "I"}, {79, "o", "O"}, {80, "p", "P"},
       {186, "`", "^"}, {187, "+", "*"}},
      {{65, "a", "A"}, {83, "s", "S"}, {68, "d", "D"}, {70, "f", "F"}, {71, "g", "G"},
       {72, "h", "H"}, {74, "j", "J"}, {75, "k", "K"}, {76, "l", "L"}, {192, "ñ", "Ñ"},
       {222, "´", "¨"}, {191, "ç", "Ç"}},
      {{226, "<", ">"}, {90, "z", "Z"}, {88, "x", "X"}, {67, "c", "C"}, {86, "v", "V"},
       {66, "b", "B"}, {78, "n", "N"}, {77, "m", "M"}, {188, ",", ";"}, {190, ".", ":"},
       {189, "-", "_"}},
  };
  return f;
}

// Left indent of each row in key widths, as on the physical keyboard.
constexpr qreal kSangria[] = {0.0, 1.5, 1.75, 1.25};

const QColor kTecla(0xFB, 0xFB, 0xF8), kBorde(0x70, 0x70, 0x70), kLatina(0x68, 0x68, 0x68);
const QColor kGriega(0x10, 0x30, 0x80), kMuerta(0xB0, 0x30, 0x10), kMuertaFondo(0xFF, 0xF0, 0xE6);

}  // namespace

QImage pintaMapaTeclado(const ConsultaTecla& consulta, qreal escala) {
  const qreal u = 60 * escala;  // one key width
  const qreal margen = 12 * escala;
  const qreal leyenda = 44 * escala;
  const int ancho = static_cast<int>(2 * margen + 14.5 * u);
  const int alto = static_cast<int>(2 * margen + 5 * u + leyenda);
  QImage img(ancho, alto, QImage::Format_ARGB32_Premultiplied);
  img.fill(QColor(0xE8, 0xEA, 0xEE));
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);

  QFont latina(QStringLiteral("DejaVu Sans"));
  latina.setPixelSize(static_cast<int>(11 * escala));
  QFont griega = fuenteGriega(QString(), 0);
  griega.setPixelSize(static_cast<int>(24 * escala));
  QFont griegaMay = griega;
  griegaMay.setPixelSize(static_cast<int>(14 * escala));
  QFont marca(QStringLiteral("DejaVu Sans"));
  marca.setPixelSize(static_cast<int>(10 * escala));
  marca.setBold(true);

  auto dibujaTecla = [&](const QRectF& r, const Tecla& t) {
    const ContenidoTecla baja = consulta(t.vk, false);
    const ContenidoTecla alta = consulta(t.vk, true);
    const bool muerta = !baja.muerta.isEmpty() || !alta.muerta.isEmpty();
    p.setPen(QPen(kBorde, 1.2 * escala));
    p.setBrush(muerta ? kMuertaFondo : kTecla);
    p.drawRoundedRect(r.adjusted(2 * escala, 2 * escala, -2 * escala, -2 * escala), 6 * escala,
                      6 * escala);
    const QRectF in = r.adjusted(7 * escala, 5 * escala, -7 * escala, -5 * escala);
    // Latin legends on the left, shifted above unshifted, as printed on keys.
    p.setFont(latina);
    p.setPen(kLatina);
    p.drawText(in, Qt::AlignLeft | Qt::AlignTop, QString::fromUtf8(t.alta));
    p.drawText(in, Qt::AlignLeft | Qt::AlignBottom, QString::fromUtf8(t.baja));
    if (muerta) {
      // Dead keys: the mark each shift state arms, in the dead-key colour,
      // shrunk until it fits beside the key's legend.
      p.setPen(kMuerta);
      const QRectF zona = in.adjusted(10 * escala, 0, 0, 0);
      auto escribe = [&](const QString& t, Qt::Alignment donde) {
        if (t.isEmpty()) return;
        QFont f = marca;
        while (f.pixelSize() > 6 && QFontMetricsF(f).horizontalAdvance(t) > zona.width())
          f.setPixelSize(f.pixelSize() - 1);
        p.setFont(f);
        p.drawText(zona, Qt::AlignRight | donde, t);
      };
      escribe(alta.muerta, Qt::AlignTop);
      escribe(baja.muerta, Qt::AlignBottom);
      return;
    }
    p.setPen(kGriega);
    if (!alta.letra.isEmpty() && alta.letra != baja.letra) {
      p.setFont(griegaMay);
      p.drawText(in, Qt::AlignRight | Qt::AlignTop, alta.letra);
    }
    if (!baja.letra.isEmpty()) {
      p.setFont(griega);
      p.drawText(in.adjusted(in.width() * 0.3, in.height() * 0.2, 0, 0), Qt::AlignCenter, baja.letra);
    }
  };

  for (size_t fila = 0; fila < filas().size(); ++fila) {
    qreal x = margen + kSangria[fila] * u;
    const qreal y = margen + fila * u;
    for (const Tecla& t : filas()[fila]) {
      dibujaTecla(QRectF(x, y, u * t.ancho, u), t);
      x += u * t.ancho;
    }
  }
  // The space bar.
  const QRectF espacio(margen + 4 * u, margen + 4 * u, 6 * u, u);
  p.setPen(QPen(kBorde, 1.2 * escala));
  p.setBrush(kTecla);
  p.drawRoundedRect(espacio.adjusted(2 * escala, 2 * escala, -2 * escala, -2 * escala), 6 * escala,
                    6 * escala);
  p.setFont(latina);
  p.setPen(kLatina);
  p.drawText(espacio, Qt::AlignCenter, QStringLiteral("espacio: separa palabras"));

  // Legend.
  const QRectF pie(margen, margen + 5 * u + 6 * escala, ancho - 2 * margen, leyenda - 6 * escala);
  QFont pieFuente(QStringLiteral("DejaVu Sans"));
  pieFuente.setPixelSize(static_cast<int>(12 * escala));
  p.setFont(pieFuente);
  p.setPen(kGriega);
  p.drawText(pie, Qt::AlignLeft | Qt::AlignTop,
             QStringLiteral("Azul: letra griega (minúscula en el centro, mayúscula arriba a la derecha)."));
  p.setPen(kMuerta);
  p.drawText(pie, Qt::AlignLeft | Qt::AlignBottom,
             QStringLiteral("Rojo: tecla muerta; arma la marca para la vocal siguiente "
                            "(abajo sin mayúsculas, arriba con mayúsculas)."));
  return img;
}

namespace {

QString nombreMarcas(const Form1& f) {
  QStringList partes;
  switch (f.nAcc) {
    case 1: partes << QStringLiteral("´ agudo"); break;
    case 2: partes << QStringLiteral("` grave"); break;
    case 3: partes << QStringLiteral("῀ circunf."); break;
    default: break;
  }
  if (f.nEsp == 1) partes << QStringLiteral("᾿ suave");
  if (f.nEsp == 2) partes << QStringLiteral("῾ áspero");
  if (f.nDie == 1) partes << QStringLiteral("¨ diéresis");
  if (f.nIot == 1) partes << QStringLiteral("ͺ iota");
  return partes.join(u' ');
}

bool esGriego(int32_t c) { return c >= 0x0370; }

template <class K>
ContenidoTecla consulta(K& k, int vk, bool mayusculas) {
  ContenidoTecla out;
  const Form1 copia = k.form1;  // probes must leave no trace in the window
  Form1& f = k.form1;
  using Hook = std::remove_reference_t<decltype(k.teclado())>;
  if constexpr (requires { Hook::esDiacritico(vk, mayusculas); }) {
    if (Hook::esDiacritico(vk, mayusculas)) {
      f.nAcc = f.nEsp = f.nDie = f.nIot = f.nMay = 0;
      f.lRectifica = false;
      k.diacriticos().ponDiacritico(vk, mayusculas);
      out.muerta = nombreMarcas(f);
      k.form1 = copia;
      return out;
    }
  }
  bool tomada = true;
  if constexpr (requires { Hook::esTeclaGriega(vk, mayusculas); })
    tomada = Hook::esTeclaGriega(vk, mayusculas);
  if (!tomada) return out;
  f.nAcc = f.nEsp = f.nDie = f.nIot = f.nMay = 0;
  int32_t c = 0;
  bool sonda = false;
  bool noBorrar = true;
  if constexpr (requires { k.alfabeto().buscaGriego(vk, mayusculas, noBorrar); }) {
    c = k.alfabeto().buscaGriego(vk, mayusculas, noBorrar);
    sonda = true;
  } else if constexpr (requires { k.compositor().buscaGriego(vk, mayusculas, noBorrar); }) {
    c = k.compositor().buscaGriego(vk, mayusculas, noBorrar);
    sonda = true;
  }
  k.form1 = copia;
  // C is never looked up: the composer always types the final sigma for it.
  if (vk == 67) c = mayusculas ? 0 : 0x03C2;
  if (sonda && c > 0 && c < 0x10000 && esGriego(c)) out.letra = QString(QChar(static_cast<char16_t>(c)));
  return out;
}

}  // namespace

ContenidoTecla consultaMotor(Kalyxon& k, int vk, bool mayusculas) { return consulta(k, vk, mayusculas); }

}  // namespace kalyxon::qt
