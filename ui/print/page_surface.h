#pragma once
// Drawing the table onto a page: the preview picture and the printed sheet share one
// page frame and one coordinate system, so the preview is the page in miniature.

#include <QColor>
#include <QDate>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <vector>

#include "core/drawing_surface.h"

class QPainter;
class QPaintDevice;
class QPageLayout;

namespace velnor {

// Where things go on the sheet, in millimetres from its top-left corner.
struct PageFrame {
  QSizeF sheet;           // JIS B5: 182 x 257
  QRectF content;         // the table and the footer: 10 mm or more inside every edge, and
                          // inside the part of the sheet the printer can print on
  QRectF table() const;   // the content less the footer band at its bottom
  QRectF footer() const;  // the footer band
};

// The frame for a page layout: its sheet, with the content kept clear of both the
// paper's edges and the printer's unprintable margins.
PageFrame pageFrameFor(const QPageLayout& layout);
// JIS B5 portrait printable to its edges, as a PDF is.
QPageLayout b5Portrait();
PageFrame defaultPageFrame();

// Table coordinates: x runs from 0 to 160 across the table's width (the table uses the
// whole width between the margins); y is in units of 257/294 mm from the table's top,
// the height a row unit has always had on paper.
inline constexpr double kTableUnits = 160;
inline constexpr double kRowUnitMm = 257.0 / 294.0;
// Rows on paper are 5/9 of the row height setting high.
inline double paperRowHeight(qint16 rowHeight) { return rowHeight * 5.0 / 9.0; }

// The first record of every page for rows `heights` high (table units, the header row's
// first): each page holds the header row and the whole rows that fit under it, at least
// one. One page, starting at 0, when there are no rows.
std::vector<int> pageStarts(const std::vector<double>& heights,
                            const PageFrame& frame = defaultPageFrame());

// A DrawingSurface that paints on a QPainter in table coordinates. `sheet` is the whole
// sheet in the painter's device pixels (it may start left of or above the device's
// origin where a printer cannot print). Font sizes are points on the device, unscaled.
class PageSurface : public DrawingSurface {
 public:
  // `penScale` is the number of device pixels drawn for one pixel of line width.
  PageSurface(QPainter& painter, const QRectF& sheet, const PageFrame& frame,
              double penScale = 1.0);

  void setFont(const QString& name, double points) override;
  void setTextColor(qint32 color) override;
  void setLineWidth(int pixels) override;
  void fillBox(double x, double y, double width, double height, qint32 color) override;
  void outlineBox(double x, double y, double width, double height, qint32 color) override;
  void drawText(double x, double y, const QString& text) override;
  QSizeF measureText(const QString& fontName, double points, const QString& text) override;

  double toDeviceX(double x) const;
  double toDeviceY(double y) const;

 private:
  // Rounds the edges, so that neighbouring cells meet without gaps or overlaps.
  QRect deviceRect(double x, double y, double width, double height) const;

  QPainter& painter_;
  double left_, top_;     // the table's top-left corner in device pixels
  double unitX_, unitY_;  // device pixels per table unit
  double penScale_;
  QFont font_;
  // Fonts measured, with the widths of the texts measured in them: a table measures the
  // same dates thousands of times in a few fonts.
  struct Measured {
    QString name;
    double points;
    QFontMetricsF metrics;
    QHash<QString, double> widths;
  };
  std::vector<Measured> measured_;
  Measured& measuredFont(const QString& name, double points);
  QColor textColor_ = Qt::black;
  int lineWidth_ = 1;
};

// The font the page draws in for a name and size (sizes below what fonts allow are raised).
QFont pageFont(const QString& name, double points);

// The footer line of every page: the user's name at the left, the date printed and
// "n / N" at the right, in small type (`points`) at the bottom of the frame's content.
struct Footer {
  QString user;
  QDate printed;
  int page = 1;  // 1-based
  int pages = 1;
};
inline constexpr double kFooterPoints = 7;
void drawFooter(DrawingSurface& s, const PageFrame& frame, const Footer& footer, double points);

}  // namespace velnor
