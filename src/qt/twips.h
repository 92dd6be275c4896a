// Twips (1/1440 inch) are the unit the window models keep geometry in; the
// screen shows them at its logical DPI, so a window keeps its physical size
// on high-density screens.
#pragma once

#include <QPaintDevice>
#include <cmath>

namespace kalyxon::qt {

inline int twipsToPx(int twips, int dpi) { return static_cast<int>(std::lround(twips * dpi / 1440.0)); }
inline int pxToTwips(int px, int dpi) { return static_cast<int>(std::lround(px * 1440.0 / dpi)); }

inline int twipsToPxX(const QPaintDevice& d, int twips) { return twipsToPx(twips, d.logicalDpiX()); }
inline int twipsToPxY(const QPaintDevice& d, int twips) { return twipsToPx(twips, d.logicalDpiY()); }
inline int pxToTwipsX(const QPaintDevice& d, int px) { return pxToTwips(px, d.logicalDpiX()); }
inline int pxToTwipsY(const QPaintDevice& d, int px) { return pxToTwips(px, d.logicalDpiY()); }

}  // namespace kalyxon::qt
