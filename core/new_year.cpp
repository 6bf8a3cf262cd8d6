#include "core/new_year.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include "core/module1.h"
#include "core/parsed_folder.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace new_year {

namespace {
constexpr int kRecordFields = 14;  // territory, name, twelve months
// A folder name longer than this cannot be made on the file systems the program uses.
constexpr qsizetype kMaxFolderNameBytes = 255;
}  // namespace

int defaultYear(const QDate& today) {
  return today.month() <= kLastMonthOfOldYear ? today.year() - 1 : today.year();
}

QString archiveFolderName(const QString& folder, int year) {
  return folder + u"（"_s + QString::number(year) + u"年）"_s;
}

QList<TextLine> newYearIndex(const QList<TextLine>& lines, bool dropUnmet, QStringList* dropped) {
  QList<TextLine> out;
  out.reserve(lines.size());
  for (const TextLine& line : lines) {
    if (!isRecordLine(line.text)) {
      out.append(line);
      continue;
    }
    const Record r = parseRecord(line.text);
    bool met = false;
    for (int month = 1; month <= 12; ++month) met = met || !r.months[month].isEmpty();
    if (dropUnmet && !met) {
      if (dropped) dropped->append(r.name);
      continue;
    }
    // The territory and the name keep their bytes: "*" is never the second byte of a
    // code page 932 character, so the second star ends them in the bytes too.
    const qsizetype nameEnd = line.raw.indexOf('*', line.raw.indexOf('*') + 1);
    TextLine fresh;
    fresh.raw = line.raw.left(nameEnd + 1) + QByteArray(kRecordFields - 2, '*');
    fresh.text = r.territory + u'*' + r.name + u'*' + QString(kRecordFields - 2, u'*');
    out.append(fresh);
  }
  return out;
}

QList<TextLine> newYearNote(const QList<TextLine>& lines) {
  QList<TextLine> out;
  out.append(lines.isEmpty() ? TextLine::fromText(u"補足情報"_s) : lines.first());
  for (int month = 1; month <= 12; ++month)
    out.append(TextLine::fromText(Module1::DefaultMonthLine(month)));
  for (qsizetype i = 13; i < lines.size(); ++i) out.append(lines[i]);
  return out;
}

}  // namespace new_year

namespace {

using new_year::kLastMonthOfOldYear;

void tell(Module1& m, const QString& text) {
  if (m.shell) m.shell->message(u"新しい年"_s, text, Buttons::Ok, Icon::Warning);
}

FileError writeError(const QString& path, const QString& reason) {
  return FileError{QDir::toNativeSeparators(path), reason, true};
}

}  // namespace

struct NewYearPlan {
  QString archivePath;
  std::vector<FolderFile> notes;  // as they are now, for the archive
  QList<TextLine> index;
  struct Rewrite {
    QString path;
    QByteArray before;
    std::optional<QList<TextLine>> lines;  // none: the note file goes
  };
  std::vector<Rewrite> rewrites;
};

bool Module1::CloseYear(int year, bool dropUnmet, const Progress& progress) {
  NewYearPlan plan;
  if (closeYearRefused(year, plan.archivePath) || !planNewYear(dropUnmet, plan)) return false;
  const int steps = int(plan.notes.size() + plan.rewrites.size()) + 2;  // and the index twice
  int done = 0;
  const auto step = [&] {
    if (progress) progress(++done, steps);
  };
  BackUpBeforeWrite();
  std::vector<FolderFile> files{{QFileInfo(IndexFilePath).fileName(), folder_.bytes()}};
  files.insert(files.end(), plan.notes.begin(), plan.notes.end());
  FileError error;
  if (!makeFolderWhole(plan.archivePath, u".velnor-new-year"_s, files, step, &error)) {
    ReportFileError(error);
    return false;
  }
  return startNewYear(plan, step);
}

bool Module1::closeYearRefused(int year, QString& archivePath) {
  if (year < new_year::kFirstYear || year > new_year::kLastYear) {
    tell(*this, u"年は%1から%2までの数で入力してください。"_s.arg(new_year::kFirstYear)
                    .arg(new_year::kLastYear));
    return true;
  }
  IndexFilePath = indexPathFor(CurrentFolder);
  if (!RefreshFolder()) return true;
  const QString archive = new_year::archiveFolderName(CurrentFolder, year);
  archivePath = programPath(archive);
  if (QFile::encodeName(archive).size() > new_year::kMaxFolderNameBytes) {
    tell(
        *this,
        u"「%1」という名前のフォルダーは、長すぎて作れません。フォルダーの名前は"
        u"255バイト（漢字ならおよそ85文字）までです。何も変更していません。"_s.arg(archive.mid(1)));
    return true;
  }
  if (QFileInfo::exists(archivePath) || QFileInfo(archivePath).isSymLink()) {
    tell(*this,
         u"「%1」はすでにあります。何も変更していません。\n\nこの年をもう一度"
         u"締めるときは、先にそのフォルダーの名前を変えるか、削除してください。"_s.arg(
             archive.mid(1)));
    return true;
  }
  return false;
}

// Every file is read, and every new one made and encoded, before anything is written.
bool Module1::planNewYear(bool dropUnmet, NewYearPlan& plan) {
  const QDir dir(recordFolderPath());
  for (const QString& name :
       dir.entryList({u"*.txt"_s}, QDir::Files | QDir::NoSymLinks, QDir::Name)) {
    FileRead read = readFile(dir.filePath(name), kNoteFileLimit);
    if (!read.ok()) {
      ReportFileError(*read.error);
      return false;
    }
    plan.notes.push_back(FolderFile{name, std::move(read.bytes)});
  }
  QStringList dropped;
  plan.index = new_year::newYearIndex(folder_.lines(), dropUnmet, &dropped);
  QSet<QString> kept;
  for (const TextLine& line : plan.index)
    if (isRecordLine(line.text)) kept.insert(parseRecord(line.text).name + u".txt"_s);
  for (const FolderFile& note : plan.notes) {
    NewYearPlan::Rewrite r{dir.filePath(note.name), note.bytes, std::nullopt};
    const bool gone = dropped.contains(note.name.chopped(4)) && !kept.contains(note.name);
    if (!gone) {
      r.lines = new_year::newYearNote(splitTextLines(note.bytes));
      FileError error;
      if (!encodeTextLines(*r.lines, r.path, &error)) {
        ReportFileError(error);
        return false;
      }
      if (joinTextLines(*r.lines) == note.bytes) continue;
    }
    plan.rewrites.push_back(std::move(r));
  }
  return true;
}

// The folder in use gets its new year as one undoable change; half a new year is no new
// year, so a failure puts every file back and removes the archive.
bool Module1::startNewYear(const NewYearPlan& plan, const std::function<void()>& step) {
  const ChangeScope change(*this, 0);
  const QByteArray indexBefore = folder_.bytes();
  if (!WriteIndexLines(plan.index)) {
    removeTree(plan.archivePath);
    return false;
  }
  step();
  for (size_t i = 0; i < plan.rewrites.size(); ++i) {
    const NewYearPlan::Rewrite& r = plan.rewrites[i];
    FileError failure;
    if (r.lines ? writeTextLines(r.path, *r.lines, &failure) : QFile::remove(r.path)) {
      recordWrite(r.path, r.before,
                  r.lines ? std::optional(joinTextLines(*r.lines)) : std::nullopt);
      step();
      continue;
    }
    if (!r.lines) failure = writeError(r.path, u"削除できません。"_s);
    FileError ignored;
    for (size_t j = 0; j < i; ++j)
      (void)writeFileBytes(plan.rewrites[j].path, plan.rewrites[j].before, &ignored);
    (void)writeFileBytes(IndexFilePath, indexBefore, &ignored);
    folder_.clear();
    removeTree(plan.archivePath);
    ReportFileError(failure);
    return false;
  }
  return true;
}

bool Module1::OfferNewYear() {
  const QDate day = today();
  if (day.month() > kLastMonthOfOldYear || CurrentFolder.isEmpty() || !shell) return false;
  const int year = day.year() - 1;
  bool met = false;
  for (const TextLine& line : folder_.lines()) {
    if (!isRecordLine(line.text)) continue;
    const Record r = parseRecord(line.text);
    for (int month = 1; month <= 12 && !met; ++month) met = !r.months[month].isEmpty();
    if (met) break;
  }
  if (!met || QFileInfo::exists(programPath(new_year::archiveFolderName(CurrentFolder, year))))
    return false;
  // One line per folder and year asked about: the box comes once a year, on every
  // computer the program folder is shared with.
  const QString path = programPath(kNewYearAskedFile);
  const QByteArray entry = (CurrentFolder + u'\t' + QString::number(year)).toUtf8();
  const FileRead read = readFile(path, kNoteFileLimit);
  if (read.unreadable()) return false;
  const QByteArray& asked = read.bytes;
  FileError error;
  if (asked.split('\n').contains(entry + '\r')) return false;
  (void)writeFileBytes(path, asked + entry + "\r\n", &error);  // a failure asks again next start
  return shell->message(u"新しい年"_s,
                        u"「%1」には%2年の会えた月日が残っています。\n\n%2年の記録を"
                        u"「%3」に移して、新しい年を始めますか？\n\n"
                        u"（この問い合わせは今年はもう出ません。設定画面の「新しい年へ」から"
                        u"いつでも始められます。）"_s.arg(CurrentFolder.mid(1))
                            .arg(year)
                            .arg(new_year::archiveFolderName(CurrentFolder, year).mid(1)),
                        Buttons::OkCancel, Icon::Information) == Answer::Ok;
}

}  // namespace velnor
