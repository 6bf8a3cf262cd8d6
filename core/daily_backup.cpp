#include "core/daily_backup.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

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

}  // namespace

bool DailyBackup::copyFolder(const QString& source, const QString& target, FileError* error) {
  const QString part = target + kPartSuffix;
  QDir(part).removeRecursively();  // left by a copy that was cut off
  if (!QDir().mkpath(part)) {
    if (error) *error = copyError(part, u"フォルダーを作れません。"_s);
    return false;
  }
  QDirIterator it(source, QDir::Files | QDir::Hidden);
  while (it.hasNext()) {
    it.next();
    const QString name = it.fileName();
    if (name != kIndexFileName && !name.endsWith(u".txt"_s)) continue;
    QFile in(it.filePath());
    QFile out(part + u'/' + name);
    // A read cut short would pass for a whole copy.
    const QByteArray bytes = in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    if (in.error() != QFileDevice::NoError) {
      if (error)
        *error = FileError{QDir::toNativeSeparators(in.fileName()), in.errorString(), false};
      QDir(part).removeRecursively();
      return false;
    }
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.flush()) {
      if (error) *error = copyError(out.fileName(), writeFailureReason(out.errorString()));
      out.close();
      QDir(part).removeRecursively();
      return false;
    }
    out.close();
  }
  // The copies reach the disk before the folder takes its final name.
  if (!syncFilesystemOf(part) || !QDir().rename(part, target)) {
    if (error) *error = copyError(target, u"バックアップを完成できません。"_s);
    QDir(part).removeRecursively();
    return false;
  }
  syncFolder(QFileInfo(target).absolutePath());
  return true;
}

void DailyBackup::prune(const QString& folderBackups, int keep) {
  QDir dir(folderBackups);
  QStringList days;
  for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
    if (isDayFolder(name))
      days << name;
    else if (name.endsWith(kPartSuffix))
      QDir(dir.filePath(name)).removeRecursively();
  }
  days.sort();
  for (qsizetype i = 0; i + keep < days.size(); ++i)
    QDir(dir.filePath(days[i])).removeRecursively();
}

DailyBackup::Result DailyBackup::ensure(const QString& programFolder, const QString& recordFolder,
                                        const QDate& today, FileError* error) {
  const QString folderBackups =
      programFolder + u'/' + kBackupFolderName + u'/' + QFileInfo(recordFolder).fileName();
  const QString target = folderBackups + u'/' + today.toString(u"yyyyMMdd"_s);
  if (QFileInfo::exists(target)) return Result::AlreadyDone;
  // A copy that failed today is not tried again at every store: that could take long.
  if (done_.value(recordFolder) == today) return Result::FailedReported;
  if (!copyFolder(recordFolder, target, error)) {
    done_.insert(recordFolder, today);
    return Result::Failed;
  }
  done_.insert(recordFolder, today);
  prune(folderBackups, kBackupDaysKept);
  return Result::Made;
}

}  // namespace velnor
