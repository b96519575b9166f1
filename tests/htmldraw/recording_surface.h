// A drawing surface for tests and the fuzzer: fixed character metrics that
// follow the font size, and a record of every drawing operation.
#pragma once

#include <string>
#include <vector>

#include "htmldraw/draw_surface.h"

namespace wb::test {

struct RecordedOp {
  enum Kind { Text, Fill, Line, Icon };
  Kind kind = Text;
  int x = 0;
  int y = 0;
  int x2 = 0;
  int y2 = 0;
  std::string text;     // Text: what was drawn
  TSurfaceFont font;    // Text: the font it was drawn in
  TColor color = 0;     // Text: resolved font colour; Fill: fill colour; Line: pen colour
  bool opaque = false;  // Text: drawn over the background colour
  TColor background = 0;
  bool clipped = false;
  int index = -1;  // Icon: icon number
  TSize size;      // Icon: drawn size
};

class RecordingSurface : public TDrawSurface {
 public:
  // Every character is CharWidth() wide and every line CellHeight() high.
  static int CharWidth(const TSurfaceFont& font) { return (font.Size * 2) / 3 + (font.Bold ? 1 : 0); }
  static int CellHeight(const TSurfaceFont& font) { return (font.Size * 4) / 3; }

  int pixelsPerInch = 96;
  std::vector<RecordedOp> ops;
  std::vector<std::string> iconPathsAsked;

  TSize TextExtent(std::string_view text) override;
  int AverageCharWidth() override { return CharWidth(Font()); }
  void DrawTextAt(int x, int y, std::string_view text, const TRect* clip) override;
  void FillRect(const TRect& rect, TColor color) override;
  void DrawLine(int x1, int y1, int x2, int y2) override;
  TColor SysColor(int index) override { return MakeColor(index, index, index); }
  TSize SystemIconListSize(bool large) override { return large ? TSize{32, 32} : TSize{16, 16}; }
  int SystemIconIndex(const std::string& path) override;
  void DrawSystemIconAt(int index, int x, int y, bool large, TSize size) override;
  int PixelsPerInchX() override { return pixelsPerInch; }
  int PixelsPerInchY() override { return pixelsPerInch; }

  // Conveniences for the tests.
  std::vector<RecordedOp> Texts() const;
  std::string AllText() const;  // every text drawn, joined with "|"
};

}  // namespace wb::test
