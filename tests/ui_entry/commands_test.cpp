// Loading, adding, deleting, moving between people and storing every change at once;
// the gate before every store; record folders; closing and what the next start sees.

#include "entry_fixture.h"

namespace velnor::test {
namespace {

using CommandsTest = OpenEntryTest;

TEST_F(EntryTest, LoadingStartsOnRecordZeroWithTheSettingsApplied) {
  m.CurrentIndex = 1;
  m.InputWidth = m.InputHeight = 0;
  m.NoteFontSize = 25;
  m.BackColors = {0x00FF00, 0x0000FF, 0xFF0000};
  m.InputLeft = m.InputTop = 32000;
  openScreen();
  EXPECT_EQ(m.CurrentIndex, 0);
  EXPECT_EQ(form->Text3->text() + form->monthCell(1)->text(), u"北1/5"_s);
  EXPECT_EQ(names(), (QStringList{u"山田太郎"_s, u"井上"_s, u"上田"_s}));
  EXPECT_EQ(form->Combo1->itemText(0) + form->Combo1->currentText(), u"新規作成テスト"_s);
  EXPECT_FALSE(form->Text4->isEnabled() || m.PersonModified);
  // Zero sizes and an out-of-range font size get the defaults; off-screen comes back.
  EXPECT_NEAR(form->noteBox()->font().pointSizeF(), 9.0, 0.1);
  EXPECT_NEAR(form->geometryTwips().width() + form->geometryTwips().height(), 5076 + 4860, 30);
  EXPECT_NE(QGuiApplication::screenAt(form->geometry().topLeft()), nullptr);
  EXPECT_EQ(form->Text2->palette().color(QPalette::Base), QColor(255, 0, 0));
}

TEST_F(CommandsTest, F1AfterEditingAMonthCellStoresThenAddsAPlaceholderPerson) {
  type(form->monthCell(6), u"6/1"_s);
  key(form->monthCell(6), Qt::Key_F1);
  EXPECT_EQ(records(),
            (QStringList{recordLine(u"北"_s, u"山田太郎"_s, {u"1/5"_s, {}, {}, {}, {}, u"6/1"_s}),
                         recordLine(u"南"_s, u"井上"_s),
                         recordLine(u"東"_s, u"上田"_s, {{}, u"2/9"_s}), kPlaceholderRecord}));
  EXPECT_EQ(noteLines(u"山田太郎"_s).size(), 13);
  EXPECT_EQ(noteLines(u"山田太郎"_s).value(0), u"補足情報"_s);
  EXPECT_EQ(form->List2->currentRow(), 3);
  EXPECT_EQ(form->Text2->selectedText() + form->Text3->selectedText(), u"名前区域"_s);
  EXPECT_TRUE(form->Text2->hasFocus());
  EXPECT_TRUE(main.calls.contains(u"refresh"_s));
}

TEST_F(CommandsTest, RenamingAndPressingF1MovesTheNoteFileEvenWhenItWasMissing) {
  QFile::remove(notePath(u"上田"_s));
  for (const int row : {1, 2}) {
    const QString old = form->List2->item(row)->text();
    showPerson(row);
    retype(form->Text2, old + u"様"_s);
    key(form->Text2, Qt::Key_F1);
    EXPECT_TRUE(shell.messages.isEmpty()) << old.toStdString();
    EXPECT_FALSE(noteExists(old));
    EXPECT_TRUE(noteExists(old + u"様"_s));
    EXPECT_EQ(field(row, 1), old + u"様"_s);
  }
}

TEST_F(CommandsTest, DeletingShowsTheNextOrTheNewLastPersonAndLeavesAPlaceholderAtTheEnd) {
  showPerson(1);
  const QByteArray before = indexBytes();
  shell.answers.push_back(Answer::Cancel);
  key(form->Text2, Qt::Key_F2);
  EXPECT_EQ(indexBytes(), before);
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].text, u"この人の情報を削除してよろしいですか？"_s);
  EXPECT_EQ(shell.messages[0].buttons, Buttons::OkCancel);

  retype(form->Text2, u"別名"_s);  // the loaded name's note file goes all the same
  key(form->Text2, Qt::Key_F2);
  EXPECT_FALSE(noteExists(u"井上"_s));
  EXPECT_EQ(names(), (QStringList{u"山田太郎"_s, u"上田"_s}));
  EXPECT_EQ(form->Text2->text(), u"上田"_s);
  EXPECT_EQ(form->List2->currentRow(), 1);

  key(form->Text2, Qt::Key_F2);  // the last person
  EXPECT_EQ(records(), QStringList{recordLine(u"北"_s, u"山田太郎"_s, {u"1/5"_s})});
  EXPECT_FALSE(noteExists(u"上田"_s));
  EXPECT_EQ(form->Text2->text(), u"山田太郎"_s);
  key(form->Text2, Qt::Key_F2);
  EXPECT_EQ(records(), QStringList{kPlaceholderRecord});
  EXPECT_EQ(names(), QStringList{u"名前"_s});
}

TEST_F(CommandsTest, FocusMainListColumnAndMonthInformationFollowEachOther) {
  form->selectName(1);
  m.CurrentColumn = 5;
  form->pressLoadSelected();
  EXPECT_TRUE(form->monthCell(3)->hasFocus() && form->Text4->isEnabled());
  EXPECT_EQ(form->Text4->toPlainText() + form->Label8->text(), u" 3月　日 3月の\n情報"_s);
  // Hovering over another month previews it only while no month cell has the focus.
  const QPointF at(5, 5);
  QMouseEvent move(QEvent::MouseMove, at, form->monthCell(7)->mapToGlobal(at), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(form->monthCell(7), &move);
  EXPECT_EQ(form->Text4->toPlainText(), u" 3月　日"_s);
  focus(form->Text2);
  QApplication::sendEvent(form->monthCell(7), &move);
  EXPECT_FALSE(form->Text4->isEnabled());
  EXPECT_EQ(form->Text4->toPlainText() + form->Label8->text(), u" 7月　日 7月の\n情報"_s);

  main.markerMoves = 0;
  QTest::mouseClick(form->monthCell(12), Qt::LeftButton);
  EXPECT_EQ(m.CurrentColumn, 14);
  EXPECT_EQ(main.markerMoves, 1);
}

TEST_F(CommandsTest, NoteOrMonthInformationEditedAloneIsStoredAndAnUneditedPersonIsNot) {
  QPlainTextEdit* note = form->noteBox();
  focus(note);
  note->selectAll();
  commit(note, u"一行目"_s);
  key(note, Qt::Key_Return);
  commit(note, u"二行目"_s);
  showPerson(1);
  EXPECT_EQ(noteLines(u"山田太郎"_s).value(0), u"一行目[二行目"_s);
  showPerson(0);
  EXPECT_EQ(note->toPlainText(), u"一行目\n二行目"_s);

  focus(form->monthCell(7));
  form->Text4->selectAll();
  commit(form->Text4, u"留守"_s);
  showPerson(1);
  EXPECT_EQ(noteLines(u"山田太郎"_s).value(7), u"留守"_s);

  const QByteArray index = indexBytes();
  QFile::remove(notePath(u"井上"_s));  // a store would write it again
  focus(form->monthCell(2));
  key(form->monthCell(2), Qt::Key_Right);  // a key release marks it, nothing differs
  showPerson(2);
  EXPECT_EQ(indexBytes(), index);
  EXPECT_FALSE(noteExists(u"井上"_s));
}

TEST_F(CommandsTest, KeysActOnceWhereverTheFocusIs) {
  type(form->monthCell(1), u"0"_s);
  key(form->monthCell(1), Qt::Key_F3);
  EXPECT_EQ(shell.settingsShown, 1);
  EXPECT_EQ(field(0, 2), u"1/50"_s);
  // Up and down move through the main window, except in the note's lines.
  main.calls.clear();
  key(form->monthCell(5), Qt::Key_Up);
  key(form->Text3, Qt::Key_Down);
  key(form->noteBox(), Qt::Key_Up);
  key(form->List2, Qt::Key_F6);
  key(form->Combo1, Qt::Key_F6);
  key(form, Qt::Key_F6);
  EXPECT_EQ(main.calls, (QStringList{u"up"_s, u"down"_s} + QStringList(3, u"print"_s)));
  key(form->Label3, Qt::Key_F1);
  EXPECT_EQ(records().size(), 4);
}

TEST_F(CommandsTest, AStoreThatFailsKeepsTheTextAndTheScreenAndTriesAgain) {
  QDir(p.path(folder)).mkdir(u"岡田.txt"_s);  // where the new note file should go
  retype(form->Text2, u"岡田"_s);
  const QByteArray index = indexBytes();
  clickName(1);
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].title, u"保存できません"_s);
  EXPECT_EQ(indexBytes(), index);
  EXPECT_TRUE(noteExists(u"山田太郎"_s));
  EXPECT_EQ(form->Text2->text(), u"岡田"_s);
  key(form->Text2, Qt::Key_F5);
  ASSERT_EQ(m.inputScreen, form.data());
  EXPECT_EQ(shell.ended, 0);

  QDir(p.path(folder)).rmdir(u"岡田.txt"_s);
  clickName(1);  // stores, then shows the clicked person
  EXPECT_EQ(field(0, 1), u"岡田"_s);
  EXPECT_FALSE(noteExists(u"山田太郎"_s));
  EXPECT_EQ(form->Text2->text(), u"井上"_s);
  EXPECT_FALSE(m.PersonModified);
}

TEST_F(CommandsTest, AFullFolderRefusesAnotherPerson) {
  QStringList lines{kIndexComment1, kIndexComment2};
  for (int i = 0; i < 32767; ++i) lines << recordLine(u"区"_s, u"人"_s + QString::number(i));
  p.writeBytes(folder + u'/' + kIndexFileName, TempProgram::cp932Lines(lines));
  key(form->Text2, Qt::Key_F1);
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_TRUE(shell.messages[0].text.contains(u"32767"_s));
  EXPECT_EQ(records().size(), 32767);
}

// A name taken by another person or kept by Windows for a device stops every command
// that would store the person: message, focus back in the name box, nothing changed.
enum class Command { Add, LoadOther, Settings, Ok, CloseBox, OtherFolder };

class NameGateTest : public OpenEntryTest,
                     public ::testing::WithParamInterface<std::tuple<const char16_t*, Command>> {};

TEST_P(NameGateTest, BlocksTheCommand) {
  const QString name = QString::fromUtf16(std::get<0>(GetParam()));
  const QByteArray before = indexBytes();
  retype(form->Text2, name);
  shell.messages.clear();
  switch (std::get<1>(GetParam())) {
    case Command::Add:
      key(form->Text2, Qt::Key_F1);
      break;
    case Command::LoadOther:
      clickName(2);
      break;
    case Command::Settings:
      key(form->Text2, Qt::Key_F3);
      break;
    case Command::Ok:
      key(form->Text2, Qt::Key_F4);
      break;
    case Command::CloseBox:
      form->close();
      break;
    case Command::OtherFolder:
      form->folderChooser().choose(form->Combo1->findText(u"別"_s));
  }
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].title, u"無効です…"_s);
  EXPECT_TRUE(name == u"con"_s ? shell.messages[0].text.contains(name)
                               : shell.messages[0].text == kDuplicate);
  EXPECT_TRUE(form->Text2->hasFocus() && form->Text2->text() == name);
  EXPECT_EQ(indexBytes(), before);
  EXPECT_EQ(form->List2->currentRow() + shell.settingsShown + shell.ended, 0);
  EXPECT_TRUE(form->isVisible() && m.inputScreen == form.data() && m.InputScreenOpen);
  EXPECT_EQ(m.CurrentFolder + form->Combo1->currentText(), u"%テストテスト"_s);
}

INSTANTIATE_TEST_SUITE_P(
    DuplicateAndDevice, NameGateTest,
    ::testing::Combine(::testing::Values(u"井上", u"con"),
                       ::testing::Values(Command::Add, Command::LoadOther, Command::Settings,
                                         Command::Ok, Command::CloseBox, Command::OtherFolder)));

TEST_F(CommandsTest, FolderChoicesStoreTheEditAndANewFolderOnlyWhenOneWasCreated) {
  type(form->monthCell(1), u"1"_s);
  const int folders = form->Combo1->count();
  form->folderChooser().choose(0);  // "新規作成", the dialog closed without a folder
  EXPECT_EQ(shell.welcomeShown, 1);
  EXPECT_EQ(field(0, 2), u"1/51"_s);
  EXPECT_EQ(m.CurrentFolder + form->Combo1->currentText(), u"%テストテスト"_s);
  EXPECT_EQ(form->Combo1->count(), folders);

  form->folderChooser().choose(form->Combo1->findText(u"別"_s));
  EXPECT_EQ(m.CurrentFolder + form->Combo1->currentText(), u"%別別"_s);
  EXPECT_EQ(names(), QStringList{u"木村"_s});
  EXPECT_EQ(form->monthCell(1)->text(), u"4/4"_s);

  welcomeCreatesFolder();
  form->folderChooser().choose(0);
  EXPECT_EQ(m.CurrentFolder + form->Combo1->currentText(), u"%新人新人"_s);
  EXPECT_EQ(form->Combo1->count(), folders + 1);
  EXPECT_TRUE(main.chooser.items.contains(u"新人"_s));
  EXPECT_EQ(names(), QStringList{u"名前"_s});
}

// OK (F4) only closes the screen; F5 and the close box end the program. Each stores
// first, and the next start reopens the screen only when the program ended with it open.
class ClosingTest : public OpenEntryTest, public ::testing::WithParamInterface<int> {};

TEST_P(ClosingTest, StoresAndTellsTheNextStart) {
  type(form->monthCell(2), u"2/2"_s);
  if (GetParam())
    key(form->monthCell(2), Qt::Key(GetParam()));
  else
    form->close();
  const bool ends = GetParam() != Qt::Key_F4;
  EXPECT_EQ(field(0, 3), u"2/2"_s);
  EXPECT_EQ(shell.ended, ends ? 1 : 0);
  EXPECT_EQ(m.inputScreen, nullptr);
  EXPECT_EQ(m.ProgramEnded, ends);
  Module1 next(p.path());
  next.LoadSettings();
  EXPECT_EQ(next.InputScreenOpen, ends);
  EXPECT_EQ(next.CurrentFolder, u"%テスト"_s);
}

INSTANTIATE_TEST_SUITE_P(Keys, ClosingTest, ::testing::Values(Qt::Key_F4, Qt::Key_F5, 0));

TEST_F(EntryTest, PositionsAreStoredWithMinimizedWindowsRestoredFirstAndDoNotDrift) {
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
  Module1 next(p.path());
  next.LoadSettings();
  EXPECT_EQ(QRect(next.MainLeft, next.MainTop, next.MainWidth, next.MainHeight), main.geometry);
  EXPECT_EQ(QPoint(next.InputLeft, next.InputTop), QPoint(3000, 600));
  EXPECT_NEAR(next.InputWidth + next.InputHeight, 6000 + 5400, 30);  // a pixel is 15 twips
  const QSize size(m.InputWidth, m.InputHeight);
  openScreen();
  key(form->Text2, Qt::Key_F4);
  EXPECT_EQ(QSize(m.InputWidth, m.InputHeight), size);
}

}  // namespace
}  // namespace velnor::test
