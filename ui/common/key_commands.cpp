#include "ui/common/key_commands.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

namespace velnor {

namespace {

bool matches(const QKeySequence& keys, const QKeyEvent* event) {
  if (keys.count() != 1) return false;
  const QKeyCombination wanted = keys[0];
  Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
  if (wanted.keyboardModifiers() == Qt::NoModifier) mods &= ~Qt::ShiftModifier;
  return wanted.key() == Qt::Key(event->key()) && wanted.keyboardModifiers() == mods;
}

}  // namespace

QAction* KeyCommands::add(const QString& name, const QList<QKeySequence>& keys,
                          std::function<void()> run, KeyMoment moment) {
  auto* action = new QAction(name, window_);
  // Shown with the command, but never registered with Qt's shortcut map (the action is
  // added to no widget): the table alone runs it, at the key's own moment.
  action->setShortcuts(keys);
  action->setShortcutContext(Qt::WidgetShortcut);
  QObject::connect(action, &QAction::triggered, window_, [run = std::move(run)] { run(); });
  actions_.append(action);
  if (moment != KeyMoment::Release) moments_.insert(action, moment);
  return action;
}

QAction* KeyCommands::addButton(QAbstractButton* button, const QList<QKeySequence>& keys) {
  const QPointer<QAbstractButton> pressed(button);
  const QString name =
      button->accessibleName().isEmpty() ? button->text() : button->accessibleName();
  return add(name, keys, [pressed] {
    if (pressed) pressed->click();
  });
}

void KeyCommands::addRecordCommands(const std::function<void(bool redo)>& undo,
                                    std::function<void()> find,
                                    std::function<void()> exportRecords) {
  add(QStringLiteral("元に戻す"), {Qt::CTRL | Qt::Key_Z}, [undo] { undo(false); });
  add(QStringLiteral("やり直し"), {Qt::CTRL | Qt::Key_Y, Qt::CTRL | Qt::SHIFT | Qt::Key_Z},
      [undo] { undo(true); });
  add(QStringLiteral("検索"), QKeySequence::keyBindings(QKeySequence::Find), std::move(find));
  add(QStringLiteral("書き出し"), {Qt::CTRL | Qt::Key_E}, std::move(exportRecords));
}

bool KeyCommands::take(const QKeyEvent* key, bool run) {
  for (QAction* action : actions_) {
    for (const QKeySequence& keys : action->shortcuts()) {
      if (!matches(keys, key)) continue;
      if (actsNow(moments_.value(action, KeyMoment::Release), keys, key) && run) action->trigger();
      return true;
    }
  }
  return false;
}

bool KeyCommands::actsNow(KeyMoment moment, const QKeySequence& keys, const QKeyEvent* key) {
  const bool press = key->type() == QEvent::KeyPress;
  if (moment == KeyMoment::EveryPress) return press;
  if (key->isAutoRepeat()) return false;
  if (moment == KeyMoment::ReleaseAfterItsPress) {
    if (!press) return pressed_.remove(key->key());
    pressed_.insert(key->key());
    return false;
  }
  // Ctrl keys act on their press, plain keys on their release.
  return press == (keys[0].keyboardModifiers() != Qt::NoModifier);
}

}  // namespace velnor
