#include "qt/services.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDesktopServices>
#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QSpacerItem>
#include <QFontDatabase>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>
#include <tuple>

namespace kalyxon::qt {

QString toQ(const std::u16string& s) {
  return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

std::u16string fromQ(const QString& s) {
  return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), static_cast<size_t>(s.size()));
}

namespace {
QString titleOr(const std::u16string& title) {
  return title.empty() ? QStringLiteral("Kalyxon") : toQ(title);
}

// A dialog sized by its text alone cuts a longer title short ("Borrar
// formas por fre..."): it is made wide enough for the title, with room for
// the frame's buttons.
int anchoParaTitulo(const QString& titulo) {
  return QFontMetrics(QApplication::font()).horizontalAdvance(titulo) * 5 / 4 + 140;
}
}  // namespace

platform::Answer QtMessageBox::show(const std::u16string& text, platform::Buttons buttons,
                                    const std::u16string& title) {
  QMessageBox box(parent_ ? parent_() : nullptr);
  box.setWindowTitle(titleOr(title));
  box.setText(toQ(text));
  box.setWindowFlag(Qt::WindowStaysOnTopHint);  // the main window is topmost too
  if (auto* rejilla = qobject_cast<QGridLayout*>(box.layout()))
    rejilla->addItem(new QSpacerItem(anchoParaTitulo(box.windowTitle()), 0, QSizePolicy::Minimum,
                                     QSizePolicy::Fixed),
                     rejilla->rowCount(), 0, 1, rejilla->columnCount());
  if (buttons == platform::Buttons::YesNo) {
    box.setIcon(QMessageBox::Question);
    auto* yes = box.addButton(QStringLiteral("Sí"), QMessageBox::YesRole);
    auto* no = box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes ? platform::Answer::Yes : platform::Answer::No;
  }
  auto* ok = box.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole);
  box.setDefaultButton(ok);
  box.setEscapeButton(ok);
  box.exec();
  return platform::Answer::Ok;
}

std::optional<std::u16string> QtInputBox::ask(const std::u16string& prompt,
                                              const std::u16string& title,
                                              const std::u16string& initial) {
  QInputDialog dlg(parent_ ? parent_() : nullptr);
  dlg.setWindowTitle(titleOr(title));
  dlg.setLabelText(toQ(prompt));
  dlg.setTextValue(toQ(initial));
  dlg.setOkButtonText(QStringLiteral("Aceptar"));
  dlg.setCancelButtonText(QStringLiteral("Cancelar"));
  dlg.setWindowFlag(Qt::WindowStaysOnTopHint);
  dlg.setMinimumWidth(anchoParaTitulo(dlg.windowTitle()));
  if (dlg.exec() != QDialog::Accepted) return std::nullopt;
  return fromQ(dlg.textValue());
}

QString QtFileDialog::qtFilter(const std::vector<std::u16string>& filters) {
  QStringList out;
  for (const auto& f : filters) {
    const QString s = toQ(f);
    const qsizetype bar = s.indexOf(u'|');
    if (bar < 0) {
      out << s;
      continue;
    }
    QString patterns = s.mid(bar + 1);
    patterns.replace(u';', u' ');
    out << s.left(bar) + QStringLiteral(" (") + patterns + u')';
  }
  return out.join(QStringLiteral(";;"));
}

std::optional<std::string> QtFileDialog::open(const std::u16string& title,
                                              const std::vector<std::u16string>& filters) {
  const QString name = QFileDialog::getOpenFileName(
      parent_ ? parent_() : nullptr, title.empty() ? QStringLiteral("Abrir") : toQ(title), {},
      qtFilter(filters));
  if (name.isEmpty()) return std::nullopt;
  return name.toStdString();
}

void QtMessagePump::processPending() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  // Rendering every model after every character of a long operation would
  // cost more than the operation; a few times a second is what the eye sees.
  const qint64 now = QDateTime::currentMSecsSinceEpoch();
  if (after_ && now - lastRender_ >= 50) {
    lastRender_ = now;
    after_();
  }
}

std::u16string QtClipboard::text() { return fromQ(QGuiApplication::clipboard()->text()); }

std::u16string QtClipboard::unicodeText() { return fromQ(QGuiApplication::clipboard()->text()); }

std::string QtClipboard::richText() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data) return {};
  for (const char* format : {"text/rtf", "application/rtf", "text/richtext"}) {
    const QByteArray bytes = data->data(QString::fromLatin1(format));
    if (!bytes.isEmpty()) return bytes.toStdString();
  }
  return {};
}

void QtClipboard::setText(const std::u16string& text) {
  QGuiApplication::clipboard()->setText(toQ(text));
}

void QtUrlOpener::open(const std::string& url) {
  QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

std::vector<std::u16string> QtFontList::screenFonts() {
  std::vector<std::u16string> out;
  for (const QString& family : QFontDatabase::families()) out.push_back(fromQ(family));
  return out;
}

QtPointer::~QtPointer() {
  while (depth_-- > 0) QApplication::restoreOverrideCursor();
}

void QtPointer::setBusy(bool busy) {
  if (busy) {
    ++depth_;
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (depth_ > 0) {
    --depth_;
    QApplication::restoreOverrideCursor();
  }
}

bool QtKeyState::shiftDown() {
  return QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier;
}

bool QtKeyState::ctrlDown() {
  return QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier;
}

void QtProgress::stop() {
  // Copy first: stopping may end the operation and clear stop_.
  if (auto s = stop_) s();
}

void QtProgress::begin(const std::u16string& what, std::function<void()> stop) {
  if (depth_++ > 0) return;
  stop_ = std::move(stop);
  if (where_) {
    auto [bar, button] = where_();
    bar_ = bar;
    if (button != stopButton_) {
      QObject::disconnect(stopConnection_);
      stopButton_ = button;
      if (button) stopConnection_ = QObject::connect(button, &QPushButton::clicked, [this] { this->stop(); });
    }
  }
  if (!bar_) return;
  bar_->setRange(0, 0);  // busy until the first step says how far
  bar_->setFormat(toQ(what) + QStringLiteral(" %p%"));
  bar_->setToolTip(toQ(what));
  bar_->show();
  if (stopButton_) stopButton_->setVisible(static_cast<bool>(stop_));
}

void QtProgress::step(long long done, long long total) {
  if (depth_ == 0 || !bar_) return;
  if (total <= 0) {
    bar_->setRange(0, 0);
    return;
  }
  bar_->setRange(0, 1000);
  bar_->setValue(static_cast<int>(std::min<long long>(1000, done * 1000 / total)));
}

void QtProgress::end() {
  if (depth_ == 0 || --depth_ > 0) return;
  stop_ = {};
  if (!bar_) return;
  bar_->hide();
  if (stopButton_) stopButton_->hide();
}

}  // namespace kalyxon::qt
