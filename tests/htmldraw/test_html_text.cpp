// The text-level helpers of the markup: colour names and hexadecimal
// colours, entities of the whole text and of runs, tag attributes, ellipsis.
#include <gtest/gtest.h>

#include <random>

#include "htmldraw/colors.h"
#include "htmldraw/html_render.h"
#include "htmldraw/html_tag_attributes.h"
#include "htmldraw/html_text_prep.h"
#include "htmldraw/text_ellipsis.h"
#include "recording_surface.h"

namespace wb {
namespace {

TEST(HtmlColors, ByName) {
  struct Case {
    const char* name;
    TColor color;
  } const cases[] = {
      {"clRed", 0x000000FF},
      {"CLRED", 0x000000FF},
      {"clred", 0x000000FF},
      {"clNavy", 0x00800000},
      {"clTeal", 0x00808000},
      {"clSilver", 0x00C0C0C0},
      {"clWindowText", 0x80000008},
      {"clHighlight", 0x8000000D},
      {"clInfoBk", 0x80000018},
      {"clInactiveCaptionText", 0x80000013},
      {"red", 0},
      {"", 0},
      {"clRed ", 0},
      {"clInactiveCaptionTextX", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(HtmlColorByName(c.name), c.color) << c.name;
}

TEST(HtmlColors, Hexadecimal) {
  struct Case {
    const char* text;
    TColor color;
  } const cases[] = {
      {"#808080", 0x00808080},
      {"#FF0000", 0x000000FF},
      {"#00FF00", 0x0000FF00},
      {"#0000FF", 0x00FF0000},
      {"#12", 0x00000012},
      {"#1", 0},
      {"", 0},
      {"#GG00FF", 0x00FF0000},
      {"#ff8000", 0x000080FF},
      {"#1234567", 0x00563412},
  };
  for (const auto& c : cases) EXPECT_EQ(HtmlHexColor(c.text), c.color) << c.text;
}

TEST(HtmlEntities, WholeTextCases) {
  struct Case {
    const char* text;
    const char* result;
  } const cases[] = {
      {"a &amp; b", "a & b"},     {"&AMP;", "&"},
      {"&Quot;x&quot;", "\"x\""}, {"&sect;&permil;&reg;&copy;&para;&trade;&euro;", "\xA7\x89\xAE\xA9\xB6\x99\x80"},
      {"&amp;amp;amp;", "&"},     {"&amp;quot;", "\""},
      {"&am&amp;p;", "&am&p;"},   {"&unknown; & ;", "&unknown; & ;"},
      {"&lt;", "&lt;"},           {"&&amp;amp;", "&&"},
  };
  for (const auto& c : cases) EXPECT_EQ(ReplaceWholeTextEntities(c.text), c.result) << c.text;
}

// The entities are replaced one first occurrence per sweep until a sweep finds
// none; the one-pass replacement must end in the same text.
std::string SweepUntilStable(std::string text) {
  static const std::pair<const char*, char> kEntities[] = {
      {"&amp;", '&'},     {"&quot;", '"'},    {"&sect;", '\xA7'},  {"&permil;", '\x89'}, {"&reg;", '\xAE'},
      {"&copy;", '\xA9'}, {"&para;", '\xB6'}, {"&trade;", '\x99'}, {"&euro;", '\x80'}};
  auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  for (bool replaced = true; replaced;) {
    replaced = false;
    for (const auto& [entity, character] : kEntities) {
      const std::size_t at = lower(text).find(entity);
      if (at == std::string::npos) continue;
      text.replace(at, std::string_view(entity).size(), 1, character);
      replaced = true;
    }
  }
  return text;
}

TEST(HtmlEntities, OnePassMatchesRepeatedSweeps) {
  std::mt19937 random(12345);
  const std::string alphabet = "&&&;;ampAMPquotQUOTeuroregx ";
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    const int length = static_cast<int>(random() % 24);
    for (int i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
    ASSERT_EQ(ReplaceWholeTextEntities(text), SweepUntilStable(text)) << text;
  }
}

TEST(HtmlEntities, RunEntitiesAreLowerCaseOnly) {
  struct Case {
    const char* run;
    const char* result;
  } const cases[] = {
      {"x&lt;y", "x<y"}, {"x&LT;y", "x&LT;y"}, {"&nbsp;&gt;", " >"}, {"&l&lt;t;", "&l<t;"}, {"&amp;", "&amp;"},
  };
  std::string out;
  for (const auto& c : cases) {
    ReplaceRunEntities(c.run, out);
    EXPECT_EQ(out, c.result) << c.run;
  }
}

TEST(HtmlEntities, BothStepsTogether) {
  test::RecordingSurface surface;
  struct Case {
    const char* markup;
    const char* shown;
  } const cases[] = {
      {"x&lt;y", "x<y"},
      {"x&LT;y", "x&LT;y"},
      {"&AMP;", "&"},
      {"&amp;lt;B&amp;gt;", "<B>"},
      {"a&nbsp;b", "a b"},
      {"&euro; 5", "\x80 5"},
      {"&quot;zitiert&quot;", "\"zitiert\""},
  };
  for (const auto& c : cases) {
    surface.ops.clear();
    RenderHtml(surface, c.markup, {0, 0, 500, 100}, THtmlRenderOptions{});
    EXPECT_EQ(surface.AllText(), c.shown) << c.markup;
  }
}

TEST(HtmlText, PreparationOfTheWholeText) {
  struct Case {
    const char* text;
    const char* prepared;
  } const cases[] = {
      {"a\r\nb", "a<BR>b"},      {"a\nb", "ab"}, {"a\rb\r", "a<BR>b<BR>"}, {"<#abc>def", "abcdef"},
      {"a<#b>c<#d>", "abc<#d>"}, {"<#x", "x"},
  };
  for (const auto& c : cases) EXPECT_EQ(PrepareMarkupText(c.text), c.prepared) << c.text;
}

TEST(HtmlText, TagAttributes) {
  EXPECT_EQ(TagAttribute("<FONT color=\"clRed\">", " COLOR"), "clRed");
  EXPECT_EQ(TagAttribute("<FONT bgcolor=\"clRed\">", " COLOR"), std::nullopt);
  EXPECT_EQ(TagAttribute("<FONT BGCOLOR=\"#FF0000\" color=\"clBlue\">", " COLOR"), "clBlue");
  EXPECT_EQ(TagAttribute("<FONT color=red face=\"Arial\">", " COLOR"), "Arial") << "first quotes after the name";
  EXPECT_EQ(TagAttribute("<FONT color=red>", " COLOR"), "");
  EXPECT_EQ(TagAttribute("<IMG src=\"SSYS:C:\\Daten\\Brief.DOC\">", "SRC"), "SSYS:C:\\Daten\\Brief.DOC");
  EXPECT_EQ(TagAttribute("<FONT color=\"clRed", " COLOR"), "");

  EXPECT_EQ(TagSizeAttribute("<FONT size=3>", "SIZE"), 3);
  EXPECT_EQ(TagSizeAttribute("<FONT size=\"12\">", "SIZE"), 12);
  EXPECT_EQ(TagSizeAttribute("<FONT SIZE =  7>", "SIZE"), 7);
  EXPECT_EQ(TagSizeAttribute("<FONT size>", "SIZE"), 0);
  EXPECT_EQ(TagSizeAttribute("<FONT>", "SIZE"), std::nullopt);

  EXPECT_EQ(LeadingNumber("  42px", false), 42);
  EXPECT_EQ(LeadingNumber("px", false), 0);
  EXPECT_EQ(LeadingNumber("-90", false), 0);
  EXPECT_EQ(LeadingNumber("-90", true), -90);
  EXPECT_EQ(LeadingNumber("99999999999999999999", false), 1000000) << "saturates";
}

TEST(HtmlText, EllipsisShortening) {
  test::RecordingSurface surface;  // 6 pixels a character
  EXPECT_EQ(EllipsizeEnd(surface, "Rechnungsausgang", 60), "Rechnun...");
  EXPECT_EQ(EllipsizeEnd(surface, "Rechnung", 10), "...") << "nothing fits";
  EXPECT_EQ(EllipsizePath(surface, "C:\\Daten\\Rechnung.pdf", 110), "C:...\\Rechnung.pdf");
  EXPECT_EQ(EllipsizePath(surface, "C:\\Daten\\Rechnung.pdf", 60), "...\\Rec...");
  EXPECT_EQ(EllipsizePath(surface, "ohne Pfad", 30), "oh...");
  // Tabs widen a line beyond its characters.
  EXPECT_LE(surface.TextLineWidth(EllipsizeEnd(surface, "a\tbcdefghijkl", 60)), 60);
}

}  // namespace
}  // namespace wb
