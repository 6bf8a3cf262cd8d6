// The settings screen driven through its real widgets, with fakes for the other windows.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <memory>

#include "support/fakes.h"
#include "support/temp_program.h"
#include "ui/common/twips.h"
#include "ui/settings/form4.h"

using namespace Qt::Literals::StringLiterals;
using namespace velnor;

namespace {

// Records the shared flags at the moment the settings screen resizes or recolours.
class WatchedMain : public test::FakeMainWindow {
 public:
  explicit WatchedMain(Module1& m) : m(m) {}
  void setWidthTwips(int t) override {
    FakeMainWindow::setWidthTwips(t);
    calls << u"width %1 phase %2"_s.arg(t).arg(m.LoadPhase);
  }
  void setHeightTwips(int t) override {
    FakeMainWindow::setHeightTwips(t);
    calls << u"height %1 phase %2"_s.arg(t).arg(m.LoadPhase);
  }
  void applyColors() override {
    FakeMainWindow::applyColors();
    listBack = m.BackColors[1];
    listText = m.TextColors[0];
  }
  Module1& m;
  qint32 listBack = -1, listText = -1;
};

class WatchedInput : public test::FakeInputScreen {
 public:
  explicit WatchedInput(Module1& m) : m(m) {}
  void setWidthTwips(int t) override {
    FakeInputScreen::setWidthTwips(t);
    calls << u"width %1 edits %2"_s.arg(t).arg(m.EditsEnabled);
  }
  void setHeightTwips(int t) override {
    FakeInputScreen::setHeightTwips(t);
    calls << u"height %1 edits %2"_s.arg(t).arg(m.EditsEnabled);
  }
  void setNoteFontPoints(double p) override {
    FakeInputScreen::setNoteFontPoints(p);
    calls << u"font %1"_s.arg(p);
  }
  void applyColors() override {
    FakeInputScreen::applyColors();
    boxBack = m.BackColors[1];
    boxText = m.TextColors[1];
  }
  Module1& m;
  qint32 boxBack = -1, boxText = -1;
};

class SettingsScreen : public ::testing::Test {
 protected:
  SettingsScreen() : m(*tp.m), main(m), input(m) {
    m.shell = &shell;
    m.mainWindow = &main;
    m.RowHeight = 10;
    m.NoteFontSize = 9;
    m.TerritoryColumnWidth = 15;
    m.NameColumnWidth = 37;
    m.MonthColumnWidth = 9;
    for (int i = 0; i < 3; ++i) m.BackColors[i] = kDefaultBackColors[i];
    m.MainWidth = 5220;
    m.MainHeight = 4848;
    m.LoadPhase = 2;
    m.EditsEnabled = true;
    m.LaunchCount = 1;
    m.CurrentMonth = 4;
  }

  void openInputScreen() {
    m.inputScreen = &input;
    m.InputScreenOpen = true;
  }

  Form4& open() {
    form = std::make_unique<Form4>(m);
    form->show();
    return *form;
  }

  // Replaces a box's text as a user does: select all, type (Japanese text arrives
  // committed by the input method).
  static void type(QLineEdit* box, const QString& text) {
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    if (text.front().unicode() < 0x80) return QTest::keyClicks(box, text);
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(box, &commit);
  }
  static void enter(QWidget* w) { QTest::keyClick(w, Qt::Key_Return); }
  static void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
  static void choose(QComboBox* combo, int index) {
    while (combo->currentIndex() < index) QTest::keyClick(combo, Qt::Key_Down);
    while (combo->currentIndex() > index) QTest::keyClick(combo, Qt::Key_Up);
  }

  test::TempProgram tp;
  Module1& m;
  test::FakeShell shell;
  WatchedMain main;
  WatchedInput input;
  std::unique_ptr<Form4> form;
};

}  // namespace

// ---------------------------------------------------------------------------
// Opening and the month span

TEST_F(SettingsScreen, OpensWithTheStoredValuesWithoutRedrawing) {
  m.RowHeight = 14;
  m.NoteFontSize = 12;
  m.DisplaySpan = 2;
  m.MainLeft = 1500;
  m.MainTop = 3000;
  Form4& f = open();
  EXPECT_EQ(f.windowTitle(), u"設定画面"_s);
  EXPECT_EQ(f.pos(), QPoint(twipsToPx(1500), twipsToPx(3000)));
  EXPECT_EQ(f.Text1->text(), u"14"_s);
  EXPECT_EQ(f.Text2->text(), u"12"_s);
  EXPECT_EQ(f.Combo6->currentText(), u"3ヶ月表示"_s);
  EXPECT_EQ(m.IgnoreSpanClick, 0);
  for (int i = 3; i <= 5; ++i) EXPECT_FALSE(f.Option2[i]->isChecked());
  EXPECT_TRUE(main.calls.isEmpty()) << main.calls.join(u", "_s).toStdString();

  choose(f.Combo6, 1);
  EXPECT_EQ(m.DisplaySpan, 1);
  EXPECT_EQ(main.calls, (QStringList{u"clear"_s, u"refresh"_s}));
}

TEST_F(SettingsScreen, SpanOutsideTheListDoesNotSwallowTheFirstChoice) {
  m.DisplaySpan = 7;
  Form4& f = open();
  choose(f.Combo6, 0);
  EXPECT_EQ(m.DisplaySpan, 0);
  EXPECT_EQ(main.calls, (QStringList{u"clear"_s, u"refresh"_s}));
}

// ---------------------------------------------------------------------------
// Colours

TEST_F(SettingsScreen, MarkerFollowsTheChosenEntryAndHidesForForeignColours) {
  m.TextColors[1] = 0x800080;
  Form4& f = open();
  EXPECT_EQ(f.Shape1->x(), f.Label6[0]->x());   // black list text
  EXPECT_EQ(f.Shape2->x(), f.Label6[10]->x());  // pale green window
  choose(f.Combo1, 1);
  EXPECT_TRUE(f.Shape1->isVisible());
  EXPECT_EQ(f.Shape1->x(), twipsToPx(3720));

  m.TextColors[1] = 0x123456;
  choose(f.Combo1, 0);
  choose(f.Combo1, 1);
  EXPECT_FALSE(f.Shape1->isVisible());
  click(f.Label6[2]);
  EXPECT_EQ(m.TextColors[1], 0x008000);
  EXPECT_FALSE(f.Shape1->isVisible());  // only choosing the entry shows it again
  choose(f.Combo1, 0);
  choose(f.Combo1, 1);
  EXPECT_TRUE(f.Shape1->isVisible());
  EXPECT_EQ(f.Shape1->x(), f.Label6[2]->x());
}

TEST_F(SettingsScreen, SwatchRecoloursListAndInputScreenAtOnce) {
  openInputScreen();
  Form4& f = open();
  choose(f.Combo2, 1);  // 表示欄の背景色
  click(f.Label6[9]);
  EXPECT_EQ(m.BackColors[1], 0xFFC0C0);
  EXPECT_EQ(f.Shape2->x(), f.Label6[9]->x());
  EXPECT_EQ(main.listBack, 0xFFC0C0);
  EXPECT_EQ(input.boxBack, 0xFFC0C0);
  EXPECT_EQ(main.calls, (QStringList{u"colors"_s, u"refresh"_s}));

  m.InputScreenOpen = false;
  input.calls.clear();
  click(f.Label6[6]);  // list text dark blue
  EXPECT_EQ(m.TextColors[0], 0xC00000);
  EXPECT_EQ(main.listText, 0xC00000);
  EXPECT_TRUE(input.calls.isEmpty());
}

TEST_F(SettingsScreen, WindowAndButtonSwatchesRecolourThisScreen) {
  Form4& f = open();
  choose(f.Combo2, 2);
  click(f.Label6[14]);
  for (QPushButton* b :
       {f.Command1, f.Command2, f.Command3, f.Command4, f.Command5, f.Command6, f.Command7})
    EXPECT_EQ(b->palette().color(b->backgroundRole()), fromBgr(0xFFFFC0));
  choose(f.Combo2, 0);
  click(f.Label6[15]);
  // The colour each control's background takes.
  for (QWidget* w :
       std::initializer_list<QWidget*>{&f, f.Frame1, f.Option2[3], f.Option2[4], f.Option2[5]})
    EXPECT_EQ(w->palette().color(w->backgroundRole()), QColor(Qt::white));
}

// ---------------------------------------------------------------------------
// Row height and note font size

TEST_F(SettingsScreen, TypedRowHeightIsClampedAndRoundedHalfToEven) {
  Form4& f = open();
  f.Command1->setFocus();  // Enter in the box must not press it
  const struct {
    QString typed;
    int stored;
    QString shown;
  } cases[] = {{u"25"_s, 20, u"20"_s},  {u"0"_s, 1, u"1"_s},        {u"7.5"_s, 8, u"7.5"_s},
               {u"6.5"_s, 6, u"6.5"_s}, {u" 12 "_s, 12, u" 12 "_s}, {u"20.4"_s, 20, u"20"_s},
               {u"1.4"_s, 1, u"1.4"_s}, {u"１５"_s, 15, u"１５"_s}};
  for (const auto& c : cases) {
    main.calls.clear();
    type(f.Text1, c.typed);
    enter(f.Text1);
    EXPECT_EQ(m.RowHeight, c.stored) << c.typed.toStdString();
    EXPECT_EQ(f.Text1->text(), c.shown) << c.typed.toStdString();
    EXPECT_EQ(main.calls, (QStringList{u"clear"_s, u"refresh"_s}));
  }
  EXPECT_TRUE(f.isVisible());

  main.calls.clear();
  type(f.Text1, u"abc"_s);
  enter(f.Text1);
  EXPECT_EQ(f.Text1->text(), u"15"_s);
  EXPECT_EQ(m.RowHeight, 15);
  EXPECT_TRUE(main.calls.isEmpty());
}

TEST_F(SettingsScreen, StepperMovesTheBoxFromItsTextAndTheValueFromItsOwn) {
  m.RowHeight = 5;
  Form4& f = open();
  type(f.Text1, u"abc"_s);
  click(f.Command2);
  EXPECT_EQ(f.Text1->text(), u"11"_s);
  EXPECT_EQ(m.RowHeight, 6);
  EXPECT_EQ(main.calls, QStringList{u"refresh"_s});

  m.RowHeight = 10;
  type(f.Text1, u"7.5"_s);
  click(f.Command1);
  EXPECT_EQ(f.Text1->text(), u"6.5"_s);
  EXPECT_EQ(m.RowHeight, 9);

  m.RowHeight = 20;
  click(f.Command2);
  EXPECT_EQ(m.RowHeight, 20);
  EXPECT_EQ(f.Text1->text(), u"20"_s);
  m.RowHeight = 1;
  main.calls.clear();
  click(f.Command1);
  EXPECT_EQ(m.RowHeight, 1);
  EXPECT_EQ(f.Text1->text(), u"1"_s);
  EXPECT_EQ(main.calls, (QStringList{u"clear"_s, u"refresh"_s}));
}

TEST_F(SettingsScreen, NoteFontSizeReachesOnlyAnOpenInputScreenScaledToItsHeight) {
  m.inputScreen = &input;  // loaded but closed
  Form4& f = open();
  type(f.Text2, u"15"_s);
  click(f.Command6);
  EXPECT_EQ(f.Text2->text(), u"16"_s);
  EXPECT_EQ(m.NoteFontSize, 10);
  EXPECT_TRUE(input.calls.isEmpty());

  openInputScreen();
  type(f.Text2, u"6.5"_s);
  enter(f.Text2);
  EXPECT_EQ(m.NoteFontSize, 6);
  EXPECT_DOUBLE_EQ(input.noteFont, 6.0);
  EXPECT_DOUBLE_EQ(input.nameListHeight, 3948.0);
  input.innerHeight = 9168;  // twice the design height
  click(f.Command7);
  EXPECT_EQ(m.NoteFontSize, 5);
  EXPECT_DOUBLE_EQ(input.noteFont, 10.0);
  EXPECT_DOUBLE_EQ(input.nameListHeight, 7896.0);

  input.calls.clear();
  type(f.Text2, u"x"_s);
  enter(f.Text2);
  EXPECT_EQ(f.Text2->text(), u"5"_s);
  EXPECT_TRUE(input.calls.isEmpty());
  EXPECT_TRUE(main.calls.isEmpty());
}

// ---------------------------------------------------------------------------
// Restoring defaults and closing

TEST_F(SettingsScreen, DefaultsWithInputScreenClosedRelayOutTheMainWindowOnce) {
  m.RowHeight = 3;
  m.NoteFontSize = 17;
  m.DisplaySpan = 1;
  m.MonthColumnWidth = 16;
  m.BackColors = {0xFFFFFF, 0, 0};
  m.TextColors = {0xC00000, 0x800080, 0x123};
  m.InputLeft = 777;
  m.InputWidth = 6000;
  m.SortKind = 5;
  m.LaunchCount = 42;
  m.inputScreen = &input;
  Form4& f = open();
  click(f.Command3);

  EXPECT_FALSE(f.isVisible());
  EXPECT_EQ(std::tuple(m.RowHeight, m.NoteFontSize, m.MonthColumnWidth, m.TerritoryColumnWidth,
                       m.NameColumnWidth, m.DisplaySpan, m.TextColors[0], m.TextColors[1]),
            std::tuple(10, 9, 9, 15, 37, 0, 0, 0));
  EXPECT_EQ(m.BackColors, (std::array<qint32, 3>{0xC0FFC0, 0xC0FFFF, 0xFFC0C0}));
  EXPECT_EQ(std::tuple(m.MainWidth, m.MainHeight, m.InputWidth, m.InputHeight, m.InputLeft),
            std::tuple(5220, 4848, 5076, 4860, 777));
  EXPECT_EQ(std::tuple(m.SortKind, m.LaunchCount), std::tuple(5, 42));
  EXPECT_EQ(main.calls, (QStringList{u"width 5220 phase 1"_s, u"height 4848 phase 0"_s, u"colors"_s,
                                     u"refresh"_s}));
  EXPECT_EQ(main.listBack, 0xC0FFFF);
  EXPECT_TRUE(input.calls.isEmpty());
}

TEST_F(SettingsScreen, DefaultsWithInputScreenOpenRelayOutBothWindowsOnce) {
  openInputScreen();
  m.BackColors[1] = 0xFFFFFF;
  Form4& f = open();
  click(f.Command3);
  EXPECT_EQ(input.calls, (QStringList{u"font 9"_s, u"width 5076 edits 0"_s,
                                      u"height 4860 edits 1"_s, u"colors"_s}));
  EXPECT_EQ(input.boxBack, 0xC0FFFF);
  EXPECT_EQ(main.calls.last(), u"refresh"_s);
  EXPECT_FALSE(f.isVisible());
}

TEST_F(SettingsScreen, OkF4AndTheCloseBoxCloseWithoutFurtherAction) {
  Form4& f = open();
  QTest::keyClick(&f, Qt::Key_F3);
  QTest::keyClick(f.Text1, Qt::Key_F5);
  EXPECT_TRUE(f.isVisible());
  QTest::keyClick(f.Text2, Qt::Key_F4);
  EXPECT_FALSE(f.isVisible());
  click(open().Command5);
  EXPECT_FALSE(form->isVisible());
  open().close();
  EXPECT_FALSE(form->isVisible());
  EXPECT_TRUE(main.calls.isEmpty());
}

// ---------------------------------------------------------------------------
// Version panel

TEST_F(SettingsScreen, VersionPanelShowsVersionAndLaunchCount) {
  Form4& f = open();
  click(f.Command4);
  EXPECT_FALSE(f.Frame1->isVisible());
  EXPECT_TRUE(f.Label11->isVisible());
  EXPECT_EQ(f.Label11->text(), u"バージョン：1.06"_s);
  EXPECT_EQ(f.Label6[16]->text(), u"起動回数：1"_s);
  m.LaunchCount = 1234;
  click(f.Command4);
  EXPECT_EQ(f.Label6[16]->text(), u"起動回数：1234"_s);
  EXPECT_EQ(Form4::versionCaption(2, 1, 10), u"バージョン：2.110"_s);
}

// ---------------------------------------------------------------------------
// Re-ordering from the screen

class Reordering : public SettingsScreen {
 protected:
  void makeFolder(const QStringList& records) {
    folder = tp.makeFolder(u"山田"_s, test::TempProgram::cp932Lines(
                                          QStringList{kIndexComment1, kIndexComment2} + records));
    m.CurrentFolder = folder;
    m.IndexFilePath = m.indexPathFor(folder);
    main.chooser.items << u"山田"_s;
    main.chooser.setText(u"山田"_s);
    m.CurrentIndex = 2;
    m.PersonCount = 1;  // stale: every record line must still survive
  }
  void pick(int option) {
    QRadioButton* o = form->Option2[option];
    QTest::mouseClick(o, Qt::LeftButton, {}, QPoint(8, o->height() / 2));
  }
  QByteArray indexBytes() const { return tp.readBytes(folder + u'/' + kIndexFileName); }
  QString folder;
};

TEST_F(Reordering, ByTerritoryRewritesTheFileAndReopensTheFolderAtTheTop) {
  const QStringList lines = {u"12*a*************"_s, u"3*b*************"_s, u"東*c*************"_s,
                             u"*d*************"_s};
  makeFolder(lines);
  open();
  pick(3);
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(m.SortKind, 3);
  EXPECT_EQ(indexBytes(), test::TempProgram::cp932Lines({kIndexComment1, kIndexComment2, lines[3],
                                                         lines[2], lines[1], lines[0]}));
  EXPECT_EQ(std::tuple(m.CurrentIndex, m.PersonCount), std::tuple(0, 4));
  EXPECT_TRUE(main.calls.contains(u"draw"_s));
  EXPECT_TRUE(shell.messages.isEmpty());
}

TEST_F(Reordering, ByThisMonthWithInputScreenOpenRefillsItsNames) {
  openInputScreen();
  m.CurrentMonth = 2;
  const QStringList lines = {u"*a**5***********"_s, u"*b*************"_s, u"*c**1***********"_s};
  makeFolder(lines);
  input.chooser.items << u"山田"_s;
  input.chooser.setText(u"山田"_s);
  open();
  pick(5);
  EXPECT_EQ(indexBytes(), test::TempProgram::cp932Lines(
                              {kIndexComment1, kIndexComment2, lines[1], lines[2], lines[0]}));
  EXPECT_EQ(input.names, (QStringList{u"b"_s, u"c"_s, u"a"_s}));
  EXPECT_EQ(input.selected, 0);
}

TEST_F(Reordering, UnreadableIndexIsReportedAndNothingMoves) {
  folder = tp.makeFolder(u"壊"_s);
  tp.makeFolder(u"壊/"_s + kIndexFileName);  // a folder where the file should be
  m.CurrentFolder = folder;
  m.CurrentIndex = 3;
  open();
  pick(4);
  EXPECT_FALSE(form->isVisible());
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages.first().title, u"読み込めません"_s);
  EXPECT_EQ(m.CurrentIndex, 3);
  EXPECT_FALSE(main.calls.contains(u"draw"_s));
}
