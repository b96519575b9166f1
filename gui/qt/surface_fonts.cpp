// Font fallback, character tables and realised fonts of the QPainter surface.
#include "gui/qt/surface_fonts.h"
#include "gui/qt/ansi_text.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QStringList>
#include <cmath>
#include <unordered_map>

#include "gui/qt/font_setup.h"
#include "platform/codepage.h"

namespace wb::gui {
namespace {

constexpr int kDefaultDpi = 96;
// Look-alikes for the Windows fonts, closest in width first: Liberation Sans
// and Arimo share Arial's metrics, which come nearer Tahoma than DejaVu's.
const char* const kFallbackFamilies[] = {"Liberation Sans", "Arimo", "DejaVu Sans"};

// Whether a family is installed under this name. The family list is read
// once; QFontDatabase::hasFamily would run the font configuration's alias
// substitution on every call, which costs more at start-up than all the rest
// of the window's text.
bool FamilyInstalled(const QString& family) {
  static const QStringList installed = [] {
    WaitForFontSetUp();
    return QFontDatabase::families();
  }();
  return installed.contains(family, Qt::CaseInsensitive);
}

QString FallbackFamily() {
  static const QString family = [] {
    for (const char* name : kFallbackFamilies)
      if (FamilyInstalled(name)) return QString(name);
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
  }();
  return family;
}

bool IsSymbolName(const std::string& name) {
  if (name.size() != 6) return false;
  static constexpr char kSymbol[] = "symbol";
  for (std::size_t i = 0; i < 6; ++i) {
    if (std::tolower(static_cast<unsigned char>(name[i])) != kSymbol[i]) return false;
  }
  return true;
}

// The Symbol font's codes that differ from plain text: Greek letters, math and
// arrows. Codes not listed keep their code-page meaning.
struct SymbolCode {
  unsigned char code;
  char16_t unicode;
};
constexpr SymbolCode kSymbolCodes[] = {
    {0x22, u'\u2200'}, {0x24, u'\u2203'}, {0x27, u'\u220B'}, {0x2A, u'\u2217'}, {0x2D, u'\u2212'}, {0x40, u'\u2245'},
    {0x41, u'\u0391'}, {0x42, u'\u0392'}, {0x43, u'\u03A7'}, {0x44, u'\u0394'}, {0x45, u'\u0395'}, {0x46, u'\u03A6'},
    {0x47, u'\u0393'}, {0x48, u'\u0397'}, {0x49, u'\u0399'}, {0x4A, u'\u03D1'}, {0x4B, u'\u039A'}, {0x4C, u'\u039B'},
    {0x4D, u'\u039C'}, {0x4E, u'\u039D'}, {0x4F, u'\u039F'}, {0x50, u'\u03A0'}, {0x51, u'\u0398'}, {0x52, u'\u03A1'},
    {0x53, u'\u03A3'}, {0x54, u'\u03A4'}, {0x55, u'\u03A5'}, {0x56, u'\u03C2'}, {0x57, u'\u03A9'}, {0x58, u'\u039E'},
    {0x59, u'\u03A8'}, {0x5A, u'\u0396'}, {0x5C, u'\u2234'}, {0x5E, u'\u22A5'}, {0x61, u'\u03B1'}, {0x62, u'\u03B2'},
    {0x63, u'\u03C7'}, {0x64, u'\u03B4'}, {0x65, u'\u03B5'}, {0x66, u'\u03C6'}, {0x67, u'\u03B3'}, {0x68, u'\u03B7'},
    {0x69, u'\u03B9'}, {0x6A, u'\u03D5'}, {0x6B, u'\u03BA'}, {0x6C, u'\u03BB'}, {0x6D, u'\u03BC'}, {0x6E, u'\u03BD'},
    {0x6F, u'\u03BF'}, {0x70, u'\u03C0'}, {0x71, u'\u03B8'}, {0x72, u'\u03C1'}, {0x73, u'\u03C3'}, {0x74, u'\u03C4'},
    {0x75, u'\u03C5'}, {0x76, u'\u03D6'}, {0x77, u'\u03C9'}, {0x78, u'\u03BE'}, {0x79, u'\u03C8'}, {0x7A, u'\u03B6'},
    {0x7E, u'\u223C'}, {0xA1, u'\u03D2'}, {0xA2, u'\u2032'}, {0xA3, u'\u2264'}, {0xA4, u'\u2044'}, {0xA5, u'\u221E'},
    {0xA6, u'\u0192'}, {0xA7, u'\u2663'}, {0xA8, u'\u2666'}, {0xA9, u'\u2665'}, {0xAA, u'\u2660'}, {0xAB, u'\u2194'},
    {0xAC, u'\u2190'}, {0xAD, u'\u2191'}, {0xAE, u'\u2192'}, {0xAF, u'\u2193'}, {0xB0, u'\u00B0'}, {0xB1, u'\u00B1'},
    {0xB2, u'\u2033'}, {0xB3, u'\u2265'}, {0xB4, u'\u00D7'}, {0xB5, u'\u221D'}, {0xB6, u'\u2202'}, {0xB7, u'\u2022'},
    {0xB8, u'\u00F7'}, {0xB9, u'\u2260'}, {0xBA, u'\u2261'}, {0xBB, u'\u2248'}, {0xBC, u'\u2026'},
};

bool SameRealization(const RealizedFont& entry, const TSurfaceFont& font, int dpi) {
  // Colour and escapement are applied when drawing; they do not change the Qt font.
  const TSurfaceFont& k = entry.key;
  return entry.dpi == dpi && k.Size == font.Size && k.Bold == font.Bold && k.Italic == font.Italic &&
         k.Underline == font.Underline && k.StrikeOut == font.StrikeOut && k.Name == font.Name;
}

int DeviceDpi(const QPaintDevice* device) { return device != nullptr ? device->logicalDpiY() : kDefaultDpi; }

// The glyph of every character in the font file that Qt picked for font. When
// the file is not the one the font asks for (a style it has to imitate), glyph
// runs are not used at all.
void LoadGlyphTable(const QFont& font, const CharTable& chars, RealizedFont& out) {
  out.rawFont = QRawFont::fromFont(font);
  out.glyphs.fill(0);
  if (!out.rawFont.isValid()) return;
  const bool boldMatches = (out.rawFont.weight() >= QFont::DemiBold) == (font.weight() >= QFont::DemiBold);
  const bool italicMatches = (out.rawFont.style() != QFont::StyleNormal) == font.italic();
  if (!boldMatches || !italicMatches) {
    out.rawFont = QRawFont();
    return;
  }
  QString all(256, QChar());
  for (int b = 0; b < 256; ++b) all[b] = chars[static_cast<std::size_t>(b)];
  const QList<quint32> indexes = out.rawFont.glyphIndexesForString(all);
  if (indexes.size() != 256) {
    out.rawFont = QRawFont();
    return;
  }
  for (std::size_t b = 0; b < 256; ++b) {
    // Control characters are never drawn from the table.
    const bool control = b < 0x20;
    out.glyphs[b] = control ? 0 : indexes[static_cast<qsizetype>(b)];
  }
}

}  // namespace

FontFamilyChoice ResolveFontFamily(const std::string& requested) {
  static std::unordered_map<std::string, FontFamilyChoice> resolved;
  if (auto found = resolved.find(requested); found != resolved.end()) return found->second;
  FontFamilyChoice choice;
  choice.symbolEncoding = IsSymbolName(requested);
  const QString family = FromAnsi(requested);
  choice.family = !family.isEmpty() && FamilyInstalled(family) ? family : FallbackFamily();
  resolved.emplace(requested, choice);
  return choice;
}

const CharTable& AnsiCharTable() {
  static const CharTable table = [] {
    CharTable t;
    for (int b = 0; b < 256; ++b)
      t[static_cast<std::size_t>(b)] = QChar(platform::Cp1252ToChar(static_cast<unsigned char>(b)));
    return t;
  }();
  return table;
}

const CharTable& SymbolCharTable() {
  static const CharTable table = [] {
    CharTable t = AnsiCharTable();
    for (const SymbolCode& code : kSymbolCodes) t[code.code] = QChar(code.unicode);
    return t;
  }();
  return table;
}

bool RealizedFont::HasGlyphsFor(std::string_view text) const {
  if (!rawFont.isValid()) return false;
  for (const char c : text) {
    if (glyphs[static_cast<unsigned char>(c)] == 0) return false;
  }
  return true;
}

double RealizedFont::Advance(unsigned char c) const {
  if (!advanceKnown_[c]) {
    // The font file's own advance where it has the glyph, so that a glyph run
    // ends where it was measured to end; Qt's metrics for the rest.
    if (glyphs[c] != 0) {
      const quint32 glyph = glyphs[c];
      QPointF advance;
      rawFont.advancesForGlyphIndexes(&glyph, &advance, 1);
      advances_[c] = advance.x();
    } else {
      advances_[c] = QFontMetricsF(deviceFont).horizontalAdvance((*chars)[c]);
    }
    advanceKnown_[c] = true;
  }
  return advances_[c];
}

int RealizedFont::Width(std::string_view text) const {
  double width = 0;
  for (const char c : text) width += Advance(static_cast<unsigned char>(c));
  return static_cast<int>(std::lround(width));
}

void RealizeFont(const TSurfaceFont& font, const QPaintDevice* device, RealizedFont& out) {
  const FontFamilyChoice family = ResolveFontFamily(font.Name);
  QFont qfont(family.family);
  qfont.setPointSize(std::clamp(font.Size, 1, 1000));
  qfont.setBold(font.Bold);
  qfont.setItalic(font.Italic);
  qfont.setUnderline(font.Underline);
  qfont.setStrikeOut(font.StrikeOut);
  // Runs are measured character by character, as the system's text drawing
  // does; kerning would make the drawn text wider or narrower than measured.
  qfont.setKerning(false);

  out.key = font;
  out.dpi = DeviceDpi(device);
  out.font = qfont;
  out.chars = family.symbolEncoding ? &SymbolCharTable() : &AnsiCharTable();
  out.deviceFont = device != nullptr ? QFont(qfont, device) : qfont;
  const QFontMetrics metrics(out.deviceFont);
  LoadGlyphTable(out.deviceFont, *out.chars, out);
  out.ForgetAdvances();
  out.ascent = metrics.ascent();
  out.height = metrics.ascent() + metrics.descent();
  out.averageCharWidth = metrics.averageCharWidth();
}

SurfaceFontCache& SurfaceFontCache::Instance() {
  static SurfaceFontCache cache;
  return cache;
}

const RealizedFont& SurfaceFontCache::Get(const TSurfaceFont& font, const QPaintDevice* device, RealizedFont& scratch) {
  const int dpi = DeviceDpi(device);
  for (const auto& entry : fonts_) {
    if (SameRealization(*entry, font, dpi)) return *entry;
  }
  if (fonts_.size() >= kLimit) {
    RealizeFont(font, device, scratch);
    return scratch;
  }
  auto entry = std::make_unique<RealizedFont>();
  RealizeFont(font, device, *entry);
  fonts_.push_back(std::move(entry));
  return *fonts_.back();
}

}  // namespace wb::gui
