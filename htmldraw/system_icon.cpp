// DrawSystemIcon: the system's file icons at the display's scaling.
#include "htmldraw/system_icon.h"

#include <cmath>
#include <string>

#include "htmldraw/html_tag_attributes.h"

namespace wb {
namespace {

constexpr int kDesignPixelsPerInch = 96;

// Whether reference is a whole number (an icon number of the list).
bool IsWholeNumber(std::string_view text) {
  if (!text.empty() && text.front() == '-') text.remove_prefix(1);
  if (text.empty()) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

int Scaled(int size, int pixelsPerInch, double scale) {
  const double pixels = static_cast<double>(size) * pixelsPerInch / kDesignPixelsPerInch * scale;
  if (!(pixels > 0)) return 0;
  return pixels > 4096 ? 4096 : static_cast<int>(std::lround(pixels));
}

}  // namespace

TSize DrawSystemIcon(TDrawSurface& surface, int x, int y, std::string_view reference, bool large, bool draw,
                     double scale) {
  const TSize listSize = surface.SystemIconListSize(large);
  const TSize size{Scaled(listSize.cx, surface.PixelsPerInchX(), scale),
                   Scaled(listSize.cy, surface.PixelsPerInchY(), scale)};
  if (draw) {
    const int index =
        IsWholeNumber(reference) ? LeadingNumber(reference, true) : surface.SystemIconIndex(std::string(reference));
    if (index >= 0) surface.DrawSystemIconAt(index, x, y, large, size);
  }
  return size;
}

}  // namespace wb
