#pragma once
// A main window over a temporary program folder, with the seam and the input screen faked.

#include <gtest/gtest.h>

#include <QStringList>
#include <QTest>
#include <memory>

#include "support/fakes.h"
#include "support/temp_program.h"
#include "ui/main/form1.h"

namespace velnor::test {

using namespace Qt::Literals::StringLiterals;

// Closes as the real input screen does (it is no longer loaded), unless told to refuse.
class ClosingInputScreen : public FakeInputScreen {
 public:
  void unload() override {
    FakeInputScreen::unload();
    if (!refuse) module->inputScreen = nullptr;
  }
  bool refuse = false;
};

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() : m(*prog.m) {
    m.shell = &shell;
    input.module = &m;
    // Opening the input screen loads it as the real one does: it becomes m.inputScreen.
    shell.onInputScreen = [this] {
      m.inputScreen = &input;
      if (openInputRunsLoad) m.ChangeRecordFolder();
    };
  }
  ~MainWindowTest() override {
    form.reset();
    m.inputScreen = nullptr;
  }

  static QString record(const QString& territory, const QString& name,
                        const QStringList& months = {}) {
    QString line = territory + u'*' + name + u'*';
    for (int k = 0; k < 12; ++k) line += months.value(k) + u'*';
    return line;
  }
  // A record folder "%name" holding `people` records named 人0, 人1, ... (or the lines given).
  QString makeFolder(const QString& name, int people) {
    QStringList lines{kIndexComment1, kIndexComment2};
    for (int i = 0; i < people; ++i)
      lines << record(u"区"_s + QString::number(i), u"人"_s + QString::number(i));
    return prog.makeFolder(name, TempProgram::cp932Lines(lines));
  }
  QString makeFolder(const QString& name, const QStringList& records) {
    return prog.makeFolder(
        name, TempProgram::cp932Lines(QStringList{kIndexComment1, kIndexComment2} + records));
  }
  void writeSettings(const QStringList& lines) {
    prog.writeBytes(kSettingsFileName, TempProgram::cp932Lines(lines));
  }
  QStringList fileLines(const QString& relative) const {
    return decodeCp932(prog.readBytes(relative)).split(u"\r\n"_s, Qt::SkipEmptyParts);
  }
  QStringList indexLines(const QString& folder) const {
    return fileLines(folder + u'/' + kIndexFileName);
  }

  // Starts the window as the program does: load, then show when the program goes on.
  void start() {
    form = std::make_unique<Form1>(m);
    form->Form_Load();
    if (!m.ProgramEnded) {
      form->show();
      ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
  }

  void key(int qtKey, QWidget* to = nullptr) {
    QTest::keyClick(to ? to : form.get(), Qt::Key(qtKey));
  }
  // Opens the input screen as Space does, without its load touching the folder.
  void openInput() {
    key(Qt::Key_Space);
    ASSERT_TRUE(m.InputScreenOpen);
    ASSERT_EQ(m.inputScreen, &input);
    input.calls.clear();
  }

  // Pixel point of list units (x, y) of the visible picture.
  QPoint listPoint(double x, double y) const {
    const QSize s = form->Picture1->pixelSize();
    return QPoint(int(x * s.width() / 160.0), int(y * s.height() / 260.0));
  }
  void clickList(double x, double y) {
    QTest::mouseClick(form->Picture1->canvas(), Qt::LeftButton, {}, listPoint(x, y));
  }

  TempProgram prog;
  Module1& m;
  FakeShell shell;
  ClosingInputScreen input;
  bool openInputRunsLoad = false;
  std::unique_ptr<Form1> form;
};

}  // namespace velnor::test
