// The main window and the input screen working together, both real.

#include <QDir>

#include "entry_fixture.h"
#include "ui/main/form1.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor::test {
namespace {

class BothWindowsTest : public EntryTest {
 protected:
  void SetUp() override {
    EntryTest::SetUp();
    m.mainWindow = nullptr;
    makeFolder({recordLine(u"北"_s, u"青木"_s), recordLine(u"南"_s, u"井上"_s),
                recordLine(u"東"_s, u"上田"_s)});
    // The input screen opens as the program's seam opens it.
    shell.onInputScreen = [this] {
      auto* f = new Form3(m);
      form = f;
      f->Form_Load();
      if (!m.ProgramEnded && m.inputScreen == f) f->show();
    };
  }
  void TearDown() override {
    EntryTest::TearDown();
    if (mainForm) {
      m.ProgramEnded = true;
      mainForm.reset();
    }
  }
  void start(bool inputWasOpen = false) {
    m.InputScreenOpen = inputWasOpen;
    m.SaveSettings();
    mainForm = std::make_unique<Form1>(m);
    mainForm->Form_Load();
    ASSERT_FALSE(m.ProgramEnded);
    mainForm->show();
    QApplication::setActiveWindow(mainForm.get());
  }
  void openInput() {
    QTest::keyClick(mainForm.get(), Qt::Key_Space);
    ASSERT_TRUE(form);
    ASSERT_EQ(m.inputScreen, form.data());
    QApplication::setActiveWindow(form);
    shell.messages.clear();
  }
  // Releases the mouse over list cell (row, column) of the main window's table.
  void clickTable(int row, int column) {
    double x = 0;
    if (column == 1) x = m.TerritoryColumnWidth / 2.0;
    if (column == 2) x = m.TerritoryColumnWidth + m.NameColumnWidth / 2.0;
    if (column >= 3)
      x = m.TerritoryColumnWidth + m.NameColumnWidth + (column - 3 + 0.5) * m.MonthColumnWidth;
    mainForm->Picture1_MouseUp(x, (row + 1.5) * m.RowHeight);
  }

  std::unique_ptr<Form1> mainForm;
};

TEST_F(BothWindowsTest, SpaceOpensTheScreenOnTheFirstPersonAndF4ClosesIt) {
  start();
  openInput();
  EXPECT_TRUE(m.InputScreenOpen);
  EXPECT_EQ(form->Text2->text(), u"青木"_s);
  EXPECT_EQ(form->List2->count(), 3);
  EXPECT_EQ(form->Combo1->currentText(), u"テスト"_s);
  QTest::keyClick(form->Text2, Qt::Key_F4);
  EXPECT_FALSE(m.InputScreenOpen);
  EXPECT_EQ(m.inputScreen, nullptr);
  EXPECT_FALSE(m.ProgramEnded);
  EXPECT_TRUE(mainForm->isVisible());
}

TEST_F(BothWindowsTest, ClickInTheTableAfterAnEditStoresFirstThenShowsTheClickedPerson) {
  start();
  openInput();
  focus(form->monthCell(3));
  type(form->monthCell(3), u"3/9"_s);
  clickTable(2, 7);  // 上田, May
  EXPECT_EQ(records().value(0).section(u'*', 4, 4), u"3/9"_s);
  EXPECT_EQ(form->Text2->text(), u"上田"_s);
  EXPECT_EQ(m.CurrentIndex, 2);
  EXPECT_EQ(m.CurrentColumn, 7);
  EXPECT_TRUE(form->monthCell(5)->hasFocus());
  EXPECT_EQ(m.NoteMonth, 5);
  EXPECT_EQ(form->List2->currentRow(), 2);
  EXPECT_FALSE(m.PersonModified);
}

TEST_F(BothWindowsTest, MainWindowArrowsMoveThroughTheScreenStoringOnTheWay) {
  start();
  openInput();
  focus(form->Text3);
  form->Text3->selectAll();
  commit(form->Text3, u"中央"_s);
  QTest::keyClick(mainForm.get(), Qt::Key_Down);
  EXPECT_EQ(records().value(0).section(u'*', 0, 0), u"中央"_s);
  EXPECT_EQ(form->Text2->text(), u"井上"_s);
  QTest::keyClick(mainForm.get(), Qt::Key_Up);
  EXPECT_EQ(form->Text2->text(), u"青木"_s);
  EXPECT_EQ(form->Text3->text(), u"中央"_s);
}

TEST_F(BothWindowsTest, ArrowInAMonthCellMovesToTheNextPerson) {
  start();
  openInput();
  focus(form->monthCell(5));
  type(form->monthCell(5), u"5"_s);
  QTest::keyClick(form->monthCell(5), Qt::Key_Down);
  EXPECT_EQ(records().value(0).section(u'*', 6, 6), u"5"_s);
  EXPECT_EQ(form->Text2->text(), u"井上"_s);
  EXPECT_EQ(m.CurrentIndex, 1);
}

TEST_F(BothWindowsTest, MainWindowAddAndDeleteGoThroughTheScreen) {
  start();
  openInput();
  QTest::keyClick(mainForm.get(), Qt::Key_F1);
  EXPECT_EQ(records().size(), 4);
  EXPECT_EQ(form->Text2->text(), u"名前"_s);
  EXPECT_EQ(form->List2->currentRow(), 3);
  QTest::keyClick(mainForm.get(), Qt::Key_F2);
  EXPECT_EQ(records().size(), 3);
  EXPECT_EQ(form->Text2->text(), u"上田"_s);
  EXPECT_FALSE(noteExists(u"名前"_s));
}

TEST_F(BothWindowsTest, DuplicateNameKeepsBothWindowsOpenWhenTheMainWindowCloses) {
  start();
  openInput();
  focus(form->Text2);
  form->Text2->selectAll();
  commit(form->Text2, u"上田"_s);
  mainForm->close();
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].text, u"同じ名前がすでにあります。変更してください…"_s);
  EXPECT_FALSE(m.ProgramEnded);
  EXPECT_TRUE(mainForm->isVisible());
  EXPECT_TRUE(form && form->isVisible());
}

TEST_F(BothWindowsTest, ClosingTheMainWindowStoresTheEditAndReopensTheScreenNextTime) {
  start();
  openInput();
  focus(form->monthCell(12));
  type(form->monthCell(12), u"12/1"_s);
  mainForm->close();
  EXPECT_TRUE(m.ProgramEnded);
  EXPECT_EQ(records().value(0).section(u'*', 13, 13), u"12/1"_s);

  // The next start opens the input screen again, on the first person.
  Module1 next(p.path());
  next.LoadSettings();
  EXPECT_TRUE(next.InputScreenOpen);
}

TEST_F(BothWindowsTest, StartUpReopensTheScreenWhenItWasOpen) {
  start(true);
  ASSERT_TRUE(form);
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(form->Text2->text(), u"青木"_s);
  EXPECT_EQ(form->List2->count(), 3);
  EXPECT_TRUE(m.InputScreenOpen);
}

TEST_F(BothWindowsTest, NewFolderFromTheMainWindowOpensTheScreenAndThenTheWelcomeDialog) {
  start();
  shell.onWelcome = [this] {
    ASSERT_TRUE(form);  // the dialog comes from the input screen's load
    QDir(p.path()).mkdir(u"%新人"_s);
    writeTextFile(p.path(u"%新人/"_s + kIndexFileName),
                  {kIndexComment1, kIndexComment2, kPlaceholderRecord}, nullptr);
    m.CurrentFolder = u"%新人"_s;
    m.CurrentIndex = 0;
    m.CurrentColumn = 0;
  };
  mainForm->folderChooser().choose(0);
  EXPECT_EQ(shell.welcomeShown, 1);
  ASSERT_TRUE(form);
  EXPECT_TRUE(m.InputScreenOpen);
  EXPECT_EQ(m.CurrentFolder, u"%新人"_s);
  EXPECT_EQ(form->Combo1->currentText(), u"新人"_s);
  EXPECT_EQ(form->Text2->text(), u"名前"_s);
  EXPECT_EQ(mainForm->Combo1->currentText(), u"新人"_s);
}

}  // namespace
}  // namespace velnor::test
