#include "core/spreadsheet.h"

#include <xlsxwriter.h>
#include <zip.h>

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <cmath>
#include <memory>

#include "core/char_rules.h"
#include "core/module1.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor::sheet {

namespace {

constexpr int kFirstMonthColumn = 2;
constexpr int kFirstInfoColumn = kNoteColumn + 1;
// Wider than this, a column would push the others off the screen; its cells wrap.
constexpr int kWidestColumn = 60;
// What the import reads of a sheet at most: far beyond 32,767 people of any size.
constexpr qint64 kLargestPart = qint64(512) << 20;
// The largest sheet a spreadsheet program makes; a cell said to lie beyond is none.
constexpr int kSheetRows = 1048576;
constexpr int kSheetColumns = 16384;

QString cellText(const QString& stored) {
  QString text = stored;
  return text.replace(u'[', u'\n');
}

bool isXlsx(const QString& path) { return path.endsWith(u".xlsx"_s, Qt::CaseInsensitive); }

FileError failure(const QString& path, const QString& reason, bool writing) {
  return FileError{QDir::toNativeSeparators(path), reason, writing};
}

// Excel counts a full-width character as two of its width units.
int displayWidth(const QString& text) {
  int widest = 0;
  for (const QString& line : text.split(u'\n')) {
    int width = 0;
    for (const QChar c : line)
      width += c.unicode() < 0x100 || (c >= u'\uFF61' && c <= u'\uFF9F') ? 1 : 2;
    widest = std::max(widest, width);
  }
  return widest;
}

// A sheet name holds at most 31 characters and none of []:*?/\.
QString sheetNameFor(const QString& name) {
  QString out;
  for (const QChar c : name) out += QStringView(u"[]:*?/\\").contains(c) ? u'_' : c;
  out = out.left(31);
  return out.isEmpty() || out.startsWith(u'\'') ? u"記録"_s : out;
}

bool writeXlsx(const QString& path, const QString& sheetName, const QList<Row>& rows,
               QString& reason) {
  QByteArray tmpdir = QFile::encodeName(QFileInfo(path).absolutePath());
  lxw_workbook_options options{LXW_TRUE, tmpdir.data(), LXW_FALSE};
  lxw_workbook* book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
  if (!book) {
    reason = systemReason(errno);
    return false;
  }
  lxw_worksheet* sheet = workbook_add_worksheet(book, sheetNameFor(sheetName).toUtf8().constData());
  // Every cell is text: "3,4" or "12" must never become a number or a date.
  lxw_format* text = workbook_add_format(book);
  format_set_num_format(text, "@");
  format_set_align(text, LXW_ALIGN_VERTICAL_TOP);
  lxw_format* wrapped = workbook_add_format(book);
  format_set_num_format(wrapped, "@");
  format_set_align(wrapped, LXW_ALIGN_VERTICAL_TOP);
  format_set_text_wrap(wrapped);
  lxw_format* bold = workbook_add_format(book);
  format_set_num_format(bold, "@");
  format_set_bold(bold);
  std::vector<int> widths(kColumnCount, 4);
  for (const Row& row : rows)
    for (int c = 0; c < std::min<int>(kColumnCount, int(row.size())); ++c)
      widths[c] = std::max(widths[c], displayWidth(row[c]));
  std::vector<lxw_format*> formats(kColumnCount, text);
  for (int c = 0; c < kColumnCount; ++c) {
    if (widths[c] > kWidestColumn || c >= kNoteColumn) formats[c] = wrapped;
    worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c),
                         std::min(widths[c], kWidestColumn) + 1.5, formats[c]);
  }
  worksheet_freeze_panes(sheet, 1, 0);
  lxw_error error = LXW_NO_ERROR;
  for (int r = 0; r < rows.size() && error == LXW_NO_ERROR; ++r) {
    for (int c = 0; c < rows[r].size() && error == LXW_NO_ERROR; ++c) {
      if (rows[r][c].isEmpty()) continue;
      error = worksheet_write_string(sheet, lxw_row_t(r), lxw_col_t(c),
                                     rows[r][c].toUtf8().constData(), r == 0 ? bold : formats[c]);
    }
  }
  const lxw_error closed = workbook_close(book);  // frees the book in any case
  if (error == LXW_NO_ERROR) error = closed;
  if (error == LXW_NO_ERROR) return true;
  if (error == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED)
    reason = u"1つのセルに入るのは32,767文字までです。それより長い補足情報か月の情報があります。"_s;
  else if (error == LXW_ERROR_CREATING_XLSX_FILE || error == LXW_ERROR_CREATING_TMPFILE)
    reason = writeFailureReason(systemReason(errno));
  else
    reason = QString::fromUtf8(lxw_strerror(error));
  return false;
}

// ---- Reading .xlsx

struct ZipCloser {
  void operator()(zip_t* z) const { zip_discard(z); }
};
using Zip = std::unique_ptr<zip_t, ZipCloser>;

bool readPart(zip_t* zip, const QString& name, QByteArray& bytes, QString& reason) {
  const QByteArray entry = name.toUtf8();
  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_stat(zip, entry.constData(), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)) {
    reason = u"%1 がありません。Excel ブック（.xlsx）ではないようです。"_s.arg(name);
    return false;
  }
  if (qint64(st.size) > kLargestPart) {
    reason = u"%1 が大きすぎます。"_s.arg(name);
    return false;
  }
  zip_file_t* file = zip_fopen(zip, entry.constData(), 0);
  if (!file) {
    reason = QString::fromUtf8(zip_strerror(zip));
    return false;
  }
  bytes.resize(qsizetype(st.size));
  const zip_int64_t got = zip_fread(file, bytes.data(), st.size);
  zip_fclose(file);
  if (got != zip_int64_t(st.size)) {
    reason = u"%1 が壊れています。"_s.arg(name);
    return false;
  }
  return true;
}

// The text of an <si> or <is>: its <t> parts, without the phonetic runs (<rPh>).
QString richText(QXmlStreamReader& xml) {
  const QString end = xml.name().toString();
  QString text;
  int phonetic = 0;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement()) {
      if (xml.name() == u"rPh"_s)
        ++phonetic;
      else if (xml.name() == u"t"_s && phonetic == 0)
        text += xml.readElementText();
    } else if (xml.isEndElement()) {
      if (xml.name() == u"rPh"_s)
        --phonetic;
      else if (xml.name() == end)
        break;
    }
  }
  return text;
}

QStringList sharedStrings(const QByteArray& bytes) {
  QStringList strings;
  QXmlStreamReader xml(bytes);
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement() && xml.name() == u"si"_s) strings.append(richText(xml));
  }
  return strings;
}

// "C12" → column 2 (from 0); -1 when there is no column letter.
int columnOf(QStringView ref) {
  int column = 0;
  int letters = 0;
  for (const QChar c : ref) {
    if (c < u'A' || c > u'Z') break;
    column = std::min(column * 26 + (c.unicode() - u'A' + 1), kSheetColumns + 1);
    ++letters;
  }
  return letters ? column - 1 : -1;
}

// A number as a sheet in the general format shows it: "12", "3.5", never "1.2e+01".
QString numberText(const QString& value) {
  bool ok = false;
  const double v = value.toDouble(&ok);
  if (!ok || !std::isfinite(v)) return value;
  QString text = QString::number(v, 'f', 10);
  if (text.contains(u'.')) {
    while (text.endsWith(u'0')) text.chop(1);
    if (text.endsWith(u'.')) text.chop(1);
  }
  return text;
}

// How a date-formatted cell shows on a Japanese system: the QDate format of a number
// format, or empty when it shows no date.
QString dateFormatFor(int id, QString code) {
  if (id == 14 || id == 15 || id == 22) return u"yyyy/M/d"_s;
  if (id == 16) return u"M/d"_s;
  if (id == 17) return u"yyyy/M"_s;
  // Quoted texts, [colours or locales] and escaped characters are no date tokens.
  static const QRegularExpression literal(uR"("[^"]*"|\[.*?\]|\\.)"_s);
  const bool kanji = code.contains(u'月');
  code = code.remove(literal).toLower();
  const bool day = code.contains(u'd'), year = code.contains(u'y'), month = code.contains(u'm');
  if (!day && !year) return {};  // "mm:ss" and numbers are no dates
  if (year && month && day) return kanji ? u"yyyy年M月d日"_s : u"yyyy/M/d"_s;
  if (month && day) return kanji ? u"M月d日"_s : u"M/d"_s;
  if (year && month) return kanji ? u"yyyy年M月"_s : u"yyyy/M"_s;
  return {};
}

// The date format of each cell style (xl/styles.xml, cellXfs in order).
QStringList dateStyles(const QByteArray& styles) {
  QHash<int, QString> codes;
  QStringList out;
  bool inCellXfs = false;
  QXmlStreamReader xml(styles);
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isEndElement() && xml.name() == u"cellXfs"_s) inCellXfs = false;
    if (!xml.isStartElement()) continue;
    const auto a = xml.attributes();
    if (xml.name() == u"numFmt"_s) {
      codes.insert(a.value(u"numFmtId"_s).toInt(), a.value(u"formatCode"_s).toString());
    } else if (xml.name() == u"cellXfs"_s) {
      inCellXfs = true;
    } else if (inCellXfs && xml.name() == u"xf"_s) {
      const int id = a.value(u"numFmtId"_s).toInt();
      out.append(dateFormatFor(id, codes.value(id)));
    }
  }
  return out;
}

struct Book {
  QStringList strings;
  QStringList dateStyles;
};

// The text of the cell whose <c> element `xml` stands on, as the sheet shows it.
QString cellValue(QXmlStreamReader& xml, const QString& type, int style, const Book& book) {
  QString value;
  while (xml.readNextStartElement()) {
    if (xml.name() == u"is"_s)
      value = richText(xml);
    else if (xml.name() == u"v"_s)
      value = xml.readElementText();
    else
      xml.skipCurrentElement();
  }
  if (type == u"s"_s) return book.strings.value(value.toInt());
  if (type == u"b"_s) return value == u"1"_s ? u"TRUE"_s : u"FALSE"_s;
  if (!type.isEmpty() && type != u"n"_s) return value;
  const QString date = book.dateStyles.value(style);
  bool ok = false;
  const double serial = value.toDouble(&ok);
  // Day 0 of the sheets' calendar; 1900's false 29 February lies before any real record.
  if (!date.isEmpty() && ok && serial >= 61 && serial < 2958466)
    return QDate(1899, 12, 30).addDays(qint64(std::floor(serial))).toString(date);
  return numberText(value);
}

QList<Row> sheetRows(const QByteArray& bytes, const Book& book) {
  QList<Row> rows;
  QXmlStreamReader xml(bytes);
  while (!xml.atEnd()) {
    xml.readNext();
    if (!xml.isStartElement()) continue;
    if (xml.name() == u"row"_s) {
      const int number = std::min(xml.attributes().value(u"r"_s).toInt(), kSheetRows);
      while (rows.size() < number - 1) rows.append(Row{});  // rows the sheet leaves out
      rows.append(Row{});
    } else if (xml.name() == u"c"_s && !rows.isEmpty()) {
      Row& row = rows.last();
      const auto attributes = xml.attributes();
      const QString type = attributes.value(u"t"_s).toString();
      int column = columnOf(attributes.value(u"r"_s));
      if (column < 0) column = int(row.size());
      const QString value = cellValue(xml, type, attributes.value(u"s"_s).toInt(), book);
      if (column >= kSheetColumns) continue;
      while (row.size() <= column) row.append(QString());
      row[column] = value;
    }
  }
  return rows;
}

// Where the workbook keeps its first sheet: by the relationship workbook.xml names.
QString firstSheetPart(const QByteArray& workbook, const QByteArray& relations) {
  QString id;
  QXmlStreamReader book(workbook);
  while (!book.atEnd() && id.isEmpty()) {
    book.readNext();
    if (book.isStartElement() && book.name() == u"sheet"_s)
      for (const QXmlStreamAttribute& a : book.attributes())
        if (a.name() == u"id"_s) id = a.value().toString();
  }
  QXmlStreamReader rels(relations);
  while (!rels.atEnd()) {
    rels.readNext();
    if (!rels.isStartElement() || rels.name() != u"Relationship"_s ||
        rels.attributes().value(u"Id"_s) != id)
      continue;
    const QString target = rels.attributes().value(u"Target"_s).toString();
    return target.startsWith(u'/') ? target.mid(1) : u"xl/"_s + target;
  }
  return u"xl/worksheets/sheet1.xml"_s;
}

bool readXlsx(const QString& path, QList<Row>& rows, QString& reason) {
  int code = 0;
  const Zip zip(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code));
  if (!zip) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    reason = code == ZIP_ER_NOZIP ? u"Excel ブック（.xlsx）ではないようです。"_s
                                  : QString::fromUtf8(zip_error_strerror(&error));
    zip_error_fini(&error);
    return false;
  }
  QByteArray workbook, relations, strings, styles, sheet;
  if (!readPart(zip.get(), u"xl/workbook.xml"_s, workbook, reason)) return false;
  (void)readPart(zip.get(), u"xl/_rels/workbook.xml.rels"_s, relations, reason);
  if (zip_name_locate(zip.get(), "xl/sharedStrings.xml", 0) >= 0 &&
      !readPart(zip.get(), u"xl/sharedStrings.xml"_s, strings, reason))
    return false;
  if (zip_name_locate(zip.get(), "xl/styles.xml", 0) >= 0 &&
      !readPart(zip.get(), u"xl/styles.xml"_s, styles, reason))
    return false;
  if (!readPart(zip.get(), firstSheetPart(workbook, relations), sheet, reason)) return false;
  rows = sheetRows(sheet, Book{sharedStrings(strings), dateStyles(styles)});
  return true;
}

}  // namespace

const QStringList& headerTexts() {
  static const QStringList texts = [] {
    QStringList t{u"区域"_s, u"名前"_s};
    for (int m = 1; m <= 12; ++m) t.append(u"%1月"_s.arg(m));
    t.append(u"補足情報"_s);
    for (int m = 1; m <= 12; ++m) t.append(u"%1月の情報"_s.arg(m));
    return t;
  }();
  return texts;
}

bool exportRows(const ParsedFolder& folder, const QString& folderPath, QList<Row>& rows,
                FileError* error, const Progress& progress) {
  rows.clear();
  rows.reserve(folder.recordCount() + 1);
  rows.append(headerTexts());
  const QDir dir(folderPath);
  for (int r = 0; r < folder.recordCount(); ++r) {
    const Record record = folder.record(r);
    Row row{record.territory, record.name};
    for (int m = 1; m <= 12; ++m) row.append(record.months[m]);
    row.append(u"補足情報"_s);
    for (int m = 1; m <= 12; ++m) row.append(Module1::DefaultMonthLine(m));
    const QString notePath = dir.filePath(record.name + u".txt"_s);
    if (isSafeNoteName(record.name) && QFileInfo::exists(notePath)) {
      const FileRead read = readFile(notePath, kNoteFileLimit);
      if (read.failed(error)) return false;
      const QList<TextLine> lines = splitTextLines(read.bytes);
      for (int i = 0; i < std::min<int>(13, int(lines.size())); ++i)
        row[kNoteColumn + i] = lines[i].text;
    }
    for (int c = kNoteColumn; c < kColumnCount; ++c) row[c] = cellText(row[c]);
    rows.append(row);
    if (progress) progress(r + 1, folder.recordCount());
  }
  return true;
}

QByteArray csvBytes(const QList<Row>& rows) {
  QString text = u"\uFEFF"_s;
  for (const Row& row : rows) {
    for (int c = 0; c < row.size(); ++c) {
      if (c) text += u',';
      const QString& field = row[c];
      if (field.contains(u',') || field.contains(u'"') || field.contains(u'\n') ||
          field.contains(u'\r')) {
        QString quoted = field;
        text += u'"' + quoted.replace(u"\""_s, u"\"\""_s) + u'"';
      } else {
        text += field;
      }
    }
    text += u"\r\n"_s;
  }
  return text.toUtf8();
}

bool writeSheetFile(const QString& path, const QString& sheetName, const QList<Row>& rows,
                    FileError* error) {
  if (!isXlsx(path)) return writeFileBytes(path, csvBytes(rows), error);
  // Made whole under a name of the program's own, then renamed over the target.
  const QFileInfo target(path);
  const QString temp = target.absoluteDir().filePath(u".velnor-export-"_s + target.fileName());
  QString reason;
  if (writeXlsx(temp, sheetName, rows, reason) && syncFilesystemOf(temp, &reason) &&
      renamePath(temp, path, &reason))
    return true;
  QFile::remove(temp);
  if (error) *error = failure(path, reason, true);
  return false;
}

QList<Row> parseCsv(const QByteArray& bytes) {
  QString text;
  if (bytes.startsWith("\xEF\xBB\xBF")) {
    text = QString::fromUtf8(bytes.mid(3));
  } else {
    QStringDecoder utf8(QStringDecoder::Utf8);
    text = utf8(bytes);
    if (utf8.hasError()) text = decodeCp932(bytes);
  }
  QList<Row> rows;
  Row row;
  QString field;
  bool quoted = false;
  bool any = false;  // the row holds a field, even an empty one before a comma
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    if (quoted) {
      if (c != u'"')
        field += c;
      else if (i + 1 < text.size() && text.at(i + 1) == u'"')
        field += text.at(++i);
      else
        quoted = false;
    } else if (c == u'"') {
      quoted = true;
      any = true;
    } else if (c == u',') {
      row.append(field);
      field.clear();
      any = true;
    } else if (c == u'\r' || c == u'\n') {
      if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') ++i;
      row.append(field);
      rows.append(row);
      row.clear();
      field.clear();
      any = false;
    } else {
      field += c;
      any = true;
    }
  }
  if (any || !field.isEmpty()) {
    row.append(field);
    rows.append(row);
  }
  return rows;
}

bool readSheetFile(const QString& path, QList<Row>& rows, FileError* error) {
  if (!isXlsx(path)) {
    const FileRead read = readFile(path, kLargestPart);
    if (read.failed(error)) return false;
    rows = parseCsv(read.bytes);
    return true;
  }
  QString reason;
  if (readXlsx(path, rows, reason)) return true;
  if (error) *error = failure(path, reason, false);
  return false;
}

namespace {

using Columns = std::array<int, kColumnCount>;  // where each known column is; -1: missing
using Cells = std::array<QString, kColumnCount>;

Columns matchHeader(const Row& header, ImportPlan& plan) {
  Columns where{};
  where.fill(-1);
  for (int c = 0; c < header.size(); ++c) {
    const QString text = header[c].trimmed();
    const qsizetype known = headerTexts().indexOf(text);
    if (known >= 0 && where[known] < 0)
      where[known] = c;
    else if (!text.isEmpty())
      plan.unknownColumns.append(text);
  }
  return where;
}

// The row's fields in the known order, with what the input screen would turn them into.
Cells cellsOf(const Row& row, const Columns& where) {
  Cells cells;
  for (int c = 0; c < kColumnCount; ++c)
    cells[c] = toWindowsLookalikes(where[c] >= 0 ? row.value(where[c]) : QString());
  // A column the sheet lacks holds what a new person's note file would.
  if (where[kNoteColumn] < 0) cells[kNoteColumn] = u"補足情報"_s;
  for (int m = 1; m <= 12; ++m)
    if (where[kNoteColumn + m] < 0) cells[kNoteColumn + m] = Module1::DefaultMonthLine(m);
  return cells;
}

EntryBox boxOf(int column) {
  if (column == 0) return EntryBox::Territory;
  if (column == 1) return EntryBox::Name;
  if (column < kNoteColumn) return EntryBox::MonthCell;
  return column == kNoteColumn ? EntryBox::Note : EntryBox::MonthInfo;
}

// Adds the problems of one row to `plan`, each field checked as its box checks typing.
void checkRow(const Cells& cells, int sheetRow, const QHash<QString, int>& firstRowOf,
              ImportPlan& plan) {
  const auto problem = [&](int c, const QString& text) {
    plan.problems.push_back({sheetRow, headerTexts()[c], text});
  };
  QString whole;
  for (const QString& cell : cells) whole += cell;
  // One encoding of the row; each cell is encoded alone only to name what cannot be.
  const bool encodable = canEncodeCp932(whole);
  bool nameRefused = false;
  for (int c = 0; c < kColumnCount; ++c) {
    if (const auto refusal = findRefusal(cells[c], boxOf(c), encodable)) {
      problem(c, refusal->prompt);
      nameRefused = nameRefused || c == 1;
    }
  }
  QString why;
  if (nameRefused) return;
  if (cells[1].isEmpty())
    problem(1, u"名前がありません。"_s);
  else if (!isStorableName(cells[1], &why))
    problem(1, why);
  else if (firstRowOf.contains(cells[1]))
    problem(1, u"%1行目と同じ名前です。"_s.arg(firstRowOf.value(cells[1])));
}

ImportedPerson personOf(const Cells& cells, int sheetRow) {
  ImportedPerson person;
  person.row = sheetRow;
  person.record.territory = cells[0];
  person.record.name = cells[1];
  for (int m = 1; m <= 12; ++m) person.record.months[m] = cells[kFirstMonthColumn + m - 1];
  person.note[0] = toStoredForm(cells[kNoteColumn]);
  for (int m = 1; m <= 12; ++m) person.note[m] = toStoredForm(cells[kFirstInfoColumn + m - 1]);
  return person;
}

}  // namespace

ImportPlan planImport(const QList<Row>& rows) {
  ImportPlan plan;
  const Columns where = matchHeader(rows.value(0), plan);
  plan.usable = where[1] >= 0;
  if (!plan.usable) {
    plan.problems.push_back({1, {}, u"見出しの行に「名前」の列がありません。"_s});
    return plan;
  }
  QHash<QString, int> firstRowOf;
  for (int r = 1; r < rows.size(); ++r) {
    const Row& row = rows[r];
    if (std::all_of(row.begin(), row.end(), [](const QString& s) { return s.isEmpty(); })) continue;
    ++plan.dataRows;
    const int sheetRow = r + 1;
    const Cells cells = cellsOf(row, where);
    const std::size_t before = plan.problems.size();
    checkRow(cells, sheetRow, firstRowOf, plan);
    if (plan.problems.size() == before && plan.people.size() >= std::size_t(kMaxRecords))
      plan.problems.push_back(
          {sheetRow, {}, u"%1人を超える分は読み込めません。"_s.arg(kMaxRecords)});
    if (plan.problems.size() != before) continue;
    firstRowOf.insert(cells[1], sheetRow);
    plan.people.push_back(personOf(cells, sheetRow));
  }
  return plan;
}

bool folderFiles(const ImportPlan& plan, std::vector<FolderFile>& files, FileError* error) {
  files.clear();
  files.reserve(plan.people.size() + 1);
  QList<TextLine> index{TextLine::fromText(kIndexComment1), TextLine::fromText(kIndexComment2)};
  if (plan.people.empty()) index.append(TextLine::fromText(kPlaceholderRecord));
  for (const ImportedPerson& person : plan.people)
    index.append(TextLine::fromText(buildRecordLine(person.record)));
  if (!encodeTextLines(index, kIndexFileName, error)) return false;
  files.push_back({kIndexFileName, joinTextLines(index)});
  for (const ImportedPerson& person : plan.people) {
    QList<TextLine> lines;
    for (const QString& text : person.note) lines.append(TextLine::fromText(text));
    const QString name = person.record.name + u".txt"_s;
    if (!encodeTextLines(lines, name, error)) return false;
    files.push_back({name, joinTextLines(lines)});
  }
  return true;
}

}  // namespace velnor::sheet
