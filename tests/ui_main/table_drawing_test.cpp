// The table drawing shared by the list and the print image, checked on a recording surface.
#include <gtest/gtest.h>

#include <QStringDecoder>

#include "core/table_drawing.h"
#include "support/recording_surface.h"
#include "support/temp_program.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor::test {
namespace {

QString recordLine(const QString& territory, const QString& name, const QString& monthPrefix) {
  QString line = territory + u'*' + name + u'*';
  for (int k = 1; k <= 12; ++k) line += monthPrefix + QString::number(k) + u'*';
  return line;
}

class TableDrawingTest : public ::testing::Test {
 protected:
  TableDrawingTest() : m(*prog.m) {
    m.BackColors = {0xC0FFC0, 0xC0FFFF, 0xFFC0C0};
    m.TextColors = {0x112233, 0, 0};
    m.HeaderFillColor = 0xFFC0C0;
    m.RowHeight = 10;
    m.CurrentMonth = 5;
  }

  // A folder of `people` records: territory T<i>, name N<i>, month k text "<i>-k".
  void makePeople(int people) {
    QStringList lines{kIndexComment1, kIndexComment2};
    for (int i = 0; i < people; ++i)
      lines << recordLine(u"T"_s + QString::number(i), u"N"_s + QString::number(i),
                          QString::number(i) + u'-');
    m.CurrentFolder = prog.makeFolder(u"田中"_s, TempProgram::cp932Lines(lines));
    m.IndexFilePath = m.indexPathFor(m.CurrentFolder);
    m.ReadMode = 1;
    ASSERT_TRUE(m.ReadIndex());
    ASSERT_EQ(m.PersonCount, people);
  }

  RecordingSurface draw(TableParams params = {}) {
    RecordingSurface s;
    drawTable(m, s, params);
    return s;
  }

  static QStringList headerTexts(const RecordingSurface& s) {
    QStringList out;
    for (const DrawOp& op : s.ofKind(DrawOp::Text))
      if (op.y == 1) out << op.text;
    return out;
  }
  static QStringList rowTexts(const RecordingSurface& s, double y) {
    QStringList out;
    for (const DrawOp& op : s.ofKind(DrawOp::Text))
      if (op.y == y + 1) out << op.text;
    return out;
  }

  TempProgram prog;
  Module1& m;
};

TEST_F(TableDrawingTest, TwelveMonths_HeaderAndRowsInColumnOrder) {
  makePeople(2);
  m.DisplaySpan = 0;
  const RecordingSurface s = draw();

  QStringList header{u"区域"_s, u"名前"_s};
  for (int k = 1; k <= 12; ++k) header << u' ' + QString::number(k);
  EXPECT_EQ(headerTexts(s), header);

  QStringList row1{u"T1"_s, u"N1"_s};
  for (int k = 1; k <= 12; ++k) row1 << u"1-"_s + QString::number(k);
  EXPECT_EQ(rowTexts(s, 20), row1);

  // Header fills: 15 + 37 + 12 × 9 = 160, month k at 52 + (k-1) × 9.
  const QList<DrawOp> fills = s.ofKind(DrawOp::Fill);
  ASSERT_EQ(fills.size(), 14 * 3);
  EXPECT_DOUBLE_EQ(fills[13].x, 151);
  EXPECT_DOUBLE_EQ(fills[13].x + fills[13].w, 160);
  // Territory cells take the header colour, name and month cells the list background.
  EXPECT_EQ(fills[14].color, 0xFFC0C0);
  EXPECT_EQ(fills[15].color, 0xC0FFFF);
  EXPECT_EQ(fills[16].color, 0xC0FFFF);
  EXPECT_DOUBLE_EQ(fills[14].y, 10);
  EXPECT_EQ(m.TerritoryColumnWidth, 15);
  EXPECT_EQ(m.NameColumnWidth, 37);
  EXPECT_EQ(m.MonthColumnWidth, 9);
  EXPECT_EQ(m.FirstMonthOffset, 0);
}

TEST_F(TableDrawingTest, FillsAndTextsComeBeforeEveryOutline) {
  makePeople(3);
  const RecordingSurface s = draw();
  int firstOutline = -1, lastFillOrText = -1;
  for (int i = 0; i < s.ops.size(); ++i) {
    const auto k = s.ops[i].kind;
    if (k == DrawOp::Outline && firstOutline < 0) firstOutline = i;
    if (k == DrawOp::Fill || k == DrawOp::Text) lastFillOrText = i;
  }
  ASSERT_GE(firstOutline, 0);
  EXPECT_LT(lastFillOrText, firstOutline);

  // The frame first, around the header and all three rows; then one outline per cell.
  const QList<DrawOp> outlines = s.ofKind(DrawOp::Outline);
  ASSERT_EQ(outlines.size(), 1 + 14 * 4);
  EXPECT_DOUBLE_EQ(outlines[0].x, 0);
  EXPECT_DOUBLE_EQ(outlines[0].y, 0);
  EXPECT_DOUBLE_EQ(outlines[0].w, 160);
  EXPECT_DOUBLE_EQ(outlines[0].h, 40);
}

TEST_F(TableDrawingTest, FontsFollowTheParameters) {
  makePeople(2);
  TableParams p;
  p.fontSize = 12;
  const RecordingSurface s = draw(p);
  const QList<DrawOp> fonts = s.ofKind(DrawOp::Font);
  ASSERT_EQ(fonts.size(), 3);  // header, then each row
  EXPECT_EQ(fonts[0].text, u"ＭＳ Ｐゴシック"_s);
  EXPECT_EQ(fonts[1].text, u"ＭＳ 明朝"_s);
  for (const DrawOp& f : fonts) EXPECT_DOUBLE_EQ(f.size, 12);
  const QList<DrawOp> colors = s.ofKind(DrawOp::TextColor);
  ASSERT_EQ(colors.size(), 1);
  EXPECT_EQ(colors[0].color, 0x112233);
}

TEST_F(TableDrawingTest, SixMonths_FirstOrSecondHalfOfTheYear) {
  makePeople(1);
  m.DisplaySpan = 1;
  m.CurrentMonth = 6;
  EXPECT_EQ(headerTexts(draw()).mid(2),
            (QStringList{u" 1"_s, u" 2"_s, u" 3"_s, u" 4"_s, u" 5"_s, u" 6"_s}));
  m.CurrentMonth = 7;
  const RecordingSurface s = draw();
  EXPECT_EQ(headerTexts(s).mid(2),
            (QStringList{u" 7"_s, u" 8"_s, u" 9"_s, u" 10"_s, u" 11"_s, u" 12"_s}));
  EXPECT_EQ(rowTexts(s, 10).mid(2),
            (QStringList{u"0-7"_s, u"0-8"_s, u"0-9"_s, u"0-10"_s, u"0-11"_s, u"0-12"_s}));
  // 20 + 44 + 6 × 16 = 160
  const QList<DrawOp> fills = s.ofKind(DrawOp::Fill);
  EXPECT_DOUBLE_EQ(fills[7].x, 144);
  EXPECT_DOUBLE_EQ(fills[7].w, 16);
  EXPECT_EQ(m.FirstMonthOffset, 6);
}

TEST_F(TableDrawingTest, ThreeMonths_EndWithTheCurrentMonth) {
  makePeople(1);
  m.DisplaySpan = 2;
  m.CurrentMonth = 4;
  RecordingSurface s = draw();
  EXPECT_EQ(headerTexts(s).mid(2), (QStringList{u" 2"_s, u" 3"_s, u" 4"_s}));
  EXPECT_EQ(rowTexts(s, 10).mid(2), (QStringList{u"0-2"_s, u"0-3"_s, u"0-4"_s}));
  const QList<DrawOp> fills = s.ofKind(DrawOp::Fill);
  EXPECT_DOUBLE_EQ(fills[2].x, 76);  // 25 + 51
  EXPECT_DOUBLE_EQ(fills[4].x + fills[4].w, 160);

  m.CurrentMonth = 12;
  EXPECT_EQ(headerTexts(draw()).mid(2), (QStringList{u" 10"_s, u" 11"_s, u" 12"_s}));
  m.CurrentMonth = 2;
  EXPECT_EQ(headerTexts(draw()).mid(2), (QStringList{u" 1"_s, u" 2"_s, u" 3"_s}));
  m.CurrentMonth = 9;
  EXPECT_EQ(headerTexts(draw()).mid(2), (QStringList{u" 7"_s, u" 8"_s, u" 9"_s}));
}

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
  m.CurrentFolder = prog.makeFolder(
      u"空"_s, TempProgram::cp932Lines({kIndexComment1, kIndexComment2, u"a*b*c"_s}));
  m.IndexFilePath = m.indexPathFor(m.CurrentFolder);
  m.ReadMode = 1;
  ASSERT_TRUE(m.ReadIndex());
  ASSERT_EQ(m.PersonCount, 0);
  EXPECT_TRUE(draw().ops.isEmpty());
}

TEST_F(TableDrawingTest, LeavesTheSelectionAndTheLastPersonLoaded) {
  makePeople(4);
  m.CurrentIndex = 1;
  draw();
  EXPECT_EQ(m.CurrentIndex, 1);
  EXPECT_EQ(m.TargetIndex, 1);
  EXPECT_EQ(m.PersonName, u"N3"_s);
  EXPECT_EQ(m.PersonTerritory, u"T3"_s);
  EXPECT_EQ(m.MonthDates[12], u"3-12"_s);
  EXPECT_EQ(m.PersonNote, u"補足情報"_s);
}

TEST_F(TableDrawingTest, CreatesMissingNoteFilesAndKeepsExistingOnes) {
  makePeople(3);
  const QString kept = m.CurrentFolder + u"/N1.txt"_s;
  prog.writeBytes(kept, TempProgram::cp932Lines({u"大事なメモ"_s}));
  draw();
  EXPECT_TRUE(prog.exists(m.CurrentFolder + u"/N0.txt"_s));
  EXPECT_TRUE(prog.exists(m.CurrentFolder + u"/N2.txt"_s));
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
  EXPECT_EQ(headerTexts(s).mid(0, 2), (QStringList{u"区域"_s, u"名前"_s}));
  EXPECT_EQ(rowTexts(s, 10).mid(0, 2), (QStringList{u"T30"_s, u"N30"_s}));
  EXPECT_EQ(rowTexts(s, 100).mid(0, 2), (QStringList{u"T39"_s, u"N39"_s}));
  EXPECT_TRUE(rowTexts(s, 110).isEmpty());
  EXPECT_DOUBLE_EQ(s.ofKind(DrawOp::Outline)[0].h, 110);
  EXPECT_EQ(m.PersonName, u"N39"_s);  // still the folder's last person
}

}  // namespace
}  // namespace velnor::test
