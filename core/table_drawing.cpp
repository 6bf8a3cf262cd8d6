#include "core/table_drawing.h"

#include <algorithm>
#include <array>

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
constexpr int kMaxCells = 2 + 12;

struct Columns {
  MonthWindow w;
  double monthLeft(int j) const {  // j = 1 .. monthCount
    return w.territoryWidth + w.nameWidth + (j - 1) * double(w.monthWidth);
  }
};

struct Cell {
  double left = 0, width = 0, textX = 0;
  QString text;
  bool header = false;  // filled in the header colour
};

// The cells of a row, left to right: the header row for no record.
int rowCells(const Columns& c, const Record* r, std::array<Cell, kMaxCells>& cells) {
  const double nameLeft = c.w.territoryWidth;
  cells[0] = {0, double(c.w.territoryWidth), 2, r ? r->territory : u"区域"_s, true};
  cells[1] = {nameLeft, double(c.w.nameWidth), nameLeft + 3, r ? r->name : u"名前"_s, !r};
  for (int j = 1; j <= c.w.monthCount; ++j) {
    const double x = c.monthLeft(j);
    const int month = c.w.firstMonthOffset + j;
    cells[1 + j] = {x, double(c.w.monthWidth), x + 1,
                    r ? r->months[month] : u' ' + QString::number(month), !r};
  }
  return 2 + c.w.monthCount;
}

struct LaidOutRow {
  std::array<Cell, kMaxCells> cells;
  std::array<CellTextLayout, kMaxCells> layouts;
  int count = 0;
  double height = 0;
};

// Lays out a row's texts at the top y and finds the height the row needs.
void layOutRow(DrawingSurface& s, const Columns& c, const Record* r, double y, double rh,
               const CellTextStyle& t, LaidOutRow& row) {
  row.count = rowCells(c, r, row.cells);
  row.height = rh;
  for (int i = 0; i < row.count; ++i) {
    const Cell& cell = row.cells[i];
    if (!t.fit || cell.text.isEmpty()) {
      row.layouts[i] = {t.points, {cell.text}, {cell.textX, y + 1}, 0, rh};
      continue;
    }
    row.layouts[i] =
        layoutCellText(s, t, {cell.left, y, cell.width, rh}, {cell.textX, y + 1}, cell.text);
    row.height = std::max(row.height, row.layouts[i].height);
  }
}

void fillRow(DrawingSurface& s, const LaidOutRow& row, double y, qint32 headerFill, qint32 cellFill,
             const CellTextStyle& t) {
  for (int i = 0; i < row.count; ++i) {
    const Cell& cell = row.cells[i];
    s.fillBox(cell.left, y, cell.width, row.height, cell.header ? headerFill : cellFill);
    if (!t.fit || cell.text.isEmpty())
      s.drawText(cell.textX, y + 1, cell.text);
    else
      drawCellLayout(s, t, row.layouts[i]);
  }
}

void outlineRow(DrawingSurface& s, const LaidOutRow& row, double y, qint32 color) {
  for (int i = 0; i < row.count; ++i)
    s.outlineBox(row.cells[i].left, y, row.cells[i].width, row.height, color);
}

// The records drawTable draws: [first, first + count).
struct Span {
  int first = 0, count = 0;
};

Span drawnRecords(Module1& m, const TableParams& p) {
  const int total = std::min<int>(m.PersonCount, m.folder().recordCount());
  if (total < 1) return {};
  const int first = std::clamp(p.firstRecord, 0, total - 1);
  return {first, p.recordLimit < 0 ? total - first : std::min(p.recordLimit, total - first)};
}

CellTextStyle styleFor(const QString& font, const TableParams& p) {
  return {font, p.fontSize, p.fitText, p.smallestFontSize};
}

}  // namespace

void drawTable(Module1& m, DrawingSurface& s, const TableParams& p) {
  const Columns c{monthWindowFor(m.DisplaySpan, m.CurrentMonth)};
  m.SetMonthWindow(c.w);
  m.TargetIndex = m.CurrentIndex;
  // Ruling lines must stand out from the list background: white on a (near) black one.
  m.TextColors[2] = m.BackColors[1] >= 30 ? 0 : 0xFFFFFF;
  const Span span = drawnRecords(m, p);
  if (span.count < 1) return;
  const ParsedFolder& folder = m.folder();
  const double rh = p.rowHeight;
  const CellTextStyle headerStyle = styleFor(kHeaderFont, p);
  const CellTextStyle rowStyle = styleFor(kRowFont, p);

  // Fills and texts first: each cell's fill cuts off the text running in from its left.
  s.setFont(kHeaderFont, p.fontSize);
  s.setTextColor(m.TextColors[0]);
  s.setLineWidth(1);
  std::vector<LaidOutRow> rows(size_t(span.count) + 1);
  std::vector<double> tops(rows.size());
  layOutRow(s, c, nullptr, 0, rh, headerStyle, rows[0]);
  fillRow(s, rows[0], 0, m.HeaderFillColor, m.HeaderFillColor, headerStyle);
  double y = rows[0].height;
  for (int k = 0; k < span.count; ++k) {
    const Record record = folder.record(span.first + k);
    s.setFont(kRowFont, p.fontSize);
    LaidOutRow& row = rows[size_t(k) + 1];
    layOutRow(s, c, &record, y, rh, rowStyle, row);
    fillRow(s, row, y, m.HeaderFillColor, m.BackColors[1], rowStyle);
    tops[size_t(k) + 1] = y;
    y += row.height;
  }

  // Then every outline on top.
  const qint32 line = m.TextColors[2];
  s.outlineBox(0, 0, kTableWidth, y, line);
  for (size_t k = 0; k < rows.size(); ++k) outlineRow(s, rows[k], tops[k], line);
}

std::vector<double> tableRowHeights(Module1& m, DrawingSurface& s, const TableParams& p) {
  const Columns c{monthWindowFor(m.DisplaySpan, m.CurrentMonth)};
  const Span span = drawnRecords(m, p);
  std::vector<double> heights;
  if (span.count < 1) return heights;
  heights.reserve(size_t(span.count) + 1);
  LaidOutRow row;
  layOutRow(s, c, nullptr, 0, p.rowHeight, styleFor(kHeaderFont, p), row);
  heights.push_back(row.height);
  const CellTextStyle rowStyle = styleFor(kRowFont, p);
  const ParsedFolder& folder = m.folder();
  for (int k = 0; k < span.count; ++k) {
    const Record record = folder.record(span.first + k);
    layOutRow(s, c, &record, 0, p.rowHeight, rowStyle, row);
    heights.push_back(row.height);
  }
  return heights;
}

}  // namespace velnor
