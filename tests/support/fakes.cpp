#include "support/fakes.h"

#include "core/module1.h"

namespace velnor::test {

Answer FakeShell::message(const QString& title, const QString& text, Buttons buttons, Icon) {
  messages.append({title, text, buttons});
  if (answers.empty()) return Answer::Ok;
  Answer a = answers.front();
  answers.pop_front();
  return a;
}

QString FakeShell::titles() const {
  QStringList t;
  for (const ShownMessage& s : messages) t << s.title;
  return t.join(u',');
}

void FakeShell::showWelcomeDialog() {
  ++welcomeShown;
  if (onWelcome) onWelcome();
}

void FakeShell::showInputScreen() {
  ++inputShown;
  if (onInputScreen) onInputScreen();
}

FakeChooser::FakeChooser() : items{kNewFolderItem}, current(0) {}

void FakeChooser::setItem(int index, const QString& text) {
  if (index == items.size())
    items.append(text);
  else if (index >= 0 && index < items.size())
    items[index] = text;
}

void FakeChooser::clearFolders() {
  while (items.size() > 1) items.removeLast();
  if (current >= items.size()) current = 0;
}

void FakeChooser::choose(int index) {
  current = index;
  shownText = items.value(index);
  if (onClick) onClick(index);
}

void FakeChooser::setText(const QString& text) {
  shownText = text;
  const int i = items.indexOf(text);
  if (i >= 0) current = i;
}

void FakeInputScreen::changeTest() {
  calls << QStringLiteral("changeTest");
  if (module) module->PersonModified = false;  // nothing differs from the file
}

bool FakeInputScreen::saveStep() {
  calls << QStringLiteral("save");
  return true;
}

}  // namespace velnor::test
