// EntryComboBox: owner-drawn entry rows through DrawHtmlItem.
#include "gui/qt/entry_combo_box.h"
#include "gui/qt/ansi_text.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStylePainter>

#include "gui/qt/painter_surface.h"
#include "gui/qt/system_colors.h"
#include "htmldraw/html_item.h"
#include "platform/codepage.h"

namespace wb::gui {
namespace {
constexpr int kTextIndent = 5;
}

void EntryComboBox::DrawRow(QPainter& painter, const QRect& rect, const QString& text, const QFont& font, bool selected,
                            const QPalette& palette) {
  const QColor background = selected ? palette.color(QPalette::Highlight) : palette.color(QPalette::Base);
  const QColor foreground = selected ? palette.color(QPalette::HighlightedText) : palette.color(QPalette::Text);
  painter.fillRect(rect, background);
  const std::string markup = ToAnsi(text);
  PainterSurface surface(painter);
  surface.SetFont(SurfaceFontFromQFont(font, foreground));
  surface.SetBackgroundColor(FromQColor(background));
  TRect box{rect.left() + kTextIndent, rect.top(), rect.right() + 1, rect.bottom() + 1};
  DrawHtmlItem(surface, true, markup, selected, box);
}

void EntryRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const bool selected = option.state & QStyle::State_Selected;
  EntryComboBox::DrawRow(*painter, option.rect, index.data(Qt::DisplayRole).toString(), option.font, selected,
                         option.palette);
}

QSize EntryRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QSize size = QStyledItemDelegate::sizeHint(option, index);
  size.setHeight(kRowHeight);
  return size;
}

EntryComboBox::EntryComboBox(QWidget* parent) : QComboBox(parent) {
  setItemDelegate(new EntryRowDelegate(this));
  setMaxVisibleItems(16);
}

void EntryComboBox::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionComboBox option;
  initStyleOption(&option);
  option.currentText.clear();  // the renderer draws the text
  painter.drawComplexControl(QStyle::CC_ComboBox, option);
  if (currentIndex() < 0) return;
  QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
  DrawRow(painter, field, currentText(), font(), hasFocus(), palette());
}

void EntryComboBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    emit enterPressed();
    event->accept();
    return;
  }
  QComboBox::keyPressEvent(event);
}

}  // namespace wb::gui
