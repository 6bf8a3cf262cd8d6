// What the user stored survives: files changed behind the program's back, dot-named and
// unreadable files, bytes the code page cannot hold, and the daily backups. Nor do files
// planted or broken by someone else cost a record: links in the backups, FIFOs, devices and
// huge files under a record file's name, a creation cut off by a crash, and an outside change
// that kept the old size and time.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>

#include "support/failing_writer.h"
#include "support/fakes.h"
#include "support/temp_program.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor::test {
namespace {

QString line(const QString& territory, const QString& name) {
  return TempProgram::record(territory, name);
}

class NoLoss : public ::testing::Test {
 protected:
  void SetUp() override {
    m.clock = [this] { return QDateTime(day, QTime(12, 0)); };
    writeIndex({line(u"北"_s, u"甲"_s), line(u"南"_s, u"乙"_s), line(u"東"_s, u"丙"_s)});
  }
  void TearDown() override {
    setIndexReaderForTests(nullptr);
    setSaveWriterFactory({});
  }
  void writeIndex(const QStringList& records) { p.useFolder(u"帳"_s, records); }

  TempProgram p;
  Module1& m = *p.m;
  FakeShell& shell = p.shell;
  QDate day{2026, 12, 7};
  const QString index = u"%帳/データー.vrd"_s;
};

TEST_F(NoLoss, AChangeByAnotherProgramIsSeenAtTheNextRead) {
  ASSERT_TRUE(p.read(1));
  ASSERT_EQ(m.PersonCount, 3);
  // Same length, so the same size and, this soon, the same modification time.
  writeIndex({line(u"北"_s, u"丁"_s), line(u"南"_s, u"乙"_s), line(u"東"_s, u"丙"_s)});
  ASSERT_TRUE(p.read(2, 0));
  EXPECT_EQ(m.PersonName, u"丁"_s);
}

TEST_F(NoLoss, AStoreOrADeleteNeverReplacesALineAnotherProgramChanged) {
  ASSERT_TRUE(p.read(2, 1));  // 乙
  // Another program puts someone in front of 乙 while it is being edited.
  writeIndex({line(u"北"_s, u"甲"_s), line(u"西"_s, u"新"_s), line(u"南"_s, u"乙"_s),
              line(u"東"_s, u"丙"_s)});
  const QByteArray theirs = p.readBytes(index);
  m.MonthDates[1] = u"1/9"_s;
  EXPECT_FALSE(p.write(2, 1));
  EXPECT_EQ(p.readBytes(index), theirs);
  EXPECT_TRUE(m.ChangedOutside);
  EXPECT_EQ(shell.titles(), u"保存できません"_s);
  // The loaded line was found where it went: the next store goes there.
  EXPECT_EQ(m.LoadedRecordIndex(), 2);
  ASSERT_TRUE(p.write(2, 2));
  ASSERT_TRUE(p.read(2, 2));
  EXPECT_EQ(m.PersonName + m.MonthDates[1], u"乙1/9"_s);
  ASSERT_TRUE(p.read(2, 1));
  EXPECT_EQ(m.PersonName, u"新"_s);
  // Nor does a delete remove one.
  ASSERT_TRUE(p.read(1));  // the list shows 甲 新 乙 丙
  writeIndex({line(u"北"_s, u"甲"_s), line(u"東"_s, u"丙"_s)});
  const QByteArray theirsNow = p.readBytes(index);
  EXPECT_FALSE(p.write(3, 1));  // the user meant 新, now gone
  EXPECT_EQ(p.readBytes(index), theirsNow);
}

TEST_F(NoLoss, DotNamedNoteFilesCountAsExistingAndAreNeverReplaced) {
  writeIndex({line(u"北"_s, {}), line(u"南"_s, u".abc"_s)});
  const QByteArray mine = TempProgram::cp932Lines({u"大事"_s, u" 1月　5日"_s});
  p.writeBytes(u"%帳/.txt"_s, mine);
  p.writeBytes(u"%帳/.abc.txt"_s, mine);
  EXPECT_TRUE(m.FileExists(p.path(u"%帳/.abc.txt"_s)));
  m.ChangeRecordFolder();  // opening makes missing note files
  ASSERT_TRUE(p.read(2, 1));
  EXPECT_EQ(m.PersonNote + m.MonthNotes[1], u"大事 1月　5日"_s);
  m.MonthDates[2] = u"2/2"_s;
  ASSERT_TRUE(p.write(2, 1));
  ASSERT_TRUE(p.read(2, 0));
  EXPECT_EQ(p.readBytes(u"%帳/.txt"_s), mine);
  EXPECT_TRUE(p.readBytes(u"%帳/.abc.txt"_s).startsWith(mine));
}

TEST_F(NoLoss, AnIndexThatCannotBeReadIsNeverWrittenOver) {
  const QByteArray before = p.readBytes(index);
  setIndexReaderForTests([](const QString& path, qint64) {
    return FileRead{{}, FileError{path, u"Permission denied"_s}, false};
  });
  m.ChangeRecordFolder();
  EXPECT_FALSE(p.read(1));
  EXPECT_EQ(m.PersonCount, 0);
  EXPECT_FALSE(p.write(1, 0));
  EXPECT_FALSE(p.write(3, 0));
  EXPECT_EQ(p.readBytes(index), before);
  EXPECT_EQ(shell.titles(), u"読み込めません"_s);  // once, not at every step
  setIndexReaderForTests(nullptr);
  EXPECT_TRUE(p.read(1));
  EXPECT_EQ(m.PersonCount, 3);
}

// A note file that cannot be read leaves the person shown whole, month notes included,
// so that the next store cannot write one person's fields with another's notes.
TEST_F(NoLoss, APersonWhoseNoteCannotBeReadNeverReplacesThePersonShown) {
  ASSERT_TRUE(p.read(2, 0));  // 甲
  m.MonthNotes[1] = u"一月の話"_s;
  ASSERT_TRUE(QDir(p.path()).mkpath(u"%帳/乙.txt"_s));  // a folder where 乙's note should be
  EXPECT_FALSE(p.read(2, 1));
  EXPECT_EQ(m.PersonName, u"甲"_s);
  EXPECT_EQ(m.MonthNotes[1], u"一月の話"_s);
}

// An undo that fails after putting back one of its files can be tried again.
TEST_F(NoLoss, AnUndoThatFailedHalfWayCanBeTriedAgain) {
  ASSERT_TRUE(p.read(2, 0));
  const QByteArray indexBefore = p.readBytes(index);
  const QByteArray noteBefore = p.readBytes(u"%帳/甲.txt"_s);
  m.PersonNote = u"新しい話"_s;
  m.MonthDates[1] = u"1/7"_s;
  {
    const ChangeScope change(m);
    ASSERT_TRUE(p.write(2, 0));  // the note file, then the index file
  }
  int saves = 0;
  setSaveWriterFactory([&saves]() -> std::unique_ptr<SaveWriter> {
    if (++saves == 2) return std::make_unique<FailingWriter>(FailAt::Open, 1, u"disk full"_s);
    return makeFileWriter();
  });
  EXPECT_FALSE(m.Undo());
  setSaveWriterFactory(nullptr);
  EXPECT_TRUE(m.Undo());
  EXPECT_EQ(p.readBytes(index), indexBefore);
  EXPECT_EQ(p.readBytes(u"%帳/甲.txt"_s), noteBefore);
}

TEST_F(NoLoss, BytesTheCodePageCannotHoldStayWhereTheUserDidNotType) {
  // 85 40 decodes but cannot be encoded again.
  const QByteArray odd("\x85\x40");
  p.writeBytes(index, TempProgram::cp932Lines({kIndexComment1, kIndexComment2}) + "X" + odd + "*" +
                          odd + "*" + QByteArray(12, '*') + "\r\n");
  ASSERT_TRUE(p.read(2, 0));
  const QString name = m.PersonName;
  p.writeBytes(u"%帳/"_s + name + u".txt"_s, "a" + odd + "b\r\n" + odd + "\r\n");
  ASSERT_TRUE(p.read(2, 0));
  m.PersonTerritory = u"Y"_s + m.PersonTerritory.mid(1);  // typed before the odd character
  m.PersonNote = m.PersonNote + u"c"_s;                   // typed after it
  m.MonthDates[3] = u"3/3"_s;
  ASSERT_TRUE(p.write(2, 0)) << shell.messages.value(0).text.toStdString();
  EXPECT_TRUE(p.readBytes(index).contains("Y" + odd + "*" + odd + "***3/3*"));
  EXPECT_TRUE(
      p.readBytes(u"%帳/"_s + name + u".txt"_s).startsWith("a" + odd + "bc\r\n" + odd + "\r\n"));
}

TEST_F(NoLoss, TheFirstStoreOfADayKeepsTheFolderAsItWasBeforeForFourteenDays) {
  ASSERT_TRUE(p.read(2, 0));  // makes 甲.txt
  const QByteArray indexBefore = p.readBytes(index);
  const QByteArray noteBefore = p.readBytes(u"%帳/甲.txt"_s);
  m.MonthDates[1] = u"1/1"_s;
  ASSERT_TRUE(p.write(2, 0));
  const QString today = u"バックアップ/%帳/20261207/"_s;
  EXPECT_EQ(p.readBytes(today + kIndexFileName), indexBefore);
  EXPECT_EQ(p.readBytes(today + u"甲.txt"_s), noteBefore);
  m.MonthDates[1] = u"1/2"_s;
  ASSERT_TRUE(p.write(2, 0));  // later the same day: the copy stays the morning's
  EXPECT_EQ(p.readBytes(today + kIndexFileName), indexBefore);
  // The newest fourteen days are kept.
  for (int d = 1; d <= 16; ++d) {
    day = QDate(2026, 11, d);
    m.MonthDates[1] = QString::number(d);
    ASSERT_TRUE(p.write(2, 0));
  }
  const QStringList days =
      QDir(p.path(u"バックアップ/%帳"_s)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  EXPECT_EQ(days.size(), kBackupDaysKept);
  EXPECT_EQ(days.first(), u"20261104"_s);  // the 7th of December is the newest
  EXPECT_EQ(days.last(), u"20261207"_s);
}

TEST_F(NoLoss, AFailedBackupIsToldOnceADay_triedAgainAtTheNextStore_andNeverStopsTheStore) {
  p.writeBytes(u"バックアップ"_s, "a file where the folder should be");
  ASSERT_TRUE(p.read(2, 0));
  for (const QString& dates : {u"1/1"_s, u"1/2"_s}) {
    m.MonthDates[1] = dates;
    ASSERT_TRUE(p.write(2, 0));
  }
  EXPECT_EQ(shell.titles(), u"バックアップできません"_s);
  ASSERT_TRUE(p.read(2, 0));
  EXPECT_EQ(m.MonthDates[1], u"1/2"_s);
  // Room again the same day: the next store makes the day's copy, without a word.
  ASSERT_TRUE(QFile::remove(p.path(u"バックアップ"_s)));
  m.MonthDates[1] = u"1/3"_s;
  ASSERT_TRUE(p.write(2, 0));
  EXPECT_TRUE(p.readBytes(u"バックアップ/%帳/20261207/"_s + kIndexFileName).contains("1/2"));
  EXPECT_EQ(shell.messages.size(), 1);
}

#ifdef Q_OS_UNIX  // FIFOs, devices and symbolic links as Linux has them
class Hostile : public NoLoss {
 protected:
  QString backups() const { return p.path(u"バックアップ/%帳"_s); }
};

// A folder outside the program folder, with something in it to lose.
struct Victim {
  Victim() { QFile(dir.filePath(u"大事.txt"_s)).open(QIODevice::WriteOnly); }
  bool whole() const { return QFileInfo::exists(dir.filePath(u"大事.txt"_s)); }
  QTemporaryDir dir;
};

void link(const QString& target, const QString& at) { ASSERT_TRUE(QFile::link(target, at)); }

// The fourteen days kept, so that anything older is due to go.
void makeDays(const QString& backups) {
  for (int d = 1; d <= 14; ++d)
    QDir().mkpath(backups + u'/' + QDate(2026, 11, d).toString(u"yyyyMMdd"_s));
}

// A link to the victim planted at `at` in the backups, beside the fourteen days or not.
struct Planting {
  const char* name;
  const char16_t* at;
  bool fourteenDays;
};
void PrintTo(const Planting& planting, std::ostream* os) { *os << planting.name; }

class BackupLinks : public Hostile, public ::testing::WithParamInterface<Planting> {};

TEST_P(BackupLinks, areNeverFollowedWhenOldCopiesGo) {
  Victim victim;
  const QString at = backups() + u'/' + QString::fromUtf16(GetParam().at);
  QDir().mkpath(QFileInfo(at).path());
  if (GetParam().fourteenDays) makeDays(backups());
  link(victim.dir.path(), at);
  EXPECT_TRUE(p.store(0, 1, u"1/1"_s));
  EXPECT_TRUE(victim.whole());
  EXPECT_EQ(decodeCp932(p.readBytes(index)).count(u"1/1"_s), 1);
}

INSTANTIATE_TEST_SUITE_P(Kinds, BackupLinks,
                         ::testing::Values(Planting{"cutOffCopy", u"old.velnor-part", false},
                                           Planting{"todaysCutOffCopy", u"20261207.velnor-part",
                                                    false},
                                           Planting{"insideAnOldDay", u"20000101/stuff", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Hostile, aForeignLinkAmongTheDaysIsNamedOnce) {
  Victim victim;
  QDir().mkpath(backups());
  makeDays(backups());
  link(victim.dir.path(), backups() + u"/20000101"_s);  // the oldest of fifteen days
  ASSERT_TRUE(p.store(0, 1, u"1/1"_s));
  ASSERT_TRUE(p.store(0, 1, u"1/2"_s));
  EXPECT_TRUE(victim.whole());
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].title, u"バックアップ"_s);
  EXPECT_TRUE(
      shell.messages[0].text.contains(QDir::toNativeSeparators(backups() + u"/20000101"_s)));
  EXPECT_TRUE(QFileInfo(backups() + u"/20000101"_s).isSymLink());
}

// Something that is no ordinary file, or one far larger than any record folder's, under a
// record file's name: refused at once, never rewritten, never copied into a backup.
struct Special {
  const char* name;
  std::function<void(const QString& path)> make;
};
void PrintTo(const Special& special, std::ostream* os) { *os << special.name; }

const Special kSpecials[] = {
    {"fifo", [](const QString& path) { ASSERT_EQ(::mkfifo(QFile::encodeName(path), 0644), 0); }},
    {"endless device", [](const QString& path) { link(u"/dev/zero"_s, path); }},
    {"huge sparse file",
     [](const QString& path) {
       QFile f(path);
       ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(kIndexFileLimit + 1));
     }},
};

class SpecialFiles : public Hostile, public ::testing::WithParamInterface<Special> {
 protected:
  // Runs `step` and says whether it came back soon: a FIFO would block a plain read.
  template <typename F>
  bool quick(F step) {
    QElapsedTimer t;
    t.start();
    step();
    return t.elapsed() < 5000;
  }
};

TEST_P(SpecialFiles, asTheIndexAreRefusedAndLeftAsTheyAre) {
  QFile::remove(p.path(index));
  GetParam().make(p.path(index));
  const QFileInfo before(p.path(index));
  bool read = true;
  EXPECT_TRUE(quick([&] { read = m.CountPeople(); }));
  EXPECT_FALSE(read);
  EXPECT_FALSE(m.AppendPerson());
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].title, u"読み込めません"_s);
  const QFileInfo after(p.path(index));
  EXPECT_EQ(after.isSymLink(), before.isSymLink());
  EXPECT_EQ(after.size(), before.size());
  EXPECT_FALSE(QFileInfo::exists(backups()));
}

TEST_P(SpecialFiles, asANoteAreRefusedWhenThePersonIsReached) {
  if (QString::fromUtf8(GetParam().name) == u"huge sparse file"_s) {
    QFile f(p.path(u"%帳/乙.txt"_s));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(kNoteFileLimit + 1));
  } else {
    GetParam().make(p.path(u"%帳/乙.txt"_s));
  }
  bool loaded = true;
  EXPECT_TRUE(quick([&] { loaded = m.LoadPerson(1); }));
  EXPECT_FALSE(loaded);
  EXPECT_EQ(shell.titles(), u"読み込めません"_s);
}

// A rename onto a name whose note cannot be read: the store stops before anything is
// written, as undo could not put the old file back.
TEST_P(SpecialFiles, underARenamedPersonsNoteStopTheStore) {
  GetParam().make(p.path(u"%帳/丙.txt"_s));
  const QFileInfo before(p.path(u"%帳/丙.txt"_s));
  const QByteArray indexBefore = p.readBytes(index);
  ASSERT_TRUE(m.LoadPerson(0));
  m.PersonName = u"丙"_s;
  EXPECT_FALSE(m.StorePerson(0));
  EXPECT_EQ(shell.titles(), u"保存できません"_s);
  const QFileInfo after(p.path(u"%帳/丙.txt"_s));
  EXPECT_EQ(after.isSymLink(), before.isSymLink());
  EXPECT_EQ(after.size(), before.size());
  EXPECT_EQ(p.readBytes(index), indexBefore);
}

INSTANTIATE_TEST_SUITE_P(Kinds, SpecialFiles, ::testing::ValuesIn(kSpecials), [](const auto& info) {
  return QString::fromUtf8(info.param.name).replace(u' ', u'_').toStdString();
});

// A kill while the first start makes the missing notes leaves a temporary file, never a
// note without content; an empty note (what an older version's cut-off creation left) is
// made again when the folder opens.
TEST_F(Hostile, aCutOffFirstStartLeavesNoEmptyNote) {
  p.writeBytes(u"%帳/乙.txt"_s, {});
  {
    const ScopedFailingWriter killed(FailAt::Crash);
    m.ChangeRecordFolder();
  }
  EXPECT_FALSE(p.exists(u"%帳/甲.txt"_s));
  removeStaleSaveFiles(p.path(u"%帳"_s));  // as the next start does
  Module1 next(p.path());
  next.CurrentFolder = m.CurrentFolder;
  next.IndexFilePath = m.IndexFilePath;
  next.ChangeRecordFolder();
  for (const QString& name : {u"甲"_s, u"乙"_s})
    EXPECT_TRUE(p.readBytes(u"%帳/"_s + name + u".txt"_s)
                    .startsWith(TempProgram::cp932Lines({u"補足情報"_s})))
        << name.toStdString();
  EXPECT_EQ(p.entries(u"%帳"_s).filter(u"velnor-tmp"_s), QStringList());
}

// Another program rewrites the index with the same size and sets its time back: the status
// change time still tells.
TEST_F(Hostile, anOutsideChangeThatKeptSizeAndTimeIsSeen) {
  const QString path = p.path(index);
  const QDateTime old = QDateTime::currentDateTime().addSecs(-3600);
  auto setBack = [&] {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite) &&
                f.setFileTime(old, QFileDevice::FileModificationTime));
  };
  setBack();
  ASSERT_TRUE(m.LoadPerson(0));
  ASSERT_EQ(m.PersonName, u"甲"_s);
  p.writeBytes(index, TempProgram::indexBytes({TempProgram::record(u"北"_s, u"丙"_s),
                                               TempProgram::record(u"南"_s, u"乙"_s)}));
  setBack();
  ASSERT_TRUE(m.LoadPerson(0));
  EXPECT_EQ(m.PersonName, u"丙"_s);
}

#endif

}  // namespace
}  // namespace velnor::test
