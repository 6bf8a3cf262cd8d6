// The main window driven through its real widgets on the offscreen platform.
#include <QAbstractItemView>
#include <QScrollBar>
#include <QWheelEvent>

#include "core/table_drawing.h"
#include "form1_fixture.h"
#include "support/recording_surface.h"
#include "ui/common/twips.h"

namespace velnor::test {
namespace {

// ---- Start-up

TEST_F(MainWindowTest, StartsOnTheRememberedFolder) {
  makeFolder(u"太郎"_s, 3);
  makeFolder(u"花子"_s, 1);
  writeSettings({u"s201=%太郎"_s});
  start();
  EXPECT_EQ(m.CurrentFolder, u"%太郎"_s);
  EXPECT_EQ(m.PersonCount, 3);
  EXPECT_EQ(form->windowTitle(), u"再訪問記録一覧"_s);
  EXPECT_EQ(form->Combo1->currentText(), u"太郎"_s);
  EXPECT_EQ(form->Combo1->itemText(0), u"新規作成"_s);
  EXPECT_EQ(m.LaunchCount, 1);
  EXPECT_TRUE(shell.messages.isEmpty());
}

TEST_F(MainWindowTest, FirstRunShowsTheWelcomeDialogOnce) {
  shell.onWelcome = [this] {
    m.CurrentFolder = makeFolder(u"花子"_s, 1);
    m.FolderCreated = true;
  };
  openInputRunsLoad = true;
  start();
  EXPECT_EQ(shell.welcomeShown, 1);
  EXPECT_EQ(shell.inputShown, 1);
  EXPECT_TRUE(m.InputScreenOpen);
  EXPECT_EQ(m.CurrentFolder, u"%花子"_s);
  EXPECT_TRUE(form->isVisible());
}

TEST_F(MainWindowTest, FirstRunEndsWhenTheWelcomeDialogIsClosed) {
  shell.onWelcome = [this] { m.EndProgram(); };
  start();
  EXPECT_EQ(shell.welcomeShown, 1);
  EXPECT_EQ(shell.ended, 1);
  EXPECT_FALSE(form->isVisible());
  EXPECT_TRUE(fileLines(kSettingsFileName).contains(u"i119= 0 "_s));
}

TEST_F(MainWindowTest, AMissingRememberedFolderIsReplacedByTheFirstOne) {
  makeFolder(u"い"_s, 2);
  makeFolder(u"あ"_s, 4);
  writeSettings({u"s201=%消えた"_s});
  start();
  EXPECT_EQ(m.CurrentFolder, u"%あ"_s);
  EXPECT_EQ(m.PersonCount, 4);
  EXPECT_EQ(form->Combo1->count(), 3);
  EXPECT_EQ(form->Combo1->currentText(), u"あ"_s);
  EXPECT_TRUE(shell.messages.isEmpty());
}

TEST_F(MainWindowTest, TheInputScreenComesBackOnlyWithItsFolder) {
  makeFolder(u"太郎"_s, 2);
  writeSettings({u"b101=True"_s, u"s201=%太郎"_s});
  start();
  EXPECT_EQ(shell.inputShown, 1);
  EXPECT_TRUE(m.InputScreenOpen);
}

TEST_F(MainWindowTest, ARememberedInputScreenWhoseFolderIsGoneStaysClosed) {
  makeFolder(u"あ"_s, 4);
  writeSettings({u"b101=True"_s, u"s201=%消えた"_s});
  start();
  EXPECT_EQ(shell.inputShown, 0);
  EXPECT_FALSE(m.InputScreenOpen);
  EXPECT_EQ(m.CurrentFolder, u"%あ"_s);
  EXPECT_EQ(m.PersonCount, 4);
  EXPECT_FALSE(prog.exists(u"%消えた"_s));
}

// ---- Layout

TEST_F(MainWindowTest, DesignSizeGivesTheDesignLayout) {
  makeFolder(u"太郎"_s, 1);
  start();
  EXPECT_EQ(form->size(), QSize(332, 297));  // 4980 × 4452 twips, to the pixel
  EXPECT_EQ(form->Command1->geometry(), QRect(4, 8, 33, 17));
  EXPECT_EQ(form->Command5->geometry(), QRect(296, 8, 33, 17));
  EXPECT_EQ(form->Command8->geometry(), QRect(296, 252, 33, 37));
  EXPECT_EQ(form->Picture1->geometry(), QRect(4, 28, 289, 265));
  EXPECT_NEAR(form->Command1->font().pointSizeF(), 8, 0.02);
  EXPECT_NEAR(form->Combo1->font().pointSizeF(), 9, 0.02);
  EXPECT_FALSE(form->Command9->isVisible());
  EXPECT_EQ(form->Picture1->pixelSize(), form->Picture1->size());
}

TEST_F(MainWindowTest, DoubleHeightLimitsButtonFontsByWidth) {
  makeFolder(u"太郎"_s, 1);
  start();
  form->resize(332, 594);
  EXPECT_EQ(form->Command1->geometry(), QRect(4, 16, 33, 34));
  for (QPushButton* b : {form->Command1, form->Command4, form->Command6, form->Command8})
    EXPECT_NEAR(b->font().pointSizeF(), 33 * 15 / 70.0, 0.01) << b->objectName().toStdString();
  EXPECT_NEAR(form->Combo1->font().pointSizeF(), 18, 0.05);

  form->resize(664, 594);  // both doubled: the height rules again
  EXPECT_EQ(form->Command5->geometry(), QRect(592, 16, 66, 34));
  EXPECT_NEAR(form->Command1->font().pointSizeF(), 16, 0.05);
  EXPECT_EQ(form->Picture1->geometry(), QRect(8, 56, 578, 530));

  RecordingSurface s;  // the list font follows the client height
  form->draw_rutin(s, 0.37);
  EXPECT_NEAR(s.ofKind(DrawOp::Font)[0].size, 12, 0.05);
}

TEST_F(MainWindowTest, ClientsBelow600By300TwipsAreNotLaidOut) {
  makeFolder(u"太郎"_s, 1);
  start();
  const QRect before = form->Command5->geometry();
  form->resize(39, 200);  // 585 twips wide
  EXPECT_EQ(form->Command5->geometry(), before);
  form->resize(40, 200);  // 600 twips
  EXPECT_EQ(form->Command5->geometry().left(), twipsToPx(4440 * 600 / 4980.0));
}

// ---- The list and the cell cursor

TEST_F(MainWindowTest, ThePictureShowsTheTableOnTheListBackground) {
  makeFolder(u"太郎"_s, 2);
  start();
  const QImage img = form->Picture1->surface().image();
  const QPoint headerCell = listPoint(14, 5);  // right of "区域"
  const QPoint below = listPoint(80, 200);
  EXPECT_EQ(QColor(img.pixel(headerCell)), fromBgr(0xFFC0C0));
  EXPECT_EQ(QColor(img.pixel(below)), fromBgr(0xC0FFFF));
}

TEST_F(MainWindowTest, MarkerFollowsPlaceCursor) {
  makeFolder(u"太郎"_s, 3);
  start();
  const double w = form->Picture1->pixelSize().width() / 160.0;
  const double h = form->Picture1->pixelSize().height() / 260.0;
  EXPECT_TRUE(form->Shape1->isVisible());
  EXPECT_NEAR(form->Shape1->x(), 0, 1);
  EXPECT_NEAR(form->Shape1->width(), 15 * w, 1.5);
  EXPECT_NEAR(form->Shape1->y(), 10 * h, 1);

  m.CurrentColumn = 14;  // December
  m.CurrentIndex = 2;
  m.PlaceCursor();
  EXPECT_NEAR(form->Shape1->x(), 151 * w, 1);
  EXPECT_NEAR(form->Shape1->y(), 30 * h, 1);

  m.DisplaySpan = 2;  // June, three months: April .. June
  m.CurrentMonth = 6;
  m.CurrentColumn = 8;
  m.PlaceCursor();
  EXPECT_NEAR(form->Shape1->x(), 132 * w, 1);
  EXPECT_NEAR(form->Shape1->width(), 28 * w, 1.5);
}

TEST_F(MainWindowTest, ClickSelectsRowAndColumn) {
  makeFolder(u"太郎"_s, 3);
  start();
  clickList(30, 35);  // row 2, name column
  EXPECT_EQ(m.CurrentIndex, 2);
  EXPECT_EQ(m.CurrentColumn, 2);
  clickList(65, 5);  // header row: the row stays, the column changes (February)
  EXPECT_EQ(m.CurrentIndex, 2);
  EXPECT_EQ(m.CurrentColumn, 3 + 1);
  clickList(5, 200);  // below the last row
  EXPECT_EQ(m.CurrentIndex, 2);
  EXPECT_EQ(m.CurrentColumn, 1);
  clickList(159.9, 15);  // the right edge still belongs to December
  EXPECT_EQ(m.CurrentIndex, 0);
  EXPECT_EQ(m.CurrentColumn, 14);
}

TEST_F(MainWindowTest, ClickInTheSecondOfThreeMonthsInMaySelectsApril) {
  makeFolder(u"太郎"_s, 2);
  start();
  m.DisplaySpan = 2;
  m.CurrentMonth = 5;
  form->Command9->click();
  clickList(25 + 51 + 28 + 14, 15);
  EXPECT_EQ(m.CurrentColumn, 6);
  EXPECT_EQ(m.CurrentIndex, 0);
}

// ---- Keys and commands with the input screen closed

TEST_F(MainWindowTest, UpAtTheTopAndDownAtTheBottomDoNothing) {
  makeFolder(u"太郎"_s, 3);
  start();
  key(Qt::Key_Up);
  EXPECT_EQ(m.CurrentIndex, 0);
  key(Qt::Key_Down);
  key(Qt::Key_Down);
  EXPECT_EQ(m.CurrentIndex, 2);
  key(Qt::Key_Down);
  EXPECT_EQ(m.CurrentIndex, 2);
  key(Qt::Key_Up, form->Combo1);  // the chooser previews nothing: the window moves
  EXPECT_EQ(m.CurrentIndex, 1);
  EXPECT_EQ(m.CurrentFolder, u"%太郎"_s);
}

TEST_F(MainWindowTest, F2DeletesTheLastPersonAfterConfirmation) {
  const QString folder = makeFolder(u"太郎"_s, 3);
  start();
  clickList(30, 35);
  prog.writeBytes(folder + u"/人2.txt"_s, TempProgram::cp932Lines({u"メモ"_s}));
  shell.answers = {Answer::Cancel};
  key(Qt::Key_F2);
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].title, u"削除の確認"_s);
  EXPECT_EQ(shell.messages[0].text, u"この人の情報を削除してよろしいですか？"_s);
  EXPECT_EQ(shell.messages[0].buttons, Buttons::OkCancel);
  EXPECT_EQ(m.PersonCount, 3);

  key(Qt::Key_F2);  // OK this time
  EXPECT_EQ(m.PersonCount, 2);
  EXPECT_EQ(m.CurrentIndex, 1);
  EXPECT_EQ(indexLines(folder).size(), 4);
  EXPECT_FALSE(prog.exists(folder + u"/人2.txt"_s));
  const double w = form->Picture1->pixelSize().width() / 160.0;
  EXPECT_NEAR(form->Shape1->x(), 15 * w, 1);  // on the name cell of the new last row
  EXPECT_NEAR(form->Shape1->width(), 37 * w, 1.5);
}

TEST_F(MainWindowTest, DeletingTheOnlyPersonLeavesAFreshPlaceholder) {
  const QString folder = makeFolder(u"太郎"_s, 1);
  start();
  key(Qt::Key_F2);
  EXPECT_EQ(indexLines(folder), (QStringList{kIndexComment1, kIndexComment2, kPlaceholderRecord}));
  EXPECT_EQ(m.PersonCount, 1);
  EXPECT_EQ(m.CurrentIndex, 0);
  RecordingSurface s;
  form->draw_rutin(s, 0.37);
  EXPECT_TRUE(s.texts().contains(u"名前"_s));
  EXPECT_FALSE(s.texts().contains(u"人0"_s));
}

TEST_F(MainWindowTest, DeletingOneOfTwoNamesakesKeepsTheirNoteFile) {
  const QString folder =
      makeFolder(u"太郎"_s, {record(u"a"_s, u"名前"_s), record(u"b"_s, u"名前"_s)});
  start();
  ASSERT_TRUE(prog.exists(folder + u"/名前.txt"_s));
  key(Qt::Key_F2);
  EXPECT_EQ(m.PersonCount, 1);
  EXPECT_TRUE(prog.exists(folder + u"/名前.txt"_s));
}

TEST_F(MainWindowTest, SpaceTogglesTheInputScreenFromAnyControl) {
  makeFolder(u"太郎"_s, 2);
  start();
  form->Command2->setFocus();
  key(Qt::Key_Space, form->Command2);  // does not press the focused 削除
  EXPECT_TRUE(shell.messages.isEmpty());
  EXPECT_TRUE(m.InputScreenOpen);
  EXPECT_EQ(shell.inputShown, 1);
  key(Qt::Key_Space, form->Combo1);
  EXPECT_FALSE(m.InputScreenOpen);
  EXPECT_TRUE(input.calls.contains(u"unload"_s));
}

TEST_F(MainWindowTest, DoubleClickOpensAndClosesTheInputScreen) {
  makeFolder(u"太郎"_s, 2);
  start();
  QTest::mouseDClick(form->Picture1->canvas(), Qt::LeftButton, {}, listPoint(30, 25));
  EXPECT_TRUE(m.InputScreenOpen);
  QTest::mouseDClick(form->Picture1->canvas(), Qt::LeftButton, {}, listPoint(30, 25));
  EXPECT_FALSE(m.InputScreenOpen);
}

TEST_F(MainWindowTest, FunctionKeysOpenTheirWindows) {
  makeFolder(u"太郎"_s, 2);
  start();
  key(Qt::Key_F3);
  EXPECT_EQ(shell.settingsShown, 1);
  key(Qt::Key_F6);
  EXPECT_EQ(shell.printShown, 1);
  key(Qt::Key_F1);  // opens the input screen and adds there
  EXPECT_TRUE(m.InputScreenOpen);
  EXPECT_TRUE(input.calls.contains(u"add"_s));
}

// ---- Hand-overs while the input screen is open

TEST_F(MainWindowTest, WithTheInputScreenOpenItsButtonsArePressed) {
  makeFolder(u"太郎"_s, 3);
  start();
  openInput();
  key(Qt::Key_Down);
  EXPECT_EQ(input.selected, 1);
  key(Qt::Key_F2);
  key(Qt::Key_F3);
  EXPECT_EQ(input.calls, (QStringList{u"load"_s, u"delete"_s, u"settings"_s}));
  EXPECT_TRUE(shell.messages.isEmpty());
  EXPECT_EQ(shell.settingsShown, 0);

  input.calls.clear();
  clickList(100, 35);
  EXPECT_EQ(input.selected, 2);
  EXPECT_EQ(input.calls, QStringList{u"load"_s});
}

TEST_F(MainWindowTest, UnsavedEditsThatCannotBeStoredKeepTheSelection) {
  makeFolder(u"太郎"_s, 3);
  start();
  openInput();
  m.PersonModified = true;  // the fake's load stores nothing
  clickList(100, 35);
  EXPECT_EQ(m.CurrentIndex, 0);
  EXPECT_EQ(input.calls, QStringList{u"load"_s});
}

TEST_F(MainWindowTest, AnInputScreenThatRefusesToCloseStaysInCharge) {
  makeFolder(u"太郎"_s, 2);
  start();
  openInput();
  input.refuse = true;
  key(Qt::Key_Space);
  EXPECT_TRUE(m.InputScreenOpen);
  key(Qt::Key_F2);
  EXPECT_TRUE(input.calls.contains(u"delete"_s));
}

// ---- Record folders

TEST_F(MainWindowTest, ChoosingAFolderOpensIt) {
  makeFolder(u"あ"_s, 2);
  makeFolder(u"い"_s, 5);
  writeSettings({u"s201=%あ"_s});
  start();
  form->Combo1->showPopup();
  QAbstractItemView* view = form->Combo1->view();
  const QRect item = view->visualRect(view->model()->index(2, 0));
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
  EXPECT_EQ(m.CurrentFolder, u"%い"_s);
  EXPECT_EQ(m.PersonCount, 5);
  EXPECT_EQ(m.FolderItemIndex, 2);
  EXPECT_EQ(form->Combo1->currentText(), u"い"_s);
}

TEST_F(MainWindowTest, WithTheInputScreenOpenTheChoiceGoesToItsChooser) {
  makeFolder(u"あ"_s, 2);
  makeFolder(u"い"_s, 5);
  writeSettings({u"s201=%あ"_s});
  start();
  openInput();
  int chosen = -1;
  input.chooser.items = QStringList{kNewFolderItem, u"あ"_s, u"い"_s};
  input.chooser.onClick = [&](int i) { chosen = i; };
  form->folderChooser().choose(2);
  EXPECT_EQ(chosen, 2);
  EXPECT_EQ(form->Combo1->currentIndex(), m.FolderItemIndex);
  EXPECT_EQ(m.CurrentFolder, u"%あ"_s);
}

TEST_F(MainWindowTest, RefreshWhileTheChooserShowsNewFolderRedrawsTheFolderInUse) {
  makeFolder(u"太郎"_s, 3);
  start();
  form->folderChooser().select(0);  // "新規作成" shown while a new folder is on its way
  m.PersonCount = 0;
  form->Command9->click();
  EXPECT_EQ(m.PersonCount, 3);
  EXPECT_FALSE(prog.exists(u"%新規作成"_s));
}

// ---- Scrolling

TEST_F(MainWindowTest, AllRowsFitWithoutAScrollBar) {
  makeFolder(u"太郎"_s, 25);
  start();
  EXPECT_FALSE(form->Picture1->scrolling());
  EXPECT_EQ(form->Picture1->pixelSize(), form->Picture1->size());
}

TEST_F(MainWindowTest, TheViewFollowsTheSelectionAndTheHeaderStays) {
  makeFolder(u"太郎"_s, 40);
  start();
  ASSERT_TRUE(form->Picture1->scrolling());
  EXPECT_LT(form->Picture1->pixelSize().width(), form->Picture1->width());
  for (int i = 0; i < 30; ++i) key(Qt::Key_Down);
  EXPECT_EQ(m.CurrentIndex, 30);
  EXPECT_EQ(form->Picture1->firstRow(), 6);  // row 30 is the last of 25 shown
  EXPECT_TRUE(form->Shape1->isVisible());
  EXPECT_NEAR(form->Shape1->y(), 25 * form->Picture1->pixelSize().height() / 26.0, 1);

  RecordingSurface s;
  form->draw_rutin(s, 0.37);
  const QList<DrawOp> texts = s.ofKind(DrawOp::Text);
  EXPECT_EQ(texts[0].text, u"区域"_s);
  EXPECT_DOUBLE_EQ(texts[0].y, 1);
  EXPECT_EQ(texts[14].text, u"区6"_s);  // first row under the header
  EXPECT_DOUBLE_EQ(texts[14].y, 11);

  clickList(30, 15);  // the first row shown is record 6
  EXPECT_EQ(m.CurrentIndex, 6);
}

TEST_F(MainWindowTest, TheWheelScrollsByWholeRows) {
  makeFolder(u"太郎"_s, 40);
  start();
  QWidget* canvas = form->Picture1->canvas();
  const QPoint at = listPoint(50, 100);
  QWheelEvent wheel(at, canvas->mapToGlobal(at), {}, QPoint(0, -120), Qt::NoButton, {},
                    Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(canvas, &wheel);
  const int first = form->Picture1->firstRow();
  EXPECT_GT(first, 0);
  EXPECT_FALSE(form->Shape1->isVisible());  // record 0 scrolled away under the header
  EXPECT_EQ(m.CurrentIndex, 0);
  clickList(30, 15);
  EXPECT_EQ(m.CurrentIndex, first);
}

// ---- Shut-down

TEST_F(MainWindowTest, F5StoresThePositionsAndEnds) {
  makeFolder(u"太郎"_s, 1);
  start();
  form->move(3000, 10);  // far right: beyond the 16-bit range in twips
  key(Qt::Key_F5);
  EXPECT_EQ(shell.ended, 1);
  EXPECT_EQ(m.MainLeft, 32767);
  EXPECT_EQ(m.MainWidth, 5220);  // as it was loaded: no creeping by the frame
  const QStringList ini = fileLines(kSettingsFileName);
  EXPECT_TRUE(ini.contains(u"i110= 32767 "_s));
  EXPECT_TRUE(ini.contains(u"b101=False"_s));
}

TEST_F(MainWindowTest, ClosingWithAnOpenInputScreenReopensItNextTime) {
  makeFolder(u"太郎"_s, 2);
  start();
  openInput();
  input.minimized = true;
  form->close();
  EXPECT_FALSE(input.minimized);
  EXPECT_TRUE(input.calls.contains(u"unload"_s));
  EXPECT_EQ(m.InputWidth, 5076);
  EXPECT_EQ(shell.ended, 1);
  EXPECT_TRUE(fileLines(kSettingsFileName).contains(u"b101=True"_s));
}

TEST_F(MainWindowTest, ADuplicateNameKeepsBothWindowsOpen) {
  makeFolder(u"太郎"_s, 2);
  start();
  openInput();
  input.names = {u"同名"_s, u"同名"_s};
  input.nameBox = u"同名"_s;
  form->close();
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(shell.ended, 0);
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].title, u"無効です…"_s);
  EXPECT_FALSE(input.calls.contains(u"unload"_s));
}

TEST_F(MainWindowTest, AnInputScreenThatCannotStoreKeepsTheProgramRunning) {
  makeFolder(u"太郎"_s, 2);
  start();
  openInput();
  input.refuse = true;
  form->close();
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(shell.ended, 0);
  EXPECT_TRUE(m.InputScreenOpen);
}

}  // namespace
}  // namespace velnor::test
