#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/module1.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace {

constexpr int kMaxRecords = 32767;

// A name is also the note file's name; one that could reach outside the record folder
// is never used as a path.
bool isSafeNoteName(const QString& name) {
  return !name.contains(u'/') && !name.contains(u'\\') && !name.contains(QChar(0)) &&
         name != u"."_s && name != u".."_s;
}

QString storedToScreen(const QString& stored) {
  QString out = stored;
  out.replace(u'[', u"\r\n"_s);
  return out;
}

}  // namespace

QString Module1::DefaultMonthLine(int month) { return u' ' + QString::number(month) + u"月　日"_s; }

bool Module1::IsRecordLine(const QString& line) {
  return !line.isEmpty() && !line.startsWith(u'[') && line.count(u'*') == 14;
}

Record Module1::ParseRecord(const QString& line) {
  Record r;
  const QStringList f = line.split(u'*');
  r.territory = f.value(0);
  r.name = f.value(1);
  for (int k = 1; k <= 12; ++k) r.months[k] = f.value(k + 1);
  return r;
}

QString Module1::BuildRecordLine(const Record& r) {
  QString line = r.territory + u'*' + r.name + u'*';
  for (int k = 1; k <= 12; ++k) line += r.months[k] + u'*';
  return line;
}

bool Module1::WriteReported(const QString& path, const QStringList& lines) {
  FileError error;
  if (writeTextFile(path, lines, &error)) return true;
  ReportFileError(error);
  return false;
}

bool Module1::ReadReported(const QString& path, QList<TextLine>& lines) {
  FileError error;
  if (readTextLines(path, lines, &error)) return true;
  ReportFileError(error);
  return false;
}

bool Module1::ReadIndexLines(QList<TextLine>& lines) {
  if (!FileExists(IndexFilePath) && !WriteNewIndexFile(IndexFilePath)) return false;
  return ReadReported(IndexFilePath, lines);
}

bool Module1::WriteNewIndexFile(const QString& path) {
  return WriteReported(path, {kIndexComment1, kIndexComment2, kPlaceholderRecord});
}

bool Module1::EnsureNoteFile(const QString& name) {
  if (!isSafeNoteName(name)) return false;
  const QString path = noteFilePath(name);
  if (FileExists(path)) return true;
  QStringList lines{u"補足情報"_s};
  for (int k = 1; k <= 12; ++k) lines << DefaultMonthLine(k);
  return WriteReported(path, lines);
}

bool Module1::DeleteNoteFile(const QString& name) {
  if (!isSafeNoteName(name)) return true;
  const QString path = noteFilePath(name);
  if (!QFileInfo::exists(path)) return true;  // never stored: already gone
  QFile file(path);
  if (file.remove()) return true;
  ReportFileError(FileError{QDir::toNativeSeparators(path), file.errorString(), true});
  return false;
}

bool Module1::ReadAllRecords(QList<Record>& records) {
  records.clear();
  QList<TextLine> lines;
  if (!ReadIndexLines(lines)) return false;
  for (const TextLine& line : lines)
    if (IsRecordLine(line.text) && records.size() < kMaxRecords)
      records.append(ParseRecord(line.text));
  return true;
}

bool Module1::ReadIndex() {
  QList<TextLine> lines;
  if (!ReadIndexLines(lines)) return false;

  int n = 0;
  for (const TextLine& line : lines) {
    if (!IsRecordLine(line.text)) continue;
    switch (ReadMode) {
      case 1:
        ++n;
        break;
      case 2: {
        ++n;
        if (n != CurrentIndex + 1) break;
        const Record r = ParseRecord(line.text);
        PersonTerritory = r.territory;
        PersonName = r.name;
        for (int k = 1; k <= 12; ++k) MonthDates[k] = r.months[k];
        return LoadNoteFile();
      }
      case 3: {
        const Record r = ParseRecord(line.text);
        PersonTerritory = r.territory;
        PersonName = r.name;
        if (inputScreen) inputScreen->addName(PersonName);
        break;
      }
      case 5:
        if (n == CurrentIndex - 1) {
          PersonName = line.text;
          return true;
        }
        ++n;
        break;
      default:
        return true;
    }
  }
  if (ReadMode == 1) PersonCount = qint16(std::min(n, kMaxRecords));
  return true;
}

bool Module1::LoadNoteFile() {
  PersonNote = u"補足情報"_s;
  for (int k = 1; k <= 12; ++k) MonthNotes[k] = DefaultMonthLine(k);
  if (!isSafeNoteName(PersonName)) return true;
  if (!FileExists(noteFilePath(PersonName)) && !EnsureNoteFile(PersonName)) return false;

  QList<TextLine> lines;
  if (!ReadReported(noteFilePath(PersonName), lines)) return false;
  if (!lines.isEmpty()) PersonNote = lines[0].text;
  for (int k = 1; k <= 12 && k < lines.size(); ++k) MonthNotes[k] = lines[k].text;
  PersonNote = storedToScreen(PersonNote);
  return true;
}

bool Module1::WriteNoteFile() {
  if (!isSafeNoteName(PersonName)) {
    ReportFileError(FileError{QDir::toNativeSeparators(noteFilePath(PersonName)),
                              u"この名前はファイル名に使えません。"_s, true});
    return false;
  }
  QStringList lines{PersonNote};
  for (int k = 1; k <= 12; ++k) lines << MonthNotes[k];
  return WriteReported(noteFilePath(PersonName), lines);
}

bool Module1::WriteIndex() {
  QList<TextLine> lines;
  if (!ReadReported(IndexFilePath, lines)) return false;

  QList<TextLine> out;
  out.reserve(lines.size() + 1);
  int n = 0;     // record lines seen
  int kept = 0;  // record lines written back
  bool dropped = false;
  for (TextLine& line : lines) {
    if (!IsRecordLine(line.text)) {
      out.append(std::move(line));
      continue;
    }
    ++n;
    if (WriteMode == 1 || n != CurrentIndex + 1) {
      ++kept;
      out.append(std::move(line));
      continue;
    }
    if (WriteMode == 2) {
      Record r{PersonTerritory, PersonName, MonthDates};
      // The note goes first: when it cannot be written the index stays as it was.
      if (!WriteNoteFile()) return false;
      ++kept;
      out.append(TextLine::fromText(BuildRecordLine(r)));
    } else if (WriteMode == 3) {
      dropped = true;
    } else {
      ++kept;
      out.append(std::move(line));
    }
  }

  if (WriteMode == 1) {
    if (kept >= kMaxRecords) {
      LastError = FileError{QDir::toNativeSeparators(IndexFilePath),
                            u"登録できる人数は%1人までです。"_s.arg(kMaxRecords), true};
      if (shell)
        shell->message(
            u"追加できません"_s,
            u"この記録フォルダーにはこれ以上追加できません。\n登録できる人数は%1人までです。"_s.arg(
                kMaxRecords),
            Buttons::Ok, Icon::Warning);
      return false;
    }
    out.append(TextLine::fromText(kPlaceholderRecord));
  }

  FileError error;
  if (!writeTextLines(IndexFilePath, out, &error)) {
    ReportFileError(error);
    return false;
  }

  if (WriteMode == 1) {
    PersonCount = qint16(kept + 1);
    CurrentIndex = qint16(PersonCount - 1);
  } else if (WriteMode == 3) {
    if (dropped && InputScreenOpen && inputScreen && inputScreen->nameBoxText() == PersonName)
      DeleteNoteFile(PersonName);
    PersonCount = qint16(kept);
    if (CurrentIndex + 1 > PersonCount) CurrentIndex = qint16(CurrentIndex - 1);
  }
  return true;
}

}  // namespace velnor
