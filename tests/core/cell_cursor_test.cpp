#include <gtest/gtest.h>

#include "support/temp_program.h"

using velnor::test::TempProgram;

namespace velnor {
namespace {

class PlaceCursor : public ::testing::Test {
 protected:
  // Places the marker with rows 10 high over the cell given.
  Module1& place(int span, int month, int column, int index = 0) {
    m.RowHeight = 10;
    m.DisplaySpan = qint16(span);
    m.CurrentMonth = month;
    m.CurrentColumn = qint16(column);
    m.CurrentIndex = qint16(index);
    m.PlaceCursor();
    return m;
  }
  TempProgram p;
  Module1& m = *p.m;
};

struct CursorCase {
  int span, month, column, index;
  double left, width;  // of the marker, in list units
};

class PlaceCursorTest : public PlaceCursor, public ::testing::WithParamInterface<CursorCase> {};

TEST_P(PlaceCursorTest, PutsTheMarkerOverTheSelectedCell) {
  const CursorCase c = GetParam();
  place(c.span, c.month, c.column, c.index);
  EXPECT_TRUE(m.Shape1Visible);
  EXPECT_DOUBLE_EQ(m.Shape1Left, c.left);
  EXPECT_DOUBLE_EQ(m.Shape1Width, c.width);
  EXPECT_DOUBLE_EQ(m.Shape1Top, (c.index + 1) * 10.0);  // under the header row
  EXPECT_DOUBLE_EQ(m.Shape1Height, 10.0);
  EXPECT_EQ(m.CurrentColumn, std::max(c.column, 1));  // column 0 becomes the territory
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, PlaceCursorTest,
    ::testing::Values(CursorCase{0, 5, 1, 0, 0, 15},         // territory of record 0
                      CursorCase{0, 5, 14, 3, 151, 9},       // December, twelve months
                      CursorCase{1, 8, 9, 0, 64, 16},        // July in August, six months
                      CursorCase{1, 3, 8, 0, 144, 16},       // June in March, the first half's last
                      CursorCase{2, 6, 8, 2, 132, 28},       // June in June, three months
                      CursorCase{2, 2, 5, 0, 132, 28},       // March, window Jan..Mar
                      CursorCase{2, 12, 12, 0, 76, 28},      // October, window Oct..Dec
                      CursorCase{0, 1, 0, 1, 0, 15},         // column 0: the territory
                      CursorCase{0, 5, 2, 32000, 15, 37}));  // a far row does not wrap

// Span, current month and column of months outside the window shown: the marker stays,
// the month window is set all the same.
TEST_F(PlaceCursor, AHiddenMonthLeavesTheMarkerWhereItWas) {
  const int hidden[][3] = {{1, 8, 5},  {1, 3, 9}, {1, 7, 8},  // March, July, June by halves
                           {2, 2, 6},  {2, 6, 5}, {2, 6, 9},  // Jan..Mar, Apr..Jun
                           {2, 11, 11}};                      // September in Oct..Dec
  for (const auto& [span, month, column] : hidden) {
    const double left = place(0, 1, 14).Shape1Left;
    EXPECT_DOUBLE_EQ(place(span, month, column).Shape1Left, left) << span << month << column;
  }
  place(1, 8, 5);
  EXPECT_EQ(m.MonthColumnWidth, 16);
  EXPECT_EQ(m.FirstMonthOffset, 6);
}

}  // namespace
}  // namespace velnor
