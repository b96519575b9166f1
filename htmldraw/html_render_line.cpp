// RenderHtmlLine: the text runs and tags of one line, in its measuring or its
// drawing pass.
#include <algorithm>

#include "htmldraw/html_render_state.h"
#include "htmldraw/html_text_prep.h"

namespace wb {
namespace {

constexpr TColor kErrorUnderlineColor = clRed;

// The red zig-zag under a misspelt run: 2 pixels up or down every 2 pixels,
// its phase fixed by even x so that neighbouring runs join up.
void DrawErrorZigZag(TDrawSurface& surface, int left, int right, int lineBottom) {
  const TColor oldColor = surface.PenColor();
  const int oldWidth = surface.PenWidth();
  surface.SetPenColor(kErrorUnderlineColor);
  surface.SetPenWidth(1);
  int x = left - (((left % 2) + 2) % 2);  // rounded down to even, also below 0
  auto yAt = [lineBottom](int px) { return ((px / 2) % 2 == 0) ? lineBottom - 1 : lineBottom - 3; };
  while (x < right) {
    surface.DrawLine(x, yAt(x), x + 2, yAt(x + 2));
    x += 2;
  }
  surface.SetPenColor(oldColor);
  surface.SetPenWidth(oldWidth);
}

void MeasureRun(THtmlRenderState& state, THtmlLineContext& line, std::string_view run) {
  TDrawSurface& surface = state.Surface;
  state.SyncFont();
  THtmlLineMetrics& metrics = *line.Metrics;
  const int height = surface.TextExtent(run).cy;
  metrics.Height = std::max(metrics.Height, height);
  if (state.Markup.Subscript) metrics.SubscriptReserve = std::max(metrics.SubscriptReserve, height / 4);
  if (state.Markup.Superscript) metrics.SuperscriptReserve = std::max(metrics.SuperscriptReserve, height / 4);
  if (!state.Markup.Hidden) line.X += surface.TextLineWidth(run);
}

void DrawRun(THtmlRenderState& state, THtmlLineContext& line, std::string_view run) {
  if (state.Markup.Hidden) return;
  TDrawSurface& surface = state.Surface;
  state.SyncFont();
  state.SyncBackground();
  const TRect box{line.X, line.Top, line.Area.Right, RunBottom(state.Markup, *line.Metrics, line.Top)};
  if (state.Markup.Shadow) {
    const int offset = state.Options.ShadowOffset;
    const TRect shadowBox{box.Left + offset, box.Top + offset, box.Right + offset, box.Bottom + offset};
    surface.SetFontColor(state.Options.ShadowColor);
    surface.DrawTextLine(run, shadowBox, state.Ellipsis);
    surface.SetFontColor(state.Markup.Font.Color);
  }
  int width = 0;
  if (box.Width() > surface.TextExtent("W").cx) {
    width = surface.DrawTextLine(run, box, state.Ellipsis);
  } else {
    width = surface.TextLineWidth(run);
  }
  if (state.Draw.ErrorUnderline) {
    DrawErrorZigZag(surface, line.X, line.X + width, line.Metrics->Bottom(line.Top));
  }
  line.X += width;
}

// A run that reaches the right edge after text ending in a space ends the
// text when measuring: nothing after it gets a line of its own.
bool Overflows(const THtmlLineContext& line, int runWidth, bool lineHadText, char lastChar) {
  return line.X >= line.Area.Right && runWidth < line.Area.Width() && lineHadText && lastChar == ' ';
}

}  // namespace

std::string_view RenderHtmlLine(THtmlRenderState& state, THtmlLineContext& line, std::string_view& text) {
  const char* lineStart = text.data();
  if (line.Drawing() && state.Draw.ParagraphBackActive && state.Draw.TextBack != clNone) {
    state.Surface.FillRect({line.Area.Left, line.Top, line.Area.Right, line.Top + line.Metrics->Height},
                           state.Draw.TextBack);
  }
  bool lineHadText = false;
  char lastChar = 0;
  int trailingSpace = 0;
  bool lineEnded = false;
  const char* droppedFrom = nullptr;  // the rest of the text was dropped here
  while (!text.empty() && !lineEnded) {
    const std::size_t tagStart = text.find('<');
    const std::string_view rawRun = text.substr(0, tagStart);
    text.remove_prefix(rawRun.size());
    if (!rawRun.empty()) {
      std::string_view run = rawRun;
      if (HasRunEntity(rawRun)) {
        ReplaceRunEntities(rawRun, state.RunBuffer);
        run = state.RunBuffer;
      }
      const int xBefore = line.X;
      if (line.Measuring()) {
        MeasureRun(state, line, run);
      } else {
        DrawRun(state, line, run);
      }
      line.HoldsSomething = true;
      if (!state.Markup.Hidden) {
        if (line.Measuring() && Overflows(line, line.X - xBefore, lineHadText, lastChar)) {
          droppedFrom = text.data();
          text.remove_prefix(text.size());
        }
        trailingSpace = run.back() == ' ' ? state.Surface.TextExtent(" ").cx : 0;
        lineHadText = true;
        lastChar = run.back();
      }
    }
    if (text.empty()) break;
    // The text now starts with "<".
    if (text.size() <= 2) {
      text.remove_prefix(text.size());
      break;
    }
    const std::size_t tagEnd = text.find('>');
    const std::string_view tag = tagEnd == std::string_view::npos ? text : text.substr(0, tagEnd + 1);
    const THtmlTagEffect effect = ApplyHtmlTag(state, line, tag);
    if (effect == THtmlTagEffect::EndLineBefore) break;
    text.remove_prefix(tag.size());
    line.HoldsSomething = true;
    lineEnded = effect == THtmlTagEffect::EndLineAfter;
  }
  const int width = std::max(0, line.X - line.StartX - trailingSpace);
  line.Metrics->Width = width;
  if (line.Measuring()) state.WidestLine = std::max(state.WidestLine, width);
  const char* lineEnd = droppedFrom != nullptr ? droppedFrom : text.data();
  return std::string_view(lineStart, static_cast<std::size_t>(lineEnd - lineStart));
}

}  // namespace wb
