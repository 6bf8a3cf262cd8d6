#pragma once
// Copies of a record folder as it was before the first change of each day, kept in
// "バックアップ/<record folder>/<yyyyMMdd>/" under the program folder.

#include <QDate>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include "core/text_file.h"

namespace velnor {

inline const QString kBackupFolderName = QStringLiteral("バックアップ");
inline constexpr int kBackupDaysKept = 14;

class DailyBackup {
 public:
  enum class Result { AlreadyDone, Made, Failed, FailedReported };

  // Makes today's copy of `recordFolder` (a folder of the program folder) unless it
  // exists. A failure is returned as Failed once a day per folder, then FailedReported;
  // each call tries the copy again.
  // Symbolic links found where copies of ours belong are never followed; those not named
  // before in this run are added to `foreign`.
  Result ensure(const QString& programFolder, const QString& recordFolder, const QDate& today,
                FileError* error, QStringList* foreign = nullptr);

  // Copies the index file and the note files byte for byte into `target`, which appears
  // whole or not at all.
  static bool copyFolder(const QString& source, const QString& target, FileError* error);
  // Removes all but the newest `keep` day folders in `folderBackups`, and copies cut off.
  // Returns the symbolic links standing where those would be, which are left alone.
  static QStringList prune(const QString& folderBackups, int keep);

 private:
  QHash<QString, QDate> failureTold_;  // record folder path -> day its failure was told
  QSet<QString> foreignTold_;          // links the user has been told of
};

}  // namespace velnor
