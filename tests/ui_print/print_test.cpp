// The print image window and what it prints: the preview and its pages, the keys, printing
// on a printer (recorded), the print dialog and the footer; how a cell's text fits its cell,
// how the table is split into pages, the PDF written when no printer is installed (its sheets,
// its text as a PDF reader extracts it), and the failures. Over a temporary program folder,
// with no printer, a fixed clock and, where asked, a sink that records the printed pages.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest/QTest>
#include <deque>
#include <functional>
#include <memory>

#include "core/cell_text.h"
#include "support/failing_writer.h"
#include "support/fakes.h"
#include "support/recording_surface.h"
#include "support/temp_program.h"
#include "ui/common/twips.h"
#include "ui/print/form2.h"

namespace velnor::test {
namespace {

using namespace Qt::Literals::StringLiterals;

const QDateTime kPrintTime(QDate(2026, 12, 6), QTime(15, 30, 12));
const QString kPdfName = u"再訪問記録一覧_20261206_1530.pdf"_s;
// The longest texts a cell holds in practice: 20 characters, a date in every week.
const QString kLongTerritory = u"北区東町三丁目西側集合住宅第二棟上層階奥"_s;
const QString kLongName = u"長谷川左衛門之助太郎右衛門次郎三郎四郎様"_s;
const QString kLongDates = u"1,8,15,22,29"_s;
// A busy month: a date every few days.
const QString kBusyDates = u"1,3,5,8,10,12,15,17,19,22"_s;

// People on a full page of rows that hold one line each.
int recordsPerPage(qint16 rowHeight) {
  const std::vector<int> starts = pageStarts(std::vector<double>(4000, paperRowHeight(rowHeight)));
  return starts.size() > 1 ? starts[1] : 3999;
}

// What the window printed; it outlives the sink, which the window drops after printing.
struct RecordedPrint {
  std::deque<RecordingSurface> pages;
  bool finished = false, discarded = false;
  int failNewPageAt = -1;  // page index whose newPage fails
  std::function<void()> onNewPage;
};

struct RecordingSink : PageSink {
  explicit RecordingSink(RecordedPrint& out) : out(out) {}
  PageFrame frame() const override { return defaultPageFrame(); }
  bool begin() override { return newPage(); }
  DrawingSurface& surface() override { return out.pages.back(); }
  bool newPage() override {
    if (int(out.pages.size()) == out.failNewPageAt) return false;
    out.pages.emplace_back();
    if (out.onNewPage) out.onNewPage();
    return true;
  }
  bool finish() override { return out.finished = true; }
  void discard() override { out.discarded = !out.finished; }
  QString errorString() const override { return u"紙がありません"_s; }
  RecordedPrint& out;
};

class PrintWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    m.ApplyDefaults();
    m.HeaderFillColor = 0xFFC0C0;
  }

  // Record k has territory "区域k", name "名前k" and "k日" in January.
  void makePeople(int count) {
    QStringList records;
    for (int k = 0; k < count; ++k) records << u"区域%1*名前%1*%1日************"_s.arg(k);
    program.useFolder(u"テスト"_s, records);
  }
  // The dates of `month` in makeLongPeople's folder.
  static QString longDates(int month) { return month % 2 ? kLongDates : kBusyDates; }
  // `count` people with the longest texts in every cell, told apart by their last
  // (full-width) digits.
  void makeLongPeople(int count) {
    QStringList records;
    for (int k = 0; k < count; ++k) {
      const QString tag(QChar(u'０' + k % 10));
      QString line = kLongTerritory.chopped(1) + tag + u'*' + kLongName.chopped(1) + tag + u'*';
      for (int month = 1; month <= 12; ++month) line += longDates(month) + u'*';
      records << line;
    }
    program.useFolder(u"テスト"_s, records);
  }

  // No printer installed and a fixed clock; `record` sends pages to `recorded`. The PDF
  // is saved under the proposed name in `pdfFolder` (empty: the program folder) and
  // never really opened.
  std::unique_ptr<Form2> openWindow(bool record = false) {
    auto form = std::make_unique<Form2>(m);
    form->printerAvailable = [] { return false; };
    m.clock = [] { return kPrintTime; };
    form->askPdfPath = [this](const QString& proposed) {
      proposedPdf = proposed;
      return QDir(pdfFolder.isEmpty() ? program.path() : pdfFolder)
          .filePath(QFileInfo(proposed).fileName());
    };
    form->openPdf = [this](const QString& path) { openedPdf = path; };
    if (record) form->sinkOverride = [this] { return std::make_unique<RecordingSink>(recorded); };
    return form;
  }

  static void activate(Form2& form) {
    form.show();
    QApplication::setActiveWindow(&form);
  }
  // The window over `people` people, shown and active.
  std::unique_ptr<Form2> open(int people, bool record = false) {
    makePeople(people);
    auto form = openWindow(record);
    activate(*form);
    return form;
  }

  QStringList pdfFiles() const { return QDir(program.path()).entryList({u"*.pdf"_s}); }

  QString pdfFolder, proposedPdf, openedPdf;
  TempProgram program;
  Module1& m = *program.m;
  FakeShell& shell = program.shell;
  RecordedPrint recorded;
};

// ---- The window.

// The preview pixel at a point of the sheet, in millimetres from its top-left corner.
QRgb previewPixelMm(const Form2& form, double xMm, double yMm) {
  const QImage& image = form.previewImage();
  const QSizeF sheet = form.previewFrame().sheet;
  return image.pixel(int(xMm * image.width() / sheet.width()),
                     int(yMm * image.height() / sheet.height())) &
         0xFFFFFF;
}

// The preview pixel at table coordinates: x 0 .. 160 across the table, y in row units.
QRgb previewPixel(const Form2& form, double x, double y) {
  const QRectF table = form.previewFrame().table();
  return previewPixelMm(form, table.left() + x * table.width() / kTableUnits,
                        table.top() + y * kRowUnitMm);
}

constexpr double kRow = 10 * 5.0 / 9.0;  // a row on paper for RowHeight 10
constexpr int kPerRow = 14;              // texts in a row: territory, name, twelve months
// The middle of data row `row` (1-based) for RowHeight 10.
double rowY(int row) { return (row + 0.5) * kRow; }

// Page keys and the wheel flip the preview, the label saying which page. The page at the size
// chosen: fitted to the window as it opens (wholly inside it), then 100 % (the paper's real
// size on the screen), larger and smaller by key and Ctrl+wheel, fitted to the width.
TEST_F(PrintWindow, pageKeysAndTheWheelFlipThePreview_andItZoomsAndFitsTheWindowOrItsWidth) {
  const int lastPageRows = 120 - 2 * recordsPerPage(10);
  auto form = open(120);
  EXPECT_EQ(form->Label1->text(), u"1 / 3 ページ"_s);
  const QRgb filled = previewPixel(*form, 100, rowY(lastPageRows + 1));
  EXPECT_NE(filled, 0xFFFFFFu);
  QTest::keyClick(form->Command5, Qt::Key_PageDown);
  EXPECT_EQ(form->Label1->text(), u"2 / 3 ページ"_s);
  QWheelEvent down(QPointF(50, 50), QPointF(50, 50), {}, QPoint(0, -120), Qt::NoButton, {},
                   Qt::NoScrollPhase, false);
  QApplication::sendEvent(form->Picture1, &down);
  EXPECT_EQ(form->Label1->text(), u"3 / 3 ページ"_s);
  // The last page holds only the rest of the people.
  EXPECT_EQ(previewPixel(*form, 100, rowY(lastPageRows + 1)), 0xFFFFFFu);
  EXPECT_NE(previewPixel(*form, 100, rowY(lastPageRows)), 0xFFFFFFu);
  QTest::keyClick(form->Command5, Qt::Key_PageDown);  // no page after the last
  EXPECT_EQ(form->shownPage(), 2);
  QTest::keyClick(form->Command5, Qt::Key_PageUp);
  EXPECT_EQ(form->Label1->text(), u"2 / 3 ページ"_s);
  EXPECT_EQ(previewPixel(*form, 100, rowY(lastPageRows + 1)), filled);

  EXPECT_EQ(form->previewImage().deviceIndependentSize(), QSizeF(form->Picture1->size()));
  EXPECT_TRUE(form->rect().contains(form->Picture1->geometry()));
  const QSizeF realSize = form->previewFrame().sheet * (form->Picture1->logicalDpiX() / 25.4);
  const auto shown = [&] { return form->previewImage().deviceIndependentSize(); };
  EXPECT_EQ(form->fit(), Form2::Fit::Window);
  EXPECT_TRUE(form->Scroll1->viewport()->rect().contains(QRect(QPoint(), shown().toSize())));
  QTest::keyClick(form->Command5, Qt::Key_0, Qt::ControlModifier);
  EXPECT_NEAR(shown().width(), realSize.width(), 1);
  QTest::keyClick(form->Command5, Qt::Key_Plus, Qt::ControlModifier);
  EXPECT_DOUBLE_EQ(form->zoomPercent(), 125);
  QWheelEvent out(QPointF(50, 50), QPointF(50, 50), {}, QPoint(0, -120), Qt::NoButton,
                  Qt::ControlModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(form->Picture1, &out);
  QTest::keyClick(form->Command5, Qt::Key_Minus, Qt::ControlModifier);
  EXPECT_DOUBLE_EQ(form->zoomPercent(), 75);
  EXPECT_NEAR(shown().width(), realSize.width() * 0.75, 1);
  EXPECT_EQ(form->shownPage(), 1);  // zooming turns no page
  form->setFit(Form2::Fit::Width);
  EXPECT_LE(shown().width(), form->Scroll1->viewport()->width());
  EXPECT_GT(shown().width(), form->Scroll1->viewport()->width() * 0.9);
}

// Only F7 prints, once; printing to a file hides the window. Shown again after the folder
// shrank, it shows that. Also a new window: the pages kept from the last opening are those of
// the folder as it was.
TEST_F(PrintWindow, onlyF7PrintsOnceAndHides_andEveryActivationRedrawsThePreview) {
  auto form = open(6);
  for (Qt::Key key : {Qt::Key_F5, Qt::Key_F6, Qt::Key_A}) {
    QTest::keyClick(form.get(), key);
    QTest::keyRelease(form.get(), key);
  }
  QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_F7, Qt::NoModifier, QString(), true);
  QApplication::sendEvent(form->Command1, &repeat);
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(pdfFiles().isEmpty());

  QTest::keyRelease(form->Label1, Qt::Key_F7);
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(form->isUnloaded());     // printing to a file only hides the window
  EXPECT_EQ(shell.messages.size(), 1);  // the release reached the window only once
  EXPECT_EQ(pdfFiles().size(), 1);
  makePeople(2);
  activate(*form);
  EXPECT_EQ(previewPixel(*form, 100, rowY(6)), 0xFFFFFFu);
  EXPECT_NE(previewPixel(*form, 100, rowY(2)), 0xFFFFFFu);
  form.reset();
  EXPECT_EQ(open(120)->Label1->text(), u"1 / 3 ページ"_s);
  EXPECT_EQ(open(200)->Label1->text(), u"1 / 5 ページ"_s);
}

TEST_F(PrintWindow, f4EscOkAndTheCloseBoxUnloadWithoutPrinting) {
  makePeople(1);
  const std::function<void(Form2&)> ways[] = {
      [](Form2& f) { QTest::keyRelease(f.Command5, Qt::Key_F4); },
      [](Form2& f) { QTest::keyClick(f.Scroll1, Qt::Key_Escape); },
      [](Form2& f) { QTest::keyClick(f.Combo1, Qt::Key_Escape); },
      [](Form2& f) { QTest::keyClick(f.Command1, Qt::Key_Escape); },
      [](Form2& f) { QTest::mouseClick(f.Command5, Qt::LeftButton); },
      [](Form2& f) { f.close(); }};
  for (const auto& close : ways) {
    auto form = openWindow();
    form->show();
    close(*form);
    EXPECT_TRUE(form->isUnloaded()) << &close - ways;
  }
  EXPECT_TRUE(pdfFiles().isEmpty());
}

// The territory of the first row of each recorded page, and the page's footer number.
QStringList firstTerritoriesAndPageNumbers(const RecordedPrint& print) {
  QStringList out;
  for (const RecordingSurface& page : print.pages)
    out << page.texts().value(kPerRow) + u' ' + page.texts().last();
  return out;
}

// A failing printer is reported and its pages discarded; 中止 in the progress window drops
// the pages too: nothing half printed, nothing reported.
TEST_F(PrintWindow, aPrintThatFailsOrIsStoppedDiscardsItsPages) {
  recorded.failNewPageAt = 2;
  auto form = open(120, true);
  form->Command1->click();
  EXPECT_TRUE(recorded.discarded);
  EXPECT_FALSE(recorded.finished);
  EXPECT_EQ(shell.titles(), u"印刷できません"_s);
  EXPECT_TRUE(shell.messages.value(0).text.contains(u"紙がありません"_s));
  recorded = {};
  shell.messages.clear();
  recorded.onNewPage = [&] {
    if (recorded.pages.size() == 2) form->findChild<QProgressDialog*>()->cancel();
  };
  form->Command1->click();
  EXPECT_TRUE(recorded.discarded);
  EXPECT_EQ(recorded.pages.size(), 2u);
  EXPECT_TRUE(shell.messages.isEmpty());
  EXPECT_EQ(form->Label1->text(), u"印刷を中止しました"_s);
}

// 120 people sent to the printer, the second selected: three pages, each holding the next
// people under the header. The selection stays, the window stays open and its label tells of
// the print until the page changes.
TEST_F(PrintWindow, eachPageHoldsTheNextPeopleUnderTheHeader_andCtrlPPrintsThePagesChosen) {
  auto form = open(120, true);
  m.CurrentIndex = 1;
  QTest::keyRelease(form->Command5, Qt::Key_F7);
  EXPECT_TRUE(recorded.finished);
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(shell.messages.isEmpty());
  EXPECT_EQ(form->Label1->text(), u"プリンターに送りました"_s);
  ASSERT_EQ(recorded.pages.size(), 3u);
  const int perPage = recordsPerPage(10);
  const int counts[3] = {perPage, perPage, 120 - 2 * perPage};
  for (int p = 0; p < 3; ++p) {
    SCOPED_TRACE(p);
    const auto texts = recorded.pages[p].ofKind(DrawOp::Text);
    ASSERT_EQ(texts.size(), kPerRow * (counts[p] + 1) + 3);
    EXPECT_EQ(texts[kPerRow].text, u"区域%1"_s.arg(perPage * p));
    EXPECT_DOUBLE_EQ(texts[kPerRow].y, kRow + 1);
    EXPECT_DOUBLE_EQ(texts[texts.size() - 4].y, counts[p] * kRow + 1);
    EXPECT_DOUBLE_EQ(recorded.pages[p].ofKind(DrawOp::Outline).value(0).h, (counts[p] + 1) * kRow);
  }
  EXPECT_EQ(m.CurrentIndex, 1);
  QTest::keyClick(form->Command5, Qt::Key_PageDown);
  EXPECT_EQ(form->Label1->text(), u"2 / 3 ページ"_s);

  // Ctrl+P offers JIS B5 and every page, then prints the pages chosen, on the printer or to
  // the file chosen in the dialog, or nothing when cancelled.
  recorded = {};
  QPageSize::PageSizeId offeredSize = QPageSize::A4;
  int offeredPages = 0;
  bool choose = false;
  QString toFile;
  form->askPrinter = [&](QPrinter& printer, int pages) {
    offeredSize = printer.pageLayout().pageSize().id();
    offeredPages = pages;
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 3);
    if (!toFile.isEmpty()) printer.setOutputFileName(toFile);
    return choose;
  };
  QTest::keyClick(form->Command5, Qt::Key_P, Qt::ControlModifier);
  EXPECT_TRUE(recorded.pages.empty());
  EXPECT_EQ(form->Label1->text(), u"2 / 3 ページ"_s);
  choose = true;
  QTest::keyClick(form->Command5, Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(offeredSize, QPageSize::JisB5);
  EXPECT_EQ(offeredPages, 3);
  EXPECT_EQ(firstTerritoriesAndPageNumbers(recorded),
            (QStringList{u"区域%1 2 / 3"_s.arg(perPage), u"区域%1 3 / 3"_s.arg(2 * perPage)}));
  EXPECT_EQ(form->Label1->text(), u"プリンターに送りました"_s);
  toFile = program.path(u"選んだ.pdf"_s);
  QTest::keyClick(form->Command5, Qt::Key_P, Qt::ControlModifier);
  EXPECT_TRUE(program.readBytes(u"選んだ.pdf"_s).startsWith("%PDF"));
  EXPECT_EQ(form->Label1->text(), u"PDFファイルに保存しました"_s);
  EXPECT_TRUE(form->isVisible());
}

// Every third person has busy months: their rows grow, all cells of a row alike, and
// each page holds as many whole rows under its header as its height allows.
TEST_F(PrintWindow, busyRowsGrowAndPagesAreFilledByTheRowsRealHeights) {
  QStringList records;
  for (int k = 0; k < 90; ++k)
    records << u"区域%1*名前%1*%2************"_s.arg(k).arg(k % 3 ? u"1"_s : kBusyDates);
  program.useFolder(u"テスト"_s, records);
  openWindow(true)->Command1->click();
  const double room = defaultPageFrame().table().height() / kRowUnitMm;
  int person = 0;
  double nextRow = 0;  // the height of the row that begins the next page
  for (size_t p = 0; p < recorded.pages.size(); ++p) {
    SCOPED_TRACE(p);
    const QList<DrawOp> outlines = recorded.pages[p].ofKind(DrawOp::Outline);
    // The frame, then each row's cells, the header's first.
    ASSERT_EQ((outlines.size() - 1) % kPerRow, 0);
    double bottom = 0;
    for (qsizetype row = 0; row * kPerRow + 1 < outlines.size(); ++row) {
      const DrawOp& first = outlines[row * kPerRow + 1];
      for (int c = 1; c < kPerRow; ++c) {
        EXPECT_DOUBLE_EQ(outlines[row * kPerRow + 1 + c].y, first.y);
        EXPECT_DOUBLE_EQ(outlines[row * kPerRow + 1 + c].h, first.h);
      }
      EXPECT_DOUBLE_EQ(first.y, bottom);
      if (row > 0) {
        const bool busy = person % 3 == 0;
        EXPECT_EQ(first.h > kRow + 1e-9, busy) << "person " << person;
        if (p > 0 && row == 1) {
          EXPECT_DOUBLE_EQ(first.h, nextRow);
        }
        ++person;
      }
      bottom = first.y + first.h;
    }
    EXPECT_DOUBLE_EQ(outlines[0].h, bottom);
    EXPECT_LE(bottom, room);
    nextRow = 0;
    if (p + 1 < recorded.pages.size()) {
      nextRow = recorded.pages[p + 1].ofKind(DrawOp::Outline).value(1 + kPerRow).h;
      EXPECT_GT(bottom + nextRow, room);  // the next row would not have fitted
    }
  }
  EXPECT_EQ(person, 90);
  EXPECT_GT(recorded.pages.size(), 2u);  // more than 90 simple rows would need
}

TEST_F(PrintWindow, rowHeightAndSixMonthSpanCarryOverToPaper) {
  makePeople(25);
  m.RowHeight = 20;
  m.DisplaySpan = 1;
  m.CurrentMonth = 9;
  openWindow(true)->Command1->click();
  ASSERT_EQ(recorded.pages.size(), 2u);  // fewer people a page at this height
  EXPECT_DOUBLE_EQ(recorded.pages[0].ofKind(DrawOp::Font).value(0).size, 20);
  EXPECT_EQ(recorded.pages[0].texts().mid(2, 6),
            (QStringList{u" 7"_s, u" 8"_s, u" 9"_s, u" 10"_s, u" 11"_s, u" 12"_s}));
}

// ---- The document. A cell's text fitted into its cell, on a recording surface whose font
// model does not depend on the fonts installed (the worst cases are checked on the PDF).

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
