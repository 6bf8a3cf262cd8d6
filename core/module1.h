#pragma once
// The shared state and the nine shared procedures every window works with.

#include <QList>
#include <QString>
#include <QStringList>
#include <array>

#include "core/ports.h"
#include "core/text_file.h"

namespace velnor {

inline constexpr qint32 kDefaultBackColors[3] = {0xC0FFC0, 0xC0FFFF, 0xFFC0C0};
inline const QString kIndexFileName = QStringLiteral("データー.vrd");
inline const QString kSettingsFileName = QStringLiteral("Velnor.ini");
inline const QString kPlaceholderRecord = QStringLiteral("区域*名前*************");
inline const QString kIndexComment1 =
    QStringLiteral("[このフォルダーには、Velnorデーターが収納されます]");
inline const QString kIndexComment2 = QStringLiteral(
    "[コンピューターがいつ壊れて情報が失われるかわかりませんので,"
    "バックアップを取ることをお勧めします]");
inline const QString kNewFolderItem = QStringLiteral("新規作成");

// A record line split into its fields.
struct Record {
  QString territory;
  QString name;
  std::array<QString, 13> months;  // 1..12; 0 unused
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
  QString IndexText;

  // ---- Flags and selectors
  qint16 ReadMode = 0;
  qint16 WriteMode = 0;
  qint16 LoadPhase = 0;
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

  // ---- Shared procedures
  bool FileExists(const QString& path) const;
  bool SaveSettings();
  bool LoadSettings();
  bool ReadIndex();
  bool WriteIndex();
  void PlaceCursor();
  void CheckDuplicateName();
  void ChangeRecordFolder();
  void ListRecordFolders();

  // ---- Helpers
  const QString& programFolder() const { return programFolder_; }
  // program folder + "/" + name
  QString programPath(const QString& name) const;
  QString recordFolderPath() const;                 // program folder / CurrentFolder
  QString noteFilePath(const QString& name) const;  // record folder / name.txt
  QString indexPathFor(const QString& folder) const;
  // Applies the start-up defaults (values read as 0 only) and the DisplaySpan repair.
  void ApplyDefaults();
  // Writes the three standard lines of a new index file.
  bool WriteNewIndexFile(const QString& path);
  // Creates a missing note file with "補足情報" and the twelve default month lines.
  bool EnsureNoteFile(const QString& name);
  // Deletes a note file; a missing file counts as deleted.
  bool DeleteNoteFile(const QString& name);
  // Reads every record line of the current index file once (for drawing and sorting).
  bool ReadAllRecords(QList<Record>& records);
  static QString DefaultMonthLine(int month);
  static Record ParseRecord(const QString& line);
  static QString BuildRecordLine(const Record& record);
  static bool IsRecordLine(const QString& line);

  // Tells the user about a file failure ("保存できません" / "読み込めません").
  void ReportFileError(const FileError& error);
  FileError LastError;

  void EndProgram();

 private:
  bool LoadNoteFile();
  // Whole-file reads and writes whose failures are reported to the user.
  bool ReadReported(const QString& path, QList<TextLine>& lines);
  bool WriteReported(const QString& path, const QStringList& lines);
  // The current index file's lines; a missing file is created first.
  bool ReadIndexLines(QList<TextLine>& lines);
  bool WriteNoteFile();
  QString folderBeforeNew_;  // the folder in use when "新規作成" was chosen

  QString programFolder_;
};

}  // namespace velnor
