// The markup renderer's drawing surface over a QPainter: the owner-drawn list
// rows and anything else that shows entry names draw through it.
//
//   QPainter painter(&image);
//   wb::gui::PainterSurface surface(painter);
//   surface.SetFont(wb::gui::SurfaceFontFromQFont(font, textColor));
//   surface.SetBackgroundColor(wb::gui::FromQColor(rowColor));
//   wb::DrawHtmlItem(surface, true, text, selected, rect);
//
// The painter's state is saved on construction and restored on destruction.
// A surface without a painter measures only (MeasureHtmlItem's scratch surface).
#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QPointF>
#include <QString>

#include "gui/qt/surface_fonts.h"
#include "htmldraw/draw_surface.h"

class QPainter;
class QPaintDevice;

namespace wb::gui {

class PainterSurface : public TDrawSurface {
 public:
  explicit PainterSurface(QPainter& painter);
  // Measures with the resolution of device (the screen's when nullptr); draws nothing.
  explicit PainterSurface(const QPaintDevice* device = nullptr);
  ~PainterSurface() override;
  PainterSurface(const PainterSurface&) = delete;
  PainterSurface& operator=(const PainterSurface&) = delete;

  TSize TextExtent(std::string_view text) override;
  int AverageCharWidth() override;
  int FitCharCount(std::string_view text, int maxWidth) override;
  void DrawTextAt(int x, int y, std::string_view text, const TRect* clip) override;
  void FillRect(const TRect& rect, TColor color) override;
  void DrawLine(int x1, int y1, int x2, int y2) override;
  TColor SysColor(int index) override;
  TSize SystemIconListSize(bool large) override;
  int SystemIconIndex(const std::string& path) override;
  void DrawSystemIconAt(int index, int x, int y, bool large, TSize size) override;
  int PixelsPerInchX() override;
  int PixelsPerInchY() override;

  // The Qt font the current surface font is drawn with.
  QFont CurrentQFont() { return Current().font; }

 private:
  const RealizedFont& Current();
  const QString& ToQString(std::string_view text, const RealizedFont& font);
  void UsePen(TColor plain, int width);
  void DrawRun(const QPointF& baseline, std::string_view text, const RealizedFont& font);
  void DrawRunLines(const QPointF& baseline, double width, const RealizedFont& font);

  QPainter* painter_ = nullptr;
  const QPaintDevice* device_ = nullptr;
  const RealizedFont* current_ = nullptr;
  uint32_t currentGeneration_ = 0;
  const RealizedFont* painterFont_ = nullptr;  // what the painter has selected
  bool penSet_ = false;
  TColor penColor_ = 0;
  int penWidth_ = 0;
  QString text_;  // conversion buffer, reused for every run
  QList<quint32> glyphIndexes_;
  QList<QPointF> glyphPositions_;
  RealizedFont scratchFont_;
};

// The surface font for a Qt font and text colour.
TSurfaceFont SurfaceFontFromQFont(const QFont& font, const QColor& color);

}  // namespace wb::gui
