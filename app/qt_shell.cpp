#include "app/qt_shell.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

#include "app/form10.h"
#include "core/module1.h"
#include "ui/entry/form3.h"
#include "ui/print/form2.h"
#include "ui/settings/form4.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

QtShell::QtShell(Module1& m) : m_(m) {}

QtShell::~QtShell() = default;

QString QtShell::displayText(const QString& text) {
  QString shown = text;
  shown.replace(u"\r\n"_s, u"\n"_s);
  shown.replace(u"\n\r"_s, u"\n"_s);
  shown.replace(u'\r', u'\n');
  return shown;
}

QWidget* QtShell::dialogParent() const {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (QWidget* active = QApplication::activeWindow()) return active;
  // A window still loading is not on screen yet; a box must not hang on it.
  return mainWidget_ && mainWidget_->isVisible() ? mainWidget_.data() : nullptr;
}

Answer QtShell::message(const QString& title, const QString& text, Buttons buttons, Icon icon) {
  QMessageBox box(dialogParent());
  box.setWindowTitle(title);
  box.setText(displayText(text));
  box.setTextFormat(Qt::PlainText);
  switch (icon) {
    case Icon::None:
      box.setIcon(QMessageBox::NoIcon);
      break;
    case Icon::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case Icon::Warning:
      box.setIcon(QMessageBox::Warning);
      break;
    case Icon::Critical:
      box.setIcon(QMessageBox::Critical);
      break;
  }
  QPushButton* ok = box.addButton(u"OK"_s, QMessageBox::AcceptRole);
  QPushButton* cancel = nullptr;
  if (buttons == Buttons::OkCancel) {
    cancel = box.addButton(u"キャンセル"_s, QMessageBox::RejectRole);
    box.setEscapeButton(cancel);
  } else {
    box.setEscapeButton(ok);
  }
  box.setDefaultButton(ok);
  box.exec();
  // Closing an OK/Cancel box any other way than OK counts as Cancel.
  if (buttons == Buttons::OkCancel && box.clickedButton() != ok) return Answer::Cancel;
  return Answer::Ok;
}

void QtShell::beep() { QApplication::beep(); }

void QtShell::endProgram() {
  // No window may get further events: hide them all and leave every event loop,
  // the nested ones of modal windows included.
  const auto windows = QApplication::topLevelWidgets();
  for (QWidget* w : windows) w->hide();
  QCoreApplication::exit(0);
}

void QtShell::showWelcomeDialog() {
  Form10 f(m_, dialogParent());
  f.exec();
}

void QtShell::showInputScreen() {
  // Form3 deletes itself when it is unloaded; its load may end the program or unload it
  // again at once (a store that cannot proceed), and then it must not be shown.
  auto* f = new Form3(m_);
  f->Form_Load();
  if (!m_.ProgramEnded && m_.inputScreen == f) f->show();
}

void QtShell::showSettingsScreen() {
  Form4 f(m_, mainWidget_);
  f.exec();
}

void QtShell::showPrintWindow() {
  // One print window lives until it unloads itself, so a hidden one keeps its state.
  if (!form2_) form2_ = new Form2(m_, mainWidget_);
  form2_->exec();
  if (form2_->isUnloaded()) {
    delete form2_;
    form2_ = nullptr;
  }
}

}  // namespace velnor
