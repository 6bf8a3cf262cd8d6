// Fitting a cell's text into its cell, on a recording surface whose font model does not
// depend on the fonts installed; and the printed table's worst cases.
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

class CellText : public ::testing::TestWithParam<Fitting> {};

TEST_P(CellText, allOfTheTextInsideTheCellAtTheRowsTypeOrSmaller) {
  const Fitting& f = GetParam();
  RecordingSurface s;
  s.setFont(kFont, 10);
  const QRectF cell(10, 20, f.width, f.height);
  drawCellText(s, {kFont, 10, f.fit}, cell, {11, 21}, f.text);
  const QList<DrawOp> texts = s.ofKind(DrawOp::Text);
  QString joined;
  for (const DrawOp& t : texts) {
    joined += t.text;
    EXPECT_TRUE(!f.fit || inside(t, cell)) << t.text.toStdString();
    EXPECT_GE(t.size, f.smallest);
    EXPECT_LE(t.size, f.largest);
  }
  EXPECT_EQ(joined, f.text);
  if (!f.lines.isEmpty()) {
    EXPECT_EQ(s.texts(), f.lines);
  }
  if (texts.size() == 1 && texts[0].size == 10) {  // drawn as it always was
    EXPECT_EQ(QPointF(texts[0].x, texts[0].y), QPointF(11, 21));
  }
  EXPECT_EQ(std::pair(s.ofKind(DrawOp::Font).last().text, s.ofKind(DrawOp::Font).last().size),
            std::pair(kFont, 10.0));  // the row's type is back for the next cell
}

INSTANTIATE_TEST_SUITE_P(Cells, CellText, ::testing::ValuesIn(kFittings));

// The printed page at the row heights 1, 10 and 20 with the longest texts in every cell
// of a twelve-month table: every character is drawn, none beyond its cell.
class WorstCase : public PrintWindow, public ::testing::WithParamInterface<int> {};

TEST_P(WorstCase, everyCharacterOfEveryCellIsDrawnInsideItsCell) {
  m.RowHeight = qint16(GetParam());
  makeLongPeople(3);
  m.ReadMode = 1;
  ASSERT_TRUE(m.ReadIndex());
  RecordingSurface paper;
  openWindow()->draw_rutin(paper, 1.0);  // factor 1: the printer's type
  // Each cell's text pieces follow its fill; the outlines come after all of them.
  QList<std::pair<QRectF, QString>> cells;
  for (const DrawOp& op : paper.ops) {
    if (op.kind == DrawOp::Outline) break;
    if (op.kind == DrawOp::Fill) cells.append({QRectF(op.x, op.y, op.w, op.h), {}});
    if (op.kind != DrawOp::Text || cells.isEmpty()) continue;
    cells.last().second += op.text;
    EXPECT_TRUE(inside(op, cells.last().first)) << op.text.toStdString();
  }
  ASSERT_EQ(cells.size(), 14 * 4);
  for (int c = 14; c < cells.size(); ++c) {
    const QChar tag(u'０' + c / 14 - 1);
    const int column = c % 14;
    EXPECT_EQ(cells[c].second, column == 0   ? kLongTerritory.chopped(1) + tag
                               : column == 1 ? kLongName.chopped(1) + tag
                                             : kLongDates);
  }
}

INSTANTIATE_TEST_SUITE_P(RowHeights, WorstCase, ::testing::Values(1, 10, 20));

}  // namespace
}  // namespace velnor::test
