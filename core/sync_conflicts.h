#pragma once
// The copies a sync tool keeps when two computers changed one file at once, and how
// the user's choices merge them back into the record folder.

#include <QList>
#include <QString>
#include <QStringList>

#include "core/parsed_folder.h"
#include "core/text_file.h"

namespace velnor {

// True when `fileName` is a sync tool's conflict copy of the index file or of a note
// file; `base` is then "データー" or the person's name. Syncthing's
// "x.sync-conflict-<date>-<time>-<device>.ext", Nextcloud's and Dropbox's
// "x (… conflicted copy …).ext" and, for the index file, OneDrive's and Dropbox's
// "データー-<computer>.vrd".
bool isConflictCopy(const QString& fileName, QString* base = nullptr, bool* index = nullptr);
// The conflict copies in `folder`, sorted by name.
QStringList findConflictCopies(const QString& folder);

enum class Keep { File, Copy, Both };

// One person that differs between the folder's file and a conflict copy. A side the
// person is missing from has no fields.
struct MergeItem {
  QString copy;  // the conflict copy's file name
  bool note = false;
  QString name;  // whose note, for a note file
  int fileRecord = -1, copyRecord = -1;
  // Records: territory, name and the twelve months. Notes: the note and twelve month lines
  // (with any further lines of the file joined onto the last).
  QStringList fileFields, copyFields;
  QList<TextLine> copyLines;  // the copy's record line, or its whole note file
  Keep keep = Keep::Both;
  bool differs(int field) const { return fileFields.value(field) != copyFields.value(field); }
};

struct MergePlan {
  QStringList copies;      // every copy read; each is moved away once the merge is stored
  QStringList unreadable;  // "file: reason", left where they are
  QList<MergeItem> items;
  QByteArray indexBytes;  // the index file the plan was made from
};

// Compares the index file in `folder` and each readable copy named in `copies` (files of
// `recordFolder`).
MergePlan planMerge(const ParsedFolder& folder, const QString& recordFolder,
                    const QStringList& copies);

// The index file's lines with the plan's choices applied; bytes of what is kept are kept.
QList<TextLine> mergedIndex(const MergePlan& plan, const QList<TextLine>& indexLines);
// A person's note file with the choice of `item` applied to `current`, its lines now.
QList<TextLine> mergedNote(const MergeItem& item, const QList<TextLine>& current);
// The fields of a person kept from both sides: each month's dates together, a text
// taken from the side that has it, and two different texts one after the other.
QStringList bothFields(const MergeItem& item);

}  // namespace velnor
