#include "qt/ventanaaviso.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "qt/services.h"

namespace kalyxon::qt {

VentanaAviso::VentanaAviso(ModeloAviso modelo, const QIcon& icono,
                           std::function<void(std::string_view)> evento)
    : QWidget(nullptr, Qt::Dialog), m_(modelo), evento_(std::move(evento)) {
  setObjectName(QStringLiteral("frmini"));
  setWindowIcon(icono);
  // The identity: the program's icon, name and what it is for.
  auto* logo = new QLabel(this);
  logo->setPixmap(icono.pixmap(64, 64));
  auto* nombre = new QLabel(QStringLiteral("<b style='font-size:16pt'>Kalyxon</b><br>"
                                           "Escritura en griego clásico politónico"),
                            this);
  lblver_ = new QLabel(this);
  lblver_->setObjectName(QStringLiteral("lblver"));
  auto* cabecera = new QHBoxLayout;
  cabecera->addWidget(logo);
  cabecera->addWidget(nombre, 1);
  cabecera->addWidget(lblver_, 0, Qt::AlignBottom);

  txtini_ = new QPlainTextEdit(this);
  txtini_->setObjectName(QStringLiteral("txtini"));
  txtini_->setReadOnly(true);
  txtini_->setMinimumSize(460, 220);

  cmdace_ = new QPushButton(this);
  cmdace_->setObjectName(QStringLiteral("cmdace"));
  cmdace_->setDefault(true);
  cmdcan_ = new QPushButton(this);
  cmdcan_->setObjectName(QStringLiteral("cmdcan"));
  connect(cmdace_, &QPushButton::clicked, this, [this] { evento_("frmini.cmdace_Click"); });
  connect(cmdcan_, &QPushButton::clicked, this, [this] { evento_("frmini.cmdcan_Click"); });
  auto* botones = new QHBoxLayout;
  botones->addStretch(1);
  botones->addWidget(cmdace_);
  botones->addWidget(cmdcan_);

  auto* todo = new QVBoxLayout(this);
  todo->addLayout(cabecera);
  todo->addWidget(txtini_, 1);
  todo->addLayout(botones);
  render();
}

void VentanaAviso::render() {
  auto txt = [](const vm::Control& c, const QString& siVacio) {
    return c.caption.empty() ? siVacio : toQ(c.caption);
  };
  const QString titulo = m_.ventana->caption.empty() ? QStringLiteral("Kalyxon") : toQ(m_.ventana->caption);
  if (windowTitle() != titulo) setWindowTitle(titulo);
  const QString t = toQ(m_.txtini->text);
  if (txtini_->toPlainText() != t) txtini_->setPlainText(t);
  lblver_->setText(toQ(m_.lblver->caption));
  // The buttons' captions are the notice's own design, not engine state.
  cmdace_->setText(txt(*m_.cmdace, QStringLiteral("Aceptar")));
  cmdcan_->setText(txt(*m_.cmdcan, QStringLiteral("Cancelar")));
  if (m_.delMotor) {
    if (m_.ventana->visible && !isVisible()) show();
    if (!m_.ventana->visible && isVisible()) hide();
  }
}

void VentanaAviso::closeEvent(QCloseEvent* e) {
  // Closing the notice with its frame button is its "Cancelar".
  if (!cerrando_ && isVisible()) {
    cerrando_ = true;
    evento_("frmini.cmdcan_Click");
    cerrando_ = false;
  }
  e->accept();
}

}  // namespace kalyxon::qt
