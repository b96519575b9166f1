// RenderHtml: the line loop. Every line is measured first (how much text
// belongs to it, how tall and wide it is) and then drawn at its aligned place.
#include "htmldraw/html_render.h"

#include <algorithm>
#include <string>

#include "htmldraw/html_render_state.h"
#include "htmldraw/html_text_prep.h"

namespace wb {
namespace {

// Where a line of the given width starts in the area.
int AlignedStart(const THtmlMarkupState& markup, const TRect& area, int lineWidth) {
  int x = area.Left;
  switch (markup.Alignment) {
    case THtmlAlignment::Right: x = std::max(area.Right - lineWidth, area.Left); break;
    case THtmlAlignment::Center:
      if (const int free = area.Right - area.Left - lineWidth; free > 0) x += free / 2;
      break;
    case THtmlAlignment::Left: break;
  }
  return x + markup.Indent;
}

// A path in the text ("C:\…") is shortened in its middle, anything else at its end.
TEllipsisMode EllipsisFor(std::string_view text) {
  return text.find(":\\") != std::string_view::npos ? TEllipsisMode::Path : TEllipsisMode::End;
}

}  // namespace

THtmlRenderResult RenderHtml(TDrawSurface& surface, std::string_view text, const TRect& rect,
                             const THtmlRenderOptions& options) {
  THtmlRenderState state(surface, options, rect);
  state.BaseFont = surface.Font();
  state.Markup.Font = state.BaseFont;
  state.InitialBackground = surface.BackgroundColor();
  state.Ellipsis = EllipsisFor(text);
  surface.SetBackgroundMode(TBackgroundMode::Transparent);

  const std::string prepared = PrepareMarkupText(text);
  std::string_view remaining = prepared;
  TRect measureArea = rect;
  measureArea.Left += 1;

  int top = rect.Top;
  int totalHeight = 0;
  while (!remaining.empty()) {
    const THtmlMarkupState lineStartMarkup = state.Markup;
    THtmlLineMetrics metrics;
    metrics.Height = state.GhHeight();

    THtmlLineContext measuring{THtmlPass::Measuring, measureArea, measureArea.Left, measureArea.Left, top, &metrics};
    std::string_view lineText = RenderHtmlLine(state, measuring, remaining);

    if (!options.MeasureOnly) {
      const int start = AlignedStart(state.Markup, rect, metrics.Width);
      state.Markup = lineStartMarkup;
      THtmlLineContext drawing{THtmlPass::Drawing, rect, start, start, top, &metrics};
      RenderHtmlLine(state, drawing, lineText);
    }

    const int lineHeight = metrics.Height + metrics.SubscriptReserve + metrics.SuperscriptReserve;
    top += lineHeight;
    totalHeight += lineHeight;
    // Only lines that fit entirely are drawn.
    if (!options.MeasureOnly && rect.Bottom < top + metrics.Height) break;
  }

  THtmlRenderResult result;
  result.Width = state.WidestLine;
  result.AnchorCount = state.Markup.AnchorCount;
  result.ImageCount = state.Markup.ImageCount;
  surface.SetFont(state.BaseFont);
  result.Height = totalHeight != 0 ? totalHeight : surface.TextExtent("gh").cy;
  surface.SetBackgroundColor(state.InitialBackground);
  surface.SetBackgroundMode(TBackgroundMode::Transparent);
  return result;
}

}  // namespace wb
