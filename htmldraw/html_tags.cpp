// The markup's tags: which letters select which effect, and the effects.
// Tags are recognised by their first letters after "<" or "</", any case;
// rows are tested top to bottom and the first that matches applies.
#include <algorithm>
#include <array>

#include "htmldraw/html_render_state.h"
#include "htmldraw/html_tag_attributes.h"

namespace wb {
namespace {

using Handler = THtmlTagEffect (*)(THtmlRenderState&, THtmlLineContext&, std::string_view tag);

struct TagRow {
  std::string_view Letters;  // the whole tag when Exact, else the letters after "<" or "</"
  bool Exact;
  Handler Apply;
};

constexpr THtmlTagEffect kNone = THtmlTagEffect::None;
constexpr int kListIndent = 12;
constexpr int kLargestFontSize = 1000;

// FONT SIZE 1 to 5 are the markup's own steps; other numbers are points.
constexpr std::array<int, 6> kFontSizeSteps{0, 8, 10, 12, 14, 16};

TColor ParseMarkupColor(std::string_view value) {
  return !value.empty() && value.front() == '#' ? HtmlHexColor(value) : HtmlColorByName(value);
}

// --- character styles -----------------------------------------------------

THtmlTagEffect BoldOn(THtmlRenderState& s, THtmlLineContext&, std::string_view) {
  s.Markup.Font.Bold = true;
  return kNone;
}
THtmlTagEffect BoldOff(THtmlRenderState& s, THtmlLineContext&, std::string_view) {
  s.Markup.Font.Bold = false;
  return kNone;
}
THtmlTagEffect ItalicOn(THtmlRenderState& s, THtmlLineContext&, std::string_view) {
  s.Markup.Font.Italic = true;
  return kNone;
}
THtmlTagEffect ItalicOff(THtmlRenderState& s, THtmlLineContext&, std::string_view) {
  s.Markup.Font.Italic = false;
  return kNone;
}
THtmlTagEffect StrikeOn(THtmlRenderState& s, THtmlLineContext&, std::string_view) {
  s.Markup.Font.StrikeOut = true;
  return kNone;
}
THtmlTagEffect StrikeOff(THtmlRenderState& s, THtmlLineContext&, std::string_view) {
  s.Markup.Font.StrikeOut = false;
  return kNone;
}
THtmlTagEffect UnderlineOn(THtmlRenderState& s, THtmlLineContext&, std::string_view) {
  s.Markup.Font.Underline = true;
  return kNone;
}
THtmlTagEffect UnderlineOff(THtmlRenderState& s, THtmlLineContext&, std::string_view) {
  s.Markup.Font.Underline = false;
  return kNone;
}
THtmlTagEffect SubscriptOn(THtmlRenderState& s, THtmlLineContext&, std::string_view) {
  s.Markup.Subscript = true;
  return kNone;
}
THtmlTagEffect SuperscriptOn(THtmlRenderState& s, THtmlLineContext&, std::string_view) {
  s.Markup.Superscript = true;
  return kNone;
}
THtmlTagEffect ScriptsOff(THtmlRenderState& s, THtmlLineContext&, std::string_view) {
  s.Markup.Subscript = false;
  s.Markup.Superscript = false;
  return kNone;
}
THtmlTagEffect ShadowOn(THtmlRenderState& s, THtmlLineContext&, std::string_view) {
  s.Markup.Shadow = true;
  return kNone;
}
THtmlTagEffect ShadowOff(THtmlRenderState& s, THtmlLineContext&, std::string_view) {
  s.Markup.Shadow = false;
  return kNone;
}
THtmlTagEffect HiddenOn(THtmlRenderState& s, THtmlLineContext&, std::string_view) {
  s.Markup.Hidden = true;
  return kNone;
}
THtmlTagEffect HiddenOff(THtmlRenderState& s, THtmlLineContext&, std::string_view) {
  s.Markup.Hidden = false;
  return kNone;
}
THtmlTagEffect ErrorOn(THtmlRenderState& s, THtmlLineContext& line, std::string_view) {
  if (line.Drawing()) s.Draw.ErrorUnderline = true;
  return kNone;
}
THtmlTagEffect ErrorOff(THtmlRenderState& s, THtmlLineContext& line, std::string_view) {
  if (line.Drawing()) s.Draw.ErrorUnderline = false;
  return kNone;
}

// --- colours --------------------------------------------------------------

// Text in the colour of the initial background: it is there but does not show.
THtmlTagEffect Blind(THtmlRenderState& s, THtmlLineContext&, std::string_view) {
  s.Markup.Font.Color = s.InitialBackground;
  return kNone;
}
THtmlTagEffect BaseColor(THtmlRenderState& s, THtmlLineContext&, std::string_view) {
  s.Markup.Font.Color = s.BaseFont.Color;
  return kNone;
}
THtmlTagEffect Body(THtmlRenderState& s, THtmlLineContext& line, std::string_view tag) {
  if (!line.Drawing()) return kNone;
  const std::optional<std::string_view> value = TagAttribute(tag, "BGCOLOR");
  if (!value) return kNone;
  TColor color = clNone;
  if (ContainsIgnoringCase(*value, "CL")) {
    color = HtmlColorByName(*value);
  } else if (value->find('#') != std::string_view::npos) {
    color = HtmlHexColor(*value);
  } else {
    return kNone;
  }
  s.Draw.TextBack = color;
  s.Surface.FillRect(s.Area, color);
  return kNone;
}
THtmlTagEffect HighlightOn(THtmlRenderState& s, THtmlLineContext& line, std::string_view) {
  if (!line.Drawing()) return kNone;
  s.Draw.HighlightSaved = true;
  s.Draw.HighlightSavedColor = s.Markup.Font.Color;
  s.Draw.HighlightSavedBack = s.Draw.TextBack;
  s.Markup.Font.Color = SystemColor(kColorHighlightText);
  s.Draw.TextBack = SystemColor(kColorHighlight);
  return kNone;
}
THtmlTagEffect HighlightOff(THtmlRenderState& s, THtmlLineContext& line, std::string_view) {
  // Only what a highlight saved can be given back (</H1> closes nothing).
  if (!line.Drawing() || !s.Draw.HighlightSaved) return kNone;
  s.Draw.HighlightSaved = false;
  s.Markup.Font.Color = s.Draw.HighlightSavedColor;
  s.Draw.TextBack = s.Draw.HighlightSavedBack;
  return kNone;
}

// --- anchors --------------------------------------------------------------

THtmlTagEffect AnchorOpen(THtmlRenderState& s, THtmlLineContext& line, std::string_view) {
  THtmlMarkupState& m = s.Markup;
  ++m.AnchorCount;
  m.InAnchor = true;
  if (line.Drawing()) {
    m.Font.Underline = true;
    s.Draw.AnchorSavedBack = s.Draw.TextBack;
    s.Draw.AnchorSavedColor = m.Font.Color;
    // The anchor colours belong to the anchor under the mouse only: as
    // colours of every link they would put link text on a black ground.
    if (m.AnchorCount == s.Options.HoverAnchor) {
      s.Draw.TextBack = s.Options.AnchorBackColor;
      m.Font.Color = s.Options.AnchorTextColor;
    }
  }
  if (!s.MarkupColorsIgnored()) m.Font.Color = s.Options.LinkColor;
  return kNone;
}
THtmlTagEffect AnchorClose(THtmlRenderState& s, THtmlLineContext& line, std::string_view) {
  THtmlMarkupState& m = s.Markup;
  if (line.Drawing() && m.InAnchor) {
    m.Font.Underline = false;
    s.Draw.TextBack = s.Draw.AnchorSavedBack;
    m.Font.Color = s.Draw.AnchorSavedColor;
  }
  if (!s.MarkupColorsIgnored()) m.Font.Color = s.BaseFont.Color;
  m.InAnchor = false;
  return kNone;
}

// --- fonts ----------------------------------------------------------------

void ApplyFontSize(TSurfaceFont& font, int size) {
  if (size <= 0) return;  // no usable number: the size stays
  font.Size = size < static_cast<int>(kFontSizeSteps.size()) ? kFontSizeSteps[static_cast<std::size_t>(size)]
                                                             : std::min(size, kLargestFontSize);
}

THtmlTagEffect FontOpen(THtmlRenderState& s, THtmlLineContext& line, std::string_view tag) {
  TSurfaceFont& font = s.Markup.Font;
  if (const auto face = TagAttribute(tag, "FACE"); face && !face->empty()) font.Name = std::string(*face);
  const bool colors = !s.MarkupColorsIgnored();
  // With its leading space, so that BGCOLOR is not taken for COLOR.
  if (const auto color = TagAttribute(tag, " COLOR"); color && colors) font.Color = ParseMarkupColor(*color);
  if (const auto back = TagAttribute(tag, "BGCOLOR"); back && colors && line.Drawing()) {
    s.Draw.FontBackSaved = true;
    s.Draw.FontSavedBack = s.Draw.TextBack;
    s.Draw.TextBack = ParseMarkupColor(*back);
  }
  if (const auto size = TagSizeAttribute(tag, "SIZE")) ApplyFontSize(font, *size);
  return kNone;
}
THtmlTagEffect FontClose(THtmlRenderState& s, THtmlLineContext& line, std::string_view) {
  TSurfaceFont& font = s.Markup.Font;
  font.Name = s.BaseFont.Name;
  font.Size = s.BaseFont.Size;
  if (line.Drawing() && !s.MarkupColorsIgnored()) {
    font.Color = s.BaseFont.Color;
    if (s.Draw.FontBackSaved) {
      s.Draw.FontBackSaved = false;
      s.Draw.TextBack = s.Draw.FontSavedBack;
    }
  }
  return kNone;
}

THtmlTagEffect RotateOn(THtmlRenderState& s, THtmlLineContext&, std::string_view tag) {
  THtmlMarkupState& m = s.Markup;
  const int degrees = LeadingNumber(TagAttribute(tag, "a").value_or(std::string_view{}), true) % 360;
  m.FontBeforeRotation = m.Font;
  m.Rotated = true;
  m.Font.Escapement = degrees * 10;
  return kNone;
}
THtmlTagEffect RotateOff(THtmlRenderState& s, THtmlLineContext&, std::string_view) {
  THtmlMarkupState& m = s.Markup;
  if (m.Rotated) m.Font = m.FontBeforeRotation;
  m.Rotated = false;
  return kNone;
}

// --- lines, lists and paragraphs ------------------------------------------

THtmlTagEffect LineBreak(THtmlRenderState&, THtmlLineContext&, std::string_view) {
  return THtmlTagEffect::EndLineAfter;
}

THtmlTagEffect Rule(THtmlRenderState& s, THtmlLineContext& line, std::string_view) {
  if (line.Drawing()) {
    TDrawSurface& surface = s.Surface;
    const TColor oldColor = surface.PenColor();
    surface.SetPenColor(clBlack);
    const int y = line.Metrics->Bottom(line.Top);
    surface.DrawLine(line.StartX, y, line.Area.Right, y);
    surface.SetPenColor(oldColor);
  }
  return THtmlTagEffect::EndLineAfter;
}

THtmlTagEffect IndentTo(THtmlRenderState&, THtmlLineContext& line, std::string_view tag) {
  const std::optional<std::string_view> value = TagAttribute(tag, "x");
  if (!value) return kNone;
  const int x = LeadingNumber(*value, false);
  if (x > line.X - line.Area.Left) line.X = line.Area.Left + x;
  return kNone;
}

THtmlTagEffect ListOpen(THtmlRenderState& s, THtmlLineContext&, std::string_view) {
  ++s.Markup.ListLevel;
  return kNone;
}
THtmlTagEffect ListClose(THtmlRenderState& s, THtmlLineContext&, std::string_view) {
  if (s.Markup.ListLevel > 0) {
    --s.Markup.ListLevel;
  } else {
    s.Markup.Font.Underline = false;
  }
  return kNone;
}

void DrawBullet(THtmlRenderState& s, THtmlLineContext& line) {
  const TSurfaceFont textFont = s.Markup.Font;
  s.Markup.Font.Name = "Symbol";
  s.SyncFont();
  s.SyncBackground();
  // The Symbol font draws its bullet at byte 0xB7.
  const std::string_view bullet = s.Markup.ListLevel % 2 == 1 ? "\xB7" : "o";
  const TRect box{line.X - kListIndent, line.Top, line.X, RunBottom(s.Markup, *line.Metrics, line.Top)};
  s.Surface.DrawTextLine(bullet, box, TEllipsisMode::End);
  s.Markup.Font = textFont;
}

THtmlTagEffect ListItem(THtmlRenderState& s, THtmlLineContext& line, std::string_view) {
  if (line.ListItemPlaced) return THtmlTagEffect::EndLineBefore;
  line.ListItemPlaced = true;
  line.X += kListIndent * s.Markup.ListLevel;
  if (line.Drawing()) DrawBullet(s, line);
  return kNone;
}

THtmlTagEffect ParagraphOpen(THtmlRenderState& s, THtmlLineContext& line, std::string_view tag) {
  THtmlMarkupState& m = s.Markup;
  if (const auto align = TagAttribute(tag, "ALIGN")) {
    if (ContainsIgnoringCase(*align, "RIGHT")) m.Alignment = THtmlAlignment::Right;
    if (ContainsIgnoringCase(*align, "LEFT")) m.Alignment = THtmlAlignment::Left;
    if (ContainsIgnoringCase(*align, "CENTER")) m.Alignment = THtmlAlignment::Center;
  }
  if (const auto indent = TagAttribute(tag, "INDENT")) m.Indent = LeadingNumber(*indent, false);
  if (line.Drawing()) {
    const std::string_view value = TagAttribute(tag, "BGCOLOR").value_or(std::string_view{});
    const TColor color = value.empty() ? clNone : ParseMarkupColor(value);
    s.Draw.ParagraphBackSaved = true;
    s.Draw.ParagraphSavedBack = s.Draw.TextBack;
    s.Draw.TextBack = color;
    s.Draw.ParagraphBackActive = color != clNone;
    if (color != clNone) {
      s.Surface.FillRect({line.Area.Left, line.Top, line.Area.Right, line.Top + line.Metrics->Height}, color);
    }
  }
  return kNone;
}
THtmlTagEffect ParagraphClose(THtmlRenderState& s, THtmlLineContext& line, std::string_view) {
  if (line.Drawing()) {
    if (s.Draw.ParagraphBackSaved) s.Draw.TextBack = s.Draw.ParagraphSavedBack;
    s.Draw.ParagraphBackSaved = false;
    s.Draw.ParagraphBackActive = false;
  }
  return THtmlTagEffect::EndLineAfter;
}

// --- the tables -----------------------------------------------------------

// Exact tags first, then longer letter prefixes before the shorter ones they begin with.
constexpr std::array<TagRow, 22> kOpeningTags{{
    {"<B>", true, BoldOn},        {"<I>", true, ItalicOn},      {"<S>", true, StrikeOn},
    {"<U>", true, UnderlineOn},   {"<SUB>", true, SubscriptOn}, {"<SUP>", true, SuperscriptOn},
    {"BR", false, LineBreak},     {"BL", false, Blind},         {"BO", false, Body},
    {"A", false, AnchorOpen},     {"E", false, ErrorOn},        {"F", false, FontOpen},
    {"HI", false, HighlightOn},   {"HR", false, Rule},          {"IN", false, IndentTo},
    {"IM", false, ApplyImageTag}, {"L", false, ListItem},       {"P", false, ParagraphOpen},
    {"R", false, RotateOn},       {"SH", false, ShadowOn},      {"U", false, ListOpen},
    {"Z", false, HiddenOn},
}};

constexpr std::array<TagRow, 15> kClosingTags{{
    {"</B>", true, BoldOff},
    {"</U>", true, UnderlineOff},
    {"A", false, AnchorClose},
    {"B", false, BaseColor},
    {"E", false, ErrorOff},
    {"F", false, FontClose},
    {"H", false, HighlightOff},
    {"I", false, ItalicOff},
    {"P", false, ParagraphClose},
    {"R", false, RotateOff},
    {"SU", false, ScriptsOff},
    {"SH", false, ShadowOff},
    {"S", false, StrikeOff},
    {"U", false, ListClose},
    {"Z", false, HiddenOff},
}};

template <std::size_t N>
const TagRow* FindRow(const std::array<TagRow, N>& rows, std::string_view tag, std::string_view letters) {
  for (const TagRow& row : rows) {
    if (row.Exact ? TagEquals(tag, row.Letters) : TagNameStartsWith(letters, row.Letters)) return &row;
  }
  return nullptr;
}

}  // namespace

THtmlTagEffect ApplyHtmlTag(THtmlRenderState& state, THtmlLineContext& line, std::string_view tag) {
  const bool closing = tag.size() > 1 && tag[1] == '/';
  const std::string_view letters = tag.substr(closing ? 2 : 1);
  const TagRow* row = closing ? FindRow(kClosingTags, tag, letters) : FindRow(kOpeningTags, tag, letters);
  return row != nullptr ? row->Apply(state, line, tag) : kNone;
}

}  // namespace wb
