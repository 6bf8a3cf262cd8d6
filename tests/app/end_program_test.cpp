// Quitting the welcome dialog at the first start ends the program from inside a modal
// window: every loop is left and every window hidden. This leaves the event loops for
// good, so it runs in a process of its own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTimer>
#include <QtTest/QTest>

#include "app/form10.h"
#include "app/qt_shell.h"
#include "app/startup.h"
#include "support/temp_program.h"
#include "ui/main/form1.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {
namespace {

TEST(EndProgram, quitAtFirstStart_leavesTheDialogsLoopShowsNothingAndCountsNoLaunch) {
  test::TempProgram tp;
  QtShell shell(*tp.m);
  tp.m->shell = &shell;
  QWidget other;
  other.show();
  bool quit = false;  // the dialog showed and went on F5
  QTimer::singleShot(0, [&] {
    auto* welcome = qobject_cast<Form10*>(QApplication::activeModalWidget());
    if (!welcome) return;
    QTest::keyClick(welcome->Text1, Qt::Key_F5);
    quit = !welcome->isVisible();
    if (!quit) welcome->done(QDialog::Rejected);  // never wait for ever on a dialog that stayed
  });
  EXPECT_EQ(openMainWindow(*tp.m, &shell), nullptr);  // returns only because the loop was left
  EXPECT_TRUE(quit);
  EXPECT_TRUE(tp.m->ProgramEnded);
  for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_FALSE(w->isVisible());
  EXPECT_TRUE(QDir(tp.path()).entryList({u"%*"_s}, QDir::AllEntries).isEmpty());
  EXPECT_EQ(tp.readBytes(kSettingsFileName),  // no launch counted
            test::TempProgram::dataBytes(u"settings/first_start.ini"_s));
}

}  // namespace
}  // namespace velnor
