// The main window driven through its real widgets on the offscreen platform, over a
// temporary program folder with the seam and the input screen faked; and the table of keys
// every window has: when a key acts, how often, and what it reaches.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QFileInfo>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <memory>

#include "support/fakes.h"
#include "support/recording_surface.h"
#include "support/temp_program.h"
#include "ui/common/find_box.h"
#include "ui/common/key_commands.h"
#include "ui/common/sheet_export.h"
#include "ui/common/twips.h"
#include "ui/main/form1.h"
#include "ui/main/import_window.h"

namespace velnor::test {
namespace {

using namespace Qt::Literals::StringLiterals;
using Cell = std::pair<int, int>;  // selected record, selected column

// Closes as the real input screen does: it is no longer loaded.
class ClosingInputScreen : public FakeInputScreen {
 public:
  void unload() override {
    FakeInputScreen::unload();
    module->inputScreen = nullptr;
  }
};

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() : m(*prog.m) {
    input.module = &m;
    shell.onInputScreen = [this] { m.inputScreen = &input; };
  }

  // A record folder "%name" holding `people` records named 人0, 人1, ... or the lines given.
  QString makeFolder(const QString& name, int people, QStringList lines = {}) {
    for (int i = 0; i < people; ++i) lines << u"区%1*人%1*************"_s.arg(i);
    return prog.makeFolder(name, TempProgram::indexBytes(lines));
  }
  // A settings file holding only the main window's place and size (twips).
  void storeMainSize(int width, int height, int left = 0, int top = 0) {
    prog.writeBytes(kSettingsFileName,
                    TempProgram::cp932Lines({u"i110=%1"_s.arg(left), u"i111=%1"_s.arg(top),
                                             u"i112=%1"_s.arg(width), u"i113=%1"_s.arg(height)}));
  }
  // Starts the window as the program does: load, then show; with `people` in "%太郎" if any.
  void start(int people = -1) {
    if (people >= 0) makeFolder(u"太郎"_s, people);
    form = std::make_unique<Form1>(m);
    form->Form_Load();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }
  void key(Qt::Key k, QWidget* to = nullptr) { QTest::keyClick(to ? to : form.get(), k); }
  Cell cell() const { return {m.CurrentIndex, m.CurrentColumn}; }
  // Pixel point of list units (x, y) of the visible picture.
  QPoint listPoint(double x, double y) const {
    const QSize s = form->Picture1->pixelSize();
    return QPoint(int(x * s.width() / 160.0), int(y * s.height() / 260.0));
  }
  void clickList(double x, double y) {
    QTest::mouseClick(form->Picture1->canvas(), Qt::LeftButton, {}, listPoint(x, y));
  }
  // Whether the marker shows over the point (x, y) of the list, in list units.
  bool markerOver(double x, double y) const {
    return form->Shape1->isVisible() && form->Shape1->geometry().contains(listPoint(x, y));
  }
  // The points of the list font after a redraw.
  double listFontPoints() const {
    RecordingSurface s;
    form->draw_rutin(s);
    return s.ofKind(DrawOp::Font).value(0).size;
  }

  TempProgram prog;
  Module1& m;
  FakeShell& shell = prog.shell;
  ClosingInputScreen input;
  std::unique_ptr<Form1> form;
};

// The first layout must not open the input screen a second time after the welcome dialog.
TEST_F(MainWindowTest, FirstRunShowsTheWelcomeDialogThenTheInputScreenOnce) {
  shell.onWelcome = [this] {
    m.CurrentFolder = makeFolder(u"花子"_s, 1);
    m.FolderCreated = true;
  };
  shell.onInputScreen = [this] {  // loads as the real one does
    m.inputScreen = &input;
    m.ChangeRecordFolder();
  };
  start();
  EXPECT_EQ(shell.welcomeShown, 1);
  EXPECT_EQ(shell.inputShown, 1);
  EXPECT_TRUE(m.InputScreenOpen);
}

// The first folder by name replaces a vanished one; nothing is made under the old name and
// the input screen stays closed.
TEST_F(MainWindowTest, AMissingRememberedFolderIsReplacedByTheFirstOne) {
  makeFolder(u"い"_s, 2);
  makeFolder(u"あ"_s, 4);
  prog.writeBytes(kSettingsFileName, TempProgram::cp932Lines({u"b101=True"_s, u"s201=%消えた"_s}));
  start();
  EXPECT_EQ(form->Combo1->currentText(), u"あ"_s);
  EXPECT_EQ(shell.inputShown, 0);
  EXPECT_FALSE(prog.exists(u"%消えた"_s));
}

// 25 people, the window at its design size.
class DesignSize : public MainWindowTest {
 protected:
  void SetUp() override {
    storeMainSize(5220, 4848);
    start(25);
  }
};

class TidyLayout : public DesignSize, public ::testing::WithParamInterface<QSize> {};

// Whatever the size, each control is wholly inside the window and none covers another (the
// chooser, as high as its type needs, may touch the list's top edge).
TEST_P(TidyLayout, ControlsStayInsideAndApart) {
  form->resize(GetParam());
  const QList<QWidget*> all{form->Command1, form->Command2, form->Command3, form->Command4,
                            form->Command5, form->Command6, form->Command7, form->Command8,
                            form->Combo1,   form->Picture1};
  for (QWidget* a : all) {
    EXPECT_TRUE(form->rect().contains(a->geometry())) << a->objectName().toStdString();
    for (QWidget* b : all.mid(all.indexOf(a) + 1)) {
      const QRect common = a->geometry() & b->geometry();
      EXPECT_LE(std::min(common.width(), common.height()), 2)
          << a->objectName().toStdString() << " / " << b->objectName().toStdString();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, TidyLayout,
                         ::testing::Values(QSize(332, 297), QSize(332, 594), QSize(664, 594),
                                           QSize(900, 300)));

// Twice as high but no wider: the chooser's type doubles, the buttons' grows only as far as
// their captions fit. Twice as wide too: all type doubles.
TEST_F(DesignSize, TypeFollowsTheHeightAsFarAsCaptionsFit) {
  const double chooser = form->Combo1->font().pointSizeF();
  const double button = form->Command1->font().pointSizeF(), list = listFontPoints();
  form->resize(332, 594);
  EXPECT_NEAR(form->Combo1->font().pointSizeF() / chooser, 2, 0.01);
  for (QPushButton* b : {form->Command1, form->Command4, form->Command6, form->Command8})
    EXPECT_LE(QFontMetrics(b->font()).horizontalAdvance(b->text()), b->width())
        << b->objectName().toStdString();
  form->resize(664, 594);
  EXPECT_NEAR(form->Command1->font().pointSizeF() / button, 2, 0.01);
  EXPECT_NEAR(listFontPoints() / list, 2, 0.01);
}

// All 25 rows show without scrolling. A resize draws the list at the new size from the
// records already read: another program's change shows when the folder watch sees it, not
// because the window grew.
TEST_F(DesignSize, All25RowsShowAndAResizeRedrawsTheListButOpensNoFile) {
  EXPECT_EQ(form->Picture1->pixelSize(), form->Picture1->size());  // no scroll bar
  const QImage img = form->Picture1->surface().image();
  EXPECT_EQ(QColor(img.pixel(listPoint(100, 255))), fromBgr(0xC0FFFF));  // row 25's month
  makeFolder(u"太郎"_s, 2);
  form->resize(664, 594);
  EXPECT_EQ(m.PersonCount, 25);
  EXPECT_TRUE(shell.messages.isEmpty());
  EXPECT_GT(form->Picture1->surface().image().height(), img.height());
}

class ThreePeople : public MainWindowTest {
 protected:
  void SetUp() override { start(3); }
};

TEST_F(ThreePeople, AClickSelectsTheRowAndColumnUnderIt) {
  const std::tuple<double, double, Cell> clicks[] = {
      {30, 35, {2, 2}},       // row 2, name column
      {65, 5, {2, 4}},        // header row: the row stays, February
      {5, 200, {2, 1}},       // below the last row
      {159.9, 15, {0, 14}}};  // the right edge still belongs to December
  for (const auto& [x, y, selected] : clicks) {
    clickList(x, y);
    EXPECT_EQ(cell(), selected) << x << ", " << y;
  }
  m.DisplaySpan = 2;  // three months in May: the second column is April
  m.CurrentMonth = 5;
  form->Command9->click();
  clickList(25 + 51 + 28 + 14, 25);  // territory and name are wider with fewer months
  EXPECT_EQ(cell(), Cell(1, 6));
}

// F2 asks first and Cancel keeps the person; OK on the last moves the marker to the new last.
TEST_F(ThreePeople, F2AsksBeforeDeletingAndTheMarkerMovesToTheNewLast) {
  clickList(30, 35);  // the name cell of the last row
  shell.answers = {Answer::Cancel};
  key(Qt::Key_F2);
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].title, u"削除の確認"_s);
  EXPECT_EQ(shell.messages[0].text, u"「人2」の情報を削除してよろしいですか？"_s);
  EXPECT_EQ(shell.messages[0].buttons, Buttons::OkCancel);
  EXPECT_EQ(m.PersonCount, 3);
  key(Qt::Key_F2);
  EXPECT_EQ(m.PersonCount, 2);
  EXPECT_EQ(m.CurrentIndex, 1);
  EXPECT_TRUE(markerOver(30, 25));
}

// Space on a focused button opens the input screen instead of pressing the button; F1 opens
// it to add there.
TEST_F(ThreePeople, SpaceOrADoubleClickOpensAndClosesTheInputScreenWhateverHasTheFocus_F1Adds) {
  form->Command2->setFocus();
  key(Qt::Key_Space, form->Command2);
  EXPECT_TRUE(shell.messages.isEmpty());  // 削除 was not pressed
  EXPECT_TRUE(m.InputScreenOpen);
  key(Qt::Key_Space, form->Combo1);
  EXPECT_FALSE(m.InputScreenOpen);
  for (bool open : {true, false}) {  // so does a double click on the list
    QTest::mouseDClick(form->Picture1->canvas(), Qt::LeftButton, {}, listPoint(30, 25));
    EXPECT_EQ(m.InputScreenOpen, open);
  }
  key(Qt::Key_F1);
  EXPECT_TRUE(m.InputScreenOpen);
  EXPECT_TRUE(input.calls.contains(u"add"_s));
}

// Two folders, the second (い) in use.
class TwoFolders : public MainWindowTest {
 protected:
  void SetUp() override {
    makeFolder(u"あ"_s, 2);
    makeFolder(u"い"_s, 5);
    prog.writeBytes(kSettingsFileName, TempProgram::cp932Lines({u"s201=%い"_s}));
    start();
  }
};

// With the input screen open, the main window's commands go to it and it decides: F3 and a
// folder choice go to it; unsaved edits that cannot be stored (the fake's load stores
// nothing) keep the selection.
TEST_F(TwoFolders, WithTheInputScreenOpenF3AndAChoiceGoToItAndAClickKeepsUnstorableEdits) {
  key(Qt::Key_Space);
  input.calls.clear();
  key(Qt::Key_F3);
  EXPECT_EQ(input.calls, QStringList{u"settings"_s});
  EXPECT_EQ(shell.settingsShown, 0);
  clickList(100, 35);
  m.PersonModified = true;
  clickList(100, 15);
  EXPECT_EQ(m.CurrentIndex, 2);
  EXPECT_EQ(input.selected, 2);
  int chosen = -1;
  input.chooser.items = QStringList{kNewFolderItem, u"あ"_s, u"い"_s};
  input.chooser.onClick = [&](int i) { chosen = i; };
  form->folderChooser().choose(1);
  EXPECT_EQ(chosen, 1);
  EXPECT_EQ(form->Combo1->currentIndex(), m.FolderItemIndex);  // it decides
  EXPECT_EQ(m.CurrentFolder, u"%い"_s);
}

// "新規作成" shows while a new folder is on its way; a refresh then redraws the folder in use.
TEST_F(TwoFolders, ARefreshWhileNewFolderShowsRedrawsTheFolderInUse) {
  form->folderChooser().select(0);
  m.PersonCount = 0;
  form->Command9->click();
  EXPECT_EQ(m.PersonCount, 5);
  EXPECT_FALSE(prog.exists(u"%新規作成"_s));
}

// Only a pick from the open list switches folders; Home once chose "新規作成" at once.
TEST_F(TwoFolders, TheClosedChooserKeepsItsChoiceWhateverKeyOrWheel) {
  QComboBox* chooser = form->Combo1;
  chooser->setFocus();
  for (Qt::Key k : {Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_A})
    key(k, chooser);
  QWheelEvent wheel(QPointF(5, 5), chooser->mapToGlobal(QPointF(5, 5)), {}, {0, 120}, Qt::NoButton,
                    {}, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(chooser, &wheel);
  EXPECT_EQ(chooser->currentIndex(), 2);
  EXPECT_EQ(m.CurrentFolder, u"%い"_s);
  EXPECT_EQ(shell.welcomeShown, 0);
}

// Opened by Alt+Down wherever the focus is in the window; a pick by the arrows and Enter or
// by the mouse opens that folder.
TEST_F(TwoFolders, APickFromTheOpenListByKeysOrMouseOpensThatFolder) {
  QComboBox* chooser = form->Combo1;
  QAbstractItemView* view = chooser->view();
  const qint16 row = m.CurrentIndex;
  form->Picture1->setFocus();
  QTest::keyClick(form->Picture1, Qt::Key_Down, Qt::AltModifier);
  ASSERT_TRUE(view->isVisible());
  chooser->hidePopup();
  QTest::keyClick(chooser, Qt::Key_Down, Qt::AltModifier);
  ASSERT_TRUE(view->isVisible());
  EXPECT_EQ(m.CurrentIndex, row);  // no move down
  key(Qt::Key_Up, view);
  key(Qt::Key_Return, view);
  EXPECT_FALSE(view->isVisible());
  EXPECT_EQ(m.CurrentFolder, u"%あ"_s);
  EXPECT_EQ(m.PersonCount, 2);
  chooser->showPopup();
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                    view->visualRect(view->model()->index(2, 0)).center());
  EXPECT_EQ(m.CurrentFolder, u"%い"_s);
  EXPECT_EQ(m.PersonCount, 5);
}

// 40 people: more than the 25 rows the window shows.
class LongList : public MainWindowTest {
 protected:
  void SetUp() override { start(40); }
  // The first data row's texts as drawn.
  QString firstRowShown() const {
    RecordingSurface s;
    form->draw_rutin(s);
    for (const DrawOp& op : s.ofKind(DrawOp::Text))
      if (op.y > 10 && op.y <= 11) return op.text;
    return {};
  }
};

// The keys scroll so the selection stays in view under the header; the wheel scrolls by whole
// rows, the selection stays and its marker hides under the header.
TEST_F(LongList, KeysScrollToTheSelectionAndTheWheelScrollsWithoutMovingIt) {
  EXPECT_LT(form->Picture1->pixelSize().width(), form->Picture1->width());  // a scroll bar
  for (int i = 0; i < 30; ++i) key(Qt::Key_Down);
  EXPECT_EQ(form->Picture1->firstRow(), 6);  // row 30 is the last of 25 shown
  EXPECT_TRUE(markerOver(5, 255));
  EXPECT_EQ(firstRowShown(), u"区6"_s);
  clickList(30, 15);
  EXPECT_EQ(m.CurrentIndex, 6);
  QWheelEvent wheel(listPoint(50, 100), {}, {}, {0, -120}, Qt::NoButton, {}, Qt::NoScrollPhase,
                    false);
  QCoreApplication::sendEvent(form->Picture1->canvas(), &wheel);
  const int first = form->Picture1->firstRow();
  EXPECT_GT(first, 6);
  EXPECT_EQ(m.CurrentIndex, 6);
  EXPECT_FALSE(form->Shape1->isVisible());
  clickList(30, 15);
  EXPECT_EQ(m.CurrentIndex, first);
}

// Each key with the cell it leaves selected: Up and Down stop at the first and the last
// person, Left and Right within the columns shown, Page Up and Down by the 25 rows wholly shown.
TEST_F(LongList, KeysReachEveryRowAndColumn) {
  const std::pair<Qt::Key, Cell> steps[] = {
      {Qt::Key_Up, {0, 1}},        {Qt::Key_Left, {0, 1}},   {Qt::Key_Right, {0, 2}},
      {Qt::Key_Right, {0, 3}},     {Qt::Key_End, {39, 3}},   {Qt::Key_Down, {39, 3}},
      {Qt::Key_PageUp, {14, 3}},   {Qt::Key_PageUp, {0, 3}}, {Qt::Key_PageDown, {25, 3}},
      {Qt::Key_PageDown, {39, 3}}, {Qt::Key_Home, {0, 3}}};
  for (const auto& [k, selected] : steps) {
    key(k);
    EXPECT_EQ(cell(), selected) << QTest::toString(QKeySequence(k).toString());
  }
  for (int i = 0; i < 14; ++i) key(Qt::Key_Right);
  EXPECT_EQ(m.CurrentColumn, 14);  // December, the last
}

// March to May shown in May: columns 5 to 7. The chooser previews nothing: the window takes
// the arrows from it, and it keeps its folder.
TEST_F(LongList, TheArrowsOnTheClosedChooserMoveTheSelectionAmongTheMonthsShown) {
  m.DisplaySpan = 2;
  m.CurrentMonth = 5;
  form->Command9->click();
  m.CurrentColumn = 2;
  key(Qt::Key_Right, form->Combo1);
  EXPECT_EQ(m.CurrentColumn, 5);
  for (int i = 0; i < 3; ++i) key(Qt::Key_Right);
  EXPECT_EQ(m.CurrentColumn, 7);
  key(Qt::Key_Down);
  key(Qt::Key_Up, form->Combo1);
  EXPECT_EQ(m.CurrentIndex, 0);
  EXPECT_EQ(m.CurrentFolder, u"%太郎"_s);
  EXPECT_EQ(form->Combo1->currentText(), u"太郎"_s);
}

// Positions are stored clamped and without creep; a minimized input screen is restored first.
TEST_F(DesignSize, F5StoresClampedSizesAfterRestoringTheMinimizedInputScreen) {
  key(Qt::Key_Space);  // opens the input screen
  input.minimized = true;
  form->move(3000, 10);  // far right: beyond the 16-bit range in twips
  key(Qt::Key_F5);
  EXPECT_EQ(m.MainWidth, 5220);
  EXPECT_EQ(m.MainLeft, 32767);
  EXPECT_FALSE(input.minimized);
  EXPECT_TRUE(input.calls.contains(u"unload"_s));
  EXPECT_EQ(m.InputWidth, 5076);
}

TEST_F(MainWindowTest, TheFindBoxSelectsEachMatchAsTypedAndOnEnter) {
  makeFolder(u"太郎"_s, 0,
             {u"北*藤井*************"_s, u"南*あべ*************"_s, u"東*Aoki*************"_s,
              u"西*ｱｵｷ*************"_s, u"北区*あべ二郎*************"_s});
  start();
  QTest::keyClick(form.get(), Qt::Key_F, Qt::ControlModifier);
  auto* box = form->findChild<FindBox*>();
  ASSERT_TRUE(box && box->isVisible());
  const auto find = [box](const QString& text) {  // replaces the text as an input method does
    box->text()->selectAll();
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QCoreApplication::sendEvent(box->text(), &commit);
  };
  find(u"アオキ"_s);
  EXPECT_EQ(m.CurrentIndex, 3);
  EXPECT_EQ(box->status()->text(), QString());
  find(u"アベ"_s);
  EXPECT_EQ(m.CurrentIndex, 4);
  key(Qt::Key_Return, box->text());
  EXPECT_EQ(m.CurrentIndex, 1);
  find(u"xyz"_s);
  EXPECT_EQ(m.CurrentIndex, 1);
  EXPECT_EQ(box->status()->text(), u"見つかりません"_s);
  key(Qt::Key_Escape, box->text());
  EXPECT_FALSE(box->isVisible());
}

// Which cells the list cuts is checked on the drawing (table_drawing_test.cpp).
TEST_F(MainWindowTest, RestingOnACutCellOfTheListShowsItsWholeText) {
  const QString name = u"長谷川左衛門之助太郎右衛門次郎三郎四郎様"_s;
  makeFolder(u"太郎"_s, 0, {TempProgram::record(u"北"_s, name), u"北1*佐藤*3************"_s});
  start();
  QWidget* canvas = form->Picture1->canvas();
  auto hover = [&](double x, double y) {
    const QPoint px = listPoint(x, y);
    QHelpEvent help(QEvent::ToolTip, px, canvas->mapToGlobal(px));
    QCoreApplication::sendEvent(canvas, &help);
    // A tip that is not wanted leaves the event to the window.
    return help.isAccepted() && QToolTip::isVisible() ? QToolTip::text() : QString();
  };
  EXPECT_EQ(hover(40, 15), name);
  EXPECT_EQ(hover(40, 25), QString());
}

// Nonsense stored places and sizes (left, top, width, height in twips).
TEST_F(MainWindowTest, AStoredPlaceKeepsTheWindowWholeOnTheScreenAndNoSmallerThanItsLayout) {
  for (const auto& [left, top, width, height] :
       {std::array{0, 0, 1, 1}, std::array{0, 0, -5, -5}, std::array{0, 0, 32767, 32767},
        std::array{32767, 32767, 5220, 4848}, std::array{-3000, 600, 5220, 4848}}) {
    SCOPED_TRACE(testing::Message() << left << ", " << top << ", " << width << ", " << height);
    storeMainSize(width, height, left, top);
    start(3);
    EXPECT_TRUE(form->screen()->availableGeometry().contains(form->frameGeometry()))
        << QTest::toString(form->frameGeometry());
    EXPECT_GE(form->clientWidthTwips(), 600);
    EXPECT_GE(form->clientHeightTwips(), 300);
  }
}

class SpreadsheetKeys : public MainWindowTest {
 protected:
  void SetUp() override {
    start(2);
    setFileAskerForTests([this](QWidget*, bool saving, const QString& proposed) {
      asked << u"%1 %2"_s.arg(saving).arg(QFileInfo(proposed).fileName());
      return prog.path(saving ? u"out.csv"_s : u"in.csv"_s);
    });
  }
  void TearDown() override { setFileAskerForTests({}); }
  QStringList asked;
};

// Ctrl+E writes the folder in use where the user says, proposing its name and the date;
// Ctrl+I previews, names the bad row, and makes and opens the folder of the good ones.
TEST_F(SpreadsheetKeys, ctrlEWritesTheFolderInUse_ctrlIMakesAndOpensAFolderOfTheGoodRows) {
  m.clock = [] { return QDateTime(QDate(2026, 12, 8), QTime(12, 0)); };
  QTest::keyClick(form.get(), Qt::Key_E, Qt::ControlModifier);
  EXPECT_EQ(asked, QStringList{u"1 太郎_20261208.xlsx"_s});
  const QStringList rows = QString::fromUtf8(prog.readBytes(u"out.csv"_s)).split(u"\r\n"_s);
  ASSERT_EQ(rows.size(), 4);  // header, two people, the end
  EXPECT_TRUE(rows[2].startsWith(u"区1,人1,,"_s));

  // Ctrl+I: a CSV a spreadsheet saved in code page 932, one row of it refused.
  prog.writeBytes(u"in.csv"_s, TempProgram::cp932Lines(
                                   {u"名前,区域,1月"_s, u"山田,北,\"3,4\""_s, u"佐藤*,南,1"_s}));
  QStringList seen;
  QTimer::singleShot(0, [&] {
    auto* window = qobject_cast<ImportWindow*>(QApplication::activeModalWidget());
    if (!window) return;
    seen << window->windowTitle() << window->nameBox->text() << window->problems->item(0)->text();
    window->nameBox->setText(u"取込"_s);
    window->okButton->click();
  });
  QTest::keyClick(form.get(), Qt::Key_I, Qt::ControlModifier);
  ASSERT_EQ(seen.size(), 3);
  EXPECT_EQ(seen[0], u"読み込み"_s);
  EXPECT_EQ(seen[1], u"in"_s);
  EXPECT_TRUE(seen[2].startsWith(u"3行目「名前」"_s)) << seen[2].toStdString();
  EXPECT_EQ(prog.readBytes(u"%取込/データー.vrd"_s),
            TempProgram::indexBytes({TempProgram::record(u"北"_s, u"山田"_s, {u"3,4"_s})}));
  EXPECT_EQ(m.CurrentFolder, u"%取込"_s);
  EXPECT_EQ(form->Combo1->currentText(), u"取込"_s);
  EXPECT_EQ(m.PersonCount, 1);
}

// ---- The table of a window's keys, on a window of its own.

class Window : public QWidget {
 public:
  Window() {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addWidget(button);
    connect(button, &QPushButton::clicked, this, [this] { ++clicks; });
    commands.addButton(button, {Qt::Key_F1});
    commands.add(u"検索"_s, {Qt::CTRL | Qt::Key_F}, [this] { ++finds; });
    for (QWidget* w :
         {static_cast<QWidget*>(this), static_cast<QWidget*>(box), static_cast<QWidget*>(button)})
      w->installEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
      if (commands.take(static_cast<QKeyEvent*>(event))) return true;
      if (watched == box && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) ++boxF1;
    }
    return QWidget::eventFilter(watched, event);
  }
  QLineEdit* box = new QLineEdit;
  QPushButton* button = new QPushButton(u"追加"_s);
  KeyCommands commands{this};
  int clicks = 0, finds = 0, boxF1 = 0;
};

TEST(KeyCommands, PlainKeysActOnReleaseOnceCtrlKeysOnPressAndNeitherReachesTheBox) {
  Window w;
  w.show();
  w.box->setFocus();
  QTest::keyPress(w.box, Qt::Key_F1);
  EXPECT_EQ(w.clicks, 0);  // not yet: on the release
  QKeyEvent held(QEvent::KeyRelease, Qt::Key_F1, Qt::NoModifier, QString(), true);
  QApplication::sendEvent(w.box, &held);  // a held key's repeats do nothing
  EXPECT_EQ(w.clicks, 0);
  QTest::keyRelease(w.box, Qt::Key_F1);
  EXPECT_EQ(w.clicks, 1);
  QTest::keyClick(w.box, Qt::Key_F1, Qt::ShiftModifier);  // Shift and the number pad count
  QTest::keyClick(w.box, Qt::Key_F1, Qt::AltModifier);    // Alt does not
  EXPECT_EQ(w.clicks, 2);
  QTest::keyPress(w.box, Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(w.finds, 1);
  QTest::keyRelease(w.box, Qt::Key_F);  // Ctrl let go first: nothing more
  EXPECT_EQ(w.finds, 1);
  EXPECT_EQ(w.box->text(), QString());
  EXPECT_EQ(w.boxF1, 2);  // only Alt+F1's press and release, which are no command

  w.button->setEnabled(false);
  QTest::keyClick(w.box, Qt::Key_F1);
  EXPECT_EQ(w.clicks, 2);
  ASSERT_EQ(w.commands.actions().size(), 2);
  EXPECT_EQ(w.commands.actions()[0]->shortcut(), QKeySequence(Qt::Key_F1));
  EXPECT_EQ(w.commands.actions()[0]->text(), u"追加"_s);
}

}  // namespace
}  // namespace velnor::test
