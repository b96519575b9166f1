// The link label on a real widget: a click on a link reports the link's
// target, text outside links and a drag off a link report nothing; Tab walks
// the links and Enter activates the focused one; the label wraps at its width
// and draws its links in the link colour.
#include <gtest/gtest.h>

#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "gui/qt/html_link_label.h"
#include "platform/codepage.h"

namespace wb::gui {
namespace {

const char8_t* kTwoLinks = u8"<A href=\"E\">Eigenschaften</A><br><br><A href=\"L\">Verknüpfung erstellen</A>";

std::unique_ptr<HtmlLinkLabel> ShownLabel(const std::string& markup, QSize size) {
  auto label = std::make_unique<HtmlLinkLabel>();
  label->setMarkup(markup);
  label->resize(size);
  label->show();
  return label;
}

TEST(HtmlLinkLabel, ClickOnALinkReportsItsTarget) {
  auto label = ShownLabel(Ansi(kTwoLinks), {300, 120});
  QSignalSpy spy(label.get(), &HtmlLinkLabel::anchorClicked);
  const QRect first = label->AnchorRect(1);
  const QRect second = label->AnchorRect(2);
  ASSERT_FALSE(first.isEmpty());
  EXPECT_GT(second.top(), first.bottom() + first.height() / 2) << "an empty line lies between the links";

  QTest::mouseClick(label.get(), Qt::LeftButton, {}, first.center());
  ASSERT_EQ(spy.count(), 1);
  EXPECT_EQ(spy.takeFirst().at(0).toString(), "E");

  QTest::mouseClick(label.get(), Qt::LeftButton, {}, second.center());
  ASSERT_EQ(spy.count(), 1);
  EXPECT_EQ(spy.takeFirst().at(0).toString(), "L");

  QTest::mouseClick(label.get(), Qt::LeftButton, {}, QPoint(290, first.center().y()));
  QTest::mouseClick(label.get(), Qt::LeftButton, {}, QPoint(first.left() + 2, first.bottom() + 4));
  QTest::mouseClick(label.get(), Qt::RightButton, {}, first.center());
  EXPECT_EQ(spy.count(), 0) << "beside the links, between them, or with the other button";

  // Pressed on one link and let go on the other: no click.
  QTest::mousePress(label.get(), Qt::LeftButton, {}, first.center());
  QTest::mouseRelease(label.get(), Qt::LeftButton, {}, second.center());
  EXPECT_EQ(spy.count(), 0);
}

TEST(HtmlLinkLabel, TabWalksTheLinksAndEnterActivatesTheFocusedOne) {
  QWidget window;
  auto* before = new QLineEdit(&window);
  auto* label = new HtmlLinkLabel(&window);
  label->setMarkup(Ansi(kTwoLinks));
  label->setGeometry(0, 30, 300, 80);
  auto* after = new QLineEdit(&window);
  after->move(0, 120);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QSignalSpy spy(label, &HtmlLinkLabel::anchorClicked);

  // Focus that did not come from Tab picks no link: Enter does nothing.
  label->setFocus(Qt::OtherFocusReason);
  EXPECT_EQ(label->FocusedAnchor(), 0);
  QTest::keyClick(label, Qt::Key_Return);
  EXPECT_EQ(spy.count(), 0);

  before->setFocus();
  QTest::keyClick(before, Qt::Key_Tab);
  ASSERT_TRUE(label->hasFocus());
  EXPECT_EQ(label->FocusedAnchor(), 1);
  QTest::keyClick(label, Qt::Key_Return);
  QTest::keyClick(label, Qt::Key_Tab);
  EXPECT_TRUE(label->hasFocus()) << "the second link is still in the label";
  EXPECT_EQ(label->FocusedAnchor(), 2);
  QTest::keyClick(label, Qt::Key_Space);
  QTest::keyClick(label, Qt::Key_Tab);
  EXPECT_TRUE(after->hasFocus());

  ASSERT_EQ(spy.count(), 2);
  EXPECT_EQ(spy.at(0).at(0).toString(), "E");
  EXPECT_EQ(spy.at(1).at(0).toString(), "L");

  QTest::keyClick(after, Qt::Key_Backtab);
  EXPECT_TRUE(label->hasFocus());
  EXPECT_EQ(label->FocusedAnchor(), 2) << "coming back with Shift+Tab lands on the last link";
}

TEST(HtmlLinkLabel, WrapsAtItsWidthAndFitsItsTextWhenNotWrapping) {
  const std::string intro = Ansi(
      u8"Hiermit erzeugen Sie eine<B> Einzelausgabe</B>. Werkbank wird je nach hinterlegten Bedingungen alle "
      u8"Layouts in den jeweiligen Auftrag integrieren. <A href=\"x\">Für eine Übersicht hier klicken</A>");
  auto wrapped = ShownLabel(intro, {376, 50});
  const QSize one = wrapped->sizeHint();
  EXPECT_LE(one.width(), 376);
  EXPECT_GE(one.height(), 3 * wrapped->fontMetrics().height() - 3) << "three lines at 376 pixels";
  wrapped->resize(200, 50);
  EXPECT_GT(wrapped->sizeHint().height(), one.height()) << "narrower: more lines";

  auto single = ShownLabel(Ansi(u8"<A href=\"O\">Speicherort öffnen</A>"), {10, 10});
  single->setWordWrap(false);
  single->adjustSize();
  EXPECT_GE(single->width(), single->fontMetrics().horizontalAdvance(QString::fromUtf8("Speicherort öffnen")) - 4);
  EXPECT_EQ(single->AnchorAt(QPoint(single->width() / 2, single->height() / 2)), 1);
}

TEST(HtmlLinkLabel, LinksAreDrawnInTheLinkColour) {
  auto label = ShownLabel("Text <A href=\"x\">Link</A>", {200, 30});
  QPalette colors = label->palette();
  colors.setColor(QPalette::Link, QColor(0, 0, 255));
  colors.setColor(QPalette::WindowText, QColor(0, 0, 0));
  colors.setColor(QPalette::Window, QColor(255, 255, 255));
  label->setPalette(colors);
  label->setAutoFillBackground(true);
  QImage image = label->grab().toImage();
  const QRect link = label->AnchorRect(1);
  int blue = 0, blueOutside = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor pixel = image.pixelColor(x, y);
      const bool isBlue = pixel.blue() > 150 && pixel.red() < 100 && pixel.green() < 100;
      if (!isBlue) continue;
      (link.contains(x, y) ? blue : blueOutside)++;
    }
  }
  EXPECT_GT(blue, 10) << "the link's letters and underline";
  EXPECT_EQ(blueOutside, 0) << "the plain text stays in the text colour";
}

}  // namespace
}  // namespace wb::gui
