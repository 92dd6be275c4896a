// The Windows platform layer under Wine: the clipboard keeps Unicode text and
// RTF bytes as they were put there; message boxes answer in Spanish; files
// dropped on a window reach it; the About window opens, shows one tab at a
// time and closes as the engine says. (The
// keyboard hook is tested end to end by scripts/build-windows.sh test, which
// also runs the message box test on its virtual display.)
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>
#undef MessageBox

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/frmace.h"
#include "win32/servicios.h"
#include "win32/ui/escritorio.h"
#include "win32/ui/servicios.h"
#include "win32/ui/soltar.h"

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

// Windows (and message boxes) need a display; ctest runs with none.
bool hayPantalla() {
  HWND p = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  if (p) DestroyWindow(p);
  return p != nullptr;
}

std::wstring textoDe(HWND h) {
  wchar_t b[64] = {};
  GetWindowTextW(h, b, 64);
  return b;
}

TEST(CajaMensaje, ButtonsAreSpanishWhateverTheSystemLanguage) {
  if (!hayPantalla()) GTEST_SKIP() << "no display: Wine makes no windows here";
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

TEST(Soltar, FilesDroppedTheOldWayArriveOneByOneWithTheirPlace) {
  if (!hayPantalla()) GTEST_SKIP() << "no display: Wine makes no windows here";
  HWND v = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  struct Soltado {
    int x, y;
    std::u16string texto;
    bool operator==(const Soltado&) const = default;
  };
  std::vector<Soltado> soltados;
  ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
  {
    win32ui::Soltar soltar(v, [&](int x, int y, const std::u16string& t) { soltados.push_back({x, y, t}); });
    EXPECT_TRUE(soltar.ole());
    // An HDROP as Explorer makes one: the header, then the names, each ended
    // by a 0, and one more 0. The window frees it (DragFinish).
    const std::wstring nombres(L"C:\\datos\\\u03bb\u03cc\u03b3\u03bf\u03c2.htm\0C:\\b.txt\0\0", 29);
    HGLOBAL g = GlobalAlloc(GHND, sizeof(DROPFILES) + nombres.size() * sizeof(wchar_t));
    auto* df = static_cast<DROPFILES*>(GlobalLock(g));
    df->pFiles = sizeof(DROPFILES);
    df->pt = {12, 34};
    df->fWide = TRUE;
    memcpy(df + 1, nombres.data(), nombres.size() * sizeof(wchar_t));
    GlobalUnlock(g);
    SendMessageW(v, WM_DROPFILES, reinterpret_cast<WPARAM>(g), 0);
  }
  const std::vector<Soltado> esperados = {{12, 34, u"C:\\datos\\λόγος.htm"}, {12, 34, u"C:\\b.txt"}};
  EXPECT_EQ(soltados, esperados);
  // Once the object is gone the window takes no more drops.
  EXPECT_EQ(GetWindowLongPtrW(v, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
  DestroyWindow(v);
  OleUninitialize();
}

TEST(Acerca, OpensFromTheMenuShowsOneTabAtATimeAndAceptarClosesIt) {
  if (!hayPantalla()) GTEST_SKIP() << "no display: Wine makes no windows here";
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "kalyxon-acerca-prueba";
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::ofstream(dir / kFicheroAtribucion) << "Atribuci\xC3\xB3n\nde prueba";
  std::ofstream(dir / kFicheroLicencia) << "Licencia de prueba";
  {
    win32ui::Escritorio e(dir, {dir});
    HWND v = static_cast<HWND>(e.ventana("frmace"));
    ASSERT_TRUE(v);
    EXPECT_FALSE(IsWindowVisible(v));
    auto cajaVisible = [&] {
      std::vector<std::wstring> vistas;
      for (HWND c = FindWindowExW(v, nullptr, L"Edit", nullptr); c; c = FindWindowExW(v, c, L"Edit", nullptr)) {
        if (!IsWindowVisible(c)) continue;
        std::wstring t(static_cast<size_t>(GetWindowTextLengthW(c)) + 1, L'\0');
        t.resize(static_cast<size_t>(GetWindowTextW(c, t.data(), static_cast<int>(t.size()))));
        vistas.push_back(t);
      }
      return vistas;
    };
    HWND pestanas = FindWindowExW(v, nullptr, WC_TABCONTROLW, nullptr);
    HWND aceptar = FindWindowExW(v, nullptr, L"Button", nullptr);  // its only button
    ASSERT_TRUE(pestanas && aceptar);
    for (int vez = 0; vez < 2; ++vez) {
      e.evento("mnusibace_Click");
      ASSERT_TRUE(IsWindowVisible(v));
      EXPECT_EQ(textoDe(aceptar), L"Aceptar");
      // It always opens on the attribution, whichever tab was shown last.
      EXPECT_EQ(cajaVisible(), std::vector<std::wstring>{L"Atribuci\u00f3n\r\nde prueba"});
      SendMessageW(pestanas, TCM_SETCURSEL, 1, 0);
      NMHDR n{pestanas, static_cast<UINT_PTR>(GetDlgCtrlID(pestanas)), static_cast<UINT>(TCN_SELCHANGE)};
      SendMessageW(v, WM_NOTIFY, n.idFrom, reinterpret_cast<LPARAM>(&n));
      EXPECT_EQ(cajaVisible(), std::vector<std::wstring>{L"Licencia de prueba"});
      // "Aceptar" the first time, the frame's close button the second.
      if (vez == 0)
        SendMessageW(v, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(aceptar), BN_CLICKED), reinterpret_cast<LPARAM>(aceptar));
      else
        SendMessageW(v, WM_CLOSE, 0, 0);
      EXPECT_FALSE(IsWindowVisible(v));
    }
  }
  std::error_code ec;
  fs::remove_all(dir, ec);
}

}  // namespace
}  // namespace kalyxon::win32
