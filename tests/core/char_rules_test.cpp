// The rules behind the boxes, without a window: what the input screen's boxes refuse, which
// names a note file may have, and what the find box counts as the same text and where it
// starts and ends.

#include <gtest/gtest.h>

#include "core/char_rules.h"
#include "core/find.h"

using namespace Qt::Literals::StringLiterals;

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

}  // namespace
}  // namespace velnor
