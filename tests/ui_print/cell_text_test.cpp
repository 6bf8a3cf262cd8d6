// Fitting a cell's text into its cell, on a recording surface whose font model does not
// depend on the fonts installed; and the printed table's worst cases.
#include <gtest/gtest.h>

#include "core/cell_text.h"
#include "print_fixture.h"

namespace velnor::test {
namespace {

const QString kFont = u"ＭＳ 明朝"_s;

// The texts drawn after `fill` up to the next fill: one cell's text pieces.
struct CellDrawing {
  QRectF cell;
  QList<DrawOp> texts;
};

QList<CellDrawing> cellsOf(const RecordingSurface& s) {
  QList<CellDrawing> cells;
  for (const DrawOp& op : s.ops) {
    if (op.kind == DrawOp::Fill) cells.append({QRectF(op.x, op.y, op.w, op.h), {}});
    if (op.kind == DrawOp::Outline) break;  // the footer is no cell's text
    if (op.kind == DrawOp::Text && !cells.isEmpty()) cells.last().texts.append(op);
  }
  return cells;
}

QString joined(const QList<DrawOp>& texts) {
  QString out;
  for (const DrawOp& t : texts) out += t.text;
  return out;
}

// A little slack for the arithmetic of positions in floating point.
bool inside(const DrawOp& text, const QRectF& cell) {
  constexpr double e = 1e-9;
  return text.x >= cell.left() - e && text.y >= cell.top() - e &&
         text.x + text.w <= cell.right() + e && text.y + text.h <= cell.bottom() + e;
}

class CellText : public ::testing::Test {
 protected:
  // Draws `text` in a cell of `width` x `height` at (10, 20), starting at (+1, +1),
  // with the row's type at 10 points; returns the cell's text pieces.
  QList<DrawOp> draw(const QString& text, double width, double height, bool fit = true) {
    s.ops.clear();
    s.setFont(kFont, 10);
    cell = QRectF(10, 20, width, height);
    drawCellText(s, {kFont, 10, fit}, cell, {11, 21}, text);
    QList<DrawOp> texts = s.ofKind(DrawOp::Text);
    return texts;
  }

  RecordingSurface s;  // 10 points: a full-width character 3.5 units wide, 4.2 high
  QRectF cell;
};

TEST_F(CellText, aTextThatFitsIsDrawnWhereAndHowItAlwaysWas) {
  const auto texts = draw(u"1,8"_s, 9, 10);  // 1.5 em = 5.25 units from x + 1
  ASSERT_EQ(texts.size(), 1);
  EXPECT_EQ(texts[0].text, u"1,8"_s);
  EXPECT_EQ(QPointF(texts[0].x, texts[0].y), QPointF(11, 21));
  EXPECT_DOUBLE_EQ(texts[0].size, 10);
  EXPECT_EQ(s.ofKind(DrawOp::Font).size(), 1);  // no change of type
}

TEST_F(CellText, aTextTooWideIsMadeSmallerOnOneLineWhileSixtyPercentIsEnough) {
  const auto texts = draw(u"13,14"_s, 9, 10);  // 2.5 em = 8.75 units at the row's size
  ASSERT_EQ(texts.size(), 1);
  EXPECT_EQ(texts[0].text, u"13,14"_s);
  EXPECT_LT(texts[0].size, 10);
  EXPECT_GE(texts[0].size, 6);
  EXPECT_TRUE(inside(texts[0], cell));
}

TEST_F(CellText, aTextTooWideEvenAtSixtyPercentWrapsAfterACommaAtThatSize) {
  const auto texts = draw(kLongDates, 12, 10);  // 6 em = 12.6 units at 6 points
  ASSERT_EQ(texts.size(), 2);
  EXPECT_EQ(texts[0].text + u'|' + texts[1].text, u"1,8,15,|22,29"_s);
  EXPECT_DOUBLE_EQ(texts[0].size, 6);
  EXPECT_DOUBLE_EQ(texts[1].size, 6);
  EXPECT_GT(texts[1].y, texts[0].y);
  for (const DrawOp& t : texts) EXPECT_TRUE(inside(t, cell));
}

// Where even two lines at 60 % do not fit, every character is still printed, smaller.
TEST_F(CellText, aTextTooLongForTwoLinesGetsSmallerStillAndStaysInside) {
  for (const QString& text : {kLongTerritory, kLongDates}) {
    SCOPED_TRACE(text.toStdString());
    const auto texts = draw(text, 7, 5.5556);
    EXPECT_EQ(joined(texts), text);
    for (const DrawOp& t : texts) {
      EXPECT_LT(t.size, 6);
      EXPECT_TRUE(inside(t, cell));
    }
  }
}

TEST_F(CellText, aRowTooLowForTheUsualInsetCentresTheText) {
  const auto texts = draw(u"5"_s, 9, 0.8);  // a line of 1 point is 0.42 units high
  ASSERT_EQ(texts.size(), 1);
  EXPECT_TRUE(inside(texts[0], cell));
  EXPECT_NEAR(texts[0].y + texts[0].h / 2, cell.center().y(), 1e-9);
}

TEST_F(CellText, withoutFittingATextRunsOnAsItIs) {
  const auto texts = draw(kLongDates, 9, 10, false);
  ASSERT_EQ(texts.size(), 1);
  EXPECT_EQ(QPointF(texts[0].x, texts[0].y), QPointF(11, 21));
  EXPECT_DOUBLE_EQ(texts[0].size, 10);
}

TEST_F(CellText, theRowsTypeIsBackAfterAFittedText) {
  draw(kLongDates, 12, 10);
  const auto fonts = s.ofKind(DrawOp::Font);
  ASSERT_GE(fonts.size(), 2);
  EXPECT_EQ(fonts.last().text, kFont);
  EXPECT_DOUBLE_EQ(fonts.last().size, 10);
}

// The printed page at the row heights 1, 10 and 20 with the longest texts in every cell
// of a twelve-month table: every character is drawn, none beyond its cell.
class WorstCase : public PrintWindow, public ::testing::WithParamInterface<int> {};

TEST_P(WorstCase, everyCharacterOfEveryCellIsDrawnInsideItsCell) {
  m.RowHeight = qint16(GetParam());
  makeLongPeople(3);
  m.ReadMode = 1;
  ASSERT_TRUE(m.ReadIndex());
  auto form = openWindow();
  RecordingSurface paper;
  form->draw_rutin(paper, 1.0);  // factor 1: the printer's type
  const QList<CellDrawing> cells = cellsOf(paper);
  ASSERT_EQ(cells.size(), 14 * 4);
  for (int c = 14; c < cells.size(); ++c) {
    const int column = c % 14;
    const QString expected = column == 0   ? kLongTerritory.chopped(1) + QChar(u'０' + c / 14 - 1)
                             : column == 1 ? kLongName.chopped(1) + QChar(u'０' + c / 14 - 1)
                                           : kLongDates;
    SCOPED_TRACE(c);
    EXPECT_EQ(joined(cells[c].texts), expected);
    for (const DrawOp& t : cells[c].texts) EXPECT_TRUE(inside(t, cells[c].cell));
  }
}

INSTANTIATE_TEST_SUITE_P(RowHeights, WorstCase, ::testing::Values(1, 10, 20));

}  // namespace
}  // namespace velnor::test
