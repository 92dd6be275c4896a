// In-memory implementations of the platform services, scripted by the caller.
// Tests use them to drive the engine deterministically; the command-line
// tools use them where no desktop is involved.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace kalyxon::platform::scripted {

// Answers from a queue (Ok / Yes when the queue is empty) and records every
// box shown. `onShow`, when set, runs while the box is "open": tests use it to
// deliver key events from inside a message box, as a real one would.
class ScriptedMessageBox : public MessageBox {
 public:
  struct Shown {
    std::u16string text;
    Buttons buttons;
    std::u16string title;
  };
  std::deque<Answer> answers;
  std::vector<Shown> shown;
  std::function<void()> onShow;

  Answer show(const std::u16string& text, Buttons buttons, const std::u16string& title) override {
    shown.push_back({text, buttons, title});
    if (onShow) onShow();
    if (answers.empty()) return buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
    Answer a = answers.front();
    answers.pop_front();
    return a;
  }
};

// Answers from a queue; an empty optional in the queue is "Cancelar". With an
// empty queue it accepts the default text.
class ScriptedInputBox : public InputBox {
 public:
  struct Asked {
    std::u16string prompt, title, initial;
  };
  std::deque<std::optional<std::u16string>> answers;
  std::vector<Asked> asked;

  std::optional<std::u16string> ask(const std::u16string& prompt, const std::u16string& title,
                                    const std::u16string& initial) override {
    asked.push_back({prompt, title, initial});
    if (answers.empty()) return initial;
    auto a = answers.front();
    answers.pop_front();
    return a;
  }
};

class ScriptedFileDialog : public FileDialog {
 public:
  std::deque<std::optional<std::string>> answers;
  int opened = 0;
  std::optional<std::string> open(const std::u16string&,
                                  const std::vector<std::u16string>&) override {
    ++opened;
    if (answers.empty()) return std::nullopt;
    auto a = answers.front();
    answers.pop_front();
    return a;
  }
};

// Counts the calls and runs an optional action at each, so a test can stop a
// long operation "from the window" at the Nth pending-events call.
class ScriptedPump : public MessagePump {
 public:
  long calls = 0;
  std::function<void(long)> onPump;
  void processPending() override {
    ++calls;
    if (onPump) onPump(calls);
  }
};

class ScriptedClipboard : public Clipboard {
 public:
  std::u16string plain, unicode;
  std::string rtf;
  std::u16string text() override { return plain; }
  std::u16string unicodeText() override { return unicode; }
  std::string richText() override { return rtf; }
  void setText(const std::u16string& t) override { plain = unicode = t; }
};

class ScriptedHelp : public HelpViewer {
 public:
  std::vector<int> topics;  // 0 stands for the index
  void showTopic(int topic) override { topics.push_back(topic); }
  void showIndex() override { topics.push_back(0); }
};

class ScriptedUrls : public UrlOpener {
 public:
  std::vector<std::string> opened;
  void open(const std::string& url) override { opened.push_back(url); }
};

class ScriptedFonts : public FontList {
 public:
  std::vector<std::u16string> fonts;
  std::vector<std::u16string> screenFonts() override { return fonts; }
};

class ScriptedPointer : public MousePointer {
 public:
  bool busy = false;
  int changes = 0;
  void setBusy(bool b) override {
    busy = b;
    ++changes;
  }
};

class ScriptedKeyState : public KeyState {
 public:
  bool shift = false, ctrl = false;
  int capsLock = 0;
  bool shiftDown() override { return shift; }
  bool ctrlDown() override { return ctrl; }
  int capsLockState() override { return capsLock; }
};

// Records what was sent; `onSend` lets a test apply it (see ForegroundApp).
class RecordingSender : public KeySender {
 public:
  struct Sent {
    std::u16string keys;
    bool wait;
  };
  std::vector<Sent> sent;
  std::function<void(const std::u16string&, bool)> onSend;
  void send(const std::u16string& keys, bool wait) override {
    sent.push_back({keys, wait});
    if (onSend) onSend(keys, wait);
  }
};

class ScriptedHook : public KeyboardHook {
 public:
  bool refuse = false;
  uint32_t error = 5;
  bool installed = false;
  int installs = 0, removals = 0;
  bool install() override {
    ++installs;
    if (refuse) return false;
    installed = true;
    return true;
  }
  void remove() override {
    ++removals;
    installed = false;
  }
  uint32_t lastError() override { return refuse ? error : 0; }
};

// Records what a long operation reported.
class ScriptedProgress : public Progress {
 public:
  std::vector<std::u16string> begun;
  long long done = 0, total = 0;
  int steps = 0, ended = 0;
  std::function<void()> stop;
  void begin(const std::u16string& what, std::function<void()> s) override {
    begun.push_back(what);
    stop = std::move(s);
  }
  void step(long long d, long long t) override {
    done = d;
    total = t;
    ++steps;
  }
  void end() override { ++ended; }
};

// All of the above in one place, wired into a Services value.
struct ScriptedServices {
  ScriptedMessageBox messageBox;
  ScriptedInputBox inputBox;
  ScriptedFileDialog fileDialog;
  ScriptedPump pump;
  ScriptedClipboard clipboard;
  ScriptedHelp help;
  ScriptedUrls urls;
  ScriptedFonts fonts;
  ScriptedPointer pointer;
  ScriptedKeyState keys;
  RecordingSender sender;
  ScriptedHook hook;
  ScriptedProgress progress;

  Services services() {
    return Services{&messageBox, &inputBox, &fileDialog, &pump,   &clipboard, &help,  &urls,
                    &fonts,      &pointer,  &keys,       &sender, &hook,      &progress};
  }
};

}  // namespace kalyxon::platform::scripted
