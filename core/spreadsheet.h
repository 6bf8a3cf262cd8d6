#pragma once
// Records to and from a spreadsheet: one row per person with the territory, the name, the
// twelve months, the note and the twelve month lines; as .xlsx or as .csv.

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

#include "core/parsed_folder.h"
#include "core/text_file.h"

namespace velnor::sheet {

using Row = QStringList;
using Progress = std::function<void(int done, int total)>;

inline constexpr int kColumnCount = 27;
inline constexpr int kNoteColumn = 14;  // 補足情報; the month lines follow it
// 区域, 名前, 1月 … 12月, 補足情報, 1月の情報 … 12月の情報.
const QStringList& headerTexts();

// The header and one row per record of `folder` in file order, the note files read from
// `folderPath` ("[" shown as a line break); a person without a note file gets the lines a
// new one would hold. False and `error` when a note file cannot be read.
[[nodiscard]] bool exportRows(const ParsedFolder& folder, const QString& folderPath,
                              QList<Row>& rows, FileError* error, const Progress& progress = {});

// UTF-8 with a byte-order mark, CR LF after every row, fields quoted where they must be.
QByteArray csvBytes(const QList<Row>& rows);

// Writes `rows` to `path` as .xlsx (by its ending) or .csv, under a temporary name renamed
// whole: a failure leaves no file and `error` says why.
[[nodiscard]] bool writeSheetFile(const QString& path, const QString& sheetName,
                                  const QList<Row>& rows, FileError* error);

// The rows of a CSV file in UTF-8 (with or without a byte-order mark) or, when its bytes
// are not UTF-8, in code page 932.
QList<Row> parseCsv(const QByteArray& bytes);

// The rows of the first sheet of an .xlsx or of a .csv file (by its ending), each cell as
// the sheet shows it. False and `error` when the file cannot be read.
[[nodiscard]] bool readSheetFile(const QString& path, QList<Row>& rows, FileError* error);

struct Problem {
  int row = 0;     // the row of the sheet, counted from 1 (the header); 0 for the file
  QString column;  // the header text; empty for the whole row
  QString text;
};

struct ImportedPerson {
  int row = 0;
  Record record;
  std::array<QString, 13> note;  // 0: 補足情報, 1..12: the month lines, in stored form
};

struct ImportPlan {
  std::vector<ImportedPerson> people;
  std::vector<Problem> problems;  // every row named here is left out
  QStringList unknownColumns;
  int dataRows = 0;     // rows after the header that hold anything
  bool usable = false;  // a 名前 column was found
};

// Matches the header row by its texts (any order; missing columns empty, unknown ones
// named) and checks every row as the input screen checks what is typed.
ImportPlan planImport(const QList<Row>& rows);

// The files of a new record folder holding `plan`'s people, as the program writes them:
// the index file first, then one note file per person. False and `error` when a text
// cannot be stored.
[[nodiscard]] bool folderFiles(const ImportPlan& plan, std::vector<FolderFile>& files,
                               FileError* error);

}  // namespace velnor::sheet
