#pragma once
// A DrawingSurface that records every operation, for checking exactly what was drawn.

#include <QList>
#include <QString>

#include "core/drawing_surface.h"

namespace velnor::test {

struct DrawOp {
  enum Kind { Font, TextColor, LineWidth, Fill, Outline, Text } kind;
  double x = 0, y = 0, w = 0, h = 0;
  qint32 color = 0;
  QString text;     // font name for Font, the text for Text
  double size = 0;  // font size for Font, line width for LineWidth
};

class RecordingSurface : public DrawingSurface {
 public:
  void setFont(const QString& name, double points) override;
  void setTextColor(qint32 color) override;
  void setLineWidth(int pixels) override;
  void fillBox(double x, double y, double width, double height, qint32 color) override;
  void outlineBox(double x, double y, double width, double height, qint32 color) override;
  void drawText(double x, double y, const QString& text) override;

  QList<DrawOp> ops;
  QList<DrawOp> ofKind(DrawOp::Kind kind) const;
  QStringList texts() const;
};

}  // namespace velnor::test
