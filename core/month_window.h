#pragma once
// The columns of the list for a display span: their widths and the months shown.

#include <QtGlobal>

namespace velnor {

// Widths in list units. A default MonthWindow is the twelve-month one, January first:
// the widths the program starts with and the settings screen restores.
struct MonthWindow {
  int monthCount = 12;
  qint16 territoryWidth = 15;
  qint16 nameWidth = 37;
  qint16 monthWidth = 9;
  qint16 firstMonthOffset = 0;  // months hidden at the left
};

// For DisplaySpan 0 twelve, 1 six, 2 three months (any other value: twelve); the six-
// and three-month windows follow the current month (1..12).
MonthWindow monthWindowFor(qint16 displaySpan, int currentMonth);

// True when `column` (3..14 the months) is a month the window does not show: one before
// it, or one after it when the window ends before December.
bool isHiddenMonth(const MonthWindow& window, int column);

}  // namespace velnor
