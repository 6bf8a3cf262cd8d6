// Ending the program from inside a modal window: every loop is left, every window hidden.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>
#include <QtTest/QTest>

#include "app/form10.h"
#include "app/qt_shell.h"
#include "support/temp_program.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {
namespace {

TEST(EndProgram, quitAtFirstStart_leavesTheDialogsLoopAndHidesEveryWindow) {
  test::TempProgram tp;
  QtShell shell(*tp.m);
  tp.m->shell = &shell;
  QWidget other;
  other.show();

  bool sawDialog = false;
  bool stillOpen = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    auto* welcome = qobject_cast<Form10*>(dialog);
    sawDialog = welcome != nullptr;
    if (welcome) QTest::keyClick(welcome->Text1, Qt::Key_F5);
    // Never wait for ever on a dialog that failed to go.
    stillOpen = dialog->isVisible();
    if (stillOpen) dialog->done(QDialog::Rejected);
  });
  tp.m->FolderCreated = false;
  shell.showWelcomeDialog();  // returns only because the loop was left

  EXPECT_TRUE(sawDialog);
  EXPECT_FALSE(stillOpen);
  EXPECT_TRUE(tp.m->ProgramEnded);
  EXPECT_FALSE(other.isVisible());
  for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_FALSE(w->isVisible());
  EXPECT_TRUE(QDir(tp.path()).entryList({u"%*"_s}, QDir::AllEntries).isEmpty());
}

}  // namespace
}  // namespace velnor
