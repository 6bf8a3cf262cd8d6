// Fitting a cell's text into its cell, on a recording surface whose font model does not
// depend on the fonts installed (the printed table's worst cases are checked on the PDF).
#include <gtest/gtest.h>

#include "core/cell_text.h"
#include "print_fixture.h"

namespace velnor::test {
namespace {

const QString kFont = u"ＭＳ 明朝"_s;

bool inside(const DrawOp& text, const QRectF& cell) {
  constexpr double e = 1e-9;  // floating-point slack
  return text.x >= cell.left() - e && text.y >= cell.top() - e &&
         text.x + text.w <= cell.right() + e && text.y + text.h <= cell.bottom() + e;
}

struct Fitting {
  QString text;
  double width, height;  // of the cell at (10, 20); the text starts at (11, 21) as it is
  bool fit;
  QStringList lines;         // expected pieces; empty: the whole text on one line or two
  double smallest, largest;  // type size range, points (the row's is 10)
};

// At 10 points the model's full-width character is 3.5 units wide and a line 4.2 high.
const Fitting kFittings[] = {
    {u"1,8"_s, 9, 10, true, {u"1,8"_s}, 10, 10},                   // fits as it is
    {u"13,14"_s, 9, 10, true, {u"13,14"_s}, 6, 9.99},              // smaller on one line
    {kLongDates, 12, 10, true, {u"1,8,15,"_s, u"22,29"_s}, 6, 6},  // two lines at 60 %
    {kLongDates, 7, 5.5556, true, {}, 0.1, 5.99},                  // smaller still
    {kLongTerritory, 7, 5.5556, true, {}, 0.1, 5.99},
    {u"5"_s, 9, 0.8, true, {u"5"_s}, 1, 10},           // a row lower than the inset
    {kLongDates, 9, 10, false, {kLongDates}, 10, 10},  // the screen: as it is
};

void PrintTo(const Fitting& f, std::ostream* os) {
  *os << f.text.toStdString() << " in " << f.width << " x " << f.height;
}

class CellText : public ::testing::TestWithParam<Fitting> {
 protected:
  void SetUp() override {
    s.setFont(kFont, 10);
    drawCellText(s, {kFont, 10, GetParam().fit}, cell, {11, 21}, GetParam().text);
    texts = s.ofKind(DrawOp::Text);
  }
  RecordingSurface s;
  const QRectF cell{10, 20, GetParam().width, GetParam().height};
  QList<DrawOp> texts;
};

TEST_P(CellText, allOfTheTextInsideTheCellAtTheRowsTypeOrSmaller) {
  const Fitting& f = GetParam();
  QString joined;
  for (const DrawOp& t : texts) {
    joined += t.text;
    if (f.fit) {
      EXPECT_TRUE(inside(t, cell)) << t.text.toStdString();
    }
    EXPECT_GE(t.size, f.smallest);
    EXPECT_LE(t.size, f.largest);
  }
  EXPECT_EQ(joined, f.text);
  if (!f.lines.isEmpty()) {
    EXPECT_EQ(s.texts(), f.lines);
  }
  if (texts.size() == 1 && texts[0].size == 10) {  // drawn as it always was
    EXPECT_DOUBLE_EQ(texts[0].x, 11);
    EXPECT_DOUBLE_EQ(texts[0].y, 21);
  }
}

TEST_P(CellText, leavesTheRowsTypeForTheNextCell) {
  const DrawOp font = s.ofKind(DrawOp::Font).last();
  EXPECT_EQ(font.text, kFont);
  EXPECT_DOUBLE_EQ(font.size, 10);
}

INSTANTIATE_TEST_SUITE_P(Cells, CellText, ::testing::ValuesIn(kFittings));

}  // namespace
}  // namespace velnor::test
