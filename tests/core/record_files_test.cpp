#include <gtest/gtest.h>

#include "support/fakes.h"
#include "support/temp_program.h"

using namespace Qt::Literals::StringLiterals;
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
  TempProgram p;
  FakeShell shell;
};

// A missing index is created holding the placeholder, a missing note file as it is loaded.
TEST_F(RecordFiles, MissingFilesAreCreatedWhenRead) {
  ASSERT_TRUE(p.read(1));
  EXPECT_EQ(p.m->PersonCount, 1);
  EXPECT_EQ(index(), TempProgram::cp932Lines({kIndexComment1, kIndexComment2, kPlaceholderRecord}));
  ASSERT_TRUE(p.read(2, 0));
  QStringList note{u"補足情報"_s};
  for (int k = 1; k <= 12; ++k) note << u" %1月　日"_s.arg(k);
  EXPECT_EQ(p.readBytes(u"%テスト/名前.txt"_s), TempProgram::cp932Lines(note));
}

// Comments, blank lines and lines without 14 stars are the user's: not counted as people,
// skipped when loading one (the name list leaves the last person's fields loaded), and kept
// in place through a store, an append and a delete.
TEST_F(RecordFiles, OddLinesAreNeitherCountedNorLoadedAndStayInPlace) {
  const QString thirteen = u"a*b************"_s, fifteen = u"c*d**************"_s;
  useIndex({kIndexComment1, u"東*山田*1*2***********"_s, u"[メモ]"_s, thirteen, QString(),
            u"西*佐藤*************"_s, fifteen, u"北*鈴木*************"_s});
  ASSERT_TRUE(p.read(1));
  EXPECT_EQ(p.m->PersonCount, 3);
  ASSERT_TRUE(p.read(3));
  EXPECT_EQ(p.m->PersonTerritory, u"北"_s);
  ASSERT_TRUE(p.read(2, 1));
  EXPECT_EQ(p.m->PersonName, u"佐藤"_s);
  p.m->PersonTerritory = u"南"_s;
  p.m->MonthDates[3] = u"3/5〜3/7"_s;
  ASSERT_TRUE(p.write(2, 1));
  ASSERT_TRUE(p.write(1, 1));
  ASSERT_TRUE(p.write(3, 0));
  EXPECT_EQ(index(), TempProgram::cp932Lines({kIndexComment1, u"[メモ]"_s, thirteen, QString(),
                                              u"南*佐藤***3/5～3/7**********"_s, fifteen,
                                              u"北*鈴木*************"_s, kPlaceholderRecord}));
}

TEST_F(RecordFiles, ALineBreakLeftInANoteNeverShiftsTheMonthLines) {
  ASSERT_TRUE(p.read(2, 0));
  p.m->PersonNote = u"line1\r\nline2"_s;
  p.m->MonthNotes[1] = u"a\nb"_s;
  ASSERT_TRUE(p.write(2, 0));
  const QList<TextLine> lines =
      splitTextLines(readFile(p.path(u"%テスト/名前.txt"_s), kNoteFileLimit).bytes);
  ASSERT_EQ(lines.size(), 13);
  EXPECT_EQ(lines[1].text, u"a[b"_s);
}

// Twelve months from a longer file, the usual lines for the months a short one lacks.
TEST_F(RecordFiles, ANoteFileGivesTwelveMonthsWhateverItsLength) {
  useIndex({u"a*長*************"_s, u"b*短*************"_s});
  QStringList longNote{u"note"_s};
  for (int k = 1; k <= 14; ++k) longNote << u"m%1"_s.arg(k);
  p.writeBytes(u"%テスト/長.txt"_s, TempProgram::cp932Lines(longNote));
  p.writeBytes(u"%テスト/短.txt"_s, TempProgram::cp932Lines({u"n"_s, u"一月"_s}));
  ASSERT_TRUE(p.read(2, 0));
  EXPECT_EQ(p.m->MonthNotes[12], u"m12"_s);
  ASSERT_TRUE(p.read(2, 1));
  EXPECT_EQ(p.m->MonthNotes[1], u"一月"_s);
  EXPECT_EQ(p.m->MonthNotes[2], u" 2月　日"_s);
}

// A folder as Windows leaves it, with the NEC and the IBM codes of the same characters: read
// as the characters the codes stand for, stored unchanged byte for byte, and a typed date
// changes only its own field.
TEST_F(RecordFiles, ANecIbmFolderReadsItsCharactersAndAStoreChangesOnlyWhatWasTyped) {
  p.copyData(u"folder_nec_ibm"_s, u"%テスト"_s);
  ASSERT_TRUE(p.read(1));
  const auto golden = [](const QString& file) {
    return TempProgram::dataBytes(u"folder_nec_ibm/"_s + file);
  };
  ASSERT_TRUE(p.read(2, 0));
  EXPECT_EQ(p.m->PersonTerritory, u"北①"_s);
  EXPECT_EQ(p.m->PersonName, u"髙﨑"_s);
  for (int k = 0; k < 3; ++k) {
    ASSERT_TRUE(p.read(2, k));
    p.m->PersonNote.replace(u"\r\n"_s, u"["_s);  // as the input screen hands it back
    ASSERT_TRUE(p.write(2, k));
  }
  for (const QString& file : {kIndexFileName, u"髙﨑.txt"_s, u"佐藤.txt"_s, u"岡﨑.txt"_s})
    EXPECT_EQ(p.readBytes(u"%テスト/"_s + file), golden(file)) << file.toStdString();
  ASSERT_TRUE(p.read(2, 1));
  p.m->MonthDates[4] = u"4/1"_s;
  ASSERT_TRUE(p.write(2, 1));
  QByteArray expected = golden(kIndexFileName);
  expected.replace("*3/1\x87\x9a**", "*3/1\x87\x9a*4/1*");
  EXPECT_EQ(index(), expected);
}

TEST_F(RecordFiles, NamesThatLeaveTheFolderAreNeverPaths) {
  useIndex({u"a*../../evil*************"_s});
  ASSERT_TRUE(p.read(2, 0));
  EXPECT_FALSE(p.exists(u"evil.txt"_s));
  EXPECT_FALSE(p.write(2, 0));
  EXPECT_FALSE(p.exists(u"evil.txt"_s));
}

TEST_F(RecordFiles, AppendBeyondTheLimitIsRefused) {
  QStringList lines;
  for (int i = 0; i < 32767; ++i) lines << u"a*n%1*************"_s.arg(i);
  useIndex(lines);
  ASSERT_TRUE(p.read(1));
  EXPECT_EQ(p.m->PersonCount, 32767);
  const QByteArray before = index();
  EXPECT_FALSE(p.write(1, 0));
  EXPECT_EQ(index(), before);
  EXPECT_EQ(shell.titles(), u"追加できません"_s);
}

}  // namespace
}  // namespace velnor
