// The print image window: its controls, the preview, its keys and how it closes.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest/QTest>

#include "print_fixture.h"
#include "ui/common/twips.h"
#include "ui/print/page_surface.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor::test {
namespace {

using Form2Window = PrintTest;

// The preview pixel at page coordinates (x, y); offscreen has one device pixel per pixel.
QRgb previewPixel(const Form2& form, double x, double y) {
  const QImage& image = form.previewImage();
  const int px = int((x - kPageLeft) * image.width() / (kPageRight - kPageLeft));
  const int py = int((y - kPageTop) * image.height() / (kPageBottom - kPageTop));
  return image.pixel(px, py) & 0xFFFFFF;
}

TEST_F(Form2Window, showsItsCaptionsTooltipsAndFixedLayout) {
  makePeople(1);
  auto form = openWindow();
  EXPECT_EQ(form->windowTitle(), u"印刷イメージの表示"_s);
  EXPECT_EQ(form->Label1->text(), u"Ｂ５の用紙に印刷します…"_s);
  EXPECT_EQ(form->Command1->text(), u"印刷"_s);
  EXPECT_EQ(form->Command1->toolTip(), u"印刷します。(F7)"_s);
  EXPECT_EQ(form->Command5->text(), u"OK"_s);
  EXPECT_EQ(form->Command5->toolTip(), u"この画面を消します。(F4)"_s);
  EXPECT_TRUE(form->Command2->isHidden());
  EXPECT_EQ(form->size(), QSize(286, 368));
  EXPECT_EQ(form->Command1->geometry(), QRect(248, 324, 33, 37));
  EXPECT_EQ(form->minimumSize(), form->maximumSize());  // no resizing
  EXPECT_EQ(m.IgnoreSpanClick, 0);
}

TEST_F(Form2Window, previewIsOneThirdOfAJisB5Sheet) {
  makePeople(1);
  auto form = openWindow();
  // 182 x 257 mm at a third of the size, 15 twips to the pixel.
  EXPECT_EQ(form->Picture1->size(), QSize(229, 324));
  EXPECT_EQ(form->previewImage().deviceIndependentSize(), QSizeF(229, 324));
  EXPECT_EQ(form->Picture1->pos(), QPoint(8, 32));
}

TEST_F(Form2Window, previewFontFactorShrinksFontsLikeThePicture) {
  makePeople(1);
  auto form = openWindow();
  EXPECT_GT(form->ScaleFactor, 0.0);
  EXPECT_LT(form->ScaleFactor, 1.0);
  // The picture is a third of the paper, so its fonts must be about a third as large.
  EXPECT_NEAR(form->ScaleFactor, 1.0 / 3.0, 0.08);
}

TEST_F(Form2Window, previewUsesReducedRowsAndScaledFont) {
  makePeople(2);
  m.RowHeight = 18;
  auto form = openWindow();
  RecordingSurface surface;
  m.PersonCount = 2;
  form->draw_rutin(surface, form->ScaleFactor);
  const auto fonts = surface.ofKind(DrawOp::Font);
  ASSERT_FALSE(fonts.isEmpty());
  EXPECT_DOUBLE_EQ(fonts.first().size, 18 * form->ScaleFactor);
  const auto outlines = surface.ofKind(DrawOp::Outline);
  ASSERT_FALSE(outlines.isEmpty());
  EXPECT_DOUBLE_EQ(outlines.first().h, 3 * 10.0);  // header + 2 rows of 18 * 5 / 9
}

TEST_F(Form2Window, activationDrawsTheTableIntoThePreview) {
  makePeople(3);
  auto form = openWindow();
  form->show();
  QApplication::setActiveWindow(form.get());
  // Header fill inside the territory header cell; blank paper in the margins.
  EXPECT_EQ(previewPixel(*form, 45, 3), fromBgr(m.HeaderFillColor).rgb() & 0xFFFFFF);
  EXPECT_EQ(previewPixel(*form, 100, 3 * 5.5556 + 2), fromBgr(m.BackColors[1]).rgb() & 0xFFFFFF);
  EXPECT_EQ(previewPixel(*form, -6, 3), 0xFFFFFFu);
  EXPECT_EQ(previewPixel(*form, 185, 3), 0xFFFFFFu);
  EXPECT_EQ(m.PersonCount, 3);
}

TEST_F(Form2Window, redrawShowsPeopleRemovedMeanwhileAsBlankPaper) {
  makePeople(6);
  auto form = openWindow();
  form->Form_Activate();
  const double sixthRow = 6 * 5.5556 + 2;
  ASSERT_NE(previewPixel(*form, 100, sixthRow), 0xFFFFFFu);
  makePeople(2);  // the folder was shortened while the window was hidden
  form->Form_Activate();
  EXPECT_EQ(previewPixel(*form, 100, sixthRow), 0xFFFFFFu);
  EXPECT_NE(previewPixel(*form, 100, 2 * 5.5556 + 2), 0xFFFFFFu);
}

TEST_F(Form2Window, longFolderPreviewShowsFirstPageAndSaysHowManyPages) {
  makePeople(120);
  auto form = openWindow();
  form->Form_Activate();
  EXPECT_EQ(form->Picture1->toolTip(), u"1ページ目（全3ページ）"_s);
  EXPECT_NE(previewPixel(*form, 100, 49 * 5.5556 + 2), 0xFFFFFFu);
  // The preview is the first sheet: the 50th person, who would be cut, starts page 2.
  RecordingSurface firstPage;
  form->draw_rutin(firstPage, form->ScaleFactor);
  EXPECT_TRUE(firstPage.texts().contains(u"名前48"_s));
  EXPECT_FALSE(firstPage.texts().contains(u"名前49"_s));
}

TEST_F(Form2Window, f4ReleaseClosesAndUnloads) {
  makePeople(1);
  auto form = openWindow();
  form->show();
  QTest::keyRelease(form->Command5, Qt::Key_F4);
  EXPECT_FALSE(form->isVisible());
  EXPECT_TRUE(form->isUnloaded());
  EXPECT_TRUE(pdfFiles().isEmpty());
}

TEST_F(Form2Window, f7ReleasePrintsOnceAndOnlyHides) {
  makePeople(1);
  auto form = openWindow();
  form->show();
  QTest::keyRelease(form->Label1, Qt::Key_F7);
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(form->isUnloaded());
  EXPECT_EQ(pdfFiles(), QStringList{u"再訪問記録一覧_20261206_1530.pdf"_s});
  EXPECT_EQ(shell.messages.size(), 1);  // the release reached the window only once
}

TEST_F(Form2Window, autoRepeatedF7DoesNotPrintAgain) {
  makePeople(1);
  auto form = openWindow();
  form->show();
  QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_F7, Qt::NoModifier, QString(), true);
  QApplication::sendEvent(form->Command1, &repeat);
  EXPECT_TRUE(pdfFiles().isEmpty());
  EXPECT_TRUE(form->isVisible());
}

TEST_F(Form2Window, otherKeysDoNothing) {
  makePeople(1);
  auto form = openWindow();
  form->show();
  for (Qt::Key key : {Qt::Key_F5, Qt::Key_F6, Qt::Key_Escape, Qt::Key_A}) {
    QTest::keyClick(form.get(), key);
    QTest::keyRelease(form.get(), key);
  }
  EXPECT_TRUE(form->isVisible());
  EXPECT_FALSE(form->isUnloaded());
  EXPECT_TRUE(pdfFiles().isEmpty());
}

TEST_F(Form2Window, okButtonAndCloseBoxUnload) {
  makePeople(1);
  auto byButton = openWindow();
  byButton->show();
  QTest::mouseClick(byButton->Command5, Qt::LeftButton);
  EXPECT_FALSE(byButton->isVisible());
  EXPECT_TRUE(byButton->isUnloaded());

  auto byCloseBox = openWindow();
  byCloseBox->show();
  byCloseBox->close();
  EXPECT_FALSE(byCloseBox->isVisible());
  EXPECT_TRUE(byCloseBox->isUnloaded());
}

TEST_F(Form2Window, reshowingAfterPrintingRedrawsWithoutReloading) {
  makePeople(2);
  auto form = openWindow();
  form->show();
  form->Command1->click();
  ASSERT_FALSE(form->isVisible());
  const double factor = form->ScaleFactor;
  makePeople(4);
  form->show();
  QApplication::setActiveWindow(form.get());
  EXPECT_EQ(form->ScaleFactor, factor);
  EXPECT_NE(previewPixel(*form, 100, 4 * 5.5556 + 2), 0xFFFFFFu);
}

}  // namespace
}  // namespace velnor::test
