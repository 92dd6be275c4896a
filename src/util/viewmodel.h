// View-model elements: the state of every control of the program's windows as
// plain values. The engine reads and writes these; a front end renders them and
// forwards the user's actions. Nothing here draws anything.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kalyxon::vm {

// What every control has. `tag` is the free text slot the program uses as a
// marker (the code-mode "*", the file behind a dictionary menu item...).
struct Control {
  std::u16string caption;
  std::u16string tooltip;
  std::u16string tag;
  bool enabled = true;
  bool visible = true;
};

struct MenuItem : Control {
  bool checked = false;
};

struct Label : Control {
  std::u16string font;
  uint32_t foreColor = 0x000000;  // 0xRRGGBB
  uint32_t backColor = 0xFFFFFF;
};

// A check box whose value is 0 or 1. Setting a different value runs onChange
// (the control's click handler) after the value has changed, as the platform's
// check box does; setting the same value does nothing.
struct CheckBox : Control {
  int value = 0;
  std::function<void()> onChange;
  void setValue(int v) {
    if (v == value) return;
    value = v;
    if (onChange) onChange();
  }
};

// An image showing one picture, named by its file name (no folder).
struct Image : Control {
  std::string picture;
};

struct ListBox : Control {
  std::vector<std::u16string> items;
  int selected = -1;
};

struct TextBox : Control {
  std::u16string text;
  std::u16string font;
};

// The Unicode label: a caption held as Unicode, a font face, and one extra
// display property, `display11` (set to 10 while a dictionary is being loaded
// from a text and back to 14 afterwards; front ends may dim the label while it
// is 10).
struct UniLabel : Control {
  std::u16string font = u"Palatino Linotype";
  int display11 = 14;
};

// The Unicode text box: text held as Unicode, with a settable font face.
struct UniText : Control {
  std::u16string text;
  std::u16string font = u"Palatino Linotype";
};

// A window's own properties: caption, geometry in twips, visibility.
struct Window {
  std::u16string caption;
  int left = 0, top = 0, width = 0, height = 0;  // twips
  bool visible = false;
  bool topmost = false;
};

}  // namespace kalyxon::vm
