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

class Folders : public ::testing::Test {
 protected:
  void SetUp() override {
    p.m->shell = &shell;
    p.m->mainWindow = &main;
    p.m->RowHeight = 10;
  }
  TempProgram p;
  FakeShell shell;
  FakeMainWindow main;
};

const QByteArray kTwoPeople =
    TempProgram::cp932Lines({u"a*一*************"_s, u"b*二*************"_s});

TEST_F(Folders, MissingRememberedFolderFallsBackToTheFirstSorted) {
  p.makeFolder(u"佐藤"_s, kTwoPeople);
  p.makeFolder(u"青木"_s, kTwoPeople);
  p.writeBytes(u"%file"_s, "not a folder");
  p.m->CurrentFolder = u"%消えた"_s;
  p.m->ChangeRecordFolder();
  EXPECT_EQ(main.chooser.items, (QStringList{kNewFolderItem, u"佐藤"_s, u"青木"_s}));
  EXPECT_EQ(p.m->CurrentFolder, u"%佐藤"_s);
  EXPECT_EQ(p.m->FolderItemIndex, 1);
  EXPECT_EQ(main.chooser.text(), u"佐藤"_s);
  EXPECT_EQ(p.m->PersonCount, 2);
  EXPECT_TRUE(main.calls.contains(u"draw"_s));
  EXPECT_TRUE(shell.messages.isEmpty());
}

TEST_F(Folders, ChooserSwitchOpensTheChosenFolderAndRebuildsTheList) {
  p.makeFolder(u"a"_s, kTwoPeople);
  p.makeFolder(u"b"_s, TempProgram::cp932Lines({u"x*y*************"_s}));
  p.m->CurrentFolder = u"%a"_s;
  p.m->ChangeRecordFolder();
  main.chooser.items << u"stale"_s;  // left over from an earlier listing
  p.m->CurrentIndex = 1;
  p.m->EditsEnabled = true;
  main.chooser.choose(2);
  p.m->ChangeRecordFolder();
  EXPECT_EQ(p.m->CurrentFolder, u"%b"_s);
  EXPECT_EQ(p.m->FolderItemIndex, 2);
  EXPECT_EQ(main.chooser.items.size(), 3);
  EXPECT_EQ(p.m->PersonCount, 1);
  EXPECT_EQ(p.m->CurrentIndex, 0);  // kept inside the smaller folder
  EXPECT_TRUE(p.m->IndexFilePath.endsWith(u"%b/データー.vrd"_s));
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

TEST_F(Folders, FirstRunShowsTheWelcomeDialogThenTheInputScreen) {
  shell.onWelcome = [&] {
    QDir(p.path()).mkdir(u"%新人"_s);
    ASSERT_TRUE(p.m->WriteNewIndexFile(p.path(u"%新人/データー.vrd"_s)));
    p.m->CurrentFolder = u"%新人"_s;
  };
  p.m->ChangeRecordFolder();
  EXPECT_EQ(shell.welcomeShown, 1);
  EXPECT_FALSE(p.m->FolderCreated);
  EXPECT_EQ(shell.inputShown, 1);
  EXPECT_TRUE(p.m->InputScreenOpen);
}

TEST_F(Folders, FirstRunDialogClosedEndsWithoutOpeningAnything) {
  shell.onWelcome = [&] { p.m->EndProgram(); };
  p.m->ChangeRecordFolder();
  EXPECT_EQ(shell.ended, 1);
  EXPECT_EQ(shell.inputShown, 0);
}

class FoldersWithInput : public Folders {
 protected:
  void SetUp() override {
    Folders::SetUp();
    screen.module = p.m.get();
    p.m->inputScreen = &screen;
    p.m->InputScreenOpen = true;
    p.makeFolder(u"a"_s, kTwoPeople);
    p.makeFolder(u"b"_s, kTwoPeople);
    p.m->CurrentFolder = u"%a"_s;
    p.m->ChangeRecordFolder();
    screen.calls.clear();
  }
  FakeInputScreen screen;
};

TEST_F(FoldersWithInput, OpeningFillsTheNameListAndLoadsTheSelected) {
  EXPECT_EQ(screen.names, (QStringList{u"一"_s, u"二"_s}));
  p.m->CurrentIndex = 1;
  p.m->ChangeRecordFolder();
  EXPECT_EQ(screen.selected, 1);
  EXPECT_EQ(screen.calls.last(), u"load"_s);
  EXPECT_EQ(screen.chooser.items, main.chooser.items);
}

TEST_F(FoldersWithInput, DuplicateNameBlocksTheFolderChange) {
  screen.nameBox = u"二"_s;  // the name being edited now equals another person's
  screen.names[0] = u"二"_s;
  screen.differs = true;
  p.m->PersonModified = true;
  p.m->EditsEnabled = true;
  screen.chooser.choose(2);
  p.m->ChangeRecordFolder();
  EXPECT_EQ(p.m->CurrentFolder, u"%a"_s);
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].title, u"無効です…"_s);
  EXPECT_EQ(shell.messages[0].text, u"同じ名前がすでにあります。変更してください…"_s);
  EXPECT_FALSE(screen.calls.contains(u"save"_s));
  EXPECT_EQ(screen.chooser.currentIndex(), 1);  // the chooser shows the folder in use again
  EXPECT_EQ(screen.nameBoxFocused, 1);
}

TEST_F(FoldersWithInput, PendingEditIsStoredBeforeSwitching) {
  screen.nameBox = u"一"_s;
  screen.differs = true;
  p.m->PersonModified = true;
  p.m->EditsEnabled = true;
  screen.chooser.choose(2);
  p.m->ChangeRecordFolder();
  EXPECT_EQ(screen.calls.first(), u"changeTest"_s);
  EXPECT_TRUE(screen.calls.contains(u"save"_s));
  EXPECT_EQ(p.m->CurrentFolder, u"%b"_s);
}

TEST_F(FoldersWithInput, NewFolderDialogClosedWithoutCreatingChangesNothing) {
  p.m->EditsEnabled = true;
  screen.chooser.choose(0);  // "新規作成"
  p.m->ChangeRecordFolder();
  EXPECT_EQ(shell.welcomeShown, 1);
  EXPECT_EQ(p.m->CurrentFolder, u"%a"_s);
  EXPECT_EQ(main.chooser.items, (QStringList{kNewFolderItem, u"a"_s, u"b"_s}));
  EXPECT_EQ(screen.chooser.text(), u"a"_s);
}

TEST_F(FoldersWithInput, NewFolderCreatedIsOpened) {
  shell.onWelcome = [&] {
    QDir(p.path()).mkdir(u"%c"_s);
    ASSERT_TRUE(p.m->WriteNewIndexFile(p.path(u"%c/データー.vrd"_s)));
    p.m->CurrentFolder = u"%c"_s;
  };
  p.m->EditsEnabled = true;
  screen.chooser.choose(0);
  p.m->ChangeRecordFolder();
  EXPECT_EQ(p.m->CurrentFolder, u"%c"_s);
  EXPECT_EQ(p.m->FolderItemIndex, 3);
  EXPECT_EQ(main.chooser.items.size(), 4);
  EXPECT_EQ(screen.names, (QStringList{u"名前"_s}));
}

TEST_F(Folders, NewFolderWithInputClosedOpensTheInputScreenFirst) {
  p.makeFolder(u"a"_s, kTwoPeople);
  p.m->CurrentFolder = u"%a"_s;
  p.m->ChangeRecordFolder();
  p.m->EditsEnabled = true;
  main.chooser.choose(0);
  p.m->ChangeRecordFolder();
  EXPECT_TRUE(p.m->InputScreenOpen);
  EXPECT_EQ(shell.inputShown, 1);
  EXPECT_EQ(shell.welcomeShown, 0);  // the input screen's load goes on from here
}

}  // namespace
}  // namespace velnor
