// The real seam: its message boxes and the welcome dialog it opens, answered from
// inside their own event loops.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>
#include <functional>

#include "app/form10.h"
#include "app/qt_shell.h"
#include "support/temp_program.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {
namespace {

// Runs `act` on the modal window once its event loop runs; closes whatever is still
// open afterwards, so a test that goes wrong fails instead of waiting for ever.
void whenModalOpens(std::function<void(QWidget*)> act) {
  QTimer::singleShot(0, [act] {
    QWidget* modal = QApplication::activeModalWidget();
    ASSERT_NE(modal, nullptr);
    act(modal);
    if (QApplication::activeModalWidget() == modal) modal->close();
  });
}

QPushButton* buttonWithText(QWidget* box, const QString& text) {
  for (QPushButton* b : box->findChildren<QPushButton*>())
    if (b->text() == text) return b;
  return nullptr;
}

struct SeenBox {
  QString title, text;
  QStringList buttons;
};

SeenBox describe(QWidget* w) {
  auto* box = qobject_cast<QMessageBox*>(w);
  SeenBox seen;
  if (!box) return seen;
  seen.title = box->windowTitle();
  seen.text = box->text();
  for (QAbstractButton* b : box->buttons()) seen.buttons << b->text();
  seen.buttons.sort();
  return seen;
}

TEST(QtShellText, lineBreakPairsBecomeSingleBreaks) {
  EXPECT_EQ(QtShell::displayText(u"一\n\r二"_s), u"一\n二"_s);
  EXPECT_EQ(QtShell::displayText(u"一\r\n二\r三"_s), u"一\n二\n三"_s);
  EXPECT_EQ(QtShell::displayText(u"一\n\n二"_s), u"一\n\n二"_s);
}

class QtShellTest : public ::testing::Test {
 protected:
  QtShellTest() : shell(*tp.m) { tp.m->shell = &shell; }
  test::TempProgram tp;
  QtShell shell;
};

TEST_F(QtShellTest, okBox_showsTitleTextAndOneOkButton) {
  SeenBox seen;
  whenModalOpens([&](QWidget* box) {
    seen = describe(box);
    QTest::mouseClick(buttonWithText(box, u"OK"_s), Qt::LeftButton);
  });
  EXPECT_EQ(shell.message(u"無効です"_s, u"一\n\r二"_s, Buttons::Ok), Answer::Ok);
  EXPECT_EQ(seen.title, u"無効です"_s);
  EXPECT_EQ(seen.text, u"一\n二"_s);
  EXPECT_EQ(seen.buttons, QStringList{u"OK"_s});
}

TEST_F(QtShellTest, okCancelBox_answersWhatWasPressed) {
  SeenBox seen;
  whenModalOpens([&](QWidget* box) {
    seen = describe(box);
    QTest::mouseClick(buttonWithText(box, u"キャンセル"_s), Qt::LeftButton);
  });
  EXPECT_EQ(shell.message(u"削除の確認"_s, u"削除しますか"_s, Buttons::OkCancel), Answer::Cancel);
  EXPECT_EQ(seen.buttons, (QStringList{u"OK"_s, u"キャンセル"_s}));

  whenModalOpens(
      [&](QWidget* box) { QTest::mouseClick(buttonWithText(box, u"OK"_s), Qt::LeftButton); });
  EXPECT_EQ(shell.message(u"削除の確認"_s, u"削除しますか"_s, Buttons::OkCancel), Answer::Ok);
}

TEST_F(QtShellTest, okCancelBoxClosedWithEscape_answersCancel) {
  whenModalOpens([&](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); });
  EXPECT_EQ(shell.message(u"削除の確認"_s, u"削除しますか"_s, Buttons::OkCancel), Answer::Cancel);
}

TEST_F(QtShellTest, welcomeDialog_isModalAndReturnsAfterCreatingTheFolder) {
  bool wasForm10 = false;
  whenModalOpens([&](QWidget* w) {
    auto* dialog = qobject_cast<Form10*>(w);
    ASSERT_NE(dialog, nullptr);
    wasForm10 = true;
    QInputMethodEvent typed;
    typed.setCommitString(u"太郎"_s);
    QCoreApplication::sendEvent(dialog->Text1, &typed);
    QTest::keyClick(dialog->Text1, Qt::Key_Return);
  });
  shell.showWelcomeDialog();
  EXPECT_TRUE(wasForm10);
  EXPECT_EQ(tp.m->CurrentFolder, u"%太郎"_s);
  EXPECT_TRUE(tp.exists(u"%太郎/データー.vrd"_s));
  EXPECT_FALSE(tp.m->ProgramEnded);
}

TEST_F(QtShellTest, welcomeDialogRefusal_showsItsBoxOverTheDialog) {
  tp.makeFolder(u"花子"_s, "x\r\n");
  SeenBox seen;
  whenModalOpens([&](QWidget* w) {
    auto* dialog = qobject_cast<Form10*>(w);
    ASSERT_NE(dialog, nullptr);
    QInputMethodEvent typed;
    typed.setCommitString(u"花子"_s);
    QCoreApplication::sendEvent(dialog->Text1, &typed);
    // The refusal box opens inside this handler; answer it from its own loop.
    whenModalOpens([&](QWidget* box) {
      seen = describe(box);
      EXPECT_EQ(box->parentWidget(), dialog);
      QTest::keyClick(box, Qt::Key_Return);
    });
    QTest::keyClick(dialog->Text1, Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->Text1->text().isEmpty());
    tp.m->FolderCreated = true;  // "新規作成": closing only closes
  });
  shell.showWelcomeDialog();
  EXPECT_EQ(seen.title, u"無効です"_s);
  EXPECT_EQ(seen.text, u"同じ名前の記録フォルダーがあります\n別名を入力しなおしてください・・・"_s);
  EXPECT_FALSE(tp.m->ProgramEnded);
}

}  // namespace
}  // namespace velnor
