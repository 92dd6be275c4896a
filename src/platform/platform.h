// The services the engine asks of its surroundings. Every one is a small
// interface: the desktop front end and the keyboard backend implement them for
// real, and scripted.h implements them in memory for tests and for the
// command-line tools. The engine never reaches an OS or GUI API except here.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kalyxon::platform {

// ---- Dialogs ---------------------------------------------------------------

enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

// A modal message box. An empty title means the program's default title.
// Showing one lets window messages (and key events) run until it is closed.
class MessageBox {
 public:
  virtual ~MessageBox() = default;
  virtual Answer show(const std::u16string& text, Buttons buttons = Buttons::Ok,
                      const std::u16string& title = {}) = 0;
};

// A modal input box: prompt, title and default text; nullopt when cancelled.
class InputBox {
 public:
  virtual ~InputBox() = default;
  virtual std::optional<std::u16string> ask(const std::u16string& prompt,
                                            const std::u16string& title,
                                            const std::u16string& initial) = 0;
};

// File-open dialog: a path (UTF-8) or nullopt when cancelled. `filter` is a
// list of "Description|*.ext;*.ext2" entries.
class FileDialog {
 public:
  virtual ~FileDialog() = default;
  virtual std::optional<std::string> open(const std::u16string& title,
                                          const std::vector<std::u16string>& filters) = 0;
};

// ---- Event loop ------------------------------------------------------------

// "Let pending window messages run". Long operations call it now and then so
// the window stays responsive and a stop request can arrive.
class MessagePump {
 public:
  virtual ~MessagePump() = default;
  virtual void processPending() = 0;
};

// ---- Clipboard and drag-and-drop data --------------------------------------

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual std::u16string text() = 0;         // plain text
  virtual std::u16string unicodeText() = 0;  // Unicode text
  virtual std::string richText() = 0;        // RTF bytes ("text/rtf"), empty if none
  virtual void setText(const std::u16string& text) = 0;
};

// ---- Help, web, fonts, pointer ---------------------------------------------

class HelpViewer {
 public:
  virtual ~HelpViewer() = default;
  virtual void showTopic(int topic) = 0;
  virtual void showIndex() = 0;
};

class UrlOpener {
 public:
  virtual ~UrlOpener() = default;
  virtual void open(const std::string& url) = 0;
};

class FontList {
 public:
  virtual ~FontList() = default;
  virtual std::vector<std::u16string> screenFonts() = 0;
};

class MousePointer {
 public:
  virtual ~MousePointer() = default;
  virtual void setBusy(bool busy) = 0;
};

// A long operation's progress (loading a dictionary from a text, merging
// dictionaries, converting a large file), shown by the front end as a
// progress bar. `stop`, when given, is what the front end's stop button does
// (for example what clicking the menu that started the load does); without it
// the operation cannot be stopped. Steps come with the pending-events calls
// the operation makes anyway, so a step is cheap.
class Progress {
 public:
  virtual ~Progress() = default;
  virtual void begin(const std::u16string& what, std::function<void()> stop = {}) = 0;
  virtual void step(long long done, long long total) = 0;
  virtual void end() = 0;
};

// ---- Keyboard --------------------------------------------------------------

// Physical key state at the moment of processing.
class KeyState {
 public:
  virtual ~KeyState() = default;
  virtual bool shiftDown() = 0;
  virtual bool ctrlDown() = 0;
  // The platform's key state of Caps Lock: bit 0 toggled on, bit 15 held down.
  // "Exactly 1" therefore means on and not held.
  virtual int capsLockState() = 0;
};

// Types text into the foreground application. `keys` is in the keystroke
// notation of util/sendkeys.h. With `wait` the call returns after the
// application has processed the keystrokes.
class KeySender {
 public:
  virtual ~KeySender() = default;
  virtual void send(const std::u16string& keys, bool wait) = 0;
};

// The system-wide keyboard interception. install() returns false on failure;
// lastError() then gives the platform's error code and errorText() a short
// description for the user.
class KeyboardHook {
 public:
  virtual ~KeyboardHook() = default;
  virtual bool install() = 0;
  virtual void remove() = 0;
  virtual uint32_t lastError() = 0;
  // The lines of the failure message that say what the interception needs
  // (CR LF between them); empty for the program's own wording.
  virtual std::u16string errorText() { return {}; }
};

// ---- All of them ----------------------------------------------------------

// The set handed to the engine. Every pointer is non-null once wired, except
// `progress`, which a caller may leave out (check before use).
struct Services {
  MessageBox* messageBox = nullptr;
  InputBox* inputBox = nullptr;
  FileDialog* fileDialog = nullptr;
  MessagePump* pump = nullptr;
  Clipboard* clipboard = nullptr;
  HelpViewer* help = nullptr;
  UrlOpener* urls = nullptr;
  FontList* fonts = nullptr;
  MousePointer* pointer = nullptr;
  KeyState* keys = nullptr;
  KeySender* sender = nullptr;
  KeyboardHook* hook = nullptr;
  Progress* progress = nullptr;
};

}  // namespace kalyxon::platform
