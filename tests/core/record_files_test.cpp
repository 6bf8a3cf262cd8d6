#include <gtest/gtest.h>

#include "support/fakes.h"
#include "support/temp_program.h"

using namespace Qt::Literals::StringLiterals;
using velnor::test::FakeInputScreen;
using velnor::test::FakeShell;
using velnor::test::TempProgram;

namespace velnor {
namespace {

const QString kIndex = u"%テスト/データー.vrd"_s;

class RecordFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    p.m->shell = &shell;
    p.m->CurrentFolder = p.makeFolder(u"テスト"_s);
    p.m->IndexFilePath = p.m->indexPathFor(p.m->CurrentFolder);
  }
  void useIndex(const QStringList& lines) { p.writeBytes(kIndex, TempProgram::cp932Lines(lines)); }
  QByteArray index() const { return p.readBytes(kIndex); }
  void read(int mode, int index = 0) {
    p.m->ReadMode = qint16(mode);
    p.m->CurrentIndex = qint16(index);
    ASSERT_TRUE(p.m->ReadIndex());
  }
  bool write(int mode, int index) {
    p.m->WriteMode = qint16(mode);
    p.m->CurrentIndex = qint16(index);
    return p.m->WriteIndex();
  }
  TempProgram p;
  FakeShell shell;
};

TEST_F(RecordFiles, MissingIndexIsCreatedAndAppendedTo) {
  read(1);
  EXPECT_EQ(p.m->PersonCount, 1);
  ASSERT_TRUE(write(1, 0));
  EXPECT_EQ(p.m->PersonCount, 2);
  EXPECT_EQ(p.m->CurrentIndex, 1);
  EXPECT_EQ(index(),
            TempProgram::cp932Lines({kIndexComment1, kIndexComment2, u"区域*名前*************"_s,
                                     u"区域*名前*************"_s}));
}

TEST_F(RecordFiles, PlaceholderLoadCreatesItsNoteFile) {
  read(2, 0);
  EXPECT_EQ(p.m->PersonTerritory, u"区域"_s);
  EXPECT_EQ(p.m->PersonName, u"名前"_s);
  EXPECT_EQ(p.m->PersonNote, u"補足情報"_s);
  QStringList note{u"補足情報"_s};
  for (int k = 1; k <= 12; ++k) note << u" %1月　日"_s.arg(k);
  EXPECT_EQ(p.readBytes(u"%テスト/名前.txt"_s), TempProgram::cp932Lines(note));
  EXPECT_EQ(p.m->MonthNotes[12], u" 12月　日"_s);
}

TEST_F(RecordFiles, OddLinesAreSkippedWhenReadingAndKeptWhenRewriting) {
  const QString thirteen = u"a*b************"_s;   // 13 stars
  const QString fifteen = u"c*d**************"_s;  // 15 stars
  useIndex({kIndexComment1, u"東*山田*1*2***********"_s, u"[メモ]"_s, thirteen, QString(),
            u"西*佐藤*************"_s, fifteen, u"北*鈴木*************"_s});
  read(1);
  EXPECT_EQ(p.m->PersonCount, 3);
  read(2, 1);
  EXPECT_EQ(p.m->PersonName, u"佐藤"_s);

  // Store record 1, append, then delete record 0: the odd lines stay in place.
  p.m->PersonTerritory = u"南"_s;
  p.m->MonthDates[3] = u"3/5〜3/7"_s;
  ASSERT_TRUE(write(2, 1));
  ASSERT_TRUE(write(1, 1));
  ASSERT_TRUE(write(3, 0));
  EXPECT_EQ(p.m->PersonCount, 3);
  EXPECT_EQ(index(), TempProgram::cp932Lines({kIndexComment1, u"[メモ]"_s, thirteen, QString(),
                                              u"南*佐藤***3/5～3/7**********"_s, fifteen,
                                              u"北*鈴木*************"_s, kPlaceholderRecord}));
}

TEST_F(RecordFiles, DeletingTheLastRecordSelectsTheNewLast) {
  useIndex({kIndexComment1, u"a*x*************"_s, u"b*y*************"_s, u"c*z*************"_s});
  read(1);
  ASSERT_TRUE(write(3, 2));
  EXPECT_EQ(p.m->PersonCount, 2);
  EXPECT_EQ(p.m->CurrentIndex, 1);
  ASSERT_TRUE(write(3, 0));
  EXPECT_EQ(p.m->CurrentIndex, 0);  // the following person now has number 0
  read(2, 0);
  EXPECT_EQ(p.m->PersonName, u"y"_s);
}

TEST_F(RecordFiles, NoteLineBreaksAreStoredAsBracketAndReadBack) {
  read(2, 0);
  p.m->PersonNote = u"line1[line2"_s;
  p.m->MonthNotes[4] = u"4月は[留守"_s;
  ASSERT_TRUE(write(2, 0));
  const QByteArray note = p.readBytes(u"%テスト/名前.txt"_s);
  EXPECT_TRUE(note.startsWith(TempProgram::cp932Lines({u"line1[line2"_s})));
  read(2, 0);
  EXPECT_EQ(p.m->PersonNote, u"line1\r\nline2"_s);
  EXPECT_EQ(p.m->MonthNotes[4], u"4月は[留守"_s);  // month lines stay as stored
}

TEST_F(RecordFiles, LongAndShortNoteFiles) {
  useIndex({u"a*長*************"_s, u"b*短*************"_s});
  QStringList longNote{u"note"_s};
  for (int k = 1; k <= 14; ++k) longNote << u"m%1"_s.arg(k);
  p.writeBytes(u"%テスト/長.txt"_s, TempProgram::cp932Lines(longNote));
  p.writeBytes(u"%テスト/短.txt"_s, TempProgram::cp932Lines({u"n"_s, u"一月"_s}));
  read(2, 0);
  EXPECT_EQ(p.m->MonthNotes[12], u"m12"_s);
  read(2, 1);
  EXPECT_EQ(p.m->PersonNote, u"n"_s);
  EXPECT_EQ(p.m->MonthNotes[1], u"一月"_s);
  EXPECT_EQ(p.m->MonthNotes[2], u" 2月　日"_s);
}

TEST_F(RecordFiles, DuplicateCodesOfAnotherRecordKeepTheirBytes) {
  // 87 9A (NEC ∵) in record 0 would re-encode as 81 E6.
  QByteArray bytes = TempProgram::cp932Lines({kIndexComment1});
  bytes += QByteArray("\x87\x9a*A*************\r\n", 19);
  bytes += TempProgram::cp932Lines({u"b*B*************"_s});
  p.writeBytes(kIndex, bytes);
  read(2, 1);
  p.m->MonthDates[1] = u"1"_s;
  ASSERT_TRUE(write(2, 1));
  EXPECT_TRUE(index().contains(QByteArray("\x87\x9a*A*************\r\n", 19)));
  EXPECT_TRUE(index().endsWith("b*B*1************\r\n"));
}

TEST_F(RecordFiles, RawLinesAndNameListModes) {
  useIndex({kIndexComment1, u"a*一*************"_s, u"b*二*************"_s});
  FakeInputScreen screen;
  p.m->inputScreen = &screen;
  read(3);
  EXPECT_EQ(screen.names, (QStringList{u"一"_s, u"二"_s}));
  EXPECT_EQ(p.m->PersonTerritory, u"b"_s);
  read(5, 2);
  EXPECT_EQ(p.m->PersonName, u"b*二*************"_s);
  p.m->inputScreen = nullptr;
}

TEST_F(RecordFiles, FailedStoreLeavesFilesAndReports) {
  useIndex({u"a*一*************"_s});
  read(2, 0);
  p.m->MonthDates[1] = u"😀"_s;
  const QByteArray before = index();
  EXPECT_FALSE(write(2, 0));
  EXPECT_EQ(index(), before);
  ASSERT_FALSE(shell.messages.isEmpty());
  EXPECT_EQ(shell.messages.last().title, u"保存できません"_s);
}

TEST_F(RecordFiles, NamesThatLeaveTheFolderAreNeverPaths) {
  useIndex({u"a*../../evil*************"_s});
  read(2, 0);
  EXPECT_FALSE(p.exists(u"evil.txt"_s));
  EXPECT_FALSE(write(2, 0));
  EXPECT_FALSE(p.exists(u"evil.txt"_s));
}

TEST_F(RecordFiles, AppendBeyondTheLimitIsRefused) {
  QStringList lines;
  for (int i = 0; i < 32767; ++i) lines << u"a*n%1*************"_s.arg(i);
  useIndex(lines);
  read(1);
  EXPECT_EQ(p.m->PersonCount, 32767);
  const QByteArray before = index();
  EXPECT_FALSE(write(1, 0));
  EXPECT_EQ(index(), before);
  ASSERT_FALSE(shell.messages.isEmpty());
  EXPECT_EQ(shell.messages.last().title, u"追加できません"_s);
}

}  // namespace
}  // namespace velnor
