// The windows' link label: shows a short text in the entry-name markup with
// bold, line breaks and links, and reports a click on a link with the link's
// target text ("E", "L", "x", …). Long texts wrap at the label's width.
//
// The text is laid out by LayoutLinkText and drawn through the renderer's
// painter surface, with the fonts the list rows already realised: a label
// costs no rich-text document, which is most of what starting a window with
// three of them would cost otherwise.
//
// Links are reached with Tab as well: the focused link shows a focus frame
// and Enter or Space activates it.
#pragma once

#include <QString>
#include <QWidget>
#include <optional>
#include <string>

#include "htmldraw/link_text.h"

namespace wb::gui {

class HtmlLinkLabel : public QWidget {
  Q_OBJECT

 public:
  explicit HtmlLinkLabel(QWidget* parent = nullptr);

  // The text in the markup, 8-bit system code page.
  void setMarkup(const std::string& markup);
  const std::string& markup() const { return markup_; }
  void setWordWrap(bool wrap);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

  // The link under a point of the label, counted from 1; 0 for none.
  int AnchorAt(const QPoint& point) const;
  // Where a link lies, for tests and accessibility: its first line's box.
  QRect AnchorRect(int anchor) const;
  int FocusedAnchor() const { return focusedAnchor_; }

 signals:
  void anchorClicked(const QString& target);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  const TLinkTextLayout& Layout() const;
  void Relayout();
  void Activate(int anchor);
  int AnchorCount() const { return static_cast<int>(Layout().Anchors.size()); }

  std::string markup_;
  bool wrap_ = true;
  mutable std::optional<TLinkTextLayout> layout_;
  mutable int layoutWidth_ = -1;  // the width the layout was made for
  int pressedAnchor_ = 0;
  int focusedAnchor_ = 0;
};

}  // namespace wb::gui
