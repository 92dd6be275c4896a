#include "qt/ventanaacerca.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/frmace.h"
#include "qt/imagenes.h"
#include "qt/services.h"
#include "qt/twips.h"

namespace kalyxon::qt {

namespace {

QLabel* etiqueta(QWidget* padre, const char* nombre) {
  auto* l = new QLabel(padre);
  l->setObjectName(QString::fromLatin1(nombre));
  l->setWordWrap(true);
  l->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return l;
}

QPlainTextEdit* caja(QWidget* padre, const char* nombre) {
  auto* t = new QPlainTextEdit(padre);
  t->setObjectName(QString::fromLatin1(nombre));
  t->setReadOnly(true);
  return t;
}

}  // namespace

VentanaAcerca::VentanaAcerca(Frmace& modelo, Imagenes& imagenes,
                             std::function<void(std::string_view)> evento)
    // Above the main window, which stays on top of every other.
    : QWidget(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint), m_(modelo), imagenes_(imagenes), evento_(std::move(evento)) {
  setObjectName(QStringLiteral("frmace"));
  imglog_ = new QLabel(this);
  imglog_->setObjectName(QStringLiteral("imglog"));
  lblnom_ = etiqueta(this, "lblnom");
  QFont grande = lblnom_->font();
  grande.setPointSize(grande.pointSize() + 6);
  grande.setBold(true);
  lblnom_->setFont(grande);
  lblver_ = etiqueta(this, "lblver");
  lbldes_ = etiqueta(this, "lbldes");
  lblide_ = etiqueta(this, "lblide");
  lblcar_ = etiqueta(this, "lblcar");
  auto* nombres = new QVBoxLayout;
  nombres->addWidget(lblnom_);
  nombres->addWidget(lblver_);
  auto* cabecera = new QHBoxLayout;
  cabecera->addWidget(imglog_, 0, Qt::AlignTop);
  cabecera->addLayout(nombres, 1);

  pestanas_ = new QTabWidget(this);
  pestanas_->setObjectName(QStringLiteral("tabace"));
  txtatr_ = caja(pestanas_, "txtatr");
  txtlic_ = caja(pestanas_, "txtlic");
  pestanas_->addTab(txtatr_, QString());
  pestanas_->addTab(txtlic_, QString());

  cmdace_ = new QPushButton(this);
  cmdace_->setObjectName(QStringLiteral("cmdace"));
  cmdace_->setDefault(true);
  connect(cmdace_, &QPushButton::clicked, this, [this] { evento_("frmace_cmdace_Click"); });
  auto* botones = new QHBoxLayout;
  botones->addWidget(lblcar_, 1);
  botones->addWidget(cmdace_);

  auto* todo = new QVBoxLayout(this);
  todo->addLayout(cabecera);
  todo->addWidget(lbldes_);
  todo->addWidget(lblide_);
  todo->addWidget(pestanas_, 1);
  todo->addLayout(botones);
  resize(twipsToPxX(*this, m_.ventana.width), twipsToPxY(*this, m_.ventana.height));
  render();
}

void VentanaAcerca::render() {
  renderizando_ = true;
  auto ponCaja = [](QPlainTextEdit* w, const std::u16string& t) {
    const QString q = toQ(t);
    if (w->toPlainText() != q) w->setPlainText(q);
  };
  const QString titulo = toQ(m_.ventana.caption);
  if (windowTitle() != titulo) setWindowTitle(titulo);
  ponTexto(lblnom_, m_.lblnom.caption);
  ponTexto(lblver_, m_.lblver.caption);
  ponTexto(lbldes_, m_.lbldes.caption);
  ponTexto(lblide_, m_.lblide.caption);
  ponTexto(lblcar_, m_.lblcar.caption);
  ponTexto(cmdace_, m_.cmdace.caption);
  ponCaja(txtatr_, m_.txtatr.text);
  ponCaja(txtlic_, m_.txtlic.text);
  pestanas_->setTabText(0, toQ(m_.tabatr.caption));
  pestanas_->setTabText(1, toQ(m_.tablic.caption));
  ponLogo(imglog_, logo_, m_.imglog.picture, imagenes_);
  if (m_.ventana.visible && !isVisible()) {
    pestanas_->setCurrentIndex(0);
    show();
    raise();
    activateWindow();
  }
  if (!m_.ventana.visible && isVisible()) hide();
  renderizando_ = false;
}

void VentanaAcerca::closeEvent(QCloseEvent* e) {
  // Closing with the frame button is "Aceptar".
  if (!renderizando_ && m_.ventana.visible) evento_("frmace_cmdace_Click");
  e->accept();
}

}  // namespace kalyxon::qt
