// Loading, adding, deleting, moving between people and storing every change at once;
// the gate before every store; record folders; closing and what the next start sees. A
// person who could not be loaded is never stored, and a field too long for its box is never
// cut by being shown. Whatever redraws the list, moving on stores only what was typed, and a
// note file shared by two people of the same name stays while either remains.

#include <map>

#include "entry_fixture.h"
#include "ui/print/form2.h"
#include "ui/settings/form4.h"

namespace velnor::test {
namespace {

using CommandsTest = OpenEntryTest;

// Opened on record 1 with nonsense sizes, an out-of-range note size and a place off the
// screen: the first person, nothing modified, no month information open, the design sizes.
TEST_F(EntryTest, LoadingStartsOnTheFirstPersonAtTheDesignSizesOrWhereTheScreenWasClosed) {
  m.CurrentIndex = 1;
  m.InputWidth = m.InputHeight = 0;
  m.NoteFontSize = 25;
  m.InputLeft = m.InputTop = 32000;
  openScreen();
  EXPECT_EQ(m.CurrentIndex, 0);
  EXPECT_EQ(form->Text3->text(), u"北"_s);
  EXPECT_EQ(form->monthCell(1)->text(), u"1/5"_s);
  EXPECT_FALSE(form->Text4->isEnabled());
  EXPECT_FALSE(m.PersonModified);
  EXPECT_NEAR(form->noteBox()->font().pointSizeF(), 9.0, 0.1);
  EXPECT_NEAR(form->geometryTwips().width(), 5076, 15);
  EXPECT_NEAR(form->geometryTwips().height(), 4860, 15);
  EXPECT_NE(QGuiApplication::screenAt(form->geometry().topLeft()), nullptr);
  // Both windows minimized, then OK: the main window is restored and the input screen stored
  // where it was opened. Opening and closing again does not drift.
  key(form->Text2, Qt::Key_F4);
  m.InputLeft = 3000;
  m.InputTop = 600;
  m.InputWidth = 6000;
  m.InputHeight = 5400;
  openScreen();
  main.geometry = QRect(150, 300, 5220, 4848);
  main.minimized = true;
  form->showMinimized();
  key(form->Text2, Qt::Key_F4);
  EXPECT_FALSE(main.minimized);
  const auto next = nextStart();
  EXPECT_EQ(next->InputLeft, 3000);
  EXPECT_EQ(next->InputTop, 600);
  EXPECT_NEAR(next->InputWidth, 6000, 15);  // a pixel is 15 twips
  EXPECT_NEAR(next->InputHeight, 5400, 15);
  const QSize size(m.InputWidth, m.InputHeight);
  openScreen();
  key(form->Text2, Qt::Key_F4);
  EXPECT_EQ(QSize(m.InputWidth, m.InputHeight), size);
}

// Another program emptied the folder: the names it no longer holds leave the list.
TEST_F(CommandsTest, NamesListedFromAnEmptiedFolderLeaveNoOldNameBehind) {
  makeFolder(u"テスト"_s, {});
  form->Command3->click();
  EXPECT_TRUE(names().isEmpty());
}

// June typed for the first person, then F1: the edit is stored first, its note file with
// each month's line as the screen shows it; then the placeholder is appended and its name
// selected for typing. A second F1 before the new person got a name would make a second
// "名前", and then every move would stop at "同じ名前がすでにあります".
TEST_F(CommandsTest, AddStoresTheEditThenAppendsThePlaceholderToBeNamedBeforeTheNextAdd) {
  form->noteBox()->clear();
  commit(form->noteBox(), u"話"_s);
  type(form->monthCell(6), u"6/1"_s);
  key(form->monthCell(6), Qt::Key_F1);
  EXPECT_EQ(records(),
            (QStringList{recordLine(u"北"_s, u"山田太郎"_s, {u"1/5"_s, {}, {}, {}, {}, u"6/1"_s}),
                         inoue, ueda, kPlaceholderRecord}));
  QStringList note{u"話"_s};
  for (int k = 1; k <= 12; ++k) note << u" %1月　日"_s.arg(k);
  EXPECT_EQ(noteLines(u"山田太郎"_s), note << QString());
  EXPECT_EQ(form->List2->currentRow(), 3);
  EXPECT_TRUE(form->Text2->hasFocus());
  EXPECT_EQ(form->Text2->selectedText(), u"名前"_s);
  EXPECT_EQ(form->Text3->selectedText(), u"区域"_s);
  const QByteArray before = indexBytes();
  key(form->Text2, Qt::Key_F1);
  EXPECT_EQ(message(), u"無効です…: 先に追加した人の名前を入力してください"_s);
  EXPECT_EQ(indexBytes(), before);
  EXPECT_TRUE(form->Text2->hasFocus());
  commit(form->Text2, u"新人"_s);  // typed over the selected placeholder
  key(form->Text2, Qt::Key_F1);
  EXPECT_EQ(message(), u"0 messages"_s);
  EXPECT_EQ(records().size(), 5);
  EXPECT_EQ(field(3, 1), u"新人"_s);
}

// Also when the note file went missing: one is made under the new name.
class Renaming : public OpenEntryTest, public ::testing::WithParamInterface<bool> {};

TEST_P(Renaming, MovesTheNoteFile) {
  if (GetParam()) QFile::remove(p.path(folder + u"/井上.txt"_s));
  clickName(1);
  retype(form->Text2, u"井上様"_s);
  key(form->Text2, Qt::Key_F1);
  EXPECT_EQ(message(), u"0 messages"_s);
  EXPECT_EQ(field(1, 1), u"井上様"_s);
  EXPECT_FALSE(noteExists(u"井上"_s));
  EXPECT_TRUE(noteExists(u"井上様"_s));
}

INSTANTIATE_TEST_SUITE_P(NoteThereOrMissing, Renaming, ::testing::Bool());

// Delete asks first and Cancel changes nothing. Each delete takes the loaded person's note
// file (even when the name box was changed before) and shows the next person, or the new
// last when the last went; the only person left gives way to the placeholder.
TEST_F(CommandsTest, DeletingAsksFirstThenRemovesTheLoadedPersonsNoteAndShowsTheNext) {
  clickName(1);
  const QByteArray before = indexBytes();
  shell.answers.push_back(Answer::Cancel);
  key(form->Text2, Qt::Key_F2);
  EXPECT_EQ(shell.messages.value(0).buttons, Buttons::OkCancel);
  EXPECT_EQ(message(), u"削除の確認: 「井上」の情報を削除してよろしいですか？"_s);
  EXPECT_EQ(indexBytes(), before);
  retype(form->Text2, u"別名"_s);
  key(form->Text2, Qt::Key_F2);
  EXPECT_FALSE(noteExists(u"井上"_s));
  EXPECT_EQ(form->Text2->text(), u"上田"_s);
  key(form->Text2, Qt::Key_F2);
  EXPECT_EQ(form->Text2->text(), u"山田太郎"_s);
  EXPECT_FALSE(noteExists(u"上田"_s));
  key(form->Text2, Qt::Key_F2);
  EXPECT_EQ(records(), QStringList{kPlaceholderRecord});
  EXPECT_EQ(names(), QStringList{u"名前"_s});
}

// Loading with the main list on column 5 (March) focuses that month and opens its
// information. Hovering then previews a month's information only when no month has the
// focus; a click selects the month's column in the list.
TEST_F(CommandsTest, LoadingFocusesTheListsMonthAndHoveringPreviewsOnlyWhenNoneHasTheFocus) {
  form->selectName(1);
  m.CurrentColumn = 5;
  form->pressLoadSelected();
  EXPECT_TRUE(form->monthCell(3)->hasFocus());
  EXPECT_TRUE(form->Text4->isEnabled());
  EXPECT_EQ(form->Text4->toPlainText(), u" 3月　日"_s);
  EXPECT_EQ(form->Label8->text(), u" 3月の\n情報"_s);
  QTest::mouseMove(form->monthCell(7));
  EXPECT_EQ(form->Text4->toPlainText(), u" 3月　日"_s);
  focus(form->Text2);
  QTest::mouseMove(form->monthCell(7), QPoint(5, 5));
  EXPECT_FALSE(form->Text4->isEnabled());
  EXPECT_EQ(form->Text4->toPlainText(), u" 7月　日"_s);
  EXPECT_EQ(form->Label8->text(), u" 7月の\n情報"_s);
  QTest::mouseClick(form->monthCell(12), Qt::LeftButton);
  EXPECT_EQ(m.CurrentColumn, 14);
}

// The note (its line break kept as a bracket) and a month's information, each edited alone.
TEST_F(CommandsTest, ANoteOrAMonthsInformationEditedAloneIsStored) {
  retype(form->noteBox(), u"一行目"_s);
  key(form->noteBox(), Qt::Key_Return);
  commit(form->noteBox(), u"二行目"_s);
  clickName(1);
  EXPECT_EQ(noteLines(u"山田太郎"_s).value(0), u"一行目[二行目"_s);
  clickName(0);
  EXPECT_EQ(form->noteBox()->toPlainText(), u"一行目\n二行目"_s);
  focus(form->monthCell(7));
  retype(form->Text4, u"留守"_s);
  clickName(1);
  EXPECT_EQ(noteLines(u"山田太郎"_s).value(7), u"留守"_s);
}

// What is on screen is what the settings and the paper see.
TEST_F(CommandsTest, F3AndF6StoreThenOpenTheirWindowOnce) {
  type(form->monthCell(1), u"0"_s);
  key(form->monthCell(1), Qt::Key_F3);
  EXPECT_EQ(shell.settingsShown, 1);
  EXPECT_EQ(field(0, 2), u"1/50"_s);
  main.calls.clear();
  retype(form->Text3, u"東区"_s);
  key(form->Text3, Qt::Key_F6);
  EXPECT_EQ(main.calls.filter(u"print"_s), QStringList{u"print"_s});
  EXPECT_EQ(field(0, 0), u"東区"_s);
}

// F6 prints and F1 adds once wherever the focus is; up and down move through the main
// window, except in the note's lines.
TEST_F(CommandsTest, F6PrintsF1AddsAndUpAndDownMoveInTheMainWindowWhereverTheFocusIs) {
  main.calls.clear();
  for (QWidget* w : QList<QWidget*>{form->List2, form->Combo1, form}) key(w, Qt::Key_F6);
  key(form->monthCell(5), Qt::Key_Up);
  key(form->Text3, Qt::Key_Down);
  key(form->noteBox(), Qt::Key_Up);
  EXPECT_EQ(main.calls, (QStringList(3, u"print"_s) << u"up"_s << u"down"_s));
  key(form->Label3, Qt::Key_F1);
  EXPECT_EQ(records().size(), 4);
}

// A folder stands where the renamed person's note file should go: reported, no file changed,
// what was typed kept, and F5 leaves the program running. The next move once the cause is
// gone makes the store.
TEST_F(CommandsTest, AFailedStoreChangesNoFileKeepsWhatWasTypedAndIsMadeOnceTheCauseIsGone) {
  QDir(p.path(folder)).mkdir(u"岡田.txt"_s);
  retype(form->Text2, u"岡田"_s);
  const QByteArray index = indexBytes();
  clickName(1);
  EXPECT_TRUE(message().startsWith(u"保存できません: "_s));
  EXPECT_EQ(indexBytes(), index);
  EXPECT_TRUE(noteExists(u"山田太郎"_s));
  EXPECT_EQ(form->Text2->text(), u"岡田"_s);
  key(form->Text2, Qt::Key_F5);
  EXPECT_EQ(m.inputScreen, form.data());
  EXPECT_EQ(shell.ended, 0);
  QDir(p.path(folder)).rmdir(u"岡田.txt"_s);
  clickName(1);  // stores, then shows the clicked person
  EXPECT_EQ(field(0, 1), u"岡田"_s);
  EXPECT_EQ(form->Text2->text(), u"井上"_s);
  EXPECT_FALSE(noteExists(u"山田太郎"_s));
  EXPECT_FALSE(m.PersonModified);
}

// A name taken by another person or kept by Windows for a device stops every command
// that would store the person: message, focus back in the name box, nothing changed.
class NameGateTest : public OpenEntryTest,
                     public ::testing::WithParamInterface<std::tuple<std::u16string, int>> {};

TEST_P(NameGateTest, BlocksTheCommand) {
  const QString name = QString::fromStdU16String(std::get<0>(GetParam()));
  const QByteArray before = indexBytes();
  retype(form->Text2, name);
  // F1, F3 and F4 as keys; 2 clicks another name, 1 is the close box, 0 another folder.
  if (const int command = std::get<1>(GetParam()); command > 2)
    key(form->Text2, Qt::Key(command));
  else if (command == 2)
    clickName(2);
  else if (command == 1)
    form->close();
  else
    form->folderChooser().choose(form->Combo1->findText(u"別"_s));
  EXPECT_EQ(message(), name == u"井上"_s ? kDuplicate
                                         : u"無効です…: 「con」はパソコンが使う名前のため、"
                                           u"名前にできません。変更してください…"_s);
  EXPECT_TRUE(form->Text2->hasFocus());
  EXPECT_EQ(form->Text2->text(), name);
  EXPECT_EQ(indexBytes(), before);
  EXPECT_EQ(m.CurrentFolder, u"%テスト"_s);
  EXPECT_EQ(form->Combo1->currentText(), u"テスト"_s);
  EXPECT_EQ(form->List2->currentRow(), 0);
  EXPECT_EQ(shell.settingsShown, 0);
  EXPECT_EQ(shell.ended, 0);
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(m.inputScreen, form.data());
  EXPECT_TRUE(m.InputScreenOpen);
}

// Stable test names: the command, written as the user meets it.
const char* commandName(int command) {
  static const std::map<int, const char*> names{
      {Qt::Key_F1, "F1"}, {Qt::Key_F3, "F3"}, {Qt::Key_F4, "F4"},  {Qt::Key_F5, "F5"},
      {2, "AnotherName"}, {1, "CloseBox"},    {0, "AnotherFolder"}};
  return names.at(command);
}

std::string gateCaseName(const ::testing::TestParamInfo<NameGateTest::ParamType>& info) {
  std::string name = std::get<0>(info.param) == u"con" ? "DeviceName_" : "Duplicate_";
  name.append(commandName(std::get<1>(info.param)));
  return name;
}

INSTANTIATE_TEST_SUITE_P(DuplicateAndDevice, NameGateTest,
                         ::testing::Combine(::testing::Values(std::u16string(u"井上"),
                                                              std::u16string(u"con")),
                                            ::testing::Values(int(Qt::Key_F1), int(Qt::Key_F3),
                                                              int(Qt::Key_F4), 2, 1, 0)),
                         gateCaseName);

// "新規作成" chosen and the dialog closed without making a folder keeps the folder in use.
// Another folder chosen: the edit is stored first ("新規作成" goes the same way), then the
// folder's people show.
TEST_F(CommandsTest, ChoosingAFolderStoresTheEditFirstThenShowsItsPeople) {
  const int folders = form->Combo1->count();
  form->folderChooser().choose(0);
  EXPECT_EQ(shell.welcomeShown, 1);
  EXPECT_EQ(m.CurrentFolder, u"%テスト"_s);
  EXPECT_EQ(form->Combo1->currentText(), u"テスト"_s);
  EXPECT_EQ(form->Combo1->count(), folders);
  type(form->monthCell(1), u"1"_s);
  form->folderChooser().choose(form->Combo1->findText(u"別"_s));
  EXPECT_EQ(m.CurrentFolder, u"%別"_s);
  EXPECT_EQ(form->Combo1->currentText(), u"別"_s);
  EXPECT_EQ(names(), QStringList{u"木村"_s});
  EXPECT_EQ(form->monthCell(1)->text(), u"4/4"_s);
  EXPECT_EQ(field(0, 2), u"1/51"_s);
}

// OK (F4) only closes the screen; F5 and the close box (1) end the program. Each stores
// first, and the next start is told the folder and reopens the screen only when the program
// ended with it open.
class ClosingTest : public OpenEntryTest, public ::testing::WithParamInterface<int> {};

TEST_P(ClosingTest, StoresClosesTheScreenAndEndsTheProgramUnlessOk) {
  const bool ends = GetParam() != Qt::Key_F4;
  type(form->monthCell(2), u"2/2"_s);
  GetParam() == 1 ? void(form->close()) : key(form->monthCell(2), Qt::Key(GetParam()));
  EXPECT_EQ(field(0, 3), u"2/2"_s);
  EXPECT_EQ(m.inputScreen, nullptr);
  EXPECT_EQ(shell.ended, ends ? 1 : 0);
  EXPECT_EQ(m.ProgramEnded, ends);
  const auto next = nextStart();
  EXPECT_EQ(next->InputScreenOpen, ends);
  EXPECT_EQ(next->CurrentFolder, u"%テスト"_s);
}

INSTANTIATE_TEST_SUITE_P(Keys, ClosingTest, ::testing::Values(Qt::Key_F4, Qt::Key_F5, 1),
                         [](const auto& info) { return std::string(commandName(info.param)); });

class FailedLoad : public EntryTest, public ::testing::WithParamInterface<bool> {};

// A folder where the note should be, or an index readable only after the screen opened: the
// fields stay empty and closed, and whatever they then hold, F2, a move (that fails to load
// again, or loads the person anew) and F5 leave the folder as it was.
TEST_P(FailedLoad, anUnreadableNoteOrIndexLeavesTheFieldsEmptyAndStoresNothing) {
  const QByteArray before = indexBytes();
  if (GetParam())
    setIndexReaderForTests([](const QString& path, qint64) {
      return FileRead{{}, FileError{path, u"Permission denied"_s}, false};
    });
  else
    ASSERT_TRUE(QDir(p.path(folder)).mkpath(u"山田太郎.txt"_s));
  openScreen();
  setIndexReaderForTests(nullptr);
  EXPECT_FALSE(form->Text3->isEnabled());
  EXPECT_FALSE(form->monthCell(1)->isEnabled());
  EXPECT_FALSE(form->noteBox()->isEnabled());
  EXPECT_EQ(form->Text2->text(), QString());
  form->Text3->setText(u"ZZ"_s);
  m.PersonModified = true;
  form->Command2->click();
  EXPECT_TRUE(shell.messages.isEmpty());  // no question about deleting nobody
  form->Command3->click();
  form->Command6->click();
  EXPECT_EQ(indexBytes(), before);
  EXPECT_FALSE(noteExists(u"名前"_s));
}

INSTANTIATE_TEST_SUITE_P(NoteOrIndex, FailedLoad, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Index" : "Note"; });

TEST_F(EntryTest, aFieldTooLongToEditIsShownWholeReadOnlyAndKeptByAStore) {
  const QString huge(40000, u'5');
  makeFolder(u"テスト"_s, {recordLine(u"北"_s, u"長田"_s, {huge}), inoue});
  openScreen();
  QLineEdit* january = form->monthCell(1);
  EXPECT_EQ(january->text().size(), huge.size());
  EXPECT_TRUE(january->isReadOnly());
  EXPECT_FALSE(january->toolTip().isEmpty());
  type(form->monthCell(2), u"2/2"_s);
  form->List2->setCurrentRow(1);
  form->Command3->click();
  EXPECT_EQ(field(0, 2), huge);
  EXPECT_EQ(field(0, 3), u"2/2"_s);
  EXPECT_FALSE(form->monthCell(1)->isReadOnly());  // 井上's January is an ordinary one
}

class RedrawThenStore : public EntryTest, public ::testing::WithParamInterface<QString> {
 protected:
  void SetUp() override {
    EntryTest::SetUp();
    QStringList people;
    for (int i = 0; i < 30; ++i)
      people << recordLine(u"区"_s, u"人%1"_s.arg(i), {u"%1/1"_s.arg(i)});
    makeFolder(u"三十"_s, people);
    QStringList own{u"最後の人のメモ"_s};
    for (int k = 1; k <= 12; ++k) own << u"%1月の大事なこと"_s.arg(k);
    p.writeBytes(folder + u"/人29.txt"_s, TempProgram::cp932Lines(own));
    startBothWindows(true);
    ASSERT_TRUE(form);
  }
  void redraw(const QString& how) {
    if (how == u"print"_s) {
      Form2 print(m);
      print.Command2_Click();
      print.Command5_Click();
    } else if (how == u"refresh"_s) {
      mainForm->Command9->click();
    } else if (how == u"resize"_s) {
      mainForm->resize(mainForm->size() + QSize(40, 60));
    } else if (how == u"row height"_s) {
      Form4 settings(m);
      settings.Command2_Click();
    } else if (how == u"delete"_s) {
      clickName(15);
      shell.answers.push_back(Answer::Ok);
      form->Command2->click();
    }
  }
};

TEST_P(RedrawThenStore, MovingOnWithoutTypingChangesNoNoteFile) {
  redraw(GetParam());
  const QMap<QString, QByteArray> before = files({u"*.txt"_s});
  const QStringList recordsBefore = records();
  QTest::mouseClick(form->monthCell(3), Qt::LeftButton);
  key(form->monthCell(3), Qt::Key_Down);
  EXPECT_EQ(files({u"*.txt"_s}), before);
  EXPECT_EQ(records(), recordsBefore);
  EXPECT_EQ(form->Text2->text(), GetParam() == u"delete"_s ? u"人17"_s : u"人1"_s);
}

INSTANTIATE_TEST_SUITE_P(EveryRedraw, RedrawThenStore,
                         ::testing::Values(u"print"_s, u"refresh"_s, u"resize"_s, u"row height"_s,
                                           u"delete"_s));

class SharedNote : public OpenEntryTest {
 protected:
  void SetUp() override {
    EntryTest::SetUp();
    makeFolder(u"同名"_s, {recordLine(u"北"_s, u"佐藤"_s), recordLine(u"南"_s, u"佐藤"_s),
                           recordLine(u"東"_s, u"鈴木"_s)});
    p.writeBytes(folder + u"/佐藤.txt"_s, TempProgram::cp932Lines({u"二人のメモ"_s}));
    openScreen();
  }
};

// The note goes with the second of them (OK is the fake's answer).
TEST_F(SharedNote, DeletingOneOfTwoPeopleOfTheSameNameKeepsTheirNote) {
  form->Command2->click();
  EXPECT_EQ(records().size(), 2);
  EXPECT_EQ(noteLines(u"佐藤"_s).value(0), u"二人のメモ"_s);
  form->Command2->click();
  EXPECT_EQ(records(), QStringList{recordLine(u"東"_s, u"鈴木"_s)});
  EXPECT_FALSE(noteExists(u"佐藤"_s));
}

TEST_F(SharedNote, RenamingOneOfThemKeepsTheOthersNote) {
  retype(form->Text2, u"佐藤花子"_s);
  clickName(2);
  EXPECT_EQ(field(0, 1), u"佐藤花子"_s);
  EXPECT_EQ(noteLines(u"佐藤"_s).value(0), u"二人のメモ"_s);
  EXPECT_EQ(noteLines(u"佐藤花子"_s).value(0), u"二人のメモ"_s);
}

}  // namespace
}  // namespace velnor::test
