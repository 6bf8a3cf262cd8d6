// The table drawing shared by the list and the print image, checked on a recording surface.
#include <gtest/gtest.h>

#include "core/table_drawing.h"
#include "core/text_file.h"
#include "support/recording_surface.h"
#include "support/temp_program.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor::test {
namespace {

class TableDrawingTest : public ::testing::Test {
 protected:
  TableDrawingTest() : m(*prog.m) {
    m.BackColors = {0xC0FFC0, 0xC0FFFF, 0xFFC0C0};
    m.TextColors = {0x112233, 0, 0};
    m.HeaderFillColor = 0xFFC0C0;
    m.RowHeight = 10;
    m.CurrentMonth = 5;
  }

  // `people` records: territory T<i>, name N<i>, month k holding "<i>-k"; or the raw lines.
  void makePeople(int people, QStringList lines = {}) {
    for (int i = 0; i < people; ++i) {
      QString line = u"T%1*N%1*"_s.arg(i);
      for (int k = 1; k <= 12; ++k) line += u"%1-%2*"_s.arg(i).arg(k);
      lines << line;
    }
    m.CurrentFolder = prog.makeFolder(
        u"田中"_s, TempProgram::cp932Lines(QStringList{kIndexComment1, kIndexComment2} + lines));
    m.IndexFilePath = m.indexPathFor(m.CurrentFolder);
    m.ReadMode = 1;
    ASSERT_TRUE(m.ReadIndex());
  }
  RecordingSurface draw(TableParams params = {}) {
    RecordingSurface s;
    drawTable(m, s, params);
    return s;
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

TEST_F(TableDrawingTest, TwelveMonthsFillsAndTextsFirstThenEveryOutline) {
  makePeople(3);
  TableParams p;
  p.fontSize = 12;
  const RecordingSurface s = draw(p);

  EXPECT_EQ(rowTexts(s, 0).mid(0, 3), (QStringList{u"区域"_s, u"名前"_s, u" 1"_s}));
  EXPECT_EQ(rowTexts(s, 20).mid(0, 3), (QStringList{u"T1"_s, u"N1"_s, u"1-1"_s}));

  // Territory cells take the header colour, the rest the list background.
  const QList<DrawOp> fills = s.ofKind(DrawOp::Fill);
  ASSERT_EQ(fills.size(), 14 * 4);
  EXPECT_DOUBLE_EQ(fills[14].y, 10);
  EXPECT_EQ(fills[14].color, 0xFFC0C0);
  EXPECT_EQ(fills[15].color, 0xC0FFFF);
  EXPECT_EQ(fills[16].color, 0xC0FFFF);

  const QList<DrawOp> fonts = s.ofKind(DrawOp::Font);  // header, then each row
  ASSERT_EQ(fonts.size(), 4);
  EXPECT_EQ(fonts[0].text, u"ＭＳ Ｐゴシック"_s);
  EXPECT_EQ(fonts[3].text, u"ＭＳ 明朝"_s);
  EXPECT_DOUBLE_EQ(fonts[3].size, 12);
  EXPECT_EQ(s.ofKind(DrawOp::TextColor).value(0).color, 0x112233);

  bool outlining = false;
  for (const DrawOp& op : s.ops) {
    outlining = outlining || op.kind == DrawOp::Outline;
    ASSERT_TRUE(!outlining || (op.kind != DrawOp::Fill && op.kind != DrawOp::Text));
  }
  // The frame around the header and all rows first, then one outline per cell.
  const QList<DrawOp> outlines = s.ofKind(DrawOp::Outline);
  ASSERT_EQ(outlines.size(), 1 + 14 * 4);
  EXPECT_EQ(QRectF(outlines[0].x, outlines[0].y, outlines[0].w, outlines[0].h),
            QRectF(0, 0, 160, 40));
}

struct MonthCase {
  qint16 span;
  int month, first, count;
  double width;
  int offset;
};
class MonthWindowTest : public TableDrawingTest, public ::testing::WithParamInterface<MonthCase> {};

TEST_P(MonthWindowTest, ShowsTheMonthsOfTheSpanAndFillsTheWidth) {
  const MonthCase c = GetParam();
  makePeople(1);
  m.DisplaySpan = c.span;
  m.CurrentMonth = c.month;
  const RecordingSurface s = draw();
  QStringList header, row;
  for (int k = c.first; k < c.first + c.count; ++k) {
    header << u' ' + QString::number(k);
    row << u"0-"_s + QString::number(k);
  }
  EXPECT_EQ(rowTexts(s, 0).mid(2), header);
  EXPECT_EQ(rowTexts(s, 10).mid(2), row);
  const DrawOp last = s.ofKind(DrawOp::Fill)[1 + c.count];
  EXPECT_DOUBLE_EQ(last.w, c.width);
  EXPECT_DOUBLE_EQ(last.x + last.w, 160);
  EXPECT_EQ(m.FirstMonthOffset, c.offset);
}

INSTANTIATE_TEST_SUITE_P(Spans, MonthWindowTest,
                         ::testing::Values(MonthCase{0, 5, 1, 12, 9, 0},
                                           MonthCase{1, 6, 1, 6, 16, 0},  // first half
                                           MonthCase{1, 7, 7, 6, 16, 6},  // second half
                                           MonthCase{2, 4, 2, 3, 28, 1},  // ends with April
                                           MonthCase{2, 2, 1, 3, 28, 0},  // never before January
                                           MonthCase{2, 12, 10, 3, 28, 9}));

TEST_F(TableDrawingTest, RulingColourContrastsWithTheListBackground) {
  makePeople(1);
  const std::pair<qint32, qint32> cases[] = {
      {0xC0FFFF, 0}, {0, 0xFFFFFF}, {29, 0xFFFFFF}, {30, 0}, {qint32(0xFFFFFFFF), 0xFFFFFF}};
  for (const auto& [background, expected] : cases) {
    m.BackColors[1] = background;
    const RecordingSurface s = draw();
    EXPECT_EQ(m.TextColors[2], expected) << background;
    for (const DrawOp& op : s.ofKind(DrawOp::Outline)) ASSERT_EQ(op.color, expected) << background;
  }
}

TEST_F(TableDrawingTest, AFolderWithoutRecordsDrawsNothing) {
  makePeople(0, {u"a*b*c"_s});
  ASSERT_EQ(m.PersonCount, 0);
  EXPECT_TRUE(draw().ops.isEmpty());
}

// One read of the index, yet the side effects of loading every row stay.
TEST_F(TableDrawingTest, LeavesTheSelectionTheLastPersonLoadedAndEveryNoteFile) {
  makePeople(4);
  const QString kept = m.CurrentFolder + u"/N1.txt"_s;
  prog.writeBytes(kept, TempProgram::cp932Lines({u"大事なメモ"_s}));
  m.CurrentIndex = 1;
  draw();
  EXPECT_EQ(m.CurrentIndex, 1);
  EXPECT_EQ(m.PersonName, u"N3"_s);
  EXPECT_EQ(m.MonthDates[12], u"3-12"_s);
  EXPECT_EQ(prog.readBytes(kept), TempProgram::cp932Lines({u"大事なメモ"_s}));
  const QStringList created =
      decodeCp932(prog.readBytes(m.CurrentFolder + u"/N0.txt"_s)).split(u"\r\n"_s);
  EXPECT_EQ(created.value(0), u"補足情報"_s);
  EXPECT_EQ(created.value(12), u" 12月　日"_s);
}

TEST_F(TableDrawingTest, PartOfTheFolderIsDrawnUnderTheHeaderRow) {
  makePeople(40);
  TableParams p;
  p.firstRecord = 30;
  p.recordLimit = 25;  // only ten are left
  const RecordingSurface s = draw(p);
  EXPECT_EQ(rowTexts(s, 0).mid(0, 2), (QStringList{u"区域"_s, u"名前"_s}));
  EXPECT_EQ(rowTexts(s, 10).mid(0, 2), (QStringList{u"T30"_s, u"N30"_s}));
  EXPECT_TRUE(rowTexts(s, 110).isEmpty());
  EXPECT_DOUBLE_EQ(s.ofKind(DrawOp::Outline)[0].h, 110);
  EXPECT_EQ(m.PersonName, u"N39"_s);  // still the folder's last person
}

}  // namespace
}  // namespace velnor::test
