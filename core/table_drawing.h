#pragma once
// The one table-drawing routine shared by the list picture and the print window.

#include <QtGlobal>
#include <vector>

#include "core/month_window.h"

namespace velnor {

class Module1;
class DrawingSurface;

struct TableParams {
  double rowHeight = 10;  // logical units per row
  double fontSize = 6;    // points on the device
  // Records [firstRecord, firstRecord + recordLimit) are drawn as rows 1, 2, ...;
  // recordLimit < 0 draws all the rest. The frame encloses the drawn rows only when
  // they are a part of the folder (scrolled list, further printed pages).
  int firstRecord = 0;
  int recordLimit = -1;
  // Texts wider than their cell are made smaller and wrapped inside it (paper and the
  // print preview); off, they run on until the next cell covers them (the screen list).
  bool fitText = false;
  // Fitted texts are made smaller down to this size (points on the device), then
  // wrapped onto more lines, and their row grows; zero: the row's type.
  double smallestFontSize = 0;
};

// Draws the header row, the rows and all outlines (fills and texts first, outlines after)
// from the parsed folder (callers count the people with ReadIndex in kReadCount first, which
// reads the file again if it changed). Sets the column widths, FirstMonthOffset and
// TextColors[2]; never changes the loaded person. Draws nothing when PersonCount is 0.
void drawTable(Module1& m, DrawingSurface& surface, const TableParams& params);

// The height of each row drawTable would draw for `params`, the header row first: the
// row height, or more where a fitted text needs more lines. Draws nothing.
std::vector<double> tableRowHeights(Module1& m, DrawingSurface& surface, const TableParams& params);

}  // namespace velnor
