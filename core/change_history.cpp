// Undo and redo: which writes form a step, and putting a step's files back.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/module1.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

ChangeScope::ChangeScope(Module1& m, qint16 select) : m_(m), select_(select) {
  m_.BeginChange(select_);
}

ChangeScope::~ChangeScope() { m_.EndChange(select_); }

void Module1::BeginChange(qint16 select) {
  history_.begin(recordFolderPath(), select >= 0 ? select : CurrentIndex);
}

void Module1::EndChange(qint16 select) { history_.end(select >= 0 ? select : CurrentIndex); }

bool Module1::ReadForChange(const QString& path, std::optional<QByteArray>& bytes) {
  const FileRead read = readFile(path, kIndexFileLimit);
  if (read.unreadable()) {
    // Told as a failed save: it is the change that cannot be made.
    FileError error = *read.error;
    error.writing = true;
    ReportFileError(error);
    return false;
  }
  bytes = read.stored();
  return true;
}

bool Module1::FileHolds(const QString& path, const std::optional<QByteArray>& bytes) {
  const FileRead read = readFile(path, kIndexFileLimit);
  return !read.unreadable() && read.stored() == bytes;
}

void Module1::recordWrite(const QString& path, const std::optional<QByteArray>& before,
                          const std::optional<QByteArray>& after) {
  // Writes outside a change (repairs on opening a folder) are no step to undo.
  history_.record(path, before, after);
}

bool Module1::Undo() { return applyHistory(true); }

bool Module1::Redo() { return applyHistory(false); }

bool Module1::applyHistory(bool undo) {
  if (history_.folder() != recordFolderPath()) history_.clear();
  if (undo ? !history_.canUndo() : !history_.canRedo()) return false;
  const HistoryStep step = undo ? history_.nextUndo() : history_.nextRedo();

  std::vector<std::optional<QByteArray>> now;
  if (!stepFilesUnchanged(step, undo, now)) return false;
  BackUpBeforeWrite();
  const bool written = putStepBack(step, undo, now);
  folder_.clear();  // read again at the next use
  if (!written) return false;
  loaded_ = {};
  CurrentIndex = undo ? step.selectBefore : step.selectAfter;
  if (undo)
    history_.undone();
  else
    history_.redone();
  return true;
}

// Every file must still be as the step left it, or already as it is to become (an earlier
// try that failed half-way put it back); another program's change is never overwritten.
// `now` receives each file's bytes.
bool Module1::stepFilesUnchanged(const HistoryStep& step, bool undo,
                                 std::vector<std::optional<QByteArray>>& now) {
  for (const FileChange& f : step.files) {
    now.emplace_back();
    if (!ReadForChange(f.path, now.back())) return false;
    if (f.holds(now.back(), undo) || f.holds(now.back(), !undo)) continue;
    const QString refusal = undo ? u"元に戻せません"_s : u"やり直せません"_s;
    if (shell)
      shell->message(refusal,
                     u"次のファイルがその後ほかのプログラムによって変更されたため、"_s + refusal +
                         u"。\n\n"_s + QDir::toNativeSeparators(f.path),
                     Buttons::Ok, Icon::Warning);
    return false;
  }
  return true;
}

// Writes each file of the step as it was on the other side, from its bytes `now`.
bool Module1::putStepBack(const HistoryStep& step, bool undo,
                          const std::vector<std::optional<QByteArray>>& now) {
  for (size_t i = 0; i < step.files.size(); ++i) {
    const FileChange& f = step.files[i];
    if (f.holds(now[i], !undo)) continue;  // already put back
    const bool exists = undo ? f.existedBefore : f.existedAfter;
    FileError error;
    if (exists) {
      const QByteArray bytes = f.rebuild(now[i].value_or(QByteArray()), !undo);
      if (writeFileBytes(f.path, bytes, &error)) continue;
    } else {
      QFile file(f.path);
      errno = 0;
      if (!file.exists() || file.remove()) continue;
      error = FileError{QDir::toNativeSeparators(f.path), fileFailureReason(file, errno), true};
    }
    ReportFileError(error);
    return false;
  }
  return true;
}

}  // namespace velnor
