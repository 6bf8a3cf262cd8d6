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
  const RecordingSurface s = draw({.fontSize = 12});

  EXPECT_EQ(rowTexts(s, 0).mid(0, 3), (QStringList{u"区域"_s, u"名前"_s, u" 1"_s}));
  EXPECT_EQ(rowTexts(s, 20).mid(0, 3), (QStringList{u"T1"_s, u"N1"_s, u"1-1"_s}));

  // Territory cells take the header colour, the rest the list background.
  const QList<DrawOp> fills = s.ofKind(DrawOp::Fill);
  ASSERT_EQ(fills.size(), 14 * 4);
  EXPECT_EQ(QList<qint32>({fills[14].color, fills[15].color, fills[27].color}),
            QList<qint32>({0xFFC0C0, 0xC0FFFF, 0xC0FFFF}));
  const QList<DrawOp> fonts = s.ofKind(DrawOp::Font);  // header, then each row
  ASSERT_EQ(fonts.size(), 4);
  EXPECT_EQ(fonts[0].text + fonts[3].text, u"ＭＳ Ｐゴシック"_s + u"ＭＳ 明朝"_s);
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
  const DrawOp last = s.ofKind(DrawOp::Fill)[1 + count];
  EXPECT_DOUBLE_EQ(last.w, width);
  EXPECT_DOUBLE_EQ(last.x + last.w, 160);
  EXPECT_EQ(m.FirstMonthOffset, offset);
}

INSTANTIATE_TEST_SUITE_P(Spans, MonthWindowTest,
                         ::testing::Values(MonthCase(0, 5, 1, 12, 9, 0),
                                           MonthCase(1, 6, 1, 6, 16, 0),  // first half
                                           MonthCase(1, 7, 7, 6, 16, 6),  // second half
                                           MonthCase(2, 4, 2, 3, 28, 1),  // ends with April
                                           MonthCase(2, 2, 1, 3, 28, 0),  // never before January
                                           MonthCase(2, 12, 10, 3, 28, 9)));

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

// A redraw shows the people; the person loaded for editing stays loaded, and no file
// is touched.
TEST_F(TableDrawingTest, NeverChangesTheLoadedPersonNorAnyFile) {
  makePeople(4);
  m.CurrentIndex = 1;
  m.ReadMode = 2;
  ASSERT_TRUE(m.ReadIndex());
  const QString note = m.CurrentFolder + u"/N1.txt"_s;
  const QByteArray noteBytes = prog.readBytes(note);
  QFile::remove(prog.path(m.CurrentFolder + u"/N0.txt"_s));
  draw();
  EXPECT_EQ(m.CurrentIndex, 1);
  EXPECT_EQ(m.PersonName, u"N1"_s);
  EXPECT_EQ(prog.readBytes(note), noteBytes);
  EXPECT_FALSE(prog.exists(m.CurrentFolder + u"/N0.txt"_s));
}

}  // namespace
}  // namespace velnor::test
