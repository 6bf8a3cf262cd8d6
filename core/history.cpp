#include "core/history.h"

#include <QHash>
#include <algorithm>

namespace velnor {

FileChange FileChange::between(const QString& path, const std::optional<QByteArray>& before,
                               const std::optional<QByteArray>& after) {
  FileChange c;
  c.path = path;
  c.existedBefore = before.has_value();
  c.existedAfter = after.has_value();
  const QByteArray b = before.value_or(QByteArray());
  const QByteArray a = after.value_or(QByteArray());
  const qsizetype most = std::min(b.size(), a.size());
  while (c.prefix < most && b[c.prefix] == a[c.prefix]) ++c.prefix;
  while (c.suffix < most - c.prefix && b[b.size() - 1 - c.suffix] == a[a.size() - 1 - c.suffix])
    ++c.suffix;
  c.beforeMiddle = b.mid(c.prefix, b.size() - c.prefix - c.suffix);
  c.afterMiddle = a.mid(c.prefix, a.size() - c.prefix - c.suffix);
  c.beforeSize = b.size();
  c.afterSize = a.size();
  c.beforeHash = qHash(b);
  c.afterHash = qHash(a);
  return c;
}

bool FileChange::holds(const std::optional<QByteArray>& current, bool after) const {
  if (current.has_value() != (after ? existedAfter : existedBefore)) return false;
  if (!current) return true;
  const QByteArray& middle = after ? afterMiddle : beforeMiddle;
  return current->size() == (after ? afterSize : beforeSize) &&
         current->mid(prefix, middle.size()) == middle &&
         qHash(*current) == (after ? afterHash : beforeHash);
}

QByteArray FileChange::rebuild(const QByteArray& other, bool after) const {
  return other.left(prefix) + (after ? afterMiddle : beforeMiddle) + other.right(suffix);
}

void History::begin(const QString& folder, qint16 select) {
  if (depth_++ > 0) return;
  if (folder != folder_) clear();
  folder_ = folder;
  openSelect_ = select;
  open_.clear();
}

void History::record(const QString& path, const std::optional<QByteArray>& before,
                     const std::optional<QByteArray>& after) {
  if (depth_ == 0) return;
  for (OpenFile& f : open_) {
    if (f.path == path) {
      f.after = after;
      return;
    }
  }
  open_.push_back({path, before, after});
}

void History::end(qint16 select) {
  if (depth_ == 0 || --depth_ > 0) return;
  HistoryStep step;
  step.selectBefore = openSelect_;
  step.selectAfter = select;
  for (const OpenFile& f : open_)
    if (f.before != f.after) step.files.push_back(FileChange::between(f.path, f.before, f.after));
  open_.clear();
  if (step.files.empty()) return;
  undo_.push_back(std::move(step));
  if (undo_.size() > kMaxSteps) undo_.pop_front();
  redo_.clear();  // a new change ends what could be redone
}

void History::clear() {
  undo_.clear();
  redo_.clear();
  open_.clear();
}

void History::undone() {
  redo_.push_back(std::move(undo_.back()));
  undo_.pop_back();
}

void History::redone() {
  undo_.push_back(std::move(redo_.back()));
  redo_.pop_back();
}

}  // namespace velnor
