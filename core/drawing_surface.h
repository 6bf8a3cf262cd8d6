#pragma once
// The target of the table drawing: the list picture, the print preview, the printer,
// or a recorder in the tests. Coordinates are in the surface's logical units.

#include <QSizeF>
#include <QString>
#include <QtGlobal>

namespace velnor {

class DrawingSurface {
 public:
  virtual ~DrawingSurface() = default;
  virtual void setFont(const QString& name, double points) = 0;
  virtual void setTextColor(qint32 color) = 0;  // 0x00BBGGRR
  virtual void setLineWidth(int pixels) = 0;
  virtual void fillBox(double x, double y, double width, double height, qint32 color) = 0;
  virtual void outlineBox(double x, double y, double width, double height, qint32 color) = 0;
  // Text with its top-left corner at (x, y), transparent background, not clipped.
  virtual void drawText(double x, double y, const QString& text) = 0;
  // Width of `text` and the height of one line in the font `fontName` at `points`, in
  // logical units, as drawText would draw it. Changes nothing on the surface.
  virtual QSizeF measureText(const QString& fontName, double points, const QString& text) = 0;
};

}  // namespace velnor
