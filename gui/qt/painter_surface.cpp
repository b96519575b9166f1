// PainterSurface: text through the realised fonts' advance tables, so that
// measuring never shapes text; drawing goes to QPainter.
#include "gui/qt/painter_surface.h"
#include "gui/qt/ansi_text.h"

#include <QGlyphRun>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QPainter>
#include <QScreen>
#include <cmath>

#include "gui/qt/file_icon_list.h"
#include "gui/qt/system_colors.h"
#include "platform/codepage.h"

namespace wb::gui {
namespace {

constexpr int kDefaultDpi = 96;
constexpr TSize kSmallIconSize{16, 16};
constexpr TSize kLargeIconSize{32, 32};

QRect ToQRect(const TRect& rect) { return QRect(rect.Left, rect.Top, rect.Width(), rect.Height()); }

}  // namespace

PainterSurface::PainterSurface(QPainter& painter) : painter_(&painter), device_(painter.device()) { painter_->save(); }

PainterSurface::PainterSurface(const QPaintDevice* device) : device_(device) {}

PainterSurface::~PainterSurface() {
  if (painter_ != nullptr) painter_->restore();
}

const RealizedFont& PainterSurface::Current() {
  if (current_ == nullptr || currentGeneration_ != FontGeneration()) {
    current_ = &SurfaceFontCache::Instance().Get(Font(), device_, scratchFont_);
    currentGeneration_ = FontGeneration();
    // The scratch entry is refilled in place: the painter may hold its old font.
    if (current_ == &scratchFont_) painterFont_ = nullptr;
  }
  return *current_;
}

const QString& PainterSurface::ToQString(std::string_view text, const RealizedFont& font) {
  text_.resize(static_cast<qsizetype>(text.size()));
  QChar* out = text_.data();
  const CharTable& chars = *font.chars;
  for (const char c : text) *out++ = chars[static_cast<unsigned char>(c)];
  return text_;
}

void PainterSurface::UsePen(TColor plain, int width) {
  if (penSet_ && penColor_ == plain && penWidth_ == width) return;
  painter_->setPen(QPen(ToQColor(plain), width));
  penSet_ = true;
  penColor_ = plain;
  penWidth_ = width;
}

TSize PainterSurface::TextExtent(std::string_view text) {
  const RealizedFont& font = Current();
  return {font.Width(text), font.height};
}

int PainterSurface::AverageCharWidth() { return Current().averageCharWidth; }

int PainterSurface::FitCharCount(std::string_view text, int maxWidth) {
  const RealizedFont& font = Current();
  double width = 0;
  int count = 0;
  for (const char c : text) {
    width += font.Advance(static_cast<unsigned char>(c));
    if (width > maxWidth + 0.5) break;
    ++count;
  }
  return count;
}

// A run with every glyph in the font goes out as a glyph run placed by the
// advance table; anything else through Qt's text layout.
void PainterSurface::DrawRun(const QPointF& baseline, std::string_view text, const RealizedFont& font) {
  if (!font.HasGlyphsFor(text)) {
    painter_->drawText(baseline, ToQString(text, font));
    return;
  }
  const auto count = static_cast<qsizetype>(text.size());
  glyphIndexes_.resize(count);
  glyphPositions_.resize(count);
  double x = 0;
  for (qsizetype i = 0; i < count; ++i) {
    const auto c = static_cast<unsigned char>(text[static_cast<std::size_t>(i)]);
    glyphIndexes_[i] = font.glyphs[c];
    glyphPositions_[i] = QPointF(x, 0);
    x += font.Advance(c);
  }
  QGlyphRun run;
  run.setRawFont(font.rawFont);
  run.setGlyphIndexes(glyphIndexes_);
  run.setPositions(glyphPositions_);
  painter_->drawGlyphRun(baseline, run);
  if (font.key.Underline || font.key.StrikeOut) DrawRunLines(baseline, x, font);
}

// Underline and strike-out of a glyph run, drawn here rather than by the glyph
// run itself: a glyph run on a translated painter (any widget that is not a
// window of its own) gets its lines moved by the translation a second time.
// Placed as Qt places them under its own text.
void PainterSurface::DrawRunLines(const QPointF& baseline, double width, const RealizedFont& font) {
  const QRawFont& raw = font.rawFont;
  QPen pen = painter_->pen();
  pen.setStyle(Qt::SolidLine);
  pen.setWidthF(raw.lineThickness());
  pen.setCapStyle(Qt::FlatCap);
  const QPen oldPen = painter_->pen();
  const QBrush oldBrush = painter_->brush();
  painter_->setPen(pen);
  painter_->setBrush(Qt::NoBrush);
  const QLineF line(std::floor(baseline.x()), baseline.y(), std::floor(baseline.x() + width), baseline.y());
  if (font.key.Underline) {
    // Below the text by at least the font's offset, but inside its descent.
    const double offset = raw.underlinePosition();
    double adjusted = std::ceil(offset) + 0.5;
    if (offset <= raw.descent()) adjusted = std::min(adjusted, raw.descent() - 0.5);
    painter_->drawLine(line.translated(0, adjusted));
  }
  if (font.key.StrikeOut) painter_->drawLine(line.translated(0, -raw.ascent() / 3.0));
  painter_->setPen(oldPen);
  painter_->setBrush(oldBrush);
}

void PainterSurface::DrawTextAt(int x, int y, std::string_view text, const TRect* clip) {
  if (painter_ == nullptr || text.empty()) return;
  const RealizedFont& font = Current();
  if (painterFont_ != &font) {
    painter_->setFont(font.font);
    painterFont_ = &font;
  }
  UsePen(ColorToRGB(Font().Color), 1);
  const bool rotated = Font().Escapement % 3600 != 0;
  const bool opaque = BackgroundMode() == TBackgroundMode::Opaque && BackgroundColor() != clNone;
  if (!rotated && clip == nullptr) {
    if (opaque) painter_->fillRect(QRect(x, y, font.Width(text), font.height), ToQColor(ColorToRGB(BackgroundColor())));
    DrawRun(QPointF(x, y + font.ascent), text, font);
    return;
  }
  painter_->save();
  if (clip != nullptr) painter_->setClipRect(ToQRect(*clip), Qt::IntersectClip);
  painter_->translate(x, y);
  if (rotated) painter_->rotate(-Font().Escapement / 10.0);
  if (opaque) painter_->fillRect(QRect(0, 0, font.Width(text), font.height), ToQColor(ColorToRGB(BackgroundColor())));
  DrawRun(QPointF(0, font.ascent), text, font);
  painter_->restore();
}

void PainterSurface::FillRect(const TRect& rect, TColor color) {
  if (painter_ == nullptr || color == clNone) return;
  painter_->fillRect(ToQRect(rect), ToQColor(ColorToRGB(color)));
}

void PainterSurface::DrawLine(int x1, int y1, int x2, int y2) {
  if (painter_ == nullptr) return;
  UsePen(ColorToRGB(PenColor()), PenWidth());
  // The end point is not part of the line, as with the system's line drawing.
  const int dx = (x2 > x1) - (x2 < x1);
  const int dy = (y2 > y1) - (y2 < y1);
  if (dx == 0 && dy == 0) return;
  painter_->drawLine(x1, y1, x2 - dx, y2 - dy);
}

TColor PainterSurface::SysColor(int index) { return PaletteSystemColor(index); }

TSize PainterSurface::SystemIconListSize(bool large) { return large ? kLargeIconSize : kSmallIconSize; }

int PainterSurface::SystemIconIndex(const std::string& path) {
  return FileIconList::Instance().IndexForPath(FromAnsi(path));
}

void PainterSurface::DrawSystemIconAt(int index, int x, int y, bool, TSize size) {
  if (painter_ == nullptr) return;
  FileIconList::Instance().Draw(*painter_, index, QRect(x, y, size.cx, size.cy));
}

int PainterSurface::PixelsPerInchX() {
  if (device_ != nullptr) return device_->logicalDpiX();
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? qRound(screen->logicalDotsPerInchX()) : kDefaultDpi;
}

int PainterSurface::PixelsPerInchY() {
  if (device_ != nullptr) return device_->logicalDpiY();
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? qRound(screen->logicalDotsPerInchY()) : kDefaultDpi;
}

TSurfaceFont SurfaceFontFromQFont(const QFont& font, const QColor& color) {
  TSurfaceFont result;
  result.Name = ToAnsi(font.family());
  constexpr int kFallbackPointSize = 9;  // a font given in pixels has no point size
  result.Size = font.pointSize() > 0 ? font.pointSize() : kFallbackPointSize;
  result.Bold = font.bold();
  result.Italic = font.italic();
  result.Underline = font.underline();
  result.StrikeOut = font.strikeOut();
  result.Color = FromQColor(color);
  return result;
}

}  // namespace wb::gui
