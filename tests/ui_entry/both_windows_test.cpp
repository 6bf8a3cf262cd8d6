// The main window and the input screen working together, both real: Ctrl+Z and Ctrl+Y over
// stored changes, the files coming back byte for byte; and what a screen reader finds in
// them: a name for every control it can reach, none for the controls only the program
// presses, and the table's cells with the cursor cell focused as the cursor moves. Read
// through Qt's accessibility interfaces, as the AT-SPI bridge reads them.

#include <QAccessible>

#include "entry_fixture.h"
#include "support/failing_writer.h"
#include "ui/common/find_box.h"
#include "ui/common/sheet_export.h"
#include "ui/main/import_window.h"
#include "ui/main/list_accessible.h"
#include "ui/settings/form4.h"

namespace velnor::test {
namespace {

class BothWindowsTest : public EntryTest {
 protected:
  void start(bool inputWasOpen = true) {
    startBothWindows(inputWasOpen);
    ASSERT_EQ(form && form->isVisible(), inputWasOpen);
    QApplication::setActiveWindow(form ? static_cast<QWidget*>(form) : mainForm.get());
  }
};

// Down in either window stores the edit first and shows the next person; Up the previous; a
// click in the table the person clicked.
TEST_F(BothWindowsTest, DownUpOrAClickInTheTableStoresTheEditFirstThenShowsThatPerson) {
  start();
  retype(form->Text3, u"中央"_s);
  key(mainForm.get(), Qt::Key_Down);
  EXPECT_EQ(field(0, 0), u"中央"_s);
  key(mainForm.get(), Qt::Key_Up);
  EXPECT_EQ(form->Text2->text(), u"山田太郎"_s);
  type(form->monthCell(5), u"5"_s);
  key(form->monthCell(5), Qt::Key_Down);
  EXPECT_EQ(field(0, 6), u"5"_s);
  EXPECT_EQ(form->Text2->text(), u"井上"_s);
  type(form->monthCell(3), u"3/9"_s);
  // A click in the middle of month 5 of list row 2; the list is 160 × 260 units.
  const double x = m.TerritoryColumnWidth + m.NameColumnWidth + 4.5 * m.MonthColumnWidth;
  const QSize px = mainForm->Picture1->pixelSize();
  QTest::mouseClick(mainForm->Picture1->canvas(), Qt::LeftButton, {},
                    QPoint(x * px.width() / 160, 3.5 * m.RowHeight * px.height() / 260));
  EXPECT_EQ(field(1, 4), u"3/9"_s);
  EXPECT_EQ(form->Text2->text(), u"上田"_s);
  EXPECT_EQ(m.CurrentColumn, 7);
  // The clicked month's cell holds the focus of the input screen (whichever window is active).
  EXPECT_EQ(form->focusWidget(), form->monthCell(5));
  EXPECT_FALSE(m.PersonModified);
}

TEST_F(BothWindowsTest, FindOnTheInputScreenStoresTheShownPersonThenShowsEachMatch) {
  start();
  type(form->monthCell(3), u"3/9"_s);
  QApplication::setActiveWindow(form);  // where the user types
  QTest::keyClick(form->monthCell(3), Qt::Key_F, Qt::ControlModifier);
  auto* box = form->findChild<FindBox*>();
  ASSERT_TRUE(box);
  EXPECT_TRUE(box->isVisible());
  commit(box->text(), u"上"_s);  // 井上 and 上田
  QApplication::processEvents();
  EXPECT_EQ(QApplication::activeWindow(), box);  // typing goes on in the box
  EXPECT_EQ(field(0, 4), u"3/9"_s);
  EXPECT_EQ(form->Text2->text(), u"井上"_s);
  key(box->text(), Qt::Key_Return);
  EXPECT_EQ(form->Text2->text(), u"上田"_s);
}

TEST_F(BothWindowsTest, MainWindowDeleteAndAddGoThroughTheScreen) {
  start();
  key(mainForm.get(), Qt::Key_F2);
  EXPECT_EQ(records().size(), 2);
  EXPECT_EQ(form->Text2->text(), u"井上"_s);
  key(mainForm.get(), Qt::Key_F1);
  EXPECT_EQ(records().size(), 3);
  EXPECT_EQ(form->List2->currentRow(), 2);
}

// A taken name keeps both open; a free one is stored, the program ends and the next start
// reopens the screen.
TEST_F(BothWindowsTest, ClosingTheMainWindowStoresEndsAndReopensTheScreenNextTime) {
  start();
  retype(form->Text2, u"上田"_s);
  mainForm->close();
  EXPECT_EQ(message(), kDuplicate);
  EXPECT_FALSE(m.ProgramEnded);
  EXPECT_TRUE(mainForm->isVisible());
  ASSERT_TRUE(form);
  EXPECT_TRUE(form->isVisible());
  retype(form->Text2, u"山田"_s);
  mainForm->close();
  EXPECT_TRUE(m.ProgramEnded);
  EXPECT_EQ(field(0, 1), u"山田"_s);
  EXPECT_TRUE(nextStart()->InputScreenOpen);
}

TEST_F(BothWindowsTest, ClosingTheMainWindowOnAFullDiskTellsOfTheSettingsFileOnce) {
  start();
  shell.messages.clear();
  {
    ScopedFailingWriter full(FailAt::Write);
    mainForm->close();
  }
  EXPECT_TRUE(m.ProgramEnded);
  ASSERT_EQ(shell.messages.size(), 1) << shell.titles().toStdString();
  EXPECT_TRUE(shell.messages[0].text.contains(kSettingsFileName));
}

TEST_F(BothWindowsTest, NewFolderFromTheMainWindowOpensTheScreenAndThenTheWelcomeDialog) {
  start(false);
  shell.onWelcome = [this] {  // creates "%新人" holding the placeholder person
    EXPECT_TRUE(form);        // the dialog is shown by the input screen
    p.makeFolder(u"新人"_s,
                 TempProgram::cp932Lines({kIndexComment1, kIndexComment2, kPlaceholderRecord}));
    m.CurrentFolder = u"%新人"_s;
    m.CurrentIndex = m.CurrentColumn = 0;
  };
  mainForm->folderChooser().choose(0);
  ASSERT_TRUE(form);
  EXPECT_EQ(m.CurrentFolder, u"%新人"_s);
  EXPECT_EQ(form->Combo1->currentText(), u"新人"_s);
  EXPECT_EQ(mainForm->Combo1->currentText(), u"新人"_s);
  EXPECT_EQ(names(), QStringList{u"名前"_s});
  // Each chooser holds the new folder once: 新規作成, 別, テスト, 新人.
  EXPECT_EQ(form->Combo1->count(), 4);
  EXPECT_EQ(mainForm->Combo1->count(), 4);
}

// What is being typed reaches the export too: Ctrl+E stores it first. The import opens
// another folder: what is being typed is stored in the folder it belongs to.
TEST_F(BothWindowsTest, CtrlEAndCtrlIAfterAnEditStoreItInItsOwnFolderFirst) {
  start();
  p.writeBytes(u"in.csv"_s, TempProgram::cp932Lines({u"名前,区域"_s, u"木下,西"_s}));
  setFileAskerForTests([this](QWidget*, bool saving, const QString&) {
    return p.path(saving ? u"out.csv"_s : u"in.csv"_s);
  });
  retype(form->monthCell(5), u"5/8"_s);
  QTest::keyClick(form->monthCell(5), Qt::Key_E, Qt::ControlModifier);
  EXPECT_EQ(field(0, 6), u"5/8"_s);
  const QStringList rows = QString::fromUtf8(p.readBytes(u"out.csv"_s)).split(u"\r\n"_s);
  ASSERT_GE(rows.size(), 2);
  EXPECT_TRUE(rows[1].startsWith(u"北,山田太郎,1/5,,,,5/8,"_s)) << rows[1].toStdString();
  retype(form->monthCell(4), u"4/1"_s);
  QTimer::singleShot(0, [] {
    if (auto* window = qobject_cast<ImportWindow*>(QApplication::activeModalWidget()))
      window->okButton->click();
  });
  QApplication::setActiveWindow(mainForm.get());  // the user goes over to the main window
  QTest::keyClick(mainForm.get(), Qt::Key_I, Qt::ControlModifier);
  setFileAskerForTests({});
  EXPECT_EQ(field(0, 5), u"4/1"_s);
  EXPECT_EQ(p.readBytes(u"%in/"_s + kIndexFileName),
            TempProgram::indexBytes({recordLine(u"西"_s, u"木下"_s)}));
  EXPECT_EQ(m.CurrentFolder, u"%in"_s);
  EXPECT_EQ(form->Text2->text(), u"木下"_s);
}

// ---- Undo and redo.

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

// ---- A screen reader.

// Every interface under `root` that a screen reader lists, the table's cells left out.
void collect(QAccessibleInterface* root, QList<QAccessibleInterface*>& out) {
  out << root;
  // A chooser's list is a part of it, named by the chooser.
  if (root->role() == QAccessible::Table || root->role() == QAccessible::ComboBox) return;
  for (int i = 0; i < root->childCount(); ++i)
    if (QAccessibleInterface* child = root->child(i)) collect(child, out);
}

QStringList unnamedControls(QWidget* window) {
  QList<QAccessibleInterface*> all;
  collect(QAccessible::queryAccessibleInterface(window), all);
  QStringList unnamed;
  for (QAccessibleInterface* a : all) {
    switch (a->role()) {
      case QAccessible::EditableText:
      case QAccessible::PushButton:
      case QAccessible::ComboBox:
      case QAccessible::List:
      case QAccessible::Table:
        break;
      default:
        continue;
    }
    const QString name = a->text(QAccessible::Name);
    // A caption of symbols says nothing once read aloud.
    if (name.trimmed().isEmpty() || name == u"▲"_s || name == u"▼"_s || name == u"←"_s)
      unnamed << QString::number(a->role()) + u' ' + a->parent()->text(QAccessible::Name);
  }
  return unnamed;
}

bool listed(QWidget* window, QObject* control) {
  QList<QAccessibleInterface*> all;
  collect(QAccessible::queryAccessibleInterface(window), all);
  return std::any_of(all.begin(), all.end(), [&](auto* a) { return a->object() == control; });
}

class ScreenReader : public EntryTest {
 protected:
  void SetUp() override {
    EntryTest::SetUp();
    sendAccessibleEventsForTests([](QAccessibleEvent* e) {
      if (e->type() == QAccessible::Focus)
        focused << e->accessibleInterface()->text(QAccessible::Name);
    });
    focused.clear();
  }
  void TearDown() override {
    sendAccessibleEventsForTests(nullptr);
    EntryTest::TearDown();
  }
  static inline QStringList focused;
};

TEST_F(ScreenReader, everyControlHasANameOnlyTheProgramsAreNotListedAndTheTableReadsItsCells) {
  startBothWindows(true);
  ASSERT_TRUE(form);
  EXPECT_EQ(unnamedControls(mainForm.get()), QStringList());
  EXPECT_EQ(unnamedControls(form), QStringList());
  EXPECT_FALSE(listed(mainForm.get(), mainForm->Command9));
  EXPECT_FALSE(listed(form, form->Command3));
  EXPECT_TRUE(listed(mainForm.get(), mainForm->Command6));
  EXPECT_EQ(QAccessible::queryAccessibleInterface(mainForm->Command6)->text(QAccessible::Name),
            u"前の人"_s);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(form->monthCell(1))->text(QAccessible::Name),
            u"1月の会えた月日"_s);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(form->noteBox())->text(QAccessible::Name),
            u"補足情報"_s);
  // Still pressed by the program, as before.
  EXPECT_NE(form->Command3->parentWidget(), nullptr);

  // The table reads its cells, and the cursor cell is focused as it moves.
  QApplication::setActiveWindow(mainForm.get());
  QAccessibleInterface* table = QAccessible::queryAccessibleInterface(mainForm->Picture1);
  ASSERT_TRUE(table && table->tableInterface());
  EXPECT_EQ(table->role(), QAccessible::Table);
  QAccessibleTableInterface* cells = table->tableInterface();
  EXPECT_EQ(cells->rowCount(), 3);
  EXPECT_EQ(cells->columnCount(), 2 + 12);
  EXPECT_EQ(cells->columnDescription(0), u"区域"_s);
  EXPECT_EQ(cells->columnDescription(2), u"1月"_s);
  EXPECT_EQ(cells->cellAt(0, 1)->text(QAccessible::Name), u"山田太郎"_s);
  EXPECT_EQ(cells->cellAt(0, 2)->text(QAccessible::Value), u"1/5"_s);
  EXPECT_EQ(cells->cellAt(2, 3)->text(QAccessible::Value), u"2/9"_s);

  // The cursor starts on the first person's territory.
  QAccessibleInterface* cursor = table->focusChild();
  ASSERT_TRUE(cursor);
  EXPECT_EQ(cursor->text(QAccessible::Name), u"北"_s);
  EXPECT_TRUE(cursor->state().focused);
  EXPECT_TRUE(cursor->state().selected);
  EXPECT_EQ(cells->selectedCellCount(), 1);
  EXPECT_FALSE(cells->cellAt(1, 0)->state().selected);
  EXPECT_TRUE(cursor->rect().intersects(
      QRect(mainForm->Picture1->mapToGlobal(QPoint(0, 0)), mainForm->Picture1->size())));

  // Right onto the name and January, then down to the third person's February: each move
  // is announced.
  key(mainForm->Picture1, Qt::Key_Right);
  EXPECT_EQ(table->focusChild()->text(QAccessible::Name), u"山田太郎"_s);
  key(mainForm->Picture1, Qt::Key_Right);
  EXPECT_EQ(table->focusChild()->text(QAccessible::Name), u"1/5"_s);
  key(mainForm->Picture1, Qt::Key_Right);
  key(mainForm->Picture1, Qt::Key_Down);
  key(mainForm->Picture1, Qt::Key_Down);
  EXPECT_EQ(table->focusChild()->text(QAccessible::Name), u"2/9"_s);
  ASSERT_FALSE(focused.isEmpty());
  EXPECT_EQ(focused.last(), u"2/9"_s);
  EXPECT_TRUE(focused.contains(u"1/5"_s));
}

}  // namespace
}  // namespace velnor::test
