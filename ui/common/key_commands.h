#pragma once
// The commands of a window in one table: each a QAction with its keys, owned by the window
// and triggered by its key and its button alike. A plain key acts on its release, as keys
// always have here; a key with Ctrl acts on its press, as on any desktop, since Ctrl is
// often let go first. A held key acts once. The key never reaches the focused control.

#include <QAction>
#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QSet>
#include <functional>

class QAbstractButton;
class QKeyEvent;
class QWidget;

namespace velnor {

// When a command's key acts: at its release; at every press, a held key's repeats too
// (turning pages, zooming); or at its release only when the table also took its press, so
// that a key pressed in a box now closed does not act here.
enum class KeyMoment { Release, EveryPress, ReleaseAfterItsPress };

class KeyCommands {
 public:
  explicit KeyCommands(QWidget* window) : window_(window) {}

  // A command run by one of `keys`. A key without modifiers also acts with Shift held or
  // from the number pad, never with Ctrl or Alt. Keys with Ctrl act on their press.
  QAction* add(const QString& name, const QList<QKeySequence>& keys, std::function<void()> run,
               KeyMoment moment = KeyMoment::Release);
  // A command that presses `button`: a disabled button ignores its keys as it does clicks.
  QAction* addButton(QAbstractButton* button, const QList<QKeySequence>& keys);

  // For the window's event filter, at the first control that sees the key: runs the
  // command of `key` at its moment and swallows both press and release. False when the
  // key belongs to no command. With `run` false the key is swallowed but runs nothing.
  bool take(const QKeyEvent* key, bool run = true);

  // The commands both record windows have: undo and redo (`undo(true)` redoes), find, and
  // export.
  void addRecordCommands(const std::function<void(bool redo)>& undo, std::function<void()> find,
                         std::function<void()> exportRecords);

  const QList<QAction*>& actions() const { return actions_; }

 private:
  // Whether `key`, which matched `keys`, runs its command now; notes the presses it takes.
  bool actsNow(KeyMoment moment, const QKeySequence& keys, const QKeyEvent* key);

  QWidget* window_;
  QList<QAction*> actions_;
  QHash<const QAction*, KeyMoment> moments_;
  QSet<int> pressed_;  // keys of ReleaseAfterItsPress commands whose press was taken
};

}  // namespace velnor
