// The welcome dialog driven through its real controls and keys, with a fake seam.
#include <gtest/gtest.h>

#include <QDir>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QTest>
#include <functional>
#include <memory>
#include <tuple>

#include "app/form10.h"
#include "support/fakes.h"
#include "support/temp_program.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {
namespace {

class WelcomeDialogTest : public ::testing::Test {
 protected:
  // FolderCreated false: the first start; true: "新規作成" from a chooser.
  void open(const QString& typed, bool folderCreated = false) {
    tp.m->FolderCreated = folderCreated;
    dialog = std::make_unique<Form10>(*tp.m);
    dialog->show();
    type(typed);
  }
  // Japanese text arrives as an input method commits it.
  void type(const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QCoreApplication::sendEvent(dialog->Text1, &event);
  }
  void enter() { QTest::keyClick(dialog->Text1, Qt::Key_Return); }
  QStringList recordFolders() const {
    return QDir(tp.path()).entryList({u"%*"_s}, QDir::AllEntries | QDir::NoDotAndDotDot);
  }
  static QString indexOf(const QString& name) { return u'%' + name + u"/データー.vrd"_s; }

  test::TempProgram tp;
  test::FakeShell& shell = tp.shell;
  std::unique_ptr<Form10> dialog;
};

// The first start: a name, then Enter. That it goes on without a word is checked on the
// whole start (startup_test.cpp). The dialog says where the folder will be: in the program
// folder (here a temporary one, not the test program's folder), or beside the program.
TEST_F(WelcomeDialogTest, enteredCreatesTheFolderOpensItOnItsFirstCellAndWritesTheSettings) {
  open(u"太郎"_s);
  EXPECT_TRUE(dialog->Label3->text().endsWith(QDir::toNativeSeparators(tp.path())));
  Module1 beside(QCoreApplication::applicationDirPath());
  beside.shell = &shell;
  EXPECT_TRUE(Form10(beside).Label3->text().startsWith(u"このソフトが入っている同じところ"_s));
  tp.m->CurrentIndex = 4;
  tp.m->CurrentColumn = 7;
  enter();
  EXPECT_EQ(tp.readBytes(indexOf(u"太郎"_s)),
            test::TempProgram::cp932Lines({kIndexComment1, kIndexComment2, kPlaceholderRecord}));
  EXPECT_EQ(tp.m->CurrentFolder, u"%太郎"_s);
  EXPECT_EQ(tp.m->CurrentIndex, 0);
  EXPECT_EQ(tp.m->CurrentColumn, 0);
  EXPECT_TRUE(tp.m->FolderCreated);
  EXPECT_EQ(tp.readBytes(kSettingsFileName),
            test::TempProgram::dataBytes(u"settings/first_start.ini"_s));
}

TEST_F(WelcomeDialogTest, anEmptyFolderOfTheNameIsTakenAndTheSettingsFileLeftAlone) {
  ASSERT_TRUE(QDir(tp.path()).mkdir(u"%次郎"_s));
  tp.writeBytes(kSettingsFileName, "[my own]\r\n");
  open(u"次郎"_s, true);
  enter();
  EXPECT_TRUE(shell.messages.isEmpty());
  EXPECT_TRUE(tp.exists(indexOf(u"次郎"_s)));
  EXPECT_EQ(tp.m->CurrentFolder, u"%次郎"_s);
  EXPECT_EQ(tp.readBytes(kSettingsFileName), QByteArray("[my own]\r\n"));
}

// Enter needs a name, and reopening empties the entry. The press of Enter went to the input
// method; only a release after a press counts, once.
TEST_F(WelcomeDialogTest, enterNeedsANameAndActsOnceOnItsReleaseWhateverHasTheFocus) {
  open(u"x"_s);
  EXPECT_TRUE(dialog->Command1->isEnabled());
  QTest::keyClick(dialog->Text1, Qt::Key_Backspace);
  EXPECT_FALSE(dialog->Command1->isEnabled());
  enter();
  EXPECT_TRUE(recordFolders().isEmpty());
  EXPECT_TRUE(dialog->isVisible());
  type(u"太郎"_s);  // reopening empties the entry
  dialog->hide();
  dialog->show();
  EXPECT_TRUE(dialog->Text1->text().isEmpty());
  EXPECT_FALSE(dialog->Command1->isEnabled());
  type(u"太郎"_s);
  QTest::keyRelease(dialog->Text1, Qt::Key_Return);
  QTest::keyPress(dialog->Text1, Qt::Key_Return);
  EXPECT_TRUE(recordFolders().isEmpty());
  EXPECT_TRUE(dialog->isVisible());
  QTest::keyRelease(dialog->Text1, Qt::Key_Return);
  EXPECT_EQ(recordFolders(), QStringList{u"%太郎"_s});
  EXPECT_TRUE(shell.messages.isEmpty());  // no second attempt refused as "exists"
  // Whatever has the focus.
  open(u"abc"_s, true);
  dialog->Command2->setFocus();
  QTest::keyClick(dialog->Command2, Qt::Key_Enter);
  EXPECT_TRUE(tp.exists(indexOf(u"abc"_s)));
  EXPECT_EQ(shell.ended, 0);
}

TEST_F(WelcomeDialogTest, everyWayOfQuitting_endsTheProgramOnlyAtFirstStart) {
  const std::function<void(Form10&)> ways[] = {
      [](Form10& d) { QTest::keyClick(d.Text1, Qt::Key_F5); },
      [](Form10& d) { QTest::keyClick(d.Text1, Qt::Key_Escape); },
      [](Form10& d) { QTest::mouseClick(d.Command2, Qt::LeftButton); },
      [](Form10& d) { d.close(); }};
  for (bool folderCreated : {true, false})
    for (const auto& quit : ways) {
      SCOPED_TRACE(testing::Message()
                   << "first start: " << !folderCreated << ", way " << &quit - ways);
      shell.ended = 0;
      tp.m->ProgramEnded = false;
      open(u"太郎"_s, folderCreated);
      quit(*dialog);
      EXPECT_EQ(shell.ended, folderCreated ? 0 : 1);
      EXPECT_EQ(tp.m->ProgramEnded, !folderCreated);
      EXPECT_FALSE(dialog->isVisible());
      EXPECT_EQ(dialog->result(), QDialog::Rejected);
    }
  EXPECT_TRUE(recordFolders().isEmpty());
}

TEST_F(WelcomeDialogTest, refusedNames_sayWhy_keepTheDialogOpen_andChangeNothing) {
  const QByteArray old = test::TempProgram::cp932Lines({u"[古い]"_s, u"山田*花子*************"_s});
  tp.makeFolder(u"花子"_s, old);                            // a record folder in use
  tp.writeBytes(u"%三郎"_s, "not a folder");                // a plain file of the name
  ASSERT_TRUE(QDir(tp.path()).mkpath(indexOf(u"次郎"_s)));  // a folder in the index's place
  tp.m->CurrentFolder = u"%別"_s;
  const QString invalid = u"無効です"_s, unsaved = u"保存できません"_s;
  // Each name with its box title and what the text must say; 안 cannot be kept in the
  // settings file.
  QList<std::tuple<QString, QString, QString>> refused = {
      {u"花子"_s, invalid,
       u"同じ名前の記録フォルダーがあります\n\r別名を入力しなおしてください・・・"_s},
      {u"三郎"_s, unsaved, u"%三郎"_s},
      {u"次郎"_s, unsaved, u"%次郎"_s},
      {u".."_s, invalid, u"「..」"_s},
      {u"花子."_s, invalid, u"「.」"_s},
      {u"花子 "_s, invalid, u"空白"_s},
      {u"a\tb"_s, invalid, u"制御文字"_s},
      {u"山안녕"_s, invalid, u"안　　は"_s},
      {u"新規作成"_s, invalid, u"「新規作成」"_s}};
  for (QChar c : u"\\/:*?\"<>|"_s)
    refused.append({u'a' + QString(c) + u'b', invalid, c + u"　　は入力できません"_s});
  for (const auto& [name, title, problem] : refused) {
    shell.messages.clear();
    open(name);
    enter();
    SCOPED_TRACE(name.toStdString());
    ASSERT_EQ(shell.messages.size(), 1);
    const test::ShownMessage& box = shell.messages[0];
    EXPECT_EQ(box.title, title);
    EXPECT_TRUE(box.text.contains(problem)) << box.text.toStdString();
    // Kept for the user to correct, except a name already in use.
    EXPECT_EQ(dialog->Text1->text(), name == u"花子"_s ? QString() : name);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(tp.m->FolderCreated);
    EXPECT_EQ(tp.m->CurrentFolder, u"%別"_s);
  }
  EXPECT_EQ(shell.beeps, 1);  // for the name in use only
  EXPECT_EQ(tp.readBytes(indexOf(u"花子"_s)), old);
  EXPECT_EQ(tp.readBytes(u"%三郎"_s), QByteArray("not a folder"));
  EXPECT_EQ(recordFolders().size(), 3);
}

// A pasted C1 control character is invisible: the message names its kind instead. 〜 as
// Linux input methods type it is stored as Windows' ～, so it is fine.
TEST(FolderNames, anInvisibleControlCharacterIsNamed_dotsWideSpacesAndLookalikesAreFine) {
  EXPECT_EQ(folderNameProblem(u"a"_s + QChar(0x85) + u"b"_s),
            u"タブや改行などの制御文字　　は入力できません･･･"_s);
  for (const QString& ok : {u"a.b"_s, u"　全角空白"_s, u"〜①"_s, u"%二重"_s, u".隠し"_s})
    EXPECT_TRUE(folderNameProblem(ok).isEmpty()) << ok.toStdString();
}

}  // namespace
}  // namespace velnor
