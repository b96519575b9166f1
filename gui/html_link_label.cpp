// HtmlLinkLabel: the markup's bold, line breaks and links are also rich text
// for the label, so the label shows them as they are written and reports the
// target of a clicked link.
#include "gui/html_link_label.h"

#include "platform/codepage.h"

namespace wb::gui {

HtmlLinkLabel::HtmlLinkLabel(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::RichText);
  setWordWrap(true);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setOpenExternalLinks(false);
  setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  connect(this, &QLabel::linkActivated, this, &HtmlLinkLabel::anchorClicked);
}

void HtmlLinkLabel::setMarkup(const std::string& markup) { setText(ToRichText(markup)); }

QString HtmlLinkLabel::ToRichText(const std::string& markup) {
  QString text = QString::fromStdString(platform::AnsiToUtf8(markup));
  // As in the list rows: a carriage return breaks the line, a line feed is dropped.
  text.remove(QLatin1Char('\n'));
  text.replace(QLatin1Char('\r'), QStringLiteral("<br>"));
  return text;
}

}  // namespace wb::gui
