#include "qt/bandeja.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>

#include "app/kalyxon.h"
#include "keyboard/tecladohook.h"
#include "qt/imagenes.h"

namespace kalyxon::qt {

Bandeja::Bandeja(Kalyxon& k, Imagenes& imagenes, std::function<void(std::string_view)> evento,
                 std::function<void()> muestra)
    : k_(k), imagenes_(imagenes), evento_(std::move(evento)), menu_(std::make_unique<QMenu>()) {
  menu_->setObjectName(QStringLiteral("bandeja"));
  griego_ = menu_->addAction(QStringLiteral("Griego"));
  griego_->setCheckable(true);
  diccionario_ = menu_->addAction(QStringLiteral("Diccionario"));
  diccionario_->setCheckable(true);
  menu_->addSeparator();
  convertir_ = menu_->addAction(QStringLiteral("Convertir fuentes"));
  mostrar_ = menu_->addAction(QStringLiteral("Mostrar ventana"));
  menu_->addSeparator();
  salir_ = menu_->addAction(QStringLiteral("Salir"));

  connect(griego_, &QAction::triggered, this, [this] {
    Form1& f = k_.form1;
    // Ticked but switched to Latin with F2: the entry means "Greek now",
    // which a fresh tick gives.
    if (f.chkgri.value == 1 && k_.teclado().lModoGriego) {
      f.chkgri.setValue(0);
    } else {
      f.chkgri.setValue(0);
      f.chkgri.setValue(1);
    }
    evento_("");
  });
  connect(diccionario_, &QAction::triggered, this, [this] {
    Form1& f = k_.form1;
    f.chkdic.setValue(f.chkdic.value == 1 ? 0 : 1);
    evento_("");
  });
  connect(convertir_, &QAction::triggered, this, [this] { evento_("mnuhertra_Click"); });
  connect(mostrar_, &QAction::triggered, this, std::move(muestra));
  connect(salir_, &QAction::triggered, this, [this] { evento_("Form_Close"); });

  if (QSystemTrayIcon::isSystemTrayAvailable()) {
    icono_ = new QSystemTrayIcon(this);
    icono_->setContextMenu(menu_.get());
    connect(icono_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
      if (r == QSystemTrayIcon::Trigger) mostrar_->trigger();
    });
  }
  render();
  if (icono_) icono_->show();
}

Bandeja::~Bandeja() {
  if (icono_) icono_->hide();
}

QAction* Bandeja::accion(std::string_view n) const {
  if (n == "griego") return griego_;
  if (n == "diccionario") return diccionario_;
  if (n == "convertir") return convertir_;
  if (n == "mostrar") return mostrar_;
  if (n == "salir") return salir_;
  return nullptr;
}

QString Bandeja::estado() const {
  const Form1& f = k_.form1;
  const bool puesto = f.chkgri.value == 1;
  QString e = !puesto ? QStringLiteral("-")
                      : k_.teclado().lModoGriego ? QStringLiteral("G") : QStringLiteral("L");
  if (f.chkdic.value == 1) e += u'D';
  return e;
}

QIcon Bandeja::pinta(bool griego, bool latino, bool diccionario) {
  // The program's picture, greyed while Greek is off; the rough breathing
  // indicator marks the dictionary, and a Latin "a" the F2 switch.
  QPixmap lienzo(32, 32);
  lienzo.fill(Qt::transparent);
  QPainter p(&lienzo);
  const QIcon base = imagenes_.icono(QStringLiteral("kalyxon.png"), QStringLiteral("\u1F04"));
  p.drawPixmap(0, 0, base.pixmap(32, 32, griego || latino ? QIcon::Normal : QIcon::Disabled));
  if (diccionario)
    p.drawPixmap(18, 18, imagenes_.icono(QStringLiteral("espasp2.ico"), QStringLiteral("\u1FFE"))
                             .pixmap(14, 14));
  if (latino) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawRoundedRect(0, 16, 16, 16, 3, 3);
    p.setPen(Qt::black);
    QFont fuente = p.font();
    fuente.setPixelSize(14);
    fuente.setBold(true);
    p.setFont(fuente);
    p.drawText(QRect(0, 16, 16, 16), Qt::AlignCenter, QStringLiteral("a"));
  }
  p.end();
  return QIcon(lienzo);
}

void Bandeja::render() {
  const Form1& f = k_.form1;
  const bool puesto = f.chkgri.value == 1;
  const bool griego = puesto && k_.teclado().lModoGriego;
  if (griego_->isChecked() != griego) griego_->setChecked(griego);
  if (diccionario_->isChecked() != (f.chkdic.value == 1)) diccionario_->setChecked(f.chkdic.value == 1);
  if (diccionario_->isEnabled() != f.chkdic.enabled) diccionario_->setEnabled(f.chkdic.enabled);
  const QString e = estado();
  if (e == estadoPintado_) return;
  estadoPintado_ = e;
  if (!icono_) return;
  icono_->setIcon(pinta(griego, puesto && !griego, f.chkdic.value == 1));
  QString tip = QStringLiteral("Kalyxon: ");
  tip += griego ? QStringLiteral("griego") : puesto ? QStringLiteral("latín (F2)") : QStringLiteral("desactivado");
  if (f.chkdic.value == 1) tip += QStringLiteral(", diccionario");
  icono_->setToolTip(tip);
}

}  // namespace kalyxon::qt
