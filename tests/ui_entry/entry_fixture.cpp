#include "entry_fixture.h"

#include <QDir>
#include <QStringDecoder>

using namespace Qt::Literals::StringLiterals;

namespace velnor::test {

QString recordLine(const QString& territory, const QString& name, const QStringList& months) {
  QString line = territory + u'*' + name + u'*';
  for (int k = 0; k < 12; ++k) line += months.value(k) + u'*';
  return line;
}

void EntryTest::SetUp() {
  m.shell = &shell;
  m.mainWindow = &main;
  m.ApplyDefaults();
  m.CurrentMonth = 5;
  m.CurrentColumn = 2;
}

void EntryTest::TearDown() {
  if (form) {
    m.ProgramEnded = true;  // closing at teardown must not store or ask anything
    delete form.data();
  }
}

void EntryTest::makeFolder(const QStringList& recordLines, const QString& name) {
  QStringList lines{kIndexComment1, kIndexComment2};
  lines << recordLines;
  p.makeFolder(name, TempProgram::cp932Lines(lines));
  m.CurrentFolder = u'%' + name;
  folder = m.CurrentFolder;
  m.IndexFilePath = m.indexPathFor(m.CurrentFolder);
}

void EntryTest::openScreen() {
  m.InputScreenOpen = true;
  auto* f = new Form3(m);
  form = f;
  f->Form_Load();
  ASSERT_FALSE(m.ProgramEnded);
  ASSERT_EQ(m.inputScreen, f);
  f->show();
  QApplication::setActiveWindow(f);
  shell.messages.clear();
  main.calls.clear();
}

void EntryTest::type(QWidget* box, const QString& text) {
  for (const QChar c : text) {
    const bool ascii = c.unicode() < 0x80;
    if (ascii)
      QTest::keyClick(box, c.toLatin1());
    else
      commit(box, QString(c));
  }
}

void EntryTest::commit(QWidget* box, const QString& text) {
  QInputMethodEvent event;
  event.setCommitString(text);
  QApplication::sendEvent(box, &event);
  // The input method's key release (no key of its own).
  QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier);
  QApplication::sendEvent(box, &release);
}

void EntryTest::key(QWidget* target, Qt::Key k) { QTest::keyClick(target, k); }

void EntryTest::click(QWidget* target, QPoint at) {
  if (auto* area = qobject_cast<QAbstractScrollArea*>(target)) target = area->viewport();
  if (at.isNull()) at = target->rect().center();
  QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, at);
}

void EntryTest::clickName(int row) {
  QListWidget* list = form->List2;
  const QRect r = list->visualItemRect(list->item(row));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
}

void EntryTest::focus(QWidget* w) {
  w->setFocus(Qt::MouseFocusReason);
  QApplication::processEvents();
}

QStringList EntryTest::records() const {
  QList<TextLine> lines;
  readTextLines(m.indexPathFor(folder), lines, nullptr);
  QStringList out;
  for (const TextLine& l : lines)
    if (Module1::IsRecordLine(l.text)) out << l.text;
  return out;
}

QStringList EntryTest::noteLines(const QString& name) const {
  QList<TextLine> lines;
  readTextLines(p.path(folder + u'/' + name + u".txt"_s), lines, nullptr);
  QStringList out;
  for (const TextLine& l : lines) out << l.text;
  return out;
}

bool EntryTest::noteExists(const QString& name) const {
  return p.exists(folder + u'/' + name + u".txt"_s);
}

QString EntryTest::folderPath() const { return p.path(folder); }

void EntryTest::showPerson(int row) {
  form->selectName(row);
  m.CurrentColumn = 2;
  form->Command3->click();
}

QStringList EntryTest::messageTexts() const {
  QStringList out;
  for (const ShownMessage& msg : shell.messages) out << msg.text;
  return out;
}

}  // namespace velnor::test
