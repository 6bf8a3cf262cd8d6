// The table of a window's keys: when a key acts, how often, and what it reaches.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include "ui/common/key_commands.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor::test {
namespace {

class Window : public QWidget {
 public:
  Window() {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addWidget(button);
    connect(button, &QPushButton::clicked, this, [this] { ++clicks; });
    commands.addButton(button, {Qt::Key_F1});
    commands.add(u"検索"_s, {Qt::CTRL | Qt::Key_F}, [this] { ++finds; });
    for (QWidget* w :
         {static_cast<QWidget*>(this), static_cast<QWidget*>(box), static_cast<QWidget*>(button)})
      w->installEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
      if (commands.take(static_cast<QKeyEvent*>(event))) return true;
      if (watched == box && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) ++boxF1;
    }
    return QWidget::eventFilter(watched, event);
  }
  QLineEdit* box = new QLineEdit;
  QPushButton* button = new QPushButton(u"追加"_s);
  KeyCommands commands{this};
  int clicks = 0, finds = 0, boxF1 = 0;
};

TEST(KeyCommands, PlainKeysActOnReleaseOnceCtrlKeysOnPressAndNeitherReachesTheBox) {
  Window w;
  w.show();
  w.box->setFocus();
  QTest::keyPress(w.box, Qt::Key_F1);
  EXPECT_EQ(w.clicks, 0);  // not yet: on the release
  QKeyEvent held(QEvent::KeyRelease, Qt::Key_F1, Qt::NoModifier, QString(), true);
  QApplication::sendEvent(w.box, &held);  // a held key's repeats do nothing
  EXPECT_EQ(w.clicks, 0);
  QTest::keyRelease(w.box, Qt::Key_F1);
  EXPECT_EQ(w.clicks, 1);
  QTest::keyClick(w.box, Qt::Key_F1, Qt::ShiftModifier);  // Shift and the number pad count
  QTest::keyClick(w.box, Qt::Key_F1, Qt::AltModifier);    // Alt does not
  EXPECT_EQ(w.clicks, 2);
  QTest::keyPress(w.box, Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(w.finds, 1);
  QTest::keyRelease(w.box, Qt::Key_F);  // Ctrl let go first: nothing more
  EXPECT_EQ(w.finds, 1);
  EXPECT_EQ(w.box->text(), QString());
  EXPECT_EQ(w.boxF1, 2);  // only Alt+F1's press and release, which are no command

  w.button->setEnabled(false);
  QTest::keyClick(w.box, Qt::Key_F1);
  EXPECT_EQ(w.clicks, 2);
  ASSERT_EQ(w.commands.actions().size(), 2);
  EXPECT_EQ(w.commands.actions()[0]->shortcut(), QKeySequence(Qt::Key_F1));
  EXPECT_EQ(w.commands.actions()[0]->text(), u"追加"_s);
}

}  // namespace
}  // namespace velnor::test
