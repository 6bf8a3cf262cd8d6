// The main window and the input screen working together, both real.

#include "entry_fixture.h"
#include "ui/main/form1.h"

namespace velnor::test {
namespace {

class BothWindowsTest : public EntryTest {
 protected:
  void SetUp() override {
    EntryTest::SetUp();
    m.mainWindow = nullptr;
    // The input screen opens as the program's seam opens it.
    shell.onInputScreen = [this] {
      form = new Form3(m);
      form->Form_Load();
      if (!m.ProgramEnded && m.inputScreen == form) form->show();
    };
  }
  void TearDown() override {
    EntryTest::TearDown();
    mainForm.reset();
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
  void startAndOpenInput() {
    start();
    QTest::keyClick(mainForm.get(), Qt::Key_Space);
    ASSERT_TRUE(form);
    ASSERT_EQ(m.inputScreen, form.data());
    QApplication::setActiveWindow(form);
    shell.messages.clear();
  }
  // Releases the mouse over the middle of a month's cell of list row `row`.
  void clickTable(int row, int month) {
    const double x =
        m.TerritoryColumnWidth + m.NameColumnWidth + (month - 0.5) * m.MonthColumnWidth;
    mainForm->Picture1_MouseUp(x, (row + 1.5) * m.RowHeight);
  }

  std::unique_ptr<Form1> mainForm;
};

TEST_F(BothWindowsTest, ClickInTheTableAfterAnEditStoresFirstThenShowsTheClickedPerson) {
  startAndOpenInput();
  type(form->monthCell(3), u"3/9"_s);
  clickTable(2, 5);
  EXPECT_EQ(field(0, 4), u"3/9"_s);
  EXPECT_EQ(form->Text2->text(), u"上田"_s);
  EXPECT_EQ(m.CurrentColumn, 7);
  EXPECT_TRUE(form->monthCell(5)->hasFocus());
  EXPECT_FALSE(m.PersonModified);
}

TEST_F(BothWindowsTest, ArrowsOfEitherWindowMoveThroughThePeopleStoringOnTheWay) {
  startAndOpenInput();
  retype(form->Text3, u"中央"_s);
  QTest::keyClick(mainForm.get(), Qt::Key_Down);
  EXPECT_EQ(field(0, 0), u"中央"_s);
  type(form->monthCell(5), u"5"_s);
  QTest::keyClick(form->monthCell(5), Qt::Key_Down);
  EXPECT_EQ(field(1, 6), u"5"_s);
  EXPECT_EQ(form->Text2->text(), u"上田"_s);
  QTest::keyClick(mainForm.get(), Qt::Key_Up);
  EXPECT_EQ(form->Text2->text() + form->monthCell(5)->text(), u"井上5"_s);
}

TEST_F(BothWindowsTest, MainWindowAddAndDeleteGoThroughTheScreenAndOkLeavesItOpen) {
  startAndOpenInput();
  QTest::keyClick(mainForm.get(), Qt::Key_F1);
  EXPECT_EQ(records().size(), 4);
  EXPECT_EQ(form->List2->currentRow(), 3);
  QTest::keyClick(mainForm.get(), Qt::Key_F2);
  EXPECT_EQ(records().size(), 3);
  EXPECT_EQ(form->Text2->text(), u"上田"_s);
  EXPECT_FALSE(noteExists(u"名前"_s));
  QTest::keyClick(form->Text2, Qt::Key_F4);  // closes the screen only
  EXPECT_EQ(m.inputScreen, nullptr);
  EXPECT_TRUE(!m.ProgramEnded && mainForm->isVisible());
}

TEST_F(BothWindowsTest, ClosingTheMainWindowStoresUnlessTheNameIsTakenAndReopensNextTime) {
  startAndOpenInput();
  retype(form->Text2, u"上田"_s);
  mainForm->close();
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].text, kDuplicate);
  EXPECT_FALSE(m.ProgramEnded);
  EXPECT_TRUE(mainForm->isVisible() && form && form->isVisible());

  retype(form->Text2, u"山田"_s);
  mainForm->close();
  EXPECT_TRUE(m.ProgramEnded);
  EXPECT_EQ(field(0, 1), u"山田"_s);
  Module1 next(p.path());
  next.LoadSettings();
  EXPECT_TRUE(next.InputScreenOpen);
}

TEST_F(BothWindowsTest, StartUpReopensTheScreenWhenItWasOpen) {
  start(true);
  ASSERT_TRUE(form);
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(form->Text2->text(), u"山田太郎"_s);
}

TEST_F(BothWindowsTest, NewFolderFromTheMainWindowOpensTheScreenAndThenTheWelcomeDialog) {
  start();
  welcomeCreatesFolder();
  mainForm->folderChooser().choose(0);
  ASSERT_TRUE(form);
  EXPECT_EQ(m.CurrentFolder + form->Combo1->currentText(), u"%新人新人"_s);
  EXPECT_EQ(form->Text2->text(), u"名前"_s);
  EXPECT_EQ(mainForm->Combo1->currentText(), u"新人"_s);
}

}  // namespace
}  // namespace velnor::test
