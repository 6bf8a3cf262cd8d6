// Re-ordering: sort keys, the selection-and-exchange order and the index-file rewrite.
#include <gtest/gtest.h>

#include <QStringList>
#include <limits>
#include <random>

#include <signal.h>
#include <sys/resource.h>

#include "support/temp_program.h"
#include "ui/settings/reorder.h"

using namespace Qt::Literals::StringLiterals;
using namespace velnor;
using namespace velnor::reorder;

namespace {

QString rec(const QString& territory, const QString& name, const QStringList& months = {}) {
  QString line = territory + u'*' + name + u'*';
  for (int k = 0; k < 12; ++k) line += months.value(k) + u'*';
  return line;
}

// The names of the records in the order re-ordering by `kind` leaves them.
QStringList orderedNames(const QStringList& lines, int kind, int month) {
  std::vector<double> keys;
  for (const QString& l : lines) keys.push_back(lineKey(l, kind, month));
  QStringList out;
  for (int old : selectionExchangeOrder(keys)) out << fieldOf(lines.at(old), 2);
  return out;
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

TEST(SortKeys, CharacterKeyAndNumericValueOfACell) {
  // Units above 0x7FFF count down from 65536.
  const int keys[] = {charKey(u'藤'), charKey(0x7FFF), charKey(0x8000), charKey(0xFFFF)};
  EXPECT_EQ(std::vector<int>(std::begin(keys), std::end(keys)),
            (std::vector<int>{31260, 32767, 32768, 1}));

  const std::pair<QString, double> cases[] = {
      {u"12"_s, 12},  {u"5 19"_s, 519},  {u"東"_s, 0},        {u"3月5日"_s, 3}, {u"-2.5"_s, -2.5},
      {u".5"_s, 0.5}, {u"1.2.3"_s, 1.2}, {u"1E3"_s, 1000},    {u"1d2"_s, 100},  {u"2e-1"_s, 0.2},
      {u"1E+x"_s, 1}, {u"&H1F"_s, 31},   {u"&hff"_s, 255},    {u"&O17"_s, 15},  {u"&O9"_s, 0},
      {u"&X1"_s, 0},  {u"１２"_s, 12},   {u"５　１９"_s, 519}};
  for (const auto& [text, value] : cases)
    EXPECT_DOUBLE_EQ(numericValue(text), value) << text.toStdString();
  EXPECT_EQ(numericValue(u"1e999"_s), std::numeric_limits<double>::infinity());
}

TEST(Ordering, FollowsTheKeysAndPutsEqualKeysNearestTheEndFirst) {
  const std::pair<QStringList, QStringList> byName[] = {
      {{u"藤井"_s, u"あべ"_s, u"Aoki"_s, u"ｱｵｷ"_s}, {u"Aoki"_s, u"ｱｵｷ"_s, u"あべ"_s, u"藤井"_s}},
      {{u"山田"_s, u"山本"_s, u"山口"_s}, {u"山口"_s, u"山本"_s, u"山田"_s}},
      // Only two characters count: p, q, r end as r, p, q.
      {{u"同じp"_s, u"同じq"_s, u"同じr"_s}, {u"同じr"_s, u"同じp"_s, u"同じq"_s}},
      // A missing second character is 0; an empty name is a blank.
      {{u"あい"_s, u"あ"_s, u"A"_s, u""_s}, {u""_s, u"A"_s, u"あ"_s, u"あい"_s}},
      {{u"藤井"_s, u"名前"_s, u"あべ"_s}, {u"あべ"_s, u"名前"_s, u"藤井"_s}}};
  for (const auto& [in, out] : byName) {
    QStringList lines;
    for (const QString& name : in)
      lines << (name == u"名前"_s ? kPlaceholderRecord : rec({}, name));
    EXPECT_EQ(orderedNames(lines, kByName, 1), out);
  }
  // Non-numbers, the placeholder's 区域 among them, count as 0.
  EXPECT_EQ(orderedNames({rec(u"12"_s, u"a"_s), rec(u"3"_s, u"b"_s), kPlaceholderRecord,
                          rec(u"東"_s, u"c"_s), rec(u""_s, u"d"_s)},
                         kByTerritory, 1),
            (QStringList{u"d"_s, u"c"_s, u"名前"_s, u"b"_s, u"a"_s}));
  // Empty cells first; full-width digits are digits.
  auto april = [](const QString& name, const QString& cell) {
    return rec({}, name, {u"1/9"_s, {}, {}, cell});
  };
  EXPECT_EQ(orderedNames({april(u"a"_s, u"12"_s), april(u"b"_s, {}), april(u"c"_s, u"3"_s),
                          april(u"d"_s, {}), april(u"e"_s, u"４"_s)},
                         kByThisMonth, 4),
            (QStringList{u"d"_s, u"b"_s, u"c"_s, u"e"_s, u"a"_s}));
  EXPECT_EQ(lineKey(april(u"a"_s, u""_s), kByThisMonth, 1), 1.0);  // "1/9" reads as 1

  std::mt19937 rng(12345);
  for (int round = 0; round < 400; ++round) {
    const int n = int(rng() % 40), distinct = 1 + int(rng() % 6);
    std::vector<double> keys;
    for (int i = 0; i < n; ++i) keys.push_back(double(rng() % distinct) - 2.0);
    ASSERT_EQ(selectionExchangeOrder(keys), literalPass(keys)) << "round " << round;
  }
}

TEST(IndexRewrite, RecordsMoveByteForByteAndOtherLinesFollowThem) {
  auto line = [](const QString& text) { return test::TempProgram::cp932Lines({text}); };
  // 0x87 0x90 (≒ in the NEC row) would come back as 0x81 0xE0 if re-encoded.
  const QByteArray nec = "\x87\x90*" + line(u"あべ*************"_s);
  const QByteArray fujii = line(rec(u"1"_s, u"藤井"_s)), aoki = line(rec(u"2"_s, u"Aoki"_s));
  const QByteArray memo = line(u"[メモ：区域の地図は別]"_s), bad = line(u"こわれた*行"_s);
  test::TempProgram tp;
  // The first standard comment is missing: both are written, neither twice.
  const QString index =
      tp.makeFolder(u"山田"_s, fujii + line(kIndexComment2) + memo + "\r\n" + nec + bad + aoki) +
      u'/' + kIndexFileName;
  const Outcome out = reorderIndexFile(tp.path(index), kByName, 1);
  ASSERT_TRUE(out.ok) << out.error.reason.toStdString();
  EXPECT_EQ(out.records, 3);
  EXPECT_EQ(tp.readBytes(index),
            line(kIndexComment1) + line(kIndexComment2) + aoki + nec + fujii + memo + bad);

  tp.makeFolder(u"空"_s);  // nothing to order: no file is made
  EXPECT_TRUE(reorderIndexFile(tp.path(u"空/"_s + kIndexFileName), kByName, 1).ok);
  EXPECT_FALSE(tp.exists(u"空/"_s + kIndexFileName));
}

TEST(IndexRewrite, FailedWriteKeepsTheOldFileWhole) {
  const QByteArray before = test::TempProgram::cp932Lines(
      {kIndexComment1, kIndexComment2, rec(u"9"_s, u"b"_s), rec(u"1"_s, u"a"_s)});
  test::TempProgram tp;
  const QString index = tp.makeFolder(u"満"_s, before) + u'/' + kIndexFileName;

  // A file-size limit below the new file's size makes the write fail like a full disk.
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 64;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const Outcome out = reorderIndexFile(tp.path(index), kByTerritory, 1);
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, oldHandler);

  EXPECT_TRUE(!out.ok && out.error.writing);
  EXPECT_EQ(tp.readBytes(index), before);
}
