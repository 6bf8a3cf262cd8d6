#pragma once
// Copies of a record folder as it was before the first change of each day, kept in
// "バックアップ/<record folder>/<yyyyMMdd>/" under the program folder.

#include <QDate>
#include <QHash>
#include <QString>

#include "core/text_file.h"

namespace velnor {

inline const QString kBackupFolderName = QStringLiteral("バックアップ");
inline constexpr int kBackupDaysKept = 14;

class DailyBackup {
 public:
  enum class Result { AlreadyDone, Made, Failed, FailedReported };

  // Makes today's copy of `recordFolder` (a folder of the program folder) unless it
  // exists. A failure is returned as Failed once a day per folder, then FailedReported.
  Result ensure(const QString& programFolder, const QString& recordFolder, const QDate& today,
                FileError* error);

  // Copies the index file and the note files byte for byte into `target`, which appears
  // whole or not at all.
  static bool copyFolder(const QString& source, const QString& target, FileError* error);
  // Removes all but the newest `keep` day folders in `folderBackups`.
  static void prune(const QString& folderBackups, int keep);

 private:
  QHash<QString, QDate> done_;  // record folder path -> day already handled
};

}  // namespace velnor
