// Start-up and shut-down: the command-line check, the removal of what interrupted saves
// left, the real seam's message boxes, the welcome dialog driven through its real controls
// and keys, and the program from start to end in a temporary program folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest/QTest>
#include <functional>
#include <limits>
#include <memory>
#include <tuple>

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

TEST(Translations, qtsOwnMenusButtonsAndPrintDialogSpeakJapanese) {
  ASSERT_TRUE(installTranslations(*qApp));
  QLineEdit box;
  const std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
  const QDialogButtonBox buttons(QDialogButtonBox::Cancel);
  EXPECT_EQ(menu->actions().value(0)->text().section(u'\t', 0, 0), u"元に戻す(&U)"_s);
  EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), u"キャンセル"_s);
  // The print dialog's texts that Qt's catalogue leaves in English.
  EXPECT_EQ(QCoreApplication::translate("QPrintSettingsOutput", "Double Sided Printing"),
            u"両面印刷"_s);
  EXPECT_EQ(QCoreApplication::translate("QPrintPropertiesWidget", "Advanced"), u"詳細設定"_s);
}

// Files in the working directory; the program folder elsewhere.
class CommandLine : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const QString& f :
         {u"%太郎.txt"_s, u"%花子/データー.vrd"_s, u"%山田 太郎"_s, u"plain.txt"_s})
      work.writeBytes(f, "x\r\n");
    program.writeBytes(u"%次郎.txt"_s, "x\r\n");
    ASSERT_TRUE(QDir::setCurrent(work.path()));
  }
  void TearDown() override { QDir::setCurrent(saved); }
  test::TempProgram work, program;
  const QString saved = QDir::currentPath();
};

// Nothing, or a "%" name found in the working directory; never other names, names found
// elsewhere or broken quotes.
TEST_F(CommandLine, acceptsOnlyAPercentNameFoundInTheWorkingDirectory) {
  for (const QString& line :
       {QString(), u"%太郎.txt"_s, u"  %太郎.txt  "_s, u"%花子/"_s, u"\"%太郎.txt\""_s,
        u"  \" %太郎.txt \"  "_s, commandLineOf({u"velnor"_s, u"%山田"_s, u"太郎"_s})})
    EXPECT_TRUE(commandLineAccepted(line)) << line.toStdString();
  for (const QString& line : {u"plain.txt"_s, u"\"plain.txt\""_s, u"%次郎"_s, u"%次郎.txt"_s,
                              u"\"%太郎.txt"_s, u"%太郎.txt\""_s, u"\""_s, u"\"\""_s, u"   "_s})
    EXPECT_FALSE(commandLineAccepted(line)) << line.toStdString();
}

TEST(LeftoverSaves, areRemovedFromTheProgramFolderEveryRecordFolderAndTheBackups) {
  test::TempProgram tp;
  // Copies the user made beside the files look much like temporary files.
  const QStringList kept = {u"Velnor.ini"_s,
                            u"Velnor.ini.old123"_s,
                            u"%太郎/データー.vrd"_s,
                            u"%太郎/メモ.txt.bak"_s,
                            u"%太郎/藤井.txt.BACKUP"_s,
                            u"%太郎/データー.vrd.202401"_s,
                            u"バックアップ/%太郎/20260101/山田.txt"_s};
  for (const QString& f : kept) tp.writeBytes(f, "x\r\n");
  const QStringList folders = {QString(), u"%太郎"_s, u"バックアップ/%太郎/20260101"_s};
  QList<QStringList> before;
  for (const QString& folder : folders) before << tp.entries(folder);
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
    EXPECT_EQ(tp.entries(folders[i]), before[i]) << folders[i].toStdString();
  for (const QString& f : kept) EXPECT_EQ(tp.readBytes(f), "x\r\n") << f.toStdString();
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

TEST(QtShell, aBoxOpensOverTheModalWindowWithItsTextAndButtonsAndAnswersOkOnlyForOk) {
  test::TempProgram tp;
  QtShell shell(*tp.m);
  QDialog owner;
  QWidget* parent = nullptr;
  QString text;
  QStringList buttons;
  whenModalOpens([&](QWidget*) {
    whenModalOpens([&](QWidget* box) {
      parent = box->parentWidget();
      text = qobject_cast<QMessageBox*>(box)->text();
      for (QPushButton* b : box->findChildren<QPushButton*>()) buttons << b->text();
    });
    shell.message(u"削除の確認"_s, u"一\n\r二\r\n三\r四\n\n五"_s, Buttons::OkCancel);
    owner.close();
  });
  owner.exec();
  EXPECT_EQ(parent, &owner);
  EXPECT_EQ(text, u"一\n二\n三\n四\n\n五"_s);  // every kind of line break shown as one
  EXPECT_EQ(buttons, (QStringList{u"OK"_s, u"キャンセル"_s}));
  // OK / Cancel answers OK only for OK.
  whenModalOpens([](QWidget* box) { click(box, u"キャンセル"_s); });
  EXPECT_EQ(shell.message(u"削除の確認"_s, u"削除"_s, Buttons::OkCancel), Answer::Cancel);
  whenModalOpens([](QWidget* box) { click(box, u"OK"_s); });
  EXPECT_EQ(shell.message(u"削除の確認"_s, u"削除"_s, Buttons::OkCancel), Answer::Ok);
  whenModalOpens([](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); });
  EXPECT_EQ(shell.message(u"削除の確認"_s, u"削除"_s, Buttons::OkCancel), Answer::Cancel);
}

// ---- The welcome dialog, with a fake seam.

class WelcomeDialogTest : public ::testing::Test {
 protected:
  // FolderCreated false: the first start; true: "新規作成" from a chooser.
  void open(const QString& typed, bool folderCreated = false) {
    tp.m->FolderCreated = folderCreated;
    dialog = std::make_unique<Form10>(*tp.m);
    dialog->show();
    type(typed);
  }
  // Japanese text arrives as an input method commits it.
  void type(const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QCoreApplication::sendEvent(dialog->Text1, &event);
  }
  void enter() { QTest::keyClick(dialog->Text1, Qt::Key_Return); }
  QStringList recordFolders() const {
    return QDir(tp.path()).entryList({u"%*"_s}, QDir::AllEntries | QDir::NoDotAndDotDot);
  }
  static QString indexOf(const QString& name) { return u'%' + name + u"/データー.vrd"_s; }

  test::TempProgram tp;
  test::FakeShell& shell = tp.shell;
  std::unique_ptr<Form10> dialog;
};

// The first start: a name, then Enter. That it goes on without a word is checked on the
// whole start (below). The dialog says where the folder will be: in the program
// folder (here a temporary one, not the test program's folder), or beside the program.
TEST_F(WelcomeDialogTest, enteredCreatesTheFolderOpensItOnItsFirstCellAndWritesTheSettings) {
  open(u"太郎"_s);
  EXPECT_TRUE(dialog->Label3->text().endsWith(QDir::toNativeSeparators(tp.path())));
  Module1 beside(QCoreApplication::applicationDirPath());
  beside.shell = &shell;
  EXPECT_TRUE(Form10(beside).Label3->text().startsWith(u"このソフトが入っている同じところ"_s));
  tp.m->CurrentIndex = 4;
  tp.m->CurrentColumn = 7;
  enter();
  EXPECT_EQ(tp.readBytes(indexOf(u"太郎"_s)),
            test::TempProgram::cp932Lines({kIndexComment1, kIndexComment2, kPlaceholderRecord}));
  EXPECT_EQ(tp.m->CurrentFolder, u"%太郎"_s);
  EXPECT_EQ(tp.m->CurrentIndex, 0);
  EXPECT_EQ(tp.m->CurrentColumn, 0);
  EXPECT_TRUE(tp.m->FolderCreated);
  EXPECT_EQ(tp.readBytes(kSettingsFileName),
            test::TempProgram::dataBytes(u"settings/first_start.ini"_s));
}

TEST_F(WelcomeDialogTest, anEmptyFolderOfTheNameIsTakenAndTheSettingsFileLeftAlone) {
  ASSERT_TRUE(QDir(tp.path()).mkdir(u"%次郎"_s));
  tp.writeBytes(kSettingsFileName, "[my own]\r\n");
  open(u"次郎"_s, true);
  enter();
  EXPECT_TRUE(shell.messages.isEmpty());
  EXPECT_TRUE(tp.exists(indexOf(u"次郎"_s)));
  EXPECT_EQ(tp.m->CurrentFolder, u"%次郎"_s);
  EXPECT_EQ(tp.readBytes(kSettingsFileName), QByteArray("[my own]\r\n"));
}

// Enter needs a name, and reopening empties the entry. The press of Enter went to the input
// method; only a release after a press counts, once.
TEST_F(WelcomeDialogTest, enterNeedsANameAndActsOnceOnItsReleaseWhateverHasTheFocus) {
  open(u"x"_s);
  EXPECT_TRUE(dialog->Command1->isEnabled());
  QTest::keyClick(dialog->Text1, Qt::Key_Backspace);
  EXPECT_FALSE(dialog->Command1->isEnabled());
  enter();
  EXPECT_TRUE(recordFolders().isEmpty());
  EXPECT_TRUE(dialog->isVisible());
  type(u"太郎"_s);  // reopening empties the entry
  dialog->hide();
  dialog->show();
  EXPECT_TRUE(dialog->Text1->text().isEmpty());
  EXPECT_FALSE(dialog->Command1->isEnabled());
  type(u"太郎"_s);
  QTest::keyRelease(dialog->Text1, Qt::Key_Return);
  QTest::keyPress(dialog->Text1, Qt::Key_Return);
  EXPECT_TRUE(recordFolders().isEmpty());
  EXPECT_TRUE(dialog->isVisible());
  QTest::keyRelease(dialog->Text1, Qt::Key_Return);
  EXPECT_EQ(recordFolders(), QStringList{u"%太郎"_s});
  EXPECT_TRUE(shell.messages.isEmpty());  // no second attempt refused as "exists"
  // Whatever has the focus.
  open(u"abc"_s, true);
  dialog->Command2->setFocus();
  QTest::keyClick(dialog->Command2, Qt::Key_Enter);
  EXPECT_TRUE(tp.exists(indexOf(u"abc"_s)));
  EXPECT_EQ(shell.ended, 0);
}

TEST_F(WelcomeDialogTest, everyWayOfQuitting_endsTheProgramOnlyAtFirstStart) {
  const std::function<void(Form10&)> ways[] = {
      [](Form10& d) { QTest::keyClick(d.Text1, Qt::Key_F5); },
      [](Form10& d) { QTest::keyClick(d.Text1, Qt::Key_Escape); },
      [](Form10& d) { QTest::mouseClick(d.Command2, Qt::LeftButton); },
      [](Form10& d) { d.close(); }};
  for (bool folderCreated : {true, false})
    for (const auto& quit : ways) {
      SCOPED_TRACE(testing::Message()
                   << "first start: " << !folderCreated << ", way " << &quit - ways);
      shell.ended = 0;
      tp.m->ProgramEnded = false;
      open(u"太郎"_s, folderCreated);
      quit(*dialog);
      EXPECT_EQ(shell.ended, folderCreated ? 0 : 1);
      EXPECT_EQ(tp.m->ProgramEnded, !folderCreated);
      EXPECT_FALSE(dialog->isVisible());
      EXPECT_EQ(dialog->result(), QDialog::Rejected);
    }
  EXPECT_TRUE(recordFolders().isEmpty());
}

TEST_F(WelcomeDialogTest, refusedNames_sayWhy_keepTheDialogOpen_andChangeNothing) {
  const QByteArray old = test::TempProgram::cp932Lines({u"[古い]"_s, u"山田*花子*************"_s});
  tp.makeFolder(u"花子"_s, old);                            // a record folder in use
  tp.writeBytes(u"%三郎"_s, "not a folder");                // a plain file of the name
  ASSERT_TRUE(QDir(tp.path()).mkpath(indexOf(u"次郎"_s)));  // a folder in the index's place
  tp.m->CurrentFolder = u"%別"_s;
  const QString invalid = u"無効です"_s, unsaved = u"保存できません"_s;
  // Each name with its box title and what the text must say; 안 cannot be kept in the
  // settings file.
  QList<std::tuple<QString, QString, QString>> refused = {
      {u"花子"_s, invalid,
       u"同じ名前の記録フォルダーがあります\n\r別名を入力しなおしてください・・・"_s},
      {u"三郎"_s, unsaved, u"%三郎"_s},
      {u"次郎"_s, unsaved, u"%次郎"_s},
      {u".."_s, invalid, u"「..」"_s},
      {u"花子."_s, invalid, u"「.」"_s},
      {u"花子 "_s, invalid, u"空白"_s},
      {u"a\tb"_s, invalid, u"制御文字"_s},
      {u"山안녕"_s, invalid, u"안　　は"_s},
      {u"新規作成"_s, invalid, u"「新規作成」"_s}};
  for (QChar c : u"\\/:*?\"<>|"_s)
    refused.append({u'a' + QString(c) + u'b', invalid, c + u"　　は入力できません"_s});
  for (const auto& [name, title, problem] : refused) {
    shell.messages.clear();
    open(name);
    enter();
    SCOPED_TRACE(name.toStdString());
    ASSERT_EQ(shell.messages.size(), 1);
    const test::ShownMessage& box = shell.messages[0];
    EXPECT_EQ(box.title, title);
    EXPECT_TRUE(box.text.contains(problem)) << box.text.toStdString();
    // Kept for the user to correct, except a name already in use.
    EXPECT_EQ(dialog->Text1->text(), name == u"花子"_s ? QString() : name);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(tp.m->FolderCreated);
    EXPECT_EQ(tp.m->CurrentFolder, u"%別"_s);
  }
  EXPECT_EQ(shell.beeps, 1);  // for the name in use only
  EXPECT_EQ(tp.readBytes(indexOf(u"花子"_s)), old);
  EXPECT_EQ(tp.readBytes(u"%三郎"_s), QByteArray("not a folder"));
  EXPECT_EQ(recordFolders().size(), 3);
}

// A pasted C1 control character is invisible: the message names its kind instead. 〜 as
// Linux input methods type it is stored as Windows' ～, so it is fine.
TEST(FolderNames, anInvisibleControlCharacterIsNamed_dotsWideSpacesAndLookalikesAreFine) {
  EXPECT_EQ(folderNameProblem(u"a"_s + QChar(0x85) + u"b"_s),
            u"タブや改行などの制御文字　　は入力できません･･･"_s);
  for (const QString& ok : {u"a.b"_s, u"　全角空白"_s, u"〜①"_s, u"%二重"_s, u".隠し"_s})
    EXPECT_TRUE(folderNameProblem(ok).isEmpty()) << ok.toStdString();
}

// ---- From start to end.

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
  // The window with the text cursor is the active one, its box the focus.
  static void expectTypingGoesTo(QWidget* input) {
    ASSERT_TRUE(input);
    EXPECT_TRUE(QTest::qWaitForWindowActive(input, 2000));
    EXPECT_EQ(QApplication::activeWindow(), input);
    ASSERT_TRUE(QApplication::focusWidget());
    EXPECT_EQ(QApplication::focusWidget()->window(), input);
    EXPECT_TRUE(QApplication::focusWidget()->inherits("QLineEdit") ||
                QApplication::focusWidget()->inherits("QPlainTextEdit"));
  }
  ~StartToEndTest() override { delete dynamic_cast<QWidget*>(tp.m->inputScreen); }
  test::TempProgram tp;
  TestShell shell;
};

// A first start with a record folder and no settings file yet writes one with nothing
// stored; F5 ends it quietly with the defaults, the folder, one launch and, of the
// windows' places and sizes, the main window's as shown.
TEST_F(StartToEndTest, aFirstStartWritesTheSettingsAndF5EndsItQuietlyWithTheDefaults) {
  tp.makeFolder(u"太郎"_s, test::TempProgram::cp932Lines({u"区域*名前*************"_s}));
  std::unique_ptr<Form1> main = openMainWindow(*tp.m, &shell);
  ASSERT_TRUE(main);
  EXPECT_EQ(tp.readBytes(kSettingsFileName),
            test::TempProgram::dataBytes(u"settings/first_start.ini"_s));
  const QRect at = main->geometryTwips();
  const int shown[] = {at.left(), at.top(), at.width(), at.height()};
  QTest::keyClick(main.get(), Qt::Key_F5);
  EXPECT_EQ(shell.ended, 1);
  EXPECT_FALSE(main->isVisible());
  EXPECT_EQ(shell.messages, 0);
  const QStringList lines = decodeCp932(tp.readBytes(kSettingsFileName)).split(u"\r\n"_s);
  const QStringList expected =
      decodeCp932(test::TempProgram::dataBytes(u"settings/defaults.ini"_s)).split(u"\r\n"_s);
  ASSERT_EQ(lines.size(), expected.size());
  static const QRegularExpression place(u"^i11([0-7])="_s);
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const int k = expected[i].contains(place) ? place.match(expected[i]).captured(1).toInt() : -1;
    if (k < 0) {
      EXPECT_EQ(lines[i], expected[i]);
    } else if (k < 4) {
      EXPECT_EQ(lines[i].section(u'=', 1).trimmed().toInt(), shown[k]) << k;
    }
  }
}

// In February the start offers to close last year; OK and the dialog's Enter close it.
TEST_F(StartToEndTest, aStartInFebruaryOffersToCloseTheYearJustEnded) {
  tp.makeFolder(u"太郎"_s, test::TempProgram::indexBytes(
                               {test::TempProgram::record(u"北1"_s, u"林"_s, {u"3"_s})}));
  tp.writeBytes(u"Velnor.ini"_s, test::TempProgram::cp932Lines({u"s201=%太郎"_s}));
  tp.m->clock = [] { return QDateTime(QDate(2027, 2, 3), QTime(12, 0)); };
  whenModalOpens([](QWidget* dialog) {
    EXPECT_EQ(dialog->windowTitle(), u"新しい年"_s);
    QTest::keyClick(dialog, Qt::Key_Return);
  });
  std::unique_ptr<Form1> main = openMainWindow(*tp.m, &shell);
  ASSERT_TRUE(main);
  EXPECT_EQ(shell.messages, 1);
  EXPECT_TRUE(tp.exists(u"%太郎（2026年）/林.txt"_s));
  EXPECT_EQ(tp.m->folder().recordCount(), 1);
  EXPECT_FALSE(decodeCp932(tp.readBytes(u"%太郎/データー.vrd"_s)).contains(u"林*3"_s));
}

TEST_F(StartToEndTest, firstStartInAnEmptyFolder_aNameAndEnterOpenTheNewFolder) {
  whenModalOpens([](QWidget* w) {
    if (auto* welcome = qobject_cast<Form10*>(w)) {
      QTest::keyClicks(welcome->Text1, u"taro"_s);
      QTest::keyClick(welcome->Text1, Qt::Key_Return);
    }
  });
  std::unique_ptr<Form1> main = openMainWindow(*tp.m, &shell);
  ASSERT_TRUE(main);
  EXPECT_TRUE(main->isVisible());
  EXPECT_EQ(shell.ended, 0);
  EXPECT_EQ(shell.messages, 0);
  EXPECT_EQ(tp.m->CurrentFolder, u"%taro"_s);  // only the welcome dialog can have made it
  // The new, still empty folder continues into the input screen.
  auto* input = dynamic_cast<QWidget*>(tp.m->inputScreen);
  ASSERT_TRUE(input);
  EXPECT_TRUE(input->isVisible());
  EXPECT_TRUE(tp.m->InputScreenOpen);
  expectTypingGoesTo(input);
}

// Started as often as the count holds: it stays at its largest.
TEST_F(StartToEndTest, aStartThatReopensTheInputScreenLetsTypingGoThere) {
  tp.makeFolder(u"太郎"_s, test::TempProgram::cp932Lines({u"区域*名前*************"_s}));
  tp.writeBytes(u"Velnor.ini"_s, test::TempProgram::cp932Lines(
                                     {u"b101=True"_s, u"i119= 2147483647 "_s, u"s201=%太郎"_s}));
  std::unique_ptr<Form1> main = openMainWindow(*tp.m, &shell);
  ASSERT_TRUE(main);
  expectTypingGoesTo(dynamic_cast<QWidget*>(tp.m->inputScreen));
  EXPECT_EQ(tp.m->LaunchCount, std::numeric_limits<qint32>::max());
}

}  // namespace
}  // namespace velnor
