#include "core/cell_text.h"

#include <algorithm>
#include <limits>

#include "core/drawing_surface.h"

namespace velnor {

namespace {

// Free room kept at the cell's sides and at its top and bottom for fitted text, as a
// share of the cell, so that glyphs keep off the ruling lines; never more than the
// row's own inset. Lines of type carry their own room above and below the glyphs, so
// little is kept there and two lines fit a row at the smallest preferred size.
constexpr double kSideShare = 0.06;
constexpr double kEndShare = 0.01;
// A break after a separator is taken unless it leaves the text much smaller.
constexpr double kSeparatorBreakShare = 0.9;
// Measured sizes are not exactly proportional to the point size on every device; the
// estimate is stepped down until the measurement agrees.
constexpr double kShrinkStep = 0.97;
constexpr int kMaxShrinkSteps = 60;

bool breaksAfter(QChar c) {
  return c == u',' || c == u'，' || c == u'、' || c == u' ' || c == u'　' || c == u'・' ||
         c == u'/' || c == u'.';
}

struct Split {
  QStringList lines;
  double widest = std::numeric_limits<double>::max();  // at the row's size
};

// The most even break of `text` into two lines: over all breaks, and over the breaks
// after a separator (dates are written "1,8,15"), which read better.
struct Splits {
  Split any;
  Split atSeparator;
};

Splits bestSplits(DrawingSurface& s, const CellTextStyle& style, const QString& text) {
  Splits out;
  for (qsizetype k = 1; k < text.size(); ++k) {
    if (text[k].isLowSurrogate()) continue;  // never split a character in two
    const QString first = text.left(k), second = text.mid(k);
    const double widest = std::max(s.measureText(style.font, style.points, first).width(),
                                   s.measureText(style.font, style.points, second).width());
    if (widest < out.any.widest) out.any = {{first, second}, widest};
    if (breaksAfter(text[k - 1]) && widest < out.atSeparator.widest)
      out.atSeparator = {{first, second}, widest};
  }
  return out;
}

// Measures a text against the room a cell leaves inside its insets.
struct Room {
  DrawingSurface& s;
  const CellTextStyle& style;
  QRectF inner;
  QSizeF whole;  // the whole text on one line at the row's size

  bool fits(double points, const QStringList& lines, double left) const {
    double height = 0;
    for (const QString& line : lines) {
      const QSizeF size = s.measureText(style.font, points, line);
      if (left + size.width() > inner.right()) return false;
      height += size.height();
    }
    return height <= inner.height();
  }

  // The size at which `lineCount` lines, `widest` wide at the row's size, just fit from
  // `left`.
  double sizeToFit(double widest, int lineCount, double left) const {
    const double across = widest > 0 ? (inner.right() - left) / widest : 1.0;
    const double down = whole.height() > 0 ? inner.height() / (lineCount * whole.height()) : 1.0;
    return std::min(1.0, std::min(across, down)) * style.points;
  }
};

struct Fitted {
  double points;
  QStringList lines;
  double left;
};

// Two lines at the smallest preferred size; only texts that do not fit even so get
// smaller still (on one line or two, whichever leaves them larger).
void breakIntoTwoLines(const Room& room, const QString& text, Fitted& f) {
  const double smallest = room.style.points * kSmallestTypeShare;
  const Splits splits = bestSplits(room.s, room.style, text);
  const double atSeparator = room.sizeToFit(splits.atSeparator.widest, 2, f.left);
  const double anywhere = room.sizeToFit(splits.any.widest, 2, f.left);
  const bool separator = !splits.atSeparator.lines.isEmpty() &&
                         atSeparator >= std::min(smallest, kSeparatorBreakShare * anywhere);
  const Split& split = separator ? splits.atSeparator : splits.any;
  const double twoLines = split.lines.isEmpty() ? 0 : separator ? atSeparator : anywhere;
  if (twoLines >= smallest) {
    f.points = smallest, f.lines = split.lines;
  } else if (twoLines > f.points) {
    f.points = twoLines, f.lines = split.lines;
  }
}

// Smaller type on one line, from where the text starts or, failing that, from the
// cell's edge; then two lines.
void shrinkToFit(const Room& room, const QString& text, Fitted& f) {
  const double smallest = room.style.points * kSmallestTypeShare;
  f.points = room.sizeToFit(room.whole.width(), 1, f.left);
  if (f.points < smallest) {
    f.left = room.inner.left();
    f.points = room.sizeToFit(room.whole.width(), 1, f.left);
  }
  if (f.points < smallest) breakIntoTwoLines(room, text, f);
  for (int step = 0; step < kMaxShrinkSteps && !room.fits(f.points, f.lines, f.left); ++step)
    f.points *= kShrinkStep;
}

}  // namespace

CellTextLayout layoutCellText(DrawingSurface& s, const CellTextStyle& style, const QRectF& cell,
                              QPointF at, const QString& text) {
  CellTextLayout out;
  out.points = style.points;
  out.topLeft = at;
  if (text.isEmpty()) return out;

  const double padX = std::clamp(at.x() - cell.left(), 0.0, cell.width() * kSideShare);
  const double padY = std::clamp(at.y() - cell.top(), 0.0, cell.height() * kEndShare);
  const Room room{s, style, cell.adjusted(padX, padY, -padX, -padY),
                  s.measureText(style.font, style.points, text)};
  Fitted f{style.points, {text}, at.x()};
  if (!room.fits(f.points, f.lines, f.left)) shrinkToFit(room, text, f);

  out.points = f.points;
  out.lines = f.lines;
  out.lineHeight = s.measureText(style.font, f.points, f.lines.first()).height();
  const double total = out.lineHeight * f.lines.size();
  // Text that fits under the usual top inset keeps it; otherwise it is centred.
  const QRectF& inner = room.inner;
  const double top =
      at.y() + total <= inner.bottom() ? at.y() : inner.top() + (inner.height() - total) / 2;
  out.topLeft = QPointF(f.left, top);
  return out;
}

void drawCellText(DrawingSurface& s, const CellTextStyle& style, const QRectF& cell, QPointF at,
                  const QString& text) {
  if (!style.fit || text.isEmpty()) {
    s.drawText(at.x(), at.y(), text);
    return;
  }
  const CellTextLayout layout = layoutCellText(s, style, cell, at, text);
  const bool resized = layout.points != style.points;
  if (resized) s.setFont(style.font, layout.points);
  for (qsizetype i = 0; i < layout.lines.size(); ++i)
    s.drawText(layout.topLeft.x(), layout.topLeft.y() + i * layout.lineHeight, layout.lines[i]);
  if (resized) s.setFont(style.font, style.points);
}

}  // namespace velnor
