// Finding a person: what counts as the same text, and where the search starts and ends.
#include <gtest/gtest.h>

#include "core/find.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {
namespace {

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
