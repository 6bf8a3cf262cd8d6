#include "ui/main/picture_surface.h"

#include <cmath>

#include "ui/common/twips.h"

namespace velnor {

PictureSurface::PictureSurface() { clear(QSize(1, 1), 1.0, 0xFFFFFF); }

PictureSurface::~PictureSurface() { endPainting(); }

void PictureSurface::clear(QSize size, qreal dpr, qint32 background) {
  endPainting();
  const QSize px(std::max(1, int(std::lround(size.width() * dpr))),
                 std::max(1, int(std::lround(size.height() * dpr))));
  image_ = QImage(px, QImage::Format_RGB32);
  image_.setDevicePixelRatio(dpr);
  image_.fill(fromBgr(background));
}

void PictureSurface::setScale(double width, double height) {
  scaleW_ = width > 0 ? width : 1;
  scaleH_ = height > 0 ? height : 1;
}

const QImage& PictureSurface::image() {
  endPainting();
  return image_;
}

QSize PictureSurface::size() const { return image_.deviceIndependentSize().toSize(); }

double PictureSurface::toPxX(double x) const {
  return x * image_.deviceIndependentSize().width() / scaleW_;
}
double PictureSurface::toPxY(double y) const {
  return y * image_.deviceIndependentSize().height() / scaleH_;
}
double PictureSurface::toLogicalX(double px) const {
  return px * scaleW_ / image_.deviceIndependentSize().width();
}
double PictureSurface::toLogicalY(double px) const {
  return px * scaleH_ / image_.deviceIndependentSize().height();
}

QPainter& PictureSurface::painter() {
  // One painter for a whole drawing: opening one per box would dominate a redraw.
  if (!painter_) {
    painter_ = std::make_unique<QPainter>(&image_);
    painter_->setFont(font_);
  }
  return *painter_;
}

void PictureSurface::endPainting() {
  if (painter_) painter_->end();
  painter_.reset();
}

QRect PictureSurface::pixelRect(double x, double y, double width, double height) const {
  const int l = int(std::lround(toPxX(x)));
  const int t = int(std::lround(toPxY(y)));
  const int r = int(std::lround(toPxX(x + width)));
  const int b = int(std::lround(toPxY(y + height)));
  return QRect(QPoint(l, t), QPoint(r, b));
}

namespace {
QFont listFont(const QString& name, double points) {
  QFont font(name);
  // A window shrunk to almost nothing still gets a valid (tiny) font.
  font.setPointSizeF(points > 0.1 ? points : 0.1);
  return font;
}
}  // namespace

void PictureSurface::setFont(const QString& name, double points) {
  font_ = listFont(name, points);
  metrics_.reset();
  if (painter_) painter_->setFont(font_);
}

void PictureSurface::setTextColor(qint32 color) { textColor_ = fromBgr(color); }

void PictureSurface::setLineWidth(int pixels) { lineWidth_ = std::max(1, pixels); }

void PictureSurface::fillBox(double x, double y, double width, double height, qint32 color) {
  // Both corners belong to the box; the next cell's fill starts on the shared edge.
  painter().fillRect(pixelRect(x, y, width, height), fromBgr(color));
}

void PictureSurface::outlineBox(double x, double y, double width, double height, qint32 color) {
  QPainter& p = painter();
  p.setPen(QPen(fromBgr(color), lineWidth_));
  p.setBrush(Qt::NoBrush);
  const QRect r = pixelRect(x, y, width, height);
  p.drawRect(QRect(r.topLeft(), QSize(r.width() - 1, r.height() - 1)));
}

void PictureSurface::drawText(double x, double y, const QString& text) {
  if (text.isEmpty()) return;
  QPainter& p = painter();
  if (!metrics_) metrics_ = std::make_unique<QFontMetricsF>(font_, &image_);
  p.setPen(textColor_);
  p.drawText(QPointF(toPxX(x), toPxY(y) + metrics_->ascent()), text);
}

QSizeF PictureSurface::measureText(const QString& fontName, double points, const QString& text) {
  const QFontMetricsF metrics(listFont(fontName, points), &image_);
  return QSizeF(toLogicalX(metrics.horizontalAdvance(text)), toLogicalY(metrics.height()));
}

}  // namespace velnor
