// The renderer's state while one text is processed, shared by RenderHtml, the
// line pass and the tag rows. Nothing of it outlives a RenderHtml call.
#pragma once

#include <string>
#include <string_view>

#include "htmldraw/draw_surface.h"
#include "htmldraw/html_render.h"

namespace wb {

enum class THtmlAlignment { Left, Right, Center };
enum class THtmlPass { Measuring, Drawing };

// What the tags change in both passes of a line. It is saved before a line's
// measuring pass and put back before its drawing pass, so the drawing pass
// starts exactly where the measuring pass started (a list level raised on the
// line is raised once, a subscript opened later on the line does not lower
// the runs before it).
struct THtmlMarkupState {
  TSurfaceFont Font;
  bool Hidden = false;
  bool Shadow = false;
  bool Subscript = false;
  bool Superscript = false;
  bool InAnchor = false;
  int ListLevel = 0;
  THtmlAlignment Alignment = THtmlAlignment::Left;
  int Indent = 0;
  int AnchorCount = 0;
  int ImageCount = 0;
  bool Rotated = false;
  TSurfaceFont FontBeforeRotation;
};

// What only the drawing pass changes: text background and the colours saved
// by opening tags for their closing tags.
struct THtmlDrawState {
  TColor TextBack = clNone;
  bool ErrorUnderline = false;
  bool ParagraphBackActive = false;
  TColor AnchorSavedBack = clNone;
  TColor AnchorSavedColor = clBlack;
  bool FontBackSaved = false;
  TColor FontSavedBack = clNone;
  bool HighlightSaved = false;
  TColor HighlightSavedColor = clBlack;
  TColor HighlightSavedBack = clNone;
  bool ParagraphBackSaved = false;
  TColor ParagraphSavedBack = clNone;
};

// One line's measures: found by its measuring pass, used by its drawing pass.
struct THtmlLineMetrics {
  int Height = 0;
  int SubscriptReserve = 0;
  int SuperscriptReserve = 0;
  int ImageOffset = 0;
  int Width = 0;
  int Bottom(int top) const { return top + Height + SubscriptReserve + SuperscriptReserve; }
};

struct THtmlRenderState {
  THtmlRenderState(TDrawSurface& surface, const THtmlRenderOptions& options, const TRect& area)
      : Surface(surface), Options(options), Area(area) {}

  TDrawSurface& Surface;
  const THtmlRenderOptions& Options;
  TRect Area;
  TEllipsisMode Ellipsis = TEllipsisMode::End;
  TSurfaceFont BaseFont;
  TColor InitialBackground = clWhite;
  THtmlMarkupState Markup;
  THtmlDrawState Draw;
  int WidestLine = 0;
  // Scratch buffer for runs with entities, reused across runs.
  std::string RunBuffer;

  // Hands the markup font to the surface; tags only change Markup.Font.
  void SyncFont() {
    if (!(Surface.Font() == Markup.Font)) Surface.SetFont(Markup.Font);
  }
  // Hands the text background to the surface before text is drawn.
  void SyncBackground() {
    if (Draw.TextBack == clNone) {
      Surface.SetBackgroundMode(TBackgroundMode::Transparent);
    } else {
      Surface.SetBackgroundMode(TBackgroundMode::Opaque);
      Surface.SetBackgroundColor(Draw.TextBack);
    }
  }
  int GhHeight() {
    SyncFont();
    return Surface.TextExtent("gh").cy;
  }
  bool MarkupColorsIgnored() const { return Options.IgnoreMarkupColors; }
};

// One line on its way through a pass.
struct THtmlLineContext {
  THtmlPass Pass = THtmlPass::Measuring;
  TRect Area;      // the pass's area (the measuring pass starts 1 pixel further right)
  int StartX = 0;  // where the line starts
  int X = 0;       // the current position
  int Top = 0;     // the line's top
  THtmlLineMetrics* Metrics = nullptr;
  bool ListItemPlaced = false;
  bool HoldsSomething = false;  // text or tags already consumed on this line
  bool Drawing() const { return Pass == THtmlPass::Drawing; }
  bool Measuring() const { return Pass == THtmlPass::Measuring; }
};

// What a tag does to the line it is on.
enum class THtmlTagEffect {
  None,
  EndLineAfter,   // the line ends after the tag
  EndLineBefore,  // the tag starts the next line
};

// The bottom of a run's box in the drawing pass: runs sit above the
// subscript reserve, superscript runs higher, subscript runs lower, and all
// of them higher by the image offset.
inline int RunBottom(const THtmlMarkupState& markup, const THtmlLineMetrics& metrics, int lineTop) {
  int bottom = metrics.Bottom(lineTop) - metrics.SubscriptReserve;
  if (markup.Superscript) bottom -= metrics.SuperscriptReserve;
  if (markup.Subscript) bottom += metrics.SubscriptReserve;
  return bottom - metrics.ImageOffset;
}

// Applies one tag (from "<" to ">" inclusive, or to the end of the text when
// unterminated) to the state and the line.
THtmlTagEffect ApplyHtmlTag(THtmlRenderState& state, THtmlLineContext& line, std::string_view tag);
// The image row (<IMG SRC="SSYS:.pdf">) of ApplyHtmlTag.
THtmlTagEffect ApplyImageTag(THtmlRenderState& state, THtmlLineContext& line, std::string_view tag);

// One line's pass over text: the measuring pass consumes the line's text and
// tags from the front of text and returns them; the drawing pass is given
// exactly that text and draws it.
std::string_view RenderHtmlLine(THtmlRenderState& state, THtmlLineContext& line, std::string_view& text);

}  // namespace wb
