// The link label: a click on a link reports the link's target; text outside
// links reports nothing.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QSignalSpy>
#include <QTest>

#include "gui/html_link_label.h"
#include "platform/codepage.h"

namespace wb::gui {
namespace {

TEST(HtmlLinkLabel, ClickOnALinkReportsItsTarget) {
  HtmlLinkLabel label;
  label.setMarkup(Ansi("<A href=\"E\">Eigenschaften</A><br><br><A href=\"L\">Verknüpfung erstellen</A>"));
  label.resize(300, 120);
  label.show();
  QSignalSpy spy(&label, &HtmlLinkLabel::anchorClicked);
  const int line = QFontMetrics(label.font()).lineSpacing();

  QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(10, line / 2));
  ASSERT_EQ(spy.count(), 1);
  EXPECT_EQ(spy.takeFirst().at(0).toString(), "E");

  QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(10, 2 * line + line / 2 + 1));
  ASSERT_EQ(spy.count(), 1);
  EXPECT_EQ(spy.takeFirst().at(0).toString(), "L");

  QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(290, line / 2));
  EXPECT_EQ(spy.count(), 0) << "beside the link";
}

TEST(HtmlLinkLabel, RichTextOfTheMarkup) {
  EXPECT_EQ(HtmlLinkLabel::ToRichText("a\r\nb"), "a<br>b");
  EXPECT_EQ(HtmlLinkLabel::ToRichText(Ansi("Übersicht")), QString::fromUtf8("Übersicht"));
  EXPECT_EQ(HtmlLinkLabel::ToRichText("Ein <B>komplettes PDF</B>"), "Ein <B>komplettes PDF</B>");
}

}  // namespace
}  // namespace wb::gui
