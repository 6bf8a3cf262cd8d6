#pragma once
// Notices when another program (a sync tool, an editor) changes the record folder in
// use: its index file, its note files, its file list.

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <functional>

namespace velnor {

class Module1;

class FolderWatch : public QObject {
 public:
  // `changed` runs once things have settled after one or more changes.
  FolderWatch(Module1& m, std::function<void()> changed, QObject* parent = nullptr);
  // Follows the folder in use and the shown person's note (also after a replacement,
  // which ends the watch on the old file).
  void arm();
  // Looks again a moment later (the program was busy when the change came).
  void noticed();

 private:
  Module1& m;
  std::function<void()> changed_;
  QFileSystemWatcher watcher_;
  QTimer settle_;
  QTimer follow_;
};

}  // namespace velnor
