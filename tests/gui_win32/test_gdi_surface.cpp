// The GDI drawing surface against GDI's own text drawing: the same text in the
// same font, drawn once through the surface (and the markup renderer) and once
// with DrawTextA / TextOutA, must give the same pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "gui/win32/gdi_surface.h"
#include "htmldraw/html_item.h"
#include "platform/codepage.h"

using namespace wb;
using namespace wb::win32;

namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 48;

// A white 32-bit bitmap selected into a memory device context.
class Canvas {
 public:
  Canvas() : dc_(::CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap_ = ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = ::SelectObject(dc_, bitmap_);
    RECT all{0, 0, kWidth, kHeight};
    ::FillRect(dc_, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  }
  ~Canvas() {
    ::SelectObject(dc_, old_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(dc_);
  }
  HDC Dc() const { return dc_; }
  std::vector<uint32_t> Pixels() const {
    ::GdiFlush();
    return std::vector<uint32_t>(bits_, bits_ + kWidth * kHeight);
  }
  // Where the ink lies, "left,top-right,bottom", for failure messages.
  std::string InkBox() const {
    const std::vector<uint32_t> pixels = Pixels();
    int left = kWidth, top = kHeight, right = -1, bottom = -1;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        if ((pixels[static_cast<size_t>(y * kWidth + x)] & 0xFFFFFF) != 0xFFFFFF) {
          left = std::min(left, x);
          top = std::min(top, y);
          right = std::max(right, x);
          bottom = std::max(bottom, y);
        }
    return std::to_string(left) + "," + std::to_string(top) + "-" + std::to_string(right) + "," +
           std::to_string(bottom);
  }
  int InkedPixels() const {
    int count = 0;
    for (uint32_t pixel : Pixels())
      if ((pixel & 0xFFFFFF) != 0xFFFFFF) ++count;
    return count;
  }

 private:
  HDC dc_;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  uint32_t* bits_ = nullptr;
};

// The font as GDI is asked for it directly, not through the surface's cache.
HFONT ReferenceFont(const TSurfaceFont& font, HDC dc) {
  LOGFONTA description{};
  description.lfHeight = -::MulDiv(font.Size, ::GetDeviceCaps(dc, LOGPIXELSY), 72);
  description.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
  description.lfItalic = font.Italic;
  description.lfUnderline = font.Underline;
  description.lfStrikeOut = font.StrikeOut;
  description.lfEscapement = font.Escapement;
  description.lfOrientation = font.Escapement;
  description.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(description.lfFaceName, font.Name.c_str(), LF_FACESIZE);
  return ::CreateFontIndirectA(&description);
}

TSurfaceFont MakeFont(const char* name, int size, bool bold, bool italic, bool underline, bool strike,
                      TColor color = clBlack, int escapement = 0) {
  TSurfaceFont font;
  font.Name = name;
  font.Size = size;
  font.Bold = bold;
  font.Italic = italic;
  font.Underline = underline;
  font.StrikeOut = strike;
  font.Color = color;
  font.Escapement = escapement;
  return font;
}

struct TextCase {
  const char* label;
  TSurfaceFont font;
  const char* utf8;
};

}  // namespace

TEST(GdiSurface, TextDrawsAsGdiDrawTextDoes) {
  const TextCase cases[] = {
      {"plain", MakeFont("Tahoma", 9, false, false, false, false), "Rechnung Nr. 4711"},
      {"bold", MakeFont("Tahoma", 9, true, false, false, false), "Lieferschein [pdf]"},
      {"italic", MakeFont("Tahoma", 10, false, true, false, false), "Gutschrift f\xc3\xbcr M\xc3\xbcller"},
      {"underline", MakeFont("Tahoma", 9, false, false, true, false, RGB(0, 0, 255)), "Eigenschaften"},
      {"strike", MakeFont("Tahoma", 12, false, false, false, true, RGB(255, 0, 0)),
       "Gr\xc3\xb6\xc3\x9f"
       "e 10\xe2\x82\xac"},
      {"other face", MakeFont("Courier New", 11, true, true, false, false), "Bestellung"},
  };
  for (const TextCase& test : cases) {
    SCOPED_TRACE(test.label);
    const std::string text = platform::Utf8ToAnsi(test.utf8);
    Canvas drawn;
    {
      GdiSurface surface(drawn.Dc());
      surface.SetFont(test.font);
      surface.SetBackgroundMode(TBackgroundMode::Transparent);
      surface.DrawTextAt(3, 4, text, nullptr);
    }
    Canvas reference;
    HFONT font = ReferenceFont(test.font, reference.Dc());
    HGDIOBJ old = ::SelectObject(reference.Dc(), font);
    ::SetBkMode(reference.Dc(), TRANSPARENT);
    ::SetTextColor(reference.Dc(), test.font.Color);
    RECT box{3, 4, kWidth, kHeight};
    ::DrawTextA(reference.Dc(), text.c_str(), static_cast<int>(text.size()), &box, DT_SINGLELINE | DT_NOPREFIX);
    ::SelectObject(reference.Dc(), old);
    ::DeleteObject(font);
    EXPECT_GT(drawn.InkedPixels(), 20);
    EXPECT_TRUE(drawn.Pixels() == reference.Pixels())
        << drawn.InkBox() << " drawn, " << reference.InkBox() << " by GDI";
  }
}

TEST(GdiSurface, OpaqueClippedAndTurnedTextAsTextOut) {
  const std::string text = platform::Utf8ToAnsi("Auftragsbestätigung");
  const TSurfaceFont font = MakeFont("Tahoma", 9, false, false, false, false, RGB(0, 0, 128));
  const TRect clip{10, 5, 70, 30};
  Canvas drawn;
  {
    GdiSurface surface(drawn.Dc());
    surface.SetFont(font);
    surface.SetBackgroundMode(TBackgroundMode::Opaque);
    surface.SetBackgroundColor(RGB(255, 255, 0));
    surface.DrawTextAt(4, 6, text, &clip);
    TSurfaceFont turned = font;
    turned.Escapement = 900;
    surface.SetFont(turned);
    surface.SetBackgroundMode(TBackgroundMode::Transparent);
    surface.DrawTextAt(200, 44, "Typ", nullptr);
  }
  Canvas reference;
  HFONT plain = ReferenceFont(font, reference.Dc());
  TSurfaceFont turnedFont = font;
  turnedFont.Escapement = 900;
  HFONT turned = ReferenceFont(turnedFont, reference.Dc());
  HGDIOBJ old = ::SelectObject(reference.Dc(), plain);
  ::SetTextColor(reference.Dc(), font.Color);
  ::SetBkMode(reference.Dc(), OPAQUE);
  ::SetBkColor(reference.Dc(), RGB(255, 255, 0));
  const RECT box{clip.Left, clip.Top, clip.Right, clip.Bottom};
  ::ExtTextOutA(reference.Dc(), 4, 6, ETO_CLIPPED, &box, text.c_str(), static_cast<UINT>(text.size()), nullptr);
  ::SelectObject(reference.Dc(), turned);
  ::SetBkMode(reference.Dc(), TRANSPARENT);
  ::TextOutA(reference.Dc(), 200, 44, "Typ", 3);
  ::SelectObject(reference.Dc(), old);
  ::DeleteObject(plain);
  ::DeleteObject(turned);
  EXPECT_TRUE(drawn.Pixels() == reference.Pixels());
}

TEST(GdiSurface, MeasuresAsGdi) {
  Canvas canvas;
  GdiSurface surface(canvas.Dc());
  const TSurfaceFont font = MakeFont("Tahoma", 9, true, false, false, false);
  surface.SetFont(font);
  HFONT reference = ReferenceFont(font, canvas.Dc());
  HDC measure = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(measure, reference);
  TEXTMETRICA metrics{};
  ::GetTextMetricsA(measure, &metrics);
  for (const char* text : {"W", "Rechnungsausgang", "i i i", "[print] Etiketten & Aufkleber"}) {
    SCOPED_TRACE(text);
    SIZE size{};
    ::GetTextExtentPoint32A(measure, text, static_cast<int>(strlen(text)), &size);
    EXPECT_EQ(surface.TextExtent(text), (TSize{size.cx, metrics.tmHeight}));
    const int half = static_cast<int>(size.cx) / 2;
    INT fit = 0;
    ::GetTextExtentExPointA(measure, text, static_cast<int>(strlen(text)), half, &fit, nullptr, &size);
    EXPECT_EQ(surface.FitCharCount(text, half), fit) << "half the width";
  }
  EXPECT_EQ(surface.TextExtent("").cy, metrics.tmHeight);
  EXPECT_EQ(surface.AverageCharWidth(), metrics.tmAveCharWidth);
  ::SelectObject(measure, old);
  ::DeleteDC(measure);
  ::DeleteObject(reference);
}

// A list row as the entry list draws it: bold markup and plain text in one
// line at the top of the row (the line is as high as its text), 5 pixels in.
TEST(GdiSurface, RowMarkupDrawsAsTwoGdiRuns) {
  const TRect row{5, 0, kWidth, 21};
  Canvas drawn;
  {
    GdiSurface surface(drawn.Dc());
    surface.SetFont(MakeFont("Tahoma", 9, false, false, false, false));
    surface.SetBackgroundColor(clWhite);
    DrawHtmlItem(surface, true, "<b>Rechnung</b> als PDF", false, row);
  }
  Canvas reference;
  HFONT normal = ReferenceFont(MakeFont("Tahoma", 9, false, false, false, false), reference.Dc());
  HFONT bold = ReferenceFont(MakeFont("Tahoma", 9, true, false, false, false), reference.Dc());
  HGDIOBJ old = ::SelectObject(reference.Dc(), bold);
  ::SetBkMode(reference.Dc(), TRANSPARENT);
  const int top = row.Top;
  SIZE boldWidth{};
  ::GetTextExtentPoint32A(reference.Dc(), "Rechnung", 8, &boldWidth);
  ::TextOutA(reference.Dc(), row.Left, top, "Rechnung", 8);
  ::SelectObject(reference.Dc(), normal);
  ::TextOutA(reference.Dc(), row.Left + boldWidth.cx, top, " als PDF", 8);
  ::SelectObject(reference.Dc(), old);
  ::DeleteObject(normal);
  ::DeleteObject(bold);
  EXPECT_GT(drawn.InkedPixels(), 50);
  EXPECT_TRUE(drawn.Pixels() == reference.Pixels()) << drawn.InkBox() << " drawn, " << reference.InkBox() << " by GDI";
}

TEST(GdiSurface, LinesAndFillsAsGdi) {
  Canvas drawn;
  {
    GdiSurface surface(drawn.Dc());
    surface.FillRect({2, 2, 40, 20}, RGB(128, 128, 192));
    surface.SetPenColor(RGB(255, 0, 0));
    surface.SetPenWidth(2);
    surface.DrawLine(50, 10, 150, 10);
    surface.FillRect({60, 30, 90, 40}, clNone);  // no colour: nothing
  }
  Canvas reference;
  HBRUSH brush = ::CreateSolidBrush(RGB(128, 128, 192));
  const RECT box{2, 2, 40, 20};
  ::FillRect(reference.Dc(), &box, brush);
  ::DeleteObject(brush);
  HPEN pen = ::CreatePen(PS_SOLID, 2, RGB(255, 0, 0));
  HGDIOBJ old = ::SelectObject(reference.Dc(), pen);
  ::MoveToEx(reference.Dc(), 50, 10, nullptr);
  ::LineTo(reference.Dc(), 150, 10);
  ::SelectObject(reference.Dc(), old);
  ::DeleteObject(pen);
  EXPECT_TRUE(drawn.Pixels() == reference.Pixels());
}
