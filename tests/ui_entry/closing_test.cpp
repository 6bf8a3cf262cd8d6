// Loading the screen, closing it with OK, ending the program from it, and what the
// settings file remembers for the next start.

#include "entry_fixture.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor::test {
namespace {

class ClosingTest : public EntryTest {
 protected:
  void SetUp() override {
    EntryTest::SetUp();
    makeFolder({recordLine(u"北"_s, u"青木"_s), recordLine(u"南"_s, u"井上"_s)});
  }
  // What the next start reads from the settings file.
  std::unique_ptr<Module1> nextStart() const {
    auto next = std::make_unique<Module1>(p.path());
    next->LoadSettings();
    return next;
  }
  void editMonth() {
    focus(form->monthCell(2));
    type(form->monthCell(2), u"2/2"_s);
  }
};

TEST_F(ClosingTest, F4StoresClosesAndTheNextStartDoesNotReopen) {
  openScreen();
  editMonth();
  key(form->monthCell(2), Qt::Key_F4);
  EXPECT_EQ(records().value(0).section(u'*', 3, 3), u"2/2"_s);
  EXPECT_EQ(m.inputScreen, nullptr);
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(shell.ended, 0);
  EXPECT_FALSE(m.InputScreenOpen);
  EXPECT_FALSE(m.PersonModified);
  EXPECT_EQ(m.CurrentColumn, 2);
  EXPECT_FALSE(nextStart()->InputScreenOpen);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(form.isNull());
}

TEST_F(ClosingTest, F5StoresEndsTheProgramAndTheNextStartReopens) {
  openScreen();
  editMonth();
  key(form->monthCell(2), Qt::Key_F5);
  EXPECT_EQ(records().value(0).section(u'*', 3, 3), u"2/2"_s);
  EXPECT_EQ(shell.ended, 1);
  EXPECT_TRUE(m.ProgramEnded);
  EXPECT_TRUE(nextStart()->InputScreenOpen);
  EXPECT_EQ(nextStart()->CurrentFolder, u"%テスト"_s);
}

TEST_F(ClosingTest, CloseBoxEndsTheProgramLikeF5) {
  openScreen();
  editMonth();
  form->close();
  EXPECT_EQ(records().value(0).section(u'*', 3, 3), u"2/2"_s);
  EXPECT_EQ(shell.ended, 1);
  EXPECT_TRUE(nextStart()->InputScreenOpen);
}

TEST_F(ClosingTest, PositionsAreStoredWithMinimizedWindowsRestoredFirst) {
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
  auto next = nextStart();
  EXPECT_EQ(next->MainLeft, 150);
  EXPECT_EQ(next->MainTop, 300);
  EXPECT_EQ(next->MainWidth, 5220);
  EXPECT_EQ(next->MainHeight, 4848);
  EXPECT_EQ(next->InputLeft, 3000);
  EXPECT_EQ(next->InputTop, 600);
  // Sizes come back to within one pixel (15 twips) of what was restored.
  EXPECT_NEAR(next->InputWidth, 6000, 15);
  EXPECT_NEAR(next->InputHeight, 5400, 15);
}

TEST_F(ClosingTest, OpeningAndClosingAgainKeepsTheSize) {
  m.InputWidth = 6000;
  m.InputHeight = 5400;
  openScreen();
  key(form->Text2, Qt::Key_F4);
  const qint16 width = m.InputWidth, height = m.InputHeight;
  openScreen();
  key(form->Text2, Qt::Key_F4);
  EXPECT_EQ(m.InputWidth, width);
  EXPECT_EQ(m.InputHeight, height);
}

TEST_F(ClosingTest, APositionOffEveryScreenComesBackOntoTheScreen) {
  m.InputLeft = 32000;
  m.InputTop = 32000;
  openScreen();
  EXPECT_NE(QGuiApplication::screenAt(form->geometry().topLeft()), nullptr);
}

TEST_F(ClosingTest, ZeroSizesAndAnOutOfRangeFontGetTheDefaults) {
  m.InputWidth = 0;
  m.InputHeight = 0;
  m.NoteFontSize = 25;
  openScreen();
  EXPECT_EQ(m.NoteFontSize, 9);
  const QRect g = form->geometryTwips();
  EXPECT_NEAR(g.width(), 5076, 15);
  EXPECT_NEAR(g.height(), 4860, 15);
  EXPECT_NEAR(form->noteBox()->font().pointSizeF(), 9.0, 0.1);
}

TEST_F(ClosingTest, LoadingColoursTheScreenFromTheSettings) {
  m.BackColors = {0x00FF00, 0x0000FF, 0xFF0000};
  m.TextColors = {0, 0x00FFFF, 0};
  openScreen();
  EXPECT_EQ(form->palette().color(QPalette::Window), QColor(0, 255, 0));
  EXPECT_EQ(form->Command1->palette().color(QPalette::Button), QColor(0, 0, 255));
  EXPECT_EQ(form->Text2->palette().color(QPalette::Base), QColor(255, 0, 0));
  EXPECT_EQ(form->monthCell(12)->palette().color(QPalette::Text), QColor(255, 255, 0));
  EXPECT_EQ(form->List2->palette().color(QPalette::Base), QColor(255, 0, 0));
}

TEST_F(ClosingTest, OpeningAlwaysStartsOnRecordZero) {
  m.CurrentIndex = 1;
  openScreen();
  EXPECT_EQ(m.CurrentIndex, 0);
  EXPECT_EQ(form->Text2->text(), u"青木"_s);
  EXPECT_EQ(form->windowTitle(), u"入力画面"_s);
}

}  // namespace
}  // namespace velnor::test
