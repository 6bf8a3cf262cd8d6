#include "core/table_drawing.h"

#include <algorithm>

#include "core/cell_text.h"
#include "core/drawing_surface.h"
#include "core/module1.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace {

// The Japanese system fonts the table is drawn in; the windows map them to the fonts
// present on the machine.
const QString kHeaderFont = u"ＭＳ Ｐゴシック"_s;
const QString kRowFont = u"ＭＳ 明朝"_s;
constexpr double kTableWidth = 160;

struct Columns {
  MonthWindow w;
  double monthLeft(int j) const {  // j = 1 .. monthCount
    return w.territoryWidth + w.nameWidth + (j - 1) * double(w.monthWidth);
  }
};

void fillHeader(DrawingSurface& s, const Columns& c, double rh, qint32 fill,
                const CellTextStyle& t) {
  s.fillBox(0, 0, c.w.territoryWidth, rh, fill);
  drawCellText(s, t, {0, 0, double(c.w.territoryWidth), rh}, {2, 1}, u"区域"_s);
  s.fillBox(c.w.territoryWidth, 0, c.w.nameWidth, rh, fill);
  drawCellText(s, t, {double(c.w.territoryWidth), 0, double(c.w.nameWidth), rh},
               {c.w.territoryWidth + 3.0, 1}, u"名前"_s);
  for (int j = 1; j <= c.w.monthCount; ++j) {
    const double x = c.monthLeft(j);
    s.fillBox(x, 0, c.w.monthWidth, rh, fill);
    drawCellText(s, t, {x, 0, double(c.w.monthWidth), rh}, {x + 1, 1},
                 u' ' + QString::number(c.w.firstMonthOffset + j));
  }
}

void fillRow(DrawingSurface& s, const Columns& c, double y, double rh, const Record& r,
             qint32 headerFill, qint32 cellFill, const CellTextStyle& t) {
  s.fillBox(0, y, c.w.territoryWidth, rh, headerFill);
  drawCellText(s, t, {0, y, double(c.w.territoryWidth), rh}, {2, y + 1}, r.territory);
  s.fillBox(c.w.territoryWidth, y, c.w.nameWidth, rh, cellFill);
  drawCellText(s, t, {double(c.w.territoryWidth), y, double(c.w.nameWidth), rh},
               {c.w.territoryWidth + 3.0, y + 1}, r.name);
  for (int j = 1; j <= c.w.monthCount; ++j) {
    const double x = c.monthLeft(j);
    s.fillBox(x, y, c.w.monthWidth, rh, cellFill);
    drawCellText(s, t, {x, y, double(c.w.monthWidth), rh}, {x + 1, y + 1},
                 r.months[c.w.firstMonthOffset + j]);
  }
}

void outlineRow(DrawingSurface& s, const Columns& c, double y, double rh, qint32 color) {
  s.outlineBox(0, y, c.w.territoryWidth, rh, color);
  s.outlineBox(c.w.territoryWidth, y, c.w.nameWidth, rh, color);
  for (int j = 1; j <= c.w.monthCount; ++j)
    s.outlineBox(c.monthLeft(j), y, c.w.monthWidth, rh, color);
}

}  // namespace

void drawTable(Module1& m, DrawingSurface& s, const TableParams& p) {
  const Columns c{monthWindowFor(m.DisplaySpan, m.CurrentMonth)};
  m.SetMonthWindow(c.w);
  m.TargetIndex = m.CurrentIndex;
  // Ruling lines must stand out from the list background: white on a (near) black one.
  m.TextColors[2] = m.BackColors[1] >= 30 ? 0 : 0xFFFFFF;
  const ParsedFolder& folder = m.folder();
  const int total = std::min<int>(m.PersonCount, folder.recordCount());
  if (total < 1) return;

  const int first = std::clamp(p.firstRecord, 0, total - 1);
  const int count = p.recordLimit < 0 ? total - first : std::min(p.recordLimit, total - first);
  const double rh = p.rowHeight;

  // Fills and texts first: each cell's fill cuts off the text running in from its left.
  s.setFont(kHeaderFont, p.fontSize);
  s.setTextColor(m.TextColors[0]);
  s.setLineWidth(1);
  fillHeader(s, c, rh, m.HeaderFillColor, {kHeaderFont, p.fontSize, p.fitText});
  for (int k = 0; k < count; ++k) {
    s.setFont(kRowFont, p.fontSize);
    fillRow(s, c, (k + 1) * rh, rh, folder.record(first + k), m.HeaderFillColor, m.BackColors[1],
            {kRowFont, p.fontSize, p.fitText});
  }

  // Then every outline on top.
  const qint32 line = m.TextColors[2];
  s.outlineBox(0, 0, kTableWidth, (count + 1) * rh, line);
  outlineRow(s, c, 0, rh, line);
  for (int k = 0; k < count; ++k) outlineRow(s, c, (k + 1) * rh, rh, line);
}

}  // namespace velnor
