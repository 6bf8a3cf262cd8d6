// The settings screen driven through its real widgets, with fakes for the other windows.
#include <gtest/gtest.h>

#include <QTest>
#include <QtWidgets>
#include <functional>

#include "support/temp_program.h"
#include "support/windows.h"
#include "ui/common/twips.h"
#include "ui/settings/form4.h"
#include "ui/settings/new_year_dialog.h"

using namespace Qt::Literals::StringLiterals;
using namespace velnor;

namespace {

class SettingsScreen : public ::testing::Test {
 protected:
  SettingsScreen() : m(*tp.m) {
    m.ApplyDefaults();
    m.mainWindow = &main;
    m.inputScreen = &input;  // loaded; InputScreenOpen says whether it is shown
    m.LoadPhase = kLoadDone;
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
  // Whether the main list was cleared, and redrawn, since the last look.
  bool cleared() const { return main.calls.contains(u"clear"_s); }
  bool redrawn() { return std::exchange(main.calls, {}).contains(u"refresh"_s); }
  bool marks(MarkerShape* shape, int swatch) {
    return shape->isVisible() && shape->x() == form->Label6[swatch]->x();
  }
  void pick(int option) {  // a re-ordering option, clicked on its round button
    QRadioButton* o = open().Option2[option];
    QTest::mouseClick(o, Qt::LeftButton, {}, QPoint(8, o->height() / 2));
  }

  test::TempProgram tp;
  Module1& m;
  test::FakeShell& shell = tp.shell;
  test::FakeMainWindow main;
  test::FakeInputScreen input;
  std::unique_ptr<Form4> form;
};

// A span outside the list sets no choice, so the user's first one must not be swallowed.
TEST_F(SettingsScreen, AChosenSpanRedrawsTheListEvenAfterAStoredOneOutsideIt) {
  for (const auto& [stored, chosen] : {std::pair{0, 1}, {7, 0}}) {
    m.DisplaySpan = qint16(stored);
    choose(open().Combo6, chosen);
    EXPECT_EQ(m.DisplaySpan, chosen);
    EXPECT_TRUE(redrawn()) << stored;
  }
}

// The input text's swatch recolours the input screen only while it is open, and the list;
// the list background's redraws the list and moves the marker.
TEST_F(SettingsScreen, TheSwatchesRecolourTheListTheOpenInputScreenAndThisScreen) {
  Form4& f = open();
  click(f.Label6[6]);
  EXPECT_EQ(m.TextColors[0], 0xC00000);
  EXPECT_FALSE(input.calls.contains(u"colors"_s));
  m.InputScreenOpen = true;
  choose(f.Combo1, 1);
  click(f.Label6[2]);
  EXPECT_EQ(m.TextColors[1], 0x008000);
  EXPECT_TRUE(input.calls.contains(u"colors"_s));
  EXPECT_TRUE(main.calls.contains(u"colors"_s));
  EXPECT_TRUE(redrawn());
  choose(f.Combo2, 1);
  click(f.Label6[9]);
  EXPECT_EQ(m.BackColors[1], 0xFFC0C0);
  EXPECT_TRUE(redrawn());
  EXPECT_TRUE(marks(f.Shape2, 9));
  choose(f.Combo2, 2);  // buttons, then this window: this screen takes them at once
  click(f.Label6[14]);
  choose(f.Combo2, 0);
  click(f.Label6[15]);
  auto background = [](QWidget* w) { return w->palette().color(w->backgroundRole()); };
  EXPECT_EQ(background(f.Command7), fromBgr(0xFFFFC0));
  EXPECT_EQ(background(f.Frame1), QColor(Qt::white));
  EXPECT_EQ(background(f.Option2[5]), QColor(Qt::white));
}

// A step (last four rows) moves the box from its text ("10" for a non-number), the value from
// its own; only smaller rows need the list cleared first.
TEST_F(SettingsScreen, RowHeightTypedOrSteppedIsClampedAndRoundedHalfToEven) {
  Form4& f = open();
  f.Command1->setFocus();  // Enter in the box must not press it
  const struct {
    qint16 before;  // 0: as left by the row above
    QStringView typed;
    char press;  // '+' or '-': a stepper; otherwise Enter in the box
    int stored;
    QStringView shown;
    bool cleared, redrawn;
  } cases[] = {{0, u"25", 0, 20, u"20", true, true},     {0, u"0", 0, 1, u"1", true, true},
               {0, u"7.5", 0, 8, u"7.5", true, true},    {0, u"6.5", 0, 6, u"6.5", true, true},
               {0, u" 12 ", 0, 12, u" 12 ", true, true}, {0, u"20.4", 0, 20, u"20", true, true},
               {0, u"1.4", 0, 1, u"1.4", true, true},    {0, u"１５", 0, 15, u"１５", true, true},
               {0, u"abc", 0, 15, u"15", false, false},  {5, u"abc", '+', 6, u"11", false, true},
               {10, u"7.5", '-', 9, u"6.5", true, true}, {20, {}, '+', 20, u"20", false, true},
               {1, {}, '-', 1, u"1", true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed.toString().toStdString() + c.press);
    if (c.before) m.RowHeight = c.before;
    if (!c.typed.isEmpty()) type(f.Text1, c.typed.toString());
    c.press ? click(c.press == '+' ? f.Command2 : f.Command1) : enter(f.Text1);
    EXPECT_EQ(m.RowHeight, c.stored);
    EXPECT_EQ(f.Text1->text(), c.shown.toString());
    EXPECT_EQ(cleared(), c.cleared);
    EXPECT_EQ(redrawn(), c.redrawn);
  }
  EXPECT_TRUE(f.isVisible());
}

// A step moves the box from its text, the size from its own; only an open input screen gets
// the size, scaled to its height, and its name list's height.
TEST_F(SettingsScreen, NoteSizeTypedOrSteppedReachesOnlyAnOpenInputScreen) {
  const struct {
    bool open;
    int innerHeight;
    QStringView typed;
    QPushButton* Form4::*press;  // null: Enter in the box
    qint16 stored;
    QStringView shown;
    double font, nameList;  // what the input screen got; 0: nothing
  } cases[] = {{false, 4584, u"15", &Form4::Command6, 10, u"16", 0, 0},
               {false, 4584, u"15", nullptr, 15, u"15", 0, 0},
               {true, 4584, u"6.5", nullptr, 6, u"6.5", 6, 3948},
               {true, 9168, {}, &Form4::Command7, 8, u"8", 16, 7896},
               {true, 4584, u"x", nullptr, 9, u"9", 0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed.toString().toStdString());
    m.NoteFontSize = 9;
    m.InputScreenOpen = c.open;
    input.innerHeight = c.innerHeight;
    input.noteFont = input.nameListHeight = 0;
    Form4& f = open();
    if (!c.typed.isEmpty()) type(f.Text2, c.typed.toString());
    c.press ? click(f.*c.press) : enter(f.Text2);
    EXPECT_EQ(m.NoteFontSize, c.stored);
    EXPECT_EQ(f.Text2->text(), c.shown.toString());
    EXPECT_EQ(input.noteFont, c.font);
    EXPECT_EQ(input.nameListHeight, c.nameList);
  }
}

// With everything set apart, すべて標準にする resets the appearance and keeps the rest; it
// closes the screen, redraws the list and leaves a closed input screen alone.
TEST_F(SettingsScreen, DefaultsResetTheAppearanceAndKeepTheRest) {
  m.RowHeight = m.NoteFontSize = m.DisplaySpan = 1;
  m.TerritoryColumnWidth = m.NameColumnWidth = m.MonthColumnWidth = 16;
  m.MainWidth = m.MainHeight = m.InputWidth = m.InputHeight = 9000;
  m.BackColors = m.TextColors = {0xFFFFFF, 0x800080, 0};
  m.InputLeft = m.SortKind = m.LaunchCount = 5;
  click(open().Command3);
  EXPECT_FALSE(form->isVisible());
  EXPECT_TRUE(redrawn());
  EXPECT_TRUE(input.calls.isEmpty());
  EXPECT_EQ(input.noteFont, 0.0);
  EXPECT_EQ(std::tie(m.RowHeight, m.NoteFontSize, m.DisplaySpan), std::tuple(10, 9, 0));
  EXPECT_EQ(std::tie(m.TerritoryColumnWidth, m.NameColumnWidth, m.MonthColumnWidth),
            std::tuple(15, 37, 9));
  EXPECT_EQ(m.TextColors, (std::array<qint32, 3>{}));
  EXPECT_EQ(m.BackColors, (std::array<qint32, 3>{0xC0FFC0, 0xC0FFFF, 0xFFC0C0}));
  EXPECT_EQ(std::tie(m.InputLeft, m.SortKind, m.LaunchCount), std::tuple(5, 5, 5));
}

// Markers show the colours in use. A colour outside the palette has none; after a click on a
// swatch only choosing the entry again shows it. Tab reaches the swatches, Space and Enter
// choose one as a click does.
TEST_F(SettingsScreen, MarkersShowTheColoursInUse_SwatchesAreChosenByClickTabSpaceOrEnter) {
  m.TextColors[1] = 0x123456;
  Form4& f = open();
  QApplication::setActiveWindow(&f);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
  EXPECT_TRUE(marks(f.Shape1, 0));   // black list text
  EXPECT_TRUE(marks(f.Shape2, 10));  // pale green window
  choose(f.Combo1, 1);
  EXPECT_FALSE(f.Shape1->isVisible());
  click(f.Label6[2]);
  EXPECT_FALSE(f.Shape1->isVisible());
  choose(f.Combo1, 0);
  choose(f.Combo1, 1);
  EXPECT_TRUE(marks(f.Shape1, 2));
  choose(form->Combo1, 0);  // the list's text
  choose(form->Combo2, 1);  // the list's background
  form->Combo2->setFocus();
  QTest::keyClick(form->Combo2, Qt::Key_Tab);
  ASSERT_EQ(form->focusWidget(), form->Label6[0]);
  QTest::keyClick(form->Label6[0], Qt::Key_Tab);
  ASSERT_EQ(form->focusWidget(), form->Label6[1]);
  EXPECT_EQ(form->Label6[1]->frameShape(), QFrame::Box);  // the focus shows
  EXPECT_EQ(form->Label6[0]->frameShape(), QFrame::NoFrame);
  QTest::keyClick(form->Label6[1], Qt::Key_Space);
  EXPECT_EQ(m.TextColors[0], Form4::kSwatchColors[1]);
  EXPECT_TRUE(marks(form->Shape1, 1));
  form->Label6[9]->setFocus();
  QTest::keyClick(form->Label6[9], Qt::Key_Return);
  EXPECT_EQ(m.BackColors[1], Form4::kSwatchColors[9]);
  EXPECT_TRUE(redrawn());
  EXPECT_TRUE(form->isVisible());  // Enter chose the swatch, it pressed no button
}

// "その他…" opens the colour dialog on the colour in use; its choice colours, Cancel keeps.
TEST_F(SettingsScreen, OtherColoursComeFromTheColourDialog) {
  open();
  choose(form->Combo2, 1);
  const auto answer = [](std::optional<QColor> color) {
    QTimer::singleShot(0, [color] {
      auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      if (!color) return dialog->reject();
      dialog->setCurrentColor(*color);
      dialog->accept();
    });
  };
  answer(QColor(0x12, 0x34, 0x56));
  click(form->OtherColor[1]);
  EXPECT_EQ(m.BackColors[1], 0x563412);
  EXPECT_FALSE(form->Shape2->isVisible());  // no swatch has that colour
  EXPECT_TRUE(redrawn());
  answer(std::nullopt);
  click(form->OtherColor[1]);
  EXPECT_EQ(m.BackColors[1], 0x563412);
  EXPECT_FALSE(redrawn());
  // Whole inside the window, beside the last swatch of its row.
  for (QPushButton* b : form->OtherColor) {
    EXPECT_TRUE(form->rect().contains(b->mapTo(form.get(), b->rect().bottomRight())));
    EXPECT_TRUE(form->Frame1->rect().contains(b->geometry()));
  }
  EXPECT_GT(form->OtherColor[0]->x(), form->Label6[7]->geometry().right());
}

// Spelt as `velnor --version` spells it.
TEST_F(SettingsScreen, TheVersionPanelShowsTheDottedVersionAndTheStarts) {
  m.LaunchCount = 1;
  click(open().Command4);
  EXPECT_EQ(form->Label11->text(), u"バージョン：%1.%2.%3"_s.arg(VELNOR_VERSION_MAJOR)
                                       .arg(VELNOR_VERSION_MINOR)
                                       .arg(VELNOR_VERSION_PATCH));
  EXPECT_EQ(form->Label6[16]->text(), u"起動回数：1"_s);
  EXPECT_EQ(Form4::versionCaption(2, 1, 10), u"バージョン：2.1.10"_s);
}

// The press of Esc closes the list; the release then comes to the chooser, and must not close.
TEST_F(SettingsScreen, F3AndEscClosingAChoosersListLeaveItOpen_F4EscOkAndTheCloseBoxClose) {
  QTest::keyClick(&open(), Qt::Key_F3);
  EXPECT_TRUE(form->isVisible());
  form->Combo6->showPopup();
  QTest::keyPress(form->Combo6->view(), Qt::Key_Escape);
  QTest::keyRelease(form->Combo6, Qt::Key_Escape);
  EXPECT_TRUE(form->isVisible());
  EXPECT_FALSE(form->Combo6->view()->isVisible());
  // F4, Esc, OK and the close box close without redrawing; Esc as F4 and OK do: accepted.
  const std::pair<std::function<void(Form4&)>, int> ways[] = {
      {[](Form4& f) { QTest::keyClick(f.Text2, Qt::Key_F4); }, QDialog::Accepted},
      {[](Form4& f) { QTest::keyClick(f.Combo6, Qt::Key_Escape); }, QDialog::Accepted},
      {[](Form4& f) { click(f.Command5); }, QDialog::Accepted},
      {[](Form4& f) { f.close(); }, QDialog::Rejected}};
  for (const auto& [close, result] : ways) {
    close(open());
    EXPECT_FALSE(form->isVisible()) << result;
    EXPECT_EQ(form->result(), result);
  }
  EXPECT_TRUE(main.calls.isEmpty());
}

// The month 2 column of "山田" orders its people; the screen is on record 2 of a stale count.
class Reordering : public SettingsScreen {
 protected:
  void SetUp() override {
    m.InputScreenOpen = true;
    m.CurrentMonth = 2;
    tp.useFolder(u"山田"_s, lines);
    input.chooser.items << u"山田"_s;
    input.chooser.setText(u"山田"_s);
    m.CurrentIndex = 2;
    m.PersonCount = 1;  // stale: every record line must still survive
  }
  QByteArray index() const { return tp.readBytes(m.CurrentFolder + u'/' + kIndexFileName); }
  const QStringList lines = {u"1*a**5***********"_s, u"9*b*************"_s, u"5*c**1***********"_s};
};

// An option rewrites the index file in its order, closes the screen, is remembered and
// reopens the folder at the top.
TEST_F(Reordering, RewritesTheIndexFileInTheChosenOrderAndReopensTheFolderAtTheTop) {
  pick(5);
  EXPECT_EQ(index(), test::TempProgram::indexBytes({lines[1], lines[2], lines[0]}));
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(m.SortKind, 5);
  EXPECT_EQ(m.CurrentIndex, 0);
  EXPECT_EQ(m.PersonCount, 3);
  EXPECT_EQ(input.names, (QStringList{u"b"_s, u"c"_s, u"a"_s}));
  EXPECT_EQ(input.selected, 0);
  EXPECT_TRUE(main.calls.contains(u"draw"_s));
  pick(3);
  EXPECT_EQ(index(), test::TempProgram::indexBytes({lines[0], lines[2], lines[1]}));
}

// A folder where the index file should be.
TEST_F(Reordering, AnUnreadableIndexIsReportedAndNothingMoves) {
  m.CurrentFolder = tp.makeFolder(u"壊"_s);
  tp.makeFolder(u"壊/"_s + kIndexFileName);
  m.CurrentIndex = 3;
  pick(4);
  EXPECT_EQ(shell.titles(), u"読み込めません"_s);
  EXPECT_EQ(m.CurrentIndex, 3);
  EXPECT_FALSE(main.calls.contains(u"draw"_s));
}

// Whole on the screen even when the main window was stored at its edge.
TEST_F(SettingsScreen, StaysWholeOnTheScreenAndChoosersShowTheirLongestEntryBesideTheSwatches) {
  m.MainLeft = 32767;
  Form4& f = open();
  EXPECT_TRUE(f.screen()->availableGeometry().contains(f.frameGeometry()));
  for (QComboBox* combo : {f.Combo1, f.Combo2, f.Combo6}) {
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);  // the width its entries need
    EXPECT_GE(combo->width(), combo->sizeHint().width()) << combo->itemText(0).toStdString();
  }
  EXPECT_LT(f.Combo1->geometry().right(), f.Label6[0]->x());
  EXPECT_LT(f.Combo2->geometry().right(), f.Label6[8]->x());
}

using RealWindows = test::RealWindowsTest;

// The list has one colour from top to bottom after recolouring. The defaults also give each
// open window its first-start size, both being stored larger (the sizes: first_start_test.cpp).
TEST_F(RealWindows, RecolouringClearsTheWholeListAndTheDefaultsGiveEachWindowItsFirstSize) {
  start({u"b101=True"_s, u"L108(1)=255"_s, u"i112=16000"_s, u"i113=12000"_s, u"i116=16000"_s,
         u"i117=12000"_s});
  ASSERT_TRUE(input);
  auto belowTheRows = [&] {  // a month cell of row 20, the one person being row 1
    const QImage img = main->Picture1->surface().image();
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
  EXPECT_NEAR(main->geometryTwips().width(), m.MainWidth, 15);
  EXPECT_NEAR(main->geometryTwips().height(), m.MainHeight, 15);
  EXPECT_LT(m.MainWidth, 16000);
  EXPECT_NEAR(input->geometryTwips().width(), m.InputWidth, 15);
  EXPECT_NEAR(input->geometryTwips().height(), m.InputHeight, 15);
  EXPECT_LT(m.InputWidth, 16000);
  // The standard note type, grown with the screen.
  EXPECT_NEAR(input->noteBox()->font().pointSizeF() / 9, pxToTwips(input->height()) / 4584, 0.02);
}

}  // namespace

// Alt+N asks which year (the one just ended in January), then closes it and reopens the
// folder at this month's column; Cancel changes nothing.
TEST_F(Reordering, AltNClosesTheYearAskedIntoItsArchiveAndReopensAtThisMonth) {
  m.clock = [] { return QDateTime(QDate(2027, 2, 1), QTime(12, 0)); };
  int offered = 0;
  bool ok = false;
  Form4& f = open();
  f.askNewYear = [&](NewYearDialog& dialog) {
    offered = dialog.year();
    return ok;
  };
  const QByteArray before = index();
  f.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
  // The button's mnemonic presses it a moment after the key, as a click shows it pressed.
  const auto altN = [&] {
    QTest::keyClick(&f, Qt::Key_N, Qt::AltModifier);
    return QTest::qWaitFor([&] { return offered != 0; }, 2000);
  };
  ASSERT_TRUE(altN());
  EXPECT_EQ(offered, 2026);
  EXPECT_EQ(index(), before);
  EXPECT_TRUE(f.isVisible());
  ok = true;
  offered = 0;
  ASSERT_TRUE(altN());
  EXPECT_EQ(tp.readBytes(u"%山田（2026年）/"_s + kIndexFileName), before);
  EXPECT_EQ(index(), test::TempProgram::indexBytes(
                         {u"1*a*************"_s, u"9*b*************"_s, u"5*c*************"_s}));
  EXPECT_EQ(m.PersonCount, 3);
  EXPECT_FALSE(f.isVisible());
  EXPECT_EQ(m.CurrentColumn, 2 + 2);
  EXPECT_TRUE(main.calls.contains(u"draw"_s));
}
