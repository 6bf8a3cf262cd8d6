#include "ui/print/page_surface.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

#include "ui/common/fonts.h"
#include "ui/common/twips.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace {
// No printer prints right up to the paper's edge, and hand-held sheets need a rim.
constexpr double kEdgeMm = 10;
// The footer band: one line of small type and a gap above it.
constexpr double kFooterBandMm = 6;
// Qt refuses sizes of zero or less; text this small is a speck on any device anyway.
constexpr double kSmallestPoints = 0.1;
}  // namespace

QRectF PageFrame::table() const { return content.adjusted(0, 0, 0, -kFooterBandMm); }

QRectF PageFrame::footer() const {
  return QRectF(content.left(), content.bottom() - kFooterBandMm, content.width(), kFooterBandMm);
}

PageFrame pageFrameFor(const QPageLayout& layout) {
  PageFrame frame;
  const QRectF full = layout.fullRect(QPageLayout::Millimeter);
  frame.sheet = full.size();
  const QRectF rim(kEdgeMm, kEdgeMm, full.width() - 2 * kEdgeMm, full.height() - 2 * kEdgeMm);
  frame.content = rim.intersected(layout.paintRect(QPageLayout::Millimeter));
  return frame;
}

QPageLayout b5Portrait() {
  return QPageLayout(QPageSize(QPageSize::JisB5), QPageLayout::Portrait, QMarginsF());
}

PageFrame defaultPageFrame() { return pageFrameFor(b5Portrait()); }

std::vector<int> pageStarts(const std::vector<double>& heights, const PageFrame& frame) {
  std::vector<int> starts{0};
  if (heights.size() < 2) return starts;
  // The small allowance keeps a row that ends exactly on the bottom on its page.
  const double room = frame.table().height() / kRowUnitMm + 1e-9;
  double used = heights[0];
  int onPage = 0;
  for (size_t k = 1; k < heights.size(); ++k) {
    if (onPage > 0 && used + heights[k] > room) {
      starts.push_back(int(k) - 1);
      used = heights[0];
      onPage = 0;
    }
    used += heights[k];
    ++onPage;
  }
  return starts;
}

PageSurface::PageSurface(QPainter& painter, const QRectF& sheet, const PageFrame& frame,
                         double penScale)
    : painter_(painter), penScale_(penScale) {
  const double pxPerMmX = sheet.width() / frame.sheet.width();
  const double pxPerMmY = sheet.height() / frame.sheet.height();
  const QRectF table = frame.table();
  left_ = sheet.left() + table.left() * pxPerMmX;
  top_ = sheet.top() + table.top() * pxPerMmY;
  unitX_ = table.width() * pxPerMmX / kTableUnits;
  unitY_ = kRowUnitMm * pxPerMmY;
}

double PageSurface::toDeviceX(double x) const { return left_ + x * unitX_; }

double PageSurface::toDeviceY(double y) const { return top_ + y * unitY_; }

QRect PageSurface::deviceRect(double x, double y, double width, double height) const {
  const int left = int(std::lround(toDeviceX(x)));
  const int top = int(std::lround(toDeviceY(y)));
  const int right = int(std::lround(toDeviceX(x + width)));
  const int bottom = int(std::lround(toDeviceY(y + height)));
  return QRect(left, top, right - left, bottom - top);
}

QFont pageFont(const QString& name, double points) {
  QFont font(name);
  font.setPointSizeF(std::max(points, kSmallestPoints));
  // Measured widths must be the drawn widths at every size, on paper and in the preview.
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

void PageSurface::setFont(const QString& name, double points) { font_ = pageFont(name, points); }

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
  if (text.isEmpty()) return;
  painter_.setFont(font_);
  painter_.setPen(textColor_);
  const QFontMetricsF metrics(font_, painter_.device());
  painter_.drawText(QPointF(toDeviceX(x), toDeviceY(y) + metrics.ascent()), text);
}

PageSurface::Measured& PageSurface::measuredFont(const QString& name, double points) {
  for (Measured& m : measured_)
    if (m.points == points && m.name == name) return m;
  // Shrunk texts bring sizes of their own; the few sizes used again and again stay.
  constexpr size_t kFontsKept = 8;
  if (measured_.size() >= kFontsKept) measured_.erase(measured_.begin() + 2, measured_.end());
  measured_.push_back({name, points, QFontMetricsF(pageFont(name, points), painter_.device()), {}});
  return measured_.back();
}

QSizeF PageSurface::measureText(const QString& fontName, double points, const QString& text) {
  Measured& font = measuredFont(fontName, points);
  constexpr qsizetype kLongestKept = 32;
  double width = 0;
  if (text.size() > kLongestKept) {
    width = font.metrics.horizontalAdvance(text);
  } else {
    constexpr qsizetype kWidthsKept = 50000;  // names and territories rarely come again
    if (font.widths.size() > kWidthsKept) font.widths.clear();
    const auto it = font.widths.constFind(text);
    width = it != font.widths.cend()
                ? *it
                : *font.widths.insert(text, font.metrics.horizontalAdvance(text));
  }
  return QSizeF(width / unitX_, font.metrics.height() / unitY_);
}

void drawFooter(DrawingSurface& s, const PageFrame& frame, const Footer& footer, double points) {
  const QString date = footer.printed.toString(u"yyyy年M月d日"_s);
  const QString page = QString::number(footer.page) + u" / "_s + QString::number(footer.pages);
  // A long name makes the whole line smaller rather than run into the date.
  constexpr double kGap = 4;
  auto width = [&](const QString& text) { return s.measureText(kMincho, points, text).width(); };
  const double wanted = width(footer.user) + width(date) + width(page) + 2 * kGap;
  if (wanted > kTableUnits) points *= kTableUnits / wanted;
  const double pageWidth = width(page);
  const double dateLeft = kTableUnits - pageWidth - kGap - width(date);
  const double bottom = (frame.content.bottom() - frame.table().top()) / kRowUnitMm;
  const double top = bottom - s.measureText(kMincho, points, page).height();
  s.setFont(kMincho, points);
  s.drawText(0, top, footer.user);
  s.drawText(dateLeft, top, date);
  s.drawText(kTableUnits - pageWidth, top, page);
}

}  // namespace velnor
