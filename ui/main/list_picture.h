#pragma once
// Picture1: the list picture of the main window. It shows the kept image of the table
// and the selection marker Shape1 over it. When the people do not all fit, a vertical
// scroll bar appears beside the table and the table scrolls by whole rows under a
// header row that stays at the top.

#include <QFrame>
#include <QWidget>
#include <functional>

#include "ui/main/list_accessible.h"
#include "ui/main/picture_surface.h"

class QScrollBar;

namespace velnor {

class ListCanvas;
class Module1;
class DrawingSurface;

// The whole text of the list cell at table point `at` (list units of the unscrolled
// table) when the list cuts it off, measured in the row font at `fontPoints`; empty for a
// text shown whole, the header row and points beside the table.
QString cutCellText(Module1& m, DrawingSurface& surface, double fontPoints, QPointF at);

class ListPicture : public QWidget {
  Q_OBJECT

 public:
  explicit ListPicture(QWidget* parent = nullptr);

  PictureSurface& surface() { return surface_; }
  // The marker Shape1, a child of the drawing area.
  QFrame* marker() const { return marker_; }
  QScrollBar* scrollBar() const { return bar_; }
  QWidget* canvas() const;

  // Size of the drawing area in pixels (the whole picture unless the scroll bar shows).
  QSize pixelSize() const;
  // First record shown under the header row (0 while everything fits).
  int firstRow() const;
  // Records that fit wholly under the header row, and records drawn (the last may be cut).
  int fullRows() const { return fullRows_; }
  int drawnRows() const { return drawnRows_; }
  bool scrolling() const;

  // Adapts the scroll bar to `personCount` rows of `rowHeight` units in a picture of
  // `scaleHeight` units. Returns true when the drawing area changed size.
  bool setRows(int personCount, double rowHeight, double scaleHeight);
  // Scrolls (without telling anyone) so that record `row` is wholly visible.
  void ensureRowVisible(int row);
  void setFirstRow(int row);

  // Starts a new kept image of the drawing area's size.
  void clear(qint32 background);
  // True when the kept image no longer matches the drawing area or the scroll position.
  bool imageStale() const;
  void imageDrawnAt(int firstRow) { imageFirstRow_ = firstRow; }

  // Places Shape1 from list units of the whole (unscrolled) table; hidden when its row
  // is scrolled out of view.
  void placeMarker(double left, double top, double width, double height, bool visible);
  // Moves Shape1 after a scroll or a size change.
  void refreshMarker();

  // Lays out the drawing area and the scroll bar at once (also while hidden).
  void setGeometryNow(const QRect& rect);

  // Pixel point in the drawing area → list units of the whole table (header row unscrolled).
  QPointF toTableUnits(QPointF px) const;

  // Pixel rectangle in the drawing area of a rectangle in list units of the whole table.
  QRect pixelRect(const QRectF& units) const;

  // The tool tip for a point of the table (list units); empty: none.
  std::function<QString(QPointF)> toolTipAt;
  // The table's texts and cursor, for screen readers.
  TableReading reading;

 signals:
  void released(double x, double y);  // table units
  void doubleClicked();
  void scrolled(int firstRow);  // by the user (wheel or scroll bar)

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  friend class ListCanvas;
  void arrange();
  double pxX(double x) const;
  double pxY(double y) const;
  void onBarValue(int value);

  PictureSurface surface_;
  ListCanvas* canvas_;
  QScrollBar* bar_;
  QFrame* marker_;
  double rowHeight_ = 10;
  double scaleHeight_ = 260;
  int fullRows_ = 25;
  int drawnRows_ = 25;
  int imageFirstRow_ = 0;
  bool quiet_ = false;  // scroll bar changed by the program, not the user
  // Last marker request, so a scroll can move it.
  double mLeft_ = 0, mTop_ = 0, mWidth_ = 0, mHeight_ = 0;
  bool mVisible_ = false;
};

}  // namespace velnor
