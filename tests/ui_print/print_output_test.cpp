// The printed document: how a cell's text fits its cell, how the table is split into pages,
// the PDF written when no printer is installed (its sheets, its text as a PDF reader extracts
// it), and a PDF that cannot be written completely.
#include <gtest/gtest.h>

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "core/cell_text.h"
#include "print_fixture.h"
#include "support/failing_writer.h"

namespace velnor::test {
namespace {

// ---- A cell's text fitted into its cell, on a recording surface whose font model does not
// depend on the fonts installed (the printed table's worst cases are checked on the PDF).

const QString kFont = u"ＭＳ 明朝"_s;

struct Fitting {
  QString text;
  double width, points;  // of the cell at (10, 20), 5.5556 high; the text starts at (11, 21)
  bool fit;
  QStringList lines;         // as drawn
  double smallest, largest;  // type size range, points (the floor is 7)
};

// At 7 points the model's half-width character is 1.225 units wide and a line 2.94 high;
// a cell 12 wide holds 8 of them on a line.
const Fitting kFittings[] = {
    {u"1,8"_s, 9, 10, true, {u"1,8"_s}, 10, 10},       // fits as it is
    {u"13,14"_s, 9, 10, true, {u"13,14"_s}, 7, 9.99},  // smaller on one line
    {kBusyDates, 12, 10, true, {u"1,3,5,8,"_s, u"10,12,"_s, u"15,17,"_s, u"19,22"_s}, 7, 7},
    {u"5/14,5/23,5/26"_s, 12, 10, true, {u"5/14,"_s, u"5/23,"_s, u"5/26"_s}, 7, 7},
    {u"1, 8, 15, 22"_s, 12, 10, true, {u"1, 8, "_s, u"15, 22"_s}, 7, 7},  // spaces hang
    // One word wider than the cell is broken inside, at the cell's width.
    {u"東町三丁目西側"_s, 7, 10, true, {u"東町"_s, u"三丁"_s, u"目西"_s, u"側"_s}, 7, 7},
    {kBusyDates, 12, 5, true, {u"1,3,5,8,10,"_s, u"12,15,17,19,"_s, u"22"_s}, 5, 5},  // small row
                                                                                      // type
    {kBusyDates, 9, 10, false, {kBusyDates}, 10, 10},  // the screen: as it is
};

void PrintTo(const Fitting& f, std::ostream* os) {
  *os << f.text.toStdString() << " in " << f.width << " at " << f.points;
}

class CellText : public ::testing::TestWithParam<Fitting> {
 protected:
  void SetUp() override {
    const CellTextStyle style{kFont, GetParam().points, GetParam().fit, 7};
    s.setFont(kFont, style.points);
    layout = layoutCellText(s, style, cell, {11, 21}, GetParam().text);
    drawCellText(s, style, cell, {11, 21}, GetParam().text);
    texts = s.ofKind(DrawOp::Text);
  }
  RecordingSurface s;
  const QRectF cell{10, 20, GetParam().width, 5.5556};
  CellTextLayout layout;
  QList<DrawOp> texts;
};

// Each line inside the cell, grown as high as the lines need, and the row kept as it is
// for one line.
TEST_P(CellText, wrapsBetweenDatesInsideTheGrownCellAtTheFloorOrLarger) {
  const Fitting& f = GetParam();
  EXPECT_EQ(s.texts(), f.lines);
  const QRectF grown(cell.topLeft(), QSizeF(cell.width(), layout.height));
  if (f.fit) {
    EXPECT_EQ(layout.height > cell.height(), f.lines.size() > 1);
  }
  for (const DrawOp& t : texts) {
    constexpr double e = 1e-9;  // floating-point slack
    if (f.fit) {
      EXPECT_TRUE(t.x >= grown.left() - e && t.y >= grown.top() - e &&
                  t.x + s.measureText(kFont, t.size, t.text.trimmed()).width() <=
                      grown.right() + e &&
                  t.y + t.h <= grown.bottom() + e)
          << t.text.toStdString();
    }
    EXPECT_GE(t.size, f.smallest);
    EXPECT_LE(t.size, f.largest);
  }
  if (texts.size() == 1 && texts[0].size == f.points) {  // drawn as it always was
    EXPECT_DOUBLE_EQ(texts[0].x, 11);
    EXPECT_DOUBLE_EQ(texts[0].y, 21);
  }
  const DrawOp font = s.ofKind(DrawOp::Font).last();  // the row's type for the next cell
  EXPECT_EQ(font.text, kFont);
  EXPECT_DOUBLE_EQ(font.size, f.points);
}

INSTANTIATE_TEST_SUITE_P(Cells, CellText, ::testing::ValuesIn(kFittings));

// ---- The document.

constexpr double kMmToPt = 72 / 25.4;

// The content keeps 10 mm from the paper's edges and clear of what a printer cannot print.
TEST(PageSplit, theContentKeepsTenMillimetresClearOfThePrintersMarginsAndAPageHoldsSomeone) {
  const QPageLayout wideMargins(QPageSize(QPageSize::JisB5), QPageLayout::Portrait,
                                QMarginsF(5, 12, 15, 20), QPageLayout::Millimeter);
  EXPECT_EQ(pageFrameFor(wideMargins).content, QRectF(10, 12, 182 - 10 - 15, 257 - 12 - 20));
  EXPECT_EQ(defaultPageFrame().content, QRectF(10, 10, 162, 237));
  // A page always holds someone, and there is always a page.
  EXPECT_EQ(recordsPerPage(2000), 1);
  // A row taller than a page still gets one to itself.
  EXPECT_EQ(pageStarts({5.0, 1000.0, 1000.0}), (std::vector<int>{0, 1}));
  EXPECT_EQ(pageStarts({}), std::vector<int>{0});
}

TEST(PdfName, namedAfterTheListAndTheMinuteWithoutReplacingAnEarlierFile) {
  QTemporaryDir dir;
  const QDateTime when(QDate(2026, 12, 6), QTime(15, 30, 59));
  EXPECT_EQ(pdfPathFor(dir.path(), when), dir.path() + u'/' + kPdfName);
  QFile(dir.path() + u'/' + kPdfName).open(QIODevice::WriteOnly);
  EXPECT_EQ(pdfPathFor(dir.path(), when), dir.path() + u"/再訪問記録一覧_20261206_1530_2.pdf"_s);
}

class PdfByPeople : public PrintWindow, public ::testing::WithParamInterface<int> {};

// No printer installed: a JIS B5 portrait PDF saved where the user chose (proposed in the
// documents folder), a note where it is, and the PDF opened when the user says so.
TEST_P(PdfByPeople, jisB5PortraitPagesOneWhileTheTableFitsThenMore) {
  const int people = GetParam() < 0 ? recordsPerPage(10) : GetParam();
  const int pages = (people - 1) / recordsPerPage(10) + 1;
  makePeople(people);
  openWindow()->Command1->click();
  ASSERT_EQ(QDir(program.path()).entryList(QDir::Files), QStringList{kPdfName});
  EXPECT_EQ(shell.titles(), u"印刷"_s);
  EXPECT_TRUE(
      shell.messages.value(0).text.contains(QDir::toNativeSeparators(program.path(kPdfName))));
  EXPECT_EQ(
      proposedPdf,
      QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).filePath(kPdfName));
  EXPECT_EQ(openedPdf, program.path(kPdfName));
  const QString pdf = QString::fromLatin1(program.readBytes(kPdfName));
  static const QRegularExpression page(u"/Type\\s*/Page(?!s)"_s);
  EXPECT_EQ(pdf.count(page), pages);
  static const QRegularExpression box(u"/MediaBox\\s*\\[\\s*0\\s+0\\s+([\\d.]+)\\s+([\\d.]+)"_s);
  const auto match = box.match(pdf);
  ASSERT_TRUE(match.hasMatch());
  EXPECT_NEAR(match.captured(1).toDouble(), 516, 0.6);  // 182 mm, not ISO B5's 176 mm
  EXPECT_NEAR(match.captured(2).toDouble(), 729, 0.6);  // 257 mm
}

// -1: exactly a page full.
INSTANTIATE_TEST_SUITE_P(People, PdfByPeople, ::testing::Values(1, -1, 47, 120));

// ---- The text of the PDF as poppler's pdftotext extracts it, with each word's box.

struct Word {
  QString text;
  QRectF box;  // points from the sheet's top-left corner
};
struct PdfPage {
  QSizeF size;
  QList<Word> words;
};

QList<PdfPage> extractWords(const QString& pdfPath) {
  QProcess tool;
  tool.start(u"pdftotext"_s, {u"-bbox"_s, pdfPath, u"-"_s});
  if (!tool.waitForFinished(60000)) return {};
  const QString html = QString::fromUtf8(tool.readAllStandardOutput());
  static const QRegularExpression tag(
      uR"re(<page width="([\d.]+)" height="([\d.]+)">|<word xMin="([\d.]+)" yMin="([\d.]+)" )re"
      uR"re(xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"_s);
  QList<PdfPage> pages;
  for (const auto& m : tag.globalMatch(html)) {
    if (!m.captured(1).isEmpty()) {
      pages.append({QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()), {}});
    } else if (!pages.isEmpty()) {
      const QPointF topLeft(m.captured(3).toDouble(), m.captured(4).toDouble());
      const QPointF bottomRight(m.captured(5).toDouble(), m.captured(6).toDouble());
      pages.last().words.append({m.captured(7), QRectF(topLeft, bottomRight)});
    }
  }
  return pages;
}

// Takes the words that make `text` out of `words`: one word, or a word and those right
// under it at the same left edge, in order. A list of dates breaks only after a comma.
bool takeText(QList<Word>& words, const QString& text) {
  const bool dates = text.contains(u',');
  for (qsizetype i = 0; i < words.size(); ++i) {
    if (!text.startsWith(words[i].text)) continue;
    QList<qsizetype> used{i};
    QString got = words[i].text;
    QRectF last = words[i].box;
    while (got.size() < text.size() && (!dates || got.endsWith(u','))) {
      qsizetype next = -1;
      for (qsizetype j = 0; j < words.size() && next < 0; ++j) {
        const QRectF b = words[j].box;
        if (!used.contains(j) && std::abs(b.left() - last.left()) <= 0.5 &&
            b.top() >= last.bottom() - 0.5 && b.top() <= last.bottom() + last.height() &&
            text.mid(got.size()).startsWith(words[j].text))
          next = j;
      }
      if (next < 0) break;
      used << next;
      got += words[next].text;
      last = words[next].box;
    }
    if (got != text) continue;
    std::sort(used.begin(), used.end(), std::greater<>());
    for (const qsizetype k : used) words.remove(k);
    return true;
  }
  return false;
}

class PrintedPdf : public PrintWindow, public ::testing::WithParamInterface<std::pair<int, int>> {};

// The longest texts in every cell of a twelve-month table, a page and one more person:
// every text whole, each row on one page in order, dates broken only between dates, no
// word smaller than the 7 pt footer (or the row's type when that is smaller), nothing
// overlapping, all inside the 10 mm rim.
TEST_P(PrintedPdf, holdsEveryCellsWholeTextInReadableWordsInsideTheMargins) {
  if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
    GTEST_SKIP() << "pdftotext (Debian package poppler-utils) is needed for this test";
  const auto [rowHeight, people] = GetParam();
  m.RowHeight = qint16(rowHeight);
  const int total = people < 0 ? recordsPerPage(m.RowHeight) + 1 : people;
  makeLongPeople(total);
  openWindow()->Command1->click();
  const QList<PdfPage> pages = extractWords(program.path(kPdfName));
  ASSERT_GE(pages.size(), 1);
  int next = 0;  // the next person to be found
  for (qsizetype p = 0; p < pages.size(); ++p) {
    SCOPED_TRACE(p);
    const PdfPage& page = pages[p];
    QList<Word> words = page.words;
    QStringList fixed{u"区域"_s,
                      u"名前"_s,
                      u"テスト"_s,
                      u"2026年12月6日"_s,
                      QString::number(p + 1),
                      u"/"_s,
                      QString::number(pages.size())};
    for (int month = 1; month <= 12; ++month) fixed << QString::number(month);
    // The footer's type is 7 pt: the smallest any word may have.
    const auto footer = std::find_if(page.words.begin(), page.words.end(),
                                     [](const Word& w) { return w.text == u"テスト"_s; });
    ASSERT_NE(footer, page.words.end());
    const double smallest = footer->box.height() * std::min(1.0, rowHeight / 7.0) - 0.05;
    for (const QString& text : fixed) EXPECT_TRUE(takeText(words, text)) << text.toStdString();
    const int first = next;
    for (; next < total; ++next) {
      const QChar tag(u'０' + next % 10);
      QStringList row{kLongTerritory.chopped(1) + tag, kLongName.chopped(1) + tag};
      for (int month = 1; month <= 12; ++month) row << longDates(month);
      const qsizetype found = std::count_if(row.begin(), row.end(),
                                            [&](const QString& t) { return takeText(words, t); });
      if (found == 0 && next > first) break;  // on the next page
      EXPECT_EQ(found, row.size()) << "person " << next;
    }
    EXPECT_GT(next, first);
    EXPECT_TRUE(words.isEmpty()) << words.value(0).text.toStdString();

    const QRectF inside = QRectF(QPointF(0, 0), page.size)
                              .adjusted(10 * kMmToPt, 10 * kMmToPt, -10 * kMmToPt, -10 * kMmToPt);
    int outside = 0, overlaps = 0, tooSmall = 0;
    for (qsizetype i = 0; i < page.words.size(); ++i) {
      const QRectF a = page.words[i].box;
      if (!inside.contains(a)) ++outside;
      if (a.height() < smallest) ++tooSmall;
      for (qsizetype j = i + 1; j < page.words.size(); ++j) {
        const QRectF common = a.intersected(page.words[j].box);
        if (common.width() > 0.01 && common.height() > 0.01) ++overlaps;
      }
    }
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(overlaps, 0);
    EXPECT_EQ(tooSmall, 0);
  }
  EXPECT_EQ(next, total);
}

// pdftotext drops the characters of a page after its 50,000th tiny one, so the smallest
// rows are checked on a page that is not full.
INSTANTIATE_TEST_SUITE_P(RowHeights, PrintedPdf,
                         ::testing::Values(std::pair{1, 150}, std::pair{10, -1},
                                           std::pair{20, -1}));

// ---- A PDF that cannot be written whole: on a full disk at the final sync, or in a
// folder that cannot be made. Reported with its reason, no file left (nor the temporary
// one), the window usable for the next try.

TEST_F(PrintWindow, aPdfThatCannotBeWrittenIsReportedLeavesNoFileAndTheWindowStaysUsable) {
  auto form = open(3);
  {
    const ScopedFailingWriter full(FailAt::Flush, 1, u"デバイスに空き領域がありません"_s);
    form->Command1->click();
  }
  EXPECT_EQ(shell.titles(), u"印刷できません"_s);
  EXPECT_TRUE(shell.messages.value(0).text.contains(u"理由：デバイスに空き領域がありません"_s));
  EXPECT_EQ(QDir(program.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
  EXPECT_TRUE(form->isVisible());
  shell.messages.clear();
  program.writeBytes(u"not-a-folder"_s, "x");
  pdfFolder = program.path(u"not-a-folder/sub"_s);
  form->Command1->click();
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_TRUE(shell.messages[0].text.contains(u"理由："_s));
  EXPECT_TRUE(pdfFiles().isEmpty());
  pdfFolder.clear();
  form->Command1->click();
  EXPECT_EQ(pdfFiles().size(), 1);
}

}  // namespace
}  // namespace velnor::test
