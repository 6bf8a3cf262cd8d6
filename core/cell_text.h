#pragma once
// Fitting a cell's text into its cell on paper: smaller type down to a floor, then more
// lines, broken between dates, so that no character runs into the next cell or off the
// paper and none is too small to read.

#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>

namespace velnor {

class DrawingSurface;

struct CellTextStyle {
  QString font;
  double points = 0;
  // Off: the text is drawn as it is and may run on past its cell (the screen list,
  // where the next cell's fill cuts it off).
  bool fit = false;
  // The smallest type a fitted text is given before it is wrapped instead; never more
  // than `points`. Zero: the row's type.
  double smallest = 0;
};

struct CellTextLayout {
  double points = 0;
  QStringList lines;  // together the whole text
  QPointF topLeft;    // of the first line
  double lineHeight = 0;
  // The cell height the lines need, their insets included.
  double height = 0;
};

// Where and how large `text` goes in `cell` when it is fitted; `at` is where it starts
// when it fits at the row's size. Lines taller than the cell start at its top inset, for
// the row to grow to `height`. An empty text has no lines.
CellTextLayout layoutCellText(DrawingSurface& s, const CellTextStyle& style, const QRectF& cell,
                              QPointF at, const QString& text);

// The lines of `text` at `points` within `width`: broken after a comma or a space (full
// width ones too), inside a word only where the word alone is wider than `width`.
QStringList wrapText(DrawingSurface& s, const QString& font, double points, double width,
                     const QString& text);

// Draws the text of one cell. The surface's font is style.font at style.points before and
// after the call.
void drawCellText(DrawingSurface& s, const CellTextStyle& style, const QRectF& cell, QPointF at,
                  const QString& text);
// Draws a layout made by layoutCellText.
void drawCellLayout(DrawingSurface& s, const CellTextStyle& style, const CellTextLayout& layout);

}  // namespace velnor
