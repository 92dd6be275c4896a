// The Windows platform layer under Wine: the clipboard keeps Unicode text and
// RTF bytes as they were put there. (The keyboard hook is tested end to end by
// scripts/build-windows.sh test.)
#include <gtest/gtest.h>

#include <windows.h>

#include "win32/servicios.h"

namespace kalyxon::win32 {
namespace {

TEST(Portapapeles, UnicodeTextAndRichTextRoundTrip) {
  if (!OpenClipboard(nullptr)) GTEST_SKIP() << "no clipboard here";
  CloseClipboard();
  Portapapeles p;
  // Astral characters are two units; an empty text is an empty clipboard text.
  for (const std::u16string t : {u"λόγος ἄνθρωπος\r\n«»", u"𝔄 ☃", u""}) {
    p.setText(t);
    EXPECT_EQ(p.unicodeText(), t);
    EXPECT_EQ(p.text(), t);
  }
  // The legacy fonts' bytes above 127 come back as they were put.
  const std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Athenian;}}\\f0 \\'e1bg\\'f1}";
  ASSERT_TRUE(p.setRichText(rtf));
  EXPECT_EQ(p.richText(), rtf);
  p.setText(u"x");
  EXPECT_EQ(p.richText(), "");  // setText replaces what was there
}

}  // namespace
}  // namespace kalyxon::win32
