// The labels' linked texts on the recording surface (9 pt: characters 6 pixels
// wide, 7 in bold, lines 12 high): lines, wrapping, styles, link boxes and
// targets, and drawing from the layout.
#include <gtest/gtest.h>

#include "htmldraw/link_text.h"
#include "recording_surface.h"

namespace wb {
namespace {

using test::RecordingSurface;

class LinkText : public ::testing::Test {
 protected:
  LinkText() {
    TSurfaceFont font;
    font.Size = 9;
    font.Color = kTextColor;
    surface.SetFont(font);
  }
  // The lines' texts, one string per distinct line top.
  static std::vector<std::string> Lines(const TLinkTextLayout& layout) {
    std::vector<std::string> lines;
    int top = -1;
    for (const TLinkTextRun& run : layout.Runs) {
      const int runTop = run.Y + run.Height;  // runs of a line share their bottom
      if (lines.empty() || runTop != top) lines.emplace_back();
      top = runTop;
      lines.back() += run.Text;
    }
    return lines;
  }
  static constexpr TColor kTextColor = 0x00102030;
  RecordingSurface surface;
};

TEST_F(LinkText, TheWindowsLinkLabelHasTwoLinksWithAnEmptyLineBetween) {
  const TLinkTextLayout layout = LayoutLinkText(
      surface, "<A href=\"E\">Eigenschaften</A><br><br><A href=\"L\">Verkn\xFCpfung erstellen</A>", 140, true);
  EXPECT_EQ(Lines(layout), (std::vector<std::string>{"Eigenschaften", "Verkn\xFCpfung erstellen"}));
  EXPECT_EQ(layout.Height, 36);
  EXPECT_EQ(layout.Width, 21 * 6);
  ASSERT_EQ(layout.Anchors.size(), 2u);
  EXPECT_EQ(layout.Anchors[0].Boxes, (std::vector<TRect>{{0, 0, 78, 12}}));
  EXPECT_EQ(layout.Anchors[1].Boxes, (std::vector<TRect>{{0, 24, 126, 36}}));

  struct Probe {
    int x, y;
    std::string target;
  };
  const Probe probes[] = {
      {0, 0, "E"},  {77, 11, "E"},  {78, 5, ""},  // right of the first link
      {5, 12, ""},  {5, 23, ""},                  // the empty line
      {5, 24, "L"}, {125, 35, "L"}, {5, 36, ""},  // below the text
      {-1, 5, ""},
  };
  for (const Probe& probe : probes) {
    EXPECT_EQ(layout.TargetOf(layout.AnchorAt(probe.x, probe.y)), probe.target) << probe.x << "," << probe.y;
  }
}

TEST_F(LinkText, WrapsAtTheLastSpaceThatFits) {
  struct Case {
    const char* markup;
    int width;
    bool wrap;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"aaa bbb ccc", 42, true, {"aaa bbb", "ccc"}},     // "aaa bbb" is exactly 42 wide
      {"aaa bbb ccc", 41, true, {"aaa", "bbb", "ccc"}},  // spaces at a wrap are dropped
      {"aaa bbb ccc", 41, false, {"aaa bbb ccc"}},       // no wrapping asked for
      {"abcdefgh ab", 10, true, {"abcdefgh", "ab"}},     // a long word stays whole
      {"aaa  bbb", 100, true, {"aaa  bbb"}},             // spaces inside a line are kept
      {"a\xA0"
       "b c",
       18,
       true,
       {"a\xA0"
        "b",
        "c"}},  // no wrap at a non-breaking space
      {"a&nbsp;b c",
       18,
       true,
       {"a\xA0"
        "b",
        "c"}},
      {"x<br> y", 100, true, {"x", " y"}},  // after a break the spaces stay
      {"a\r\nb", 100, true, {"a", "b"}},    // CR breaks, LF is dropped
      {"&lt;b&gt; &amp; <FONT color=\"clRed\">rot</FONT>", 200, true, {"<b> & rot"}},
      {"ab<B", 100, true, {"ab"}},  // an unfinished tag ends the text
      {"", 100, true, {}},
  };
  for (const Case& c : cases) {
    const TLinkTextLayout layout = LayoutLinkText(surface, c.markup, c.width, c.wrap);
    EXPECT_EQ(Lines(layout), c.lines) << c.markup << " in " << c.width;
    EXPECT_EQ(layout.Height, 12 * static_cast<int>(std::max<std::size_t>(c.lines.size(), 1))) << c.markup;
  }
}

TEST_F(LinkText, StylesSplitRunsAndMeasureInTheirFont) {
  const TLinkTextLayout layout =
      LayoutLinkText(surface, "eine<B> Einzelausgabe</B>. <i>kursiv</i> <U>unter</U>", 400, true);
  ASSERT_EQ(layout.Runs.size(), 6u);
  EXPECT_EQ(layout.Runs[0].Text, "eine");
  EXPECT_EQ(layout.Runs[1].Text, " Einzelausgabe");
  EXPECT_TRUE(layout.Runs[1].Bold);
  EXPECT_EQ(layout.Runs[1].X, 24);
  EXPECT_EQ(layout.Runs[1].Width, 14 * 7);
  EXPECT_EQ(layout.Runs[2].Text, ". ");
  EXPECT_EQ(layout.Runs[2].X, 24 + 98);
  EXPECT_TRUE(layout.Runs[3].Italic);
  EXPECT_TRUE(layout.Runs[5].Underline);
  EXPECT_EQ(layout.Width, 24 + 98 + 12 + 36 + 6 + 30);
}

TEST_F(LinkText, ALinkWrappedOverTwoLinesHasABoxOnEach) {
  // "vor Ein komplettes" does not fit 98 pixels: the link wraps after "Ein".
  const TLinkTextLayout layout =
      LayoutLinkText(surface, "vor <A href=\"x\">Ein <B>komplettes PDF</B></A> nach", 98, true);
  EXPECT_EQ(Lines(layout), (std::vector<std::string>{"vor Ein", "komplettes PDF", "nach"}));
  ASSERT_EQ(layout.Anchors.size(), 1u);
  EXPECT_EQ(layout.Anchors[0].Target, "x");
  EXPECT_EQ(layout.Anchors[0].Boxes, (std::vector<TRect>{{24, 0, 42, 12}, {0, 12, 98, 24}}));
  EXPECT_EQ(layout.AnchorAt(30, 5), 1);
  EXPECT_EQ(layout.AnchorAt(10, 5), 0) << "\"vor\" is no link";
  EXPECT_EQ(layout.AnchorAt(5, 30), 0) << "\"nach\" is no link";
}

TEST_F(LinkText, TargetsComeFromHrefOrTheFirstQuotedValue) {
  const TLinkTextLayout layout =
      LayoutLinkText(surface, "<a HREF=\"klein\">1</a><A>2</A><A name=\"n\">3</A>", 100, true);
  ASSERT_EQ(layout.Anchors.size(), 3u);
  EXPECT_EQ(layout.TargetOf(1), "klein");
  EXPECT_EQ(layout.TargetOf(2), "");
  EXPECT_EQ(layout.TargetOf(3), "n");
  EXPECT_EQ(layout.TargetOf(0), "");
  EXPECT_EQ(layout.TargetOf(4), "");
  EXPECT_EQ(LinkTextAnchorCount("<a HREF=\"klein\">1</a><A>2</A><A name=\"n\">3</A>"), 3);
  EXPECT_EQ(LinkTextAnchorCount("kein <B>Link</B>, <ABBR>auch keiner</ABBR>"), 0);
  EXPECT_EQ(LinkTextPlain("<A href=\"E\">Eigen&amp;schaften</A><br><br>Ein <B>PDF</B>"), "Eigen&schaften\n\nEin PDF");
}

TEST_F(LinkText, DrawsLinksUnderlinedInTheLinkColourAndPutsTheFontBack) {
  const TSurfaceFont before = surface.Font();
  const TLinkTextLayout layout = LayoutLinkText(surface, "Text <A href=\"x\">Link <B>fett</B></A>", 300, true);
  surface.SetBackgroundMode(TBackgroundMode::Opaque);
  DrawLinkText(surface, layout, 10, 20, {kTextColor, clBlue});

  const auto texts = surface.Texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0].text, "Text ");
  EXPECT_EQ(texts[0].color, kTextColor);
  EXPECT_FALSE(texts[0].font.Underline);
  EXPECT_EQ(texts[1].text, "Link ");
  EXPECT_EQ(texts[1].x, 10 + 30);
  EXPECT_EQ(texts[1].y, 20);
  EXPECT_EQ(texts[1].color, surface.ColorToRGB(clBlue));
  EXPECT_TRUE(texts[1].font.Underline);
  EXPECT_TRUE(texts[2].font.Bold);
  EXPECT_TRUE(texts[2].font.Underline);
  for (const auto& text : texts) EXPECT_FALSE(text.opaque) << "text never paints its background";
  EXPECT_EQ(surface.Font(), before);
  EXPECT_EQ(surface.BackgroundMode(), TBackgroundMode::Opaque);
}

}  // namespace
}  // namespace wb
