// The program's files: the record folders, their index file's lines and note files as they
// are read, created and stored, a folder as it is listed and opened, and the settings file.
#include <gtest/gtest.h>

#include <QDir>

#include "support/fakes.h"
#include "support/temp_program.h"

using namespace Qt::Literals::StringLiterals;
using velnor::test::FakeInputScreen;
using velnor::test::FakeMainWindow;
using velnor::test::FakeShell;
using velnor::test::TempProgram;

namespace velnor {
namespace {

const QString kIndex = u"%テスト/データー.vrd"_s;

class RecordFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    p.m->CurrentFolder = p.makeFolder(u"テスト"_s);
    p.m->IndexFilePath = p.m->indexPathFor(p.m->CurrentFolder);
  }
  void useIndex(const QStringList& lines) { p.writeBytes(kIndex, TempProgram::cp932Lines(lines)); }
  QByteArray index() const { return p.readBytes(kIndex); }
  TempProgram p;
  FakeShell& shell = p.shell;
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

class Folders : public ::testing::Test {
 protected:
  void SetUp() override {
    p.m->mainWindow = &main;
    p.m->RowHeight = 10;
  }
  TempProgram p;
  FakeShell& shell = p.shell;
  FakeMainWindow main;
};

const QByteArray kTwoPeople =
    TempProgram::cp932Lines({u"a*一*************"_s, u"b*二*************"_s});

class TwoFolders : public Folders {
 protected:
  void SetUp() override {
    Folders::SetUp();
    p.makeFolder(u"佐藤"_s, kTwoPeople);
    p.makeFolder(u"青木"_s, TempProgram::cp932Lines({u"x*y*************"_s}));
    p.writeBytes(u"%file"_s, "not a folder");
    p.m->ChangeRecordFolder();
  }
};

// A switch lists them anew and keeps the selection inside a smaller folder.
TEST_F(TwoFolders, ChoosersListTheFoldersSortedAfterNewFolderAndNoFilesAtEachSwitch) {
  EXPECT_EQ(main.chooser.items, (QStringList{kNewFolderItem, u"佐藤"_s, u"青木"_s}));
  main.chooser.items << u"stale"_s;
  p.m->CurrentIndex = 1;
  p.m->EditsEnabled = true;
  main.chooser.choose(2);  // 青木, a pick from the chooser
  p.m->ChangeRecordFolder();
  EXPECT_EQ(main.chooser.items, (QStringList{kNewFolderItem, u"佐藤"_s, u"青木"_s}));
  EXPECT_EQ(p.m->CurrentIndex, 0);
}

// The user's comment and malformed lines stay, byte for byte, after the placeholder.
TEST_F(Folders, FolderWithoutRecordsGetsThePlaceholderAndKeepsItsOtherLines) {
  const QByteArray own = QByteArray("[\x8e\xa9\x95\xaa\x82\xcc\x83\x81\x83\x82]\r\n") +
                         "bad*line\r\n" + TempProgram::cp932Lines({kIndexComment2});
  p.makeFolder(u"空"_s, own);
  p.m->CurrentFolder = u"%空"_s;
  p.m->ChangeRecordFolder();
  EXPECT_EQ(p.m->PersonCount, 1);
  EXPECT_EQ(p.readBytes(u"%空/データー.vrd"_s),
            TempProgram::cp932Lines({kIndexComment1, kIndexComment2, kPlaceholderRecord}) +
                own.left(own.indexOf("\r\nbad") + 2) + "bad*line\r\n");
}

TEST_F(Folders, OpeningSelectsAndLoadsTheCurrentPersonOnTheInputScreen) {
  FakeInputScreen screen;
  screen.module = p.m.get();
  p.m->inputScreen = &screen;
  p.m->InputScreenOpen = true;
  p.m->CurrentFolder = p.makeFolder(u"a"_s, kTwoPeople);
  p.m->CurrentIndex = 1;
  p.m->ChangeRecordFolder();
  EXPECT_EQ(screen.selected, 1);
  EXPECT_TRUE(screen.calls.contains(u"load"_s));
}

// ---- The settings file.

class Settings : public ::testing::Test {
 protected:
  // Loads a settings file holding `lines`.
  Module1& load(const QStringList& lines) {
    p.writeBytes(kSettingsFileName, TempProgram::cp932Lines(lines));
    EXPECT_TRUE(p.m->LoadSettings());
    return *p.m;
  }
  TempProgram p;
};

// Negative positions, True, colours and the folder name all come back as they were.
TEST_F(Settings, AFileInUseIsSavedAgainByteForByte) {
  const QByteArray inUse = TempProgram::dataBytes(u"settings/in_use.ini"_s);
  p.writeBytes(kSettingsFileName, inUse);
  ASSERT_TRUE(p.m->LoadSettings());
  p.writeBytes(kSettingsFileName, {});
  ASSERT_TRUE(p.m->SaveSettings());
  EXPECT_EQ(p.readBytes(kSettingsFileName), inUse);
}

// Lines of a settings file and the value one setting then has, the defaults applied after.
struct Reading {
  QStringList lines;
  qint32 (*value)(const Module1&);
  qint32 expected;
};

class ReadingLines : public Settings, public ::testing::WithParamInterface<Reading> {};

TEST_P(ReadingLines, GiveTheSettingItsValueOrTheDefault) {
  Module1& m = load(GetParam().lines);
  m.ApplyDefaults();
  EXPECT_EQ(GetParam().value(m), GetParam().expected) << GetParam().lines.join(u'|').toStdString();
}

qint32 rowHeight(const Module1& m) { return m.RowHeight; }

INSTANTIATE_TEST_SUITE_P(
    Lines, ReadingLines,
    ::testing::Values(
        Reading{{u"i104= 20 "_s, u"i104= 14 "_s}, rowHeight, 14},              // the last one wins
        Reading{{u"i104= 20 "_s, u"i104b= 12 "_s}, rowHeight, 20},             // not a longer key
        Reading{{u"i104= 14 "_s, u"[i104= 3 ]"_s, u"junk"_s}, rowHeight, 14},  // comments
        Reading{{u"s201=%鈴木"_s, u"i119= 41 "_s, u"i104= 14 "_s}, rowHeight, 14},  // any order
        Reading{{u"i104=abc"_s}, rowHeight, 10},                                    // no number
        Reading{{u"i104b="_s}, [](const Module1& m) -> qint32 { return m.NoteFontSize; }, 9},
        // beyond 16 bits: ignored, not wrapped
        Reading{{u"i112= 99999 "_s}, [](const Module1& m) -> qint32 { return m.MainWidth; }, 5220},
        Reading{{u"i110= 7.6 "_s}, [](const Module1& m) -> qint32 { return m.MainLeft; }, 8},
        // outside 0..2
        Reading{{u"i120= 5 "_s}, [](const Module1& m) -> qint32 { return m.DisplaySpan; }, 0},
        Reading{{u"b101=maybe"_s}, [](const Module1& m) -> qint32 { return m.InputScreenOpen; }, 0},
        Reading{{u"B101=True"_s},  // keys are case-sensitive
                [](const Module1& m) -> qint32 { return m.InputScreenOpen; },
                0}));

TEST_F(Settings, AFailedSaveIsReportedWithTheFileName) {
  const FakeShell& shell = p.shell;
  p.m->CurrentFolder = u"%😀"_s;
  EXPECT_FALSE(p.m->SaveSettings());
  EXPECT_EQ(shell.titles(), u"保存できません"_s);
  EXPECT_TRUE(shell.messages.value(0).text.contains(kSettingsFileName));
}

// A folder name that could lead out of the program folder is never used; dots inside a
// name are part of it (the welcome dialog accepts such names).
TEST(SettingsFolderName, WithAPathPartIsTreatedAsMissingAndDotsInsideAreKept) {
  for (const QString& value :
       {u"%../他人"_s, u"%a/b"_s, u"%a\\b"_s, u"../%x"_s, u".."_s, u"%a..b"_s}) {
    TempProgram p;
    p.writeBytes(kSettingsFileName, TempProgram::cp932Lines({u"s201="_s + value}));
    ASSERT_TRUE(p.m->LoadSettings());
    EXPECT_EQ(p.m->CurrentFolder, value == u"%a..b"_s ? value : QString()) << value.toStdString();
  }
}

}  // namespace
}  // namespace velnor
