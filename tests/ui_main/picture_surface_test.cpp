// The kept image of the list: logical units on pixels, and text cut at the next cell.
#include <gtest/gtest.h>

#include <QImage>

#include "ui/main/picture_surface.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor::test {
namespace {

constexpr qint32 kBackground = 0xC0FFFF;  // 0x00BBGGRR

int darkPixels(const QImage& img, const QRect& area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (qGray(img.pixel(x, y)) < 100) ++n;
  return n;
}

class PictureSurfaceTest : public ::testing::Test {
 protected:
  PictureSurfaceTest() {
    s.clear(QSize(320, 520), 1.0, kBackground);
    s.setScale(160, 260);
  }
  PictureSurface s;
};

TEST_F(PictureSurfaceTest, BoxesAreMappedFromLogicalUnits) {
  s.fillBox(10, 20, 30, 40, 0x0000FF);  // red
  const QImage& img = s.image();
  EXPECT_EQ(QColor(img.pixel(21, 41)), QColor(Qt::red));
  EXPECT_EQ(QColor(img.pixel(79, 119)), QColor(Qt::red));
  EXPECT_NE(QColor(img.pixel(19, 41)), QColor(Qt::red));
  EXPECT_NE(QColor(img.pixel(82, 100)), QColor(Qt::red));
  EXPECT_NE(QColor(img.pixel(50, 122)), QColor(Qt::red));
}

TEST_F(PictureSurfaceTest, OutlineLiesOnTheBoxEdges) {
  s.fillBox(10, 10, 20, 20, 0xFFFFFF);
  s.setLineWidth(1);
  s.outlineBox(10, 10, 20, 20, 0);
  const QImage& img = s.image();
  EXPECT_EQ(QColor(img.pixel(20, 30)), QColor(Qt::black));  // left edge
  EXPECT_EQ(QColor(img.pixel(60, 30)), QColor(Qt::black));  // right edge
  EXPECT_EQ(QColor(img.pixel(30, 60)), QColor(Qt::black));  // bottom edge
  EXPECT_EQ(QColor(img.pixel(40, 40)), QColor(Qt::white));  // inside untouched
}

TEST_F(PictureSurfaceTest, TextRunsOnUntilTheNextCellIsFilled) {
  s.setFont(u"ＭＳ 明朝"_s, 12);
  s.setTextColor(0);
  s.fillBox(0, 0, 20, 20, 0xFFFFFF);
  s.drawText(1, 1, u"とても長い名前の人がいます"_s);
  const QRect nextCell(42, 4, 76, 30);  // the cell right of x = 20 units
  EXPECT_GT(darkPixels(s.image(), nextCell), 0) << "the text is not clipped by its cell";
  s.fillBox(20, 0, 40, 20, 0xFFFFFF);
  EXPECT_EQ(darkPixels(s.image(), nextCell), 0);
  EXPECT_GT(darkPixels(s.image(), QRect(2, 2, 36, 36)), 0);
}

TEST_F(PictureSurfaceTest, FontSizeIsInPointsNotInLogicalUnits) {
  // The same text at the same point size covers the same pixel height on a picture
  // twice as tall: the logical scale does not stretch the font.
  s.setFont(u"ＭＳ 明朝"_s, 10);
  s.setTextColor(0);
  s.drawText(0, 0, u"田"_s);
  PictureSurface tall;
  tall.clear(QSize(320, 1040), 1.0, kBackground);
  tall.setScale(160, 260);
  tall.setFont(u"ＭＳ 明朝"_s, 10);
  tall.setTextColor(0);
  tall.drawText(0, 0, u"田"_s);
  auto inkHeight = [](const QImage& img) {
    int top = -1, bottom = -1;
    for (int y = 0; y < 60; ++y)
      if (darkPixels(img, QRect(0, y, 40, 1)) > 0) {
        if (top < 0) top = y;
        bottom = y;
      }
    return bottom - top;
  };
  const int h = inkHeight(s.image());
  EXPECT_GT(h, 5);
  EXPECT_EQ(inkHeight(tall.image()), h);
}

}  // namespace
}  // namespace velnor::test
