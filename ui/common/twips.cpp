#include "ui/common/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "core/saturating.h"

#include "ui/common/window_design.h"

namespace velnor {
namespace {

// Table text at least this tall (device pixels) in a window opened at the first start.
constexpr double kReadableTextPixels = 12;

}  // namespace

void sizeForReadableText(Module1& m, bool inputToo) {
  const QScreen* screen =
      QGuiApplication::screenAt(QPoint(twipsToPx(m.MainLeft), twipsToPx(m.MainTop)));
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  // The table's text is (client height / design height) × RowHeight × 0.6 points.
  const double pixelsPerPoint = screen->logicalDotsPerInchY() / 72.0 * screen->devicePixelRatio();
  const double designTextPixels = m.RowHeight * 0.6 * pixelsPerPoint;
  const double scale = std::max(1.0, kReadableTextPixels / designTextPixels);
  const double designHeight = kMainDesignInner.height();
  // Rounded up to whole pixels, so that rounding cannot leave the text a little short.
  const double clientHeight = pxToTwips(std::ceil(designHeight * scale / kTwipsPerPixel));
  const double k = clientHeight / designHeight;
  m.MainWidth = clampTo16(kMainDesignInner.width() * k + kMainDesignFrame.width());
  m.MainHeight = clampTo16(clientHeight + kMainDesignFrame.height());
  if (!inputToo) return;
  m.InputWidth = clampTo16(kInputDesignInner.width() * k + kInputDesignFrame.width());
  m.InputHeight = clampTo16(kInputDesignInner.height() * k + kInputDesignFrame.height());
}

// The outer size is always the client size plus the frame the window was designed with,
// in both directions: mixing in the platform's real frame (unknown until the window is
// first shown) would let a window grow or shrink a little at every start.
QRect outerGeometryTwips(const QWidget* w, QSize designFrame) {
  // A hidden window has no frame yet; its position is where the frame will go.
  const QPoint pos = w->isVisible() ? w->frameGeometry().topLeft() : w->pos();
  return QRect(int(pxToTwips(pos.x())), int(pxToTwips(pos.y())),
               int(pxToTwips(w->width())) + designFrame.width(),
               int(pxToTwips(w->height())) + designFrame.height());
}

void setOuterLeftTopTwips(QWidget* w, int left, int top) {
  w->move(twipsToPx(left), twipsToPx(top));
}

void setOuterWidthTwips(QWidget* w, int width, QSize designFrame) {
  w->resize(std::max(1, twipsToPx(width - designFrame.width())), w->height());
}

void setOuterHeightTwips(QWidget* w, int height, QSize designFrame) {
  w->resize(w->width(), std::max(1, twipsToPx(height - designFrame.height())));
}

QRect fitWithin(const QRect& outer, QSize minOuter, const QRect& available) {
  const QSize size = outer.size().boundedTo(available.size()).expandedTo(minOuter);
  auto place = [](int at, int extent, int low, int room) {
    return std::max(low, std::min(at, low + room - extent));
  };
  return QRect(QPoint(place(outer.x(), size.width(), available.x(), available.width()),
                      place(outer.y(), size.height(), available.y(), available.height())),
               size);
}

QRect keptOnScreen(const QRect& outer, QSize minOuter) {
  const QScreen* best = QGuiApplication::primaryScreen();
  qint64 bestArea = 0;
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect common = screen->availableGeometry().intersected(outer);
    const qint64 area = qint64(common.width()) * common.height();
    if (area > bestArea) {
      best = screen;
      bestArea = area;
    }
  }
  return best ? fitWithin(outer, minOuter, best->availableGeometry()) : outer;
}

QRect keptOnScreenTwips(const QRect& outer, QSize minOuter) {
  const QRect kept = keptOnScreen(QRect(twipsToPx(outer.x()), twipsToPx(outer.y()),
                                        twipsToPx(outer.width()), twipsToPx(outer.height())),
                                  QSize(twipsToPx(minOuter.width()), twipsToPx(minOuter.height())));
  return QRect(int(pxToTwips(kept.x())), int(pxToTwips(kept.y())), int(pxToTwips(kept.width())),
               int(pxToTwips(kept.height())));
}

QRect openingPlaceTwips(const QRect& stored, QSize designFrame) {
  return keptOnScreenTwips(stored, kSmallestLaidOutInner + designFrame);
}

}  // namespace velnor
