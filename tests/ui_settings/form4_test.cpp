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

// Records each resize with the flags that must hold at that moment, and the colours each
// recolouring finds.
template <class Base>
class Watched : public Base {
 public:
  explicit Watched(Module1& m) : m(m) {}
  void setWidthTwips(int t) override {
    Base::setWidthTwips(t);
    this->calls << u"width %1 phase %2 edits %3"_s.arg(t).arg(m.LoadPhase).arg(m.EditsEnabled);
  }
  void setHeightTwips(int t) override {
    Base::setHeightTwips(t);
    this->calls << u"height %1 phase %2 edits %3"_s.arg(t).arg(m.LoadPhase).arg(m.EditsEnabled);
  }
  void applyColors() override {
    Base::applyColors();
    back = m.BackColors;
    text = m.TextColors;
  }
  Module1& m;
  std::array<qint32, 3> back{}, text{};
};

class SettingsScreen : public ::testing::Test {
 protected:
  SettingsScreen() : m(*tp.m), main(m), input(m) {
    m.ApplyDefaults();
    m.shell = &shell;
    m.mainWindow = &main;
    m.LoadPhase = 2;
    m.EditsEnabled = true;
    m.LaunchCount = 1;
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
  // Replaces a box's text as a user does; Japanese text arrives committed by the input method.
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
  static QColor background(QWidget* w) { return w->palette().color(w->backgroundRole()); }

  test::TempProgram tp;
  Module1& m;
  test::FakeShell shell;
  Watched<test::FakeMainWindow> main;
  Watched<test::FakeInputScreen> input;
  std::unique_ptr<Form4> form;
};

const QStringList kRedraw = {u"clear"_s, u"refresh"_s};

}  // namespace

TEST_F(SettingsScreen, OpensWithTheStoredValuesAndOnlyAChosenSpanRedraws) {
  m.RowHeight = 14;
  m.NoteFontSize = 12;
  m.DisplaySpan = 2;
  m.MainLeft = 1500;
  m.MainTop = 3000;
  Form4& f = open();
  EXPECT_EQ(f.pos(), QPoint(twipsToPx(1500), twipsToPx(3000)));
  EXPECT_EQ(std::tuple(f.Text1->text(), f.Text2->text(), f.Combo6->currentIndex()),
            std::tuple(u"14"_s, u"12"_s, 2));
  EXPECT_TRUE(main.calls.isEmpty()) << main.calls.join(u", "_s).toStdString();
  choose(f.Combo6, 1);
  EXPECT_EQ(m.DisplaySpan, 1);
  EXPECT_EQ(main.calls, kRedraw);

  // A span outside the list sets no choice, so the user's first one must not be swallowed.
  m.DisplaySpan = 7;
  main.calls.clear();
  choose(open().Combo6, 0);
  EXPECT_EQ(m.DisplaySpan, 0);
  EXPECT_EQ(main.calls, kRedraw);
}

TEST_F(SettingsScreen, SwatchesRecolourEveryOpenWindowAndMarkersFollowThePalette) {
  m.TextColors[1] = 0x123456;  // outside the palette
  openInputScreen();
  Form4& f = open();
  EXPECT_EQ(f.Shape1->x(), f.Label6[0]->x());   // black list text
  EXPECT_EQ(f.Shape2->x(), f.Label6[10]->x());  // pale green window
  choose(f.Combo1, 1);
  EXPECT_FALSE(f.Shape1->isVisible());
  click(f.Label6[2]);
  EXPECT_EQ(input.text[1], 0x008000);
  EXPECT_FALSE(f.Shape1->isVisible());  // only choosing the entry shows it again
  choose(f.Combo1, 0);
  choose(f.Combo1, 1);
  EXPECT_TRUE(f.Shape1->isVisible());
  EXPECT_EQ(f.Shape1->x(), f.Label6[2]->x());

  main.calls.clear();
  choose(f.Combo2, 1);  // the list's background
  click(f.Label6[9]);
  EXPECT_EQ(std::tuple(main.back[1], input.back[1]), std::tuple(0xFFC0C0, 0xFFC0C0));
  EXPECT_EQ(f.Shape2->x(), f.Label6[9]->x());
  EXPECT_EQ(main.calls, (QStringList{u"colors"_s, u"refresh"_s}));

  choose(f.Combo2, 2);  // buttons, then this window
  click(f.Label6[14]);
  choose(f.Combo2, 0);
  click(f.Label6[15]);
  EXPECT_EQ(std::tuple(background(f.Command7), background(f.Frame1), background(f.Option2[5])),
            std::tuple(fromBgr(0xFFFFC0), QColor(Qt::white), QColor(Qt::white)));

  m.InputScreenOpen = false;
  input.calls.clear();
  choose(f.Combo1, 0);
  click(f.Label6[6]);
  EXPECT_EQ(main.text[0], 0xC00000);
  EXPECT_TRUE(input.calls.isEmpty());
}

TEST_F(SettingsScreen, RowHeightTypedOrSteppedIsClampedAndRoundedHalfToEven) {
  Form4& f = open();
  f.Command1->setFocus();  // Enter in the box must not press it
  enum { kNone, kRefresh, kClearRefresh };
  const QStringList redraws[] = {{}, {u"refresh"_s}, kRedraw};
  const struct {
    int before;  // 0: as left by the row above
    QString typed;
    QPushButton* Form4::*button;  // null: Enter in the box
    int stored;
    QString shown;
    int redraw;
  } cases[] = {
      {0, u"25"_s, nullptr, 20, u"20"_s, kClearRefresh},
      {0, u"0"_s, nullptr, 1, u"1"_s, kClearRefresh},
      {0, u"7.5"_s, nullptr, 8, u"7.5"_s, kClearRefresh},
      {0, u"6.5"_s, nullptr, 6, u"6.5"_s, kClearRefresh},
      {0, u" 12 "_s, nullptr, 12, u" 12 "_s, kClearRefresh},
      {0, u"20.4"_s, nullptr, 20, u"20"_s, kClearRefresh},
      {0, u"1.4"_s, nullptr, 1, u"1.4"_s, kClearRefresh},
      {0, u"１５"_s, nullptr, 15, u"１５"_s, kClearRefresh},
      {0, u"abc"_s, nullptr, 15, u"15"_s, kNone},
      // A step moves the box from its text ("10" for a non-number), the value from its own;
      // only smaller rows need the list cleared first.
      {5, u"abc"_s, &Form4::Command2, 6, u"11"_s, kRefresh},
      {10, u"7.5"_s, &Form4::Command1, 9, u"6.5"_s, kClearRefresh},
      {20, {}, &Form4::Command2, 20, u"20"_s, kRefresh},
      {1, {}, &Form4::Command1, 1, u"1"_s, kClearRefresh},
  };
  for (const auto& c : cases) {
    main.calls.clear();
    if (c.before) m.RowHeight = qint16(c.before);
    if (!c.typed.isEmpty()) type(f.Text1, c.typed);
    c.button ? click(f.*c.button) : enter(f.Text1);
    EXPECT_EQ(std::tuple(int(m.RowHeight), f.Text1->text(), main.calls),
              std::tuple(c.stored, c.shown, redraws[c.redraw]))
        << c.typed.toStdString();
  }
  EXPECT_TRUE(f.isVisible());
}

TEST_F(SettingsScreen, NoteFontSizeReachesOnlyAnOpenInputScreenScaledToItsHeight) {
  m.inputScreen = &input;  // loaded but closed
  Form4& f = open();
  type(f.Text2, u"15"_s);
  click(f.Command6);
  EXPECT_EQ(std::tuple(m.NoteFontSize, f.Text2->text()), std::tuple(10, u"16"_s));
  EXPECT_TRUE(input.calls.isEmpty());

  openInputScreen();
  type(f.Text2, u"6.5"_s);
  enter(f.Text2);
  EXPECT_EQ(std::tuple(m.NoteFontSize, input.noteFont, input.nameListHeight),
            std::tuple(6, 6.0, 3948.0));
  input.innerHeight = 9168;  // twice the design height
  click(f.Command7);
  EXPECT_EQ(std::tuple(m.NoteFontSize, input.noteFont, input.nameListHeight),
            std::tuple(5, 10.0, 7896.0));
  type(f.Text2, u"x"_s);
  enter(f.Text2);
  EXPECT_EQ(std::tuple(f.Text2->text(), input.noteFont), std::tuple(u"5"_s, 10.0));
}

TEST_F(SettingsScreen, DefaultsRelayOutEachOpenWindowOnceAndKeepWhatIsNotAppearance) {
  m.inputScreen = &input;
  for (bool inputOpen : {false, true}) {
    SCOPED_TRACE(inputOpen ? "input screen open" : "input screen closed");
    m.RowHeight = m.NoteFontSize = 3;
    m.TerritoryColumnWidth = m.NameColumnWidth = m.MonthColumnWidth = 16;
    m.MainWidth = m.MainHeight = m.InputWidth = m.InputHeight = 9000;
    m.DisplaySpan = 1;
    m.BackColors = {0xFFFFFF, 0, 0};
    m.TextColors = {0xC00000, 0x800080, 0x123};
    m.InputLeft = 777;  // not appearance: kept, like the order and the launch count
    m.SortKind = 5;
    m.LaunchCount = 42;
    m.InputScreenOpen = inputOpen;
    main.calls.clear();
    input.calls.clear();
    click(open().Command3);

    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(std::tuple(m.RowHeight, m.NoteFontSize, m.TerritoryColumnWidth, m.NameColumnWidth,
                         m.MonthColumnWidth, m.DisplaySpan, m.TextColors[0], m.TextColors[1]),
              std::tuple(10, 9, 15, 37, 9, 0, 0, 0));
    EXPECT_EQ(m.BackColors, (std::array<qint32, 3>{0xC0FFC0, 0xC0FFFF, 0xFFC0C0}));
    EXPECT_EQ(std::tuple(m.MainWidth, m.MainHeight, m.InputWidth, m.InputHeight, m.InputLeft,
                         m.SortKind, m.LaunchCount),
              std::tuple(5220, 4848, 5076, 4860, 777, 5, 42));
    EXPECT_EQ(main.calls,
              (QStringList{u"width 5220 phase 1 edits 1"_s, u"height 4848 phase 0 edits 1"_s,
                           u"colors"_s, u"refresh"_s}));
    EXPECT_EQ(main.back[1], 0xC0FFFF);
    const QStringList inputCalls = {u"width 5076 phase 0 edits 0"_s,
                                    u"height 4860 phase 0 edits 1"_s, u"colors"_s};
    EXPECT_EQ(input.calls, inputOpen ? inputCalls : QStringList{});
    EXPECT_EQ(std::tuple(input.noteFont, input.back[1]),
              inputOpen ? std::tuple(9.0, 0xC0FFFF) : std::tuple(0.0, 0));
  }
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

TEST_F(SettingsScreen, VersionPanelShowsVersionAndLaunchCount) {
  m.LaunchCount = 1234;
  Form4& f = open();
  click(f.Command4);
  EXPECT_TRUE(f.Label11->isVisible() && !f.Frame1->isVisible());
  EXPECT_EQ(f.Label11->text(), u"バージョン：1.06"_s);
  EXPECT_EQ(f.Label6[16]->text(), u"起動回数：1234"_s);
  EXPECT_EQ(Form4::versionCaption(2, 1, 10), u"バージョン：2.110"_s);
}

// ---------------------------------------------------------------------------
// Re-ordering from the screen

class Reordering : public SettingsScreen {
 protected:
  void pick(int option) {
    QRadioButton* o = open().Option2[option];
    QTest::mouseClick(o, Qt::LeftButton, {}, QPoint(8, o->height() / 2));
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(m.SortKind, option);
  }
  static QByteArray withComments(const QStringList& records) {
    return test::TempProgram::cp932Lines(QStringList{kIndexComment1, kIndexComment2} + records);
  }
};

TEST_F(Reordering, RewritesTheFileAndReopensTheFolderAtTheTop) {
  openInputScreen();
  m.CurrentMonth = 2;
  const QStringList lines = {u"1*a**5***********"_s, u"9*b*************"_s, u"5*c**1***********"_s};
  m.CurrentFolder = tp.makeFolder(u"山田"_s, withComments(lines));
  const QString index = m.CurrentFolder + u'/' + kIndexFileName;
  for (test::FakeChooser* c : {&main.chooser, &input.chooser}) {
    c->items << u"山田"_s;
    c->setText(u"山田"_s);
  }
  m.CurrentIndex = 2;
  m.PersonCount = 1;  // stale: every record line must still survive
  pick(5);
  EXPECT_EQ(tp.readBytes(index), withComments({lines[1], lines[2], lines[0]}));
  EXPECT_EQ(std::tuple(m.CurrentIndex, m.PersonCount), std::tuple(0, 3));
  EXPECT_TRUE(main.calls.contains(u"draw"_s));
  EXPECT_EQ(input.names, (QStringList{u"b"_s, u"c"_s, u"a"_s}));
  EXPECT_EQ(input.selected, 0);
  pick(3);
  EXPECT_EQ(tp.readBytes(index), withComments({lines[0], lines[2], lines[1]}));
  EXPECT_TRUE(shell.messages.isEmpty());
}

TEST_F(Reordering, UnreadableIndexIsReportedAndNothingMoves) {
  m.CurrentFolder = tp.makeFolder(u"壊"_s);
  tp.makeFolder(u"壊/"_s + kIndexFileName);  // a folder where the file should be
  m.CurrentIndex = 3;
  pick(4);
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages.first().title, u"読み込めません"_s);
  EXPECT_EQ(m.CurrentIndex, 3);
  EXPECT_FALSE(main.calls.contains(u"draw"_s));
}
