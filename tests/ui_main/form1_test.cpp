// The main window driven through its real widgets on the offscreen platform, over a
// temporary program folder with the seam and the input screen faked.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QWheelEvent>
#include <memory>

#include "support/fakes.h"
#include "support/recording_surface.h"
#include "support/temp_program.h"
#include "ui/common/find_box.h"
#include "ui/common/twips.h"
#include "ui/main/form1.h"

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
    m.shell = &shell;
    input.module = &m;
    shell.onInputScreen = [this] { m.inputScreen = &input; };
  }

  // A record folder "%name" holding `people` records named 人0, 人1, ... or the lines given.
  QString makeFolder(const QString& name, int people, QStringList lines = {}) {
    for (int i = 0; i < people; ++i) lines << u"区%1*人%1*************"_s.arg(i);
    return prog.makeFolder(
        name, TempProgram::cp932Lines(QStringList{kIndexComment1, kIndexComment2} + lines));
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
  double unitWidth() const { return form->Picture1->pixelSize().width() / 160.0; }

  TempProgram prog;
  Module1& m;
  FakeShell shell;
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
  EXPECT_EQ(std::pair(shell.welcomeShown, shell.inputShown), std::pair(1, 1));
  EXPECT_TRUE(m.InputScreenOpen);
}

// The first folder by name replaces a vanished one, and its input screen stays closed.
TEST_F(MainWindowTest, AMissingRememberedFolderIsReplacedByTheFirstOne) {
  makeFolder(u"い"_s, 2);
  makeFolder(u"あ"_s, 4);
  prog.writeBytes(kSettingsFileName, TempProgram::cp932Lines({u"b101=True"_s, u"s201=%消えた"_s}));
  start();
  EXPECT_EQ(m.CurrentFolder, u"%あ"_s);
  EXPECT_EQ(form->Combo1->count(), 3);
  EXPECT_EQ(form->Combo1->currentText(), u"あ"_s);
  EXPECT_EQ(shell.inputShown, 0);
  EXPECT_FALSE(prog.exists(u"%消えた"_s));
}

TEST_F(MainWindowTest, DesignSizeGivesTheDesignLayoutAndAllOf25RowsWithoutScrolling) {
  storeMainSize(5220, 4848);
  start(25);
  EXPECT_EQ(form->size(), QSize(332, 297));  // 4980 × 4452 twips, to the pixel
  EXPECT_EQ(form->Command1->geometry(), QRect(4, 8, 33, 17));
  EXPECT_EQ(form->Command8->geometry(), QRect(296, 252, 33, 37));
  EXPECT_EQ(form->Picture1->geometry(), QRect(4, 28, 289, 265));
  EXPECT_NEAR(form->Command1->font().pointSizeF(), 8, 0.02);
  EXPECT_NEAR(form->Combo1->font().pointSizeF(), 9, 0.02);
  EXPECT_EQ(form->Picture1->pixelSize(), form->Picture1->size());  // no scroll bar
  const QImage img = form->Picture1->surface().image();
  EXPECT_EQ(QColor(img.pixel(listPoint(14, 5))), fromBgr(0xFFC0C0));     // header, right of 区域
  EXPECT_EQ(QColor(img.pixel(listPoint(100, 255))), fromBgr(0xC0FFFF));  // row 25's month
}

TEST_F(MainWindowTest, ResizingScalesAndLimitsButtonFontsByWidth) {
  start(1);
  form->resize(332, 594);  // double height
  EXPECT_EQ(form->Command1->geometry(), QRect(4, 16, 33, 34));
  for (QPushButton* b : {form->Command1, form->Command4, form->Command6, form->Command8})
    EXPECT_NEAR(b->font().pointSizeF(), 33 * 15 / 70.0, 0.01) << b->objectName().toStdString();
  EXPECT_NEAR(form->Combo1->font().pointSizeF(), 18, 0.05);

  form->resize(664, 594);  // both doubled: the height rules again
  EXPECT_EQ(form->Command5->geometry(), QRect(592, 16, 66, 34));
  EXPECT_NEAR(form->Command1->font().pointSizeF(), 16, 0.05);
  RecordingSurface s;  // the list font follows the client height
  form->draw_rutin(s, 0.37);
  EXPECT_NEAR(s.ofKind(DrawOp::Font)[0].size, 12, 0.05);

  // Clients below 600 × 300 twips are not laid out.
  const QRect before = form->Command5->geometry();
  form->resize(39, 200);  // 585 twips wide
  EXPECT_EQ(form->Command5->geometry(), before);
  form->resize(40, 200);
  EXPECT_EQ(form->Command5->geometry().left(), twipsToPx(4440 * 600 / 4980.0));
}

TEST_F(MainWindowTest, ClickSelectsRowAndColumn) {
  start(3);
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
  clickList(25 + 51 + 28 + 14, 25);
  EXPECT_EQ(cell(), Cell(1, 6));
}

TEST_F(MainWindowTest, ArrowsStopAtTheEndsAndF2DeletesTheLastPersonAfterConfirmation) {
  start(3);
  key(Qt::Key_Up);
  EXPECT_EQ(m.CurrentIndex, 0);
  for (int i = 0; i < 3; ++i) key(Qt::Key_Down);
  EXPECT_EQ(m.CurrentIndex, 2);
  shell.answers = {Answer::Cancel};
  key(Qt::Key_F2);
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].title, u"削除の確認"_s);
  EXPECT_EQ(shell.messages[0].text, u"「人2」の情報を削除してよろしいですか？"_s);
  EXPECT_EQ(shell.messages[0].buttons, Buttons::OkCancel);
  EXPECT_EQ(m.PersonCount, 3);

  clickList(30, 35);  // the name cell of the last row
  key(Qt::Key_F2);    // OK this time
  EXPECT_EQ(m.PersonCount, 2);
  EXPECT_EQ(m.CurrentIndex, 1);
  EXPECT_NEAR(form->Shape1->x(), 15 * unitWidth(), 1);  // the marker on the new last row
  EXPECT_NEAR(form->Shape1->width(), 37 * unitWidth(), 1.5);
  EXPECT_NEAR(form->Shape1->y(), 20 * form->Picture1->pixelSize().height() / 260.0, 1);
  key(Qt::Key_Up, form->Combo1);  // the chooser previews nothing: the window moves
  EXPECT_EQ(m.CurrentIndex, 0);
  EXPECT_EQ(m.CurrentFolder, u"%太郎"_s);
}

TEST_F(MainWindowTest, DeletingANamesakeKeepsTheNoteFileAndTheOnlyPersonLeavesAPlaceholder) {
  const QString folder =
      makeFolder(u"太郎"_s, 0, {u"a*同名*************"_s, u"b*同名*************"_s});
  const QString note = folder + u"/同名.txt"_s;
  start();
  ASSERT_TRUE(prog.exists(note));
  key(Qt::Key_F2);
  EXPECT_EQ(m.PersonCount, 1);
  EXPECT_TRUE(prog.exists(note));

  key(Qt::Key_F2);
  EXPECT_EQ(prog.readBytes(folder + u'/' + kIndexFileName),
            TempProgram::cp932Lines({kIndexComment1, kIndexComment2, kPlaceholderRecord}));
  EXPECT_FALSE(prog.exists(note));
}

// With the input screen open, the main window's commands go to it and it decides.
TEST_F(MainWindowTest, KeysAndDoubleClickOpenTheirWindowsOrGoToTheOpenInputScreen) {
  start(3);
  key(Qt::Key_F3);
  key(Qt::Key_F6);
  EXPECT_EQ(std::pair(shell.settingsShown, shell.printShown), std::pair(1, 1));
  form->Command2->setFocus();
  key(Qt::Key_Space, form->Command2);  // does not press the focused 削除
  EXPECT_TRUE(shell.messages.isEmpty() && m.InputScreenOpen);
  key(Qt::Key_Space, form->Combo1);
  EXPECT_FALSE(m.InputScreenOpen);
  for (bool open : {true, false}) {
    QTest::mouseDClick(form->Picture1->canvas(), Qt::LeftButton, {}, listPoint(30, 25));
    EXPECT_EQ(m.InputScreenOpen, open);
  }
  key(Qt::Key_F1);  // opens the input screen and adds there
  EXPECT_TRUE(m.InputScreenOpen);
  EXPECT_TRUE(input.calls.contains(u"add"_s));

  input.calls.clear();
  key(Qt::Key_F2);
  key(Qt::Key_F3);
  EXPECT_EQ(input.calls, (QStringList{u"delete"_s, u"settings"_s}));
  EXPECT_TRUE(shell.messages.isEmpty() && shell.settingsShown == 1);  // none of its own
  clickList(100, 35);
  EXPECT_EQ(input.selected, 2);
  EXPECT_EQ(input.calls.last(), u"load"_s);
  // Unsaved edits that cannot be stored (the fake's load stores nothing) keep the selection.
  m.PersonModified = true;
  clickList(100, 15);
  EXPECT_EQ(m.CurrentIndex, 2);
  EXPECT_EQ(input.selected, 2);
}

TEST_F(MainWindowTest, ChoosingAFolderOpensItOrGoesToTheInputScreensChooser) {
  makeFolder(u"あ"_s, 2);
  makeFolder(u"い"_s, 5);
  prog.writeBytes(kSettingsFileName, TempProgram::cp932Lines({u"s201=%い"_s}));  // not first
  start();
  EXPECT_EQ(m.CurrentFolder, u"%い"_s);
  form->Combo1->showPopup();
  QAbstractItemView* view = form->Combo1->view();
  const QRect item = view->visualRect(view->model()->index(1, 0));
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
  EXPECT_EQ(m.CurrentFolder, u"%あ"_s);
  EXPECT_EQ(m.PersonCount, 2);

  key(Qt::Key_Space);  // opens the input screen
  int chosen = -1;
  input.chooser.items = QStringList{kNewFolderItem, u"あ"_s, u"い"_s};
  input.chooser.onClick = [&](int i) { chosen = i; };
  form->folderChooser().choose(2);
  EXPECT_EQ(chosen, 2);
  EXPECT_EQ(form->Combo1->currentIndex(), m.FolderItemIndex);
  EXPECT_EQ(m.CurrentFolder, u"%あ"_s);

  // A refresh while "新規作成" shows (a new folder on its way) redraws the folder in use.
  form->folderChooser().select(0);
  m.PersonCount = 0;
  form->Command9->click();
  EXPECT_EQ(m.PersonCount, 2);
  EXPECT_FALSE(prog.exists(u"%新規作成"_s));
}

TEST_F(MainWindowTest, TheViewFollowsTheSelectionAndTheHeaderStays) {
  start(40);
  EXPECT_LT(form->Picture1->pixelSize().width(), form->Picture1->width());
  for (int i = 0; i < 30; ++i) key(Qt::Key_Down);
  EXPECT_EQ(form->Picture1->firstRow(), 6);  // row 30 is the last of 25 shown
  EXPECT_TRUE(form->Shape1->isVisible());
  EXPECT_NEAR(form->Shape1->y(), 25 * form->Picture1->pixelSize().height() / 26.0, 1);

  RecordingSurface s;
  form->draw_rutin(s, 0.37);
  const QList<DrawOp> texts = s.ofKind(DrawOp::Text);
  EXPECT_EQ(texts[0].text + texts[14].text, u"区域区6"_s);  // record 6 under the header
  EXPECT_DOUBLE_EQ(texts[14].y, 11);
  clickList(30, 15);  // the first row shown is record 6
  EXPECT_EQ(m.CurrentIndex, 6);

  // The wheel scrolls by whole rows, the selection stays and its marker hides under the header.
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

// Positions are stored clamped and without creep; a minimized input screen is restored first.
TEST_F(MainWindowTest, F5StoresThePositionsAndTheOpenInputScreenAndEnds) {
  storeMainSize(5220, 4848);
  start(1);
  key(Qt::Key_Space);  // opens the input screen
  input.minimized = true;
  form->move(3000, 10);  // far right: beyond the 16-bit range in twips
  key(Qt::Key_F5);
  EXPECT_EQ(shell.ended, 1);
  EXPECT_EQ(m.MainWidth, 5220);  // as it was loaded: no creeping by the frame
  EXPECT_FALSE(input.minimized);
  EXPECT_TRUE(input.calls.contains(u"unload"_s));
  EXPECT_EQ(m.InputWidth, 5076);
  EXPECT_EQ(m.MainLeft, 32767);
  EXPECT_TRUE(m.InputScreenOpen);  // so the next start reopens it
}

TEST_F(MainWindowTest, KeysReachEveryShownColumnAndRowAndGoThroughTheOpenInputScreen) {
  start(40);
  // Each key with the cell it leaves selected: Left and Right within the columns shown,
  // Home and End, Page Up and Down by the 25 rows wholly shown.
  const std::pair<Qt::Key, Cell> steps[] = {
      {Qt::Key_Left, {0, 1}},      {Qt::Key_Right, {0, 2}},     {Qt::Key_Right, {0, 3}},
      {Qt::Key_End, {39, 3}},      {Qt::Key_PageUp, {14, 3}},   {Qt::Key_PageUp, {0, 3}},
      {Qt::Key_PageDown, {25, 3}}, {Qt::Key_PageDown, {39, 3}}, {Qt::Key_Home, {0, 3}}};
  for (const auto& [k, selected] : steps) {
    key(k);
    EXPECT_EQ(cell(), selected) << QTest::toString(QKeySequence(k).toString());
  }
  for (int i = 0; i < 12; ++i) key(Qt::Key_Right);
  EXPECT_EQ(m.CurrentColumn, 14);  // December is the last

  m.DisplaySpan = 2;  // March to May shown in May: columns 5 to 7
  m.CurrentMonth = 5;
  form->Command9->click();
  m.CurrentColumn = 2;
  key(Qt::Key_Right, form->Combo1);  // the window takes the arrows from the closed chooser
  EXPECT_EQ(m.CurrentColumn, 5);
  for (int i = 0; i < 3; ++i) key(Qt::Key_Right);
  EXPECT_EQ(m.CurrentColumn, 7);
  EXPECT_EQ(form->Combo1->currentText(), u"太郎"_s);

  key(Qt::Key_Space);  // with the input screen open, row moves go through it
  key(Qt::Key_End);
  EXPECT_EQ(std::pair(input.selected, input.calls.value(input.calls.size() - 1)),
            std::pair(39, u"load"_s));
}

// Only a pick from the open list switches folders; Home once chose "新規作成" at once.
TEST_F(MainWindowTest, AClosedChooserKeepsItsChoiceAndItsOpenListTakesArrowsAndEnter) {
  makeFolder(u"あ"_s, 2);
  makeFolder(u"い"_s, 5);
  prog.writeBytes(kSettingsFileName, TempProgram::cp932Lines({u"s201=%い"_s}));
  start();
  QComboBox* chooser = form->Combo1;
  chooser->setFocus();
  for (Qt::Key k : {Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_A})
    key(k, chooser);
  QWheelEvent wheel(QPointF(5, 5), chooser->mapToGlobal(QPointF(5, 5)), {}, {0, 120}, Qt::NoButton,
                    {}, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(chooser, &wheel);
  EXPECT_EQ(std::tuple(chooser->currentIndex(), m.CurrentFolder, shell.welcomeShown),
            std::tuple(2, u"%い"_s, 0));

  const qint16 row = m.CurrentIndex;  // (the window took Home, End, ... as row moves)
  QTest::keyClick(chooser, Qt::Key_Down, Qt::AltModifier);
  ASSERT_TRUE(chooser->view()->isVisible());
  EXPECT_EQ(m.CurrentIndex, row);  // no move down
  key(Qt::Key_Up, chooser->view());
  key(Qt::Key_Return, chooser->view());
  EXPECT_FALSE(chooser->view()->isVisible());
  EXPECT_EQ(std::pair(m.CurrentFolder, m.PersonCount), std::pair(u"%あ"_s, qint16(2)));
}

TEST_F(MainWindowTest, CtrlFFindsKanaWidthAndCaseAlikeFromTheCurrentPersonOn) {
  makeFolder(u"太郎"_s, 0,
             {u"北*藤井*************"_s, u"南*あべ*************"_s, u"東*Aoki*************"_s,
              u"西*ｱｵｷ*************"_s, u"北区*あべ二郎*************"_s});
  start();
  QTest::keyClick(form.get(), Qt::Key_F, Qt::ControlModifier);
  auto* box = form->findChild<FindBox*>();
  ASSERT_TRUE(box && box->isVisible());
  const auto found = [&] { return std::pair(int(m.CurrentIndex), box->status()->text()); };
  auto find = [&](const QString& text) {  // replaces the text as an input method does
    box->text()->selectAll();
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QCoreApplication::sendEvent(box->text(), &commit);
    return found();
  };
  auto next = [&] {
    key(Qt::Key_Return, box->text());
    return found();
  };
  EXPECT_EQ(find(u"アベ"_s), std::pair(1, QString()));
  EXPECT_EQ(next(), std::pair(4, QString()));
  EXPECT_EQ(next(), std::pair(1, QString()));  // round to the first again
  EXPECT_EQ(find(u"aoki"_s), std::pair(2, QString()));
  EXPECT_EQ(find(u"アオキ"_s), std::pair(3, QString()));
  EXPECT_EQ(find(u"北"_s), std::pair(4, QString()));  // territories too, from the current on
  EXPECT_EQ(find(u"xyz"_s), std::pair(4, u"見つかりません"_s));
  key(Qt::Key_Escape, box->text());
  EXPECT_FALSE(box->isVisible());
}

// Left, top, width and height as stored (twips).
class StoredPlaceTest : public MainWindowTest,
                        public ::testing::WithParamInterface<std::array<int, 4>> {};

TEST_P(StoredPlaceTest, KeepsTheWindowWholeOnTheScreenAndNoSmallerThanItsLayout) {
  const auto [left, top, width, height] = GetParam();
  storeMainSize(width, height, left, top);
  start(3);
  EXPECT_TRUE(form->screen()->availableGeometry().contains(form->frameGeometry()))
      << QTest::toString(form->frameGeometry());
  EXPECT_GE(form->clientWidthTwips(), 600);
  EXPECT_GE(form->clientHeightTwips(), 300);
}

INSTANTIATE_TEST_SUITE_P(Nonsense, StoredPlaceTest,
                         ::testing::Values(std::array{0, 0, 1, 1}, std::array{0, 0, -5, -5},
                                           std::array{0, 0, 32767, 32767},
                                           std::array{32767, 32767, 5220, 4848},
                                           std::array{-3000, 600, 5220, 4848}));

}  // namespace
}  // namespace velnor::test
