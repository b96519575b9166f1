// Layout of markup on the recording surface (9 pt base font: characters 6
// pixels wide, lines 12 pixels high): runs, lines, lists, sizes, alignment,
// the ampersand rule of list rows, overflow and the lines-that-fit rule.
#include <gtest/gtest.h>

#include "htmldraw/html_item.h"
#include "htmldraw/html_render.h"
#include "recording_surface.h"

namespace wb {
namespace {

using test::RecordedOp;
using test::RecordingSurface;

constexpr TColor kBaseColor = 0x00123456;

class HtmlLayout : public ::testing::Test {
 protected:
  HtmlLayout() {
    TSurfaceFont font;
    font.Name = "Tahoma";
    font.Size = 9;
    font.Color = kBaseColor;
    surface.SetFont(font);
    surface.SetBackgroundColor(0x00FFFFFF);
  }
  THtmlRenderResult Draw(std::string_view text, TRect rect = {0, 0, 300, 100}) {
    return RenderHtml(surface, text, rect, THtmlRenderOptions{});
  }
  TRect Measure(std::string_view text, int widthLimit = 0, bool enabled = true) {
    TRect rect{10, 20, 10, 20};
    MeasureHtmlItem(surface, surface.Font(), enabled, text, widthLimit, rect);
    return rect;
  }
  RecordingSurface surface;
};

TEST_F(HtmlLayout, PlainTextIsOneRunInTheSurfaceFont) {
  DrawHtmlItem(surface, true, "Rechnung an Kunde", false, {5, 0, 300, 21});
  const auto texts = surface.Texts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, "Rechnung an Kunde");
  EXPECT_EQ(texts[0].x, 5);
  EXPECT_EQ(texts[0].y, 0);
  EXPECT_EQ(texts[0].font, surface.Font());
  EXPECT_EQ(texts[0].color, kBaseColor);
  EXPECT_FALSE(texts[0].opaque);
}

TEST_F(HtmlLayout, CarriageReturnLineFeedMakesTwoLines) {
  const TRect size = Measure("Eins\r\nZwei!");
  EXPECT_EQ(size.Bottom - size.Top, 24);
  EXPECT_EQ(size.Right - size.Left, 30);

  Draw("Eins\r\nZwei!");
  const auto texts = surface.Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, "Eins");
  EXPECT_EQ(texts[0].y, 0);
  EXPECT_EQ(texts[1].text, "Zwei!");
  EXPECT_EQ(texts[1].y, 12);
  EXPECT_EQ(texts[1].x, 0);
}

TEST_F(HtmlLayout, ListItemsGetABulletAndIndentedText) {
  const THtmlRenderResult result = Draw("<UL><LI>Eins<LI>Zwei</UL>");
  const auto texts = surface.Texts();
  ASSERT_EQ(texts.size(), 4u);
  for (int line = 0; line < 2; ++line) {
    const RecordedOp& bullet = texts[static_cast<std::size_t>(2 * line)];
    const RecordedOp& text = texts[static_cast<std::size_t>(2 * line + 1)];
    EXPECT_EQ(bullet.text, "\xB7");
    EXPECT_EQ(bullet.font.Name, "Symbol");
    EXPECT_EQ(bullet.x, 0);
    EXPECT_EQ(text.x, 12) << "text 12 pixels right of its bullet";
    EXPECT_EQ(text.font.Name, "Tahoma");
    EXPECT_EQ(bullet.y, 12 * line);
    EXPECT_EQ(text.y, 12 * line);
  }
  EXPECT_EQ(texts[1].text, "Eins");
  EXPECT_EQ(texts[3].text, "Zwei");
  EXPECT_EQ(result.Height, 24);
}

TEST_F(HtmlLayout, NestedListsAlternateTheBullet) {
  Draw("<UL><UL><LI>x</UL></UL>");
  const auto texts = surface.Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, "o");
  EXPECT_EQ(texts[0].x, 12);
  EXPECT_EQ(texts[1].x, 24);
}

TEST_F(HtmlLayout, FontSizesAndTheReturnToTheBaseFont) {
  struct Case {
    const char* markup;
    int size;
  } const cases[] = {
      {"<FONT size=1>x", 8},    {"<FONT size=2>x", 10},  {"<FONT size=3>x", 12}, {"<FONT size=\"4\">x", 14},
      {"<FONT SIZE = 5>x", 16}, {"<FONT size=20>x", 20}, {"<FONT size=0>x", 9},  {"<FONT size=abc>x", 9},
  };
  for (const Case& c : cases) {
    surface.ops.clear();
    Draw(c.markup);
    ASSERT_EQ(surface.Texts().size(), 1u) << c.markup;
    EXPECT_EQ(surface.Texts()[0].font.Size, c.size) << c.markup;
  }

  surface.ops.clear();
  Draw("<FONT face=\"Arial\" size=4><FONT size=2>x</FONT>y</FONT>z");
  const auto texts = surface.Texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0].font.Name, "Arial");
  EXPECT_EQ(texts[0].font.Size, 10);
  for (std::size_t i = 1; i < 3; ++i) {
    EXPECT_EQ(texts[i].font.Name, "Tahoma");
    EXPECT_EQ(texts[i].font.Size, 9);
    EXPECT_EQ(texts[i].color, kBaseColor);
  }
}

TEST_F(HtmlLayout, RunsOfDifferentSizesShareTheLineBottom) {
  const THtmlRenderResult result = Draw("<FONT size=3>gross</FONT>klein");
  const auto texts = surface.Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(result.Height, 16);
  EXPECT_EQ(texts[0].y + 16, 16);
  EXPECT_EQ(texts[1].y + 12, 16);
  EXPECT_EQ(texts[1].x, 5 * 8);
}

TEST_F(HtmlLayout, AmpersandRuleOfListRows) {
  struct Case {
    const char* item;
    const char* drawn;
  } const cases[] = {
      {"&Datei", "Datei"},    // access key mark
      {"A & B", "A & B"},     // space after the ampersand
      {"A&B", "A&B"},         // only one character after it
      {"A&amp;B", "Aamp;B"},  // removed before entities are replaced
      {"x&&y&z", "xyz"},      // every ampersand goes
  };
  for (const Case& c : cases) {
    surface.ops.clear();
    DrawHtmlItem(surface, true, c.item, false, {0, 0, 300, 21});
    EXPECT_EQ(surface.AllText(), c.drawn) << c.item;
  }
  // Measuring keeps the ampersands: A&amp;B measures as "A&B".
  EXPECT_EQ(Measure("A&amp;B").Right - 10, 3 * 6);
}

TEST_F(HtmlLayout, EmptyTextMeasuresNothingWideAndOneLineHigh) {
  const TRect size = Measure("");
  EXPECT_EQ(size.Left, 10);
  EXPECT_EQ(size.Right, 10);
  EXPECT_EQ(size.Bottom, 20 + 12);
  EXPECT_TRUE(surface.ops.empty());
}

TEST_F(HtmlLayout, LoneAngleBracketsDrawNothing) {
  for (const char* text : {"<", "<a", "x<", "x<b"}) {
    surface.ops.clear();
    Draw(text);
    const std::string expected = text[0] == 'x' ? "x" : "";
    EXPECT_EQ(surface.AllText(), expected) << text;
  }
}

TEST_F(HtmlLayout, RightAndCentreAlignment) {
  Draw("<P align=\"right\">abc", {0, 0, 100, 50});
  ASSERT_EQ(surface.Texts().size(), 1u);
  EXPECT_EQ(surface.Texts()[0].x, 100 - 18);

  surface.ops.clear();
  Draw("<P ALIGN=\"center\">abc<BR>abcdef", {0, 0, 100, 50});
  const auto texts = surface.Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].x, (100 - 18) / 2);
  EXPECT_EQ(texts[1].x, (100 - 36) / 2) << "alignment holds for later lines";

  surface.ops.clear();
  Draw("<P align=\"right\">abcdefghijklmnop", {0, 0, 60, 50});
  EXPECT_EQ(surface.Texts()[0].x, 0) << "never left of the start";

  surface.ops.clear();
  Draw("<P indent=\"30\">abc", {0, 0, 100, 50});
  EXPECT_EQ(surface.Texts()[0].x, 30);
}

TEST_F(HtmlLayout, OverflowDropsTheRestWhenMeasuring) {
  const std::string text = "aaaa <B>bbbbbbbb</B><BR>weiter";
  const TRect wide = Measure(text, 2000);
  EXPECT_EQ(wide.Bottom - wide.Top, 24);
  // Limited to 60 pixels, the bold run reaches the edge after "aaaa ": the rest goes.
  const TRect narrow = Measure(text, 60);
  EXPECT_EQ(narrow.Bottom - narrow.Top, 12);
  EXPECT_EQ(narrow.Right - narrow.Left, 30 + 8 * 7);
  // A first run that overflows keeps the following lines.
  const TRect first = Measure("bbbbbbbbbbbbbb<BR>weiter", 60);
  EXPECT_EQ(first.Bottom - first.Top, 24);
}

TEST_F(HtmlLayout, TooLongRunsEndInAnEllipsis) {
  Draw("Rechnungsausgang", {0, 0, 60, 20});
  ASSERT_EQ(surface.Texts().size(), 1u);
  EXPECT_EQ(surface.Texts()[0].text, "Rechnun...");

  surface.ops.clear();
  Draw("C:\\Daten\\Rechnung.pdf", {0, 0, 110, 20});
  EXPECT_EQ(surface.Texts()[0].text, "C:...\\Rechnung.pdf");

  surface.ops.clear();
  Draw("abc", {0, 0, 6, 20});
  EXPECT_TRUE(surface.Texts().empty()) << "a box no wider than W draws nothing";
}

TEST_F(HtmlLayout, OnlyLinesThatFitAreDrawn) {
  DrawHtmlItem(surface, true, "a\r\nb\r\nc", false, {0, 0, 300, 21});
  EXPECT_EQ(surface.AllText(), "a");
  surface.ops.clear();
  DrawHtmlItem(surface, true, "a\r\nb\r\nc", false, {0, 0, 300, 24});
  EXPECT_EQ(surface.AllText(), "a|b");
  // Measuring is not limited by a bottom.
  EXPECT_EQ(Measure("a\r\nb\r\nc").Bottom - 20, 36);
}

TEST_F(HtmlLayout, SubscriptAndSuperscriptReserveRoom) {
  THtmlRenderResult result = Draw("x<SUB>2</SUB>");
  EXPECT_EQ(result.Height, 15);
  auto texts = surface.Texts();
  EXPECT_EQ(texts[0].y, 0);
  EXPECT_EQ(texts[1].y, 3);

  surface.ops.clear();
  result = Draw("x<SUP>2</SUP>");
  EXPECT_EQ(result.Height, 15);
  texts = surface.Texts();
  EXPECT_EQ(texts[0].y, 3);
  EXPECT_EQ(texts[1].y, 0);
}

TEST_F(HtmlLayout, DrawingPassStartsFromTheMeasuringPassState) {
  // The subscript opened later on the line must not lower the run before it.
  Draw("a<SUB>b<BR>c");
  const auto texts = surface.Texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0].y, 0);
  EXPECT_EQ(texts[1].y, 3);
}

TEST_F(HtmlLayout, HiddenRunsTakeNoRoomButCountForHeight) {
  const THtmlRenderResult result = Draw("a<Z><FONT size=20>versteckt</FONT></Z>b");
  EXPECT_EQ(surface.AllText(), "a|b");
  EXPECT_EQ(surface.Texts()[1].x, 6);
  EXPECT_EQ(result.Height, 26);
  EXPECT_EQ(result.Width, 12);
}

TEST_F(HtmlLayout, TabsAreExpandedEveryEightCharacters) {
  const TRect size = Measure("a\tb");
  EXPECT_EQ(size.Right - size.Left, 48 + 6);
  Draw("a\tb");
  const auto texts = surface.Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[1].x, 48);
}

TEST_F(HtmlLayout, TrailingSpaceDoesNotCountForTheWidth) {
  EXPECT_EQ(Measure("abc ").Right - 10, 18);
  Draw("<P align=\"right\">abc ", {0, 0, 100, 50});
  EXPECT_EQ(surface.Texts()[0].x, 100 - 18);
}

TEST_F(HtmlLayout, DisabledItemsAreGrey) {
  DrawHtmlItem(surface, false, "aus", false, {0, 0, 300, 21});
  ASSERT_EQ(surface.Texts().size(), 1u);
  EXPECT_EQ(surface.Texts()[0].color, 0x00808080u);
  surface.ops.clear();
  DrawHtmlItem(surface, true, "an", false, {0, 0, 300, 21});
  EXPECT_EQ(surface.Texts()[0].color, kBaseColor);
}

TEST_F(HtmlLayout, SurfaceStateIsRestored) {
  const TSurfaceFont font = surface.Font();
  surface.SetBackgroundColor(0x00ABCDEF);
  surface.SetBackgroundMode(TBackgroundMode::Opaque);
  Draw("<B><FONT face=\"Arial\" size=20 bgcolor=\"clRed\"><R a=\"90\">x<P bgcolor=\"#00FF00\">y");
  EXPECT_EQ(surface.Font(), font);
  EXPECT_EQ(surface.BackgroundColor(), 0x00ABCDEFu);
  EXPECT_EQ(surface.BackgroundMode(), TBackgroundMode::Transparent);
}

TEST_F(HtmlLayout, MeasureRestoresTheScratchFontAndDrawsNothing) {
  const TSurfaceFont before = surface.Font();
  TSurfaceFont big = before;
  big.Size = 12;
  TRect rect{0, 0, 0, 0};
  MeasureHtmlItem(surface, big, true, "<B>abc</B>", 0, rect);
  EXPECT_EQ(rect.Right, 3 * 9);
  EXPECT_EQ(rect.Bottom, 16);
  EXPECT_EQ(surface.Font(), before);
  EXPECT_TRUE(surface.ops.empty());
}

}  // namespace
}  // namespace wb
