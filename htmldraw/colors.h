// Colours of the markup renderer: 32-bit values 0x00BBGGRR, system colour
// numbers as 0x80000000 + n, and the "no colour" marker; the two helpers that
// turn the colour values written in markup into such colours.
#pragma once

#include <cstdint>
#include <string_view>

namespace wb {

using TColor = uint32_t;

// No colour at all: a text background of none is transparent.
inline constexpr TColor clNone = 0x1FFFFFFF;

// System colours are asked of the surface when a colour is used.
inline constexpr TColor kSystemColorFlag = 0x80000000u;
inline constexpr TColor SystemColor(int index) { return kSystemColorFlag + static_cast<TColor>(index); }
inline constexpr bool IsSystemColor(TColor color) { return (color & kSystemColorFlag) != 0; }
inline constexpr int SystemColorIndex(TColor color) { return static_cast<int>(color & 0xFF); }

// The system colour numbers the markup can name.
enum : int {
  kColorScrollBar = 0,
  kColorBackground = 1,
  kColorActiveCaption = 2,
  kColorInactiveCaption = 3,
  kColorMenu = 4,
  kColorWindow = 5,
  kColorWindowFrame = 6,
  kColorMenuText = 7,
  kColorWindowText = 8,
  kColorCaptionText = 9,
  kColorActiveBorder = 10,
  kColorInactiveBorder = 11,
  kColorAppWorkspace = 12,
  kColorHighlight = 13,
  kColorHighlightText = 14,
  kColorBtnFace = 15,
  kColorBtnShadow = 16,
  kColorGrayText = 17,
  kColorBtnText = 18,
  kColorInactiveCaptionText = 19,
  kColorBtnHighlight = 20,
  kColor3DDkShadow = 21,
  kColor3DLight = 22,
  kColorInfoText = 23,
  kColorInfoBk = 24,
  kSystemColorCount = 25,
};

inline constexpr TColor clBlack = 0x00000000;
inline constexpr TColor clRed = 0x000000FF;
inline constexpr TColor clBlue = 0x00FF0000;
inline constexpr TColor clGray = 0x00808080;
inline constexpr TColor clWhite = 0x00FFFFFF;

// Named apart from the Windows header macros so both can meet in one unit.
inline constexpr int ColorRed(TColor color) { return static_cast<int>(color & 0xFF); }
inline constexpr int ColorGreen(TColor color) { return static_cast<int>((color >> 8) & 0xFF); }
inline constexpr int ColorBlue(TColor color) { return static_cast<int>((color >> 16) & 0xFF); }
inline constexpr TColor MakeColor(int r, int g, int b) {
  return static_cast<TColor>(r & 0xFF) | (static_cast<TColor>(g & 0xFF) << 8) | (static_cast<TColor>(b & 0xFF) << 16);
}

// "clRed", "clWindowText", … compared without regard to case; unknown names give black.
TColor HtmlColorByName(std::string_view name);
// "#RRGGBB": three two-digit hexadecimal numbers; a missing or malformed pair counts as 0.
TColor HtmlHexColor(std::string_view text);

}  // namespace wb
