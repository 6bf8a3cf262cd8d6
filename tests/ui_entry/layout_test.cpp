// The input screen scales its controls and fonts with its inner size.

#include "entry_fixture.h"

namespace velnor::test {
namespace {

// Inner sizes in pixels where the scale factors are exact: 416 px = 6240 twips = 1.25 ×
// 4992, 382 px = 5730 twips = 1.25 × 4584.
constexpr int kWidth = 416, kHeight = 382;

class LayoutTest : public OpenEntryTest {
 protected:
  void resizeInner(int w, int h) {
    form->resize(w, h);
    form->Form_Resize();
  }
  // A design rectangle in twips scaled by (sx, sy), in pixels.
  static QRect scaled(double l, double t, double w, double h, double sx, double sy) {
    auto px = [](double twips) { return int(std::lround(twips / 15)); };
    return QRect(px(l * sx), px(t * sy), px(w * sx), px(h * sy));
  }
  static double points(QWidget* w) { return w->font().pointSizeF(); }
};

TEST_F(LayoutTest, ControlsScaleWithTheInnerSizeAndFontsWithTheHeightOrANarrowWidth) {
  const double s = 1.25;
  resizeInner(kWidth, kHeight);
  EXPECT_EQ(form->noteBox()->geometry(), scaled(1620, 1260, 3312, 1392, s, s));
  // Month 7 sits in column 3, row 2.
  EXPECT_EQ(form->monthCell(7)->geometry(), scaled(3480, 3180, 612, 252, s, s));
  EXPECT_NEAR(points(form->Text2), 9 * s, 0.01);
  EXPECT_NEAR(points(form->Label3), 192 * s / 30, 0.01);

  resizeInner(2 * kWidth, kHeight);
  EXPECT_EQ(form->Command1->geometry(), scaled(60, 120, 492, 252, 2 * s, s));
  EXPECT_NEAR(points(form->Command1), 8 * s, 0.01);

  resizeInner(kWidth / 2, kHeight);
  EXPECT_NEAR(points(form->Label3), 1500 * 0.625 / 150, 0.01);
  EXPECT_NEAR(points(form->Command5), 492 * 0.625 / 70, 0.01);
  EXPECT_NEAR(points(form->Text2), 9 * s, 0.01);

  m.NoteFontSize = 20;
  resizeInner(kWidth, 2 * kHeight);
  EXPECT_NEAR(points(form->noteBox()), 20 * 2.5, 0.01);
  EXPECT_NEAR(points(form->List2), 20 * 2.5, 0.01);
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
  form->Form_Resize();
  EXPECT_EQ(form->noteBox()->geometry(), before);
  form->showNormal();
  form->Form_Resize();
  EXPECT_NE(form->noteBox()->geometry(), before);
}

}  // namespace
}  // namespace velnor::test
