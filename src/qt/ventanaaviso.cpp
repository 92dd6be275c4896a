#include "qt/ventanaaviso.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/frmini.h"
#include "qt/imagenes.h"
#include "qt/services.h"
#include "qt/twips.h"

namespace kalyxon::qt {

VentanaAviso::VentanaAviso(Frmini& modelo, Imagenes& imagenes,
                           std::function<void(std::string_view)> evento)
    : QWidget(nullptr, Qt::Dialog), m_(modelo), imagenes_(imagenes), evento_(std::move(evento)) {
  setObjectName(QStringLiteral("frmini"));
  imglog_ = new QLabel(this);
  imglog_->setObjectName(QStringLiteral("imglog"));
  lblnom_ = new QLabel(this);
  lblnom_->setObjectName(QStringLiteral("lblnom"));
  QFont grande = lblnom_->font();
  grande.setPointSize(grande.pointSize() + 6);
  grande.setBold(true);
  lblnom_->setFont(grande);
  lblweb_ = new QLabel(this);
  lblweb_->setObjectName(QStringLiteral("lblweb"));
  lblver_ = new QLabel(this);
  lblver_->setObjectName(QStringLiteral("lblver"));
  auto* nombres = new QVBoxLayout;
  nombres->addWidget(lblnom_);
  nombres->addWidget(lblweb_);
  auto* cabecera = new QHBoxLayout;
  cabecera->addWidget(imglog_);
  cabecera->addLayout(nombres, 1);
  cabecera->addWidget(lblver_, 0, Qt::AlignBottom);

  txtini_ = new QPlainTextEdit(this);
  txtini_->setObjectName(QStringLiteral("txtini"));
  txtini_->setReadOnly(true);

  cmdace_ = new QPushButton(this);
  cmdace_->setObjectName(QStringLiteral("cmdace"));
  cmdace_->setDefault(true);
  cmdcan_ = new QPushButton(this);
  cmdcan_->setObjectName(QStringLiteral("cmdcan"));
  connect(cmdace_, &QPushButton::clicked, this, [this] { evento_("frmini_cmdace_Click"); });
  connect(cmdcan_, &QPushButton::clicked, this, [this] { evento_("frmini_cmdcan_Click"); });
  auto* botones = new QHBoxLayout;
  botones->addStretch(1);
  botones->addWidget(cmdace_);
  botones->addWidget(cmdcan_);

  auto* todo = new QVBoxLayout(this);
  todo->addLayout(cabecera);
  todo->addWidget(txtini_, 1);
  todo->addLayout(botones);
  resize(twipsToPxX(*this, m_.ventana.width), twipsToPxY(*this, m_.ventana.height));
  render();
}

void VentanaAviso::render() {
  renderizando_ = true;
  const QString titulo = toQ(m_.ventana.caption);
  if (windowTitle() != titulo) setWindowTitle(titulo);
  const QString t = toQ(m_.txtini.text);
  if (txtini_->toPlainText() != t) txtini_->setPlainText(t);
  ponTexto(lblver_, m_.lblver.caption);
  ponTexto(lblnom_, m_.lblnom.caption);
  ponTexto(lblweb_, m_.lblweb.caption);
  ponTexto(cmdace_, m_.cmdace.caption);
  ponTexto(cmdcan_, m_.cmdcan.caption);
  ponLogo(imglog_, logo_, m_.imglog.picture, imagenes_);
  if (m_.ventana.visible && !isVisible()) show();
  if (!m_.ventana.visible && isVisible()) hide();
  renderizando_ = false;
}

void VentanaAviso::closeEvent(QCloseEvent* e) {
  // Closing the notice with its frame button is its "Cancelar".
  if (!renderizando_ && m_.ventana.visible) evento_("frmini_cmdcan_Click");
  e->accept();
}

}  // namespace kalyxon::qt
