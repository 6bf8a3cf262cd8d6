#include "core/sync_conflicts.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "core/char_rules.h"
#include "core/module1.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace {

const QRegularExpression& syncthingCopy() {
  static const QRegularExpression re(
      u"^(.+)\\.sync-conflict-\\d{8}-\\d{6}(-[A-Z0-9]{7})?\\.(vrd|txt)$"_s);
  return re;
}
const QRegularExpression& conflictedCopy() {
  static const QRegularExpression re(u"^(.+) \\([^()]*conflicted copy[^()]*\\)\\.(vrd|txt)$"_s);
  return re;
}
const QRegularExpression& computerSuffix() {
  static const QRegularExpression re(u"^データー-[^/\\\\]+\\.vrd$"_s);
  return re;
}

QStringList recordFields(const Record& r) {
  QStringList f{r.territory, r.name};
  for (int k = 1; k <= 12; ++k) f << r.months[k];
  return f;
}

QStringList noteFields(const QList<TextLine>& lines) {
  QStringList f;
  for (int i = 0; i < 13; ++i)
    f << (i < lines.size() ? lines[i].text
                           : (i == 0 ? u"補足情報"_s : Module1::DefaultMonthLine(i)));
  return f;
}

bool isDefault(const QString& text, int field, bool note) {
  if (!note) return text.isEmpty();
  return text.isEmpty() || text == (field == 0 ? u"補足情報"_s : Module1::DefaultMonthLine(field));
}

QString joinDates(const QString& a, const QString& b) {
  QStringList out = a.split(u',', Qt::SkipEmptyParts);
  for (const QString& date : b.split(u',', Qt::SkipEmptyParts))
    if (!out.contains(date)) out << date;
  return out.join(u',');
}

bool readCopy(const QString& path, QList<TextLine>& lines, QString& reason, qint64 limit) {
  const FileRead read = readFile(path, limit);
  if (!read.ok()) {
    reason = read.error->reason;
    return false;
  }
  const QByteArray& bytes = read.bytes;
  bool clean = true;
  (void)decodeCp932(bytes, &clean);
  if (!clean) {
    reason = u"Shift_JISの文字として読めないバイトがあります。"_s;
    return false;
  }
  lines = splitTextLines(bytes);
  return true;
}

// For each record of the file, the copy's record it is matched with (-1: none): by
// territory and name first, then what is left by position.
std::vector<int> matchRecords(const ParsedFolder& folder, const QList<TextLine>& copyLines,
                              const QList<int>& copyRecords, std::vector<bool>& copyTaken) {
  const int fileCount = std::min(folder.recordCount(), kMaxRecords);
  std::vector<int> pairOf(size_t(fileCount), -1);
  for (int r = 0; r < fileCount; ++r) {
    for (int c = 0; c < copyRecords.size(); ++c) {
      if (copyTaken[size_t(c)]) continue;
      const Record cr = parseRecord(copyLines[copyRecords[c]].text);
      if (cr.territory == folder.territoryOf(r) && cr.name == folder.nameOf(r)) {
        pairOf[size_t(r)] = c;
        copyTaken[size_t(c)] = true;
        break;
      }
    }
  }
  for (int r = 0; r < fileCount && r < copyRecords.size(); ++r)
    if (pairOf[size_t(r)] < 0 && !copyTaken[size_t(r)]) {
      pairOf[size_t(r)] = r;
      copyTaken[size_t(r)] = true;
    }
  return pairOf;
}

void compareRecords(const ParsedFolder& folder, const QString& copy,
                    const QList<TextLine>& copyLines, QList<MergeItem>& items) {
  QList<int> copyRecords;  // line numbers of the copy's records
  for (int i = 0; i < copyLines.size(); ++i)
    if (isRecordLine(copyLines[i].text)) copyRecords << i;
  const int fileCount = std::min(folder.recordCount(), kMaxRecords);
  std::vector<bool> copyTaken(size_t(copyRecords.size()), false);
  const std::vector<int> pairOf = matchRecords(folder, copyLines, copyRecords, copyTaken);
  for (int r = 0; r < fileCount; ++r) {
    const int c = pairOf[size_t(r)];
    if (c >= 0 && folder.recordLine(r).raw == copyLines[copyRecords[c]].raw) continue;
    MergeItem item{copy, false, {}, r, -1, recordFields(folder.record(r)), {}, {}, Keep::Both};
    if (c >= 0) {
      item.copyRecord = c;
      item.copyFields = recordFields(parseRecord(copyLines[copyRecords[c]].text));
      item.copyLines = {copyLines[copyRecords[c]]};
    } else {
      item.keep = Keep::File;  // the other computer removed it, or it was added here
    }
    items << item;
  }
  for (int c = 0; c < copyRecords.size(); ++c) {
    if (copyTaken[size_t(c)]) continue;
    items << MergeItem{copy,
                       false,
                       {},
                       -1,
                       c,
                       {},
                       recordFields(parseRecord(copyLines[copyRecords[c]].text)),
                       {copyLines[copyRecords[c]]},
                       Keep::Copy};
  }
}

}  // namespace

bool isConflictCopy(const QString& fileName, QString* base, bool* index) {
  QRegularExpressionMatch match = syncthingCopy().match(fileName);
  if (!match.hasMatch()) match = conflictedCopy().match(fileName);
  QString name;
  bool isIndex = false;
  if (match.hasMatch()) {
    name = match.captured(1);
    isIndex = fileName.endsWith(u".vrd"_s);
    if (isIndex && name != u"データー"_s) return false;
  } else if (computerSuffix().match(fileName).hasMatch()) {
    name = u"データー"_s;
    isIndex = true;
  } else {
    return false;
  }
  if (base) *base = name;
  if (index) *index = isIndex;
  return true;
}

QStringList findConflictCopies(const QString& folder) {
  QStringList out;
  for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name))
    if (isConflictCopy(name)) out << name;
  return out;
}

MergePlan planMerge(const ParsedFolder& folder, const QString& recordFolder,
                    const QStringList& copies) {
  MergePlan plan;
  plan.indexBytes = folder.bytes();
  for (const QString& copy : copies) {
    QString base;
    bool index = false;
    if (!isConflictCopy(copy, &base, &index)) continue;
    QList<TextLine> lines;
    QString reason;
    if (!readCopy(recordFolder + u'/' + copy, lines, reason,
                  index ? kIndexFileLimit : kNoteFileLimit)) {
      plan.unreadable << copy + u"："_s + reason;
      continue;
    }
    plan.copies << copy;
    if (index) {
      compareRecords(folder, copy, lines, plan.items);
      continue;
    }
    QList<TextLine> current;
    QString unused;
    (void)readCopy(recordFolder + u'/' + base + u".txt"_s, current, unused, kNoteFileLimit);
    const QStringList mine = noteFields(current), theirs = noteFields(lines);
    if (mine != theirs)
      plan.items << MergeItem{copy, true, base, -1, -1, mine, theirs, lines, Keep::Both};
  }
  return plan;
}

QStringList bothFields(const MergeItem& item) {
  QStringList out;
  for (int i = 0; i < item.fileFields.size(); ++i) {
    const QString& a = item.fileFields[i];
    const QString& b = item.copyFields.value(i);
    if (a == b || isDefault(b, i, item.note))
      out << a;
    else if (isDefault(a, i, item.note))
      out << b;
    else if (!item.note && i >= 2)
      out << joinDates(a, b);
    else
      out << a + (item.note ? u"["_s : u" "_s) + b;  // "[" is a line break in a note
  }
  return out;
}

QList<TextLine> mergedIndex(const MergePlan& plan, const QList<TextLine>& indexLines) {
  QList<TextLine> out = indexLines;
  QList<int> recordLines;
  for (int i = 0; i < out.size(); ++i)
    if (isRecordLine(out[i].text)) recordLines << i;
  QList<int> removed;
  QList<TextLine> added;
  for (const MergeItem& item : plan.items) {
    if (item.note || item.keep == Keep::File) continue;
    const bool twoPeople = item.fileRecord >= 0 && item.copyRecord >= 0 &&
                           (item.differs(0) || item.differs(1));  // matched by position only
    if (item.fileRecord < 0 || (twoPeople && item.keep == Keep::Both)) {
      added << item.copyLines.first();
    } else if (item.copyRecord < 0) {
      removed << recordLines[item.fileRecord];
    } else if (item.keep == Keep::Copy) {
      out[recordLines[item.fileRecord]] = item.copyLines.first();
    } else {
      const QStringList f = bothFields(item);
      Record r{f[0], f[1], {}};
      for (int k = 1; k <= 12; ++k) r.months[k] = f[k + 1];
      out[recordLines[item.fileRecord]] = TextLine::fromText(buildRecordLine(r));
    }
  }
  std::sort(removed.begin(), removed.end(), std::greater<>());
  for (int line : removed) out.removeAt(line);
  return out + added;
}

QList<TextLine> mergedNote(const MergeItem& item, const QList<TextLine>& current) {
  if (item.keep == Keep::File) return current;
  if (item.keep == Keep::Copy) return item.copyLines;
  QList<TextLine> out = current;
  const QStringList f = bothFields(item);
  for (int i = 0; i < 13; ++i) {
    if (i < out.size() && out[i].text == f[i]) continue;
    if (i < out.size())
      out[i] = TextLine::fromText(f[i]);
    else
      out << TextLine::fromText(f[i]);
  }
  return out;
}

}  // namespace velnor

namespace velnor {

bool Module1::StoreMerge(const MergePlan& plan) {
  if (!RefreshFolder()) return false;
  if (folder_.bytes() != plan.indexBytes) {
    if (shell)
      shell->message(u"保存できません"_s,
                     u"まとめている間に、記録ファイルがほかのプログラムによって変更されました。"
                     u"何も変更していません。もう一度確かめてください。\n\n"_s +
                         QDir::toNativeSeparators(IndexFilePath),
                     Buttons::Ok, Icon::Warning);
    return false;
  }
  // Every new file is made and encoded before the first write: a character that cannot
  // be stored stops the merge with nothing changed.
  FileError error;
  QList<TextLine> index = mergedIndex(plan, folder_.lines());
  if (!encodeTextLines(index, IndexFilePath, &error)) {
    ReportFileError(error);
    return false;
  }
  struct NoteWrite {
    QString path;
    QList<TextLine> lines;
    std::optional<QByteArray> before;
  };
  std::vector<NoteWrite> notes;
  for (const MergeItem& item : plan.items) {
    if (!item.note || item.keep == Keep::File || !isSafeNoteName(item.name)) continue;
    NoteWrite w{noteFilePath(item.name), {}, {}};
    if (!ReadForChange(w.path, w.before)) return false;
    w.lines = mergedNote(item, splitTextLines(w.before.value_or(QByteArray())));
    if (!encodeTextLines(w.lines, w.path, &error)) {
      ReportFileError(error);
      return false;
    }
    notes.push_back(std::move(w));
  }

  const ChangeScope change(*this);
  const QByteArray indexBefore = folder_.bytes();
  if (joinTextLines(index) != joinTextLines(folder_.lines()) && !WriteIndexLines(index))
    return false;
  for (size_t i = 0; i < notes.size(); ++i) {
    BackUpBeforeWrite();
    FileError noteError;
    if (writeTextLines(notes[i].path, notes[i].lines, &noteError)) {
      recordWrite(notes[i].path, notes[i].before, joinTextLines(notes[i].lines));
      continue;
    }
    // Half a merge is no merge: what was written goes back as it was.
    FileError ignored;
    for (size_t j = 0; j < i; ++j)
      if (notes[j].before) (void)writeFileBytes(notes[j].path, *notes[j].before, &ignored);
    (void)writeFileBytes(IndexFilePath, indexBefore, &ignored);
    folder_.clear();
    ReportFileError(noteError);
    return false;
  }
  moveConflictCopies(plan.copies);
  return true;
}

void Module1::moveConflictCopies(const QStringList& copies) {
  const QString target =
      programFolder_ + u'/' + kBackupFolderName + u'/' + CurrentFolder + u"/衝突"_s;
  QStringList failed;
  QString reason;
  if (!QDir().mkpath(target)) {
    failed = copies;
    reason = u"フォルダーを作れません。"_s;
  }
  for (const QString& copy : failed.isEmpty() ? copies : QStringList()) {
    // A copy of the same name moved before is never replaced.
    QString to = target + u'/' + copy;
    for (int n = 2; QFileInfo::exists(to) || QFileInfo(to).isSymLink(); ++n)
      to = target + u'/' + QString::number(n) + u'_' + copy;
    if (!renamePath(recordFolderPath() + u'/' + copy, to, &reason)) failed << copy;
  }
  if (failed.isEmpty()) {
    syncFolderEntries(recordFolderPath());
    return;
  }
  if (shell)
    shell->message(u"同期の衝突"_s,
                   u"まとめた内容は保存しましたが、次のコピーを移せませんでした。"
                   u"そのまま残しています。\n\n"_s +
                       failed.join(u'\n') + u"\n\n理由："_s + reason,
                   Buttons::Ok, Icon::Warning);
}

}  // namespace velnor
