// The welcome dialog driven through its real controls and keys, with a fake seam.
#include <gtest/gtest.h>

#include <QDir>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QTest>
#include <memory>

#include "app/form10.h"
#include "support/fakes.h"
#include "support/temp_program.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {
namespace {

// Japanese text arrives in a line edit as an input method commits it.
void commitText(QWidget* widget, const QString& text) {
  QInputMethodEvent event;
  event.setCommitString(text);
  QCoreApplication::sendEvent(widget, &event);
}

void sendKey(QWidget* widget, QEvent::Type type, int key) {
  QKeyEvent event(type, key, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &event);
}

QByteArray newIndexBytes() {
  return test::TempProgram::cp932Lines(
      {u"[このフォルダーには、Velnorデーターが収納されます]"_s,
       u"[コンピューターがいつ壊れて情報が失われるかわかりませんので,バックアップを取ることをお勧めします]"_s,
       u"区域*名前*************"_s});
}

const QString kExistsMessage =
    u"同じ名前の記録フォルダーがあります\n\r別名を入力しなおしてください・・・"_s;

class WelcomeDialogTest : public ::testing::Test {
 protected:
  WelcomeDialogTest() { tp.m->shell = &shell; }

  // FolderCreated false: the first start; true: "新規作成" from a chooser.
  void open(bool folderCreated = false) {
    tp.m->FolderCreated = folderCreated;
    dialog = std::make_unique<Form10>(*tp.m);
    dialog->show();
  }
  QStringList recordFolders() const {
    return QDir(tp.path()).entryList({u"%*"_s}, QDir::AllEntries | QDir::NoDotAndDotDot);
  }
  QString indexOf(const QString& name) const { return u'%' + name + u"/データー.vrd"_s; }

  test::TempProgram tp;
  test::FakeShell shell;
  std::unique_ptr<Form10> dialog;
};

TEST_F(WelcomeDialogTest, opening_emptiesTheEntryAndDisablesEnter) {
  open();
  commitText(dialog->Text1, u"太郎"_s);
  dialog->hide();
  dialog->show();
  EXPECT_TRUE(dialog->Text1->text().isEmpty());
  EXPECT_FALSE(dialog->Command1->isEnabled());
  EXPECT_TRUE(dialog->Command2->isEnabled());
}

TEST_F(WelcomeDialogTest, typingEnablesEnter_deletingTheWholeNameDisablesItAgain) {
  open();
  ASSERT_FALSE(dialog->Command1->isEnabled());
  commitText(dialog->Text1, u"太郎"_s);
  EXPECT_TRUE(dialog->Command1->isEnabled());
  QTest::keyClick(dialog->Text1, Qt::Key_Backspace);
  EXPECT_TRUE(dialog->Command1->isEnabled());
  QTest::keyClick(dialog->Text1, Qt::Key_Backspace);
  EXPECT_FALSE(dialog->Command1->isEnabled());
}

TEST_F(WelcomeDialogTest, enter_createsTheFolderWithItsIndexFile) {
  open();
  tp.m->CurrentIndex = 4;
  tp.m->CurrentColumn = 7;
  commitText(dialog->Text1, u"太郎"_s);
  QTest::keyClick(dialog->Text1, Qt::Key_Return);

  EXPECT_EQ(tp.readBytes(indexOf(u"太郎"_s)), newIndexBytes());
  EXPECT_EQ(tp.m->CurrentFolder, u"%太郎"_s);
  EXPECT_EQ(tp.m->CurrentIndex, 0);
  EXPECT_EQ(tp.m->CurrentColumn, 0);
  EXPECT_TRUE(tp.m->FolderCreated);
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(shell.ended, 0);
  EXPECT_TRUE(shell.messages.isEmpty());
}

TEST_F(WelcomeDialogTest, enterWithTheQuitButtonFocused_stillCreates) {
  open();
  QTest::keyClicks(dialog->Text1, u"abc"_s);
  dialog->Command2->setFocus();
  QTest::keyClick(dialog->Command2, Qt::Key_Enter);
  EXPECT_TRUE(tp.exists(indexOf(u"abc"_s)));
  EXPECT_EQ(shell.ended, 0);
}

TEST_F(WelcomeDialogTest, enterCreatesOnceOnItsRelease_notOnThePress) {
  open();
  commitText(dialog->Text1, u"太郎"_s);
  sendKey(dialog->Text1, QEvent::KeyPress, Qt::Key_Return);
  EXPECT_TRUE(recordFolders().isEmpty());
  EXPECT_TRUE(dialog->isVisible());
  sendKey(dialog->Text1, QEvent::KeyRelease, Qt::Key_Return);
  EXPECT_EQ(recordFolders(), QStringList{u"%太郎"_s});
  EXPECT_TRUE(shell.messages.isEmpty());  // no second attempt refused as "exists"
}

TEST_F(WelcomeDialogTest, enterReleaseWhosePressWentToTheInputMethod_createsNothing) {
  open();
  commitText(dialog->Text1, u"太郎"_s);
  sendKey(dialog->Text1, QEvent::KeyRelease, Qt::Key_Return);
  EXPECT_TRUE(recordFolders().isEmpty());
  EXPECT_TRUE(dialog->isVisible());
}

TEST_F(WelcomeDialogTest, enterWithAnEmptyEntry_doesNothing) {
  open();
  QTest::keyClick(dialog->Text1, Qt::Key_Return);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_TRUE(recordFolders().isEmpty());
  EXPECT_TRUE(shell.messages.isEmpty());
}

TEST_F(WelcomeDialogTest, quitAtFirstStart_endsTheProgramAndCreatesNothing) {
  open(false);
  commitText(dialog->Text1, u"太郎"_s);
  QTest::keyClick(dialog->Text1, Qt::Key_F5);
  EXPECT_EQ(shell.ended, 1);
  EXPECT_TRUE(tp.m->ProgramEnded);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_TRUE(recordFolders().isEmpty());
}

TEST_F(WelcomeDialogTest, quitButtonCloseBoxAndEscapeAtFirstStart_allEndTheProgram) {
  open(false);
  QTest::mouseClick(dialog->Command2, Qt::LeftButton);
  EXPECT_EQ(shell.ended, 1);
  open(false);
  dialog->close();
  EXPECT_EQ(shell.ended, 2);
  open(false);
  QTest::keyClick(dialog->Text1, Qt::Key_Escape);
  EXPECT_EQ(shell.ended, 3);
  EXPECT_FALSE(dialog->isVisible());
}

TEST_F(WelcomeDialogTest, quitWhenCreatingAnotherFolder_onlyClosesTheDialog) {
  open(true);
  QTest::keyClick(dialog->Text1, Qt::Key_F5);
  EXPECT_EQ(shell.ended, 0);
  EXPECT_FALSE(tp.m->ProgramEnded);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
}

TEST_F(WelcomeDialogTest, existingFolderHoldingAFile_isRefusedWithBeepAndTwoLineMessage) {
  const QByteArray old = test::TempProgram::cp932Lines({u"[古い]"_s, u"山田*花子*************"_s});
  tp.makeFolder(u"花子"_s, old);
  tp.m->CurrentFolder = u"%別"_s;
  open();
  commitText(dialog->Text1, u"花子"_s);
  QTest::keyClick(dialog->Text1, Qt::Key_Return);

  EXPECT_EQ(shell.beeps, 1);
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].title, u"無効です"_s);
  EXPECT_EQ(shell.messages[0].text, kExistsMessage);
  EXPECT_EQ(shell.messages[0].buttons, Buttons::Ok);
  EXPECT_TRUE(dialog->Text1->text().isEmpty());
  EXPECT_FALSE(dialog->Command1->isEnabled());
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(tp.readBytes(indexOf(u"花子"_s)), old);
  EXPECT_EQ(tp.m->CurrentFolder, u"%別"_s);
  EXPECT_FALSE(tp.m->FolderCreated);
}

TEST_F(WelcomeDialogTest, existingEmptyFolder_isUsedAsTheNewFolder) {
  ASSERT_TRUE(QDir(tp.path()).mkdir(u"%花子"_s));
  open();
  commitText(dialog->Text1, u"花子"_s);
  QTest::keyClick(dialog->Text1, Qt::Key_Return);
  EXPECT_TRUE(shell.messages.isEmpty());
  EXPECT_EQ(tp.readBytes(indexOf(u"花子"_s)), newIndexBytes());
  EXPECT_EQ(tp.m->CurrentFolder, u"%花子"_s);
  EXPECT_FALSE(dialog->isVisible());
}

TEST_F(WelcomeDialogTest, plainFileOfTheFolderName_isReportedAndTheDialogStays) {
  tp.writeBytes(u"%花子"_s, "not a folder");
  open();
  commitText(dialog->Text1, u"花子"_s);
  QTest::keyClick(dialog->Text1, Qt::Key_Return);
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].title, u"保存できません"_s);
  EXPECT_TRUE(shell.messages[0].text.contains(u"%花子"_s));
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(dialog->Text1->text(), u"花子"_s);
  EXPECT_EQ(tp.readBytes(u"%花子"_s), QByteArray("not a folder"));
  EXPECT_FALSE(tp.m->FolderCreated);
  EXPECT_TRUE(tp.m->CurrentFolder.isEmpty());
}

TEST_F(WelcomeDialogTest, indexFileThatCannotBeWritten_isReportedAndTheDialogStays) {
  // A folder in the index file's place: the folder holds no file, so it is taken,
  // but the index file cannot be written there.
  ASSERT_TRUE(QDir(tp.path()).mkpath(u"%花子/データー.vrd"_s));
  open();
  commitText(dialog->Text1, u"花子"_s);
  QTest::keyClick(dialog->Text1, Qt::Key_Return);
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].title, u"保存できません"_s);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_FALSE(tp.m->FolderCreated);
  EXPECT_TRUE(tp.m->CurrentFolder.isEmpty());
  EXPECT_TRUE(QDir(tp.path(u"%花子"_s)).exists());  // was there before; left alone
}

TEST_F(WelcomeDialogTest, missingSettingsFile_isWrittenOnCreation_anExistingOneIsLeftAlone) {
  open();
  commitText(dialog->Text1, u"太郎"_s);
  QTest::keyClick(dialog->Text1, Qt::Key_Return);
  const QByteArray written = tp.readBytes(u"Velnor.ini"_s);
  EXPECT_EQ(written.count("\r\n"), 43);

  const QByteArray mine = "[my own]\r\n";
  tp.writeBytes(u"Velnor.ini"_s, mine);
  open(true);
  commitText(dialog->Text1, u"次郎"_s);
  QTest::keyClick(dialog->Text1, Qt::Key_Return);
  EXPECT_TRUE(tp.exists(indexOf(u"次郎"_s)));
  EXPECT_EQ(tp.readBytes(u"Velnor.ini"_s), mine);
}

// Names that cannot be folder names, or cannot be kept in the settings file.
class InvalidNameTest : public WelcomeDialogTest,
                        public ::testing::WithParamInterface<const char*> {};

TEST_P(InvalidNameTest, isRefusedNamingTheProblem_andNothingIsCreated) {
  const QString name = QString::fromUtf8(GetParam());
  open();
  commitText(dialog->Text1, name);
  QTest::keyClick(dialog->Text1, Qt::Key_Return);
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].title, u"無効です"_s);
  EXPECT_EQ(shell.messages[0].buttons, Buttons::Ok);
  EXPECT_EQ(shell.messages[0].text, folderNameProblem(name));
  EXPECT_TRUE(recordFolders().isEmpty());
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(dialog->Text1->text(), name);  // kept for the user to correct
  EXPECT_FALSE(tp.m->FolderCreated);
  EXPECT_EQ(shell.ended, 0);
}

INSTANTIATE_TEST_SUITE_P(WelcomeDialog, InvalidNameTest,
                         ::testing::Values("a/b", "a\\b", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b",
                                           "a|b", ".", "..", "花子.", "花子 ", "a\tb", "안녕",
                                           "😀"));

TEST(FolderNameProblem, namesTheOffendingCharacter) {
  EXPECT_EQ(folderNameProblem(u"山/田"_s), u"/　　は入力できません･･･"_s);
  EXPECT_EQ(folderNameProblem(u"山|田"_s), u"|　　は入力できません･･･"_s);
  EXPECT_EQ(folderNameProblem(u"山안田"_s), u"안　　は入力できません･･･"_s);
  EXPECT_TRUE(folderNameProblem(u"a\nb"_s).contains(u"制御文字"_s));
  EXPECT_TRUE(folderNameProblem(u"花子 "_s).contains(u"空白"_s));
  EXPECT_TRUE(folderNameProblem(u".."_s).contains(u".."_s));
}

TEST(FolderNameProblem, acceptsOrdinaryNames) {
  // 〜 as Linux input methods type it is stored as Windows' ～, so it is fine.
  for (const QString& ok :
       {u"太郎"_s, u"山田 花子"_s, u"a.b"_s, u"　全角空白"_s, u"〜①"_s, u"%二重"_s, u".隠し"_s})
    EXPECT_TRUE(folderNameProblem(ok).isEmpty()) << ok.toStdString();
}

}  // namespace
}  // namespace velnor
