// Fitting a cell's text into its cell, on a recording surface whose font model does not
// depend on the fonts installed (the printed table's worst cases are checked on the PDF).
#include <gtest/gtest.h>

#include "core/cell_text.h"
#include "print_fixture.h"

namespace velnor::test {
namespace {

const QString kFont = u"ＭＳ 明朝"_s;

struct Fitting {
  QString text;
  double width, points;  // of the cell at (10, 20), 5.5556 high; the text starts at (11, 21)
  bool fit;
  QStringList lines;         // as drawn
  double smallest, largest;  // type size range, points (the floor is 7)
};

// At 7 points the model's half-width character is 1.225 units wide and a line 2.94 high;
// a cell 12 wide holds 8 of them on a line.
const Fitting kFittings[] = {
    {u"1,8"_s, 9, 10, true, {u"1,8"_s}, 10, 10},       // fits as it is
    {u"13,14"_s, 9, 10, true, {u"13,14"_s}, 7, 9.99},  // smaller on one line
    {kBusyDates, 12, 10, true, {u"1,3,5,8,"_s, u"10,12,"_s, u"15,17,"_s, u"19,22"_s}, 7, 7},
    {u"5/14,5/23,5/26"_s, 12, 10, true, {u"5/14,"_s, u"5/23,"_s, u"5/26"_s}, 7, 7},
    {u"1, 8, 15, 22"_s, 12, 10, true, {u"1, 8, "_s, u"15, 22"_s}, 7, 7},  // spaces hang
    // One word wider than the cell is broken inside, at the cell's width.
    {u"東町三丁目西側"_s, 7, 10, true, {u"東町"_s, u"三丁"_s, u"目西"_s, u"側"_s}, 7, 7},
    {kBusyDates, 12, 5, true, {u"1,3,5,8,10,"_s, u"12,15,17,19,"_s, u"22"_s}, 5, 5},  // small row
                                                                                      // type
    {kBusyDates, 9, 10, false, {kBusyDates}, 10, 10},  // the screen: as it is
};

void PrintTo(const Fitting& f, std::ostream* os) {
  *os << f.text.toStdString() << " in " << f.width << " at " << f.points;
}

class CellText : public ::testing::TestWithParam<Fitting> {
 protected:
  void SetUp() override {
    const CellTextStyle style{kFont, GetParam().points, GetParam().fit, 7};
    s.setFont(kFont, style.points);
    layout = layoutCellText(s, style, cell, {11, 21}, GetParam().text);
    drawCellText(s, style, cell, {11, 21}, GetParam().text);
    texts = s.ofKind(DrawOp::Text);
  }
  RecordingSurface s;
  const QRectF cell{10, 20, GetParam().width, 5.5556};
  CellTextLayout layout;
  QList<DrawOp> texts;
};

// Each line inside the cell, grown as high as the lines need, and the row kept as it is
// for one line.
TEST_P(CellText, wrapsBetweenDatesInsideTheGrownCellAtTheFloorOrLarger) {
  const Fitting& f = GetParam();
  EXPECT_EQ(s.texts(), f.lines);
  const QRectF grown(cell.topLeft(), QSizeF(cell.width(), layout.height));
  if (f.fit) {
    EXPECT_EQ(layout.height > cell.height(), f.lines.size() > 1);
  }
  for (const DrawOp& t : texts) {
    constexpr double e = 1e-9;  // floating-point slack
    if (f.fit) {
      EXPECT_TRUE(t.x >= grown.left() - e && t.y >= grown.top() - e &&
                  t.x + s.measureText(kFont, t.size, t.text.trimmed()).width() <=
                      grown.right() + e &&
                  t.y + t.h <= grown.bottom() + e)
          << t.text.toStdString();
    }
    EXPECT_GE(t.size, f.smallest);
    EXPECT_LE(t.size, f.largest);
  }
  if (texts.size() == 1 && texts[0].size == f.points) {  // drawn as it always was
    EXPECT_DOUBLE_EQ(texts[0].x, 11);
    EXPECT_DOUBLE_EQ(texts[0].y, 21);
  }
  const DrawOp font = s.ofKind(DrawOp::Font).last();  // the row's type for the next cell
  EXPECT_EQ(font.text, kFont);
  EXPECT_DOUBLE_EQ(font.size, f.points);
}

INSTANTIATE_TEST_SUITE_P(Cells, CellText, ::testing::ValuesIn(kFittings));

}  // namespace
}  // namespace velnor::test
