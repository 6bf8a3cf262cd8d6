#pragma once
// Twips (1/1440 inch) are the unit of window positions and sizes in the settings:
// on screen 15 twips are one device-independent pixel.

#include <QColor>
#include <QRect>
#include <QSize>
#include <cmath>

#include "core/saturating.h"

class QWidget;

namespace velnor {

inline constexpr double kTwipsPerPixel = 15.0;
inline int twipsToPx(double twips) { return int(std::lround(twips / kTwipsPerPixel)); }
inline double pxToTwips(double px) { return px * kTwipsPerPixel; }

// 0x00BBGGRR as a QColor.
inline QColor fromBgr(qint32 c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

// Outer geometry of a top-level window in twips: the client size plus `designFrame`
// (the designed outer minus client size, in twips) and the frame's position.
QRect outerGeometryTwips(const QWidget* window, QSize designFrame);
void setOuterLeftTopTwips(QWidget* window, int left, int top);
void setOuterWidthTwips(QWidget* window, int width, QSize designFrame);
void setOuterHeightTwips(QWidget* window, int height, QSize designFrame);

// `outer` (pixels) made whole inside `available`: no smaller than `minOuter`, no larger
// than `available`, moved no further than needed.
QRect fitWithin(const QRect& outer, QSize minOuter, const QRect& available);

// `outer` (pixels) kept whole on the screen it overlaps most (the primary screen when it
// overlaps none): stored places and sizes may come from another screen, or be nonsense.
QRect keptOnScreen(const QRect& outer, QSize minOuter);
// The same in twips, as windows store their places.
QRect keptOnScreenTwips(const QRect& outer, QSize minOuter);

// Where a window opens whose outer geometry was stored as `stored` (twips): whole on a
// screen, between its smallest layout (kSmallestLaidOutInner in `designFrame`) and the
// screen's available area, whatever was stored (a screen no longer attached, sizes of 1
// or 32767).
QRect openingPlaceTwips(const QRect& stored, QSize designFrame);

}  // namespace velnor
