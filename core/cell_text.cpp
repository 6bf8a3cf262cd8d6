#include "core/cell_text.h"

#include <algorithm>

#include "core/drawing_surface.h"

namespace velnor {

namespace {

// Free room kept at the cell's sides and at its top and bottom for fitted text, as a
// share of the cell, so that glyphs keep off the ruling lines; never more than the
// row's own inset. Lines of type carry their own room above and below the glyphs.
constexpr double kSideShare = 0.06;
constexpr double kEndShare = 0.01;
// Wrapped lines keep this much (table units) from the lines above and below them.
constexpr double kWrappedInset = 0.5;
// Measured sizes are not exactly proportional to the point size on every device; the
// estimate is stepped down until the measurement agrees.
constexpr double kShrinkStep = 0.97;
constexpr int kMaxShrinkSteps = 60;

// Dates are written "1,8,15" or "5/14, 5/23": a line may end after these, never inside
// a date.
bool breaksAfter(QChar c) {
  return c == u',' || c == u'，' || c == u'、' || c == u' ' || c == u'　';
}

double widthOf(DrawingSurface& s, const QString& font, double points, const QString& text) {
  return s.measureText(font, points, text).width();
}

// Splits a word wider than `width` into pieces that fit (at least one character each).
void breakWord(DrawingSurface& s, const QString& font, double points, double width,
               const QString& word, QStringList& lines) {
  QString piece;
  for (qsizetype k = 0; k < word.size(); ++k) {
    QString ch(word[k]);
    if (word[k].isHighSurrogate() && k + 1 < word.size()) ch += word[++k];
    if (!piece.isEmpty() && widthOf(s, font, points, piece + ch) > width) {
      lines << piece;
      piece.clear();
    }
    piece += ch;
  }
  if (!piece.isEmpty()) lines << piece;
}

// The one-line size that fits `room` across, stepped down until the measurement agrees;
// never below `smallest` (the answer is then below it).
double oneLineSize(DrawingSurface& s, const CellTextStyle& style, double room, double wide,
                   const QString& text, double smallest) {
  double points = wide > 0 ? std::min(1.0, room / wide) * style.points : style.points;
  for (int step = 0;
       step < kMaxShrinkSteps && points >= smallest && widthOf(s, style.font, points, text) > room;
       ++step)
    points *= kShrinkStep;
  return points;
}

}  // namespace

QStringList wrapText(DrawingSurface& s, const QString& font, double points, double width,
                     const QString& text) {
  // A line is as wide as its words (dates have no kerning across a comma), so each word
  // is measured once; spaces at a line's end take no room on the paper.
  QStringList lines;
  QString line;
  double lineWidth = 0;
  auto place = [&](const QString& word) {
    const double full = widthOf(s, font, points, word);
    const double trimmed = word.back().isSpace() ? widthOf(s, font, points, word.trimmed()) : full;
    if (!line.isEmpty() && lineWidth + trimmed > width) {
      lines << line;
      line.clear();
      lineWidth = 0;
    }
    if (line.isEmpty() && trimmed > width) {
      breakWord(s, font, points, width, word, lines);
      line = lines.takeLast();
      lineWidth = widthOf(s, font, points, line);
      return;
    }
    lineWidth += full;
    line += word;
  };
  qsizetype start = 0;
  for (qsizetype k = 0; k < text.size(); ++k) {
    if (breaksAfter(text[k])) {
      place(text.mid(start, k + 1 - start));
      start = k + 1;
    }
  }
  if (start < text.size()) place(text.mid(start));
  if (!line.isEmpty()) lines << line;
  return lines;
}

CellTextLayout layoutCellText(DrawingSurface& s, const CellTextStyle& style, const QRectF& cell,
                              QPointF at, const QString& text) {
  CellTextLayout out;
  out.points = style.points;
  out.topLeft = at;
  if (text.isEmpty()) return out;

  const double padX = std::clamp(at.x() - cell.left(), 0.0, cell.width() * kSideShare);
  const double padY = std::clamp(at.y() - cell.top(), 0.0, cell.height() * kEndShare);
  const QRectF inner = cell.adjusted(padX, padY, -padX, -padY);
  const double smallest =
      style.smallest > 0 ? std::min(style.smallest, style.points) : style.points;
  double left = at.x();
  const double wide = widthOf(s, style.font, style.points, text);
  out.lines = QStringList{text};
  if (left + wide > inner.right()) {
    // Smaller on one line from where the text starts or from the cell's edge; below the
    // smallest type, wrapped at that type instead.
    out.points = oneLineSize(s, style, inner.right() - left, wide, text, smallest);
    if (out.points < smallest) {
      left = inner.left();
      out.points = oneLineSize(s, style, inner.width(), wide, text, smallest);
    }
    if (out.points < smallest) {
      out.points = smallest;
      out.lines = wrapText(s, style.font, smallest, inner.width(), text);
    }
  }
  out.lineHeight = s.measureText(style.font, out.points, out.lines.first()).height();
  const double total = out.lineHeight * out.lines.size();
  // Only wrapped text makes its row taller; one line keeps the row as it always was.
  const bool wrapped = out.lines.size() > 1;
  out.height = wrapped ? std::max(cell.height(), total + 2 * kWrappedInset) : cell.height();
  // Text that fits under the usual top inset keeps it; one line that does not is
  // centred, more lines start at the top of the row grown for them.
  double top = at.y();
  if (at.y() + total > inner.bottom())
    top = wrapped ? cell.top() + kWrappedInset : inner.top() + (inner.height() - total) / 2;
  out.topLeft = QPointF(left, top);
  return out;
}

void drawCellLayout(DrawingSurface& s, const CellTextStyle& style, const CellTextLayout& layout) {
  const bool resized = layout.points != style.points;
  if (resized) s.setFont(style.font, layout.points);
  for (qsizetype i = 0; i < layout.lines.size(); ++i)
    s.drawText(layout.topLeft.x(), layout.topLeft.y() + i * layout.lineHeight, layout.lines[i]);
  if (resized) s.setFont(style.font, style.points);
}

void drawCellText(DrawingSurface& s, const CellTextStyle& style, const QRectF& cell, QPointF at,
                  const QString& text) {
  if (!style.fit || text.isEmpty()) {
    s.drawText(at.x(), at.y(), text);
    return;
  }
  drawCellLayout(s, style, layoutCellText(s, style, cell, at, text));
}

}  // namespace velnor
