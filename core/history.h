#pragma once
// Undo and redo of the changes stored in one record folder: for every change, each
// file as it was before and after, so that either state can be put back byte for byte.

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <deque>
#include <optional>
#include <vector>

namespace velnor {

// One file's bytes before and after a change; nothing for a file that did not exist.
// Only the part that changed is kept (a store in a folder of thousands of people
// changes one line of its index file), with a hash of each whole side.
struct FileChange {
  QString path;
  bool existedBefore = false;
  bool existedAfter = false;
  qsizetype prefix = 0;  // bytes equal in both, at the start
  qsizetype suffix = 0;  // and at the end
  QByteArray beforeMiddle, afterMiddle;
  qsizetype beforeSize = 0, afterSize = 0;
  size_t beforeHash = 0, afterHash = 0;

  static FileChange between(const QString& path, const std::optional<QByteArray>& before,
                            const std::optional<QByteArray>& after);
  // True when `current` is the state on that side (nothing: the file is absent).
  bool holds(const std::optional<QByteArray>& current, bool after) const;
  // That side's whole bytes, given the other side's current bytes.
  QByteArray rebuild(const QByteArray& other, bool after) const;
};

struct HistoryStep {
  std::vector<FileChange> files;
  qint16 selectBefore = 0;  // the person concerned, as a record number on each side
  qint16 selectAfter = 0;
};

class History {
 public:
  static constexpr size_t kMaxSteps = 100;

  // Writes between begin and end form one step; nested calls join the outer one.
  void begin(const QString& folder, qint16 select);
  void end(qint16 select);
  // A file written while recording: its bytes before and after.
  void record(const QString& path, const std::optional<QByteArray>& before,
              const std::optional<QByteArray>& after);

  const QString& folder() const { return folder_; }
  void clear();
  bool canUndo() const { return !undo_.empty(); }
  bool canRedo() const { return !redo_.empty(); }
  const HistoryStep& nextUndo() const { return undo_.back(); }
  const HistoryStep& nextRedo() const { return redo_.back(); }
  void undone();  // the next undo step was put back: it becomes the next redo step
  void redone();

 private:
  struct OpenFile {
    QString path;
    std::optional<QByteArray> before, after;  // the first before, the last after
  };
  QString folder_;
  int depth_ = 0;
  qint16 openSelect_ = 0;
  std::vector<OpenFile> open_;
  std::deque<HistoryStep> undo_, redo_;
};

}  // namespace velnor
