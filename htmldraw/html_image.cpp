// The image tag: system file icons (SSYS: small, LSYS: large) placed in the
// line; other sources have no picture behind them in this program.
#include <algorithm>
#include <cmath>

#include "htmldraw/html_render_state.h"
#include "htmldraw/html_tag_attributes.h"
#include "htmldraw/system_icon.h"

namespace wb {
namespace {

struct IconSource {
  bool IsIcon = false;
  bool Large = false;
  std::string_view Reference;
};

IconSource ParseSource(std::string_view src) {
  if (StartsWithIgnoringCase(src, "SSYS:")) return {true, false, src.substr(5)};
  if (StartsWithIgnoringCase(src, "LSYS:")) return {true, true, src.substr(5)};
  return {};  // "IDX:" and anything else: no room, nothing drawn
}

// Where text sits in a line an image made taller: at the top, the middle or the bottom.
int ImageOffsetFor(std::string_view align, int lineHeight, int ghHeight) {
  const int free = std::max(0, lineHeight - ghHeight);
  if (StartsWithIgnoringCase(align, "TOP")) return free;
  if (StartsWithIgnoringCase(align, "MIDDLE")) return free / 2;
  return 0;
}

}  // namespace

THtmlTagEffect ApplyImageTag(THtmlRenderState& state, THtmlLineContext& line, std::string_view tag) {
  ++state.Markup.ImageCount;
  const IconSource source = ParseSource(TagAttribute(tag, "SRC").value_or(std::string_view{}));
  if (!source.IsIcon) return THtmlTagEffect::None;
  const double scale = state.Options.ImageScale;
  const TSize size = DrawSystemIcon(state.Surface, 0, 0, source.Reference, source.Large, false, scale);
  if (line.Measuring()) {
    const bool fits = line.X + size.cx <= line.Area.Right;
    // An image at the very start of a line stays there even when too wide:
    // moving it on would give the next line the same problem for ever.
    if (!fits && size.cx < line.Area.Width() && line.HoldsSomething) return THtmlTagEffect::EndLineBefore;
    THtmlLineMetrics& metrics = *line.Metrics;
    metrics.Height = std::max(metrics.Height, size.cy);
    const std::string_view align = TagAttribute(tag, "ALIGN").value_or(std::string_view{});
    if (!align.empty()) metrics.ImageOffset = ImageOffsetFor(align, metrics.Height, state.GhHeight());
  } else {
    DrawSystemIcon(state.Surface, line.X, line.Top, source.Reference, source.Large, true, scale);
  }
  line.X += size.cx;
  return THtmlTagEffect::None;
}

}  // namespace wb
