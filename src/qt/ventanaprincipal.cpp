#include "qt/ventanaprincipal.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

#include "app/kalyxon.h"
#include "app/menus.h"
#include "qt/controles.h"
#include "qt/imagenes.h"
#include "qt/pantalla.h"
#include "qt/services.h"
#include "qt/twips.h"

namespace kalyxon::qt {

namespace {

void ponTexto(QLabel* l, const QString& t) {
  if (l->text() != t) l->setText(t);
}

// Shared by every control: tooltip, enabled and visible state.
void renderControl(QWidget* w, const vm::Control& c) {
  const QString tip = toQ(c.tooltip);
  if (w->toolTip() != tip) w->setToolTip(tip);
  if (w->isEnabled() != c.enabled) w->setEnabled(c.enabled);
  if (w->isVisibleTo(w->parentWidget()) != c.visible) w->setVisible(c.visible);
}

QString colorCss(uint32_t rgb) { return QStringLiteral("#%1").arg(rgb & 0xFFFFFF, 6, 16, QChar(u'0')); }

}  // namespace

VentanaPrincipal::VentanaPrincipal(
    Kalyxon& k, Imagenes& imagenes,
    std::function<void(std::string_view, const std::u16string&)> evento)
    : k_(k), imagenes_(imagenes), evento_(std::move(evento)) {
  setObjectName(QStringLiteral("Form1"));
  setAcceptDrops(true);
  construyeMenus();
  construyeControles();
  render();
}

void VentanaPrincipal::emite(std::string_view nombre, const std::u16string& texto) {
  if (evento_) evento_(nombre, texto);
}

void VentanaPrincipal::construyeMenus() {
  // The engine's menu tree, in the window's order; opening a menu is its
  // click, since some menus caption their items then.
  std::function<void(const std::vector<NodoMenu>&, QMenu*)> anade =
      [&](const std::vector<NodoMenu>& nodos, QMenu* padre) {
        for (const NodoMenu& n : nodos) {
          if (n.separador()) {
            if (padre) padre->addSeparator();
            continue;
          }
          Menu m{n.nombre, n.item, nullptr, nullptr};
          const std::string ev = n.nombre + "_Click";
          if (!n.hijos.empty()) {
            m.submenu = padre ? padre->addMenu(QString()) : menuBar()->addMenu(QString());
            m.submenu->setObjectName(QString::fromStdString(n.nombre));
            m.submenu->setToolTipsVisible(true);
            m.accion = m.submenu->menuAction();
            connect(m.submenu, &QMenu::aboutToShow, this, [this, ev] { emite(ev); });
          } else {
            m.accion = padre ? padre->addAction(QString()) : menuBar()->addAction(QString());
            m.accion->setCheckable(n.conEstado);
            connect(m.accion, &QAction::triggered, this, [this, ev] { emite(ev); });
          }
          m.accion->setObjectName(QString::fromStdString(n.nombre));
          menus_.push_back(m);
          if (!n.hijos.empty()) anade(n.hijos, m.submenu);
        }
      };
  anade(arbolMenus(k_.form1), nullptr);
}

void VentanaPrincipal::construyeControles() {
  auto* centro = new QWidget(this);
  centro_ = centro;
  auto* rejilla = new QGridLayout(centro);
  rejilla->setContentsMargins(4, 2, 4, 2);
  rejilla->setHorizontalSpacing(6);
  rejilla->setVerticalSpacing(2);

  Form1& f = k_.form1;
  chkgri_ = new QCheckBox(centro);
  chkgri_->setObjectName(QStringLiteral("chkgri"));
  chkdic_ = new QCheckBox(centro);
  chkdic_->setObjectName(QStringLiteral("chkdic"));
  // The check box's value is the model's: a click asks the model to change,
  // and its click handler (onChange) runs there.
  auto enlazaCheck = [this](QCheckBox* box, vm::CheckBox Form1::*campo) {
    connect(box, &QCheckBox::clicked, this, [this, box, campo](bool marcado) {
      (k_.form1.*campo).setValue(marcado ? 1 : 0);
      emite("");  // re-render: the handler may have changed other controls
      box->setChecked((k_.form1.*campo).value != 0);
    });
  };
  enlazaCheck(chkgri_, &Form1::chkgri);
  enlazaCheck(chkdic_, &Form1::chkdic);

  uniLabel1_ = new EtiquetaUnicode(centro);
  uniLabel1_->setObjectName(QStringLiteral("UniLabel1"));
  uniLabel1_->setMinimumWidth(140);
  uniLabel1_->setTextFormat(Qt::PlainText);
  uniLabel1_->setFont(fuenteGriega(toQ(f.UniLabel1.font), 16));
  uniLabel1_->setFrameShape(QFrame::StyledPanel);
  uniLabel1_->setAutoFillBackground(true);
  connect(uniLabel1_, &EtiquetaUnicode::pulsada, this, [this] { emite("UniLabel1_Click"); });

  etiquetas_ = {{"lblrec", &Form1::lblrec, nullptr}, {"lblhex", &Form1::lblhex, nullptr}, {"lbluni", &Form1::lbluni, nullptr},
                {"lblpal", &Form1::lblpal, nullptr}, {"lblfon", &Form1::lblfon, nullptr}, {"lblasc", &Form1::lblasc, nullptr}};
  for (auto& e : etiquetas_) {
    e.widget = new QLabel(centro);
    e.widget->setObjectName(QString::fromLatin1(e.nombre));
    e.widget->setTextFormat(Qt::PlainText);
    e.widget->setMinimumWidth(28);
  }

  imagenesCtl_ = {{"imgcam", &Form1::imgcam, nullptr, {}}, {"imadie", &Form1::imadie, nullptr, {}}, {"imacir", &Form1::imacir, nullptr, {}},
                  {"imaiot", &Form1::imaiot, nullptr, {}}, {"imagra", &Form1::imagra, nullptr, {}}, {"imaagu", &Form1::imaagu, nullptr, {}},
                  {"imaasp", &Form1::imaasp, nullptr, {}}, {"imasua", &Form1::imasua, nullptr, {}}};
  for (auto& i : imagenesCtl_) {
    i.boton = new QToolButton(centro);
    i.boton->setObjectName(QString::fromLatin1(i.nombre));
    i.boton->setAutoRaise(true);
    i.boton->setIconSize(QSize(20, 20));
    i.boton->setFixedSize(24, 24);
    const std::string ev = std::string(i.nombre) + "_Click";
    connect(i.boton, &QToolButton::clicked, this, [this, ev] { emite(ev); });
  }
  imagen("imgcam")->setAcceptDrops(true);
  imagen("imgcam")->installEventFilter(this);

  // Row 1: mode check boxes, the large Greek label, the word label.
  rejilla->addWidget(chkgri_, 0, 0);
  rejilla->addWidget(chkdic_, 0, 1);
  rejilla->addWidget(uniLabel1_, 0, 2, 1, 3);
  rejilla->addWidget(etiqueta("lblpal"), 0, 5, 1, 3);
  // Row 2: last character's information, change-form image, the seven marks.
  auto* info = new QHBoxLayout;
  info->setSpacing(6);
  for (const char* n : {"lblrec", "lblhex", "lbluni", "lblfon", "lblasc"}) info->addWidget(etiqueta(n));
  info->addStretch(1);
  rejilla->addLayout(info, 1, 0, 1, 4);
  auto* marcas = new QHBoxLayout;
  marcas->setSpacing(1);
  for (auto& i : imagenesCtl_) marcas->addWidget(i.boton);
  rejilla->addLayout(marcas, 1, 4, 1, 4);
  // Row 3, only while a choice is open: the list and its "Aceptar".
  filaLista_ = new QWidget(centro);
  auto* fila = new QHBoxLayout(filaLista_);
  fila->setContentsMargins(0, 0, 0, 0);
  lstfon_ = new QListWidget(filaLista_);
  lstfon_->setObjectName(QStringLiteral("lstfon"));
  lstfon_->setMinimumHeight(110);
  cmdace_ = new QPushButton(filaLista_);
  cmdace_->setObjectName(QStringLiteral("cmdace"));
  fila->addWidget(lstfon_, 1);
  fila->addWidget(cmdace_, 0, Qt::AlignTop);
  rejilla->addWidget(filaLista_, 2, 0, 1, 8);
  connect(lstfon_, &QListWidget::currentRowChanged, this, [this](int fila) {
    if (renderizando_) return;
    k_.form1.lstfon.selected = fila;
    emite("lstfon_Click");
  });
  connect(cmdace_, &QPushButton::clicked, this, [this] { emite("cmdace_Click"); });
  // Row 4, only during long work: progress and, where it can stop, a stop button.
  progreso_ = new QProgressBar(centro);
  progreso_->setObjectName(QStringLiteral("progreso"));
  progreso_->setMaximumHeight(16);
  detener_ = new QPushButton(QStringLiteral("Detener"), centro);
  detener_->setObjectName(QStringLiteral("detener"));
  rejilla->addWidget(progreso_, 3, 0, 1, 7);
  rejilla->addWidget(detener_, 3, 7);
  progreso_->hide();
  detener_->hide();
  rejilla->setColumnStretch(2, 1);
  setCentralWidget(centro);
}

QAction* VentanaPrincipal::accion(std::string_view nombre) const {
  for (const auto& m : menus_)
    if (m.nombre == nombre) return m.accion;
  return nullptr;
}

QMenu* VentanaPrincipal::menu(std::string_view nombre) const {
  for (const auto& m : menus_)
    if (m.nombre == nombre) return m.submenu;
  return nullptr;
}

QToolButton* VentanaPrincipal::imagen(std::string_view nombre) const {
  for (const auto& i : imagenesCtl_)
    if (nombre == i.nombre) return i.boton;
  return nullptr;
}

QLabel* VentanaPrincipal::uniLabel() const { return uniLabel1_; }

QLabel* VentanaPrincipal::etiqueta(std::string_view nombre) const {
  for (const auto& e : etiquetas_)
    if (nombre == e.nombre) return e.widget;
  return nullptr;
}

void VentanaPrincipal::render() {
  renderizando_ = true;
  Form1& f = k_.form1;
  for (auto& m : menus_) {
    const vm::MenuItem& item = *m.item;
    const QString texto = toQ(item.caption);
    if (m.accion->text() != texto) m.accion->setText(texto);
    if (m.accion->isCheckable() && m.accion->isChecked() != item.checked)
      m.accion->setChecked(item.checked);
    if (m.accion->isEnabled() != item.enabled) m.accion->setEnabled(item.enabled);
    if (m.accion->isVisible() != item.visible) m.accion->setVisible(item.visible);
    const QString tip = toQ(item.tooltip);
    if (m.accion->toolTip() != tip && !(tip.isEmpty() && m.accion->toolTip() == texto))
      m.accion->setToolTip(tip.isEmpty() ? texto : tip);
  }

  auto renderCheck = [](QCheckBox* box, const vm::CheckBox& c) {
    const QString t = toQ(c.caption);
    if (box->text() != t) box->setText(t);
    if (box->isChecked() != (c.value != 0)) box->setChecked(c.value != 0);
    renderControl(box, c);
  };
  renderCheck(chkgri_, f.chkgri);
  renderCheck(chkdic_, f.chkdic);

  ponTexto(uniLabel1_, toQ(f.UniLabel1.caption));
  renderControl(uniLabel1_, f.UniLabel1);
  // While a dictionary is being filled from a text the label dims.
  const bool apagada = f.UniLabel1.display11 == 10;
  if (uniLabel1_->property("apagada").toBool() != apagada) {
    uniLabel1_->setProperty("apagada", apagada);
    uniLabel1_->setStyleSheet(apagada ? QStringLiteral("color: #808080;") : QString());
  }
  const QFont fu = fuenteGriega(toQ(f.UniLabel1.font), 16);
  if (uniLabel1_->font().families() != fu.families()) uniLabel1_->setFont(fu);

  for (auto& e : etiquetas_) {
    const vm::Label& l = f.*(e.label);
    ponTexto(e.widget, toQ(l.caption));
    renderControl(e.widget, l);
    QString estilo;
    if (l.foreColor != 0) estilo = QStringLiteral("color: %1;").arg(colorCss(l.foreColor));
    if (e.widget->styleSheet() != estilo) e.widget->setStyleSheet(estilo);
    if (!l.font.empty() && e.widget->font().family() != toQ(l.font)) {
      QFont fl = fuenteGriega(toQ(l.font), 0);
      e.widget->setFont(fl);
    }
  }

  for (auto& i : imagenesCtl_) {
    const vm::Image& img = f.*(i.imagen);
    if (i.picture != img.picture || i.boton->icon().isNull()) {
      i.picture = img.picture;
      const QString glifo = std::string_view(i.nombre) == "imgcam" ? QStringLiteral("\u21BB")
                                                                  : QStringLiteral("?");
      i.boton->setIcon(imagenes_.icono(QString::fromStdString(img.picture), glifo));
    }
    renderControl(i.boton, img);
  }

  // The embedded list and its button.
  if (itemsLista_ != f.lstfon.items) {
    itemsLista_ = f.lstfon.items;
    lstfon_->clear();
    for (const auto& s : itemsLista_) lstfon_->addItem(toQ(s));
  }
  if (lstfon_->currentRow() != f.lstfon.selected) lstfon_->setCurrentRow(f.lstfon.selected);
  renderControl(lstfon_, f.lstfon);
  const QString ace = toQ(f.cmdace.caption);
  if (cmdace_->text() != ace) cmdace_->setText(ace);
  renderControl(cmdace_, f.cmdace);
  const bool listaAbierta = f.lstfon.visible || f.cmdace.visible;
  if (filaLista_->isVisibleTo(centro_) != listaAbierta) filaLista_->setVisible(listaAbierta);

  renderVentana();
  renderizando_ = false;
}

void VentanaPrincipal::renderVentana() {
  const vm::Window& v = k_.form1.ventana;
  const QString titulo = toQ(v.caption);
  if (windowTitle() != titulo) setWindowTitle(titulo);
  const bool arriba = windowFlags().testFlag(Qt::WindowStaysOnTopHint);
  if (arriba != v.topmost) {
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, v.topmost);
    if (visible) show();  // changing the flags hides a window
  }
  if (!geometriaAplicada_ || v.width != aplicada_.width) {
    if (v.width > 0) resize(twipsToPxX(*this, v.width), height());
  }
  const bool mover = !geometriaAplicada_ || v.left != aplicada_.left || v.top != aplicada_.top;
  aplicada_ = v;
  geometriaAplicada_ = true;
  aplicaAltura();
  if (mover) colocaSegunModelo();
  if (v.visible && !isVisible()) show();
  if (!v.visible && isVisible()) hide();
}

void VentanaPrincipal::colocaSegunModelo() {
  // The model keeps the client area's top-left corner (see colocaCliente);
  // 0 means "where it was designed". A place off the screen in use comes
  // back onto it, and the model follows, so the next save keeps a reachable
  // place.
  vm::Window& v = k_.form1.ventana;
  if (v.left <= 0 && v.top <= 0) return;
  const QRect g = geometry();
  colocaCliente(*this, QPoint(v.left > 0 ? twipsToPxX(*this, v.left) : g.x(),
                              v.top > 0 ? twipsToPxY(*this, v.top) : g.y()));
  const QPoint p = geometry().topLeft();
  if (v.left > 0 || p.x() != g.x()) v.left = pxToTwipsX(*this, p.x());
  if (v.top > 0 || p.y() != g.y()) v.top = pxToTwipsY(*this, p.y());
  aplicada_.left = v.left;
  aplicada_.top = v.top;
}

int VentanaPrincipal::alturaPedida() const {
  return twipsToPxY(*this, k_.form1.ventana.height);
}

void VentanaPrincipal::aplicaAltura() {
  // The model's height is the whole window's, caption and border included, as
  // the program has always measured it. The compact heights leave room for
  // the menu bar only; the full height for the two rows of controls.
  const int marco = frameGeometry().height() - geometry().height();
  const int barra = menuBar()->sizeHint().height();
  int cliente = alturaPedida() - marco;
  const bool compacta = k_.form1.ventana.height > 0 && cliente < barra + 24;
  if (centro_->isVisibleTo(this) == compacta) centro_->setVisible(!compacta);
  if (compacta) {
    cliente = barra;
  } else {
    // Never clip the controls: a window drawn with larger fonts than the
    // twips assumed grows to fit, and the open list adds its own height.
    cliente = std::max(cliente, barra + centro_->minimumSizeHint().height());
  }
  if (cliente != alturaCliente_) {
    alturaCliente_ = cliente;
    setFixedHeight(cliente);
  }
}

void VentanaPrincipal::soltarTexto(const QString& texto, bool sobreImgcam) {
  emite(sobreImgcam ? "imgcam_OLEDragDrop" : "Form_OLEDragDrop", fromQ(texto));
}

bool VentanaPrincipal::event(QEvent* e) {
  if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_F1) {
    emite("F1");
    return true;
  }
  return QMainWindow::event(e);
}

void VentanaPrincipal::closeEvent(QCloseEvent* e) {
  // Closing is never cancelled: the engine saves and unloads, then ends.
  if (!renderizando_) emite("Form_Close");
  e->accept();
}

void VentanaPrincipal::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  // The frame's height is known only once the window is on screen; a height
  // applied before that counted no frame, so apply it again now.
  alturaCliente_ = -1;
  aplicaAltura();
  // Only now are the screen and the final height known for certain.
  colocaSegunModelo();
}

void VentanaPrincipal::moveEvent(QMoveEvent* e) {
  QMainWindow::moveEvent(e);
  if (renderizando_ || !isVisible()) return;
  // The user moved the window: the model keeps the place for the next start.
  vm::Window& v = k_.form1.ventana;
  v.left = pxToTwipsX(*this, geometry().x());
  v.top = pxToTwipsY(*this, geometry().y());
  aplicada_.left = v.left;
  aplicada_.top = v.top;
}

void VentanaPrincipal::dragEnterEvent(QDragEnterEvent* e) {
  if (e->mimeData()->hasText()) e->acceptProposedAction();
}

void VentanaPrincipal::dropEvent(QDropEvent* e) {
  if (!e->mimeData()->hasText()) return;
  e->acceptProposedAction();
  soltarTexto(e->mimeData()->text(), false);
}

bool VentanaPrincipal::eventFilter(QObject* obj, QEvent* e) {
  if (obj == imagen("imgcam")) {
    if (e->type() == QEvent::DragEnter) {
      auto* d = static_cast<QDragEnterEvent*>(e);
      if (d->mimeData()->hasText()) d->acceptProposedAction();
      return true;
    }
    if (e->type() == QEvent::Drop) {
      auto* d = static_cast<QDropEvent*>(e);
      if (d->mimeData()->hasText()) {
        d->acceptProposedAction();
        soltarTexto(d->mimeData()->text(), true);
      }
      return true;
    }
  }
  return QMainWindow::eventFilter(obj, e);
}

}  // namespace kalyxon::qt
