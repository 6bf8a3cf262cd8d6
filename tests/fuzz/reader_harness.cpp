#include "fuzz/reader_harness.h"

#include <QDir>
#include <QFile>

#include "core/char_rules.h"
#include "core/module1.h"
#include "core/spreadsheet.h"
#include "support/fakes.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor::fuzz {

namespace {

const QString kFolder = u"%fuzz"_s;
const QString kIndex = kFolder + u'/' + kIndexFileName, kNote = kFolder + u"/名前.txt"_s;
constexpr int kMaxLoads = 8;  // records loaded one by one per input; the rest are only counted

}  // namespace

// tmpfs where there is one: every save syncs, which a disk makes slow.
ReaderHarness::ReaderHarness()
    : tp_(QDir(u"/dev/shm"_s).exists() ? u"/dev/shm/velnor-fuzz-XXXXXX"_s : QString()) {}

void ReaderHarness::reset() {
  QDir(tp_.path(kFolder)).removeRecursively();
  QFile::remove(tp_.path(kSettingsFileName));
  QDir(tp_.path()).mkdir(kFolder);
}

QString ReaderHarness::run(const QByteArray& bytes) {
  for (auto check :
       {&ReaderHarness::checkTextLines, &ReaderHarness::checkIndex, &ReaderHarness::checkNote,
        &ReaderHarness::checkSettings, &ReaderHarness::checkSheet}) {
    reset();
    const QString problem = (this->*check)(bytes);
    if (!problem.isEmpty()) return problem;
  }
  return {};
}

// A spreadsheet file (read as CSV, and as .xlsx): every person the import accepts becomes
// exactly one record of that name in the files it would write.
QString ReaderHarness::checkSheet(const QByteArray& bytes) {
  for (const QString& name : {u"a.csv"_s, u"a.xlsx"_s}) {
    const QString path = tp_.path(name);
    tp_.writeBytes(name, bytes);
    QList<sheet::Row> rows;
    FileError error;
    if (!sheet::readSheetFile(path, rows, &error)) continue;
    // The fields before the header, so that the rows are checked whatever the header was.
    rows.prepend(sheet::headerTexts());
    const sheet::ImportPlan plan = sheet::planImport(rows);
    std::vector<FolderFile> files;
    if (!sheet::folderFiles(plan, files, &error)) return u"accepted row not storable"_s;
    ParsedFolder parsed;
    tp_.writeBytes(kIndex, files.front().bytes);
    if (!parsed.refresh(tp_.path(kIndex), &error)) return u"imported index not readable"_s;
    const int expected = plan.people.empty() ? 1 : int(plan.people.size());
    if (parsed.recordCount() != expected) return u"imported records miscounted"_s;
    for (int r = 0; r < int(plan.people.size()); ++r)
      if (parsed.nameOf(r) != plan.people[r].record.name) return u"imported name changed"_s;
  }
  return {};
}

// Lines read and written back unchanged read back as the same bytes.
QString ReaderHarness::checkTextLines(const QByteArray& bytes) {
  const QString path = tp_.path(kFolder + u"/a.txt"_s);
  tp_.writeBytes(kFolder + u"/a.txt"_s, bytes);
  const FileRead firstRead = readFile(path, kNoteFileLimit);
  if (!firstRead.ok()) return u"read failed: "_s + firstRead.error->reason;
  const QList<TextLine> first = splitTextLines(firstRead.bytes);
  FileError error;
  if (!writeTextLines(path, first, &error)) return u"raw lines not written: "_s + error.reason;
  const FileRead secondRead = readFile(path, kNoteFileLimit);
  if (!secondRead.ok()) return u"re-read failed: "_s + secondRead.error->reason;
  const QList<TextLine> second = splitTextLines(secondRead.bytes);
  if (first.size() != second.size()) return u"line count changed on rewrite"_s;
  for (qsizetype i = 0; i < first.size(); ++i)
    if (first[i].raw != second[i].raw || first[i].text != second[i].text)
      return u"line %1 changed on rewrite"_s.arg(i);
  return {};
}

QString ReaderHarness::checkIndex(const QByteArray& bytes) {
  Module1 m(tp_.path());
  test::FakeInputScreen names;
  m.CurrentFolder = kFolder;
  m.IndexFilePath = m.indexPathFor(kFolder);
  tp_.writeBytes(kIndex, bytes);

  if (!m.CountPeople()) return u"counting failed"_s;
  if (m.PersonCount < 0) return u"negative count"_s;
  m.inputScreen = &names;
  if (!m.ListNames()) return u"listing names failed"_s;
  m.inputScreen = nullptr;
  if (names.names.size() != m.PersonCount && m.PersonCount < 32767)
    return u"%1 names listed for %2 people"_s.arg(names.names.size()).arg(m.PersonCount);

  for (int i = 0; i < std::min<int>(m.PersonCount, kMaxLoads); ++i) {
    // A note file that cannot be read leaves the person before in place; else this one.
    const QString before = m.PersonName;
    const bool loaded = m.LoadPerson(qint16(i));
    if (m.PersonName != (loaded ? names.names[i] : before))
      return u"record %1 loaded another name"_s.arg(i);
    if (m.PersonNote.contains(u'[')) return u"note of record %1 kept a \"[\""_s.arg(i);
    m.CurrentIndex = qint16(i + 1);
    m.ReadMode = kReadRawLine;
    if (!m.ReadIndex()) return u"raw line %1 failed"_s.arg(i);
    if (parseRecord(m.PersonName).name != names.names[i])
      return u"raw line %1 is another record"_s.arg(i);
  }
  if (tp_.readBytes(kIndex) != bytes) return u"reading changed the index file"_s;
  return {};
}

QString ReaderHarness::checkNote(const QByteArray& bytes) {
  Module1 m(tp_.path());
  m.CurrentFolder = kFolder;
  m.IndexFilePath = m.indexPathFor(kFolder);
  tp_.writeBytes(kIndex, test::TempProgram::cp932Lines({kIndexComment1, kPlaceholderRecord}));
  tp_.writeBytes(kNote, bytes);
  if (m.noteFilePath(u"名前"_s) != tp_.path(kNote)) return u"the note is looked for elsewhere"_s;
  if (!m.LoadPerson(0)) return u"loading the note failed"_s;
  if (m.PersonName != u"名前"_s) return u"placeholder loaded as another name"_s;

  const FileRead note = readFile(tp_.path(kNote), kNoteFileLimit);
  if (!note.ok()) return u"note unreadable"_s;
  const QList<TextLine> lines = splitTextLines(note.bytes);
  for (int k = 1; k <= 12; ++k) {
    const QString expected = k < lines.size() ? lines[k].text : Module1::DefaultMonthLine(k);
    if (m.MonthNotes[k] != expected) return u"month %1 not loaded as stored"_s.arg(k);
  }
  // Only an empty note, what a cut-off creation leaves, is made again with the defaults.
  if (!bytes.isEmpty() && tp_.readBytes(kNote) != bytes) return u"loading changed the note file"_s;
  return {};
}

QString ReaderHarness::checkSettings(const QByteArray& bytes) {
  tp_.writeBytes(kSettingsFileName, bytes);
  Module1 first(tp_.path());
  if (!first.LoadSettings()) return u"loading settings failed"_s;
  if (tp_.readBytes(kSettingsFileName) != bytes) return u"loading changed the settings file"_s;
  if (!first.CurrentFolder.isEmpty() && !isSafeNoteName(first.CurrentFolder))
    return u"folder name with a path part kept"_s;
  // A folder name that cannot be stored again fails the save; nothing more to compare.
  if (!first.SaveSettings()) return {};
  // Every setting is written, so what was read must be written again as the same bytes.
  const QByteArray saved = tp_.readBytes(kSettingsFileName);
  Module1 second(tp_.path());
  if (!second.LoadSettings() || !second.SaveSettings()) return u"reloading settings failed"_s;
  if (tp_.readBytes(kSettingsFileName) != saved) return u"settings changed on save and reload"_s;
  return {};
}

QList<QByteArray> seedInputs() {
  QList<QByteArray> seeds;
  seeds << test::TempProgram::cp932Lines({kIndexComment1, kIndexComment2, kPlaceholderRecord,
                                          u"東区*山田 太郎*1/5*2/3 2/17****** 8/1*****"_s,
                                          u"[メモ]"_s, u"西区*鈴木*****************"_s, QString(),
                                          u"北*佐藤*1*2*3*4*5*6*7*8*9*10*11*12*"_s});
  QStringList note{u"補足情報[二行目"_s};
  for (int k = 1; k <= 12; ++k) note << Module1::DefaultMonthLine(k) + u"[続き"_s;
  seeds << test::TempProgram::cp932Lines(note);
  seeds << test::TempProgram::cp932Lines(
      {u"[Velnorの設定記録ファイル]"_s, u"b101=True"_s, u"i103=False"_s, u"i104= 10 "_s,
       u"i104b= 9 "_s, u"L108(0)= 12648384 "_s, u"L109(1)=-1 "_s, u"i110=-120 "_s, u"i112= 5220 "_s,
       u"i119= 2147483647 "_s, u"i120= 1 "_s, u"s201=%山田"_s});
  static const char odd[] = "\x81\r\n*\n\r\r\n[\x82\xa0*\0\xff";
  seeds << QByteArray(odd, sizeof odd - 1);
  return seeds;
}

}  // namespace velnor::fuzz
