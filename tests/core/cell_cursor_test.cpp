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
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, PlaceCursorTest,
    ::testing::Values(CursorCase{0, 5, 1, 0, 0, 15},     // territory of record 0
                      CursorCase{0, 5, 14, 3, 151, 9},   // December, twelve months
                      CursorCase{1, 8, 9, 0, 64, 16},    // July in August, six months
                      CursorCase{2, 6, 8, 2, 132, 28},   // June in June, three months
                      CursorCase{2, 2, 5, 0, 132, 28},   // March, window Jan..Mar
                      CursorCase{2, 12, 12, 0, 76, 28},  // October, window Oct..Dec
                      CursorCase{0, 1, 0, 1, 0, 15}));   // column 0: the territory

TEST_F(PlaceCursor, ColumnZeroBecomesTheTerritory) { EXPECT_EQ(place(0, 1, 0).CurrentColumn, 1); }

TEST_F(PlaceCursor, AHiddenMonthLeavesTheMarkerWhereItWas) {
  const double left = place(0, 1, 14).Shape1Left;
  EXPECT_DOUBLE_EQ(place(1, 8, 5).Shape1Left, left);  // March is not among July..December
}

TEST_F(PlaceCursor, AHiddenMonthStillSetsTheMonthWindow) {
  place(1, 8, 5);
  EXPECT_EQ(m.MonthColumnWidth, 16);
  EXPECT_EQ(m.FirstMonthOffset, 6);
}

TEST_F(PlaceCursor, FarRowsDoNotWrap) {
  m.RowHeight = 20;
  m.CurrentIndex = 32000;
  m.CurrentColumn = 2;
  m.PlaceCursor();
  EXPECT_DOUBLE_EQ(m.Shape1Top, 32001.0 * 20);
}

// Whether the marker goes to a month column: only the months of the window are shown.
struct WindowCase {
  int span, month, column;
  bool shown;
};

class MonthWindowEdges : public PlaceCursor, public ::testing::WithParamInterface<WindowCase> {};

TEST_P(MonthWindowEdges, MoveTheMarkerOnlyToAShownMonth) {
  const WindowCase c = GetParam();
  place(c.span, c.month, 2);  // the name cell, shown in every span
  place(c.span, c.month, c.column);
  EXPECT_EQ(m.Shape1Width == m.MonthColumnWidth, c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    FirstAndLastMonths, MonthWindowEdges,
    ::testing::Values(WindowCase{1, 3, 8, true},     // June in January..June
                      WindowCase{1, 3, 9, false},    // July
                      WindowCase{1, 7, 8, false},    // June in July..December
                      WindowCase{1, 7, 14, true},    // December
                      WindowCase{2, 2, 5, true},     // March in January..March
                      WindowCase{2, 2, 6, false},    // April
                      WindowCase{2, 6, 5, false},    // March in April..June
                      WindowCase{2, 6, 6, true},     // April
                      WindowCase{2, 6, 9, false},    // July
                      WindowCase{2, 11, 11, false},  // September in October..December
                      WindowCase{2, 11, 14, true},   // December
                      WindowCase{0, 6, 3, true}));   // January of the whole year

}  // namespace
}  // namespace velnor
