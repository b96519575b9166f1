// The two entry points for list rows and menu items: DrawHtmlItem draws an
// item's markup text into its rectangle, MeasureHtmlItem finds the size it needs.
//
// An owner-drawn list row: fill the row with its background, set the surface's
// font (with the row's text colour: the highlight text colour when selected)
// and background colour to the row's, move the left edge 5 pixels right, and
// call DrawHtmlItem(surface, true, text, selected, rect).
#pragma once

#include <string_view>

#include "htmldraw/draw_surface.h"

namespace wb {

// Draws text (grey when not enabled) into rect; a selected item ignores the
// colours of its markup. Menu access-key ampersands are removed. Returns true.
bool DrawHtmlItem(TDrawSurface& surface, bool enabled, std::string_view text, bool selected, const TRect& rect);

// Lays text out in font on the scratch surface without drawing; widthLimit <= 0
// means 2000 pixels. rect.Right and rect.Bottom become rect.Left plus the widest
// line and rect.Top plus the total height. The scratch surface's font is restored.
bool MeasureHtmlItem(TDrawSurface& scratch, const TSurfaceFont& font, bool enabled, std::string_view text,
                     int widthLimit, TRect& rect);

}  // namespace wb
