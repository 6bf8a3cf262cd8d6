#pragma once
// Drawing the table onto a page: the preview picture and the printed sheet share one
// logical coordinate system, so the preview is the page in miniature.

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>

#include "core/drawing_surface.h"

class QPainter;
class QPaintDevice;

namespace velnor {

// Page coordinates: x runs from the left edge to the right edge, y from the top edge to
// the bottom edge of the printable area. The table starts at (0, 0), leaving margins.
inline constexpr double kPageLeft = -10;
inline constexpr double kPageTop = -15;
inline constexpr double kPageRight = 193;
inline constexpr double kPageBottom = 279;

// A DrawingSurface that paints on a QPainter, mapping page coordinates onto `area`
// (in the painter's device pixels). Font sizes are points on the device, unscaled.
class PageSurface : public DrawingSurface {
 public:
  // `penScale` is the number of device pixels drawn for one pixel of line width.
  PageSurface(QPainter& painter, const QRectF& area, double penScale = 1.0);

  void setFont(const QString& name, double points) override;
  void setTextColor(qint32 color) override;
  void setLineWidth(int pixels) override;
  void fillBox(double x, double y, double width, double height, qint32 color) override;
  void outlineBox(double x, double y, double width, double height, qint32 color) override;
  void drawText(double x, double y, const QString& text) override;

 private:
  double toDeviceX(double x) const;
  double toDeviceY(double y) const;
  // Rounds the edges, so that neighbouring cells meet without gaps or overlaps.
  QRect deviceRect(double x, double y, double width, double height) const;

  QPainter& painter_;
  QRectF area_;
  double penScale_;
  QFont font_;
  QColor textColor_ = Qt::black;
  int lineWidth_ = 1;
};

// The width of `text` in page units on a device whose printable area is `areaWidth`
// device pixels wide.
double pageTextWidth(const QFont& font, const QPaintDevice* device, double areaWidth,
                     const QString& text);

}  // namespace velnor
