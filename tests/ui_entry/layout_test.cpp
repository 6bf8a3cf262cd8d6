// The input screen scales its controls and fonts with its inner size.

#include "entry_fixture.h"

namespace velnor::test {
namespace {

// An inner size a quarter larger than the design's (4992 × 4584 twips).
constexpr int kWidth = 416, kHeight = 382;

class LayoutTest : public OpenEntryTest {
 protected:
  void resizeInner(int w, int h) { form->resize(w, h); }
  static double points(QWidget* w) { return w->font().pointSizeF(); }
  template <class Control>
  static bool captionFits(Control* c) {
    return QFontMetrics(c->font()).horizontalAdvance(c->text()) <= c->width();
  }
};

// Type follows the height alone; the boxes grow with the whole size. Half as wide: captions
// shrink to fit, the boxes' type stays.
TEST_F(LayoutTest, TypeFollowsTheHeightBoxesTheSizeAndCaptionsShrinkToFit) {
  resizeInner(kWidth, kHeight);
  const double name = points(form->Text2), button = points(form->Command1);
  const double label = points(form->Label3);
  const QSize note = form->noteBox()->size();
  resizeInner(kWidth / 2, kHeight);
  EXPECT_LT(points(form->Label3), label);
  EXPECT_TRUE(captionFits(form->Label3));
  EXPECT_TRUE(captionFits(form->Command5));
  EXPECT_NEAR(points(form->Text2), name, 0.01);
  resizeInner(2 * kWidth, kHeight);
  EXPECT_NEAR(points(form->Command1), button, 0.01);
  resizeInner(2 * kWidth, 2 * kHeight);
  EXPECT_NEAR(points(form->Text2) / name, 2, 0.01);
  EXPECT_NEAR(points(form->Command1) / button, 2, 0.01);
  EXPECT_NEAR(form->noteBox()->width(), 2 * note.width(), 1);
  EXPECT_NEAR(form->noteBox()->height(), 2 * note.height(), 1);
}

// Every box inside the screen, and the month information's caption at its widest month
// whole, at every size the layout takes: narrow, wide, tall, short.
TEST_F(LayoutTest, EveryBoxStaysInsideAndTheMonthInformationCaptionIsNeverCutOff) {
  QList<QSize> sizes{
      {kWidth, kHeight}, {2 * kWidth, kHeight}, {kWidth / 2, kHeight}, {kWidth, 2 * kHeight}};
  for (int w = 60; w < 1600; w += 97)
    for (int h = 30; h < 1200; h += 83) sizes << QSize(w, h);
  QList<QWidget*> boxes{form->Text2, form->Text3, form->noteBox(),
                        form->Text4, form->List2, form->Combo1};
  for (int month = 1; month <= 12; ++month) boxes << form->monthCell(month);
  for (const QSize size : sizes) {
    resizeInner(size.width(), size.height());
    for (QWidget* box : boxes)
      EXPECT_TRUE(form->rect().contains(box->geometry()))
          << box->objectName().toStdString() << " at " << QTest::toString(size);
    const QLabel* caption = form->Label8;
    const QRect needed =
        QFontMetrics(caption->font())
            .boundingRect(caption->contentsRect(), caption->alignment(), u" 12月の\n情報"_s);
    EXPECT_TRUE(caption->contentsRect().contains(needed))
        << QTest::toString(size) << QTest::toString(needed) << QTest::toString(caption->rect());
  }
}

TEST_F(LayoutTest, TheNoteAndTheNameListTakeTheChosenSizeScaledLikeTheScreen) {
  m.NoteFontSize = 20;
  resizeInner(kWidth, 2 * kHeight);
  EXPECT_NEAR(points(form->noteBox()) / points(form->Text2), 20 / 9.0, 0.01);
  EXPECT_NEAR(points(form->List2), points(form->noteBox()), 0.01);
}

TEST_F(LayoutTest, TooSmallOrMinimizedOrFillingLeavesTheLastLayout) {
  resizeInner(kWidth, kHeight);
  const QRect before = form->noteBox()->geometry();
  resizeInner(39, kHeight);     // 585 twips, below 600
  resizeInner(kWidth * 2, 19);  // 285 twips, below 300
  m.EditsEnabled = false;
  resizeInner(kWidth * 2, kHeight * 2);
  m.EditsEnabled = true;
  form->showMinimized();
  form->layOut();
  EXPECT_EQ(form->noteBox()->geometry(), before);
  form->showNormal();
  form->layOut();
  EXPECT_NE(form->noteBox()->geometry(), before);
}

}  // namespace
}  // namespace velnor::test
