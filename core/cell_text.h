#pragma once
// Fitting a cell's text into its cell: smaller type, then a second line, so that no
// character runs into the next cell or off the paper.

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
};

// Texts are shrunk to this share of the row's type before they are wrapped.
inline constexpr double kSmallestTypeShare = 0.6;

struct CellTextLayout {
  double points = 0;
  QStringList lines;  // one or two, together the whole text
  QPointF topLeft;    // of the first line
  double lineHeight = 0;
};

// Where and how large `text` goes in `cell` when it is fitted; `at` is where it starts
// when it fits at the row's size. An empty text has no lines.
CellTextLayout layoutCellText(DrawingSurface& s, const CellTextStyle& style, const QRectF& cell,
                              QPointF at, const QString& text);

// Draws the text of one cell. The surface's font is style.font at style.points before and
// after the call.
void drawCellText(DrawingSurface& s, const CellTextStyle& style, const QRectF& cell, QPointF at,
                  const QString& text);

}  // namespace velnor
