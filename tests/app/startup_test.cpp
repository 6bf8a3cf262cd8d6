// Start-up and shut-down: the command-line check, the removal of what interrupted saves
// left, the real seam's message boxes, and the program from start to end in a temporary
// program folder (in this process, and as the built executable for refused starts).
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>
#include <functional>
#include <limits>

#include "app/form10.h"
#include "app/qt_shell.h"
#include "app/startup.h"
#include "core/text_file.h"
#include "support/failing_writer.h"
#include "support/temp_program.h"
#include "ui/common/translations.h"
#include "ui/main/form1.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {
namespace {

TEST(Translations, qtsOwnMenusAndButtonsSpeakJapanese) {
  ASSERT_TRUE(installTranslations(*qApp));
  QLineEdit box;
  const std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
  const QDialogButtonBox buttons(QDialogButtonBox::Cancel);
  EXPECT_EQ(std::pair(menu->actions().value(0)->text().section(u'\t', 0, 0),
                      buttons.button(QDialogButtonBox::Cancel)->text()),
            std::pair(u"元に戻す(&U)"_s, u"キャンセル"_s));
}

TEST(CommandLine, acceptsNothingOrAPercentNameFoundInTheWorkingDirectory) {
  test::TempProgram work, program;  // the working directory; the program folder elsewhere
  for (const QString& f :
       {u"%太郎.txt"_s, u"%花子/データー.vrd"_s, u"%山田 太郎"_s, u"plain.txt"_s})
    work.writeBytes(f, "x\r\n");
  program.writeBytes(u"%次郎.txt"_s, "x\r\n");
  const QString saved = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(work.path()));
  for (const QString& line :
       {QString(), u"%太郎.txt"_s, u"  %太郎.txt  "_s, u"%花子/"_s, u"\"%太郎.txt\""_s,
        u"  \" %太郎.txt \"  "_s, commandLineOf({u"velnor"_s, u"%山田"_s, u"太郎"_s})})
    EXPECT_TRUE(commandLineAccepted(*program.m, line)) << line.toStdString();
  for (const QString& line : {u"plain.txt"_s, u"\"plain.txt\""_s, u"%次郎"_s, u"%次郎.txt"_s,
                              u"\"%太郎.txt"_s, u"%太郎.txt\""_s, u"\""_s, u"\"\""_s, u"   "_s})
    EXPECT_FALSE(commandLineAccepted(*program.m, line)) << line.toStdString();
  QDir::setCurrent(saved);
}

TEST(LeftoverSaves, areRemovedFromTheProgramFolderEveryRecordFolderAndTheBackups) {
  test::TempProgram tp;
  const QStringList kept = {u"Velnor.ini"_s, u"%太郎/データー.vrd"_s, u"%太郎/メモ.txt.bak"_s,
                            u"%太郎/データー.vrd.202401"_s,
                            u"バックアップ/%太郎/20260101/山田.txt"_s};
  for (const QString& f : kept) tp.writeBytes(f, "x\r\n");
  const auto names = [&](const QString& folder) {
    return QDir(tp.path(folder)).entryList(QDir::Files | QDir::Hidden);
  };
  const QStringList folders = {QString(), u"%太郎"_s, u"バックアップ/%太郎/20260101"_s};
  QList<QStringList> before;
  for (const QString& folder : folders) before << names(folder);
  {
    // Each save is cut off before it could take the file's place.
    test::ScopedFailingWriter killed(test::FailAt::Crash);
    FileError err;
    for (const QString& f : {u"Velnor.ini"_s, u"%太郎/データー.vrd"_s, u"%太郎/新人.txt"_s,
                             u"バックアップ/%太郎/20260101/山田.txt"_s})
      ASSERT_FALSE(writeTextFile(tp.path(f), {u"new"_s}, &err));
  }
  removeLeftoverSaves(tp.path());
  for (int i = 0; i < folders.size(); ++i)
    EXPECT_EQ(names(folders[i]), before[i]) << folders[i].toStdString();
  for (const QString& f : kept) EXPECT_EQ(tp.readBytes(f), "x\r\n") << f.toStdString();
}

TEST(RefusedStart, theProgramEndsAtOnceWithoutWritingSettings) {
  test::TempProgram programDir, workDir;
  const QString program = programDir.path(u"velnor"_s);
  ASSERT_TRUE(QFile::copy(QString::fromUtf8(VELNOR_EXECUTABLE), program));
  programDir.writeBytes(u"%太郎/データー.vrd"_s, "x\r\n");
  workDir.writeBytes(u"plain.txt"_s, "x\r\n");
  // Exists but lacks "%"; names nothing; exists beside the program, not in the working folder;
  // an option the program does not know.
  for (const QString& arg : {u"plain.txt"_s, u"%誰も"_s, u"%太郎/"_s, u"--Version"_s}) {
    QProcess p;  // inherits the offscreen platform; killed on destruction if still running
    p.setWorkingDirectory(workDir.path());
    p.start(program, {arg});
    // No settings file: the program ended before loading its main window.
    EXPECT_TRUE(p.waitForFinished(8000) && p.exitStatus() == QProcess::NormalExit &&
                p.exitCode() == 0 && !programDir.exists(u"Velnor.ini"_s))
        << arg.toStdString();
  }
}

// Runs `act` on the modal window once its event loop runs; closes whatever is still
// open afterwards, so a test that goes wrong fails instead of waiting for ever.
void whenModalOpens(std::function<void(QWidget*)> act) {
  QTimer::singleShot(0, [act] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal) act(modal);
    if (modal && QApplication::activeModalWidget() == modal) modal->close();
  });
}

void click(QWidget* box, const QString& text) {
  for (QPushButton* b : box->findChildren<QPushButton*>())
    if (b->text() == text) QTest::mouseClick(b, Qt::LeftButton);
}

TEST(QtShell, boxesOpenOverTheModalWindow_andOkCancelAnswersOkOnlyForOk) {
  test::TempProgram tp;
  QtShell shell(*tp.m);
  QDialog owner;
  QWidget* parent = nullptr;
  QString text;
  QStringList buttons;
  Answer answer = Answer::Ok;
  whenModalOpens([&](QWidget*) {
    whenModalOpens([&](QWidget* box) {
      parent = box->parentWidget();
      text = qobject_cast<QMessageBox*>(box)->text();
      for (QPushButton* b : box->findChildren<QPushButton*>()) buttons << b->text();
      click(box, u"キャンセル"_s);
    });
    answer = shell.message(u"削除の確認"_s, u"一\n\r二\r\n三\r四\n\n五"_s, Buttons::OkCancel);
    owner.close();
  });
  owner.exec();
  EXPECT_EQ(parent, &owner);
  EXPECT_EQ(text, u"一\n二\n三\n四\n\n五"_s);  // every kind of line break shown as one
  EXPECT_EQ(buttons, (QStringList{u"OK"_s, u"キャンセル"_s}));
  EXPECT_EQ(answer, Answer::Cancel);
  whenModalOpens([](QWidget* box) { click(box, u"OK"_s); });
  EXPECT_EQ(shell.message(u"削除の確認"_s, u"削除"_s, Buttons::OkCancel), Answer::Ok);
  whenModalOpens([](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); });
  EXPECT_EQ(shell.message(u"削除の確認"_s, u"削除"_s, Buttons::OkCancel), Answer::Cancel);
}

// The real windows and seam, with message boxes counted instead of shown and no real exit.
class TestShell : public QtShell {
 public:
  using QtShell::QtShell;
  Answer message(const QString&, const QString&, Buttons, Icon) override {
    ++messages;
    return Answer::Ok;
  }
  void endProgram() override {
    ++ended;
    for (QWidget* w : QApplication::topLevelWidgets()) w->hide();
  }
  int messages = 0, ended = 0;
};

class StartToEndTest : public ::testing::Test {
 protected:
  StartToEndTest() : shell(*tp.m) { tp.m->shell = &shell; }
  ~StartToEndTest() override { delete dynamic_cast<QWidget*>(tp.m->inputScreen); }
  test::TempProgram tp;
  TestShell shell;
};

TEST_F(StartToEndTest, firstStartWithAFolder_writesSettings_F5WritesTheDefaultsAndTheSizesChosen) {
  tp.makeFolder(u"太郎"_s, test::TempProgram::cp932Lines({u"区域*名前*************"_s}));
  // The expected files are saved from a second program folder holding the expected values;
  // the file format itself is checked byte for byte with the settings.
  test::TempProgram ref;
  Module1& r = *ref.m;
  ASSERT_TRUE(r.SaveSettings());
  std::unique_ptr<Form1> main = openMainWindow(*tp.m, &shell);
  ASSERT_TRUE(main && main->isVisible());
  EXPECT_EQ(main->windowTitle(), u"再訪問記録一覧"_s);
  // The missing settings file was created on loading, with nothing in it yet.
  EXPECT_EQ(tp.readBytes(u"Velnor.ini"_s), ref.readBytes(u"Velnor.ini"_s));

  const QRect at = main->geometryTwips();
  QTest::keyClick(main.get(), Qt::Key_F5);
  EXPECT_TRUE(shell.ended == 1 && !main->isVisible() && shell.messages == 0);
  r.ApplyDefaults();
  r.MainLeft = at.left();
  r.MainTop = at.top();
  r.MainWidth = at.width();
  r.MainHeight = at.height();
  // The input screen is to open beside it, to the same scale (design client heights
  // 4452 and 4584, frames 84 × 276).
  const double scale = (at.height() - 396) / 4452.0;
  r.InputLeft = at.left() + at.width();
  r.InputTop = at.top();
  r.InputWidth = qRound(4992 * scale + 84);
  r.InputHeight = qRound(4584 * scale + 276);
  r.LaunchCount = 1;
  r.CurrentFolder = u"%太郎"_s;
  ASSERT_TRUE(r.SaveSettings());
  EXPECT_EQ(tp.readBytes(u"Velnor.ini"_s), ref.readBytes(u"Velnor.ini"_s));
}

TEST_F(StartToEndTest, launchCountAtItsLargestStaysThere) {
  tp.makeFolder(u"太郎"_s, test::TempProgram::cp932Lines({u"区域*名前*************"_s}));
  tp.writeBytes(u"Velnor.ini"_s,
                test::TempProgram::cp932Lines({u"i119= 2147483647 "_s, u"s201=%太郎"_s}));
  std::unique_ptr<Form1> main = openMainWindow(*tp.m, &shell);
  ASSERT_TRUE(main);
  EXPECT_EQ(tp.m->LaunchCount, std::numeric_limits<qint32>::max());
}

TEST_F(StartToEndTest, firstStartInAnEmptyFolder_aNameAndEnterOpenTheNewFolder) {
  whenModalOpens([](QWidget* w) {
    if (auto* welcome = qobject_cast<Form10*>(w)) {
      QTest::keyClicks(welcome->Text1, u"taro"_s);
      QTest::keyClick(welcome->Text1, Qt::Key_Return);
    }
  });
  std::unique_ptr<Form1> main = openMainWindow(*tp.m, &shell);
  ASSERT_TRUE(main && main->isVisible());
  EXPECT_EQ(shell.ended + shell.messages, 0);
  EXPECT_EQ(tp.m->CurrentFolder, u"%taro"_s);  // only the welcome dialog can have made it
  // The new, still empty folder continues into the input screen.
  auto* input = dynamic_cast<QWidget*>(tp.m->inputScreen);
  EXPECT_TRUE(input && input->isVisible() && tp.m->InputScreenOpen);
}

}  // namespace
}  // namespace velnor
