#include "support/recording_surface.h"

namespace velnor::test {

void RecordingSurface::setFont(const QString& name, double points) {
  ops.append({DrawOp::Font, 0, 0, 0, 0, 0, name, points});
  fontName_ = name;
  points_ = points;
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
  const QSizeF box = measureText(fontName_, points_, text);
  ops.append({DrawOp::Text, x, y, box.width(), box.height(), 0, text, points_});
}

QSizeF RecordingSurface::measureText(const QString&, double points, const QString& text) {
  double ems = 0;
  for (QChar c : text) {
    if (c.isLowSurrogate()) continue;
    const bool narrow = c.unicode() < 0x100 || (c.unicode() >= 0xFF61 && c.unicode() <= 0xFF9F);
    ems += narrow ? 0.5 : 1.0;
  }
  const double em = points * unitsPerPoint;
  return QSizeF(ems * em, 1.2 * em);
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
