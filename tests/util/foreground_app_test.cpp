#include "platform/foreground_app.h"

#include <gtest/gtest.h>

#include "app/kalyxon.h"
#include "platform/scripted.h"
#include "util/utf.h"

namespace kalyxon::platform {
namespace {

TEST(ForegroundApp, TypesCorrectionsAsAnEditorWould) {
  ForegroundApp app;
  app.type(u"λόγοσ{BKSP}ς ");
  EXPECT_EQ(app.textUtf8(), "λόγος ");
  // A word replaced by backspaces and the candidate, as the dictionary does.
  app.type(u"{BKSP}{BKSP 6}ἀνήρ,");
  EXPECT_EQ(app.textUtf8(), "ἀνήρ,");
  EXPECT_EQ(app.caret(), app.text().size());
  // Backspace at the start and Delete at the end do nothing.
  app.setText(u"ab", 0);
  app.type(u"{BKSP}{END}{DEL}");
  EXPECT_EQ(app.textUtf8(), "ab");
  // A supplementary character is deleted whole.
  app.setText(u"x\U0001D538");
  app.type(u"{BKSP}");
  EXPECT_EQ(app.textUtf8(), "x");
  app.type(u"\U0001D538{LEFT}{LEFT}{DEL}");
  EXPECT_EQ(app.textUtf8(), "\U0001D538");
}

TEST(ForegroundApp, CaretMovesOverCharactersAndLines) {
  ForegroundApp app(u"abc");
  app.type(u"{HOME}x{END}y{LEFT 2}{DEL}{BKSP}");
  EXPECT_EQ(app.textUtf8(), "xay");
  EXPECT_EQ(app.caret(), 2u);

  app.setText(u"");
  app.type(u"ab~cde{UP}X");  // the column is clamped to the shorter line
  EXPECT_EQ(app.textUtf8(), "abX\ncde");
  app.type(u"{DOWN}Y{HOME}Z");
  EXPECT_EQ(app.textUtf8(), "abX\nZcdeY");
  app.type(u"{PGUP}<{PGDN}>{TAB}{ENTER}");
  EXPECT_EQ(app.textUtf8(), "<abX\nZcdeY>\t\n");
  // Up to the shorter first line, then down: column 4 of the second line.
  app.type(u"{BKSP}{BKSP}{UP}{UP}{DOWN}{DOWN}");
  EXPECT_EQ(app.caret(), 9u);
}

TEST(ForegroundApp, ModifiersShiftCharactersAndRecordShortcuts) {
  ForegroundApp app;
  app.type(u"+a+(ec)+α+1");
  EXPECT_EQ(app.textUtf8(), "AECΑ1");
  app.type(u"^+fκ%{F4}^(ab){ESC}{F2}");
  EXPECT_EQ(app.textUtf8(), "AECΑ1κ");
  EXPECT_EQ(util::toUtf8(sendkeys::format(app.shortcuts())), "+^f%{F4}^a^b");
}

TEST(ForegroundApp, SenderFeedsTheAppAndRefusesMalformedNotationWhole) {
  ForegroundApp app;
  ForegroundSender sender(app);
  scripted::ScriptedServices s;
  Services sv = s.services();
  sv.sender = &sender;
  Kalyxon k(sv, KALYXON_RUNTIME_DIR);

  k.sv.sender->send(u"αβ", false);
  k.sv.sender->send(u"{BKSP}γ", true);
  EXPECT_EQ(app.textUtf8(), "αγ");
  ASSERT_EQ(sender.sent.size(), 2u);
  EXPECT_FALSE(sender.sent[0].wait);
  EXPECT_TRUE(sender.sent[1].wait);

  EXPECT_THROW(k.sv.sender->send(u"δ{BKSP", false), sendkeys::SendKeysError);
  EXPECT_EQ(app.textUtf8(), "αγ");
  EXPECT_EQ(sender.sent.size(), 3u);
}

}  // namespace
}  // namespace kalyxon::platform
