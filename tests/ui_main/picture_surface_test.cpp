// The kept image of the list: logical units on pixels, and text cut at the next cell.
#include <gtest/gtest.h>

#include <QImage>

#include "ui/main/picture_surface.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor::test {
namespace {

int darkPixels(const QImage& img, const QRect& area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += qGray(img.pixel(x, y)) < 100;
  return n;
}

// A 160 × 260 unit picture, 320 pixels wide and `height` high, with a 10-point black font.
void prepare(PictureSurface& s, int height) {
  s.clear(QSize(320, height), 1.0, 0xC0FFFF);
  s.setScale(160, 260);
  s.setFont(u"ＭＳ 明朝"_s, 10);
  s.setTextColor(0);
}

TEST(PictureSurface, TextRunsOnUntilTheNextCellIsFilled) {
  PictureSurface s;
  prepare(s, 520);
  s.fillBox(0, 0, 20, 20, 0xFFFFFF);
  s.drawText(1, 1, u"とても長い名前の人がいます"_s);
  const QRect nextCell(42, 4, 76, 30);  // right of x = 20 units, inside the box below
  EXPECT_GT(darkPixels(s.image(), nextCell), 0) << "the text is not clipped by its own cell";
  s.fillBox(20, 0, 40, 20, 0xFFFFFF);
  EXPECT_EQ(darkPixels(s.image(), nextCell), 0);
  EXPECT_GT(darkPixels(s.image(), QRect(2, 2, 36, 36)), 0);
}

// The logical scale does not stretch the font: the same points ink the same pixel height.
TEST(PictureSurface, FontSizeIsInPointsNotInLogicalUnits) {
  int inked[2] = {0, 0};  // rows with ink; the glyph has no gap from top to bottom
  for (int i : {0, 1}) {
    PictureSurface s;
    prepare(s, 520 << i);
    s.drawText(0, 0, u"田"_s);
    for (int y = 0; y < 60; ++y) inked[i] += darkPixels(s.image(), QRect(0, y, 40, 1)) > 0;
  }
  EXPECT_GT(inked[0], 5);
  EXPECT_EQ(inked[1], inked[0]);
}

}  // namespace
}  // namespace velnor::test
