// Ellipsis shortening of one text line, measured on the surface.
#include "htmldraw/text_ellipsis.h"

#include <algorithm>

namespace wb {
namespace {

std::string Joined(std::string_view head, int count, std::string_view tail) {
  std::string result;
  result.reserve(static_cast<std::size_t>(count) + kEllipsis.size() + tail.size());
  result.assign(head.substr(0, static_cast<std::size_t>(count)));
  result.append(kEllipsis);
  result.append(tail);
  return result;
}

// The start of head (at most count characters) plus the ellipsis and tail,
// as long as fits maxWidth with tabs expanded. Widths grow with the count, so
// the longest fitting start is found by halving.
std::string JoinFitting(TDrawSurface& surface, std::string_view head, int count, std::string_view tail, int maxWidth) {
  std::string result = Joined(head, count, tail);
  if (count == 0 || surface.TextLineWidth(result) <= maxWidth) return result;
  int low = 0;
  int high = count - 1;
  while (low < high) {
    const int middle = low + (high - low + 1) / 2;
    if (surface.TextLineWidth(Joined(head, middle, tail)) <= maxWidth) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  return Joined(head, low, tail);
}

}  // namespace

std::string EllipsizeEnd(TDrawSurface& surface, std::string_view text, int maxWidth) {
  const int room = maxWidth - surface.TextExtent(kEllipsis).cx;
  const int count = room > 0 ? surface.FitCharCount(text, room) : 0;
  return JoinFitting(surface, text, count, {}, maxWidth);
}

std::string EllipsizePath(TDrawSurface& surface, std::string_view text, int maxWidth) {
  const std::size_t lastDelimiter = text.find_last_of("\\/");
  if (lastDelimiter == std::string_view::npos || lastDelimiter == 0) {
    return EllipsizeEnd(surface, text, maxWidth);
  }
  const std::string_view head = text.substr(0, lastDelimiter);
  const std::string_view tail = text.substr(lastDelimiter);
  const int room = maxWidth - surface.TextExtent(kEllipsis).cx - surface.TextLineWidth(tail);
  if (room < 0) {
    std::string lastPart(kEllipsis);
    lastPart.append(tail);
    return EllipsizeEnd(surface, lastPart, maxWidth);
  }
  const int count = surface.FitCharCount(head, room);
  return JoinFitting(surface, head, count, tail, maxWidth);
}

}  // namespace wb
