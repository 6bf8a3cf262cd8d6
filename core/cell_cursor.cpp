#include "core/module1.h"

namespace velnor {

MonthWindow monthWindowFor(qint16 displaySpan, int currentMonth) {
  MonthWindow w;
  switch (displaySpan) {
    case 1:
      w.monthCount = 6;
      w.territoryWidth = 20, w.nameWidth = 44, w.monthWidth = 16;
      w.firstMonthOffset = currentMonth > 6 ? 6 : 0;
      break;
    case 2:
      w.monthCount = 3;
      w.territoryWidth = 25, w.nameWidth = 51, w.monthWidth = 28;
      w.firstMonthOffset = currentMonth < 4 ? 0 : currentMonth > 9 ? 9 : qint16(currentMonth - 3);
      break;
    default:
      break;  // twelve months, January first
  }
  return w;
}

bool isHiddenMonth(const MonthWindow& window, int column) {
  if (column < 3) return false;
  const int first = 3 + window.firstMonthOffset;
  const int last = first + window.monthCount - 1;
  return column < first || (column > last && last < 14);
}

void Module1::SetMonthWindow(const MonthWindow& window) {
  TerritoryColumnWidth = window.territoryWidth;
  NameColumnWidth = window.nameWidth;
  MonthColumnWidth = window.monthWidth;
  FirstMonthOffset = window.firstMonthOffset;
}

void Module1::PlaceCursor() {
  const MonthWindow window = monthWindowFor(DisplaySpan, CurrentMonth);
  SetMonthWindow(window);
  // A month outside the month window leaves the marker where it was.
  const int c = CurrentColumn;
  if (isHiddenMonth(window, c)) return;

  Shape1Visible = false;
  Shape1Height = RowHeight;
  // Computed wide: a row far down the list stays placeable (the list scrolls to it).
  Shape1Top = double(CurrentIndex) * RowHeight + RowHeight;
  if (c == 0 || c == 1) {
    CurrentColumn = 1;
    Shape1Left = 0;
    Shape1Width = TerritoryColumnWidth;
  } else if (c == 2) {
    Shape1Left = TerritoryColumnWidth;
    Shape1Width = NameColumnWidth;
  } else if (c >= 3) {
    Shape1Left =
        TerritoryColumnWidth + NameColumnWidth + (c - FirstMonthOffset - 3) * MonthColumnWidth;
    Shape1Width = MonthColumnWidth;
  }
  Shape1Visible = true;
  if (mainWindow) mainWindow->markerChanged();
}

}  // namespace velnor
