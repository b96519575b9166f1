// Shortening a text line that is wider than its box: an ellipsis at the end,
// or in the middle of a path so that the file name stays readable.
#pragma once

#include <string>
#include <string_view>

#include "htmldraw/draw_surface.h"

namespace wb {

inline constexpr std::string_view kEllipsis = "...";

// The longest start of text followed by "..." that fits maxWidth in the
// surface's current font ("..." alone when nothing fits).
std::string EllipsizeEnd(TDrawSurface& surface, std::string_view text, int maxWidth);
// Keeps the last path part ("\Rechnung.pdf") and shortens what comes before it;
// when even the last part does not fit, it is shortened at its end instead.
std::string EllipsizePath(TDrawSurface& surface, std::string_view text, int maxWidth);

}  // namespace wb
