// The table drawing shared by the list and the print image, checked on a recording surface,
// the whole text of a cell the list cuts (its tool tip), and the list's kept image: logical
// units on pixels, and text cut at the next cell.
#include <gtest/gtest.h>

#include <QImage>

#include "core/table_drawing.h"
#include "core/text_file.h"
#include "support/recording_surface.h"
#include "support/temp_program.h"
#include "ui/common/twips.h"
#include "ui/main/list_picture.h"
#include "ui/main/picture_surface.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor::test {
namespace {

class TableDrawingTest : public ::testing::Test {
 protected:
  TableDrawingTest() : m(*prog.m) {
    m.ApplyDefaults();  // list background 0xC0FFFF, rows 10 high
    m.TextColors[0] = 0x112233;
    m.HeaderFillColor = 0xFFC0C0;
    m.CurrentMonth = 5;
  }

  // `people` records: territory T<i>, name N<i>, month k holding "<i>-k"; or the raw lines.
  void makePeople(int people, QStringList lines = {}) {
    for (int i = 0; i < people; ++i) {
      QString line = u"T%1*N%1*"_s.arg(i);
      for (int k = 1; k <= 12; ++k) line += u"%1-%2*"_s.arg(i).arg(k);
      lines << line;
    }
    prog.useFolder(u"田中"_s, lines);
    ASSERT_TRUE(prog.read(1));
  }
  RecordingSurface draw() {
    RecordingSurface s;
    drawTable(m, s, {});
    return s;
  }
  // The colour `text` was drawn in.
  static qint32 colourOf(const RecordingSurface& s, const QString& text) {
    qint32 colour = -1;
    for (const DrawOp& op : s.ops) {
      if (op.kind == DrawOp::TextColor) colour = op.color;
      if (op.kind == DrawOp::Text && op.text == text) return colour;
    }
    return -1;
  }
  // The texts of the row whose top is at `y` (0 is the header row).
  static QStringList rowTexts(const RecordingSurface& s, double y) {
    QStringList out;
    for (const DrawOp& op : s.ofKind(DrawOp::Text))
      if (op.y == y + 1) out << op.text;
    return out;
  }

  TempProgram prog;
  Module1& m;
};

// Rows are in the list's text colour; the lines between cells stay visible over every
// cell's fill, in a colour that contrasts with the list's background.
TEST_F(TableDrawingTest, TerritoryCellsTakeTheHeaderColourAndRulingsShowBetweenTheCells) {
  makePeople(3);
  EXPECT_EQ(colourOf(draw(), u"N0"_s), 0x112233);
  PictureSurface picture;  // as the list shows it: 160 × 260 units on 320 × 520 pixels
  picture.clear(QSize(320, 520), 1.0, m.BackColors[1]);
  picture.setScale(160, 260);
  drawTable(m, picture, {});
  const QImage img = picture.image();
  EXPECT_EQ(QColor(img.pixel(10, 50)), fromBgr(0xFFC0C0));  // (5, 25) in list units
  auto ruled = [&](double fromX, double toX, double y) {
    for (int px = int(fromX * 2); px <= int(toX * 2); ++px)
      if (QColor(img.pixel(px, int(y * 2))) == QColor(Qt::black)) return true;
    return false;
  };
  EXPECT_TRUE(ruled(14, 16, 25));  // territory | name
  EXPECT_TRUE(ruled(51, 53, 25));  // name | January
  // The rulings' colour contrasts with the list's background.
  const std::pair<qint32, qint32> cases[] = {
      {0xC0FFFF, 0}, {0, 0xFFFFFF}, {29, 0xFFFFFF}, {30, 0}, {qint32(0xFFFFFFFF), 0xFFFFFF}};
  for (const auto& [background, expected] : cases) {
    m.BackColors[1] = background;
    const RecordingSurface s = draw();
    EXPECT_EQ(m.TextColors[2], expected) << background;
    for (const DrawOp& op : s.ofKind(DrawOp::Outline)) ASSERT_EQ(op.color, expected) << background;
  }
}

// Display span, current month; first month shown, months shown, month width, FirstMonthOffset.
using MonthCase = std::tuple<qint16, int, int, int, double, int>;
class MonthWindowTest : public TableDrawingTest, public ::testing::WithParamInterface<MonthCase> {};

TEST_P(MonthWindowTest, ShowsTheMonthsOfTheSpanAndFillsTheWidth) {
  const auto [span, month, first, count, width, offset] = GetParam();
  makePeople(1);
  m.DisplaySpan = span;
  m.CurrentMonth = month;
  const RecordingSurface s = draw();
  QStringList header, row;
  for (int k = first; k < first + count; ++k) {
    header << u' ' + QString::number(k);
    row << u"0-"_s + QString::number(k);
  }
  EXPECT_EQ(rowTexts(s, 0).mid(2), header);
  EXPECT_EQ(rowTexts(s, 10).mid(2), row);
  EXPECT_EQ(m.FirstMonthOffset, offset);
  // The last month's cell ends at the table's right edge.
  DrawOp last;
  for (const DrawOp& op : s.ofKind(DrawOp::Fill))
    if (op.y == 0 && op.x + op.w > last.x + last.w) last = op;
  EXPECT_DOUBLE_EQ(last.w, width);
  EXPECT_DOUBLE_EQ(last.x + last.w, 160);
}

INSTANTIATE_TEST_SUITE_P(Spans, MonthWindowTest,
                         ::testing::Values(MonthCase(0, 5, 1, 12, 9, 0),
                                           MonthCase(1, 6, 1, 6, 16, 0),  // first half
                                           MonthCase(1, 7, 7, 6, 16, 6),  // second half
                                           MonthCase(2, 4, 2, 3, 28, 1),  // ends with April
                                           MonthCase(2, 2, 1, 3, 28, 0),  // never before January
                                           MonthCase(2, 12, 10, 3, 28, 9)));

// Drawing reads no note: it never writes or creates one. A folder without records draws
// nothing.
TEST_F(TableDrawingTest, NeverWritesOrCreatesANoteFileAndDrawsNothingWithoutRecords) {
  makePeople(4);
  ASSERT_TRUE(prog.read(2, 1));
  const QString note = m.CurrentFolder + u"/N1.txt"_s;
  const QByteArray noteBytes = prog.readBytes(note);
  QFile::remove(prog.path(m.CurrentFolder + u"/N0.txt"_s));
  draw();
  EXPECT_EQ(prog.readBytes(note), noteBytes);
  EXPECT_FALSE(prog.exists(m.CurrentFolder + u"/N0.txt"_s));
  makePeople(0, {u"a*b*c"_s});
  ASSERT_EQ(m.PersonCount, 0);
  EXPECT_TRUE(draw().ops.isEmpty());
}

const QString kLongName = u"長谷川左衛門之助太郎右衛門次郎三郎四郎様"_s;  // 20 em
const QString kLongDates = u"1,8,15,22,29"_s;                             // 6 em

// Months 1, 2 and 12 of the first person hold dates. At 6 points the model's em is 2.1 list
// units: month cells hold 3.8 em after the inset, territory cells 6.2 em.
TEST_F(TableDrawingTest, TheCutTextOfACellIsItsWholeTextAndNothingElse) {
  const QString territory = u"北区東町三丁目西側"_s;  // 9 em
  makePeople(0, {TempProgram::record(
                     territory, kLongName,
                     {kLongDates, u"13,14"_s, {}, {}, {}, {}, {}, {}, {}, {}, {}, kLongDates}),
                 u"北1*佐藤*3************"_s});
  RecordingSurface screen = draw();
  const std::tuple<double, double, QString> cases[] = {
      {5, 15, territory},    {40, 15, kLongName}, {55, 15, kLongDates},
      {159, 15, kLongDates}, {64, 15, u""_s},   // "13,14" fits
      {5, 25, u""_s},        {20, 25, u""_s},   // short texts in the second row
      {5, 5, u""_s},         {55, 5, u""_s},    // the header row
      {55, 35, u""_s},       {161, 15, u""_s},  // below the rows, beside the table
  };
  for (const auto& [x, y, expected] : cases)
    EXPECT_EQ(cutCellText(m, screen, 6, QPointF(x, y)), expected) << x << ", " << y;
}

// ---- The kept image of the list.

int darkPixels(const QImage& img, const QRect& area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += qGray(img.pixel(x, y)) < 100;
  return n;
}

// A 160 × 260 unit picture, 320 pixels wide and `height` high, with a 10-point black font.
void prepare(PictureSurface& s, int height) {
  s.clear(QSize(320, height), 1.0, 0xC0FFFF);
  s.setScale(160, 260);
  s.setFont(u"ＭＳ 明朝"_s, 10);
  s.setTextColor(0);
}

TEST(PictureSurface, TextRunsOnUntilTheNextCellIsFilled) {
  PictureSurface s;
  prepare(s, 520);
  s.fillBox(0, 0, 20, 20, 0xFFFFFF);
  s.drawText(1, 1, u"とても長い名前の人がいます"_s);
  const QRect nextCell(42, 4, 76, 30);  // right of x = 20 units, inside the box below
  EXPECT_GT(darkPixels(s.image(), nextCell), 0) << "the text is not clipped by its own cell";
  s.fillBox(20, 0, 40, 20, 0xFFFFFF);
  EXPECT_EQ(darkPixels(s.image(), nextCell), 0);
  EXPECT_GT(darkPixels(s.image(), QRect(2, 2, 36, 36)), 0);
}

// The logical scale does not stretch the font: the same points ink the same pixel height.
TEST(PictureSurface, FontSizeIsInPointsNotInLogicalUnits) {
  int inked[2] = {0, 0};  // rows with ink; the glyph has no gap from top to bottom
  for (int i : {0, 1}) {
    PictureSurface s;
    prepare(s, 520 << i);
    s.drawText(0, 0, u"田"_s);
    for (int y = 0; y < 60; ++y) inked[i] += darkPixels(s.image(), QRect(0, y, 40, 1)) > 0;
  }
  EXPECT_GT(inked[0], 5);
  EXPECT_EQ(inked[1], inked[0]);
}

}  // namespace
}  // namespace velnor::test
