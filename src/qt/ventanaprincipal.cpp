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
#include "qt/controles.h"
#include "qt/imagenes.h"
#include "qt/services.h"
#include "qt/twips.h"

namespace kalyxon::qt {

namespace {
// Where a vm::MenuItem sits: the parent's name, or nullptr for the menu bar.
struct Lugar {
  const char* nombre;
  vm::MenuItem Form1::*item;
  const char* padre;
  bool separadorAntes;
};

// The menus in the window's order.
const Lugar kMenus[] = {
    {"mnuayu", &Form1::mnuayu, nullptr, false},
    {"mnuayugen", &Form1::mnuayugen, "mnuayu", false},
    {"mnuayuind", &Form1::mnuayuind, "mnuayu", false},
    {"mnuayumap", &Form1::mnuayumap, "mnuayu", false},
    {"mnuayutec", &Form1::mnuayutec, "mnuayu", false},
    {"mnuayuesp", &Form1::mnuayuesp, "mnuayu", false},
    {"mnuopc", &Form1::mnuopc, nullptr, false},
    {"mnus", &Form1::mnus, "mnuopc", false},
    {"mnuks", &Form1::mnuks, "mnuopc", false},
    {"mnups", &Form1::mnups, "mnuopc", false},
    {"mnuesp", &Form1::mnuesp, "mnuopc", false},
    {"mnuiota", &Form1::mnuiota, "mnuopc", false},
    {"mnunum", &Form1::mnunum, "mnuopc", false},
    {"mnuang", &Form1::mnuang, "mnuopc", false},
    {"mnufon", &Form1::mnufon, "mnuopc", false},
    {"mnufonbre", &Form1::mnufonbre, "mnufon", false},
    {"mnufonlar", &Form1::mnufonlar, "mnufon", false},
    {"mnufonabi", &Form1::mnufonabi, "mnufon", false},
    {"mnufoncer", &Form1::mnufoncer, "mnufon", false},
    {"mnulat", &Form1::mnulat, "mnuopc", false},
    {"mnuher", &Form1::mnuher, nullptr, false},
    {"mnudic", &Form1::mnudic, "mnuher", false},
    {"mnudiccla", &Form1::mnudiccla, "mnudic", false},
    {"mnudiccom", &Form1::mnudiccom, "mnudic", false},
    {"mnudicari", &Form1::mnudicari, "mnudic", false},
    {"mnudiceso", &Form1::mnudiceso, "mnudic", false},
    {"mnudichom", &Form1::mnudichom, "mnudic", false},
    {"mnudicjen", &Form1::mnudicjen, "mnudic", false},
    {"mnudicpla", &Form1::mnudicpla, "mnudic", false},
    {"mnudictra", &Form1::mnudictra, "mnudic", false},
    {"mnudicapro", &Form1::mnudicapro, "mnudic", true},
    {"mnudicpal", &Form1::mnudicpal, "mnudic", true},
    {"mnudicadd", &Form1::mnudicadd, "mnudic", false},
    {"mnudicfre", &Form1::mnudicfre, "mnudic", false},
    {"mnudicbor", &Form1::mnudicbor, "mnudic", false},
    {"mnudiccar", &Form1::mnudiccar, "mnudic", false},
    {"mnupro", &Form1::mnupro, "mnuher", false},
    {"mnufue", &Form1::mnufue, "mnuher", false},
    {"mnufuegri", &Form1::mnufuegri, "mnufue", false},
    {"mnufuenor", &Form1::mnufuenor, "mnufue", false},
    {"mnuhertra", &Form1::mnuhertra, "mnuher", false},
    {"mnucod", &Form1::mnucod, "mnuher", false},
    {"mnucodhtm", &Form1::mnucodhtm, "mnucod", false},
    {"mnucodjav", &Form1::mnucodjav, "mnucod", false},
    {"mnuver", &Form1::mnuver, nullptr, false},
    {"mnubar", &Form1::mnubar, "mnuver", false},
    {"mnusib", &Form1::mnusib, nullptr, false},
    {"mnusibver", &Form1::mnusibver, "mnusib", false},
    {"mnusibaut", &Form1::mnusibaut, "mnusib", false},
    {"mnusibcor", &Form1::mnusibcor, "mnusib", false},
    {"mnusibhtp", &Form1::mnusibhtp, "mnusib", false},
    {"mnusibgri", &Form1::mnusibgri, "mnusib", false},
};

bool tieneHijos(const char* nombre) {
  for (const auto& m : kMenus)
    if (m.padre && std::string_view(m.padre) == nombre) return true;
  return false;
}

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
  std::map<std::string_view, QMenu*> submenus;
  for (const auto& l : kMenus) {
    Menu m{l.nombre, l.item, nullptr, nullptr};
    QMenu* padre = l.padre ? submenus.at(l.padre) : nullptr;
    if (l.separadorAntes && padre) padre->addSeparator();
    if (tieneHijos(l.nombre)) {
      m.submenu = padre ? padre->addMenu(QString()) : menuBar()->addMenu(QString());
      m.submenu->setObjectName(QString::fromLatin1(l.nombre));
      m.submenu->setToolTipsVisible(true);
      m.accion = m.submenu->menuAction();
      submenus[l.nombre] = m.submenu;
      // Opening a menu is its click: some menus caption their items then.
      const std::string ev = std::string(l.nombre) + "_Click";
      connect(m.submenu, &QMenu::aboutToShow, this, [this, ev] { emite(ev); });
    } else {
      m.accion = padre->addAction(QString());
      const std::string ev = std::string(l.nombre) + "_Click";
      connect(m.accion, &QAction::triggered, this, [this, ev] { emite(ev); });
    }
    m.accion->setObjectName(QString::fromLatin1(l.nombre));
    menus_.push_back(m);
  }
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
    if (nombre == m.nombre) return m.accion;
  return nullptr;
}

QMenu* VentanaPrincipal::menu(std::string_view nombre) const {
  for (const auto& m : menus_)
    if (nombre == m.nombre) return m.submenu;
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
    const vm::MenuItem& item = f.*(m.item);
    const QString texto = toQ(item.caption);
    if (m.accion->text() != texto) m.accion->setText(texto);
    if (!m.submenu) {
      // Every leaf can carry a check mark; the model says whether it does.
      if (!m.accion->isCheckable()) m.accion->setCheckable(true);
      if (m.accion->isChecked() != item.checked) m.accion->setChecked(item.checked);
    }
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
  if (!geometriaAplicada_ || v.left != aplicada_.left || v.top != aplicada_.top) {
    // The model keeps the frame's top-left corner; 0 means "where it was designed".
    if (v.left > 0 || v.top > 0)
      move(v.left > 0 ? twipsToPxX(*this, v.left) : x(), v.top > 0 ? twipsToPxY(*this, v.top) : y());
  }
  if (!geometriaAplicada_ || v.width != aplicada_.width) {
    if (v.width > 0) resize(twipsToPxX(*this, v.width), height());
  }
  aplicada_ = v;
  geometriaAplicada_ = true;
  aplicaAltura();
  if (v.visible && !isVisible()) show();
  if (!v.visible && isVisible()) hide();
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
  if (e->type() == QEvent::WindowActivate) emite("Form_Activate");
  if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_F1) {
    emite("F1");
    return true;
  }
  return QMainWindow::event(e);
}

void VentanaPrincipal::closeEvent(QCloseEvent* e) {
  emite("Form_QueryUnload");
  emite("Form_Unload");
  e->accept();
}

void VentanaPrincipal::moveEvent(QMoveEvent* e) {
  QMainWindow::moveEvent(e);
  if (renderizando_ || !isVisible()) return;
  // The user moved the window: the model keeps the place for the next start.
  vm::Window& v = k_.form1.ventana;
  v.left = pxToTwipsX(*this, x());
  v.top = pxToTwipsY(*this, y());
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
