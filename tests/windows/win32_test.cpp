// The Windows platform layer under Wine: the clipboard keeps Unicode text and
// RTF bytes as they were put there; message boxes answer in Spanish. (The
// keyboard hook is tested end to end by scripts/build-windows.sh test, which
// also runs the message box test on its virtual display.)
#include <gtest/gtest.h>

#include <windows.h>
#undef MessageBox

#include <atomic>
#include <string>
#include <thread>

#include "win32/servicios.h"
#include "win32/ui/servicios.h"

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

std::wstring textoDe(HWND h) {
  wchar_t b[64] = {};
  GetWindowTextW(h, b, 64);
  return b;
}

TEST(CajaMensaje, ButtonsAreSpanishWhateverTheSystemLanguage) {
  if (HWND p = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr))
    DestroyWindow(p);
  else
    GTEST_SKIP() << "no display: Wine makes no windows here";
  struct Caso {
    platform::Buttons botones;
    std::wstring primero, segundo;
    int pulsa;
    platform::Answer respuesta;
  };
  for (const Caso& c : {Caso{platform::Buttons::YesNo, L"S\u00ed", L"No", IDNO, platform::Answer::No},
                        Caso{platform::Buttons::YesNo, L"S\u00ed", L"No", IDYES, platform::Answer::Yes},
                        Caso{platform::Buttons::Ok, L"Aceptar", L"", IDOK, platform::Answer::Ok}}) {
    // The box is modal: another thread reads its buttons and presses one.
    std::wstring primero, segundo;
    std::thread lector([&] {
      HWND caja = nullptr;
      for (int i = 0; i < 2000 && !caja; ++i) {
        caja = FindWindowW(L"#32770", L"Prueba de botones");
        if (!caja) Sleep(10);
      }
      if (!caja) return;
      const bool siNo = GetDlgItem(caja, IDYES) != nullptr;
      primero = textoDe(GetDlgItem(caja, siNo ? IDYES : IDOK));
      if (siNo) segundo = textoDe(GetDlgItem(caja, IDNO));
      PostMessageW(caja, WM_COMMAND, c.pulsa, 0);
    });
    win32ui::CajaMensaje caja([] { return nullptr; });
    const platform::Answer r = caja.show(u"¿Seguir?", c.botones, u"Prueba de botones");
    lector.join();
    EXPECT_EQ(primero, c.primero);
    EXPECT_EQ(segundo, c.segundo);
    EXPECT_EQ(r, c.respuesta);
  }
}

}  // namespace
}  // namespace kalyxon::win32
