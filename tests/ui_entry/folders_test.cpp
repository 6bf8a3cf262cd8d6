// The duplicate-name gate before every store, and switching or creating record folders
// from the input screen.

#include <QDir>

#include "entry_fixture.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor::test {
namespace {

const QString kDuplicate = u"同じ名前がすでにあります。変更してください…"_s;

class FoldersTest : public EntryTest {
 protected:
  void SetUp() override {
    EntryTest::SetUp();
    makeFolder({recordLine(u"西"_s, u"木村"_s, {u"4/4"_s})}, u"別"_s);
    makeFolder({recordLine(u"北"_s, u"青木"_s), recordLine(u"南"_s, u"井上"_s),
                recordLine(u"東"_s, u"上田"_s)});
    openScreen();
  }
  // Person 0 takes the name of person 1.
  void typeDuplicateName() {
    focus(form->Text2);
    form->Text2->selectAll();
    commit(form->Text2, u"井上"_s);
    shell.messages.clear();
  }
  void expectDuplicateMessage() {
    ASSERT_EQ(shell.messages.size(), 1);
    EXPECT_EQ(shell.messages[0].title, u"無効です…"_s);
    EXPECT_EQ(shell.messages[0].text, kDuplicate);
    EXPECT_EQ(form->Text2->text(), u"井上"_s);
    EXPECT_TRUE(form->Text2->hasFocus());
    EXPECT_EQ(records().value(0).section(u'*', 1, 1), u"青木"_s);
  }
};

TEST_F(FoldersTest, DuplicateNameBlocksAdd) {
  typeDuplicateName();
  key(form->Text2, Qt::Key_F1);
  expectDuplicateMessage();
  EXPECT_EQ(records().size(), 3);
}

TEST_F(FoldersTest, DuplicateNameBlocksLoadingAnotherPerson) {
  typeDuplicateName();
  clickName(2);
  expectDuplicateMessage();
  EXPECT_EQ(form->List2->currentRow(), 0);
  EXPECT_EQ(m.CurrentIndex, 0);
}

TEST_F(FoldersTest, DuplicateNameBlocksSettings) {
  typeDuplicateName();
  key(form->Text2, Qt::Key_F3);
  expectDuplicateMessage();
  EXPECT_EQ(shell.settingsShown, 0);
}

TEST_F(FoldersTest, DuplicateNameBlocksClosing) {
  typeDuplicateName();
  key(form->Text2, Qt::Key_F4);
  expectDuplicateMessage();
  ASSERT_TRUE(form);
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(m.inputScreen, form.data());
  EXPECT_TRUE(m.InputScreenOpen);
  EXPECT_FALSE(p.exists(kSettingsFileName));

  form->close();  // the close box
  EXPECT_EQ(shell.messages.size(), 2);
  EXPECT_EQ(shell.ended, 0);
  EXPECT_TRUE(form->isVisible());
}

TEST_F(FoldersTest, DuplicateNameBlocksFolderChange) {
  typeDuplicateName();
  form->folderChooser().choose(form->Combo1->findText(u"別"_s));
  expectDuplicateMessage();
  EXPECT_EQ(m.CurrentFolder, u"%テスト"_s);
  EXPECT_EQ(form->Combo1->currentText(), u"テスト"_s);
}

TEST_F(FoldersTest, ChoosingAFolderStoresTheEditAndShowsItsFirstPerson) {
  focus(form->monthCell(8));
  type(form->monthCell(8), u"8/8"_s);
  form->folderChooser().choose(form->Combo1->findText(u"別"_s));
  EXPECT_EQ(records().value(0).section(u'*', 9, 9), u"8/8"_s);
  EXPECT_EQ(m.CurrentFolder, u"%別"_s);
  EXPECT_EQ(form->Text2->text(), u"木村"_s);
  EXPECT_EQ(form->monthCell(1)->text(), u"4/4"_s);
  EXPECT_EQ(form->List2->count(), 1);
  EXPECT_EQ(form->Combo1->currentText(), u"別"_s);
  EXPECT_FALSE(m.PersonModified);
}

TEST_F(FoldersTest, ReservedDeviceNameKeepsTheFolder) {
  focus(form->Text2);
  form->Text2->selectAll();
  type(form->Text2, u"aux"_s);
  form->folderChooser().choose(form->Combo1->findText(u"別"_s));
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_TRUE(shell.messages[0].text.contains(u"aux"_s));
  EXPECT_EQ(m.CurrentFolder, u"%テスト"_s);
  EXPECT_EQ(form->Combo1->currentText(), u"テスト"_s);
  EXPECT_EQ(records().value(0).section(u'*', 1, 1), u"青木"_s);
}

TEST_F(FoldersTest, NewFolderCreatedThroughTheWelcomeDialogOpensEmpty) {
  shell.onWelcome = [this] {
    ASSERT_TRUE(m.FolderCreated);
    QDir(p.path()).mkdir(u"%新人"_s);
    writeTextFile(p.path(u"%新人/"_s + kIndexFileName),
                  {kIndexComment1, kIndexComment2, kPlaceholderRecord}, nullptr);
    m.CurrentFolder = u"%新人"_s;
    m.CurrentIndex = 0;
    m.CurrentColumn = 0;
  };
  form->folderChooser().choose(0);
  EXPECT_EQ(shell.welcomeShown, 1);
  EXPECT_EQ(m.CurrentFolder, u"%新人"_s);
  EXPECT_EQ(form->Combo1->currentText(), u"新人"_s);
  int listed = 0;
  for (int i = 0; i < form->Combo1->count(); ++i) listed += form->Combo1->itemText(i) == u"新人"_s;
  EXPECT_EQ(listed, 1);
  EXPECT_NE(main.chooser.items.indexOf(u"新人"_s), -1);
  EXPECT_EQ(form->Text2->text(), u"名前"_s);
  EXPECT_EQ(form->Text3->text(), u"区域"_s);
  EXPECT_EQ(form->List2->count(), 1);
  EXPECT_TRUE(p.exists(u"%新人/名前.txt"_s));
}

TEST_F(FoldersTest, NewFolderDialogClosedWithoutCreatingLeavesEverythingAsItWas) {
  focus(form->monthCell(1));
  type(form->monthCell(1), u"1"_s);
  const QStringList itemsBefore = [this] {
    QStringList items;
    for (int i = 0; i < form->Combo1->count(); ++i) items << form->Combo1->itemText(i);
    return items;
  }();
  form->folderChooser().choose(0);
  EXPECT_EQ(shell.welcomeShown, 1);
  EXPECT_EQ(m.CurrentFolder, u"%テスト"_s);
  EXPECT_EQ(form->Combo1->currentText(), u"テスト"_s);
  QStringList itemsAfter;
  for (int i = 0; i < form->Combo1->count(); ++i) itemsAfter << form->Combo1->itemText(i);
  EXPECT_EQ(itemsAfter, itemsBefore);
  EXPECT_EQ(form->Text2->text(), u"青木"_s);
  // The edit made before was stored on the way.
  EXPECT_EQ(records().value(0).section(u'*', 2, 2), u"1"_s);
}

}  // namespace
}  // namespace velnor::test
