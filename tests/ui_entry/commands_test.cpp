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
  EXPECT_EQ(std::tuple(m.CurrentIndex, form->Text3->text() + form->monthCell(1)->text()),
            std::tuple(0, u"北1/5"_s));
  EXPECT_FALSE(form->Text4->isEnabled() || m.PersonModified);
  // Zero sizes and an out-of-range font size get the defaults; off-screen comes back.
  EXPECT_NEAR(form->noteBox()->font().pointSizeF(), 9.0, 0.1);
  EXPECT_NEAR(form->geometryTwips().width() + form->geometryTwips().height(), 5076 + 4860, 30);
  EXPECT_NE(QGuiApplication::screenAt(form->geometry().topLeft()), nullptr);
  EXPECT_EQ(form->Text2->palette().color(QPalette::Base), QColor(255, 0, 0));
}

TEST_F(CommandsTest, F1AfterEditingAMonthCellStoresThenAddsAPlaceholderPerson) {
  QFile::remove(p.path(folder + u"/山田太郎.txt"_s));  // the store writes it again
  type(form->monthCell(6), u"6/1"_s);
  key(form->monthCell(6), Qt::Key_F1);
  EXPECT_EQ(records(),
            (QStringList{recordLine(u"北"_s, u"山田太郎"_s, {u"1/5"_s, {}, {}, {}, {}, u"6/1"_s}),
                         recordLine(u"南"_s, u"井上"_s),
                         recordLine(u"東"_s, u"上田"_s, {{}, u"2/9"_s}), kPlaceholderRecord}));
  QStringList note{u"補足情報"_s};  // each month's information line as the screen shows it
  for (int k = 1; k <= 12; ++k) note << u" %1月　日"_s.arg(k);
  EXPECT_EQ(noteLines(u"山田太郎"_s), note << QString());
  EXPECT_EQ(std::tuple(form->List2->currentRow(), form->Text2->selectedText(),
                       form->Text3->selectedText()),
            std::tuple(3, u"名前"_s, u"区域"_s));
  EXPECT_TRUE(form->Text2->hasFocus() && main.calls.contains(u"refresh"_s));
}

TEST_F(CommandsTest, RenamingAndPressingF1MovesTheNoteFileEvenWhenItWasMissing) {
  QFile::remove(p.path(folder + u"/上田.txt"_s));
  for (const int row : {1, 2}) {
    const QString old = form->List2->text(row);
    clickName(row);
    retype(form->Text2, old + u"様"_s);
    key(form->Text2, Qt::Key_F1);
    EXPECT_EQ(std::tuple(message(), noteExists(old), noteExists(old + u"様"_s), field(row, 1)),
              std::tuple(u"0 messages"_s, false, true, old + u"様"_s));
  }
}

TEST_F(CommandsTest, DeletingShowsTheNextOrTheNewLastPersonAndLeavesAPlaceholderAtTheEnd) {
  clickName(1);
  const QByteArray before = indexBytes();
  shell.answers.push_back(Answer::Cancel);
  key(form->Text2, Qt::Key_F2);
  EXPECT_EQ(indexBytes(), before);
  EXPECT_EQ(shell.messages.value(0).buttons, Buttons::OkCancel);
  EXPECT_EQ(message(), u"削除の確認: 「井上」の情報を削除してよろしいですか？"_s);

  retype(form->Text2, u"別名"_s);  // the loaded name's note file goes all the same
  key(form->Text2, Qt::Key_F2);
  EXPECT_EQ(
      std::tuple(noteExists(u"井上"_s), names(), form->Text2->text(), form->List2->currentRow()),
      std::tuple(false, QStringList{u"山田太郎"_s, u"上田"_s}, u"上田"_s, 1));
  key(form->Text2, Qt::Key_F2);  // the last person
  EXPECT_EQ(std::tuple(records(), noteExists(u"上田"_s), form->Text2->text()),
            std::tuple(QStringList{recordLine(u"北"_s, u"山田太郎"_s, {u"1/5"_s})}, false,
                       u"山田太郎"_s));
  key(form->Text2, Qt::Key_F2);
  EXPECT_EQ(std::tuple(records(), names()),
            std::tuple(QStringList{kPlaceholderRecord}, QStringList{u"名前"_s}));
}

TEST_F(CommandsTest, FocusMainListColumnAndMonthInformationFollowEachOther) {
  form->selectName(1);
  m.CurrentColumn = 5;
  form->pressLoadSelected();
  EXPECT_TRUE(form->monthCell(3)->hasFocus() && form->Text4->isEnabled());
  EXPECT_EQ(form->Text4->toPlainText() + form->Label8->text(), u" 3月　日 3月の\n情報"_s);
  // Hovering over another month previews it only while no month cell has the focus.
  QTest::mouseMove(form->monthCell(7));
  EXPECT_EQ(form->Text4->toPlainText(), u" 3月　日"_s);
  focus(form->Text2);
  QTest::mouseMove(form->monthCell(7), QPoint(5, 5));
  EXPECT_FALSE(form->Text4->isEnabled());
  EXPECT_EQ(form->Text4->toPlainText() + form->Label8->text(), u" 7月　日 7月の\n情報"_s);

  main.markerMoves = 0;
  QTest::mouseClick(form->monthCell(12), Qt::LeftButton);
  EXPECT_EQ(std::tuple(m.CurrentColumn, main.markerMoves), std::tuple(14, 1));
}

TEST_F(CommandsTest, NoteOrMonthInformationEditedAloneIsStoredAndAnUneditedPersonIsNot) {
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

  const QByteArray index = indexBytes();
  QFile::remove(p.path(folder + u"/井上.txt"_s));  // a store would write it again
  key(form->monthCell(2), Qt::Key_Right);          // a key release marks it, nothing differs
  clickName(2);
  EXPECT_EQ(indexBytes(), index);
  EXPECT_FALSE(noteExists(u"井上"_s));
}

TEST_F(CommandsTest, KeysActOnceWhereverTheFocusIs) {
  type(form->monthCell(1), u"0"_s);
  key(form->monthCell(1), Qt::Key_F3);
  EXPECT_EQ(std::tuple(shell.settingsShown, field(0, 2)), std::tuple(1, u"1/50"_s));
  // Up and down move through the main window, except in the note's lines.
  main.calls.clear();
  key(form->monthCell(5), Qt::Key_Up);
  key(form->Text3, Qt::Key_Down);
  key(form->noteBox(), Qt::Key_Up);
  for (QWidget* w : QList<QWidget*>{form->List2, form->Combo1, form}) key(w, Qt::Key_F6);
  EXPECT_EQ(main.calls, (QStringList{u"up"_s, u"down"_s} + QStringList(3, u"print"_s)));
  key(form->Label3, Qt::Key_F1);
  EXPECT_EQ(records().size(), 4);
}

TEST_F(CommandsTest, AStoreThatFailsKeepsTheTextAndTheScreenAndTriesAgain) {
  QDir(p.path(folder)).mkdir(u"岡田.txt"_s);  // where the new note file should go
  retype(form->Text2, u"岡田"_s);
  const QByteArray index = indexBytes();
  clickName(1);
  EXPECT_TRUE(message().startsWith(u"保存できません: "_s));
  EXPECT_EQ(indexBytes(), index);
  EXPECT_TRUE(noteExists(u"山田太郎"_s) && form->Text2->text() == u"岡田"_s);
  key(form->Text2, Qt::Key_F5);
  ASSERT_TRUE(m.inputScreen == form.data() && shell.ended == 0);

  QDir(p.path(folder)).rmdir(u"岡田.txt"_s);
  clickName(1);  // stores, then shows the clicked person
  EXPECT_EQ(field(0, 1) + form->Text2->text(), u"岡田井上"_s);
  EXPECT_FALSE(noteExists(u"山田太郎"_s) || m.PersonModified);
}

// A name taken by another person or kept by Windows for a device stops every command
// that would store the person: message, focus back in the name box, nothing changed.
class NameGateTest : public OpenEntryTest,
                     public ::testing::WithParamInterface<std::tuple<const char16_t*, int>> {};

TEST_P(NameGateTest, BlocksTheCommand) {
  const QString name = QString::fromUtf16(std::get<0>(GetParam()));
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
  EXPECT_TRUE(form->Text2->hasFocus() && form->Text2->text() == name);
  EXPECT_EQ(std::tuple(indexBytes(), m.CurrentFolder + form->Combo1->currentText()),
            std::tuple(before, u"%テストテスト"_s));
  EXPECT_EQ(form->List2->currentRow() + shell.settingsShown + shell.ended, 0);
  EXPECT_TRUE(form->isVisible() && m.inputScreen == form.data() && m.InputScreenOpen);
}

INSTANTIATE_TEST_SUITE_P(DuplicateAndDevice, NameGateTest,
                         ::testing::Combine(::testing::Values(u"井上", u"con"),
                                            ::testing::Values(int(Qt::Key_F1), int(Qt::Key_F3),
                                                              int(Qt::Key_F4), 2, 1, 0)));

TEST_F(CommandsTest, FolderChoicesStoreTheEditAndNewFolderClosedWithoutOneChangesNothing) {
  type(form->monthCell(1), u"1"_s);
  const int folders = form->Combo1->count();
  form->folderChooser().choose(0);  // "新規作成", the dialog closed without a folder
  EXPECT_EQ(std::tuple(shell.welcomeShown, field(0, 2),
                       m.CurrentFolder + form->Combo1->currentText(), form->Combo1->count()),
            std::tuple(1, u"1/51"_s, u"%テストテスト"_s, folders));

  form->folderChooser().choose(form->Combo1->findText(u"別"_s));
  EXPECT_EQ(m.CurrentFolder + form->Combo1->currentText(), u"%別別"_s);
  EXPECT_EQ(names().join(u'|') + form->monthCell(1)->text(), u"木村4/4"_s);
}

// OK (F4) only closes the screen; F5 and the close box end the program. Each stores
// first, and the next start reopens the screen only when the program ended with it open.
class ClosingTest : public OpenEntryTest, public ::testing::WithParamInterface<int> {};

TEST_P(ClosingTest, StoresAndTellsTheNextStart) {
  type(form->monthCell(2), u"2/2"_s);
  GetParam() ? key(form->monthCell(2), Qt::Key(GetParam())) : void(form->close());
  const bool ends = GetParam() != Qt::Key_F4;
  EXPECT_EQ(std::tuple(field(0, 3), shell.ended, m.ProgramEnded),
            std::tuple(u"2/2"_s, ends ? 1 : 0, ends));
  EXPECT_EQ(m.inputScreen, nullptr);
  const auto next = nextStart();
  EXPECT_EQ(std::tuple(next->InputScreenOpen, next->CurrentFolder), std::tuple(ends, u"%テスト"_s));
}

INSTANTIATE_TEST_SUITE_P(Keys, ClosingTest, ::testing::Values(Qt::Key_F4, Qt::Key_F5, 0));

TEST_F(EntryTest, PositionsAreStoredWithMinimizedWindowsRestoredFirstAndDoNotDrift) {
  std::tie(m.InputLeft, m.InputTop, m.InputWidth, m.InputHeight) =
      std::tuple(3000, 600, 6000, 5400);
  openScreen();
  main.geometry = QRect(150, 300, 5220, 4848);
  main.minimized = true;
  form->showMinimized();
  key(form->Text2, Qt::Key_F4);
  EXPECT_FALSE(main.minimized);
  const auto next = nextStart();
  EXPECT_EQ(QRect(next->MainLeft, next->MainTop, next->MainWidth, next->MainHeight), main.geometry);
  EXPECT_EQ(QPoint(next->InputLeft, next->InputTop), QPoint(3000, 600));
  EXPECT_NEAR(next->InputWidth + next->InputHeight, 6000 + 5400, 30);  // a pixel is 15 twips
  const QSize size(m.InputWidth, m.InputHeight);
  openScreen();
  key(form->Text2, Qt::Key_F4);
  EXPECT_EQ(QSize(m.InputWidth, m.InputHeight), size);
}

}  // namespace
}  // namespace velnor::test
