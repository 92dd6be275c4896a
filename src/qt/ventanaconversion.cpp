#include "qt/ventanaconversion.h"

#include <QAction>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMoveEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>

#include "qt/controles.h"
#include "qt/services.h"
#include "conversion/tablas.h"
#include "qt/pantalla.h"
#include "qt/twips.h"

namespace kalyxon::qt {

namespace {
// Design geometry of the controls, in twips: left, top, width, height.
constexpr int kLabel1[] = {120, 120, 4815, 255};
constexpr int kTxtori[] = {120, 360, 4815, 1815};
constexpr int kLabel2[] = {120, 2280, 4815, 255};
constexpr int kUniText[] = {120, 2520, 4815, 2295};
constexpr int kAnchoDiseno = 120 + 4815 + 120;
constexpr int kAltoDiseno = 2520 + 2295 + 120;
}  // namespace

VentanaConversion::VentanaConversion(
    ModeloConversion modelo, std::function<void(std::string_view, const std::u16string&)> evento)
    : m_(std::move(modelo)), evento_(std::move(evento)) {
  setObjectName(QStringLiteral("frmtra"));
  for (const auto& mc : menusConversion()) {
    QAction* a = nullptr;
    const std::string ev = std::string(mc.nombre) + "_Click";
    if (*mc.padre == '\0') {
      QMenu* menu = menuBar()->addMenu(QString());
      menu->setObjectName(QString::fromLatin1(mc.nombre));
      menus_[mc.nombre] = menu;
      a = menu->menuAction();
    } else {
      a = menus_.at(mc.padre)->addAction(QString());
      a->setCheckable(true);
      connect(a, &QAction::triggered, this, [this, ev] { emite(ev); });
    }
    a->setObjectName(QString::fromLatin1(mc.nombre));
    acciones_[mc.nombre] = a;
  }

  lienzo_ = new QWidget(this);
  label1_ = new QLabel(lienzo_);
  label1_->setObjectName(QStringLiteral("Label1"));
  label2_ = new QLabel(lienzo_);
  label2_->setObjectName(QStringLiteral("Label2"));
  txtori_ = new QTextEdit(lienzo_);
  txtori_->setObjectName(QStringLiteral("txtori"));
  txtori_->setAcceptRichText(false);  // the face is the box's, as the conversion expects
  txterr_ = new QPlainTextEdit(lienzo_);
  txterr_->setObjectName(QStringLiteral("txterr"));
  txterr_->setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
  txterr_->hide();
  uniText1_ = new TextoUnicode(lienzo_);
  uniText1_->setObjectName(QStringLiteral("UniText1"));
  uniText1_->alPedirAyuda = [this] { emite("UniText1_F1"); };
  avisoFuente_ = new QLabel(lienzo_);
  avisoFuente_->setObjectName(QStringLiteral("avisoFuente"));
  avisoFuente_->setWordWrap(true);
  avisoFuente_->setStyleSheet(QStringLiteral(
      "background: #FFF4C8; color: #5A4000; border: 1px solid #C8A000; padding: 2px;"));
  avisoFuente_->hide();
  progreso_ = new QProgressBar(lienzo_);
  progreso_->setObjectName(QStringLiteral("progreso"));
  progreso_->hide();
  detener_ = new QPushButton(QStringLiteral("Detener"), lienzo_);
  detener_->setObjectName(QStringLiteral("detener"));
  detener_->hide();
  setCentralWidget(lienzo_);

  // A press anywhere in the upper box recognises the copied text's font
  // before the paste that usually follows.
  txtori_->viewport()->installEventFilter(this);
  txtori_->installEventFilter(this);
  connect(txtori_, &QTextEdit::textChanged, this, [this] {
    if (renderizando_) return;
    oriMostrado_ = fromQ(txtori_->toPlainText());
    m_.txtori->text = oriMostrado_;
  });
  connect(uniText1_, &QPlainTextEdit::textChanged, this, [this] {
    if (renderizando_) return;
    uniMostrado_ = fromQ(uniText1_->toPlainText());
    m_.UniText1->text = uniMostrado_;
  });
  connect(txterr_, &QPlainTextEdit::textChanged, this, [this] {
    if (renderizando_) return;
    errMostrado_ = fromQ(txterr_->toPlainText());
    m_.txterr->text = errMostrado_;
  });
  resize(twipsToPxX(*this, kAnchoDiseno),
         twipsToPxY(*this, kAltoDiseno) + menuBar()->sizeHint().height());
  render();
}

void VentanaConversion::emite(std::string_view nombre, const std::u16string& texto) {
  if (evento_) evento_(nombre, texto);
}

QAction* VentanaConversion::accion(std::string_view nombre) const {
  auto it = acciones_.find(nombre);
  return it == acciones_.end() ? nullptr : it->second;
}

QMenu* VentanaConversion::menu(std::string_view nombre) const {
  auto it = menus_.find(nombre);
  return it == menus_.end() ? nullptr : it->second;
}

bool VentanaConversion::esCaraGriega(const QString& cara) {
  namespace cc = conversion::cara;
  for (std::u16string_view g : {cc::kAthenian, cc::kGreek, cc::kGraeca, cc::kGraece, cc::kSgreek})
    if (cara.compare(toQ(std::u16string(g)), Qt::CaseInsensitive) == 0) return true;
  return false;
}

bool VentanaConversion::fuenteInstalada(const QString& cara) {
  if (cara.isEmpty()) return true;
  for (const QString& f : QFontDatabase::families())
    if (f.compare(cara, Qt::CaseInsensitive) == 0) return true;
  return false;
}

void VentanaConversion::render() {
  renderizando_ = true;
  const vm::Window& v = *m_.ventana;
  const QString titulo = toQ(v.caption);
  if (windowTitle() != titulo) setWindowTitle(titulo);
  for (const auto& [nombre, a] : acciones_) {
    const vm::MenuItem& item = *m_.menus.at(nombre);
    const QString t = toQ(item.caption);
    if (a->text() != t) a->setText(t);
    if (a->isCheckable() && a->isChecked() != item.checked) a->setChecked(item.checked);
    if (a->isEnabled() != item.enabled) a->setEnabled(item.enabled);
    if (a->isVisible() != item.visible) a->setVisible(item.visible);
  }
  label1_->setText(toQ(m_.Label1->caption));
  label2_->setText(toQ(m_.Label2->caption));

  // Texts: only what the model changed is written back into the boxes, so the
  // cursor and the undo history of a box the user is typing in survive.
  if (m_.txtori->text != oriMostrado_) {
    oriMostrado_ = m_.txtori->text;
    txtori_->setPlainText(toQ(oriMostrado_));
  }
  if (m_.UniText1->text != uniMostrado_) {
    uniMostrado_ = m_.UniText1->text;
    uniText1_->setPlainText(toQ(uniMostrado_));
  }
  if (m_.txterr->text != errMostrado_) {
    errMostrado_ = m_.txterr->text;
    txterr_->setPlainText(toQ(errMostrado_));
  }

  // The upper box shows the legacy text in the face of its encoding. Without
  // that face installed the bytes would read as Latin letters, which is worth
  // saying rather than leaving the user to guess.
  const QString cara = toQ(m_.txtori->font);
  QFont f = txtori_->font();
  if (!cara.isEmpty() && f.family() != cara) {
    f.setFamily(cara);
    txtori_->setFont(f);
  }
  // Only a face whose letters are Greek glyphs needs saying: BetaCode is
  // plain ASCII and reads the same in any face.
  const bool falta = esCaraGriega(cara) && !fuenteInstalada(cara);
  const QString aviso = falta ? QStringLiteral("La fuente «%1» no está instalada: el texto se muestra "
                                               "con otra fuente y sus letras no se ven en griego.")
                                    .arg(cara)
                              : QString();
  if (avisoFuente_->text() != aviso) avisoFuente_->setText(aviso);
  const QFont fu = fuenteGriega(toQ(m_.UniText1->font), 12);
  if (uniText1_->font().families() != fu.families()) uniText1_->setFont(fu);

  // The report shows in place of the upper box.
  const bool informe = m_.txterr->visible;
  if (txterr_->isVisibleTo(lienzo_) != informe) {
    txterr_->setVisible(informe);
    if (informe) txterr_->raise();
  }
  if (txtori_->isVisibleTo(lienzo_) != m_.txtori->visible) txtori_->setVisible(m_.txtori->visible);
  avisoFuente_->setVisible(falta && !informe && m_.txtori->visible);

  if (v.width > 0 && (!geometriaAplicada_ || v.width != aplicada_.width || v.height != aplicada_.height))
    resize(twipsToPxX(*this, v.width), twipsToPxY(*this, v.height));
  if (!geometriaAplicada_ || v.left != aplicada_.left || v.top != aplicada_.top) {
    // Below the main window when it fits there, otherwise as near as the
    // screen allows (the main window stays on top of it).
    if (v.left > 0 || v.top > 0) {
      colocaCliente(*this, QPoint(twipsToPxX(*this, v.left), twipsToPxY(*this, v.top)));
      m_.ventana->left = pxToTwipsX(*this, geometry().x());
      m_.ventana->top = pxToTwipsY(*this, geometry().y());
    }
  }
  aplicada_ = *m_.ventana;
  geometriaAplicada_ = true;
  if (v.visible && !isVisible()) show();
  if (!v.visible && isVisible()) hide();
  coloca();
  renderizando_ = false;
}

void VentanaConversion::coloca() {
  // The design rectangles, scaled to the window's current size.
  const qreal sx = lienzo_->width() / static_cast<qreal>(twipsToPxX(*this, kAnchoDiseno));
  const qreal sy = lienzo_->height() / static_cast<qreal>(twipsToPxY(*this, kAltoDiseno));
  auto rect = [&](const int (&g)[4]) {
    return QRect(qRound(twipsToPxX(*this, g[0]) * sx), qRound(twipsToPxY(*this, g[1]) * sy),
                 qRound(twipsToPxX(*this, g[2]) * sx), qRound(twipsToPxY(*this, g[3]) * sy));
  };
  label1_->setGeometry(rect(kLabel1));
  // The note sits under the upper box's text, never over it.
  QRect ori = rect(kTxtori);
  const int alto = avisoFuente_->heightForWidth(ori.width());
  if (avisoFuente_->isVisibleTo(lienzo_)) {
    avisoFuente_->setGeometry(ori.left(), ori.bottom() + 1 - alto, ori.width(), alto);
    ori.setBottom(ori.bottom() - alto - 2);
  }
  txtori_->setGeometry(ori);
  txterr_->setGeometry(rect(kTxtori));
  label2_->setGeometry(rect(kLabel2));
  uniText1_->setGeometry(rect(kUniText));
  const QRect uni = rect(kUniText);
  progreso_->setGeometry(uni.left(), uni.bottom() - 18, uni.width() - 80, 16);
  detener_->setGeometry(uni.right() - 76, uni.bottom() - 22, 76, 22);
}

void VentanaConversion::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  coloca();
}

void VentanaConversion::moveEvent(QMoveEvent* e) {
  QMainWindow::moveEvent(e);
  if (renderizando_ || !isVisible()) return;
  m_.ventana->left = aplicada_.left = pxToTwipsX(*this, geometry().x());
  m_.ventana->top = aplicada_.top = pxToTwipsY(*this, geometry().y());
}

void VentanaConversion::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (!renderizando_) m_.ventana->visible = true;
}

bool VentanaConversion::eventFilter(QObject* obj, QEvent* e) {
  if (obj == txtori_->viewport() && e->type() == QEvent::MouseButtonPress) emite("txtori_MouseDown");
  if (obj == txtori_ && e->type() == QEvent::KeyPress) {
    // Pasting into the upper box goes through the engine, which keeps the
    // legacy font's own codes from the clipboard's rich text.
    auto* k = static_cast<QKeyEvent*>(e);
    const bool mayIns = k->key() == Qt::Key_Insert && k->modifiers() == Qt::ShiftModifier;
    if (mayIns || k->matches(QKeySequence::Paste)) {
      emite("txtori_Pega");
      return true;
    }
  }
  return QMainWindow::eventFilter(obj, e);
}

void VentanaConversion::hideEvent(QHideEvent* e) {
  QMainWindow::hideEvent(e);
  // Closing the window with its frame button hides it; the model follows.
  if (!renderizando_) m_.ventana->visible = false;
}

}  // namespace kalyxon::qt
