// The platform services implemented with Qt: dialogs, clipboard, message
// pump, help, web pages, fonts, busy pointer and progress. The keyboard
// services (key state, keystroke sending, the system-wide hook) belong to the
// keyboard backend; until one is attached, the stand-ins below say plainly
// that typing into other programs is not available.
#pragma once

#include <QPointer>
#include <QString>
#include <functional>
#include <string>

#include "platform/platform.h"

class QWidget;
class QProgressBar;
class QPushButton;

namespace kalyxon::qt {

QString toQ(const std::u16string& s);
std::u16string fromQ(const QString& s);

// Gives a label or button the model's text, only when it differs (no
// needless repaint).
template <class W>
void ponTexto(W* w, const std::u16string& t) {
  const QString q = toQ(t);
  if (w->text() != q) w->setText(q);
}

// The window dialogs are centred on: the active window of the program.
using ParentFn = std::function<QWidget*()>;

class QtMessageBox : public platform::MessageBox {
 public:
  explicit QtMessageBox(ParentFn parent) : parent_(std::move(parent)) {}
  platform::Answer show(const std::u16string& text, platform::Buttons buttons,
                        const std::u16string& title) override;

 private:
  ParentFn parent_;
};

class QtInputBox : public platform::InputBox {
 public:
  explicit QtInputBox(ParentFn parent) : parent_(std::move(parent)) {}
  std::optional<std::u16string> ask(const std::u16string& prompt, const std::u16string& title,
                                    const std::u16string& initial) override;

 private:
  ParentFn parent_;
};

class QtFileDialog : public platform::FileDialog {
 public:
  explicit QtFileDialog(ParentFn parent) : parent_(std::move(parent)) {}
  std::optional<std::string> open(const std::u16string& title,
                                  const std::vector<std::u16string>& filters) override;
  // "Griego|*.txt;*.rtf" -> "Griego (*.txt *.rtf)"
  static QString qtFilter(const std::vector<std::u16string>& filters);

 private:
  ParentFn parent_;
};

// Lets window events run; `afterEvents` re-renders the windows so that what
// a long operation wrote into the models shows while it runs.
class QtMessagePump : public platform::MessagePump {
 public:
  explicit QtMessagePump(std::function<void()> afterEvents) : after_(std::move(afterEvents)) {}
  void processPending() override;

 private:
  std::function<void()> after_;
  qint64 lastRender_ = 0;
};

// The system clipboard. Rich text is the "text/rtf" format (also read under
// the other names RTF travels by on X11 desktops).
class QtClipboard : public platform::Clipboard {
 public:
  std::u16string text() override;
  std::u16string unicodeText() override;
  std::string richText() override;
  void setText(const std::u16string& text) override;
};

class QtHelp : public platform::HelpViewer {
 public:
  std::function<void(int)> onTopic;  // 0 is the index
  void showTopic(int topic) override {
    if (onTopic) onTopic(topic);
  }
  void showIndex() override {
    if (onTopic) onTopic(0);
  }
};

class QtUrlOpener : public platform::UrlOpener {
 public:
  void open(const std::string& url) override;
};

class QtFontList : public platform::FontList {
 public:
  std::vector<std::u16string> screenFonts() override;
};

// Nested busy requests keep the pointer busy until the outermost ends.
class QtPointer : public platform::MousePointer {
 public:
  ~QtPointer() override;
  void setBusy(bool busy) override;

 private:
  int depth_ = 0;
};

// Key state from Qt's view of the modifiers; Caps Lock is unknown to Qt and
// reads as off. The keyboard backend replaces it with the system's state.
class QtKeyState : public platform::KeyState {
 public:
  bool shiftDown() override;
  bool ctrlDown() override;
  int capsLockState() override { return 0; }
};

// Stand-ins used while no keyboard backend is attached.
class NoKeySender : public platform::KeySender {
 public:
  void send(const std::u16string&, bool) override {}
};
class NoKeyboardHook : public platform::KeyboardHook {
 public:
  bool install() override { return false; }
  void remove() override {}
  uint32_t lastError() override { return 120; }  // "not implemented on this system"
};

// A progress bar with an optional stop button, placed by the application in
// the window the user works in. Nested operations show the outermost only.
class QtProgress : public platform::Progress {
 public:
  // Asked at each outermost begin() where to show the bar and stop button.
  void place(std::function<std::pair<QProgressBar*, QPushButton*>()> where) {
    where_ = std::move(where);
  }
  // What the stop button runs.
  void stop();
  void begin(const std::u16string& what, std::function<void()> stop) override;
  void step(long long done, long long total) override;
  void end() override;
  bool active() const { return depth_ > 0; }

 private:
  std::function<std::pair<QProgressBar*, QPushButton*>()> where_;
  QPointer<QProgressBar> bar_;
  QPointer<QPushButton> stopButton_;
  QMetaObject::Connection stopConnection_;
  std::function<void()> stop_;
  int depth_ = 0;
};

}  // namespace kalyxon::qt
