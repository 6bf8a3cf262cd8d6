#pragma once
// The real windows opened as the program opens them, for test programs that link them.

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "support/fakes.h"
#include "support/temp_program.h"
#include "ui/entry/form3.h"
#include "ui/main/form1.h"

namespace velnor::test {

using namespace Qt::Literals::StringLiterals;

// Makes the seam open the input screen into `input` as the program's seam does.
inline void openInputScreenInto(QPointer<Form3>& input, Module1& m, FakeShell& shell) {
  m.shell = &shell;
  shell.onInputScreen = [&input, &m] {
    input = new Form3(m);
    input->Form_Load();
    if (!m.ProgramEnded && m.inputScreen == input) input->show();
  };
}

// Loads and shows the main window, which reopens the input screen if it was open at the last exit.
inline std::unique_ptr<Form1> startMainWindow(Module1& m) {
  auto main = std::make_unique<Form1>(m);
  main->Form_Load();
  main->show();
  return main;
}

// Closes the input screen at the end of a test without storing or asking anything.
inline void closeQuietly(QPointer<Form3>& input, Module1& m) {
  m.ProgramEnded = true;
  delete input.data();
}

// While the returned timer lives, each merge window of conflict copies is answered as soon as
// it is up, merged or put off (Esc), and counted in `answers`.
inline std::unique_ptr<QTimer> answerMergeWindows(bool merge, int& answers) {
  auto timer = std::make_unique<QTimer>();
  QObject::connect(timer.get(), &QTimer::timeout, [merge, &answers] {
    QWidget* window = QApplication::activeModalWidget();
    if (!window || window->windowTitle() != u"同期の衝突をまとめる"_s) return;
    ++answers;
    if (!merge) return QTest::keyClick(window, Qt::Key_Escape);
    for (auto* button : window->findChildren<QPushButton*>())
      if (button->text() == u"まとめる"_s) button->click();
  });
  timer->start(20);
  return timer;
}

// The real windows over "%太郎" of one person, started with `settings` stored.
class RealWindowsTest : public ::testing::Test {
 protected:
  void start(const QStringList& settings) {
    tp.makeFolder(u"太郎"_s, TempProgram::indexBytes({TempProgram::record(u"北"_s, u"山田"_s)}));
    tp.writeBytes(kSettingsFileName,
                  TempProgram::cp932Lines(QStringList{u"s201=%太郎"_s} + settings));
    openInputScreenInto(input, m, shell);
    main = startMainWindow(m);
  }
  void TearDown() override { closeQuietly(input, m); }
  TempProgram tp;
  Module1& m = *tp.m;
  FakeShell& shell = tp.shell;
  std::unique_ptr<Form1> main;
  QPointer<Form3> input;
};

}  // namespace velnor::test
