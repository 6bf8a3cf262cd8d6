// Records to a spreadsheet and back: the round trip byte for byte through .xlsx and .csv,
// what a spreadsheet program reads of the export, the checks of an import and its refusals.
#include <gtest/gtest.h>

#include <QProcess>

#include "core/spreadsheet.h"
#include "support/failing_writer.h"
#include "support/fakes.h"
#include "support/temp_program.h"

using namespace Qt::Literals::StringLiterals;
using namespace velnor;
using test::TempProgram;

namespace {

// Runs Debian's Python with openpyxl on `script` (the file as sys.argv[1]); its standard output.
QString python(const QString& script, const QString& file) {
  QProcess p;
  p.start(u"/usr/bin/python3"_s, {u"-c"_s, script, file});  // Debian's, where the package is
  if (!p.waitForFinished(60000)) return u"python3 did not finish"_s;
  return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()).trimmed();
}

class Transfer : public ::testing::Test {
 protected:
  void SetUp() override {
    // As the program writes a folder: texts that look like numbers, a comma and a quote,
    // a two-line note, a month line with a line break, the default month lines.
    tp.useFolder(u"田中"_s,
                 {TempProgram::record(u"北\"1,2"_s, u"山田"_s, {u"3,4"_s, u"12"_s, {}, u"1/2"_s}),
                  TempProgram::record(u"区域"_s, u"名前"_s),
                  TempProgram::record(u"南"_s, u"髙橋①"_s,
                                      {{}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, u"0012"_s})});
    QStringList note{u"補足情報[二行目, \"引用\""_s};
    for (int month = 1; month <= 12; ++month) note << Module1::DefaultMonthLine(month);
    note[3] = u" 3月　日[留守でした"_s;
    note[12] = QString();
    tp.writeBytes(u"%田中/山田.txt"_s, TempProgram::cp932Lines(note));
    tp.m->ChangeRecordFolder();  // makes the others' notes as the program makes them
  }

  // Exports the folder in use to `file` and imports it as "%<folder>".
  void roundTrip(const QString& file, const QString& folder) {
    ASSERT_TRUE(tp.m->ExportRecords(tp.path(file))) << shell.titles().toStdString();
    QList<sheet::Row> rows;
    FileError error;
    ASSERT_TRUE(sheet::readSheetFile(tp.path(file), rows, &error)) << error.reason.toStdString();
    const sheet::ImportPlan plan = sheet::planImport(rows);
    EXPECT_TRUE(plan.problems.empty());
    EXPECT_TRUE(plan.unknownColumns.isEmpty());
    ASSERT_TRUE(tp.m->ImportRecords(folder, plan));
    EXPECT_EQ(tp.m->CurrentFolder, u'%' + folder);
  }

  void expectSameFolder(const QString& copy) const {
    EXPECT_EQ(tp.entries(copy), tp.entries(u"%田中"_s));
    for (const QString& f : tp.entries(u"%田中"_s))
      EXPECT_EQ(tp.readBytes(copy + u'/' + f), tp.readBytes(u"%田中/"_s + f)) << f.toStdString();
  }

  TempProgram tp;
  test::FakeShell& shell = tp.shell;
};

TEST_F(Transfer, aFolderComesBackByteForByteThroughXlsxAndThroughCsv) {
  roundTrip(u"out.xlsx"_s, u"から"_s);
  expectSameFolder(u"%から"_s);
  tp.m->CurrentFolder = u"%田中"_s;
  roundTrip(u"out.csv"_s, u"CSVから"_s);
  expectSameFolder(u"%CSVから"_s);
  EXPECT_FALSE(tp.exists(u".velnor-import"_s));
  EXPECT_FALSE(tp.exists(u".velnor-export-out.xlsx"_s));
}

TEST_F(Transfer, aSpreadsheetReaderSeesTextCellsABoldFrozenHeaderAndTheUsersSheet) {
#ifdef Q_OS_WIN
  GTEST_SKIP() << "the spreadsheet reader is Debian's Python, not there under Windows";
#endif
  ASSERT_TRUE(tp.m->ExportRecords(tp.path(u"out.xlsx"_s)));
  const QString shown = python(
      uR"(import json, sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.active
print(ws.title, ws.freeze_panes, ws['A1'].font.b)
print('|'.join(c.value or '' for c in ws[1]))
for row in ws.iter_rows(min_row=2):
    print('|'.join(f"{c.data_type}:{c.value or ''}" for c in row[:6]),
          json.dumps([row[14].value, row[17].value], ensure_ascii=False), ws.column_dimensions[row[14].column_letter].width > 10))"_s,
      tp.path(u"out.xlsx"_s));
  const QStringList lines = shown.split(u'\n');
  ASSERT_EQ(lines.size(), 5) << shown.toStdString();
  EXPECT_EQ(lines[0], u"田中 A2 True"_s);
  EXPECT_EQ(lines[1], sheet::headerTexts().join(u'|'));
  EXPECT_EQ(
      lines[2],
      uR"(s:北"1,2|s:山田|s:3,4|s:12|n:|s:1/2 ["補足情報\n二行目, \"引用\"", " 3月　日\n留守でした"] True)"_s);
  EXPECT_TRUE(lines[4].startsWith(u"s:南|s:髙橋①|"_s));
}

TEST(Csv, quotesWhereNeededAndReadsUtf8WithOrWithoutMarkAndCodePage932Alike) {
  const QList<sheet::Row> rows{{u"a,b"_s, u"say \"hi\""_s, u"two\nlines"_s, u"plain"_s, {}},
                               {u"山田"_s, u"0012"_s}};
  const QByteArray bytes = sheet::csvBytes(rows);
  EXPECT_EQ(bytes, "\xEF\xBB\xBF\"a,b\",\"say \"\"hi\"\"\",\"two\nlines\",plain,\r\n" +
                       u"山田,0012\r\n"_s.toUtf8());
  EXPECT_EQ(sheet::parseCsv(bytes), rows);
  EXPECT_EQ(sheet::parseCsv(bytes.mid(3)), rows);
  QByteArray cp932;
  ASSERT_TRUE(encodeCp932(QString::fromUtf8(bytes.mid(3)), cp932));
  EXPECT_EQ(sheet::parseCsv(cp932), rows);
  // A spreadsheet's last row may lack its line end; lone LF rows are rows too.
  EXPECT_EQ(sheet::parseCsv("x,y\ns,\"t\""),
            (QList<sheet::Row>{{u"x"_s, u"y"_s}, {u"s"_s, u"t"_s}}));
}

TEST(ImportPlan, matchesHeadersInAnyOrderAndNamesEveryRefusedFieldByRowAndColumn) {
  const QList<sheet::Row> rows{
      {u"名前"_s, u"メモ"_s, u" 区域 "_s, u"3月"_s, u"補足情報"_s},
      {u"山田"_s, u"x"_s, u"北"_s, u"3,4"_s, u"一行目\n二行目"_s},
      {u"佐藤*"_s, {}, u"[南"_s, u"5"_s, {}},
      {u"鈴木"_s, {}, {}, u"1\n2"_s, u"[括弧"_s},
      {u"a/b"_s, {}, {}, {}, {}},
      {u"😀"_s, {}, {}, {}, {}},
      {},
      {u"山田"_s, {}, {}, {}, {}},
      {{}, {}, u"東"_s, {}, {}},
  };
  const sheet::ImportPlan plan = sheet::planImport(rows);
  EXPECT_EQ(plan.unknownColumns, QStringList{u"メモ"_s});
  EXPECT_EQ(plan.dataRows, 7);
  ASSERT_EQ(plan.people.size(), 1u);
  const sheet::ImportedPerson& yamada = plan.people.front();
  EXPECT_EQ(yamada.record.territory, u"北"_s);
  EXPECT_EQ(yamada.record.months[3], u"3,4"_s);
  EXPECT_EQ(yamada.note[0], u"一行目[二行目"_s);
  EXPECT_EQ(yamada.note[5], Module1::DefaultMonthLine(5));  // a column the sheet lacks
  QStringList found;
  for (const sheet::Problem& p : plan.problems) found << u"%1:%2"_s.arg(p.row).arg(p.column);
  EXPECT_EQ(found, (QStringList{u"3:区域"_s, u"3:名前"_s, u"4:3月"_s, u"4:補足情報"_s, u"5:名前"_s,
                                u"6:名前"_s, u"8:名前"_s, u"9:名前"_s}));
  EXPECT_TRUE(plan.problems[6].text.contains(u"2行目"_s));  // the same name as row 2
  EXPECT_FALSE(sheet::planImport({{u"区域"_s}, {u"北"_s}}).usable);
}

TEST_F(Transfer, numbersAndSharedStringsOfAnotherProgramsSheetAreReadAsShown) {
#ifdef Q_OS_WIN
  GTEST_SKIP() << "the spreadsheet reader is Debian's Python, not there under Windows";
#endif
  const QString made = python(
      uR"(import sys, openpyxl
wb = openpyxl.Workbook(); ws = wb.active
import datetime
ws.append(['区域', '名前', '1月', '2月', '3月', '4月', '5月'])
ws.append(['北', '山田', 12, 3.5, datetime.date(2026, 3, 4), datetime.date(2026, 4, 9),
           datetime.time(9, 30)])
ws['E2'].number_format = 'm/d'; ws['F2'].number_format = 'm"月"d"日"'
ws['B3'] = '佐藤'; wb.save(sys.argv[1]); print('ok'))"_s,
      tp.path(u"made.xlsx"_s));
  ASSERT_EQ(made, u"ok"_s);
  QList<sheet::Row> rows;
  FileError error;
  ASSERT_TRUE(sheet::readSheetFile(tp.path(u"made.xlsx"_s), rows, &error));
  ASSERT_EQ(rows.size(), 3);
  // A date shows as the sheet formats it; a time of day is no date.
  EXPECT_EQ(rows[1], (sheet::Row{u"北"_s, u"山田"_s, u"12"_s, u"3.5"_s, u"3/4"_s, u"4月9日"_s,
                                 u"0.3958333333"_s}));
  EXPECT_EQ(rows[2], (sheet::Row{{}, u"佐藤"_s}));
  tp.writeBytes(u"not.xlsx"_s, "plain text");
  EXPECT_FALSE(sheet::readSheetFile(tp.path(u"not.xlsx"_s), rows, &error));
  EXPECT_FALSE(error.reason.isEmpty());
}

TEST_F(Transfer, anExistingFolderOrAFullDiskLeavesNothingAndAFailedExportNoFile) {
  const sheet::ImportPlan plan = sheet::planImport({sheet::headerTexts(), {u"北"_s, u"山田"_s}});
  const QStringList before = tp.entries();
  EXPECT_FALSE(tp.m->ImportRecords(u"田中"_s, plan));
  EXPECT_EQ(shell.titles(), u"無効です"_s);
  {
    const test::ScopedFailingWriter full(test::FailAt::Write, 1);
    EXPECT_FALSE(tp.m->ImportRecords(u"新しい"_s, plan));
  }
  EXPECT_EQ(tp.entries(), before);
  EXPECT_EQ(tp.m->CurrentFolder, u"%田中"_s);
  {
    const test::ScopedFailingWriter full(test::FailAt::Write, 1);
    EXPECT_FALSE(tp.m->ExportRecords(tp.path(u"out.csv"_s)));
  }
  EXPECT_FALSE(tp.m->ExportRecords(tp.path(u"nosuch/out.xlsx"_s)));
  // A note longer than a spreadsheet cell holds.
  tp.writeBytes(u"%田中/名前.txt"_s, TempProgram::cp932Lines({QString(40000, u'あ')}));
  EXPECT_FALSE(tp.m->ExportRecords(tp.path(u"out.xlsx"_s)));
  EXPECT_TRUE(shell.messages.last().text.contains(u"32,767文字"_s));
  EXPECT_TRUE(shell.titles().endsWith(u"書き出せません,書き出せません,書き出せません"_s));
  EXPECT_FALSE(tp.exists(u"out.xlsx"_s));
  EXPECT_EQ(tp.entries(), before);
  EXPECT_FALSE(tp.exists(u"out.csv"_s));
  EXPECT_FALSE(tp.exists(u"nosuch"_s));
}

}  // namespace
