// Fuzzes DrawHtmlItem, MeasureHtmlItem and RenderHtml with arbitrary text on
// the recording surface. The first byte chooses the item state, font size,
// area and resolution; the rest is the markup.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "htmldraw/html_item.h"
#include "htmldraw/html_render.h"
#include "recording_surface.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t flags = data[0];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  wb::test::RecordingSurface surface;
  surface.pixelsPerInch = 72 + 24 * ((flags >> 4) & 3);
  wb::TSurfaceFont font;
  font.Size = 6 + (flags & 7);
  font.Color = 0x00123456;
  surface.SetFont(font);
  surface.SetBackgroundColor(0x00FFFFFF);

  const int left = (flags & 0x08) != 0 ? 5 : 0;
  const wb::TRect row{left, 0, 60 + 150 * (flags >> 6), 21 + 21 * ((flags >> 4) & 1)};
  wb::DrawHtmlItem(surface, (flags & 1) != 0, text, (flags & 2) != 0, row);
  Check(surface.Font() == font);
  Check(surface.BackgroundColor() == 0x00FFFFFFu);

  wb::TRect measured{3, 4, 3, 4};
  wb::MeasureHtmlItem(surface, font, (flags & 1) != 0, text, (flags & 4) != 0 ? 80 : 0, measured);
  Check(measured.Right >= measured.Left && measured.Bottom > measured.Top);
  Check(surface.Font() == font);

  wb::THtmlRenderOptions options;
  options.HoverAnchor = 1;
  options.MeasureOnly = (flags & 0x40) != 0;
  const wb::THtmlRenderResult result = wb::RenderHtml(surface, text, {0, 0, 200, 400}, options);
  Check(result.Width >= 0 && result.Height > 0);
  return 0;
}
