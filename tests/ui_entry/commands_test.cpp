// Adding, deleting, moving between people and storing every change at once.

#include <QDir>

#include "entry_fixture.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor::test {
namespace {

class CommandsTest : public EntryTest {
 protected:
  void SetUp() override {
    EntryTest::SetUp();
    makeFolder({recordLine(u"北"_s, u"青木"_s, {u"1/5"_s}), recordLine(u"南"_s, u"井上"_s),
                recordLine(u"東"_s, u"上田"_s, {{}, u"2/9"_s})});
    openScreen();
  }
  QStringList names() const {
    QStringList out;
    for (int i = 0; i < form->List2->count(); ++i) out << form->List2->item(i)->text();
    return out;
  }
};

TEST_F(CommandsTest, OpeningStartsOnTheFirstRecordWithTheNamesListed) {
  EXPECT_EQ(form->Text2->text(), u"青木"_s);
  EXPECT_EQ(form->Text3->text(), u"北"_s);
  EXPECT_EQ(form->monthCell(1)->text(), u"1/5"_s);
  EXPECT_EQ(form->noteBox()->toPlainText(), u"補足情報"_s);
  EXPECT_EQ(names(), (QStringList{u"青木"_s, u"井上"_s, u"上田"_s}));
  EXPECT_EQ(form->List2->currentRow(), 0);
  EXPECT_EQ(form->Combo1->currentText(), u"テスト"_s);
  EXPECT_EQ(form->Combo1->itemText(0), u"新規作成"_s);
  EXPECT_FALSE(form->Text4->isEnabled());
  EXPECT_TRUE(m.EditsEnabled);
  EXPECT_FALSE(m.PersonModified);
}

TEST_F(CommandsTest, F1AfterEditingAMonthCellStoresThenAddsAPlaceholderPerson) {
  QLineEdit* june = form->monthCell(6);
  focus(june);
  type(june, u"6/1"_s);
  key(june, Qt::Key_F1);

  const QStringList lines = records();
  ASSERT_EQ(lines.size(), 4);
  EXPECT_EQ(lines[0], recordLine(u"北"_s, u"青木"_s, {u"1/5"_s, {}, {}, {}, {}, u"6/1"_s}));
  EXPECT_EQ(lines[3], kPlaceholderRecord);
  EXPECT_EQ(noteLines(u"青木"_s).size(), 13);
  EXPECT_EQ(noteLines(u"青木"_s).value(0), u"補足情報"_s);

  EXPECT_EQ(m.CurrentIndex, 3);
  EXPECT_EQ(form->List2->currentRow(), 3);
  EXPECT_EQ(form->List2->item(3)->text(), u"名前"_s);
  EXPECT_EQ(form->Text2->text(), u"名前"_s);
  EXPECT_EQ(form->Text2->selectedText(), u"名前"_s);
  EXPECT_EQ(form->Text3->selectedText(), u"区域"_s);
  EXPECT_TRUE(form->Text2->hasFocus());
  EXPECT_TRUE(form->Text4->toPlainText().isEmpty());
  EXPECT_FALSE(form->Text4->isEnabled());
  EXPECT_TRUE(form->Label8->text().isEmpty());
  EXPECT_TRUE(main.calls.contains(u"refresh"_s));
}

TEST_F(CommandsTest, RenamingAndPressingF1MovesTheNoteFile) {
  showPerson(1);
  ASSERT_TRUE(noteExists(u"井上"_s));
  focus(form->Text2);
  form->Text2->selectAll();
  commit(form->Text2, u"井上花子"_s);
  key(form->Text2, Qt::Key_F1);
  EXPECT_FALSE(noteExists(u"井上"_s));
  EXPECT_TRUE(noteExists(u"井上花子"_s));
  EXPECT_EQ(records().value(1), recordLine(u"南"_s, u"井上花子"_s));
}

TEST_F(CommandsTest, RenamingAPersonWhoseNoteFileIsMissingStillStores) {
  QFile::remove(folderPath() + u"/青木.txt"_s);
  focus(form->Text2);
  form->Text2->selectAll();
  commit(form->Text2, u"青木一郎"_s);
  key(form->Text2, Qt::Key_F1);
  EXPECT_TRUE(messageTexts().isEmpty()) << messageTexts().join(u'|').toStdString();
  EXPECT_EQ(records().value(0).section(u'*', 1, 1), u"青木一郎"_s);
  EXPECT_TRUE(noteExists(u"青木一郎"_s));
}

TEST_F(CommandsTest, DeletingAMiddlePersonShowsAndHighlightsTheNextOne) {
  showPerson(1);
  main.calls.clear();
  key(form->Text2, Qt::Key_F2);
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].title, u"削除の確認"_s);
  EXPECT_EQ(shell.messages[0].text, u"この人の情報を削除してよろしいですか？"_s);
  EXPECT_EQ(shell.messages[0].buttons, Buttons::OkCancel);

  EXPECT_EQ(records().size(), 2);
  EXPECT_FALSE(noteExists(u"井上"_s));
  EXPECT_EQ(form->Text2->text(), u"上田"_s);
  EXPECT_EQ(names(), (QStringList{u"青木"_s, u"上田"_s}));
  EXPECT_EQ(form->List2->currentRow(), 1);
  EXPECT_EQ(m.CurrentIndex, 1);
  EXPECT_TRUE(main.calls.contains(u"clear"_s));
  EXPECT_TRUE(main.calls.contains(u"refresh"_s));

  // A second delete removes the person shown, not the one before it.
  key(form->Text2, Qt::Key_F2);
  EXPECT_EQ(records(), (QStringList{recordLine(u"北"_s, u"青木"_s, {u"1/5"_s})}));
  EXPECT_FALSE(noteExists(u"上田"_s));
  EXPECT_TRUE(noteExists(u"青木"_s));
  EXPECT_EQ(form->Text2->text(), u"青木"_s);
}

TEST_F(CommandsTest, DeletingTheLastPersonShowsTheNewLastOne) {
  showPerson(2);
  key(form->Text2, Qt::Key_F2);
  EXPECT_EQ(records().size(), 2);
  EXPECT_EQ(form->Text2->text(), u"井上"_s);
  EXPECT_EQ(form->List2->currentRow(), 1);
  EXPECT_EQ(m.CurrentIndex, 1);
}

TEST_F(CommandsTest, CancellingTheDeleteChangesNothing) {
  const QByteArray before = p.readBytes(folder + u'/' + kIndexFileName);
  shell.answers.push_back(Answer::Cancel);
  key(form->Text2, Qt::Key_F2);
  EXPECT_EQ(p.readBytes(folder + u'/' + kIndexFileName), before);
  EXPECT_TRUE(noteExists(u"青木"_s));
  EXPECT_EQ(form->Text2->text(), u"青木"_s);
}

TEST_F(CommandsTest, DeletingEveryoneLeavesOnePlaceholderPerson) {
  for (int i = 0; i < 3; ++i) key(form->Text2, Qt::Key_F2);
  EXPECT_EQ(records(), QStringList{kPlaceholderRecord});
  EXPECT_EQ(names(), QStringList{u"名前"_s});
  EXPECT_EQ(form->Text2->text(), u"名前"_s);
  EXPECT_EQ(m.PersonCount, 1);
  EXPECT_EQ(m.CurrentIndex, 0);
}

TEST_F(CommandsTest, DeletingAfterEditingTheNameRemovesTheLoadedNamesNoteFile) {
  showPerson(1);
  focus(form->Text2);
  form->Text2->selectAll();
  commit(form->Text2, u"別名"_s);
  key(form->Text2, Qt::Key_F2);
  EXPECT_FALSE(noteExists(u"井上"_s));
  EXPECT_FALSE(noteExists(u"別名"_s));
  EXPECT_EQ(records().size(), 2);
}

TEST_F(CommandsTest, ClickingANameStoresTheEditFirst) {
  QLineEdit* march = form->monthCell(3);
  focus(march);
  type(march, u"3/3"_s);
  clickName(2);
  EXPECT_EQ(records().value(0).section(u'*', 4, 4), u"3/3"_s);
  EXPECT_EQ(form->Text2->text(), u"上田"_s);
  EXPECT_EQ(form->monthCell(2)->text(), u"2/9"_s);
  EXPECT_EQ(m.CurrentIndex, 2);
  EXPECT_EQ(form->List2->currentRow(), 2);
  EXPECT_EQ(m.CurrentColumn, 2);
  EXPECT_TRUE(form->Text2->hasFocus());
  EXPECT_FALSE(m.PersonModified);
}

TEST_F(CommandsTest, LoadingPutsTheFocusIntoTheMainListsColumn) {
  main.calls.clear();
  form->selectName(1);
  m.CurrentColumn = 5;
  form->pressLoadSelected();
  EXPECT_TRUE(form->monthCell(3)->hasFocus());
  EXPECT_EQ(m.NoteMonth, 3);
  EXPECT_TRUE(form->Text4->isEnabled());
  EXPECT_EQ(form->Text4->toPlainText(), u" 3月　日"_s);
  EXPECT_EQ(form->Label8->text(), u" 3月の\n情報"_s);
  EXPECT_GE(main.markerMoves, 1);

  m.CurrentColumn = 1;
  form->pressLoadSelected();
  EXPECT_TRUE(form->Text3->hasFocus());
  EXPECT_FALSE(form->Text4->isEnabled());
}

TEST_F(CommandsTest, ANoteOnlyEditIsStored) {
  QPlainTextEdit* note = form->noteBox();
  focus(note);
  note->selectAll();
  commit(note, u"一行目"_s);
  key(note, Qt::Key_Return);
  commit(note, u"二行目"_s);
  showPerson(1);
  EXPECT_EQ(noteLines(u"青木"_s).value(0), u"一行目[二行目"_s);
  showPerson(0);
  EXPECT_EQ(note->toPlainText(), u"一行目\n二行目"_s);
  EXPECT_EQ(m.PersonNote, u"一行目\r\n二行目"_s);
}

TEST_F(CommandsTest, AMonthInformationOnlyEditIsStored) {
  focus(form->monthCell(7));
  form->Text4->selectAll();
  commit(form->Text4, u"留守"_s);
  showPerson(2);
  EXPECT_EQ(noteLines(u"青木"_s).value(7), u"留守"_s);
  EXPECT_EQ(records().value(0), recordLine(u"北"_s, u"青木"_s, {u"1/5"_s}));
}

TEST_F(CommandsTest, AnUneditedPersonIsNotRewritten) {
  const QByteArray index = p.readBytes(folder + u'/' + kIndexFileName);
  QFile::remove(folderPath() + u"/井上.txt"_s);  // would be recreated by a store
  focus(form->monthCell(2));
  key(form->monthCell(2), Qt::Key_Right);  // a key release marks it, nothing differs
  showPerson(2);
  EXPECT_EQ(p.readBytes(folder + u'/' + kIndexFileName), index);
  EXPECT_FALSE(noteExists(u"井上"_s));
}

TEST_F(CommandsTest, F3StoresThenOpensTheSettingsScreen) {
  focus(form->monthCell(1));
  type(form->monthCell(1), u"0"_s);
  key(form->monthCell(1), Qt::Key_F3);
  EXPECT_EQ(shell.settingsShown, 1);
  EXPECT_EQ(records().value(0).section(u'*', 2, 2), u"1/50"_s);
  // The person stays on screen and counts as stored.
  form->changeTest();
  EXPECT_FALSE(m.PersonModified);
}

TEST_F(CommandsTest, ArrowKeysInFieldsMoveThroughTheMainWindow) {
  key(form->monthCell(5), Qt::Key_Up);
  key(form->Text3, Qt::Key_Down);
  key(form->Text4, Qt::Key_Up);
  key(form->noteBox(), Qt::Key_Up);
  key(form->noteBox(), Qt::Key_Down);
  EXPECT_EQ(main.calls, (QStringList{u"up"_s, u"down"_s, u"up"_s}));
}

TEST_F(CommandsTest, EachFunctionKeyActsOnceWhereverTheFocusIs) {
  for (QWidget* w : {static_cast<QWidget*>(form->Text2), static_cast<QWidget*>(form->List2),
                     static_cast<QWidget*>(form->Command1), static_cast<QWidget*>(form->Combo1),
                     static_cast<QWidget*>(form.data())})
    key(w, Qt::Key_F6);
  EXPECT_EQ(main.calls, QStringList(5, u"print"_s));
  key(form->Label3, Qt::Key_F1);
  EXPECT_EQ(records().size(), 4);
}

TEST_F(CommandsTest, ClickingMonthCell12MovesTheMainListCursor) {
  click(form->monthCell(12));
  EXPECT_EQ(m.CurrentColumn, 14);
  EXPECT_EQ(m.NoteMonth, 12);
  EXPECT_EQ(form->HoverMonth, 12);
  EXPECT_TRUE(m.PersonModified);
  EXPECT_GE(main.markerMoves, 1);
  click(form->Text3);
  EXPECT_EQ(m.CurrentColumn, 1);
  click(form->Text2);
  EXPECT_EQ(m.CurrentColumn, 2);
}

TEST_F(CommandsTest, MonthInformationFollowsFocusAndHover) {
  focus(form->monthCell(3));
  EXPECT_TRUE(form->Text4->isEnabled());
  EXPECT_EQ(form->Text4->toPlainText(), u" 3月　日"_s);
  EXPECT_EQ(form->Label8->text(), u" 3月の\n情報"_s);

  // Hovering while a month cell has the focus shows nothing new.
  QTest::mouseMove(form->monthCell(7));
  QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), form->monthCell(7)->mapToGlobal(QPointF(5, 5)),
                   Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(form->monthCell(7), &move);
  EXPECT_EQ(form->Text4->toPlainText(), u" 3月　日"_s);

  focus(form->Text2);
  EXPECT_FALSE(form->Text4->isEnabled());
  EXPECT_EQ(form->Text4->toPlainText(), u" 3月　日"_s);

  QApplication::sendEvent(form->monthCell(7), &move);
  EXPECT_FALSE(form->Text4->isEnabled());
  EXPECT_EQ(form->Text4->toPlainText(), u" 7月　日"_s);
  EXPECT_EQ(form->Label8->text(), u" 7月の\n情報"_s);
  EXPECT_EQ(form->HoverMonth, 7);
  EXPECT_EQ(m.NoteMonth, 3);
}

TEST_F(CommandsTest, AStoreThatFailsKeepsTheTextAndTriesAgain) {
  // A folder where the new note file should go makes the store fail.
  QDir(folderPath()).mkdir(u"岡田.txt"_s);
  focus(form->Text2);
  form->Text2->selectAll();
  commit(form->Text2, u"岡田"_s);
  const QByteArray index = p.readBytes(folder + u'/' + kIndexFileName);
  clickName(1);

  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].title, u"保存できません"_s);
  EXPECT_EQ(p.readBytes(folder + u'/' + kIndexFileName), index);
  EXPECT_TRUE(noteExists(u"青木"_s));
  EXPECT_EQ(form->Text2->text(), u"岡田"_s);
  EXPECT_EQ(form->List2->currentRow(), 0);
  EXPECT_TRUE(m.PersonModified);
  EXPECT_EQ(m.PersonName, u"青木"_s);

  QDir(folderPath()).rmdir(u"岡田.txt"_s);
  clickName(1);
  EXPECT_EQ(records().value(0).section(u'*', 1, 1), u"岡田"_s);
  EXPECT_TRUE(noteExists(u"岡田"_s));
  EXPECT_FALSE(noteExists(u"青木"_s));
  EXPECT_EQ(form->Text2->text(), u"井上"_s);
}

TEST_F(CommandsTest, AStoreThatFailsKeepsTheScreenOpen) {
  QDir(folderPath()).mkdir(u"岡田.txt"_s);
  focus(form->Text2);
  form->Text2->selectAll();
  commit(form->Text2, u"岡田"_s);
  key(form->Text2, Qt::Key_F5);
  EXPECT_EQ(shell.ended, 0);
  EXPECT_FALSE(m.ProgramEnded);
  ASSERT_TRUE(form);
  EXPECT_EQ(m.inputScreen, form.data());
  EXPECT_TRUE(m.InputScreenOpen);
  EXPECT_EQ(form->Text2->text(), u"岡田"_s);
}

TEST_F(CommandsTest, DeviceNamesAreRefusedWhenThePersonWouldBeStored) {
  for (const QString& name : {u"con"_s, u"LPT1"_s}) {
    shell.messages.clear();
    focus(form->Text2);
    form->Text2->selectAll();
    type(form->Text2, name);
    key(form->Text2, Qt::Key_F1);
    ASSERT_EQ(shell.messages.size(), 1);
    EXPECT_EQ(shell.messages[0].title, u"無効です…"_s);
    EXPECT_TRUE(shell.messages[0].text.contains(name));
    EXPECT_EQ(records().size(), 3);
    EXPECT_EQ(records().value(0).section(u'*', 1, 1), u"青木"_s);
    EXPECT_TRUE(form->Text2->hasFocus());
    EXPECT_EQ(form->Text2->text(), name);
  }
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

}  // namespace
}  // namespace velnor::test
