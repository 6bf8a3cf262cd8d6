// The rules behind the windows, without a window: what the input screen's boxes refuse, which
// names a note file may have, what the find box counts as the same text and where it starts
// and ends, and where the list's marker goes.

#include <gtest/gtest.h>

#include "core/char_rules.h"
#include "core/find.h"
#include "support/temp_program.h"

using namespace Qt::Literals::StringLiterals;
using velnor::test::TempProgram;

namespace velnor {
namespace {

TEST(FindRefusal, RefusesATabWhereItIsWithItsNameAndAcceptsWhatTheBoxAllows) {
  const Refusal tab = findRefusal(u"a\tb"_s, EntryBox::Name).value_or(Refusal{});
  EXPECT_EQ(tab.position, 1);
  EXPECT_EQ(tab.prompt, u"タブ　　は入力できません･･･"_s);
  // What code page 932 holds and the box allows is accepted: a territory may hold what a
  // name must not.
  EXPECT_FALSE(findRefusal(u"[東]①髙﨑"_s, EntryBox::Name));
  EXPECT_FALSE(findRefusal(u"北/南[:"_s, EntryBox::Territory));
}

TEST(NoteFileNames, RefuseDeviceNamesOfAnyCaseAndWhatWouldLeaveTheFolder) {
  for (const QString& n : {u"CON"_s, u"con"_s, u"Prn"_s, u"aux"_s, u"NUL"_s, u"com1"_s, u"COM9"_s,
                           u"lpt1"_s, u"LPT9"_s, u"nul.txt"_s, u"CON "_s})
    EXPECT_TRUE(isReservedDeviceName(n)) << n.toStdString();
  for (const QString& n :
       {u"CONSOLE"_s, u"COM0"_s, u"COM10"_s, u"LPT"_s, u"田中"_s, u"xcon"_s, u""_s})
    EXPECT_FALSE(isReservedDeviceName(n)) << n.toStdString();
  QString why;
  EXPECT_FALSE(isStorableName(u"../x"_s, &why));
  EXPECT_EQ(why, u"名前に「/」は使えません。変更してください…"_s);
}

Record person(const QString& territory, const QString& name) {
  Record r;
  r.territory = territory;
  r.name = name;
  return r;
}

struct MatchCase {
  const char16_t* typed;
  const char16_t* name;
  bool found;
};

class FindMatch : public ::testing::TestWithParam<MatchCase> {};

TEST_P(FindMatch, KanaWidthAndCaseDoNotMatterKanjiMatchOnlyKanji) {
  const MatchCase& c = GetParam();
  const QList<Record> records{person(u"南"_s, QString::fromUtf16(c.name))};
  EXPECT_EQ(findPerson(records, QString::fromUtf16(c.typed), 0), c.found ? 0 : -1);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FindMatch,
    ::testing::Values(MatchCase{u"アベ", u"あべ", true}, MatchCase{u"aoki", u"Aoki", true},
                      MatchCase{u"アオキ", u"ｱｵｷ", true}, MatchCase{u"ＡＯＫＩ", u"aoki", true},
                      MatchCase{u"ガク", u"ｶﾞｸ", true}, MatchCase{u"ヴ", u"ゔぃ", true},
                      MatchCase{u"田", u"山田花子", true}, MatchCase{u"やま", u"山田", false},
                      MatchCase{u"山", u"やまだ", false}, MatchCase{u"べあ", u"あべ", false}));

const QList<Record> kRecords{person(u"北１"_s, u"あべ"_s), person(u"南"_s, u"アベ"_s),
                             person(u"北2"_s, u"上田"_s)};

// Going round from the current person is checked on the main window's find box.
TEST(FindPerson, FindsFromTheCurrentPersonOnByNameOrTerritory) {
  const std::tuple<QString, int, int> cases[] = {
      {u"あべ"_s, 7, 0},  // a start beyond the end goes round too
      {u"北1"_s, 2, 0},   // territories with widths folded
      {u"北"_s, 1, 2},
      {u"西"_s, 0, -1},
      {QString(), 0, -1}};
  for (const auto& [text, from, found] : cases)
    EXPECT_EQ(findPerson(kRecords, text, from), found) << text.toStdString() << from;
  EXPECT_EQ(findPerson(QList<Record>{}, u"あ"_s, 0), -1);
}

// ---- The marker over the list's cell cursor.

class PlaceCursor : public ::testing::Test {
 protected:
  // Places the marker with rows 10 high over the cell given.
  Module1& place(int span, int month, int column, int index = 0) {
    m.RowHeight = 10;
    m.DisplaySpan = qint16(span);
    m.CurrentMonth = month;
    m.CurrentColumn = qint16(column);
    m.CurrentIndex = qint16(index);
    m.PlaceCursor();
    return m;
  }
  TempProgram p;
  Module1& m = *p.m;
};

struct CursorCase {
  int span, month, column, index;
  double left, width;  // of the marker, in list units
};

class PlaceCursorTest : public PlaceCursor, public ::testing::WithParamInterface<CursorCase> {};

TEST_P(PlaceCursorTest, PutsTheMarkerOverTheSelectedCell) {
  const CursorCase c = GetParam();
  place(c.span, c.month, c.column, c.index);
  EXPECT_TRUE(m.Shape1Visible);
  EXPECT_DOUBLE_EQ(m.Shape1Left, c.left);
  EXPECT_DOUBLE_EQ(m.Shape1Width, c.width);
  EXPECT_DOUBLE_EQ(m.Shape1Top, (c.index + 1) * 10.0);  // under the header row
  EXPECT_DOUBLE_EQ(m.Shape1Height, 10.0);
  EXPECT_EQ(m.CurrentColumn, std::max(c.column, 1));  // column 0 becomes the territory
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, PlaceCursorTest,
    ::testing::Values(CursorCase{0, 5, 1, 0, 0, 15},         // territory of record 0
                      CursorCase{0, 5, 14, 3, 151, 9},       // December, twelve months
                      CursorCase{1, 8, 9, 0, 64, 16},        // July in August, six months
                      CursorCase{1, 3, 8, 0, 144, 16},       // June in March, the first half's last
                      CursorCase{2, 6, 8, 2, 132, 28},       // June in June, three months
                      CursorCase{2, 2, 5, 0, 132, 28},       // March, window Jan..Mar
                      CursorCase{2, 12, 12, 0, 76, 28},      // October, window Oct..Dec
                      CursorCase{0, 1, 0, 1, 0, 15},         // column 0: the territory
                      CursorCase{0, 5, 2, 32000, 15, 37}));  // a far row does not wrap

// Span, current month and column of months outside the window shown: the marker stays,
// the month window is set all the same.
TEST_F(PlaceCursor, AHiddenMonthLeavesTheMarkerWhereItWas) {
  const int hidden[][3] = {{1, 8, 5},  {1, 3, 9}, {1, 7, 8},  // March, July, June by halves
                           {2, 2, 6},  {2, 6, 5}, {2, 6, 9},  // Jan..Mar, Apr..Jun
                           {2, 11, 11}};                      // September in Oct..Dec
  for (const auto& [span, month, column] : hidden) {
    const double left = place(0, 1, 14).Shape1Left;
    EXPECT_DOUBLE_EQ(place(span, month, column).Shape1Left, left) << span << month << column;
  }
  place(1, 8, 5);
  EXPECT_EQ(m.MonthColumnWidth, 16);
  EXPECT_EQ(m.FirstMonthOffset, 6);
}

}  // namespace
}  // namespace velnor
