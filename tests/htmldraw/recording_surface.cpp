// The recording surface: deterministic metrics and an operation log.
#include "recording_surface.h"

namespace wb::test {

TSize RecordingSurface::TextExtent(std::string_view text) {
  const TSurfaceFont& font = Font();
  return {CharWidth(font) * static_cast<int>(text.size()), CellHeight(font)};
}

void RecordingSurface::DrawTextAt(int x, int y, std::string_view text, const TRect* clip) {
  RecordedOp op;
  op.kind = RecordedOp::Text;
  op.x = x;
  op.y = y;
  op.text = std::string(text);
  op.font = Font();
  op.color = ColorToRGB(Font().Color);
  op.opaque = BackgroundMode() == TBackgroundMode::Opaque;
  op.background = ColorToRGB(BackgroundColor());
  op.clipped = clip != nullptr;
  ops.push_back(std::move(op));
}

void RecordingSurface::FillRect(const TRect& rect, TColor color) {
  RecordedOp op;
  op.kind = RecordedOp::Fill;
  op.x = rect.Left;
  op.y = rect.Top;
  op.x2 = rect.Right;
  op.y2 = rect.Bottom;
  op.color = ColorToRGB(color);
  ops.push_back(std::move(op));
}

void RecordingSurface::DrawLine(int x1, int y1, int x2, int y2) {
  RecordedOp op;
  op.kind = RecordedOp::Line;
  op.x = x1;
  op.y = y1;
  op.x2 = x2;
  op.y2 = y2;
  op.color = ColorToRGB(PenColor());
  ops.push_back(std::move(op));
}

int RecordingSurface::SystemIconIndex(const std::string& path) {
  iconPathsAsked.push_back(path);
  const bool pdf = path.size() >= 4 && path.compare(path.size() - 4, 4, ".pdf") == 0;
  return pdf ? 7 : 1;
}

void RecordingSurface::DrawSystemIconAt(int index, int x, int y, bool, TSize size) {
  RecordedOp op;
  op.kind = RecordedOp::Icon;
  op.x = x;
  op.y = y;
  op.index = index;
  op.size = size;
  ops.push_back(std::move(op));
}

std::vector<RecordedOp> RecordingSurface::Texts() const {
  std::vector<RecordedOp> texts;
  for (const RecordedOp& op : ops) {
    if (op.kind == RecordedOp::Text) texts.push_back(op);
  }
  return texts;
}

std::string RecordingSurface::AllText() const {
  std::string all;
  for (const RecordedOp& op : ops) {
    if (op.kind != RecordedOp::Text) continue;
    if (!all.empty()) all += '|';
    all += op.text;
  }
  return all;
}

}  // namespace wb::test
