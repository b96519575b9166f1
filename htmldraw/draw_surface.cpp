// The surface operations every implementation shares: one line of text with
// tabs and ellipsis, the fit search, and colour resolution.
#include "htmldraw/draw_surface.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "htmldraw/text_ellipsis.h"

namespace wb {
namespace {

constexpr int kTabStopChars = 8;

bool HasTab(std::string_view text) { return text.find('\t') != std::string_view::npos; }

int TabStopWidth(TDrawSurface& surface) { return std::max(1, kTabStopChars * surface.AverageCharWidth()); }

int NextTabStop(int x, int tabWidth) { return (x / tabWidth + 1) * tabWidth; }

}  // namespace

void TDrawSurface::SetFont(const TSurfaceFont& font) {
  font_ = font;
  ++fontGeneration_;
}

void TDrawSurface::SetFontColor(TColor color) {
  if (font_.Color == color) return;
  font_.Color = color;
  ++fontGeneration_;
}

int TDrawSurface::FitCharCount(std::string_view text, int maxWidth) {
  // Binary search over prefix widths; widths never shrink as a prefix grows.
  int low = 0;
  int high = static_cast<int>(text.size());
  while (low < high) {
    const int middle = low + (high - low + 1) / 2;
    if (TextExtent(text.substr(0, static_cast<std::size_t>(middle))).cx <= maxWidth) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  return low;
}

int TDrawSurface::TextLineWidth(std::string_view text) {
  if (!HasTab(text)) return TextExtent(text).cx;
  const int tabWidth = TabStopWidth(*this);
  int x = 0;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = text.find('\t', start);
    const std::string_view part = text.substr(start, tab == std::string_view::npos ? text.npos : tab - start);
    if (!part.empty()) x += TextExtent(part).cx;
    if (tab == std::string_view::npos) return x;
    x = NextTabStop(x, tabWidth);
    start = tab + 1;
  }
}

int TDrawSurface::DrawTextLine(std::string_view text, const TRect& box, TEllipsisMode ellipsis) {
  const int boxWidth = box.Width();
  int width = TextLineWidth(text);
  std::string shortened;
  std::string_view shown = text;
  if (width > boxWidth) {
    shortened =
        ellipsis == TEllipsisMode::Path ? EllipsizePath(*this, text, boxWidth) : EllipsizeEnd(*this, text, boxWidth);
    shown = shortened;
    width = TextLineWidth(shown);
  }
  // Only a box too narrow even for the ellipsis needs cutting.
  const TRect* clip = width > boxWidth ? &box : nullptr;
  const int top = box.Bottom - TextExtent({}).cy;
  if (!HasTab(shown)) {
    DrawTextAt(box.Left, top, shown, clip);
  } else {
    const int tabWidth = TabStopWidth(*this);
    int x = 0;
    std::size_t start = 0;
    for (;;) {
      const std::size_t tab = shown.find('\t', start);
      const std::string_view part = shown.substr(start, tab == std::string_view::npos ? shown.npos : tab - start);
      if (!part.empty()) {
        DrawTextAt(box.Left + x, top, part, clip);
        x += TextExtent(part).cx;
      }
      if (tab == std::string_view::npos) break;
      x = NextTabStop(x, tabWidth);
      start = tab + 1;
    }
  }
  return std::min(width, std::max(boxWidth, 0));
}

TColor TDrawSurface::ColorToRGB(TColor color) {
  if (color == clNone) return clNone;
  if (IsSystemColor(color)) {
    const int index = SystemColorIndex(color);
    return index < kSystemColorCount ? SysColor(index) : clBlack;
  }
  return color & 0x00FFFFFF;
}

}  // namespace wb
