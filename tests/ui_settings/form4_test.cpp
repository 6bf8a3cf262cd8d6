// The settings screen driven through its real widgets, with fakes for the other windows.
#include <gtest/gtest.h>

#include <QTest>
#include <QtWidgets>

#include "support/fakes.h"
#include "support/temp_program.h"
#include "ui/common/twips.h"
#include "ui/main/form1.h"
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
  void setWidthTwips(int t) override { Base::setWidthTwips(note(u"width"_s, t)); }
  void setHeightTwips(int t) override { Base::setHeightTwips(note(u"height"_s, t)); }
  int note(const QString& what, int t) {
    this->calls
        << u"%1 %2 phase %3 edits %4"_s.arg(what).arg(t).arg(m.LoadPhase).arg(m.EditsEnabled);
    return t;
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
    m.inputScreen = &input;  // loaded; InputScreenOpen says whether it is shown
    m.LoadPhase = 2;
    m.EditsEnabled = true;
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
  // The calls a fake window saw since the last look.
  static QString take(QStringList& calls) { return std::exchange(calls, {}).join(u", "_s); }
  bool marks(MarkerShape* shape, int swatch) {
    return shape->isVisible() && shape->x() == form->Label6[swatch]->x();
  }
  void pick(int option) {  // a re-ordering option, clicked on its round button
    QRadioButton* o = open().Option2[option];
    QTest::mouseClick(o, Qt::LeftButton, {}, QPoint(8, o->height() / 2));
    EXPECT_EQ(std::tuple(form->isVisible(), m.SortKind), std::tuple(false, option));
  }

  test::TempProgram tp;
  Module1& m;
  test::FakeShell shell;
  Watched<test::FakeMainWindow> main;
  Watched<test::FakeInputScreen> input;
  std::unique_ptr<Form4> form;
};

const QString kRedraw = u"clear, refresh"_s;

}  // namespace

TEST_F(SettingsScreen, OpensWithTheStoredValuesAndOnlyAChosenSpanRedraws) {
  m.RowHeight = 14;
  m.NoteFontSize = 12;
  m.DisplaySpan = 2;
  m.MainLeft = 1500;
  m.MainTop = 3000;
  Form4& f = open();
  EXPECT_EQ(std::tuple(f.pos(), f.Text1->text(), f.Text2->text(), f.Combo6->currentIndex(),
                       take(main.calls)),
            std::tuple(QPoint(twipsToPx(1500), twipsToPx(3000)), u"14"_s, u"12"_s, 2, u""_s));
  choose(f.Combo6, 1);
  EXPECT_EQ(std::tuple(m.DisplaySpan, take(main.calls)), std::tuple(1, kRedraw));

  // A span outside the list sets no choice, so the user's first one must not be swallowed.
  m.DisplaySpan = 7;
  m.MainLeft = 32767;  // the screen stays whole on the screen all the same
  choose(open().Combo6, 0);
  EXPECT_TRUE(form->screen()->availableGeometry().contains(form->frameGeometry()));
  EXPECT_EQ(std::tuple(m.DisplaySpan, take(main.calls)), std::tuple(0, kRedraw));
}

TEST_F(SettingsScreen, SwatchesRecolourEveryOpenWindowAndMarkersFollowThePalette) {
  m.TextColors[1] = 0x123456;  // outside the palette
  m.InputScreenOpen = true;
  Form4& f = open();
  EXPECT_TRUE(marks(f.Shape1, 0) && marks(f.Shape2, 10));  // black list text, pale green window
  choose(f.Combo1, 1);
  EXPECT_FALSE(f.Shape1->isVisible());
  click(f.Label6[2]);  // the marker stays hidden: only choosing the entry shows it again
  EXPECT_EQ(std::tuple(input.text[1], take(main.calls), f.Shape1->isVisible()),
            std::tuple(0x008000, u"colors, clear, refresh"_s, false));
  choose(f.Combo1, 0);
  choose(f.Combo1, 1);
  EXPECT_TRUE(marks(f.Shape1, 2));

  choose(f.Combo2, 1);  // the list's background
  click(f.Label6[9]);
  EXPECT_EQ(std::tuple(main.back[1], input.back[1], take(main.calls), marks(f.Shape2, 9)),
            std::tuple(0xFFC0C0, 0xFFC0C0, u"colors, clear, refresh"_s, true));

  choose(f.Combo2, 2);  // buttons, then this window
  click(f.Label6[14]);
  choose(f.Combo2, 0);
  click(f.Label6[15]);
  auto background = [](QWidget* w) { return w->palette().color(w->backgroundRole()); };
  EXPECT_EQ(std::tuple(background(f.Command7), background(f.Frame1), background(f.Option2[5])),
            std::tuple(fromBgr(0xFFFFC0), QColor(Qt::white), QColor(Qt::white)));

  m.InputScreenOpen = false;
  choose(f.Combo1, 0);
  click(f.Label6[6]);
  EXPECT_EQ(std::tuple(main.text[0], input.text[0]), std::tuple(0xC00000, 0));
}

TEST_F(SettingsScreen, RowHeightTypedOrSteppedIsClampedAndRoundedHalfToEven) {
  Form4& f = open();
  f.Command1->setFocus();  // Enter in the box must not press it
  // A step (last four rows) moves the box from its text ("10" for a non-number), the value from
  // its own; only smaller rows need the list cleared first.
  const struct {
    qint16 before;  // 0: as left by the row above
    QStringView typed;
    char press;  // '+' or '-': a stepper; otherwise Enter in the box
    int stored;
    QStringView shown, redraw;
  } cases[] = {{0, u"25", 0, 20, u"20", kRedraw},     {0, u"0", 0, 1, u"1", kRedraw},
               {0, u"7.5", 0, 8, u"7.5", kRedraw},    {0, u"6.5", 0, 6, u"6.5", kRedraw},
               {0, u" 12 ", 0, 12, u" 12 ", kRedraw}, {0, u"20.4", 0, 20, u"20", kRedraw},
               {0, u"1.4", 0, 1, u"1.4", kRedraw},    {0, u"１５", 0, 15, u"１５", kRedraw},
               {0, u"abc", 0, 15, u"15", u""},        {5, u"abc", '+', 6, u"11", u"refresh"},
               {10, u"7.5", '-', 9, u"6.5", kRedraw}, {20, {}, '+', 20, u"20", u"refresh"},
               {1, {}, '-', 1, u"1", kRedraw}};
  for (const auto& c : cases) {
    if (c.before) m.RowHeight = c.before;
    if (!c.typed.isEmpty()) type(f.Text1, c.typed.toString());
    c.press ? click(c.press == '+' ? f.Command2 : f.Command1) : enter(f.Text1);
    EXPECT_EQ(std::tuple(int(m.RowHeight), f.Text1->text(), take(main.calls)),
              std::tuple(c.stored, c.shown.toString(), c.redraw.toString()))
        << c.typed.toString().toStdString();
  }
  EXPECT_TRUE(f.isVisible());
}

TEST_F(SettingsScreen, NoteFontSizeReachesOnlyAnOpenInputScreenScaledToItsHeight) {
  Form4& f = open();
  type(f.Text2, u"15"_s);
  click(f.Command6);
  EXPECT_EQ(std::tuple(m.NoteFontSize, f.Text2->text(), input.noteFont, input.nameListHeight),
            std::tuple(10, u"16"_s, 0.0, 0.0));

  m.InputScreenOpen = true;
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
  for (bool inputOpen : {false, true}) {
    SCOPED_TRACE(inputOpen ? "input screen open" : "input screen closed");
    m.RowHeight = m.NoteFontSize = m.DisplaySpan = 1;
    m.TerritoryColumnWidth = m.NameColumnWidth = m.MonthColumnWidth = 16;
    m.MainWidth = m.MainHeight = m.InputWidth = m.InputHeight = 9000;
    m.BackColors = m.TextColors = {0xFFFFFF, 0x800080, 0};
    m.InputLeft = m.SortKind = m.LaunchCount = 5;  // not appearance: kept
    m.InputScreenOpen = inputOpen;
    click(open().Command3);

    EXPECT_EQ(std::tuple(m.RowHeight, m.NoteFontSize, m.TerritoryColumnWidth, m.NameColumnWidth,
                         m.MonthColumnWidth, m.DisplaySpan, m.TextColors, m.BackColors),
              std::tuple(10, 9, 15, 37, 9, 0, std::array<qint32, 3>{},
                         std::array<qint32, 3>{0xC0FFC0, 0xC0FFFF, 0xFFC0C0}));
    EXPECT_EQ(std::tuple(m.MainWidth, m.MainHeight, m.InputWidth, m.InputHeight, m.InputLeft,
                         m.SortKind, m.LaunchCount, form->isVisible(), main.back[1]),
              std::tuple(5220, 4848, 5076, 4860, 5, 5, 5, false, 0xC0FFFF));
    EXPECT_EQ(take(main.calls),
              u"width 5220 phase 1 edits 1, height 4848 phase 0 edits 1, colors, clear, refresh"_s);
    const QString relaid = u"width 5076 phase 0 edits 0, height 4860 phase 0 edits 1, colors"_s;
    EXPECT_EQ(std::tuple(take(input.calls), input.noteFont, input.back[1]),
              inputOpen ? std::tuple(relaid, 9.0, 0xC0FFFF) : std::tuple(QString(), 0.0, 0));
  }
}

TEST_F(SettingsScreen, VersionPanelCaptionsThenOkF4EscAndTheCloseBoxCloseWithoutFurtherAction) {
  m.LaunchCount = 1234;
  click(open().Command4);
  EXPECT_EQ(std::tuple(form->Label11->isVisible(), form->Frame1->isVisible(), form->Label11->text(),
                       form->Label6[16]->text()),
            std::tuple(true, false, u"バージョン：1.06"_s, u"起動回数：1234"_s));
  EXPECT_EQ(Form4::versionCaption(2, 1, 10), u"バージョン：2.110"_s);

  QTest::keyClick(&open(), Qt::Key_F3);
  EXPECT_TRUE(form->isVisible());
  QTest::keyClick(form->Text2, Qt::Key_F4);
  EXPECT_FALSE(form->isVisible());
  open().Combo6->showPopup();
  // The press closes the list; the release then comes to the chooser, and must not close.
  QTest::keyPress(form->Combo6->view(), Qt::Key_Escape);
  QTest::keyRelease(form->Combo6, Qt::Key_Escape);
  EXPECT_TRUE(form->isVisible() && !form->Combo6->view()->isVisible());
  QTest::keyClick(form->Combo6, Qt::Key_Escape);  // as F4 does
  EXPECT_EQ(std::tuple(form->isVisible(), form->result()),
            std::tuple(false, int(QDialog::Accepted)));
  click(open().Command5);
  EXPECT_FALSE(form->isVisible());
  open().close();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(take(main.calls), u""_s);
}

TEST_F(SettingsScreen, ReorderingRewritesTheFileAndReopensTheFolderAtTheTop) {
  auto withComments = [](const QStringList& records) {
    return test::TempProgram::cp932Lines(QStringList{kIndexComment1, kIndexComment2} + records);
  };
  m.InputScreenOpen = true;
  m.CurrentMonth = 2;
  const QStringList lines = {u"1*a**5***********"_s, u"9*b*************"_s, u"5*c**1***********"_s};
  m.CurrentFolder = tp.makeFolder(u"山田"_s, withComments(lines));
  const QString index = m.CurrentFolder + u'/' + kIndexFileName;
  input.chooser.items << u"山田"_s;
  input.chooser.setText(u"山田"_s);
  m.CurrentIndex = 2;
  m.PersonCount = 1;  // stale: every record line must still survive
  pick(5);
  EXPECT_EQ(tp.readBytes(index), withComments({lines[1], lines[2], lines[0]}));
  EXPECT_EQ(std::tuple(m.CurrentIndex, m.PersonCount, main.calls.contains(u"draw"_s), input.names,
                       input.selected),
            std::tuple(0, 3, true, QStringList{u"b"_s, u"c"_s, u"a"_s}, 0));
  pick(3);
  EXPECT_EQ(tp.readBytes(index), withComments({lines[0], lines[2], lines[1]}));

  // An unreadable index (a folder where the file should be) is reported and nothing moves.
  m.CurrentFolder = tp.makeFolder(u"壊"_s);
  tp.makeFolder(u"壊/"_s + kIndexFileName);
  m.CurrentIndex = 3;
  main.calls.clear();
  pick(4);
  EXPECT_EQ(std::tuple(shell.messages.size(), shell.messages.value(0).title, m.CurrentIndex,
                       main.calls.contains(u"draw"_s)),
            std::tuple(1, u"読み込めません"_s, 3, false));
}

TEST_F(SettingsScreen, ChoosersShowTheirLongestEntryWholeBesideTheSwatches) {
  Form4& f = open();
  for (QComboBox* combo : {f.Combo1, f.Combo2, f.Combo6}) {
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);  // the width its entries need
    EXPECT_GE(combo->width(), combo->sizeHint().width()) << combo->itemText(0).toStdString();
  }
  EXPECT_LT(f.Combo1->geometry().right(), f.Label6[0]->x());
  EXPECT_LT(f.Combo2->geometry().right(), f.Label6[8]->x());
}

// With the real main window: the list has one colour from top to bottom after recolouring.
TEST(SettingsWithTheMainWindow, RecolouringClearsTheWholeListInTheNewColour) {
  test::TempProgram tp;
  Module1& m = *tp.m;
  test::FakeShell shell;
  m.shell = &shell;
  tp.makeFolder(u"太郎"_s, test::TempProgram::cp932Lines(
                               {kIndexComment1, kIndexComment2, u"北*山田*************"_s}));
  tp.writeBytes(kSettingsFileName,
                test::TempProgram::cp932Lines({u"s201=%太郎"_s, u"L108(1)=255"_s}));  // red
  Form1 main(m);
  main.Form_Load();
  main.show();
  auto belowTheRows = [&] {  // a month cell of row 20, the one person being row 1
    const QImage img = main.Picture1->surface().image();
    return QColor(img.pixel(img.width() * 100 / 160, img.height() * 205 / 260));
  };
  ASSERT_EQ(belowTheRows(), QColor(Qt::red));
  Form4 swatches(m);
  swatches.show();
  QTest::keyClick(swatches.Combo2, Qt::Key_Down);  // the list's background
  QTest::mouseClick(swatches.Label6[9], Qt::LeftButton);
  EXPECT_EQ(belowTheRows(), fromBgr(0xFFC0C0));
  Form4 defaults(m);
  defaults.show();
  QTest::mouseClick(defaults.Command3, Qt::LeftButton);
  EXPECT_EQ(belowTheRows(), fromBgr(0xC0FFFF));
}
