// The markup renderer's drawing surface over a GDI device context: the entry
// list's rows and the link labels draw through it.
//
//   win32::GdiSurface surface(dc);
//   surface.SetFont(win32::UiSurfaceFont(9, true, textColor));
//   surface.SetBackgroundColor(rowColor);
//   wb::DrawHtmlItem(surface, true, text, selected, rect);
//
// The device context's font, colours, background mode and pen are put back
// when the surface goes. Text is 8-bit text in the system code page, drawn and
// measured with the ANSI text functions, as the core keeps it.
#pragma once

#include "gui/win32/win32_headers.h"
#include "htmldraw/draw_surface.h"

namespace wb::win32 {

// A realised font: the GDI font and its metrics. Owned by the process-wide cache.
struct GdiFont {
  HFONT handle = nullptr;
  TEXTMETRICA metrics{};
};

// Fonts by name, size, style and escapement at a resolution; made once, kept
// for the life of the program (gui thread only).
const GdiFont& RealizeFont(const TSurfaceFont& font, int dpi);

// The windows' font (Tahoma) at a point size, as a surface font and as a GDI font.
TSurfaceFont UiSurfaceFont(int points, bool bold, TColor color);
HFONT UiFont(int points, bool bold);

class GdiSurface : public TDrawSurface {
 public:
  explicit GdiSurface(HDC dc);
  ~GdiSurface() override;
  GdiSurface(const GdiSurface&) = delete;
  GdiSurface& operator=(const GdiSurface&) = delete;

  TSize TextExtent(std::string_view text) override;
  int AverageCharWidth() override;
  int FitCharCount(std::string_view text, int maxWidth) override;
  void DrawTextAt(int x, int y, std::string_view text, const TRect* clip) override;
  void FillRect(const TRect& rect, TColor color) override;
  void DrawLine(int x1, int y1, int x2, int y2) override;
  TColor SysColor(int index) override;
  TSize SystemIconListSize(bool large) override;
  int SystemIconIndex(const std::string& path) override;
  void DrawSystemIconAt(int index, int x, int y, bool large, TSize size) override;
  int PixelsPerInchX() override;
  int PixelsPerInchY() override;

 private:
  const GdiFont& Current();

  HDC dc_;
  int saved_;
  int dpi_;
  const GdiFont* current_ = nullptr;
  uint32_t currentGeneration_ = 0;
  HPEN pen_ = nullptr;
};

}  // namespace wb::win32
