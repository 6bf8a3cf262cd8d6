// Closing a year: the default year, the archive copy, the emptied folder in use, undo,
// and the refusals (an existing archive, a year out of range, a disk that fills).
#include <gtest/gtest.h>

#include "core/new_year.h"
#include "support/failing_writer.h"
#include "support/fakes.h"
#include "support/temp_program.h"

using namespace Qt::Literals::StringLiterals;
using namespace velnor;

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
