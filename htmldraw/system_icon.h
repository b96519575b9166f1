// System file icons in markup images (SSYS:/LSYS:): an icon number, or the
// icon of a file, folder or file type, sized as the system's icon list at the
// display's pixels per inch.
#pragma once

#include <string_view>

#include "htmldraw/draw_surface.h"

namespace wb {

// The size of the icon for reference (a whole number is an icon number,
// anything else a path), times scale; draws it at (x, y) when draw is true.
TSize DrawSystemIcon(TDrawSurface& surface, int x, int y, std::string_view reference, bool large, bool draw,
                     double scale = 1.0);

}  // namespace wb
