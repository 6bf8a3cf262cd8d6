#include "ui/common/history_keys.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace velnor {

HistoryKey historyKeyOf(const QKeyEvent* event) {
  const Qt::KeyboardModifiers mods =
      event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
  if (event->key() == Qt::Key_Z && mods == Qt::ControlModifier) return HistoryKey::Undo;
  if (event->key() == Qt::Key_Z && mods == (Qt::ControlModifier | Qt::ShiftModifier))
    return HistoryKey::Redo;
  if (event->key() == Qt::Key_Y && mods == Qt::ControlModifier) return HistoryKey::Redo;
  return HistoryKey::None;
}

bool boxTakesHistoryKey(const QWidget* widget, HistoryKey key) {
  const bool undo = key == HistoryKey::Undo;
  if (const auto* line = qobject_cast<const QLineEdit*>(widget))
    return !line->isReadOnly() && (undo ? line->isUndoAvailable() : line->isRedoAvailable());
  if (const auto* text = qobject_cast<const QPlainTextEdit*>(widget)) {
    const QTextDocument* doc = text->document();
    return !text->isReadOnly() && (undo ? doc->isUndoAvailable() : doc->isRedoAvailable());
  }
  return false;
}

}  // namespace velnor
