#include "ui/main/folder_watch.h"

#include <QFileInfo>

#include "core/module1.h"

namespace velnor {

namespace {
// A sync tool writes a file and renames it in several steps; one look after they end.
constexpr int kSettleMs = 250;
// How soon a folder chosen in the program, or a file that had to be created, is watched.
constexpr int kFollowMs = 1000;
}  // namespace

FolderWatch::FolderWatch(Module1& module, std::function<void()> changed, QObject* parent)
    : QObject(parent), m(module), changed_(std::move(changed)) {
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMs);
  connect(&settle_, &QTimer::timeout, this, [this] {
    arm();
    changed_();
  });
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { noticed(); });
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { noticed(); });
  follow_.setInterval(kFollowMs);
  connect(&follow_, &QTimer::timeout, this, [this] { arm(); });
  follow_.start();
}

void FolderWatch::noticed() { settle_.start(); }

void FolderWatch::arm() {
  if (m.ProgramEnded || m.CurrentFolder.isEmpty()) return;
  QStringList wanted{m.recordFolderPath(), m.IndexFilePath};
  if (m.InputScreenOpen && !m.PersonName.isEmpty()) wanted << m.noteFilePath(m.PersonName);
  const QStringList watched = watcher_.files() + watcher_.directories();
  const bool folderMoved = !watched.contains(m.recordFolderPath());
  QStringList gone;
  for (const QString& path : watched)
    if (!wanted.contains(path)) gone << path;
  if (!gone.isEmpty()) watcher_.removePaths(gone);
  for (const QString& path : wanted)
    if (!watched.contains(path) && QFileInfo::exists(path)) watcher_.addPath(path);
  // A folder just opened may hold what another program left there.
  if (folderMoved && watcher_.directories().contains(m.recordFolderPath())) settle_.start();
}

}  // namespace velnor
