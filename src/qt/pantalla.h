// Keeping windows on screen. A place saved on another monitor, at another
// scale factor or before a screen was unplugged must not put a window where
// the user cannot reach it.
#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace kalyxon::qt {

// The client top-left corner nearest to `esquina` at which a window of
// client size `tam` with frame `marco` lies wholly inside `area` (when it is
// larger than the area, its top-left corner shows).
QPoint encaja(QPoint esquina, QSize tam, QMargins marco, const QRect& area);

// The same on the available area of the screen under `esquina` (the
// primary screen when none is).
QPoint encajaEnPantalla(const QWidget& w, QPoint esquina);

// Places a top-level window by its client area. The client area, unlike the
// frame, is known before the window manager has decorated the window, so a
// place read back and set again never drifts by the frame's size.
void colocaCliente(QWidget& w, QPoint esquina);

}  // namespace kalyxon::qt
