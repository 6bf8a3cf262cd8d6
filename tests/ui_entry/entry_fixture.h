#pragma once
// Three people in the folder "%テスト" (and one in "%別") of a temporary program folder,
// fakes for the main window and the seam, and helpers that type and click as a user does.

#include <gtest/gtest.h>

#include <QtTest/QTest>
#include <QtWidgets>

#include "core/text_file.h"
#include "support/fakes.h"
#include "support/temp_program.h"
#include "support/windows.h"

namespace velnor::test {

using namespace Qt::Literals::StringLiterals;

inline const QString kRefused = u"　　は入力できません･･･"_s;
inline const QString kDuplicate = u"無効です…: 同じ名前がすでにあります。変更してください…"_s;

inline QString recordLine(const QString& territory, const QString& name,
                          const QStringList& months = {}) {
  return TempProgram::record(territory, name, months);
}

class EntryTest : public ::testing::Test {
 protected:
  // The people of "%テスト" as its index file holds them.
  const QString yamada = recordLine(u"北"_s, u"山田太郎"_s, {u"1/5"_s}),
                inoue = recordLine(u"南"_s, u"井上"_s),
                ueda = recordLine(u"東"_s, u"上田"_s, {{}, u"2/9"_s});
  void SetUp() override {
    m.mainWindow = &main;
    m.ApplyDefaults();
    m.CurrentMonth = 5;
    m.CurrentColumn = 2;
    makeFolder(u"別"_s, {recordLine(u"西"_s, u"木村"_s, {u"4/4"_s})});
    makeFolder(u"テスト"_s, {yamada, inoue, ueda});
  }
  void TearDown() override { closeQuietly(form, m); }
  void makeFolder(const QString& name, const QStringList& records) {
    folder = p.useFolder(name, records);
  }
  // Creates the input screen the way the program opens it, shows and activates it.
  void openScreen() {
    m.InputScreenOpen = true;
    form = new Form3(m);
    form->Form_Load();
    form->show();
    QApplication::setActiveWindow(form);
    shell.messages.clear();
  }

  // Starts the real main window, with the input screen open at the last exit or not.
  void startBothWindows(bool inputWasOpen) {
    m.mainWindow = nullptr;
    openInputScreenInto(form, m, shell);
    m.InputScreenOpen = inputWasOpen;
    ASSERT_TRUE(m.SaveSettings());
    mainForm = startMainWindow(m);
  }

  // ASCII as key clicks; anything else the way an input method commits it.
  void type(QWidget* box, const QString& text) {
    focus(box);
    QTest::keyClicks(box, text);
  }
  void commit(QWidget* box, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(box, &event);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier);  // the input method's release
    QApplication::sendEvent(box, &release);
  }
  void retype(QWidget* box, const QString& text) {
    focus(box);
    QMetaObject::invokeMethod(box, "selectAll");
    commit(box, text);
  }
  void key(QWidget* target, Qt::Key k) { QTest::keyClick(target, k); }
  void focus(QWidget* w) {
    w->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
  }
  void clickName(int row) {
    const QRect r = form->List2->rowRect(row);
    QTest::mouseClick(form->List2->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
  }
  QStringList names() const {
    QStringList out;
    for (int i = 0; i < form->List2->count(); ++i) out << form->List2->text(i);
    return out;
  }
  // The one message shown since the last call as "title: text", else how many there were.
  QString message() {
    const QList<ShownMessage> shown = std::exchange(shell.messages, {});
    return shown.size() == 1 ? shown[0].title + u": "_s + shown[0].text
                             : QString::number(shown.size()) + u" messages"_s;
  }
  std::unique_ptr<Module1> nextStart() const {  // what the next start reads
    auto next = std::make_unique<Module1>(p.path());
    EXPECT_TRUE(next->LoadSettings());
    return next;
  }

  // Every file of the folder in use, name → bytes.
  QMap<QString, QByteArray> files(const QStringList& filter = {}) const {
    QMap<QString, QByteArray> out;
    for (const QString& f : QDir(p.path(folder)).entryList(filter, QDir::Files | QDir::Hidden))
      out.insert(f, p.readBytes(folder + u'/' + f));
    return out;
  }
  // The record lines of the index file in use, one field of them, a note file's lines.
  QStringList records() const { return lines(kIndexFileName).filter(u"*"_s); }
  QString field(int row, int column) const {
    return records().value(row).section(u'*', column, column);
  }
  QStringList lines(const QString& file) const {
    return decodeCp932(p.readBytes(folder + u'/' + file)).split(u"\r\n"_s);
  }
  QStringList noteLines(const QString& name) const { return lines(name + u".txt"_s); }
  bool noteExists(const QString& name) const { return p.exists(folder + u'/' + name + u".txt"_s); }
  QByteArray indexBytes() const { return p.readBytes(folder + u'/' + kIndexFileName); }

  TempProgram p;
  Module1& m = *p.m;
  FakeShell& shell = p.shell;
  FakeMainWindow main;
  QPointer<Form3> form;
  std::unique_ptr<Form1> mainForm;
  QString folder;
};

// The same with the input screen open on the first person.
class OpenEntryTest : public EntryTest {
 protected:
  void SetUp() override {
    EntryTest::SetUp();
    openScreen();
  }
};

}  // namespace velnor::test
