// RenderHtml: lays out and draws (or only measures) a short text written in the
// entry names' small HTML-like markup, line by line, on a drawing surface.
// Each line is measured first and then drawn at its aligned position.
#pragma once

#include <string_view>

#include "htmldraw/colors.h"
#include "htmldraw/draw_surface.h"

namespace wb {

struct THtmlRenderOptions {
  TColor LinkColor = clBlue;
  // Colours of the anchor under the mouse (HoverAnchor, counted from 1); no
  // anchor is hovered unless a caller tracks the mouse.
  TColor AnchorTextColor = clBlack;
  TColor AnchorBackColor = clBlack;
  int HoverAnchor = 0;
  TColor ShadowColor = clBlack;
  int ShadowOffset = -1;
  double ImageScale = 1.0;
  // A selected row keeps its highlight text colour: markup colours are ignored.
  bool IgnoreMarkupColors = false;
  bool MeasureOnly = false;
};

struct THtmlRenderResult {
  int Width = 0;   // the widest line
  int Height = 0;  // all lines; one "gh" high in the base font when there are none
  int AnchorCount = 0;
  int ImageCount = 0;
};

// Renders text into rect. The surface's font and background colour are
// restored at the end; its background mode is left transparent.
THtmlRenderResult RenderHtml(TDrawSurface& surface, std::string_view text, const TRect& rect,
                             const THtmlRenderOptions& options);

}  // namespace wb
