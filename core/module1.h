#pragma once
// The shared state and the nine shared procedures every window works with.

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <array>

#include <QDate>
#include <QDateTime>
#include <functional>

#include "core/daily_backup.h"
#include "core/history.h"
#include "core/month_window.h"
#include "core/parsed_folder.h"
#include "core/ports.h"
#include "core/text_file.h"

namespace velnor {

// The standard settings: what a start gives the values never stored, and what the
// settings screen's "すべて標準にする" restores. Window sizes are outer sizes in twips;
// the column widths are those of a default MonthWindow.
inline constexpr qint32 kDefaultBackColors[3] = {0xC0FFC0, 0xC0FFFF, 0xFFC0C0};
inline constexpr qint16 kStandardRowHeight = 10;
inline constexpr qint16 kStandardNoteFontSize = 9;
inline constexpr qint16 kStandardMainWidth = 5220;
inline constexpr qint16 kStandardMainHeight = 4848;
inline constexpr qint16 kStandardInputWidth = 5076;
inline constexpr qint16 kStandardInputHeight = 4860;
// The row height and the note font size the settings screen lets the user choose.
inline constexpr qint16 kSmallestSizeSetting = 1;
inline constexpr qint16 kLargestSizeSetting = 20;
inline const QString kIndexFileName = QStringLiteral("データー.vrd");
inline const QString kSettingsFileName = QStringLiteral("Velnor.ini");
inline const QString kPlaceholderRecord = QStringLiteral("区域*名前*************");
inline const QString kPlaceholderName = QStringLiteral("名前");
inline const QString kIndexComment1 =
    QStringLiteral("[このフォルダーには、Velnorデーターが収納されます]");
inline const QString kIndexComment2 = QStringLiteral(
    "[コンピューターがいつ壊れて情報が失われるかわかりませんので,"
    "バックアップを取ることをお勧めします]");
inline const QString kNewFolderItem = QStringLiteral("新規作成");

inline constexpr int kMaxRecords = 32767;

// What ReadIndex does, chosen by ReadMode right before the call. Every mode first reads
// the index file again if another program changed it (a missing file is created with
// the placeholder record); a file that cannot be read is reported once and the call
// returns false.
// kReadCount: PersonCount = the number of records (0 when the file cannot be read).
inline constexpr qint16 kReadCount = 1;
// kReadLoad: record CurrentIndex becomes the loaded person (PersonTerritory, PersonName,
// MonthDates) with its note file (PersonNote in screen form, MonthNotes as stored); a
// missing note file is created. Nothing is loaded when CurrentIndex is no record.
inline constexpr qint16 kReadLoad = 2;
// kReadNames: every record's name is handed to the input screen's name list (which the
// callers have emptied or replace);
// PersonTerritory and PersonName are left holding the last record's.
inline constexpr qint16 kReadNames = 3;
// kReadRawLine: PersonName = the whole, unparsed line of record CurrentIndex - 1
// (CurrentIndex counts from 1 here).
inline constexpr qint16 kReadRawLine = 5;

// LoadPhase: whether the main window's resize handler lays it out and draws. It stands
// still (kLoadHoldLayout) while a size change is one step of a larger one.
inline constexpr qint16 kLoadNotStarted = 0;
inline constexpr qint16 kLoadHoldLayout = 1;
inline constexpr qint16 kLoadDone = 2;

// What WriteIndex does, chosen by WriteMode right before the call. Each call is one
// undoable change, and the day's backup is made before its first write. A store or a
// delete is refused, with a message and ChangedOutside set, when the record's line no
// longer holds the bytes last loaded or shown (another program changed the file).
// kWriteAppend: adds a placeholder record at the end; CurrentIndex and PersonCount
// follow it. Refused with a message when the folder holds kMaxRecords people.
inline constexpr qint16 kWriteAppend = 1;
// kWriteStore: writes the loaded person's note file, then replaces record CurrentIndex
// by the loaded person, keeping the bytes of every field that did not change. Refused
// with a message when record CurrentIndex is not the person last loaded (or stored).
inline constexpr qint16 kWriteStore = 2;
// kWriteDelete: removes record CurrentIndex; PersonCount follows and CurrentIndex steps
// back when it was the last record. With the input screen open and its name box holding
// PersonName, that name's note file goes too, unless another record still has the name.
inline constexpr qint16 kWriteDelete = 3;

class Module1;
struct MergePlan;
namespace sheet {
struct ImportPlan;
}
// Makes every file write of its lifetime one undoable step.
struct NewYearPlan;

class ChangeScope {
 public:
  explicit ChangeScope(Module1& m, qint16 select = -1);
  ~ChangeScope();
  ChangeScope(const ChangeScope&) = delete;
  ChangeScope& operator=(const ChangeScope&) = delete;

 private:
  Module1& m_;
  qint16 select_;
};

class Module1 {
 public:
  explicit Module1(const QString& programFolder);

  // ---- Loaded person
  QString PersonTerritory;
  QString PersonName;
  std::array<QString, 13> MonthDates;
  QString PersonNote;
  std::array<QString, 13> MonthNotes;

  // ---- Position and selection
  qint16 CurrentIndex = 0;
  qint16 TargetIndex = 0;
  qint16 PersonCount = 0;
  qint16 CurrentColumn = 0;
  int CurrentMonth = 0;
  qint16 FirstMonthOffset = 0;
  qint16 NoteMonth = 0;

  // ---- Settings
  bool InputScreenOpen = false;
  bool ListFormat = false;
  qint16 RowHeight = 0;
  qint16 NoteFontSize = 0;
  std::array<qint32, 3> BackColors{0, 0, 0};
  std::array<qint32, 3> TextColors{0, 0, 0};
  qint16 MainLeft = 0, MainTop = 0, MainWidth = 0, MainHeight = 0;
  qint16 InputLeft = 0, InputTop = 0, InputWidth = 0, InputHeight = 0;
  qint16 SortKind = 0;
  qint32 LaunchCount = 0;
  qint16 DisplaySpan = 0;
  QString CurrentFolder;

  // ---- Layout values
  qint16 TerritoryColumnWidth = 0, NameColumnWidth = 0, MonthColumnWidth = 0;
  qint32 HeaderFillColor = 0;

  // ---- Paths and work buffers
  QString IndexFilePath;
  QString PathBuffer;

  // ---- Flags and selectors
  qint16 ReadMode = 0;   // kReadCount, kReadLoad, kReadNames or kReadRawLine
  qint16 WriteMode = 0;  // kWriteAppend, kWriteStore or kWriteDelete
  qint16 LoadPhase = kLoadNotStarted;
  bool EditsEnabled = false;
  bool PersonModified = false;
  qint16 DuplicateCount = 0;
  bool FolderCreated = false;
  qint16 IgnoreSpanClick = 0;
  qint16 FolderItemIndex = 0;

  // ---- Selection marker Shape1 over the list picture, in list units
  double Shape1Left = 0, Shape1Top = 0, Shape1Width = 0, Shape1Height = 0;
  bool Shape1Visible = false;

  // ---- The windows and the seam (set by app/, or by tests with fakes)
  Shell* shell = nullptr;
  MainWindowPort* mainWindow = nullptr;
  InputScreenPort* inputScreen = nullptr;  // non-null while Form3 is loaded
  bool ProgramEnded = false;               // set by EndProgram; handlers return at once
  bool MainWindowClosing = false;          // its unload writes the settings after Form3's close

  // ---- Shared procedures
  static bool FileExists(const QString& path);
  [[nodiscard]] bool SaveSettings();
  [[nodiscard]] bool LoadSettings();
  [[nodiscard]] bool ReadIndex();   // by ReadMode: kReadCount, kReadLoad, ...
  [[nodiscard]] bool WriteIndex();  // by WriteMode: kWriteAppend, kWriteStore, kWriteDelete
  void PlaceCursor();
  void CheckDuplicateName();
  void ChangeRecordFolder();
  void ListRecordFolders();

  // ---- The mode set and the call made in one step
  [[nodiscard]] bool CountPeople();               // kReadCount
  [[nodiscard]] bool LoadPerson(qint16 index);    // CurrentIndex = index; kReadLoad
  [[nodiscard]] bool ListNames();                 // kReadNames
  [[nodiscard]] bool AppendPerson();              // kWriteAppend
  [[nodiscard]] bool StorePerson(qint16 index);   // CurrentIndex = index; kWriteStore
  [[nodiscard]] bool DeletePerson(qint16 index);  // CurrentIndex = index; kWriteDelete

  // ---- Helpers
  const QString& programFolder() const { return programFolder_; }
  // program folder + "/" + name
  QString programPath(const QString& name) const;
  QString recordFolderPath() const;                 // program folder / CurrentFolder
  QString noteFilePath(const QString& name) const;  // record folder / name.txt
  QString indexPathFor(const QString& folder) const;
  // Applies the start-up defaults (values read as 0 only) and the DisplaySpan repair.
  void ApplyDefaults();
  // "すべて標準にする": the standard settings, colours, month span and window sizes.
  void RestoreStandardSettings();
  // The column widths and FirstMonthOffset of `window`.
  void SetMonthWindow(const MonthWindow& window);
  // A window's outer geometry (twips) into the settings, each value held to 16 bits.
  void RememberMainGeometry(const QRect& twips);
  void RememberInputGeometry(const QRect& twips);
  // Writes the three standard lines of a new index file.
  [[nodiscard]] bool WriteNewIndexFile(const QString& path);
  // Makes the current index file hold the placeholder record after its two standard
  // comments when it holds no record, keeping every other line.
  [[nodiscard]] bool WritePlaceholderIndex();
  // Creates a missing note file with "補足情報" and the twelve default month lines; an
  // existing file is never replaced.
  [[nodiscard]] bool EnsureNoteFile(const QString& name);
  // Creates the missing note files of every person of the current folder at once.
  [[nodiscard]] bool EnsureNoteFiles();
  // Deletes a note file; a missing file counts as deleted.
  [[nodiscard]] bool DeleteNoteFile(const QString& name);
  // Deletes the note file of `name` unless a record of the current folder still has
  // that name (two people of the same name share one note file).
  [[nodiscard]] bool RemoveNoteFileIfUnused(const QString& name);
  // The parsed current index file, read again only when it changed on disk; a missing
  // file is created first. False when it cannot be read (the user has been told once).
  [[nodiscard]] bool RefreshFolder();
  const ParsedFolder& folder() const { return folder_; }
  // The record number the loaded person's line now has, or -1 when the line is gone.
  qint16 LoadedRecordIndex() const { return loaded_.index; }
  // True when the last store or delete was refused because another program had
  // changed the person's line or note file; the folder has been read again and
  // LoadedRecordIndex tells where the person is now (found again by its bytes, or by
  // its territory and name), or -1 when it is gone.
  bool ChangedOutside = false;
  // True when the last store found the loaded person's record gone and added it anew.
  bool AddedAgain = false;
  // Where the loaded person's record is now: the line still holding the bytes loaded,
  // else the one record with the loaded territory and name; -1 when neither is unique.
  qint16 FindLoadedAgain() const;
  // Reads the loaded person's note file again into PersonNote and MonthNotes (for a
  // person whose record another program removed); false when it cannot be read.
  [[nodiscard]] bool ReloadLoadedNote();
  // True when the loaded person's record line or note file is no longer what was
  // loaded (another program changed it); false when nobody is loaded.
  [[nodiscard]] bool LoadedPersonChanged();
  // Rewrites the current index file from `lines` (raw bytes kept where set), after the
  // day's backup; the parsed copy then holds what was written.
  [[nodiscard]] bool WriteIndexLines(QList<TextLine> lines);

  // Stores the user's choices for the conflict copies of `plan` as one change after the
  // day's backup, then moves the copies into "バックアップ/<record folder>/衝突/". False,
  // with the user told and no record file changed, when a file cannot be written or the
  // index file changed since the plan was made.
  [[nodiscard]] bool StoreMerge(const MergePlan& plan);

  // Closes `year` for the folder in use, after the day's backup: the index file and every
  // note file are copied byte for byte into "%<user>（<year>年）", built under a
  // temporary name and renamed whole; then, as one undoable change, every record keeps
  // its territory and name with empty months and every note file its default month
  // lines (with `dropUnmet`, people never met are left out). False, with the user told
  // and the folder in use as it was, when the year is out of range, the archive exists
  // or cannot be made, or a file cannot be read or written. `progress` (done, total) is
  // called as files are written.
  using Progress = std::function<void(int done, int total)>;
  [[nodiscard]] bool CloseYear(int year, bool dropUnmet, const Progress& progress = {});

  // At a start from January to March: when the folder in use holds a met date, has no
  // archive of the year before and was not asked about that year yet, asks (OK/Cancel)
  // whether to close it, and remembers that it asked in kNewYearAskedFile. True on OK.
  static inline const QString kNewYearAskedFile = QStringLiteral("VelnorNewYear.txt");
  [[nodiscard]] bool OfferNewYear();
  // Writes the folder in use, every person with the note file, to `path` as .xlsx or .csv
  // (by its ending), whole or not at all. False, with the user told ("書き出せません"),
  // when a file cannot be read or the sheet cannot be written.
  [[nodiscard]] bool ExportRecords(const QString& path, const Progress& progress = {});
  // Makes the record folder "%<name>" holding the people of `plan` as the program writes
  // them, built under a temporary name and renamed whole, and makes it the folder in use
  // (the caller opens it). False, with the user told and nothing left behind, when the
  // name cannot be a folder's, the folder exists or a file cannot be written.
  [[nodiscard]] bool ImportRecords(const QString& name, const sheet::ImportPlan& plan,
                                   const Progress& progress = {});

  static QString DefaultMonthLine(int month);
  static bool IsRecordLine(const QString& line) { return isRecordLine(line); }

  // ---- Undo and redo of stored changes (this run, this record folder)
  // The writes between BeginChange and EndChange form one step that Undo puts back;
  // `select` is the record number of the person concerned (CurrentIndex when -1).
  void BeginChange(qint16 select = -1);
  void EndChange(qint16 select = -1);
  // Put the files of the last step back as they were before it (or after it, for Redo),
  // byte for byte, and select the person concerned. False, with the user told, when a
  // file was changed by another program since; then nothing is written.
  [[nodiscard]] bool Undo();
  [[nodiscard]] bool Redo();

  // Tells the user about a file failure ("保存できません" / "読み込めません").
  void ReportFileError(const FileError& error);

  // The one clock: the month shown at start, the backups' days, the year to close, the
  // printed date and the names of PDFs and exports all come from it. Tests set it.
  std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); };
  QDate today() const { return clock().date(); }

  void EndProgram();

 private:
  // The person ReadIndex in kReadLoad loaded: where its line was and the bytes it held, and
  // its note file's lines, so that a store replaces exactly that person and keeps the
  // bytes of what was not changed.
  struct Loaded {
    bool person = false;  // the shared person is one ReadIndex loaded, or stored since
    QString indexPath;
    qint16 index = -1;
    QByteArray raw;
    QString noteName;
    QList<TextLine> noteLines;
    // The note file as read (nothing when there was none to read), and its thirteen
    // texts as the store builds them, to tell an edit and an outside change apart.
    std::optional<QByteArray> noteBytes;
    QStringList noteTexts;
  };

  // The note file of `name` into `note` and `months` (defaults where it has no line) and
  // its lines into `loaded`; nothing shared changes.
  [[nodiscard]] bool LoadNoteFile(const QString& name, Loaded& loaded, QString& note,
                                  std::array<QString, 13>& months);
  [[nodiscard]] bool WriteNoteFile();
  [[nodiscard]] bool ReadReported(const QString& path, QList<TextLine>& lines);
  [[nodiscard]] bool WriteReported(const QString& path, const QStringList& lines);
  [[nodiscard]] bool WriteLinesReported(const QString& path, const QList<TextLine>& lines);
  // The bytes of record CurrentIndex the user last saw, for modes 2 and 3: for a store
  // only those of the person really loaded.
  bool witnessFor(QByteArray& raw) const;
  void refuseNotLoaded();
  // `path` is the file another program changed since the person was loaded.
  void refuseChangedOutside(const QString& path);
  static QStringList noteTexts(const QString& note, const std::array<QString, 13>& months);
  TextLine storedRecordLine(const Record& r) const;
  // WriteIndex's three modes; `line` is the index file's line of record CurrentIndex,
  // `count` the number of records.
  [[nodiscard]] bool appendRecord(int count);
  [[nodiscard]] bool storeRecord(int line);
  [[nodiscard]] bool deleteRecord(int line, int count);
  void BackUpBeforeWrite();
  // Bytes of a file now, or nothing when there is no file.
  // What a change is about to replace: false (reported) when the file is there but cannot
  // be read, so that no step records a wrong "before"; an absent file gives no bytes.
  bool ReadForChange(const QString& path, std::optional<QByteArray>& bytes);
  // True when the file holds `bytes` (nothing: absent); an unreadable file holds nothing
  // known, so never.
  static bool FileHolds(const QString& path, const std::optional<QByteArray>& bytes);
  void recordWrite(const QString& path, const std::optional<QByteArray>& before,
                   const std::optional<QByteArray>& after);
  [[nodiscard]] bool applyHistory(bool undo);
  void moveConflictCopies(const QStringList& copies);
  // The steps of CloseYear; closeYearRefused returns true when the user was told why not.
  [[nodiscard]] bool closeYearRefused(int year, QString& archivePath);
  [[nodiscard]] bool planNewYear(bool dropUnmet, NewYearPlan& plan);
  [[nodiscard]] bool startNewYear(const NewYearPlan& plan, const std::function<void()>& step);
  [[nodiscard]] bool stepFilesUnchanged(const HistoryStep& step, bool undo,
                                        std::vector<std::optional<QByteArray>>& now);
  [[nodiscard]] bool putStepBack(const HistoryStep& step, bool undo,
                                 const std::vector<std::optional<QByteArray>>& now);
  // The steps of ChangeRecordFolder; those returning bool return false to stop it.
  [[nodiscard]] bool storePendingEdit();
  void takeChosenFolder(bool inputOpen);
  [[nodiscard]] bool makeNewFolder();
  [[nodiscard]] bool refillChoosers();
  [[nodiscard]] bool listIntoChoosers();
  void openFolder();
  void showFolderInInputScreen();
  QString folderBeforeNew_;   // the folder in use when "新規作成" was chosen
  QString readFailureShown_;  // the index file whose read failure the user was shown
  // The folder whose note files were last checked, and which read of it that was.
  QString notesCheckedFor_;
  quint64 notesCheckedRead_ = 0;

  ParsedFolder folder_;
  Loaded loaded_;
  DailyBackup backup_;
  History history_;
  QString programFolder_;
};

}  // namespace velnor
