// HtmlLinkLabel: a layout of the markup kept until the text, the width or the
// font changes; painting and hit-testing read it.
#include "gui/qt/html_link_label.h"
#include "gui/qt/ansi_text.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include "gui/qt/painter_surface.h"
#include "gui/qt/system_colors.h"
#include "platform/codepage.h"

namespace wb::gui {

HtmlLinkLabel::HtmlLinkLabel(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
}

void HtmlLinkLabel::setMarkup(const std::string& markup) {
  markup_ = markup;
  Relayout();
  // Only a label with links takes part in the Tab order. The layout itself
  // waits for the first paint: the label's width and font are known by then.
  setFocusPolicy(LinkTextAnchorCount(markup_) > 0 ? Qt::TabFocus : Qt::NoFocus);
  setAccessibleName(FromAnsi(LinkTextPlain(markup_)));
}

void HtmlLinkLabel::setWordWrap(bool wrap) {
  if (wrap_ == wrap) return;
  wrap_ = wrap;
  Relayout();
}

void HtmlLinkLabel::Relayout() {
  layout_.reset();
  focusedAnchor_ = 0;
  pressedAnchor_ = 0;
  updateGeometry();
  update();
}

const TLinkTextLayout& HtmlLinkLabel::Layout() const {
  const int wrapWidth = wrap_ ? std::max(width(), 1) : 0;
  if (!layout_ || layoutWidth_ != wrapWidth) {
    PainterSurface surface(this);
    surface.SetFont(SurfaceFontFromQFont(font(), palette().color(QPalette::WindowText)));
    layout_ = LayoutLinkText(surface, markup_, wrapWidth, wrap_);
    layoutWidth_ = wrapWidth;
  }
  return *layout_;
}

QSize HtmlLinkLabel::sizeHint() const {
  const TLinkTextLayout& layout = Layout();
  return {layout.Width, layout.Height};
}

int HtmlLinkLabel::AnchorAt(const QPoint& point) const { return Layout().AnchorAt(point.x(), point.y()); }

QRect HtmlLinkLabel::AnchorRect(int anchor) const {
  const TLinkTextLayout& layout = Layout();
  if (anchor < 1 || anchor > static_cast<int>(layout.Anchors.size())) return {};
  const auto& boxes = layout.Anchors[static_cast<std::size_t>(anchor - 1)].Boxes;
  if (boxes.empty()) return {};
  return QRect(QPoint(boxes.front().Left, boxes.front().Top),
               QPoint(boxes.front().Right - 1, boxes.front().Bottom - 1));
}

void HtmlLinkLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const TLinkTextLayout& layout = Layout();
  {
    PainterSurface surface(painter);
    const QPalette& colors = palette();
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    surface.SetFont(SurfaceFontFromQFont(font(), colors.color(group, QPalette::WindowText)));
    DrawLinkText(
        surface, layout, 0, 0,
        {FromQColor(colors.color(group, QPalette::WindowText)), FromQColor(colors.color(group, QPalette::Link))});
  }
  if (hasFocus() && focusedAnchor_ > 0 && focusedAnchor_ <= AnchorCount()) {
    for (const TRect& box : layout.Anchors[static_cast<std::size_t>(focusedAnchor_ - 1)].Boxes) {
      QStyleOptionFocusRect frame;
      frame.initFrom(this);
      frame.rect = QRect(box.Left, box.Top, box.Width(), box.Height());
      style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
    }
  }
}

void HtmlLinkLabel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (wrap_) layout_.reset();
}

void HtmlLinkLabel::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    layout_.reset();
    updateGeometry();
    update();
  }
}

void HtmlLinkLabel::mouseMoveEvent(QMouseEvent* event) {
  if (AnchorAt(event->position().toPoint()) > 0) {
    setCursor(Qt::PointingHandCursor);
  } else {
    unsetCursor();
  }
  QWidget::mouseMoveEvent(event);
}

void HtmlLinkLabel::leaveEvent(QEvent* event) {
  unsetCursor();
  QWidget::leaveEvent(event);
}

void HtmlLinkLabel::mousePressEvent(QMouseEvent* event) {
  pressedAnchor_ = event->button() == Qt::LeftButton ? AnchorAt(event->position().toPoint()) : 0;
  if (pressedAnchor_ == 0) QWidget::mousePressEvent(event);
}

// A click is a press and a release on the same link, as with any button.
void HtmlLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  const int pressed = pressedAnchor_;
  pressedAnchor_ = 0;
  if (event->button() == Qt::LeftButton && pressed > 0 && AnchorAt(event->position().toPoint()) == pressed) {
    Activate(pressed);
    return;
  }
  QWidget::mouseReleaseEvent(event);
}

void HtmlLinkLabel::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      if (focusedAnchor_ > 0) {
        Activate(focusedAnchor_);
        return;
      }
      break;
    default: break;
  }
  QWidget::keyPressEvent(event);
}

// Only Tab and Shift+Tab pick a link: a label that got the focus otherwise
// (the window became active, a click) shows no frame and Enter does nothing.
void HtmlLinkLabel::focusInEvent(QFocusEvent* event) {
  const int count = AnchorCount();
  switch (event->reason()) {
    case Qt::TabFocusReason: focusedAnchor_ = count > 0 ? 1 : 0; break;
    case Qt::BacktabFocusReason: focusedAnchor_ = count; break;
    default: focusedAnchor_ = 0; break;
  }
  QWidget::focusInEvent(event);
  update();
}

void HtmlLinkLabel::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  update();
}

// Tab walks through the label's links before it leaves the label.
bool HtmlLinkLabel::focusNextPrevChild(bool next) {
  if (hasFocus()) {
    const int target = focusedAnchor_ + (next ? 1 : -1);
    if (target >= 1 && target <= AnchorCount()) {
      focusedAnchor_ = target;
      update();
      return true;
    }
  }
  return QWidget::focusNextPrevChild(next);
}

void HtmlLinkLabel::Activate(int anchor) {
  // The signal may close or rebuild the window: read the target first.
  const QString target = FromAnsi(Layout().TargetOf(anchor));
  emit anchorClicked(target);
}

}  // namespace wb::gui
