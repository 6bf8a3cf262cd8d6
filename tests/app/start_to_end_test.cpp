// The program from start to end in a temporary program folder: the real windows and the
// real seam, with message boxes recorded instead of shown and no real exit.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTimer>
#include <QtTest/QTest>

#include "app/form10.h"
#include "app/qt_shell.h"
#include "app/startup.h"
#include "support/fakes.h"
#include "support/temp_program.h"
#include "ui/main/form1.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {
namespace {

class TestShell : public QtShell {
 public:
  using QtShell::QtShell;
  Answer message(const QString& title, const QString& text, Buttons buttons, Icon) override {
    messages.append({title, text, buttons});
    return Answer::Ok;
  }
  void beep() override { ++beeps; }
  void endProgram() override {
    ++ended;
    for (QWidget* w : QApplication::topLevelWidgets()) w->hide();
  }
  QList<test::ShownMessage> messages;
  int beeps = 0;
  int ended = 0;
};

// The values of the settings file, in the order of its lines.
struct Settings {
  bool inputOpen = false, listFormat = false;
  int rowHeight = 0, noteFont = 0;
  qint32 back0 = 0, back1 = 0, back2 = 0, text0 = 0, text1 = 0;
  int mainLeft = 0, mainTop = 0, mainWidth = 0, mainHeight = 0;
  int inputLeft = 0, inputTop = 0, inputWidth = 0, inputHeight = 0;
  int sortKind = 0;
  qint32 launches = 0;
  int span = 0;
  QString folder;
};

QString num(qint64 v) { return (v < 0 ? QString() : u" "_s) + QString::number(v) + u' '; }
QString flag(bool b) { return b ? u"True"_s : u"False"_s; }

QByteArray settingsBytes(const Settings& s) {
  return test::TempProgram::cp932Lines({
      u"[Velnorの設定記録ファイル]"_s, u"[起動設定]"_s,
      u"b101="_s + flag(s.inputOpen),  u"[一覧表示の形式]"_s,
      u"i103="_s + flag(s.listFormat), u"[行の高さ]"_s,
      u"i104="_s + num(s.rowHeight),   u"[補足情報の文字サイズ]"_s,
      u"i104b="_s + num(s.noteFont),   u"[フォームの背景色]"_s,
      u"L108(0)="_s + num(s.back0),    u"[一覧表の背景色]"_s,
      u"L108(1)="_s + num(s.back1),    u"[ボタンの色]"_s,
      u"L108(2)="_s + num(s.back2),    u"[一覧表の文字色]"_s,
      u"L109(0)="_s + num(s.text0),    u"[入力欄の文字色]"_s,
      u"L109(1)="_s + num(s.text1),    u"[メインの位置Ｘ]"_s,
      u"i110="_s + num(s.mainLeft),    u"[メインの位置Ｙ]"_s,
      u"i111="_s + num(s.mainTop),     u"[メインの大きさＸ]"_s,
      u"i112="_s + num(s.mainWidth),   u"[メインの大きさＹ]"_s,
      u"i113="_s + num(s.mainHeight),  u"[入力画面の位置Ｘ]"_s,
      u"i114="_s + num(s.inputLeft),   u"[入力画面の位置Ｙ]"_s,
      u"i115="_s + num(s.inputTop),    u"[入力画面の大きさＸ]"_s,
      u"i116="_s + num(s.inputWidth),  u"[入力画面の大きさＹ]"_s,
      u"i117="_s + num(s.inputHeight), u"[並べ替えの種類]"_s,
      u"i118="_s + num(s.sortKind),    u"[起動回数]"_s,
      u"i119="_s + num(s.launches),    u"[表示形式]"_s,
      u"i120="_s + num(s.span),        u"[前回終了時の記録フォルダー名]"_s,
      u"s201="_s + s.folder,
  });
}

QByteArray newIndexBytes() {
  return test::TempProgram::cp932Lines(
      {u"[このフォルダーには、Velnorデーターが収納されます]"_s,
       u"[コンピューターがいつ壊れて情報が失われるかわかりませんので,バックアップを取ることをお勧めします]"_s,
       u"区域*名前*************"_s});
}

// Acts on the welcome dialog once its own event loop runs. A dialog the action leaves
// open is closed, so that a failing test does not wait for ever.
void whenWelcomeOpens(std::function<void(Form10&)> act, bool* seen) {
  QTimer::singleShot(0, [act, seen] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    if (auto* welcome = qobject_cast<Form10*>(dialog)) {
      *seen = true;
      act(*welcome);
    }
    if (dialog->isVisible()) dialog->done(QDialog::Rejected);
  });
}

class StartToEndTest : public ::testing::Test {
 protected:
  StartToEndTest() : shell(*tp.m) { tp.m->shell = &shell; }
  ~StartToEndTest() override {
    if (auto* input = dynamic_cast<QWidget*>(tp.m->inputScreen)) delete input;
  }
  QStringList recordFolders() const {
    return QDir(tp.path()).entryList({u"%*"_s}, QDir::AllEntries | QDir::NoDotAndDotDot);
  }

  test::TempProgram tp;
  TestShell shell;
};

TEST_F(StartToEndTest, firstStartWithAFolder_writesSettings_F5WritesTheDefaults) {
  tp.makeFolder(u"太郎"_s, newIndexBytes());
  std::unique_ptr<Form1> main = openMainWindow(*tp.m, &shell);
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(main->isVisible());
  EXPECT_EQ(main->windowTitle(), u"再訪問記録一覧"_s);
  // The missing settings file was created on loading, with nothing in it yet.
  EXPECT_EQ(tp.readBytes(u"Velnor.ini"_s), settingsBytes({}));

  const QRect at = main->geometryTwips();
  QTest::keyClick(main.get(), Qt::Key_F5);

  EXPECT_EQ(shell.ended, 1);
  EXPECT_FALSE(main->isVisible());
  Settings expected;
  expected.rowHeight = 10;
  expected.noteFont = 9;
  expected.back0 = 12648384;
  expected.back1 = 12648447;
  expected.back2 = 16761024;
  expected.mainLeft = at.left();
  expected.mainTop = at.top();
  expected.mainWidth = at.width();
  expected.mainHeight = at.height();
  expected.inputLeft = 5220;
  expected.launches = 1;
  expected.folder = u"%太郎"_s;
  EXPECT_EQ(tp.readBytes(u"Velnor.ini"_s), settingsBytes(expected));
  EXPECT_TRUE(shell.messages.isEmpty());
}

TEST_F(StartToEndTest, firstStartInAnEmptyFolder_quitInTheWelcomeDialogEndsUncounted) {
  bool welcomed = false;
  whenWelcomeOpens([](Form10& d) { QTest::keyClick(d.Text1, Qt::Key_F5); }, &welcomed);
  std::unique_ptr<Form1> main = openMainWindow(*tp.m, &shell);

  EXPECT_TRUE(welcomed);
  EXPECT_EQ(main, nullptr);
  EXPECT_TRUE(tp.m->ProgramEnded);
  EXPECT_EQ(shell.ended, 1);
  EXPECT_TRUE(recordFolders().isEmpty());
  EXPECT_EQ(tp.readBytes(u"Velnor.ini"_s), settingsBytes({}));  // launch count still 0
}

TEST_F(StartToEndTest, firstStartInAnEmptyFolder_aNameAndEnterOpenTheNewFolder) {
  bool welcomed = false;
  whenWelcomeOpens(
      [](Form10& d) {
        QInputMethodEvent typed;
        typed.setCommitString(u"太郎"_s);
        QCoreApplication::sendEvent(d.Text1, &typed);
        QTest::keyClick(d.Text1, Qt::Key_Return);
      },
      &welcomed);
  std::unique_ptr<Form1> main = openMainWindow(*tp.m, &shell);

  EXPECT_TRUE(welcomed);
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(main->isVisible());
  EXPECT_EQ(shell.ended, 0);
  EXPECT_EQ(tp.readBytes(u"%太郎/データー.vrd"_s), newIndexBytes());
  EXPECT_EQ(tp.m->CurrentFolder, u"%太郎"_s);
  // The new, still empty folder continues into the input screen.
  ASSERT_NE(tp.m->inputScreen, nullptr);
  EXPECT_TRUE(dynamic_cast<QWidget*>(tp.m->inputScreen)->isVisible());
  EXPECT_TRUE(tp.m->InputScreenOpen);
}

}  // namespace
}  // namespace velnor
