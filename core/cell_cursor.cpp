#include "core/module1.h"

namespace velnor {

void Module1::PlaceCursor() {
  switch (DisplaySpan) {
    case 1:
      TerritoryColumnWidth = 20, NameColumnWidth = 44, MonthColumnWidth = 16;
      FirstMonthOffset = CurrentMonth > 6 ? 6 : 0;
      break;
    case 2:
      TerritoryColumnWidth = 25, NameColumnWidth = 51, MonthColumnWidth = 28;
      FirstMonthOffset = CurrentMonth < 4 ? 0 : CurrentMonth > 9 ? 9 : qint16(CurrentMonth - 3);
      break;
    default:
      TerritoryColumnWidth = 15, NameColumnWidth = 37, MonthColumnWidth = 9;
      FirstMonthOffset = 0;
      break;
  }

  // A month outside the month window leaves the marker where it was.
  const int c = CurrentColumn;
  if (DisplaySpan == 1) {
    if (FirstMonthOffset == 6 && c >= 3 && c <= 8) return;
    if (FirstMonthOffset == 0 && c >= 9) return;
  } else if (DisplaySpan == 2) {
    if (CurrentMonth < 4) {
      if (c >= 6) return;
    } else if (CurrentMonth > 9) {
      if (c >= 3 && c <= 11) return;
    } else if (c > CurrentMonth + 2 || (c >= 3 && c < CurrentMonth)) {
      return;
    }
  }

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
