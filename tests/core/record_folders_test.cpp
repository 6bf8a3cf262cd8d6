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

}  // namespace
}  // namespace velnor
