#include <gtest/gtest.h>

#include "support/temp_program.h"

using velnor::test::TempProgram;

namespace velnor {
namespace {

struct CursorCase {
  int span, month, column, index;
  double left, width;  // of the marker, in list units
};

class PlaceCursorTest : public ::testing::TestWithParam<CursorCase> {};

TEST_P(PlaceCursorTest, PutsTheMarkerOverTheSelectedCell) {
  const CursorCase c = GetParam();
  TempProgram p;
  p.m->RowHeight = 10;
  p.m->DisplaySpan = qint16(c.span);
  p.m->CurrentMonth = c.month;
  p.m->CurrentColumn = qint16(c.column);
  p.m->CurrentIndex = qint16(c.index);
  p.m->PlaceCursor();
  EXPECT_TRUE(p.m->Shape1Visible);
  EXPECT_DOUBLE_EQ(p.m->Shape1Left, c.left);
  EXPECT_DOUBLE_EQ(p.m->Shape1Width, c.width);
  EXPECT_DOUBLE_EQ(p.m->Shape1Top, (c.index + 1) * 10.0);  // under the header row
  EXPECT_DOUBLE_EQ(p.m->Shape1Height, 10.0);
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

TEST(PlaceCursor, ColumnZeroBecomesTheTerritory) {
  TempProgram p;
  p.m->CurrentColumn = 0;
  p.m->PlaceCursor();
  EXPECT_EQ(p.m->CurrentColumn, 1);
}

TEST(PlaceCursor, AHiddenMonthLeavesTheMarkerWhereItWas) {
  TempProgram p;
  p.m->RowHeight = 10;
  p.m->CurrentColumn = 14;
  p.m->PlaceCursor();
  const double left = p.m->Shape1Left;
  p.m->DisplaySpan = 1;
  p.m->CurrentMonth = 8;
  p.m->CurrentColumn = 5;  // March is not among July..December
  p.m->PlaceCursor();
  EXPECT_DOUBLE_EQ(p.m->Shape1Left, left);
}

// Whether the marker goes to a month column: only the months of the window are shown.
struct WindowCase {
  int span, month, column;
  bool shown;
};

class MonthWindowEdges : public ::testing::TestWithParam<WindowCase> {};

TEST_P(MonthWindowEdges, MoveTheMarkerOnlyToAShownMonth) {
  const WindowCase c = GetParam();
  TempProgram p;
  p.m->RowHeight = 10;
  p.m->DisplaySpan = qint16(c.span);
  p.m->CurrentMonth = c.month;
  p.m->CurrentColumn = 2;  // the name cell, shown in every span
  p.m->PlaceCursor();
  p.m->CurrentColumn = qint16(c.column);
  p.m->PlaceCursor();
  EXPECT_EQ(p.m->Shape1Width == p.m->MonthColumnWidth, c.shown);
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

TEST(PlaceCursor, AHiddenMonthStillSetsTheMonthWindow) {
  TempProgram p;
  p.m->DisplaySpan = 1;
  p.m->CurrentMonth = 8;
  p.m->CurrentColumn = 5;
  p.m->PlaceCursor();
  EXPECT_EQ(p.m->MonthColumnWidth, 16);
  EXPECT_EQ(p.m->FirstMonthOffset, 6);
}

TEST(PlaceCursor, FarRowsDoNotWrap) {
  TempProgram p;
  p.m->RowHeight = 20;
  p.m->CurrentIndex = 32000;
  p.m->CurrentColumn = 2;
  p.m->PlaceCursor();
  EXPECT_DOUBLE_EQ(p.m->Shape1Top, 32001.0 * 20);
}

}  // namespace
}  // namespace velnor
