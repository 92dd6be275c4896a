#include "qt/sesion.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTextEdit>
#include <QTranslator>

namespace kalyxon::qt {

namespace {

// The write end of the live Sesion's pipe. A signal handler can reach
// nothing else; it only writes one byte, and the event loop does the rest.
volatile sig_atomic_t gTuboSenal = -1;

void alRecibirSenal(int) {
  const int fd = gTuboSenal;
  if (fd < 0) return;
  const char c = 1;
  [[maybe_unused]] auto n = ::write(fd, &c, 1);
}

constexpr int kSenales[] = {SIGTERM, SIGINT, SIGHUP};

}  // namespace

Sesion::Sesion(std::function<void()> cierra, std::function<void(bool)> latina,
               std::function<bool(QWidget*)> esGriega, QObject* padre)
    : QObject(padre),
      cierra_(std::move(cierra)),
      latina_(std::move(latina)),
      esGriega_(std::move(esGriega)) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, tubo_) == 0) {
    gTuboSenal = tubo_[0];
    struct sigaction sa {};
    sa.sa_handler = alRecibirSenal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int s : kSenales) sigaction(s, &sa, nullptr);
    senales_ = new QSocketNotifier(tubo_[1], QSocketNotifier::Read, this);
    connect(senales_, &QSocketNotifier::activated, this, [this] {
      char buf[16];
      while (::read(tubo_[1], buf, sizeof buf) > 0) {
      }
      if (cierra_) cierra_();
    });
  }
  // Logging out: the session manager asks for the data to be saved, and
  // the program ends as if its window were closed.
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    connect(app, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) {
      if (cierra_) cierra_();
    });
    connect(qobject_cast<QApplication*>(app), &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* ahora) {
              if (latina_) latina_(pideLatin(ahora));
            });
  }
  // Qt's strings (file dialog, context menus, standard buttons) in Spanish.
  traductor_ = std::make_unique<QTranslator>();
  if (traductor_->load(QLocale(QLocale::Spanish, QLocale::Spain), QStringLiteral("qtbase"),
                       QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(traductor_.get());
}

Sesion::~Sesion() {
  if (traductor_) QCoreApplication::removeTranslator(traductor_.get());
  if (tubo_[0] >= 0) {
    struct sigaction sa {};
    sa.sa_handler = SIG_DFL;
    sigemptyset(&sa.sa_mask);
    for (int s : kSenales) sigaction(s, &sa, nullptr);
    gTuboSenal = -1;
    ::close(tubo_[0]);
    ::close(tubo_[1]);
  }
  if (latina_) latina_(false);
}

bool Sesion::pideLatin(QWidget* w) const {
  if (!w) return false;
  if (esGriega_ && esGriega_(w)) return false;
  if (qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
      qobject_cast<QComboBox*>(w) || qobject_cast<QTextEdit*>(w) || qobject_cast<QPlainTextEdit*>(w))
    return true;
  // Anything in a dialog: file dialogs, input boxes, message boxes.
  return qobject_cast<QDialog*>(w->window()) != nullptr;
}

}  // namespace kalyxon::qt
