// DrawHtmlItem and MeasureHtmlItem: list rows and menu items over RenderHtml.
#include "htmldraw/html_item.h"

#include <string>

#include "htmldraw/html_render.h"

namespace wb {
namespace {

constexpr std::string_view kDisabledOpen = "<FONT color=\"#808080\">";
constexpr std::string_view kDisabledClose = "</Font>";
constexpr int kDefaultWidthLimit = 2000;

std::string WithEnabledState(bool enabled, std::string_view text) {
  if (enabled) return std::string(text);
  std::string grey;
  grey.reserve(kDisabledOpen.size() + text.size() + kDisabledClose.size());
  grey.append(kDisabledOpen).append(text).append(kDisabledClose);
  return grey;
}

// Menu captions mark their access key with "&" ("&Datei"). When the first
// ampersand is followed by at least two characters and not by a space, every
// ampersand goes; "A & B" and "A&B" keep theirs.
void RemoveAccessKeyMarks(std::string& text) {
  const std::size_t first = text.find('&');
  if (first == std::string::npos || text.size() - first < 3 || text[first + 1] == ' ') return;
  std::erase(text, '&');
}

THtmlRenderOptions ItemOptions(bool ignoreMarkupColors, bool measureOnly) {
  THtmlRenderOptions options;
  options.LinkColor = clBlue;
  options.AnchorTextColor = clBlack;
  options.AnchorBackColor = clBlack;
  options.ShadowColor = clBlack;
  options.ShadowOffset = -1;
  options.ImageScale = 1.0;
  options.IgnoreMarkupColors = ignoreMarkupColors;
  options.MeasureOnly = measureOnly;
  return options;
}

}  // namespace

bool DrawHtmlItem(TDrawSurface& surface, bool enabled, std::string_view text, bool selected, const TRect& rect) {
  std::string itemText = WithEnabledState(enabled, text);
  RemoveAccessKeyMarks(itemText);
  RenderHtml(surface, itemText, rect, ItemOptions(selected, false));
  return true;
}

bool MeasureHtmlItem(TDrawSurface& scratch, const TSurfaceFont& font, bool enabled, std::string_view text,
                     int widthLimit, TRect& rect) {
  const std::string itemText = WithEnabledState(enabled, text);
  const TSurfaceFont previousFont = scratch.Font();
  scratch.SetFont(font);
  const TRect area{0, 0, widthLimit <= 0 ? kDefaultWidthLimit : widthLimit, 0};
  const THtmlRenderResult size = RenderHtml(scratch, itemText, area, ItemOptions(false, true));
  scratch.SetFont(previousFont);
  rect.Right = rect.Left + size.Width;
  rect.Bottom = rect.Top + size.Height;
  return true;
}

}  // namespace wb
