// The system colours of the markup (clHighlight, clBtnFace, …) taken from the
// application's palette, and conversions between colour values and QColor.
#pragma once

#include <QColor>

#include "htmldraw/colors.h"

namespace wb::gui {

// A plain 0x00BBGGRR colour for system colour number index (black when unknown).
TColor PaletteSystemColor(int index);

inline QColor ToQColor(TColor plain) { return QColor(ColorRed(plain), ColorGreen(plain), ColorBlue(plain)); }
inline TColor FromQColor(const QColor& color) { return MakeColor(color.red(), color.green(), color.blue()); }

}  // namespace wb::gui
