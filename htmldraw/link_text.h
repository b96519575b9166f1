// The windows' linked texts ("<A href="E">Eigenschaften</A><br><br>…"): the
// part of the entry-name markup a label needs — bold, italic, underline, line
// breaks and links — laid out once, wrapped at spaces into the label's width,
// and drawn from that layout on every repaint. The layout also answers which
// link lies under a point, so the label can report a click with the link's
// target text.
//
//   TLinkTextLayout layout = LayoutLinkText(surface, markup, width, true);
//   DrawLinkText(surface, layout, {clBlack, clBlue, 0});
//   int anchor = layout.AnchorAt(x, y);  // 0: no link there
//
// Tags the label does not know are left out, as the renderer leaves them out.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "htmldraw/draw_surface.h"

namespace wb {

struct TLinkTextRun {
  int X = 0;  // the run's cell: top-left corner, width and height
  int Y = 0;
  int Width = 0;
  int Height = 0;
  std::string Text;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  int Anchor = 0;  // the link the run belongs to, counted from 1; 0 for plain text
};

struct TLinkTextAnchor {
  std::string Target;        // the href value, "" when the tag has none
  std::vector<TRect> Boxes;  // one box per line the link covers
};

struct TLinkTextLayout {
  std::vector<TLinkTextRun> Runs;
  std::vector<TLinkTextAnchor> Anchors;
  int Width = 0;   // the widest line
  int Height = 0;  // all lines

  // The link whose box holds the point (counted from 1), 0 for none.
  int AnchorAt(int x, int y) const;
  // The target of a link counted from 1; "" for 0 or a number out of range.
  std::string TargetOf(int anchor) const;
};

// Lays out markup in the surface's current font. With wrap, a line ends at the
// last space before width; a word wider than width stays whole on its own line.
TLinkTextLayout LayoutLinkText(TDrawSurface& surface, std::string_view markup, int width, bool wrap);

// How many links the markup holds, without measuring anything.
int LinkTextAnchorCount(std::string_view markup);
// The text without its tags, line breaks as "\n": what a screen reader reads.
std::string LinkTextPlain(std::string_view markup);

struct TLinkTextColors {
  TColor Text = clBlack;
  TColor Link = clBlue;
};

// Draws the layout with its top-left corner at (left, top); links in their
// colour and underlined. The surface's font is put back afterwards.
void DrawLinkText(TDrawSurface& surface, const TLinkTextLayout& layout, int left, int top,
                  const TLinkTextColors& colors);

}  // namespace wb
