#include "core/daily_backup.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>

#include "core/module1.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace {

const QString kPartSuffix = u".velnor-part"_s;

bool isDayFolder(const QString& name) {
  static const QRegularExpression day(u"^[0-9]{8}$"_s);
  return day.match(name).hasMatch();
}

FileError copyError(const QString& path, const QString& reason) {
  return FileError{QDir::toNativeSeparators(path), reason, true};
}

QString foreignReason() {
  return u"Velnorが作ったものではないシンボリックリンクがあるため、使いませんでした。"
         u"このリンクとその先には手を触れていません。"_s;
}

}  // namespace

bool DailyBackup::copyFolder(const QString& source, const QString& target, FileError* error) {
  const QString part = target + kPartSuffix;
  if (QFileInfo(part).isSymLink()) {
    if (error) *error = copyError(part, foreignReason());
    return false;
  }
  removeTree(part);  // left by a copy that was cut off
  if (!QDir().mkpath(part)) {
    if (error) *error = copyError(part, u"フォルダーを作れません。"_s);
    return false;
  }
  const auto fail = [&](const FileError& why) {
    if (error) *error = why;
    removeTree(part);
    return false;
  };
  QDirIterator it(source, QDir::Files | QDir::Hidden);
  while (it.hasNext()) {
    it.next();
    const QString name = it.fileName();
    if (name != kIndexFileName && !name.endsWith(u".txt"_s)) continue;
    // A read cut short would pass for a whole copy; a FIFO under the name must not block.
    const FileRead read = readFile(it.filePath(), kIndexFileLimit);
    if (!read.ok()) return fail(*read.error);
    const QByteArray& bytes = read.bytes;
    QFile out(part + u'/' + name);
    errno = 0;
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.flush()) {
      const QString reason = fileFailureReason(out, errno);
      out.close();
      return fail(copyError(out.fileName(), writeFailureReason(reason)));
    }
    out.close();
  }
  // The copies reach the disk before the folder takes its final name.
  QString reason;
  if (!syncFilesystemOf(part, &reason) || !renamePath(part, target, &reason))
    return fail(copyError(target, u"バックアップを完成できません。"_s + reason));
  syncFolderEntries(QFileInfo(target).absolutePath());
  return true;
}

QStringList DailyBackup::prune(const QString& folderBackups, int keep) {
  QStringList days, foreign;
  const QFileInfoList entries =
      QDir(folderBackups)
          .entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
  for (const QFileInfo& entry : entries) {
    const QString name = entry.fileName();
    const bool part = name.endsWith(kPartSuffix);
    if (!isDayFolder(name) && !part) continue;
    // A link where a copy of ours should be was put there by someone else: left alone.
    if (entry.isSymLink()) {
      foreign << QDir::toNativeSeparators(entry.filePath());
    } else if (entry.isDir()) {
      if (part)
        removeTree(entry.filePath());
      else
        days << name;
    }
  }
  days.sort();
  for (qsizetype i = 0; i + keep < days.size(); ++i) removeTree(folderBackups + u'/' + days[i]);
  return foreign;
}

DailyBackup::Result DailyBackup::ensure(const QString& programFolder, const QString& recordFolder,
                                        const QDate& today, FileError* error,
                                        QStringList* foreign) {
  const QString folderBackups =
      programFolder + u'/' + kBackupFolderName + u'/' + QFileInfo(recordFolder).fileName();
  const QString target = folderBackups + u'/' + today.toString(u"yyyyMMdd"_s);
  const QFileInfo targetInfo(target);
  // A failed copy is tried again at each store, and told of once a day.
  const auto failed = [&] {
    if (failureTold_.value(recordFolder) == today) return Result::FailedReported;
    failureTold_.insert(recordFolder, today);
    return Result::Failed;
  };
  if (targetInfo.isSymLink()) {
    // Not a copy of ours: today's copy cannot be made under this name.
    if (error) *error = copyError(target, foreignReason());
    return failed();
  }
  if (targetInfo.exists()) return Result::AlreadyDone;
  if (!copyFolder(recordFolder, target, error)) return failed();
  // Backups kept on another disk through a link are written there, but nothing is ever
  // deleted through the link: old copies then stay until the user removes them.
  if (QFileInfo(programFolder + u'/' + kBackupFolderName).isSymLink() ||
      QFileInfo(folderBackups).isSymLink())
    return Result::Made;
  for (const QString& path : prune(folderBackups, kBackupDaysKept)) {
    if (foreignTold_.contains(path)) continue;
    foreignTold_.insert(path);
    if (foreign) foreign->append(path);
  }
  return Result::Made;
}

}  // namespace velnor
