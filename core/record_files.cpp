#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <cerrno>

#include "core/char_rules.h"
#include "core/module1.h"
#include "core/stored_bytes.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace {

QStringList defaultNoteLines() {
  QStringList lines{u"補足情報"_s};
  for (int k = 1; k <= 12; ++k) lines << Module1::DefaultMonthLine(k);
  return lines;
}

QByteArray defaultBytes(const QStringList& lines) {
  QList<TextLine> encoded;
  for (const QString& l : lines) encoded.append(TextLine::fromText(l));
  (void)encodeTextLines(encoded, {}, nullptr);  // the default lines always encode
  return joinTextLines(encoded);
}

// A note file of 0 bytes holds nothing anyone typed: a creation cut off by a crash left it,
// and it is made again like a missing one. A link is never taken for one.
bool isEmptyNote(const QFileInfo& info) {
  return !info.isSymLink() && info.isFile() && info.size() == 0;
}

// Creates the note file `path` with the default lines unless it exists (an empty one is
// replaced). Written under a temporary name and renamed: a crash leaves it whole or absent.
Created createDefaultNote(const QString& path, FileError* error) {
  const QByteArray bytes = defaultBytes(defaultNoteLines());
  if (isEmptyNote(QFileInfo(path)))
    return writeFileBytes(path, bytes, error) ? Created::Yes : Created::Failed;
  return createFileBytes(path, bytes, error);
}

}  // namespace

QString Module1::DefaultMonthLine(int month) { return u' ' + QString::number(month) + u"月　日"_s; }

bool Module1::WriteLinesReported(const QString& path, const QList<TextLine>& lines) {
  FileError error;
  if (writeTextLines(path, lines, &error)) return true;
  ReportFileError(error);
  return false;
}

bool Module1::ReadReported(const QString& path, QList<TextLine>& lines) {
  const FileRead read = readFile(path, kNoteFileLimit);
  lines = splitTextLines(read.bytes);
  if (read.ok()) return true;
  ReportFileError(*read.error);
  return false;
}

bool Module1::WriteReported(const QString& path, const QStringList& lines) {
  QList<TextLine> out;
  for (const QString& l : lines) out.append(TextLine::fromText(l));
  return WriteLinesReported(path, out);
}

bool Module1::WriteNewIndexFile(const QString& path) {
  QList<TextLine> lines{TextLine::fromText(kIndexComment1), TextLine::fromText(kIndexComment2),
                        TextLine::fromText(kPlaceholderRecord)};
  if (!WriteLinesReported(path, lines)) return false;
  if (path == IndexFilePath) {
    FileError unused;
    folder_.clear();
    (void)folder_.refresh(path, &unused);
  }
  return true;
}

bool Module1::WritePlaceholderIndex() {
  if (!RefreshFolder()) return false;
  if (folder_.recordCount() > 0) return true;
  // The user's own comment and malformed lines stay, after the placeholder record.
  QList<TextLine> lines{TextLine::fromText(kIndexComment1), TextLine::fromText(kIndexComment2),
                        TextLine::fromText(kPlaceholderRecord)};
  for (const TextLine& l : folder_.lines())
    if (!l.text.isEmpty() && l.text != kIndexComment1 && l.text != kIndexComment2) lines.append(l);
  return WriteIndexLines(lines);
}

bool Module1::RefreshFolder() {
  // Only a file that is not there at all is created; anything else in its place is
  // reported as unreadable rather than replaced.
  if (!QFileInfo::exists(IndexFilePath) && !QFileInfo(IndexFilePath).isSymLink()) {
    if (!WriteNewIndexFile(IndexFilePath)) return false;
  }
  FileError error;
  if (folder_.refresh(IndexFilePath, &error)) {
    readFailureShown_.clear();
    return true;
  }
  // A file that cannot be read is never written over; the user hears of it once, not
  // at every step that would have used it.
  if (readFailureShown_ != IndexFilePath) {
    readFailureShown_ = IndexFilePath;
    ReportFileError(error);
  }
  return false;
}

bool Module1::EnsureNoteFile(const QString& name) {
  if (!isSafeNoteName(name)) return false;
  const QString path = noteFilePath(name);
  const std::optional<QByteArray> before =
      isEmptyNote(QFileInfo(path)) ? std::optional(QByteArray()) : std::nullopt;
  FileError error;
  const Created result = createDefaultNote(path, &error);
  // Part of a change only inside one (an added person's note goes with the add).
  if (result == Created::Yes) recordWrite(path, before, defaultBytes(defaultNoteLines()));
  if (result != Created::Failed) return true;
  ReportFileError(error);
  return false;
}

bool Module1::EnsureNoteFiles() {
  if (!RefreshFolder()) return false;
  // Once per opening of a folder as read from disk: the program's own adds and
  // renames make their note files themselves.
  if (notesCheckedFor_ == IndexFilePath && notesCheckedRead_ == folder_.diskReads()) return true;
  QSet<QString> present;
  QDirIterator it(recordFolderPath(), {u"*.txt"_s}, QDir::Files | QDir::Hidden | QDir::System);
  while (it.hasNext()) {
    const QFileInfo info = it.nextFileInfo();
    if (!isEmptyNote(info)) present.insert(info.fileName());
  }
  bool created = false;
  for (int r = 0; r < std::min(folder_.recordCount(), kMaxRecords); ++r) {
    const QString& name = folder_.nameOf(r);
    if (!isSafeNoteName(name) || present.contains(name + u".txt"_s)) continue;
    FileError error;
    const Created result = createDefaultNote(noteFilePath(name), &error);
    if (result == Created::Failed) {
      // One failure is reported once; a read-only folder must not raise a box per person.
      ReportFileError(error);
      return false;
    }
    created = created || result == Created::Yes;
    present.insert(name + u".txt"_s);
  }
  if (created) syncFolderEntries(recordFolderPath());
  notesCheckedFor_ = IndexFilePath;
  notesCheckedRead_ = folder_.diskReads();
  return true;
}

bool Module1::DeleteNoteFile(const QString& name) {
  if (!isSafeNoteName(name)) return true;
  const QString path = noteFilePath(name);
  if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) return true;  // already gone
  std::optional<QByteArray> before;
  if (!ReadForChange(path, before)) return false;
  BackUpBeforeWrite();
  errno = 0;
  QFile file(path);
  if (file.remove()) {
    recordWrite(path, before, std::nullopt);
    return true;
  }
  const QString reason = fileFailureReason(file, errno);
  ReportFileError(FileError{QDir::toNativeSeparators(path), reason, true});
  return false;
}

bool Module1::RemoveNoteFileIfUnused(const QString& name) {
  if (!RefreshFolder()) return false;
  if (folder_.countName(name) > 0) return true;
  return DeleteNoteFile(name);
}

bool Module1::ReadIndex() {
  if (!RefreshFolder()) {
    if (ReadMode == kReadCount) PersonCount = 0;  // nothing to show, nothing to edit
    return false;
  }
  const int count = std::min(folder_.recordCount(), kMaxRecords);
  switch (ReadMode) {
    case kReadCount:
      PersonCount = qint16(count);
      return true;
    case kReadLoad: {
      if (CurrentIndex < 0 || CurrentIndex >= count) return true;  // nothing to load
      const Record r = folder_.record(CurrentIndex);
      // Everything is read before anything shared changes: when the note file cannot be
      // read, the person shown stays whole and a later store cannot mix two people.
      Loaded loaded{true,         IndexFilePath,
                    CurrentIndex, folder_.recordLine(CurrentIndex).raw,
                    {},           {},
                    std::nullopt, {}};
      QString note;
      std::array<QString, 13> months;
      if (!LoadNoteFile(r.name, loaded, note, months)) return false;
      PersonTerritory = r.territory;
      PersonName = r.name;
      for (int k = 1; k <= 12; ++k) MonthDates[k] = r.months[k];
      PersonNote = note;
      MonthNotes = months;
      loaded_ = std::move(loaded);
      return true;
    }
    case kReadNames: {
      QStringList names;
      names.reserve(count);
      for (int r = 0; r < count; ++r) names.append(folder_.nameOf(r));
      if (count > 0) {
        PersonTerritory = folder_.territoryOf(count - 1);
        PersonName = names.last();
      }
      // An emptied folder hands over no names, so a list being replaced ends up empty.
      if (inputScreen) inputScreen->addNames(names);
      return true;
    }
    case kReadRawLine:
      if (CurrentIndex >= 1 && CurrentIndex <= count)
        PersonName = folder_.recordLine(CurrentIndex - 1).text;
      return true;
    default:
      return true;
  }
}

bool Module1::LoadNoteFile(const QString& name, Loaded& loaded, QString& note,
                           std::array<QString, 13>& months) {
  note = u"補足情報"_s;
  for (int k = 1; k <= 12; ++k) months[k] = DefaultMonthLine(k);
  if (!isSafeNoteName(name)) return true;
  const QString path = noteFilePath(name);
  const QFileInfo info(path);
  if ((isEmptyNote(info) || (!info.exists() && !info.isSymLink())) && !EnsureNoteFile(name))
    return false;

  FileRead read = readFile(path, kNoteFileLimit);
  if (!read.ok()) {
    ReportFileError(*read.error);
    return false;
  }
  QList<TextLine> lines = splitTextLines(read.bytes);
  if (!lines.isEmpty()) note = toScreenForm(lines[0].text);
  for (int k = 1; k <= 12 && k < lines.size(); ++k) months[k] = lines[k].text;
  loaded.noteName = name;
  loaded.noteLines = std::move(lines);
  loaded.noteBytes = std::move(read.bytes);
  loaded.noteTexts = noteTexts(note, months);
  return true;
}

QStringList Module1::noteTexts(const QString& note, const std::array<QString, 13>& months) {
  // A line break left in a text would split it over two file lines and shift every note
  // after it.
  QStringList texts{toStoredForm(note)};
  for (int k = 1; k <= 12; ++k) texts << toStoredForm(months[k]);
  return texts;
}

bool Module1::WriteNoteFile() {
  const QString path = noteFilePath(PersonName);
  if (!isSafeNoteName(PersonName)) {
    ReportFileError(
        FileError{QDir::toNativeSeparators(path), u"この名前はファイル名に使えません。"_s, true});
    return false;
  }
  // A store of the dates alone leaves the note file as it is: another program may have
  // written it since, and its text must not be put back to what was loaded.
  const QStringList texts = noteTexts(PersonNote, MonthNotes);
  const bool renamed = PersonName != loaded_.noteName;
  if (!renamed && texts == loaded_.noteTexts) return true;
  // What the user did not change keeps the bytes it had, lines past the thirteenth too.
  const QList<TextLine>& before = loaded_.noteLines;
  QList<TextLine> lines;
  for (int i = 0; i < texts.size(); ++i) {
    if (i < before.size()) {
      QString bad;
      const auto bytes = storedBytes(texts[i], before[i].text, before[i].raw, &bad);
      if (!bytes) {
        ReportFileError(FileError{QDir::toNativeSeparators(path),
                                  u"「%1」はこのファイルに保存できない文字です。"_s.arg(bad),
                                  true});
        return false;
      }
      lines.append(TextLine{*bytes, texts[i], true});
    } else {
      lines.append(TextLine::fromText(texts[i]));
    }
  }
  for (qsizetype i = texts.size(); i < before.size(); ++i) lines.append(before[i]);
  FileError error;
  if (!encodeTextLines(lines, path, &error)) {
    ReportFileError(error);
    return false;
  }
  // The file the note was loaded from must still hold what was loaded; for a rename
  // too, whose old file goes once the new one is written.
  if (!loaded_.noteName.isEmpty()) {
    const QString loadedPath = noteFilePath(loaded_.noteName);
    if (!FileHolds(loadedPath, loaded_.noteBytes)) {
      (void)RefreshFolder();
      refuseChangedOutside(loadedPath);
      return false;
    }
  }
  std::optional<QByteArray> old;
  if (!ReadForChange(path, old)) return false;
  BackUpBeforeWrite();
  if (!WriteLinesReported(path, lines)) return false;
  recordWrite(path, old, joinTextLines(lines));
  loaded_.noteName = PersonName;
  loaded_.noteLines = lines;
  loaded_.noteBytes = joinTextLines(lines);
  loaded_.noteTexts = texts;
  return true;
}

TextLine Module1::storedRecordLine(const Record& r) const {
  const QString text = buildRecordLine(r);
  if (loaded_.index < 0 || loaded_.indexPath != IndexFilePath) return TextLine::fromText(text);
  const QList<QByteArray> oldRaw = rawFields(loaded_.raw);
  const QList<QString> oldText = decodeCp932(loaded_.raw).split(u'*');
  if (oldRaw.size() != 15 || oldText.size() != 15) return TextLine::fromText(text);
  const QStringList fields = text.split(u'*');
  QByteArray raw;
  for (int i = 0; i < 14; ++i) {
    const auto bytes = storedBytes(fields[i], oldText[i], oldRaw[i]);
    if (!bytes) return TextLine::fromText(text);  // the write names the character
    raw += *bytes + '*';
  }
  return TextLine{raw, text, true};
}

bool Module1::witnessFor(QByteArray& raw) const {
  if (loaded_.person && loaded_.index == CurrentIndex && loaded_.indexPath == IndexFilePath) {
    raw = loaded_.raw;
    return true;
  }
  // What the list shows: a delete from the main window needs no person loaded.
  if (WriteMode == kWriteDelete && folder_.path() == IndexFilePath && CurrentIndex >= 0 &&
      CurrentIndex < folder_.recordCount()) {
    raw = folder_.recordLine(CurrentIndex).raw;
    return true;
  }
  return false;
}

void Module1::refuseNotLoaded() {
  // The fields would hold placeholders or another person: writing them would replace a
  // record nobody saw.
  if (shell)
    shell->message(
        u"保存できません"_s,
        u"この人は読み込めていないため、保存しませんでした。記録ファイルは元のままです。"_s,
        Buttons::Ok, Icon::Warning);
}

qint16 Module1::FindLoadedAgain() const {
  if (loaded_.indexPath != IndexFilePath || folder_.path() != IndexFilePath) return -1;
  const int count = std::min(folder_.recordCount(), kMaxRecords);
  const auto unique = [count](const auto& matches) {
    qint16 found = -1;
    for (int r = 0; r < count; ++r) {
      if (!matches(r)) continue;
      if (found >= 0) return qint16(-1);  // twice: which one was meant cannot be told
      found = qint16(r);
    }
    return found;
  };
  const qint16 byBytes = unique([&](int r) { return folder_.recordLine(r).raw == loaded_.raw; });
  if (byBytes >= 0) return byBytes;
  const Record was = parseRecord(decodeCp932(loaded_.raw));
  return unique([&](int r) {
    return folder_.territoryOf(r) == was.territory && folder_.nameOf(r) == was.name;
  });
}

void Module1::refuseChangedOutside(const QString& path) {
  ChangedOutside = true;
  loaded_.index = FindLoadedAgain();
  if (loaded_.index >= 0) loaded_.raw = folder_.recordLine(loaded_.index).raw;
  if (shell)
    shell->message(
        u"保存できません"_s,
        u"ファイルがほかのプログラムによって変更されたため、保存しませんでした。\n\n"_s +
            QDir::toNativeSeparators(path) +
            (loaded_.index >= 0
                 ? u"\n\n変更後の内容を読み込み直し、入力した内容をその上に戻しました。"
                   u"もう一度保存すると、この内容で保存されます。"_s
                 : u"\n\nこの人は記録ファイルにもういません。入力中の内容は画面に残っています。"
                   u"もう一度保存すると、新しい人として追加されます。"_s),
        Buttons::Ok, Icon::Warning);
}

bool Module1::ReloadLoadedNote() {
  if (!loaded_.person || loaded_.noteName.isEmpty()) return true;
  Loaded fresh = loaded_;
  QString note;
  std::array<QString, 13> months;
  if (!LoadNoteFile(loaded_.noteName, fresh, note, months)) return false;
  loaded_ = std::move(fresh);
  PersonNote = note;
  MonthNotes = months;
  return true;
}

bool Module1::LoadedPersonChanged() {
  if (!loaded_.person || loaded_.index < 0 || loaded_.indexPath != IndexFilePath) return false;
  if (!RefreshFolder()) return false;
  if (loaded_.index >= std::min(folder_.recordCount(), kMaxRecords) ||
      folder_.recordLine(loaded_.index).raw != loaded_.raw)
    return true;
  return !loaded_.noteName.isEmpty() &&
         !FileHolds(noteFilePath(loaded_.noteName), loaded_.noteBytes);
}

bool Module1::WriteIndexLines(QList<TextLine> lines) {
  FileError error;
  if (!encodeTextLines(lines, IndexFilePath, &error)) {
    ReportFileError(error);
    return false;
  }
  std::optional<QByteArray> before;
  if (folder_.path() == IndexFilePath)
    before = folder_.bytes();
  else if (!ReadForChange(IndexFilePath, before))
    return false;
  BackUpBeforeWrite();
  if (!WriteLinesReported(IndexFilePath, lines)) {
    folder_.clear();  // whatever is on disk now is read again
    return false;
  }
  folder_.adopt(IndexFilePath, std::move(lines));
  recordWrite(IndexFilePath, before, folder_.bytes());
  return true;
}

void Module1::BackUpBeforeWrite() {
  if (!CurrentFolder.startsWith(u'%')) return;
  FileError error;
  QStringList foreign;
  const DailyBackup::Result result =
      backup_.ensure(programFolder_, recordFolderPath(), today(), &error, &foreign);
  if (!shell) return;
  if (!foreign.isEmpty())
    shell->message(u"バックアップ"_s,
                   u"バックアップのフォルダーに、Velnorが作ったものではないシンボリックリンクが"
                   u"あります。古いバックアップの整理では、これらには手を触れていません。\n\n"_s +
                       foreign.join(u'\n'),
                   Buttons::Ok, Icon::Warning);
  // Reported once a day; the store itself goes on.
  if (result == DailyBackup::Result::Failed)
    shell->message(u"バックアップできません"_s,
                   u"今日のバックアップを作れませんでした。記録の保存は続けます。\n\n"_s +
                       error.path + u"\n\n理由："_s + error.reason,
                   Buttons::Ok, Icon::Warning);
}

bool Module1::WriteIndex() {
  ChangedOutside = false;
  AddedAgain = false;
  const ChangeScope change(*this);
  QByteArray witness;
  const bool guarded =
      (WriteMode == kWriteStore || WriteMode == kWriteDelete) && witnessFor(witness);
  if (WriteMode == kWriteStore && !guarded) {
    refuseNotLoaded();
    return false;
  }
  if (!RefreshFolder()) return false;

  const int count = std::min(folder_.recordCount(), kMaxRecords);
  if (WriteMode == kWriteAppend) return appendRecord(count);
  if (WriteMode != kWriteStore && WriteMode != kWriteDelete) return true;
  if (CurrentIndex < 0 || CurrentIndex >= count) return true;  // no such record: nothing to do

  const int line = folder_.lineOfRecord(CurrentIndex);
  // The line must still be the person the user saw; another program may have moved it.
  if (guarded && folder_.lines()[line].raw != witness) {
    refuseChangedOutside(IndexFilePath);
    return false;
  }
  return WriteMode == kWriteStore ? storeRecord(line) : deleteRecord(line, count);
}

bool Module1::appendRecord(int count) {
  if (count >= kMaxRecords) {
    if (shell)
      shell->message(
          u"追加できません"_s,
          u"この記録フォルダーにはこれ以上追加できません。\n登録できる人数は%1人までです。"_s.arg(
              kMaxRecords),
          Buttons::Ok, Icon::Warning);
    return false;
  }
  QList<TextLine> out = folder_.lines();
  out.append(TextLine::fromText(kPlaceholderRecord));
  if (!WriteIndexLines(out)) return false;
  PersonCount = qint16(count + 1);
  CurrentIndex = qint16(PersonCount - 1);
  // A loaded person whose line another program removed is stored as this new record.
  if (loaded_.person && loaded_.index < 0 && loaded_.indexPath == IndexFilePath) {
    loaded_.index = CurrentIndex;
    loaded_.raw = folder_.recordLine(CurrentIndex).raw;
    AddedAgain = true;
  }
  return true;
}

bool Module1::storeRecord(int line) {
  const Record r{PersonTerritory, PersonName, MonthDates};
  QList<TextLine> out = folder_.lines();
  out[line] = storedRecordLine(r);
  FileError error;
  if (!encodeTextLines(out, IndexFilePath, &error)) {
    ReportFileError(error);
    return false;
  }
  // The note goes first: when it cannot be written the index stays as it was. An
  // unchanged line leaves the index file untouched.
  if (!WriteNoteFile()) return false;
  if (out[line].raw != folder_.lines()[line].raw && !WriteIndexLines(out)) return false;
  loaded_.person = true;
  loaded_.indexPath = IndexFilePath;
  loaded_.index = CurrentIndex;
  loaded_.raw = folder_.recordLine(CurrentIndex).raw;
  return true;
}

bool Module1::deleteRecord(int line, int count) {
  QList<TextLine> out = folder_.lines();
  out.removeAt(line);
  if (!WriteIndexLines(out)) return false;
  if (loaded_.indexPath == IndexFilePath) {
    if (loaded_.index == CurrentIndex)
      loaded_.index = -1;
    else if (loaded_.index > CurrentIndex)
      --loaded_.index;
  }
  if (InputScreenOpen && inputScreen && inputScreen->nameBoxText() == PersonName)
    (void)RemoveNoteFileIfUnused(PersonName);  // a failure has been reported
  PersonCount = qint16(count - 1);
  if (CurrentIndex + 1 > PersonCount) CurrentIndex = qint16(CurrentIndex - 1);
  return true;
}

bool Module1::CountPeople() {
  ReadMode = kReadCount;
  return ReadIndex();
}

bool Module1::LoadPerson(qint16 index) {
  CurrentIndex = index;
  ReadMode = kReadLoad;
  return ReadIndex();
}

bool Module1::ListNames() {
  ReadMode = kReadNames;
  return ReadIndex();
}

bool Module1::AppendPerson() {
  WriteMode = kWriteAppend;
  return WriteIndex();
}

bool Module1::StorePerson(qint16 index) {
  CurrentIndex = index;
  WriteMode = kWriteStore;
  return WriteIndex();
}

bool Module1::DeletePerson(qint16 index) {
  CurrentIndex = index;
  WriteMode = kWriteDelete;
  return WriteIndex();
}

}  // namespace velnor
