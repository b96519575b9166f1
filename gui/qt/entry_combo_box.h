// The main window's entry list: a drop-down whose rows (21 pixels high) and
// closed field are drawn by the markup renderer, and whose Enter key runs the
// selected entry instead of opening the list.
#pragma once

#include <QComboBox>
#include <QStyledItemDelegate>

namespace wb::gui {

class EntryRowDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  static constexpr int kRowHeight = 21;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

class EntryComboBox : public QComboBox {
  Q_OBJECT

 public:
  explicit EntryComboBox(QWidget* parent = nullptr);

  // Draws one row's markup text into rect (background filled, 5 pixels indent).
  static void DrawRow(QPainter& painter, const QRect& rect, const QString& text, const QFont& font, bool selected,
                      const QPalette& palette);

 signals:
  void enterPressed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace wb::gui
