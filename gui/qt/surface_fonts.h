// The renderer's fonts as Qt fonts: family fallback for fonts missing on this
// system (Tahoma, Symbol, …), the Symbol font's own character codes, and the
// per-character advances that make measuring a run a table look-up.
#pragma once

#include <QChar>
#include <QFont>
#include <QRawFont>
#include <QString>
#include <array>
#include <bitset>
#include <memory>
#include <string>
#include <vector>

#include "htmldraw/draw_surface.h"

class QPaintDevice;

namespace wb::gui {

using CharTable = std::array<QChar, 256>;

// The family to use for a requested one: itself when installed, else a
// sans-serif look-alike (Liberation Sans, Arimo or DejaVu Sans, where present). The Symbol font's codes
// (0xB7 is its bullet) are turned into Unicode by symbolEncoding.
struct FontFamilyChoice {
  QString family;
  bool symbolEncoding = false;
};
FontFamilyChoice ResolveFontFamily(const std::string& requested);

// 8-bit system code page and Symbol font codes to Unicode, one entry per byte.
const CharTable& AnsiCharTable();
const CharTable& SymbolCharTable();

// One font realised for one device resolution. Where the font file itself
// has every glyph, runs are drawn as glyph runs straight from these tables:
// no text shaping on a repaint, and the drawn width is the measured width.
struct RealizedFont {
  TSurfaceFont key;
  int dpi = 96;
  QFont font;
  QFont deviceFont;  // font for the device's resolution: the metrics come from it
  const CharTable* chars = nullptr;
  int ascent = 0;
  int height = 0;
  int averageCharWidth = 0;
  QRawFont rawFont;                   // valid when glyph runs can be used
  std::array<quint32, 256> glyphs{};  // 0: the font has no glyph for the character

  // Whether text can be drawn as one glyph run of rawFont.
  bool HasGlyphsFor(std::string_view text) const;
  // The advance of one character, looked up in the font file the first time
  // it is asked for: a window start measures a few dozen characters, and
  // loading all 256 glyphs up front costs more than drawing the window.
  double Advance(unsigned char c) const;
  int Width(std::string_view text) const;
  // After the font has been (re)realised into this entry.
  void ForgetAdvances() { advanceKnown_.reset(); }

 private:
  mutable std::array<double, 256> advances_{};
  mutable std::bitset<256> advanceKnown_;
};

// Realised fonts, kept for the program's life on the gui thread: list rows
// draw the same few fonts again on every repaint. Bounded: beyond the limit
// fonts are realised into the caller's scratch entry instead.
class SurfaceFontCache {
 public:
  static SurfaceFontCache& Instance();
  const RealizedFont& Get(const TSurfaceFont& font, const QPaintDevice* device, RealizedFont& scratch);

 private:
  static constexpr std::size_t kLimit = 256;
  std::vector<std::unique_ptr<RealizedFont>> fonts_;
};

void RealizeFont(const TSurfaceFont& font, const QPaintDevice* device, RealizedFont& out);

}  // namespace wb::gui
