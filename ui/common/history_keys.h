#pragma once
// The keys of undo and redo, and whether a text box keeps them for its own typing.

class QKeyEvent;
class QWidget;

namespace velnor {

enum class HistoryKey { None, Undo, Redo };

// Ctrl+Z undoes; Ctrl+Y and Ctrl+Shift+Z redo.
HistoryKey historyKeyOf(const QKeyEvent* event);

// True when `widget` is a text box with typing of its own to undo (or redo): the key is
// the box's, not the program's.
bool boxTakesHistoryKey(const QWidget* widget, HistoryKey key);

}  // namespace velnor
