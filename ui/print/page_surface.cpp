#include "ui/print/page_surface.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

#include "ui/common/twips.h"

namespace velnor {

namespace {
constexpr double kPageWidth = kPageRight - kPageLeft;
constexpr double kPageHeight = kPageBottom - kPageTop;
// Qt refuses sizes of zero or less; a row height that small prints nothing legible anyway.
constexpr double kSmallestPoints = 0.5;
}  // namespace

PageSurface::PageSurface(QPainter& painter, const QRectF& area, double penScale)
    : painter_(painter), area_(area), penScale_(penScale) {}

double PageSurface::toDeviceX(double x) const {
  return area_.left() + (x - kPageLeft) * area_.width() / kPageWidth;
}

double PageSurface::toDeviceY(double y) const {
  return area_.top() + (y - kPageTop) * area_.height() / kPageHeight;
}

QRect PageSurface::deviceRect(double x, double y, double width, double height) const {
  const int left = int(std::lround(toDeviceX(x)));
  const int top = int(std::lround(toDeviceY(y)));
  const int right = int(std::lround(toDeviceX(x + width)));
  const int bottom = int(std::lround(toDeviceY(y + height)));
  return QRect(left, top, right - left, bottom - top);
}

void PageSurface::setFont(const QString& name, double points) {
  font_ = QFont(name);
  font_.setPointSizeF(std::max(points, kSmallestPoints));
}

void PageSurface::setTextColor(qint32 color) { textColor_ = fromBgr(color); }

void PageSurface::setLineWidth(int pixels) { lineWidth_ = std::max(pixels, 1); }

void PageSurface::fillBox(double x, double y, double width, double height, qint32 color) {
  painter_.fillRect(deviceRect(x, y, width, height), fromBgr(color));
}

void PageSurface::outlineBox(double x, double y, double width, double height, qint32 color) {
  QPen pen(fromBgr(color));
  pen.setWidthF(lineWidth_ * penScale_);
  pen.setJoinStyle(Qt::MiterJoin);
  painter_.setPen(pen);
  painter_.setBrush(Qt::NoBrush);
  painter_.drawRect(deviceRect(x, y, width, height));
}

void PageSurface::drawText(double x, double y, const QString& text) {
  painter_.setFont(font_);
  painter_.setPen(textColor_);
  const QFontMetricsF metrics(font_, painter_.device());
  painter_.drawText(QPointF(toDeviceX(x), toDeviceY(y) + metrics.ascent()), text);
}

double pageTextWidth(const QFont& font, const QPaintDevice* device, double areaWidth,
                     const QString& text) {
  if (areaWidth <= 0) return 0;
  return QFontMetricsF(font, device).horizontalAdvance(text) * kPageWidth / areaWidth;
}

}  // namespace velnor
