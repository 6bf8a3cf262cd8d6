// Whole folders rewritten. Re-ordering: sort keys, the selection-and-exchange order and the
// index-file rewrite. Closing a year: the default year, the archive copy, the emptied folder
// in use, undo, and the refusals (an existing archive, a year out of range, a disk that fills).
#include <gtest/gtest.h>

#include <random>

#include "core/new_year.h"
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

namespace {

TEST(NewYear, theYearOfferedIsTheOneEndedUntilMarchThenThisOne) {
  EXPECT_EQ(new_year::defaultYear(QDate(2027, 1, 5)), 2026);
  EXPECT_EQ(new_year::defaultYear(QDate(2027, 3, 31)), 2026);
  EXPECT_EQ(new_year::defaultYear(QDate(2027, 4, 1)), 2027);
  EXPECT_EQ(new_year::defaultYear(QDate(2027, 12, 31)), 2027);
  EXPECT_EQ(new_year::archiveFolderName(u"%田中"_s, 2026), u"%田中（2026年）"_s);
}

class CloseYear : public ::testing::Test {
 protected:
  void SetUp() override {
    tp.m->clock = [] { return QDateTime(QDate(2027, 1, 10), QTime(12, 0)); };
    const QByteArray index = test::TempProgram::indexBytes(
        {test::TempProgram::record(u"北1"_s, u"山田"_s, {u"3,10"_s, {}, u"5"_s}), u"壊れた行"_s,
         u""_s, test::TempProgram::record(u"南2"_s, u"佐藤"_s), u"' 自分で書いたコメント"_s,
         test::TempProgram::record(u"東3"_s, u"鈴木"_s, {{}, u"1/2"_s})});
    tp.makeFolder(u"田中"_s, index);
    tp.m->CurrentFolder = u"%田中"_s;
    QStringList note{u"補足情報[二行目"_s};
    for (int month = 1; month <= 12; ++month) note << u"%1月は留守"_s.arg(month);
    note << u"十四行目"_s;
    tp.writeBytes(u"%田中/山田.txt"_s, test::TempProgram::cp932Lines(note));
    tp.writeBytes(u"%田中/佐藤.txt"_s, test::TempProgram::cp932Lines(note.mid(0, 13)));
    tp.writeBytes(u"%田中/鈴木.txt"_s, test::TempProgram::cp932Lines({u"補足"_s}));
    for (const QString& f : files()) before[f] = tp.readBytes(u"%田中/"_s + f);
  }
  QStringList files() const { return tp.entries(u"%田中"_s); }
  QString field(const QString& line, int k) const { return line.section(u'*', k, k); }
  QStringList lines(const QString& file) const {
    return decodeCp932(tp.readBytes(file)).split(u"\r\n"_s);
  }
  void expectUnchanged() const {
    for (auto it = before.cbegin(); it != before.cend(); ++it)
      EXPECT_EQ(tp.readBytes(u"%田中/"_s + it.key()), it.value()) << it.key().toStdString();
    EXPECT_EQ(files(), QStringList(before.keys()));
  }

  test::TempProgram tp;
  test::FakeShell& shell = tp.shell;
  QMap<QString, QByteArray> before;
};

TEST_F(CloseYear, copiesTheFolderWholeAndEmptiesTheMonthsKeepingEverythingElse) {
  int lastDone = 0, total = 0;
  ASSERT_TRUE(tp.m->CloseYear(2026, false, [&](int done, int of) { lastDone = done, total = of; }));
  EXPECT_EQ(lastDone, total);
  EXPECT_EQ(tp.m->folder().recordCount(), 3);  // the program's own copy of the file too
  for (auto it = before.cbegin(); it != before.cend(); ++it)
    EXPECT_EQ(tp.readBytes(u"%田中（2026年）/"_s + it.key()), it.value()) << it.key().toStdString();
  EXPECT_EQ(tp.entries(u"%田中（2026年）"_s), QStringList(before.keys()));

  const QStringList index = lines(u"%田中/データー.vrd"_s);
  const QStringList was = decodeCp932(before[u"データー.vrd"_s]).split(u"\r\n"_s);
  ASSERT_EQ(index.size(), was.size());
  for (qsizetype i = 0; i < index.size(); ++i) {
    if (Module1::IsRecordLine(was[i]))
      EXPECT_EQ(index[i], field(was[i], 0) + u'*' + field(was[i], 1) + QString(13, u'*'));
    else
      EXPECT_EQ(index[i], was[i]);  // comments, the malformed and the empty line
  }
  const QStringList note = lines(u"%田中/山田.txt"_s);
  EXPECT_EQ(note.value(0), u"補足情報[二行目"_s);
  for (int month = 1; month <= 12; ++month)
    EXPECT_EQ(note.value(month), Module1::DefaultMonthLine(month));
  EXPECT_EQ(note.value(13), u"十四行目"_s);
  EXPECT_EQ(lines(u"%田中/鈴木.txt"_s).value(5), Module1::DefaultMonthLine(5));

  // One change: undo brings the folder in use back byte for byte; the archive stays.
  ASSERT_TRUE(tp.m->Undo());
  expectUnchanged();
  EXPECT_TRUE(tp.exists(u"%田中（2026年）/山田.txt"_s));
  EXPECT_TRUE(shell.messages.isEmpty());
}

TEST_F(CloseYear, leavesOutThePeopleNeverMetWhenAsked) {
  ASSERT_TRUE(tp.m->CloseYear(2026, true));
  const QString index = decodeCp932(tp.readBytes(u"%田中/データー.vrd"_s));
  EXPECT_FALSE(index.contains(u"佐藤"_s));
  EXPECT_TRUE(index.contains(u"山田"_s) && index.contains(u"鈴木"_s));
  EXPECT_FALSE(tp.exists(u"%田中/佐藤.txt"_s));
  EXPECT_EQ(tp.readBytes(u"%田中（2026年）/佐藤.txt"_s), before[u"佐藤.txt"_s]);
}

TEST_F(CloseYear, anExistingArchiveOrAYearOutOfRangeChangesNothing) {
  tp.writeBytes(u"%田中（2026年）/メモ.txt"_s, "x");
  EXPECT_FALSE(tp.m->CloseYear(2026, false));
  EXPECT_TRUE(shell.messages.value(0).text.contains(u"田中（2026年）」はすでにあります"_s));
  EXPECT_FALSE(tp.m->CloseYear(3000, false));
  EXPECT_TRUE(shell.messages.value(1).text.contains(u"1900から2999"_s));
  expectUnchanged();
  EXPECT_EQ(tp.entries(u"%田中（2026年）"_s), QStringList{u"メモ.txt"_s});
}

// A disk that fills while the archive is copied, then while the folder in use is rewritten.
TEST_F(CloseYear, aDiskThatFillsPartWayLeavesNoArchiveAndTheFolderAsItWas) {
  // The day's backup is made before, so that the failing writes are the close's own.
  tp.m->IndexFilePath = tp.m->indexPathFor(u"%田中"_s);
  ASSERT_TRUE(tp.m->RefreshFolder());
  ASSERT_TRUE(tp.m->WriteIndexLines(tp.m->folder().lines()));
  // Files 1-4 go to the archive, 5 is the index file in use, 6-8 its note files.
  for (const int nth : {2, 7}) {
    SCOPED_TRACE(nth);
    int made = 0;
    setSaveWriterFactory([&]() -> std::unique_ptr<SaveWriter> {
      if (++made == nth)
        return std::make_unique<test::FailingWriter>(test::FailAt::Write, 1,
                                                     u"No space left on device"_s);
      return makeFileWriter();
    });
    EXPECT_FALSE(tp.m->CloseYear(2026, false));
    setSaveWriterFactory({});
    EXPECT_TRUE(shell.messages.value(0).text.contains(u"No space left on device"_s));
    shell.messages.clear();
    expectUnchanged();
    EXPECT_FALSE(tp.exists(u"%田中（2026年）"_s));
    for (const QString& name : tp.entries())
      EXPECT_FALSE(name.startsWith(u'.')) << name.toStdString();
  }
}

// The box in January: once a year per folder, only with dates and no archive, remembered
// outside Velnor.ini; OK is what the caller acts on.
TEST_F(CloseYear, theJanuaryHintAsksOnceAYearAndOnlyWhenThereIsAYearToClose) {
  tp.m->IndexFilePath = tp.m->indexPathFor(u"%田中"_s);
  ASSERT_TRUE(tp.m->RefreshFolder());
  shell.answers = {Answer::Cancel};
  EXPECT_FALSE(tp.m->OfferNewYear());
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].title, u"新しい年"_s);
  EXPECT_TRUE(shell.messages[0].text.contains(u"「田中（2026年）」に移して"_s));
  EXPECT_FALSE(tp.m->OfferNewYear());  // asked already, whatever the answer was
  tp.m->CurrentFolder = u"%鈴木"_s;    // another folder is asked about on its own
  tp.makeFolder(u"鈴木"_s, test::TempProgram::indexBytes(
                               {test::TempProgram::record(u"北1"_s, u"林"_s, {{}, {}, u"8"_s})}));
  tp.m->IndexFilePath = tp.m->indexPathFor(u"%鈴木"_s);
  ASSERT_TRUE(tp.m->RefreshFolder());
  EXPECT_TRUE(tp.m->OfferNewYear());
  EXPECT_EQ(shell.messages.size(), 2);
  EXPECT_EQ(tp.readBytes(Module1::kNewYearAskedFile), "%田中\t2026\r\n%鈴木\t2026\r\n"_ba);

  tp.m->clock = [] { return QDateTime(QDate(2028, 4, 1), QTime(12, 0)); };  // from April on, no box
  EXPECT_FALSE(tp.m->OfferNewYear());
  tp.m->clock = [] { return QDateTime(QDate(2028, 2, 1), QTime(12, 0)); };
  tp.writeBytes(u"%鈴木（2027年）/林.txt"_s, "x");  // closed already
  EXPECT_FALSE(tp.m->OfferNewYear());
  tp.makeFolder(u"鈴木"_s,
                test::TempProgram::indexBytes({test::TempProgram::record(u"北1"_s, u"林"_s)}));
  ASSERT_TRUE(tp.m->RefreshFolder());
  tp.m->clock = [] { return QDateTime(QDate(2029, 2, 1), QTime(12, 0)); };  // no date to close
  EXPECT_FALSE(tp.m->OfferNewYear());
  EXPECT_EQ(shell.messages.size(), 2);
}

}  // namespace
