// The windows' link label: shows a short text in the entry-name markup with
// bold, line breaks and links, and reports a click on a link with the link's
// target text ("E", "L", "x", …). Long texts wrap at the label's width.
#pragma once

#include <QLabel>
#include <QString>
#include <string>

namespace wb::gui {

class HtmlLinkLabel : public QLabel {
  Q_OBJECT

 public:
  explicit HtmlLinkLabel(QWidget* parent = nullptr);

  // The text in the markup, 8-bit system code page.
  void setMarkup(const std::string& markup);

  // The markup as the label's rich text: line breaks of the text become <br>.
  static QString ToRichText(const std::string& markup);

 signals:
  void anchorClicked(const QString& target);
};

}  // namespace wb::gui
