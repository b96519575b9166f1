// The colour names and hexadecimal colours of the markup.
#include "htmldraw/colors.h"

#include <array>
#include <cstddef>

namespace wb {
namespace {

struct NamedColor {
  std::string_view Name;
  TColor Color;
};

// Names as the markup writes them, already lower case.
constexpr std::array<NamedColor, 40> kNamedColors{{
    {"clred", 0x000000FF},
    {"clblack", 0x00000000},
    {"clblue", 0x00FF0000},
    {"clgreen", 0x00008000},
    {"claqua", 0x00FFFF00},
    {"clyellow", 0x0000FFFF},
    {"clfuchsia", 0x00FF00FF},
    {"clwhite", 0x00FFFFFF},
    {"cllime", 0x0000FF00},
    {"clsilver", 0x00C0C0C0},
    {"clgray", 0x00808080},
    {"clolive", 0x00008080},
    {"clnavy", 0x00800000},
    {"clpurple", 0x00800080},
    {"clteal", 0x00808000},
    {"clmaroon", 0x00000080},
    {"clbackground", SystemColor(kColorBackground)},
    {"clactivecaption", SystemColor(kColorActiveCaption)},
    {"clinactivecaption", SystemColor(kColorInactiveCaption)},
    {"clmenu", SystemColor(kColorMenu)},
    {"clwindow", SystemColor(kColorWindow)},
    {"clwindowframe", SystemColor(kColorWindowFrame)},
    {"clmenutext", SystemColor(kColorMenuText)},
    {"clwindowtext", SystemColor(kColorWindowText)},
    {"clcaptiontext", SystemColor(kColorCaptionText)},
    {"clactiveborder", SystemColor(kColorActiveBorder)},
    {"clinactiveborder", SystemColor(kColorInactiveBorder)},
    {"clappworkspace", SystemColor(kColorAppWorkspace)},
    {"clhighlight", SystemColor(kColorHighlight)},
    {"clhighlighttext", SystemColor(kColorHighlightText)},
    {"clbtnface", SystemColor(kColorBtnFace)},
    {"clbtnshadow", SystemColor(kColorBtnShadow)},
    {"clgraytext", SystemColor(kColorGrayText)},
    {"clbtntext", SystemColor(kColorBtnText)},
    {"clinactivecaptiontext", SystemColor(kColorInactiveCaptionText)},
    {"clbtnhighlight", SystemColor(kColorBtnHighlight)},
    {"cl3ddkshadow", SystemColor(kColor3DDkShadow)},
    {"cl3dlight", SystemColor(kColor3DLight)},
    {"clinfotext", SystemColor(kColorInfoText)},
    {"clinfobk", SystemColor(kColorInfoBk)},
}};

constexpr std::size_t kLongestName = 21;  // "clinactivecaptiontext"

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The two-digit number at position pos (0-based), 0 when it is short or not hexadecimal.
int HexPair(std::string_view text, std::size_t pos) {
  if (text.size() < pos + 2) return 0;
  const int high = HexDigit(text[pos]);
  const int low = HexDigit(text[pos + 1]);
  if (high < 0 || low < 0) return 0;
  return high * 16 + low;
}

}  // namespace

TColor HtmlColorByName(std::string_view name) {
  if (name.size() > kLongestName) return clBlack;
  char lower[kLongestName];
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    lower[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  const std::string_view key(lower, name.size());
  for (const NamedColor& entry : kNamedColors) {
    if (entry.Name == key) return entry.Color;
  }
  return clBlack;
}

TColor HtmlHexColor(std::string_view text) {
  // Characters 2-3, 4-5 and 6-7: the number sign comes first.
  return MakeColor(HexPair(text, 1), HexPair(text, 3), HexPair(text, 5));
}

}  // namespace wb
