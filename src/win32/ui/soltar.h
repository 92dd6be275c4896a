// Drops onto a window of the Windows program: text dragged from another
// program (a word) and files dragged from Explorer, the same two things the
// Qt front end takes. The window only says what was dropped and where; the
// engine decides what it means.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kalyxon::win32ui {

// (x, y) is the drop's place in the window's client area, in pixels.
using AlSoltar = std::function<void(int x, int y, const std::u16string& texto)>;

// Registers `ventana` (an HWND) as an OLE drop target for Unicode text and
// files, and as a window that takes files the old way (WM_DROPFILES, for
// sources that do not use OLE). Revoked when the object goes. The thread
// must have initialised OLE (OleInitialize).
class Soltar {
 public:
  Soltar(void* ventana, AlSoltar alSoltar);
  ~Soltar();
  Soltar(const Soltar&) = delete;
  Soltar& operator=(const Soltar&) = delete;

  // Whether OLE drops are taken (false where OLE could not register it:
  // files still arrive the old way).
  bool ole() const { return destino_ != nullptr; }

  // The full names of the files of an HDROP (WM_DROPFILES' wParam, or an
  // HDROP of a data object), which is not freed here.
  static std::vector<std::u16string> archivos(void* hdrop);

 private:
  class Destino;
  void* ventana_;
  AlSoltar al_;
  Destino* destino_ = nullptr;
};

}  // namespace kalyxon::win32ui
