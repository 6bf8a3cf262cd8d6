#include "support/recording_surface.h"

namespace velnor::test {

void RecordingSurface::setFont(const QString& name, double points) {
  ops.append({DrawOp::Font, 0, 0, 0, 0, 0, name, points});
}
void RecordingSurface::setTextColor(qint32 color) {
  ops.append({DrawOp::TextColor, 0, 0, 0, 0, color, {}, 0});
}
void RecordingSurface::setLineWidth(int pixels) {
  ops.append({DrawOp::LineWidth, 0, 0, 0, 0, 0, {}, double(pixels)});
}
void RecordingSurface::fillBox(double x, double y, double w, double h, qint32 color) {
  ops.append({DrawOp::Fill, x, y, w, h, color, {}, 0});
}
void RecordingSurface::outlineBox(double x, double y, double w, double h, qint32 color) {
  ops.append({DrawOp::Outline, x, y, w, h, color, {}, 0});
}
void RecordingSurface::drawText(double x, double y, const QString& text) {
  ops.append({DrawOp::Text, x, y, 0, 0, 0, text, 0});
}

QList<DrawOp> RecordingSurface::ofKind(DrawOp::Kind kind) const {
  QList<DrawOp> out;
  for (const DrawOp& op : ops)
    if (op.kind == kind) out.append(op);
  return out;
}

QStringList RecordingSurface::texts() const {
  QStringList out;
  for (const DrawOp& op : ofKind(DrawOp::Text)) out.append(op.text);
  return out;
}

}  // namespace velnor::test
