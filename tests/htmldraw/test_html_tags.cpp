// The tag rows of the markup on the recording surface: styles, colours,
// anchors, paragraphs, rules, images, shadow, error underline and rotation.
#include <gtest/gtest.h>

#include <algorithm>

#include "htmldraw/html_item.h"
#include "htmldraw/html_render.h"
#include "recording_surface.h"

namespace wb {
namespace {

using test::RecordedOp;
using test::RecordingSurface;

constexpr TColor kBaseColor = 0x00123456;
constexpr TColor kRowBackground = 0x00F0E0D0;

class HtmlTags : public ::testing::Test {
 protected:
  HtmlTags() {
    TSurfaceFont font;
    font.Color = kBaseColor;
    surface.SetFont(font);
    surface.SetBackgroundColor(kRowBackground);
  }
  THtmlRenderResult Draw(std::string_view text, bool ignoreColors = false, TRect rect = {0, 0, 300, 100}) {
    THtmlRenderOptions options;
    options.IgnoreMarkupColors = ignoreColors;
    return RenderHtml(surface, text, rect, options);
  }
  // The text op that drew exactly text.
  RecordedOp Run(std::string_view text) const {
    for (const RecordedOp& op : surface.Texts()) {
      if (op.text == text) return op;
    }
    ADD_FAILURE() << "no run " << text;
    return {};
  }
  std::vector<RecordedOp> OpsOf(RecordedOp::Kind kind) const {
    std::vector<RecordedOp> found;
    std::copy_if(surface.ops.begin(), surface.ops.end(), std::back_inserter(found),
                 [kind](const RecordedOp& op) { return op.kind == kind; });
    return found;
  }
  RecordingSurface surface;
};

TEST_F(HtmlTags, CharacterStylesSwitchOnAndOff) {
  struct Case {
    const char* markup;
    bool TSurfaceFont::*style;
  } const cases[] = {
      {"<B>in</B>out", &TSurfaceFont::Bold},
      {"<b>in</b>out", &TSurfaceFont::Bold},
      {"<I>in</I>out", &TSurfaceFont::Italic},
      {"<I>in</IMG>out", &TSurfaceFont::Italic},
      {"<U>in</U>out", &TSurfaceFont::Underline},
      {"<U>in</UL>out", &TSurfaceFont::Underline},  // no list open: underline ends
      {"<S>in</S>out", &TSurfaceFont::StrikeOut},
      {"<S>in</STRIKE>out", &TSurfaceFont::StrikeOut},
  };
  for (const Case& c : cases) {
    surface.ops.clear();
    Draw(c.markup);
    EXPECT_TRUE(Run("in").font.*c.style) << c.markup;
    EXPECT_FALSE(Run("out").font.*c.style) << c.markup;
  }
}

TEST_F(HtmlTags, UnknownAndNearMissTagsHaveNoEffect) {
  for (const char* markup : {"<BIG>x", "<B >x", "<STRONG>x", "<SUBX>x", "<Q>x", "<>x", "< B>x", "<B cd>x"}) {
    surface.ops.clear();
    Draw(markup);
    ASSERT_EQ(surface.Texts().size(), 1u) << markup;
    const RecordedOp op = surface.Texts()[0];
    EXPECT_EQ(op.text, "x") << markup;
    EXPECT_EQ(op.font, surface.Font()) << markup;
  }
}

TEST_F(HtmlTags, TagWithoutClosingBracketSwallowsTheRest) {
  Draw("ab<B cd ef");
  EXPECT_EQ(surface.AllText(), "ab");
  surface.ops.clear();
  Draw("ab<#cd");
  EXPECT_EQ(surface.AllText(), "abcd") << "<# loses its two characters";
  surface.ops.clear();
  Draw("<#Werkbank>-Eintrag");
  EXPECT_EQ(surface.AllText(), "Werkbank-Eintrag");
}

TEST_F(HtmlTags, MarkupColoursUnlessTheRowIsSelected) {
  for (const char* markup : {"<FONT color=\"clRed\">rot</FONT>schwarz", "<FONT COLOR=\"#FF0000\">rot</FONT>schwarz"}) {
    surface.ops.clear();
    Draw(markup);
    EXPECT_EQ(Run("rot").color, clRed) << markup;
    EXPECT_EQ(Run("schwarz").color, kBaseColor) << markup;
    surface.ops.clear();
    DrawHtmlItem(surface, true, markup, true, {0, 0, 300, 21});
    EXPECT_EQ(Run("rot").color, kBaseColor) << markup;
  }
  // BGCOLOR is not taken for COLOR.
  surface.ops.clear();
  Draw("<FONT bgcolor=\"clYellow\">x</FONT>y");
  EXPECT_EQ(Run("x").color, kBaseColor);
  EXPECT_TRUE(Run("x").opaque);
  EXPECT_EQ(Run("x").background, 0x0000FFFFu);
  EXPECT_FALSE(Run("y").opaque);
}

TEST_F(HtmlTags, ColourResetsAndBlindText) {
  Draw("<FONT color=\"clRed\">a</BODY>b");
  EXPECT_EQ(Run("b").color, kBaseColor);
  surface.ops.clear();
  Draw("<BL>unsichtbar");
  EXPECT_EQ(Run("unsichtbar").color, kRowBackground);
}

TEST_F(HtmlTags, AnchorsAreUnderlinedInTheLinkColour) {
  Draw("<A href=\"x\">Link</A> Text");
  EXPECT_EQ(Run("Link").color, clBlue);
  EXPECT_TRUE(Run("Link").font.Underline);
  EXPECT_FALSE(Run("Link").opaque) << "no black ground behind links";
  EXPECT_EQ(Run(" Text").color, kBaseColor);
  EXPECT_FALSE(Run(" Text").font.Underline);

  surface.ops.clear();
  Draw("<A href=\"x\">Link</A>", true);
  EXPECT_EQ(Run("Link").color, kBaseColor);
  EXPECT_TRUE(Run("Link").font.Underline);
}

TEST_F(HtmlTags, HoveredAnchorTakesTheAnchorColours) {
  THtmlRenderOptions options;
  options.HoverAnchor = 2;
  options.AnchorBackColor = 0x00AAAAAA;
  options.IgnoreMarkupColors = true;
  options.AnchorTextColor = 0x00BBBBBB;
  const THtmlRenderResult result = RenderHtml(surface, "<A>eins</A><A>zwei</A>", {0, 0, 300, 100}, options);
  EXPECT_EQ(result.AnchorCount, 2);
  EXPECT_FALSE(Run("eins").opaque);
  EXPECT_TRUE(Run("zwei").opaque);
  EXPECT_EQ(Run("zwei").background, 0x00AAAAAAu);
  EXPECT_EQ(Run("zwei").color, 0x00BBBBBBu);
}

TEST_F(HtmlTags, HighlightUsesTheSystemColours) {
  Draw("<HI>x</HI>y</H1>z");
  EXPECT_EQ(Run("x").color, surface.SysColor(kColorHighlightText));
  EXPECT_TRUE(Run("x").opaque);
  EXPECT_EQ(Run("x").background, surface.SysColor(kColorHighlight));
  EXPECT_EQ(Run("y").color, kBaseColor);
  EXPECT_FALSE(Run("y").opaque);
  EXPECT_EQ(Run("z").color, kBaseColor) << "a closing tag with nothing saved changes nothing";
}

TEST_F(HtmlTags, ParagraphAndBodyBackgrounds) {
  Draw("<P bgcolor=\"#00FF00\">a<BR>b</P>c");
  const auto fills = OpsOf(RecordedOp::Fill);
  ASSERT_EQ(fills.size(), 2u) << "the band of both paragraph lines";
  EXPECT_EQ(fills[0].color, 0x0000FF00u);
  EXPECT_EQ(fills[0].y, 0);
  EXPECT_EQ(fills[0].y2, 12);
  EXPECT_EQ(fills[0].x2, 300);
  EXPECT_EQ(fills[1].y, 12);
  EXPECT_TRUE(Run("a").opaque);
  EXPECT_FALSE(Run("c").opaque);

  surface.ops.clear();
  Draw("<BODY bgcolor=\"clYellow\">x", false, {0, 0, 50, 40});
  const auto bodyFills = OpsOf(RecordedOp::Fill);
  ASSERT_EQ(bodyFills.size(), 1u);
  EXPECT_EQ(bodyFills[0].color, 0x0000FFFFu);
  EXPECT_EQ(bodyFills[0].x2, 50);
  EXPECT_EQ(bodyFills[0].y2, 40);
}

TEST_F(HtmlTags, HorizontalRuleEndsTheLine) {
  surface.SetPenColor(0x00445566);
  Draw("<HR>x");
  const auto lines = OpsOf(RecordedOp::Line);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].color, clBlack);
  EXPECT_EQ(lines[0].x, 0);
  EXPECT_EQ(lines[0].x2, 300);
  EXPECT_EQ(lines[0].y, 12);
  EXPECT_EQ(Run("x").y, 12);
  EXPECT_EQ(surface.PenColor(), 0x00445566u);
}

TEST_F(HtmlTags, ShadowIsDrawnFirstAndOffset) {
  Draw("<SH>s</SH>t");
  const auto texts = surface.Texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0].color, clBlack);
  EXPECT_EQ(texts[0].x, -1);
  EXPECT_EQ(texts[0].y, -1);
  EXPECT_EQ(texts[1].color, kBaseColor);
  EXPECT_EQ(texts[1].x, 0);
  EXPECT_EQ(texts[2].text, "t");
}

TEST_F(HtmlTags, ErrorUnderlineIsARedZigZag) {
  Draw("a<E>abc</E>b");
  const auto lines = OpsOf(RecordedOp::Line);
  ASSERT_EQ(lines.size(), 9u) << "18 pixels from x 6, 2 pixels a step";
  EXPECT_EQ(lines.front().x, 6);
  EXPECT_EQ(lines.back().x2, 24);
  for (const RecordedOp& line : lines) {
    EXPECT_EQ(line.color, clRed);
    EXPECT_EQ(line.x2 - line.x, 2);
    EXPECT_EQ(std::abs(line.y2 - line.y), 2);
    EXPECT_GE(std::min(line.y, line.y2), 12 - 3);
    EXPECT_LE(std::max(line.y, line.y2), 12 - 1);
  }
  // An odd start is rounded down to even x.
  surface.ops.clear();
  Draw("<IN x=\"7\"><E>x");
  EXPECT_EQ(OpsOf(RecordedOp::Line).front().x, 6);
}

TEST_F(HtmlTags, RotatedTextAndItsEnd) {
  Draw("<R a=\"90\">hoch</R>quer");
  EXPECT_EQ(Run("hoch").font.Escapement, 900);
  EXPECT_EQ(Run("quer").font.Escapement, 0);
}

TEST_F(HtmlTags, IndentMovesOnlyForward) {
  Draw("abc<IN x=\"50\">d");
  EXPECT_EQ(Run("d").x, 50);
  surface.ops.clear();
  Draw("abcdefghij<IN x=\"10\">d");
  EXPECT_EQ(Run("d").x, 60);
}

TEST_F(HtmlTags, SystemIconsAdvanceByTheirScaledWidth) {
  struct Case {
    const char* markup;
    int ppi;
    int width;
    int index;
  } const cases[] = {
      {"<IMG src=\"SSYS:.pdf\">x", 96, 16, 7},
      {"<IMG src=\"SSYS:.pdf\">x", 120, 20, 7},
      {"<IMG src=\"LSYS:C:\\Daten\\a.txt\">x", 96, 32, 1},
      {"<IMG src=\"SSYS:3\">x", 96, 16, 3},
      {"<IMG src=\"IDX:3\">x", 96, 0, -1},
      {"<IMG src=\"bild.png\">x", 96, 0, -1},
  };
  for (const Case& c : cases) {
    surface.ops.clear();
    surface.pixelsPerInch = c.ppi;
    const THtmlRenderResult result = Draw(c.markup);
    EXPECT_EQ(result.ImageCount, 1) << c.markup;
    EXPECT_EQ(Run("x").x, c.width) << c.markup;
    const auto icons = OpsOf(RecordedOp::Icon);
    if (c.index < 0) {
      EXPECT_TRUE(icons.empty()) << c.markup;
      continue;
    }
    ASSERT_EQ(icons.size(), 1u) << c.markup;
    EXPECT_EQ(icons[0].index, c.index) << c.markup;
    EXPECT_EQ(icons[0].size.cx, c.width) << c.markup;
    EXPECT_EQ(icons[0].x, 0);
    EXPECT_EQ(icons[0].y, 0);
  }
}

TEST_F(HtmlTags, ImagesRaiseTheLineAndPlaceTheText) {
  struct Case {
    const char* align;
    int textTop;
  } const cases[] = {{"", 20}, {" align=\"top\"", 0}, {" ALIGN=\"middle\"", 10}, {" align=\"bottom\"", 20}};
  for (const Case& c : cases) {
    surface.ops.clear();
    const std::string markup = std::string("<IMG src=\"LSYS:.pdf\"") + c.align + ">x";
    const THtmlRenderResult result = Draw(markup);
    EXPECT_EQ(result.Height, 32) << markup;
    EXPECT_EQ(Run("x").y, c.textTop) << markup;
  }
}

TEST_F(HtmlTags, ImageThatDoesNotFitStartsTheNextLine) {
  Draw("abcd<IMG src=\"SSYS:.pdf\">", false, {0, 0, 30, 100});
  auto icons = OpsOf(RecordedOp::Icon);
  ASSERT_EQ(icons.size(), 1u);
  EXPECT_EQ(icons[0].x, 0);
  EXPECT_EQ(icons[0].y, 12);

  // At the start of a line it stays, however narrow the area: no endless lines.
  surface.ops.clear();
  const THtmlRenderResult result = Draw("<IMG src=\"SSYS:.pdf\"><IMG src=\"SSYS:.pdf\">", false, {0, 0, 20, 100});
  EXPECT_EQ(OpsOf(RecordedOp::Icon).size(), 2u);
  EXPECT_EQ(result.Height, 32);
}

TEST_F(HtmlTags, SecondListItemStartsANewLineButNoEndlessLoop) {
  const THtmlRenderResult result = Draw("<LI><LI><LI>");
  EXPECT_EQ(result.Height, 36);
}

}  // namespace
}  // namespace wb
