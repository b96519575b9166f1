// The drawing surface the markup renderer paints on: a canvas with a current
// font, a background colour and mode, a pen, the system colours and the
// system's file-icon list. The gui implements it over QPainter; the tests use a
// recording surface with fixed character metrics. All text is 8-bit text in
// the system code page.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "htmldraw/colors.h"

namespace wb {

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool operator==(const TRect&) const = default;
};

struct TSize {
  int cx = 0;
  int cy = 0;
  bool operator==(const TSize&) const = default;
};

// A font as the renderer knows it: the surface turns it into a real one.
struct TSurfaceFont {
  std::string Name = "Tahoma";
  int Size = 9;  // points
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  TColor Color = clBlack;
  int Escapement = 0;  // tenths of a degree, counter-clockwise
  bool operator==(const TSurfaceFont&) const = default;
};

enum class TBackgroundMode { Transparent, Opaque };

// How a text line that does not fit its box is shortened.
enum class TEllipsisMode {
  End,   // "Rechnungsausg..."
  Path,  // "C:\Daten\...\Rechnung.pdf": the last path part is kept
};

class TDrawSurface {
 public:
  virtual ~TDrawSurface() = default;

  // The current font. The renderer changes it often; implementations realise
  // it lazily and can tell a change by FontGeneration().
  const TSurfaceFont& Font() const { return font_; }
  void SetFont(const TSurfaceFont& font);
  void SetFontColor(TColor color);
  uint32_t FontGeneration() const { return fontGeneration_; }

  // Background of opaque text; Transparent leaves what is below the text.
  TColor BackgroundColor() const { return backgroundColor_; }
  void SetBackgroundColor(TColor color) { backgroundColor_ = color; }
  TBackgroundMode BackgroundMode() const { return backgroundMode_; }
  void SetBackgroundMode(TBackgroundMode mode) { backgroundMode_ = mode; }

  TColor PenColor() const { return penColor_; }
  void SetPenColor(TColor color) { penColor_ = color; }
  int PenWidth() const { return penWidth_; }
  void SetPenWidth(int width) { penWidth_ = width < 1 ? 1 : width; }

  // Metrics in the current font. TextExtent's height is the font's cell
  // height whatever the text; tabs are not expanded.
  virtual TSize TextExtent(std::string_view text) = 0;
  virtual int AverageCharWidth() = 0;
  // How many leading characters of text fit into maxWidth pixels.
  virtual int FitCharCount(std::string_view text, int maxWidth);

  // Draws text with its cell's top-left corner at (x, y) in the current font
  // and colour, over the background colour when the mode is Opaque, turned
  // about (x, y) by the font's escapement. A clip rectangle, when given, cuts it.
  virtual void DrawTextAt(int x, int y, std::string_view text, const TRect* clip) = 0;
  virtual void FillRect(const TRect& rect, TColor color) = 0;
  // A straight line in the pen's colour and width; the end point is not drawn.
  virtual void DrawLine(int x1, int y1, int x2, int y2) = 0;

  // The width of one line of text with tabs expanded (every 8 average characters).
  virtual int TextLineWidth(std::string_view text);
  // Draws one line of text into box, aligned to its bottom, tabs expanded,
  // shortened with the ellipsis when wider than the box. Returns the width drawn.
  virtual int DrawTextLine(std::string_view text, const TRect& box, TEllipsisMode ellipsis);

  // The system colours (kColorWindowText, …) as plain 0x00BBGGRR values.
  virtual TColor SysColor(int index) = 0;
  // A plain colour for any colour value; clNone stays clNone.
  TColor ColorToRGB(TColor color);

  // The system's file-icon list: unscaled icon size, the index of the icon
  // for a file or folder path (-1 when there is none), and drawing one icon
  // scaled to size with its transparency.
  virtual TSize SystemIconListSize(bool large) = 0;
  virtual int SystemIconIndex(const std::string& path) = 0;
  virtual void DrawSystemIconAt(int index, int x, int y, bool large, TSize size) = 0;
  virtual int PixelsPerInchX() = 0;
  virtual int PixelsPerInchY() = 0;

 private:
  TSurfaceFont font_;
  uint32_t fontGeneration_ = 0;
  TColor backgroundColor_ = clWhite;
  TBackgroundMode backgroundMode_ = TBackgroundMode::Opaque;
  TColor penColor_ = clBlack;
  int penWidth_ = 1;
};

}  // namespace wb
