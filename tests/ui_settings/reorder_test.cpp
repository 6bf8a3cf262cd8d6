// Re-ordering: sort keys, the selection-and-exchange order and the index-file rewrite.
#include <gtest/gtest.h>

#include <QStringList>
#include <cmath>
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

// A record line with the given territory, name and (optionally) month cells.
QString rec(const QString& territory, const QString& name, const QStringList& months = {}) {
  QString line = territory + u'*' + name + u'*';
  for (int k = 1; k <= 12; ++k) line += months.value(k - 1) + u'*';
  return line;
}

// The records in the order re-ordering by `kind` leaves them.
QStringList ordered(const QStringList& lines, int kind, int month = 1) {
  std::vector<double> keys;
  for (const QString& l : lines) keys.push_back(lineKey(l, kind, month));
  QStringList out;
  for (int old : selectionExchangeOrder(keys)) out << lines.at(old);
  return out;
}

QStringList column(const QStringList& lines, int field) {
  QStringList out;
  for (const QString& l : lines) out << fieldOf(l, field);
  return out;
}
QStringList names(const QStringList& lines) { return column(lines, 2); }
QStringList territories(const QStringList& lines) { return column(lines, 1); }

// The pass exactly as written out step by step, quadratic: the reference the fast
// version must agree with.
std::vector<int> literalPass(const std::vector<double>& keys) {
  const int n = int(keys.size());
  std::vector<int> L(n + 1), C(n + 1), P(n + 1);
  for (int k = 1; k <= n; ++k) L[k] = C[k] = P[k] = k;
  for (int i = 1; i <= n - 1; ++i) {
    double minKey = keys[L[i] - 1];
    C[i] = L[i];
    P[i] = i;
    for (int j = i; j <= n - 1; ++j) {
      const double candidate = keys[L[j + 1] - 1];
      if (minKey >= candidate) {
        C[i] = L[j + 1];
        minKey = candidate;
        P[i] = j + 1;
      }
    }
    L[P[i]] = L[i];
    L[i] = C[i];
  }
  std::vector<int> out;
  for (int k = 1; k <= n; ++k) out.push_back(L[k] - 1);
  return out;
}

}  // namespace

TEST(CharacterKey, LowUnitsAreThemselvesHighUnitsCountDownFrom65536) {
  EXPECT_EQ(charKey(u'A'), 65);
  EXPECT_EQ(charKey(u'ｱ'), 143);
  EXPECT_EQ(charKey(u'Ａ'), 223);
  EXPECT_EQ(charKey(u'あ'), 12354);
  EXPECT_EQ(charKey(u'安'), 23433);
  EXPECT_EQ(charKey(u'藤'), 31260);
  EXPECT_EQ(charKey(char16_t(0x7FFF)), 32767);
  EXPECT_EQ(charKey(char16_t(0x8000)), 32768);
  EXPECT_EQ(charKey(char16_t(0xFFFF)), 1);
}

TEST(NumericValue, ReadsTheLeadingNumberOfACell) {
  const struct {
    QString text;
    double value;
  } cases[] = {
      {u"12"_s, 12},    {u"3,17"_s, 3},    {u"5 19"_s, 519},
      {u""_s, 0},       {u"東"_s, 0},      {u"区域"_s, 0},
      {u"3月5日"_s, 3}, {u"\t4\n2"_s, 42}, {u"-2.5"_s, -2.5},
      {u"+7"_s, 7},     {u".5"_s, 0.5},    {u"1.2.3"_s, 1.2},
      {u"-"_s, 0},      {u"."_s, 0},       {u"1E3"_s, 1000},
      {u"1d2"_s, 100},  {u"2e-1"_s, 0.2},  {u"1E"_s, 1},
      {u"1E+x"_s, 1},   {u"&H1F"_s, 31},   {u"&hff"_s, 255},
      {u"&O17"_s, 15},  {u"&O9"_s, 0},     {u"&H"_s, 0},
      {u"&X1"_s, 0},    {u"１２"_s, 12},   {u"５　１９"_s, 519},
      {u"1e-999"_s, 0}, {u"00012"_s, 12},  {u"0.000125"_s, 0.000125},
  };
  for (const auto& c : cases)
    EXPECT_DOUBLE_EQ(numericValue(c.text), c.value) << c.text.toStdString();
  EXPECT_EQ(numericValue(u"1e999"_s), std::numeric_limits<double>::infinity());
  EXPECT_EQ(numericValue(u"-1E999"_s), -std::numeric_limits<double>::infinity());
}

TEST(OrderByTerritory, NumbersAscendWithNonNumbersFirstAsZero) {
  const QStringList lines = {rec(u"12"_s, u"a"_s), rec(u"3"_s, u"b"_s), rec(u"東"_s, u"c"_s),
                             rec(u""_s, u"d"_s)};
  EXPECT_EQ(territories(ordered(lines, kByTerritory)),
            (QStringList{u""_s, u"東"_s, u"3"_s, u"12"_s}));
}

TEST(OrderByName, MixedScriptsFollowTheCharacterKeys) {
  const QStringList lines = {rec(u"1"_s, u"藤井"_s), rec(u"1"_s, u"あべ"_s), rec(u"1"_s, u"Aoki"_s),
                             rec(u"1"_s, u"ｱｵｷ"_s)};
  EXPECT_EQ(names(ordered(lines, kByName)),
            (QStringList{u"Aoki"_s, u"ｱｵｷ"_s, u"あべ"_s, u"藤井"_s}));
}

TEST(OrderByName, EqualFirstCharactersGoByTheSecond) {
  const QStringList lines = {rec(u""_s, u"山田"_s), rec(u""_s, u"山本"_s), rec(u""_s, u"山口"_s)};
  EXPECT_EQ(names(ordered(lines, kByName)), (QStringList{u"山口"_s, u"山本"_s, u"山田"_s}));
}

TEST(OrderByName, EqualKeysPutTheOneNearestTheEndFirst) {
  const QStringList two = {rec(u"1"_s, u"山田太郎"_s), rec(u"2"_s, u"山田花子"_s)};
  EXPECT_EQ(names(ordered(two, kByName)), (QStringList{u"山田花子"_s, u"山田太郎"_s}));

  const QStringList pqr = {rec(u"p"_s, u"同じ"_s), rec(u"q"_s, u"同じ"_s), rec(u"r"_s, u"同じ"_s)};
  EXPECT_EQ(territories(ordered(pqr, kByName)), (QStringList{u"r"_s, u"p"_s, u"q"_s}));
}

TEST(OrderByName, AOneCharacterNameComesBeforeLongerNamesStartingAlike) {
  const QStringList lines = {rec(u""_s, u"あい"_s), rec(u""_s, u"あ"_s), rec(u""_s, u"あ\u3000"_s)};
  EXPECT_EQ(names(ordered(lines, kByName)).first(), u"あ"_s);
  // An empty name counts as a blank (32): before every letter.
  const QStringList withEmpty = {rec(u""_s, u"A"_s), rec(u""_s, u""_s)};
  EXPECT_EQ(names(ordered(withEmpty, kByName)), (QStringList{u""_s, u"A"_s}));
}

TEST(OrderByName, PlaceholderSortsBy名) {
  const QStringList lines = {rec(u""_s, u"藤井"_s), kPlaceholderRecord, rec(u""_s, u"あべ"_s)};
  EXPECT_EQ(names(ordered(lines, kByName)), (QStringList{u"あべ"_s, u"名前"_s, u"藤井"_s}));
}

TEST(OrderByTerritory, PlaceholderCountsAsZeroLikeOtherNonNumbers) {
  EXPECT_EQ(lineKey(kPlaceholderRecord, kByTerritory, 1), 0.0);
  const QStringList lines = {rec(u"2"_s, u"x"_s), kPlaceholderRecord, rec(u"北"_s, u"y"_s)};
  // Both zero keys come first, the later one first of all.
  EXPECT_EQ(names(ordered(lines, kByTerritory)), (QStringList{u"y"_s, u"名前"_s, u"x"_s}));
}

TEST(OrderByThisMonth, EmptyCellsFirstLastInFileFirst) {
  auto person = [](const QString& name, const QString& april) {
    return rec(u""_s, name, {u"1/9"_s, {}, {}, april});
  };
  const QStringList lines = {person(u"a"_s, u"12"_s), person(u"b"_s, u""_s), person(u"c"_s, u"3"_s),
                             person(u"d"_s, u""_s), person(u"e"_s, u"４"_s)};
  EXPECT_EQ(names(ordered(lines, kByThisMonth, 4)),
            (QStringList{u"d"_s, u"b"_s, u"c"_s, u"e"_s, u"a"_s}));
  // January's cells all hold 1/9: equal keys, reversed pairs as the pass leaves them.
  EXPECT_EQ(lineKey(lines.at(0), kByThisMonth, 1), 1.0);
}

TEST(SelectionExchange, AgreesWithTheStepByStepPassOnManyTies) {
  std::mt19937 rng(12345);
  for (int round = 0; round < 400; ++round) {
    const int n = int(rng() % 40);
    const int distinct = 1 + int(rng() % 6);
    std::vector<double> keys;
    for (int i = 0; i < n; ++i) keys.push_back(double(rng() % distinct) - 2.0);
    ASSERT_EQ(selectionExchangeOrder(keys), literalPass(keys)) << "round " << round;
  }
}

// ---------------------------------------------------------------------------
// The index-file rewrite

class IndexRewrite : public ::testing::Test {
 protected:
  QString indexPath() const { return tp.path(folder + u'/' + kIndexFileName); }
  QByteArray indexBytes() const { return tp.readBytes(folder + u'/' + kIndexFileName); }

  test::TempProgram tp;
  QString folder;
};

TEST_F(IndexRewrite, RecordsMoveByteForByteAndOtherLinesFollowThem) {
  // 0x87 0x90 (≒ in the NEC row) would come back as 0x81 0xE0 if re-encoded.
  const QByteArray necLine =
      "\x87\x90*" + test::TempProgram::cp932Lines({u"あべ*************"_s}).chopped(2);
  const QByteArray fujii = test::TempProgram::cp932Lines({rec(u"1"_s, u"藤井"_s)}).chopped(2);
  const QByteArray aoki = test::TempProgram::cp932Lines({rec(u"2"_s, u"Aoki"_s)}).chopped(2);
  const QByteArray memo = test::TempProgram::cp932Lines({u"[メモ：区域の地図は別]"_s}).chopped(2);
  const QByteArray malformed = test::TempProgram::cp932Lines({u"こわれた*行"_s}).chopped(2);
  const QByteArray c1 = test::TempProgram::cp932Lines({kIndexComment1});
  const QByteArray c2 = test::TempProgram::cp932Lines({kIndexComment2});
  folder = tp.makeFolder(u"山田"_s, c1 + c2 + fujii + "\r\n" + memo + "\r\n\r\n" + necLine +
                                        "\r\n" + malformed + "\r\n" + aoki + "\r\n");

  const Outcome out = reorderIndexFile(indexPath(), kByName, 1);
  ASSERT_TRUE(out.ok) << out.error.reason.toStdString();
  EXPECT_EQ(out.records, 3);
  EXPECT_EQ(indexBytes(), c1 + c2 + aoki + "\r\n" + necLine + "\r\n" + fujii + "\r\n" + memo +
                              "\r\n" + malformed + "\r\n");
}

TEST_F(IndexRewrite, PlaceholderOnlyFolderGetsTheTwoCommentsAndThatLine) {
  folder = tp.makeFolder(u"新"_s, test::TempProgram::cp932Lines({kPlaceholderRecord}));
  ASSERT_TRUE(reorderIndexFile(indexPath(), kByTerritory, 1).ok);
  EXPECT_EQ(indexBytes(),
            test::TempProgram::cp932Lines({kIndexComment1, kIndexComment2, kPlaceholderRecord}));
}

TEST_F(IndexRewrite, MissingFileStaysMissing) {
  folder = tp.makeFolder(u"空"_s);
  const Outcome out = reorderIndexFile(indexPath(), kByName, 1);
  EXPECT_TRUE(out.ok);
  EXPECT_FALSE(tp.exists(folder + u'/' + kIndexFileName));
}

TEST_F(IndexRewrite, UnreadableFileIsReportedAndUntouched) {
  folder = tp.makeFolder(u"壊"_s);
  tp.makeFolder(u"壊/"_s + kIndexFileName);  // a folder where the file should be
  const Outcome out = reorderIndexFile(indexPath(), kByName, 1);
  EXPECT_FALSE(out.ok);
  EXPECT_FALSE(out.error.path.isEmpty());
}

TEST_F(IndexRewrite, FailedWriteKeepsTheOldFileWhole) {
  const QByteArray before = test::TempProgram::cp932Lines(
      {kIndexComment1, kIndexComment2, rec(u"9"_s, u"b"_s), rec(u"1"_s, u"a"_s)});
  folder = tp.makeFolder(u"満"_s, before);

  // A file-size limit below the new file's size makes the write fail like a full disk.
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 64;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const Outcome out = reorderIndexFile(indexPath(), kByTerritory, 1);
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(out.ok);
  EXPECT_TRUE(out.error.writing);
  EXPECT_EQ(indexBytes(), before);
}
