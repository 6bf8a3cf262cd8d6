// Re-ordering: sort keys, the selection-and-exchange order and the index-file rewrite.
#include <gtest/gtest.h>

#include <random>

#include "core/reorder.h"
#include "support/failing_writer.h"
#include "support/fakes.h"
#include "support/temp_program.h"

using namespace Qt::Literals::StringLiterals;
using namespace velnor;
using namespace velnor::reorder;

namespace {

QString rec(const QString& territory, const QString& name, const QStringList& months = {}) {
  return test::TempProgram::record(territory, name, months);
}

// The names of the records, '/'-joined, in the order re-ordering by `kind` leaves them.
QString ordered(const QStringList& lines, int kind, int month = 1) {
  std::vector<double> keys;
  for (const QString& l : lines) keys.push_back(lineKey(l, kind, month));
  QStringList out;
  for (int old : selectionExchangeOrder(keys)) out << fieldOf(lines.at(old), 2);
  return out.join(u'/');
}

// The pass written out step by step, quadratic: the reference the fast version must match.
std::vector<int> literalPass(const std::vector<double>& keys) {
  const int n = int(keys.size());
  std::vector<int> L(n);
  for (int k = 0; k < n; ++k) L[k] = k;
  for (int i = 0; i + 1 < n; ++i) {
    int p = i;
    for (int j = i + 1; j < n; ++j)
      if (keys[L[p]] >= keys[L[j]]) p = j;
    std::swap(L[i], L[p]);
  }
  return L;
}

}  // namespace

TEST(Ordering, aNumberIsReadFromTheStartOfTheText) {
  const std::pair<QString, double> cases[] = {
      {u"12"_s, 12},      {u"5 19"_s, 519},     {u"東"_s, 0},         {u"3月5日"_s, 3},
      {u"-2.5"_s, -2.5},  {u".5"_s, 0.5},       {u"1.2.3"_s, 1.2},    {u"1E3"_s, 1000},
      {u"1d2"_s, 100},    {u"2e-1"_s, 0.2},     {u"1E+x"_s, 1},       {u"&H1F"_s, 31},
      {u"&hff"_s, 255},   {u"&O17"_s, 15},      {u"&O9"_s, 0},        {u"&X1"_s, 0},
      {u"１２"_s, 12},    {u"５　１９"_s, 519}, {u"1e999"_s, qInf()}, {u"－５"_s, -5},
      {u"３．５"_s, 3.5}, {u"＋２"_s, 2}};
  for (const auto& [text, value] : cases)
    EXPECT_DOUBLE_EQ(numericValue(text), value) << text.toStdString();
}

// Only two characters count (p, q, r end as r, p, q); a missing second character is 0; an
// empty name is a blank; 名前 is the placeholder record.
TEST(Ordering, byNameTheFirstTwoCharactersCountAndEqualKeysEndNearestTheEndFirst) {
  const std::pair<QString, QString> byName[] = {{u"藤井/あべ/Aoki/ｱｵｷ"_s, u"Aoki/ｱｵｷ/あべ/藤井"_s},
                                                {u"山田/山本/山口"_s, u"山口/山本/山田"_s},
                                                {u"同じp/同じq/同じr"_s, u"同じr/同じp/同じq"_s},
                                                {u"あい/あ/A/"_s, u"/A/あ/あい"_s},
                                                {u"藤井/名前/あべ"_s, u"あべ/名前/藤井"_s}};
  for (const auto& [in, out] : byName) {
    QStringList lines;
    for (const QString& name : in.split(u'/'))
      lines << (name == u"名前"_s ? kPlaceholderRecord : rec({}, name));
    EXPECT_EQ(ordered(lines, kByName), out);
  }
}

// By territory, non-numbers (the placeholder's 区域 among them) count as 0.
TEST(Ordering, byTerritoryNonNumbersCountAsZeroAndByThisMonthOnlyThatMonthsCellCounts) {
  EXPECT_EQ(ordered({rec(u"12"_s, u"a"_s), rec(u"3"_s, u"b"_s), kPlaceholderRecord,
                     rec(u"東"_s, u"c"_s), rec(u""_s, u"d"_s)},
                    kByTerritory),
            u"d/c/名前/b/a"_s);
  // By this month: empty cells first; full-width digits are digits; the filled first month
  // must not count.
  auto april = [](const QString& name, const QString& cell) {
    return rec({}, name, {u"1/9"_s, {}, {}, cell});
  };
  EXPECT_EQ(ordered({april(u"a"_s, u"12"_s), april(u"b"_s, {}), april(u"c"_s, u"3"_s),
                     april(u"d"_s, {}), april(u"e"_s, u"４"_s)},
                    kByThisMonth, 4),
            u"d/b/c/e/a"_s);
}

TEST(Ordering, theFastPassGivesTheOrderOfTheStepByStepOne) {
  std::mt19937 rng(12345);
  for (int round = 0; round < 400; ++round) {
    const int n = int(rng() % 40), distinct = 1 + int(rng() % 6);
    std::vector<double> keys;
    for (int i = 0; i < n; ++i) keys.push_back(double(rng() % distinct) - 2.0);
    ASSERT_EQ(selectionExchangeOrder(keys), literalPass(keys)) << "round " << round;
  }
}

// Records of "山田" by name: Aoki, then あべ whose territory is 0x87 0x90 (≒ in the NEC row,
// which would come back as 0x81 0xE0 if re-encoded), then 藤井. The first standard comment
// is missing; a comment, a blank and a malformed line stand among the records.
class IndexRewrite : public ::testing::Test {
 protected:
  static QByteArray line(const QString& text) { return test::TempProgram::cp932Lines({text}); }
  void SetUp() override {
    tp.m->CurrentFolder =
        tp.makeFolder(u"山田"_s, fujii + line(kIndexComment2) + memo + "\r\n" + nec + bad + aoki);
    index = tp.m->CurrentFolder + u'/' + kIndexFileName;
  }
  const QByteArray nec = "\x87\x90*" + line(u"あべ*************"_s);
  const QByteArray fujii = line(rec(u"1"_s, u"藤井"_s)), aoki = line(rec(u"2"_s, u"Aoki"_s));
  const QByteArray memo = line(u"[メモ：区域の地図は別]"_s), bad = line(u"こわれた*行"_s);
  const QByteArray sorted =
      line(kIndexComment1) + line(kIndexComment2) + aoki + nec + fujii + memo + bad;
  test::TempProgram tp;
  test::FakeShell& shell = tp.shell;
  QString index;
};

// The progress window hears of every step, the written file last.
TEST_F(IndexRewrite, recordsMoveByteForByteAndTheOtherLinesFollowThem) {
  QList<int> steps;
  EXPECT_TRUE(reorderFolder(*tp.m, kByName, [&](int done, int total) {
    steps << done;
    EXPECT_EQ(total, 3);
    if (done == 3) {
      EXPECT_EQ(tp.readBytes(index), sorted);
    }
  }));
  EXPECT_EQ(steps, QList<int>({0, 1, 2, 3}));
}

TEST_F(IndexRewrite, aFailedWriteIsReportedAndKeepsTheOldFile) {
  ASSERT_TRUE(reorderFolder(*tp.m, kByName));
  test::ScopedFailingWriter full(test::FailAt::Write);
  EXPECT_FALSE(reorderFolder(*tp.m, kByTerritory));  // would move nec first
  EXPECT_EQ(shell.titles(), u"保存できません"_s);
  EXPECT_EQ(tp.readBytes(index), sorted);
}
