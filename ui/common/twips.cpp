#include "ui/common/twips.h"

#include <QWidget>
#include <limits>

namespace velnor {

namespace {
QSize frameExtraPx(const QWidget* w, QSize designFrame) {
  const QRect outer = w->frameGeometry();
  const QRect inner = w->geometry();
  if (w->isVisible() && outer.size() != inner.size()) return outer.size() - inner.size();
  return QSize(twipsToPx(designFrame.width()), twipsToPx(designFrame.height()));
}
}  // namespace

QRect outerGeometryTwips(const QWidget* w, QSize designFrame) {
  const QSize extra = frameExtraPx(w, designFrame);
  const QPoint pos = w->frameGeometry().topLeft();
  return QRect(int(pxToTwips(pos.x())), int(pxToTwips(pos.y())),
               int(pxToTwips(w->width() + extra.width())),
               int(pxToTwips(w->height() + extra.height())));
}

void setOuterLeftTopTwips(QWidget* w, int left, int top) {
  w->move(twipsToPx(left), twipsToPx(top));
}

void setOuterWidthTwips(QWidget* w, int width, QSize designFrame) {
  const QSize extra = frameExtraPx(w, designFrame);
  w->resize(std::max(1, twipsToPx(width) - extra.width()), w->height());
}

void setOuterHeightTwips(QWidget* w, int height, QSize designFrame) {
  const QSize extra = frameExtraPx(w, designFrame);
  w->resize(w->width(), std::max(1, twipsToPx(height) - extra.height()));
}

qint16 clampTo16(double value) {
  const double r = std::nearbyint(value);
  if (r > std::numeric_limits<qint16>::max()) return std::numeric_limits<qint16>::max();
  if (r < std::numeric_limits<qint16>::min()) return std::numeric_limits<qint16>::min();
  return qint16(r);
}

}  // namespace velnor
