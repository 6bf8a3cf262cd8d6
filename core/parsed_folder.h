#pragma once
// One parsed copy of the record folder's index file. Every reader takes its lines and
// records from here; the file is read again only when it changed on disk, and every
// write the program makes replaces the copy with what was written.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <array>
#include <vector>

#include "core/text_file.h"

namespace velnor {

// A record line split into its fields.
struct Record {
  QString territory;
  QString name;
  std::array<QString, 13> months;  // 1..12; 0 unused
};

// What tells whether a file is still the one that was read.
struct FileStamp {
  bool exists = false;
  qint64 size = -1;
  qint64 modifiedNs = 0;  // nanoseconds since the epoch, as the file system keeps it
  qint64 changedNs = 0;   // the status change time, which no program can set back
  quint64 identity = 0;   // device and inode, where the system has them
  bool operator==(const FileStamp&) const = default;
};
FileStamp stampOf(const QString& path);

bool isRecordLine(const QString& line);
Record parseRecord(const QString& line);
QString buildRecordLine(const Record& record);

class ParsedFolder {
 public:
  // True when the copy holds `path` and the file on disk is still the one read.
  bool isCurrentFor(const QString& path) const;
  // Reads `path` unless the copy is current for it. False (and `error`) when it
  // cannot be read; the copy is then empty.
  bool refresh(const QString& path, FileError* error);
  // Takes what the program has just written to `path` (raw bytes set on every line).
  void adopt(const QString& path, QList<TextLine> lines);
  void clear();

  const QString& path() const { return path_; }
  const QList<TextLine>& lines() const { return lines_; }
  int recordCount() const { return int(recordLines_.size()); }
  // Index into lines() of record `r`.
  int lineOfRecord(int r) const { return recordLines_[r]; }
  const TextLine& recordLine(int r) const { return lines_[recordLines_[r]]; }
  // Parsed at each call: only the rows in sight are ever needed whole.
  Record record(int r) const { return parseRecord(recordLine(r).text); }
  // Kept for every record once asked for: the name list and the find need them all.
  const QString& nameOf(int r) const { return brief(r).name; }
  const QString& territoryOf(int r) const { return brief(r).territory; }
  // Records whose name is exactly `name`.
  int countName(const QString& name) const;
  // Changes whenever the content changes (a read of a changed file or a write).
  quint64 generation() const { return generation_; }
  // Counts the reads from disk (not the program's own writes).
  quint64 diskReads() const { return diskReads_; }
  // The whole file as read or written.
  const QByteArray& bytes() const { return bytes_; }

 private:
  void index();
  struct Brief {
    QString territory, name;
  };
  const Brief& brief(int r) const;

  QString path_;
  FileStamp stamp_;
  qint64 readAtNs_ = 0;  // when the stamp was taken
  QByteArray bytes_;
  QList<TextLine> lines_;
  std::vector<int> recordLines_;
  mutable std::vector<Brief> briefs_;  // empty until asked for
  mutable QHash<QString, int> nameCounts_;
  mutable bool namesCounted_ = false;
  quint64 generation_ = 0;
  quint64 diskReads_ = 0;
  bool loaded_ = false;
};

// How the index file is read; tests put a failing reader in place where permissions
// cannot make a file unreadable (root reads anything). Null restores the real one.
using IndexReader = FileRead (*)(const QString& path, qint64 limit);
void setIndexReaderForTests(IndexReader reader);

}  // namespace velnor
