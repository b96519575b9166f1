// Pixel tests of list rows drawn through the QPainter surface: markup colours
// and the selected row, the grey of disabled items, the ellipsis of a long row,
// system icons at the display's scaling, and font fallback.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <vector>

#include "gui/qt/painter_surface.h"
#include "gui/qt/surface_fonts.h"
#include "gui/qt/system_colors.h"
#include "htmldraw/html_item.h"

namespace wb::gui {
namespace {

constexpr int kRowWidth = 377;
constexpr int kRowHeight = 21;
const QColor kWhite(255, 255, 255);
const QColor kHighlight(0x30, 0x60, 0xC0);

struct Row {
  int width = kRowWidth;
  int dpi = 96;
  bool enabled = true;
  bool selected = false;
  int left = 5;
};

TSurfaceFont RowFont(bool selected) {
  TSurfaceFont font;
  font.Name = "Tahoma";
  font.Size = 9;
  font.Bold = true;
  font.Color = selected ? FromQColor(kWhite) : clBlack;
  return font;
}

QImage BlankRow(const Row& row) {
  QImage image(row.width, kRowHeight, QImage::Format_RGB32);
  const int dotsPerMeter = qRound(row.dpi / 0.0254);
  image.setDotsPerMeterX(dotsPerMeter);
  image.setDotsPerMeterY(dotsPerMeter);
  image.fill(row.selected ? kHighlight : kWhite);
  return image;
}

// A list row as the main window draws it.
QImage DrawRow(const std::string& text, const Row& row = {}) {
  QImage image = BlankRow(row);
  QPainter painter(&image);
  PainterSurface surface(painter);
  surface.SetFont(RowFont(row.selected));
  surface.SetBackgroundColor(FromQColor(row.selected ? kHighlight : kWhite));
  DrawHtmlItem(surface, row.enabled, text, row.selected, {row.left, 0, row.width, kRowHeight});
  return image;
}

int CountPixels(const QImage& image, const std::function<bool(QColor)>& test) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) count += test(image.pixelColor(x, y)) ? 1 : 0;
  }
  return count;
}

bool IsRed(QColor c) { return c.red() > 180 && c.green() < 80 && c.blue() < 80; }

// The rightmost column holding anything but the background, -1 when none.
int LastInkColumn(const QImage& image, QColor background) {
  for (int x = image.width() - 1; x >= 0; --x) {
    for (int y = 0; y < image.height(); ++y) {
      if (image.pixelColor(x, y) != background) return x;
    }
  }
  return -1;
}

// Whether the columns 0 to last (inclusive) are alike in both pictures.
bool SameColumnsUpTo(const QImage& a, const QImage& b, int last) {
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x <= last; ++x) {
      if (a.pixel(x, y) != b.pixel(x, y)) return false;
    }
  }
  return true;
}

TEST(PainterSurfaceRows, MarkupRedShowsUnlessTheRowIsSelected) {
  for (const char* markup :
       {"<FONT color=\"clRed\">Mahnung</FONT> Stufe 2", "<FONT COLOR=\"#FF0000\">Mahnung</FONT> Stufe 2"}) {
    EXPECT_GT(CountPixels(DrawRow(markup), IsRed), 20) << markup;
    Row selected;
    selected.selected = true;
    EXPECT_EQ(CountPixels(DrawRow(markup, selected), IsRed), 0) << markup;
    EXPECT_GT(CountPixels(DrawRow(markup, selected), [](QColor c) { return c == kWhite; }), 20)
        << "selected text in the highlight text colour";
  }
}

TEST(PainterSurfaceRows, DisabledItemIsGrey) {
  Row disabled;
  disabled.enabled = false;
  const QImage image = DrawRow("Lieferschein Mehrfachausgabe", disabled);
  int darkest = 255;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      darkest = std::min({darkest, c.red(), c.green(), c.blue()});
      ASSERT_GE(c.red(), 0x80);
      ASSERT_GE(c.green(), 0x80);
      ASSERT_GE(c.blue(), 0x80);
    }
  }
  EXPECT_EQ(darkest, 0x80) << "fully covered pixels are exactly 0x808080";
  EXPECT_GT(CountPixels(image, [](QColor c) { return c == QColor(0x80, 0x80, 0x80); }), 10);
}

// The runs of columns holding ink, left to right, each with the height of its ink.
struct InkRun {
  int first, last, top, bottom;
};
std::vector<InkRun> InkRuns(const QImage& image, QColor background) {
  std::vector<InkRun> runs;
  bool inRun = false;
  for (int x = 0; x < image.width(); ++x) {
    int top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
      if (image.pixelColor(x, y) != background) top = std::min(top, y), bottom = std::max(bottom, y);
    }
    if (bottom < 0) {
      inRun = false;
      continue;
    }
    if (!inRun) runs.push_back({x, x, top, bottom});
    InkRun& run = runs.back();
    run.last = x;
    run.top = std::min(run.top, top);
    run.bottom = std::max(run.bottom, bottom);
    inRun = true;
  }
  return runs;
}

// A row too long for its width keeps its start as drawn and ends in three
// dots inside the row: three small marks on the baseline after the last "x".
TEST(PainterSurfaceRows, TooLongRowEndsInAnEllipsis) {
  Row narrow;
  narrow.width = 150;
  const QImage drawn = DrawRow(std::string(120, 'x'), narrow);
  const std::vector<InkRun> runs = InkRuns(drawn, kWhite);
  // The letters run together, and so do the three dots at this size.
  ASSERT_GE(runs.size(), 2u);
  EXPECT_LT(runs.back().last, narrow.width);
  const InkRun& letters = runs[runs.size() - 2];
  const InkRun& dots = runs.back();
  const int letterHeight = letters.bottom - letters.top + 1;
  EXPECT_LE(dots.bottom - dots.top + 1, letterHeight / 2) << "dots, not letters";
  EXPECT_NEAR(dots.bottom, letters.bottom, 1) << "the dots sit on the baseline";
  EXPECT_GE(dots.last - dots.first + 1, 5) << "three dots";
  EXPECT_LE(dots.last - dots.first + 1, 16) << "three dots";

  // Before the ellipsis the row is the text as it stands: the same pixels as
  // a row of five letters, but for the edge the sixth letter may touch.
  const QImage start = DrawRow("xxxxx", narrow);
  const int startEnd = LastInkColumn(start, kWhite);
  ASSERT_GT(startEnd, narrow.left);
  EXPECT_TRUE(SameColumnsUpTo(drawn, start, startEnd - 2));
}

// The first column from x on that holds anything but white.
int FirstInkColumn(const QImage& image, int from) {
  for (int x = from; x < image.width(); ++x) {
    for (int y = 0; y < image.height(); ++y) {
      if (image.pixelColor(x, y) != kWhite) return x;
    }
  }
  return -1;
}

TEST(PainterSurfaceRows, SystemIconAdvancesByItsScaledWidth) {
  for (const auto& [dpi, width] : {std::pair{96, 16}, std::pair{120, 20}, std::pair{144, 24}}) {
    Row withIcon;
    withIcon.dpi = dpi;
    const QImage icon = DrawRow("<IMG src=\"SSYS:.pdf\">Rechnung", withIcon);
    Row shifted = withIcon;
    shifted.left += width;
    const QImage text = DrawRow("Rechnung", shifted);
    // The icon makes the line taller, so compare where the text starts.
    EXPECT_EQ(FirstInkColumn(icon, withIcon.left + width), FirstInkColumn(text, 0)) << dpi << " dpi";
    const QImage iconOnly = icon.copy(withIcon.left, 0, width, kRowHeight);
    EXPECT_GT(CountPixels(iconOnly, [](QColor c) { return c != kWhite; }), 10) << dpi << " dpi";
  }
}

TEST(PainterSurfaceFonts, MissingFamiliesFallBack) {
  const FontFamilyChoice tahoma = ResolveFontFamily("Tahoma");
  EXPECT_TRUE(QFontDatabase::hasFamily(tahoma.family)) << tahoma.family.toStdString();
  EXPECT_FALSE(tahoma.symbolEncoding);
  const FontFamilyChoice symbol = ResolveFontFamily("Symbol");
  EXPECT_TRUE(QFontDatabase::hasFamily(symbol.family));
  EXPECT_TRUE(symbol.symbolEncoding);
  EXPECT_EQ(SymbolCharTable()[0xB7], QChar(0x2022)) << "the list bullet";
  EXPECT_EQ(AnsiCharTable()[0x80], QChar(0x20AC)) << "the euro sign";
}

TEST(PainterSurfaceFonts, MeasuredWidthMatchesTheDrawnText) {
  QImage image(400, 40, QImage::Format_RGB32);
  QPainter painter(&image);
  PainterSurface surface(painter);
  for (const bool bold : {false, true}) {
    TSurfaceFont font = RowFont(false);
    font.Bold = bold;
    surface.SetFont(font);
    const std::string text = "Auftragsbest\xE4tigung f\xFCr Kunde 4711";
    const QFontMetricsF metrics(surface.CurrentQFont(), &image);
    const double expected = metrics.horizontalAdvance(QString::fromLatin1(text.c_str()));
    EXPECT_NEAR(surface.TextExtent(text).cx, expected, 1.0);
  }
}

// A line is as high as the font, whatever it holds, and the ink of letters
// that reach up and down lies inside it.
TEST(PainterSurfaceFonts, LineHeightHoldsAccentsAndDescenders) {
  for (const bool bold : {false, true}) {
    QImage line(300, 60, QImage::Format_RGB32);
    line.fill(kWhite);
    const std::string text = "\xC4\xD6\xDC gjpqy |";
    int height = 0;
    {
      QPainter painter(&line);
      PainterSurface surface(painter);
      TSurfaceFont font = RowFont(false);
      font.Bold = bold;
      surface.SetFont(font);
      height = surface.TextExtent(text).cy;
      EXPECT_EQ(surface.TextExtent("x").cy, height) << bold;
      EXPECT_EQ(surface.TextExtent("").cy, height) << bold;
      surface.DrawTextAt(0, 0, text, nullptr);
    }
    int top = line.height(), bottom = -1;
    for (int y = 0; y < line.height(); ++y) {
      for (int x = 0; x < line.width(); ++x) {
        if (line.pixelColor(x, y) != kWhite) top = std::min(top, y), bottom = std::max(bottom, y);
      }
    }
    ASSERT_GE(bottom, 0) << bold;
    EXPECT_LT(bottom, height) << "descenders inside the line, bold " << bold;
    EXPECT_GE(bottom, height - 4) << "descenders reach down, bold " << bold;
    EXPECT_LE(top, 4) << "umlauts reach up, bold " << bold;
  }
}

// Runs go out as glyph runs placed from the advance tables; they must look
// exactly like Qt's own text drawing of the same string, at any resolution.
// A translated painter is what every child widget paints with.
TEST(PainterSurfaceFonts, GlyphRunsLookLikeQtText) {
  struct Case {
    int dpi;
    bool underline;
    bool strikeOut;
    QPoint translation;
  };
  const Case cases[] = {
      {96, false, false, {}},     {96, true, false, {}},      {120, false, false, {}},   {120, true, false, {}},
      {96, true, false, {19, 6}}, {96, false, true, {19, 6}}, {120, true, true, {3, 1}},
  };
  for (const Case& c : cases) {
    const int dpi = c.dpi;
    const bool underline = c.underline;
    {
      Row row;
      row.dpi = dpi;
      TSurfaceFont font = RowFont(false);
      font.Underline = underline;
      font.StrikeOut = c.strikeOut;
      const std::string text = "Auftragsbest\xE4tigung f\xFCr Kunde 4711 \x80";
      QImage ours = BlankRow(row);
      QImage qts = BlankRow(row);
      RealizedFont scratch;
      ASSERT_TRUE(SurfaceFontCache::Instance().Get(font, &ours, scratch).HasGlyphsFor(text)) << "glyph runs in use";
      QFont qfont;
      {
        QPainter painter(&ours);
        painter.translate(c.translation);
        PainterSurface surface(painter);
        surface.SetFont(font);
        surface.DrawTextAt(5, 0, text, nullptr);
        qfont = surface.CurrentQFont();
      }
      {
        QPainter painter(&qts);
        painter.translate(c.translation);
        painter.setFont(qfont);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(5, QFontMetrics(qfont, &qts).ascent()),
                         QString::fromLatin1(text.c_str()).replace(QChar(0x80), QChar(0x20AC)));
      }
      EXPECT_EQ(ours, qts) << dpi << " dpi, underline " << underline << ", strike-out " << c.strikeOut << ", moved by "
                           << c.translation.x() << "," << c.translation.y();
    }
  }
}

TEST(PainterSurfaceRows, ListBulletIsDrawn) {
  const QImage image = DrawRow("<UL><LI>Eintrag</UL>");
  const QImage bulletArea = image.copy(5, 0, 12, kRowHeight);
  EXPECT_GT(CountPixels(bulletArea, [](QColor c) { return c.red() < 128; }), 2);
}

}  // namespace
}  // namespace wb::gui
