#pragma once
// A DrawingSurface that records every operation, for checking exactly what was drawn.

#include <QList>
#include <QString>

#include "core/drawing_surface.h"

namespace velnor::test {

struct DrawOp {
  enum Kind { Font, TextColor, LineWidth, Fill, Outline, Text } kind = Font;
  double x = 0, y = 0, w = 0, h = 0;
  qint32 color = 0;
  QString text;     // font name for Font, the text for Text
  double size = 0;  // font size for Font and Text, line width for LineWidth
};

class RecordingSurface : public DrawingSurface {
 public:
  void setFont(const QString& name, double points) override;
  void setTextColor(qint32 color) override;
  void setLineWidth(int pixels) override;
  void fillBox(double x, double y, double width, double height, qint32 color) override;
  void outlineBox(double x, double y, double width, double height, qint32 color) override;
  void drawText(double x, double y, const QString& text) override;
  // A font model that does not depend on the fonts installed: a character is one em
  // wide (half an em for Latin-1 and half-width forms), a line 1.2 em high, and an em
  // is `unitsPerPoint` logical units per point (about a page unit on paper).
  QSizeF measureText(const QString& fontName, double points, const QString& text) override;

  double unitsPerPoint = 0.35;
  // Text ops carry the size they were drawn in and their measured box in w and h.
  QList<DrawOp> ops;
  QList<DrawOp> ofKind(DrawOp::Kind kind) const;
  QStringList texts() const;

 private:
  QString fontName_;
  double points_ = 0;
};

}  // namespace velnor::test
