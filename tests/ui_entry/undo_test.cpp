// Ctrl+Z and Ctrl+Y over stored changes: the files come back byte for byte.

#include "entry_fixture.h"
#include "ui/settings/form4.h"

namespace velnor::test {
namespace {

class UndoTest : public EntryTest {
 protected:
  void SetUp() override {
    EntryTest::SetUp();
    // A comment line between the people, and a note file of 15 lines.
    p.writeBytes(folder + u'/' + kIndexFileName,
                 TempProgram::cp932Lines(
                     {kIndexComment1, kIndexComment2, yamada, u"[自分のメモ]"_s, inoue, ueda}));
    QStringList fifteen;
    for (int i = 1; i <= 15; ++i) fifteen << u"行%1"_s.arg(i);
    p.writeBytes(folder + u"/井上.txt"_s, TempProgram::cp932Lines(fifteen));
  }
  void ctrl(QWidget* w, Qt::Key k, Qt::KeyboardModifiers more = {}) {
    QTest::keyClick(w, k, Qt::ControlModifier | more);
  }
};

// A delete in the main window comes back with its fifteen-line note, a reordering with its
// comment line.
TEST_F(UndoTest, DeleteAndReorderingInTheMainWindowComeBackWithNoteAndCommentLine) {
  startBothWindows(false);
  const auto before = files();
  key(mainForm.get(), Qt::Key_Down);  // 井上
  key(mainForm.get(), Qt::Key_F2);    // OK is the fake's answer
  const auto deleted = files();
  ASSERT_NE(deleted, before);
  ctrl(mainForm.get(), Qt::Key_Z);
  EXPECT_EQ(files(), before);
  EXPECT_EQ(m.CurrentIndex, 1);
  ctrl(mainForm.get(), Qt::Key_Y);
  EXPECT_EQ(files(), deleted);
  ctrl(mainForm.get(), Qt::Key_Z);
  ctrl(mainForm.get(), Qt::Key_Z, Qt::ShiftModifier);  // the other redo key
  EXPECT_EQ(files(), deleted);
  {
    Form4 settings(m);
    settings.Option2_Click(4);  // by name
  }
  ASSERT_NE(files(), deleted);
  ctrl(mainForm.get(), Qt::Key_Z);
  EXPECT_EQ(files(), deleted);
}

class UndoInInputScreen : public UndoTest, public ::testing::WithParamInterface<QString> {};

TEST_P(UndoInInputScreen, PutsTheFilesBackAndShowsThePerson) {
  startBothWindows(true);
  ASSERT_TRUE(form);
  const auto before = files();
  const QString change = GetParam();
  if (change == u"store"_s) {
    type(form->monthCell(3), u"3/3"_s);
    retype(form->Text1[0], u"新しいメモ"_s);
    clickName(2);
  } else if (change == u"rename"_s) {
    retype(form->Text2, u"山田花子"_s);
    clickName(2);
  } else if (change == u"add"_s) {
    key(form->Text2, Qt::Key_F1);
  } else if (change == u"delete"_s) {
    clickName(1);
    key(form->Text2, Qt::Key_F2);
  }
  const auto after = files();
  ASSERT_NE(after, before);
  focus(form->List2);
  ctrl(form->List2, Qt::Key_Z);
  EXPECT_EQ(files(), before);
  const QString concerned = change == u"delete"_s ? u"井上"_s : u"山田太郎"_s;
  EXPECT_EQ(form->Text2->text(), concerned);
  ctrl(form->List2, Qt::Key_Y);
  EXPECT_EQ(files(), after);
}

INSTANTIATE_TEST_SUITE_P(EveryChange, UndoInInputScreen,
                         ::testing::Values(u"store"_s, u"rename"_s, u"add"_s, u"delete"_s));

// Typing is undone in its box first. Ctrl+Z where the box has nothing of its own takes back
// the last stored change; what is typed elsewhere stays typed, and the next move stores it.
TEST_F(UndoTest, TypingNotStoredYetIsUndoneInItsBoxButOutlivesTheUndoOfTheLastStore) {
  startBothWindows(true);
  const auto before = files();
  type(form->monthCell(2), u"2/2"_s);
  ctrl(form->monthCell(2), Qt::Key_Z);
  EXPECT_EQ(form->monthCell(2)->text(), QString());
  EXPECT_EQ(files(), before);
  clickName(1);  // 井上
  type(form->monthCell(3), u"3/3"_s);
  clickName(0);  // stores 井上, shows 山田太郎
  ASSERT_NE(files(), before);
  type(form->monthCell(4), u"4/4"_s);
  focus(form->monthCell(5));
  ctrl(form->monthCell(5), Qt::Key_Z);
  EXPECT_EQ(files(), before);  // 井上's store taken back, the typing not stored
  EXPECT_EQ(form->Text2->text(), u"山田太郎"_s);
  EXPECT_EQ(form->monthCell(4)->text(), u"4/4"_s);
  clickName(2);
  EXPECT_EQ(field(0, 5), u"4/4"_s);
  EXPECT_EQ(field(1, 4), QString());
  // The change taken back was the rename of the person typed into: the old name comes back,
  // the typing stays.
  retype(form->Text2, u"上田様"_s);
  clickName(1);
  clickName(2);
  type(form->monthCell(4), u"4/4"_s);
  focus(form->monthCell(5));
  ctrl(form->monthCell(5), Qt::Key_Z);
  EXPECT_EQ(form->Text2->text(), u"上田"_s);
  EXPECT_EQ(form->monthCell(4)->text(), u"4/4"_s);
}

TEST_F(UndoTest, AFileChangedByAnotherProgramSinceIsNotOverwritten) {
  startBothWindows(false);
  key(mainForm.get(), Qt::Key_F2);
  QFile::remove(p.path(folder + u"/上田.txt"_s));
  p.writeBytes(folder + u'/' + kIndexFileName, TempProgram::cp932Lines({u"よそのプログラム"_s}));
  const auto theirs = files();
  shell.messages.clear();
  ctrl(mainForm.get(), Qt::Key_Z);
  EXPECT_EQ(files(), theirs);
  EXPECT_EQ(shell.messages.value(0).title, u"元に戻せません"_s);
}

TEST_F(UndoTest, FiftyStepsBackThenNothingFromAnotherFolder) {
  startBothWindows(false);
  const auto before = files();
  for (int i = 0; i < 50; ++i) ASSERT_TRUE(p.store(0, 1, QString::number(i)));
  for (int i = 0; i < 50; ++i) ctrl(mainForm.get(), Qt::Key_Z);
  EXPECT_EQ(files(), before);
  ctrl(mainForm.get(), Qt::Key_Y);
  mainForm->folderChooser().choose(2);  // 別
  mainForm->folderChooser().choose(1);  // back: the history is gone
  const auto redone = files();
  ctrl(mainForm.get(), Qt::Key_Z);
  EXPECT_EQ(files(), redone);
}

}  // namespace
}  // namespace velnor::test
