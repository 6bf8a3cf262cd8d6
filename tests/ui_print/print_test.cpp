// The print image window and printing: the preview, the keys, the printed pages, the PDF
// written when no printer is installed, and failures.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest/QTest>
#include <deque>

#include "support/fakes.h"
#include "support/recording_surface.h"
#include "support/temp_program.h"
#include "ui/common/twips.h"
#include "ui/print/form2.h"
#include "ui/print/page_surface.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor::test {
namespace {

// What the window printed; it outlives the sink, which the window drops after printing.
struct RecordedPrint {
  std::deque<RecordingSurface> pages;
  bool finished = false, discarded = false;
  int failNewPageAt = -1;  // page index whose newPage fails
};

struct RecordingSink : PageSink {
  explicit RecordingSink(RecordedPrint& out) : out(out) {}
  bool begin() override { return newPage(); }
  DrawingSurface& surface() override { return out.pages.back(); }
  bool newPage() override {
    if (int(out.pages.size()) == out.failNewPageAt) return false;
    out.pages.emplace_back();
    return true;
  }
  bool finish() override { return out.finished = true; }
  void discard() override { out.discarded = true; }
  QString errorString() const override { return u"紙がありません"_s; }
  RecordedPrint& out;
};

class PrintWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    m.shell = &shell;
    m.ApplyDefaults();
    m.HeaderFillColor = 0xFFC0C0;
  }

  // Record k has territory "区域k", name "名前k" and "k日" in January.
  void makePeople(int count) {
    QStringList lines{kIndexComment1, kIndexComment2};
    for (int k = 0; k < count; ++k) lines << u"区域%1*名前%1*%1日************"_s.arg(k);
    m.CurrentFolder = program.makeFolder(u"テスト"_s, TempProgram::cp932Lines(lines));
    m.IndexFilePath = m.indexPathFor(m.CurrentFolder);
  }

  // No printer installed and a fixed clock for the PDF name; `record` sends pages to `recorded`.
  std::unique_ptr<Form2> openWindow(bool record = false) {
    auto form = std::make_unique<Form2>(m);
    form->printerAvailable = [] { return false; };
    form->clock = [] { return QDateTime(QDate(2026, 12, 6), QTime(15, 30, 12)); };
    if (record) form->sinkOverride = [this] { return std::make_unique<RecordingSink>(recorded); };
    return form;
  }

  QStringList pdfFiles() const { return QDir(program.path()).entryList({u"*.pdf"_s}); }

  TempProgram program;
  Module1& m = *program.m;
  FakeShell shell;
  RecordedPrint recorded;
};

// The preview pixel at page coordinates (x, y); offscreen has one device pixel per pixel.
QRgb previewPixel(const Form2& form, double x, double y) {
  const QImage& image = form.previewImage();
  const int px = int((x - kPageLeft) * image.width() / (kPageRight - kPageLeft));
  const int py = int((y - kPageTop) * image.height() / (kPageBottom - kPageTop));
  return image.pixel(px, py) & 0xFFFFFF;
}

// The middle of data row `row` (1-based) on the preview, rows 10 * 5 / 9 high.
double rowY(int row) { return row * 5.5556 + 2; }

TEST_F(PrintWindow, fixedLayoutWithAOneThirdJisB5PreviewAndFontFactor) {
  makePeople(1);
  auto form = openWindow();
  EXPECT_EQ(form->size(), QSize(286, 368));
  EXPECT_EQ(form->minimumSize(), form->maximumSize());  // no resizing
  // 182 x 257 mm at a third of the size, 15 twips to the pixel.
  EXPECT_EQ(form->Picture1->geometry(), QRect(8, 32, 229, 324));
  EXPECT_EQ(form->previewImage().deviceIndependentSize(), QSizeF(229, 324));
  // Fonts shrink like the picture, to about a third.
  EXPECT_NEAR(form->ScaleFactor, 1.0 / 3.0, 0.08);
}

TEST_F(PrintWindow, everyActivationRedrawsTheCurrentFolder) {
  makePeople(6);
  auto form = openWindow();
  form->show();
  QApplication::setActiveWindow(form.get());
  // Header fill inside the territory header cell; blank paper in the margins.
  EXPECT_EQ(previewPixel(*form, 45, 3), fromBgr(m.HeaderFillColor).rgb() & 0xFFFFFF);
  EXPECT_EQ(previewPixel(*form, 100, rowY(3)), fromBgr(m.BackColors[1]).rgb() & 0xFFFFFF);
  EXPECT_EQ(previewPixel(*form, -6, 3), 0xFFFFFFu);
  EXPECT_EQ(previewPixel(*form, 185, 3), 0xFFFFFFu);
  // Printing only hides the window; shown again after the folder shrank, it shows that.
  form->Command1->click();
  makePeople(2);
  form->show();
  QApplication::setActiveWindow(form.get());
  EXPECT_EQ(previewPixel(*form, 100, rowY(6)), 0xFFFFFFu);
  EXPECT_NE(previewPixel(*form, 100, rowY(2)), 0xFFFFFFu);
}

TEST_F(PrintWindow, longFolderPreviewShowsFirstPageInReducedRowsAndScaledFont) {
  makePeople(120);
  auto form = openWindow();
  form->Form_Activate();
  EXPECT_EQ(form->Picture1->toolTip(), u"1ページ目（全3ページ）"_s);
  RecordingSurface firstPage;
  form->draw_rutin(firstPage, form->ScaleFactor);
  EXPECT_DOUBLE_EQ(firstPage.ofKind(DrawOp::Font).value(0).size, 10 * form->ScaleFactor);
  EXPECT_DOUBLE_EQ(firstPage.ofKind(DrawOp::Outline).value(0).h, 50 * 10 * 5.0 / 9.0);
  // The 50th person, who would be cut off the first sheet, starts page 2.
  EXPECT_TRUE(firstPage.texts().contains(u"名前48"_s));
  EXPECT_FALSE(firstPage.texts().contains(u"名前49"_s));
}

TEST_F(PrintWindow, onlyF7PrintsOnceAndHidesAndOnlyF4Closes) {
  makePeople(1);
  auto form = openWindow();
  form->show();
  for (Qt::Key key : {Qt::Key_F5, Qt::Key_F6, Qt::Key_Escape, Qt::Key_A}) {
    QTest::keyClick(form.get(), key);
    QTest::keyRelease(form.get(), key);
  }
  QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_F7, Qt::NoModifier, QString(), true);
  QApplication::sendEvent(form->Command1, &repeat);
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(pdfFiles().isEmpty());

  QTest::keyRelease(form->Label1, Qt::Key_F7);
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(form->isUnloaded());     // printing only hides the window
  EXPECT_EQ(shell.messages.size(), 1);  // the release reached the window only once

  form->show();
  QTest::keyRelease(form->Command5, Qt::Key_F4);
  EXPECT_TRUE(form->isUnloaded());
  EXPECT_EQ(pdfFiles().size(), 1);
}

TEST_F(PrintWindow, okButtonAndCloseBoxUnload) {
  makePeople(1);
  auto byButton = openWindow(), byCloseBox = openWindow();
  byButton->show();
  byCloseBox->show();
  QTest::mouseClick(byButton->Command5, Qt::LeftButton);
  byCloseBox->close();
  EXPECT_TRUE(byButton->isUnloaded());
  EXPECT_TRUE(byCloseBox->isUnloaded());
}

constexpr double kRow = 10 * 5.0 / 9.0;  // a row on paper for RowHeight 10
constexpr int kPerRow = 14;              // texts in a row: territory, name, twelve months
const QString kPdfName = u"再訪問記録一覧_20261206_1530.pdf"_s;

TEST(PageSplit, headerAndRowsThatFitBetweenTableTopAndBottomEdge) {
  EXPECT_EQ(recordsPerPage(9), 54);  // rows exactly 5 high: row 54 ends on the edge
  EXPECT_EQ(recordsPerPage(2000), 1);
  EXPECT_EQ(pageCount(0, 10), 1);
  EXPECT_EQ(pageCount(500, 0), 1);
}

TEST(PdfName, namedAfterTheListAndTheMinuteWithoutReplacingAnEarlierFile) {
  QTemporaryDir dir;
  const QDateTime when(QDate(2026, 12, 6), QTime(15, 30, 59));
  EXPECT_EQ(pdfPathFor(dir.path(), when), dir.path() + u'/' + kPdfName);
  QFile(dir.path() + u'/' + kPdfName).open(QIODevice::WriteOnly);
  EXPECT_EQ(pdfPathFor(dir.path(), when), dir.path() + u"/再訪問記録一覧_20261206_1530_2.pdf"_s);
}

class PdfByPeople : public PrintWindow,
                    public ::testing::WithParamInterface<std::pair<int, int>> {};

// No printer installed: a JIS B5 portrait PDF in the program folder, and a note where it is.
TEST_P(PdfByPeople, jisB5PortraitPagesOneWhileTheTableFitsThenMore) {
  const auto [people, pages] = GetParam();
  makePeople(people);
  openWindow()->Command1->click();
  ASSERT_EQ(QDir(program.path()).entryList(QDir::Files), QStringList{kPdfName});
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].title, u"印刷"_s);
  EXPECT_TRUE(shell.messages[0].text.contains(QDir::toNativeSeparators(program.path(kPdfName))));
  const QString pdf = QString::fromLatin1(program.readBytes(kPdfName));
  static const QRegularExpression page(u"/Type\\s*/Page(?!s)"_s);
  EXPECT_EQ(pdf.count(page), pages);
  static const QRegularExpression box(u"/MediaBox\\s*\\[\\s*0\\s+0\\s+([\\d.]+)\\s+([\\d.]+)"_s);
  const auto match = box.match(pdf);
  ASSERT_TRUE(match.hasMatch());
  EXPECT_NEAR(match.captured(1).toDouble(), 516, 0.6);  // 182 mm, not ISO B5's 176 mm
  EXPECT_NEAR(match.captured(2).toDouble(), 729, 0.6);  // 257 mm
}

INSTANTIATE_TEST_SUITE_P(People, PdfByPeople,
                         ::testing::Values(std::pair{1, 1}, std::pair{49, 1}, std::pair{50, 2},
                                           std::pair{120, 3}));

TEST_F(PrintWindow, failuresAreReportedLeaveNothingBehindAndTheWindowStaysUsable) {
  makePeople(120);
  recorded.failNewPageAt = 2;
  auto form = openWindow(true);
  form->show();
  form->Command1->click();
  EXPECT_TRUE(recorded.discarded);
  EXPECT_FALSE(recorded.finished);
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].title, u"印刷できません"_s);
  EXPECT_TRUE(shell.messages[0].text.contains(u"紙がありません"_s));
  // A PDF folder that cannot be made.
  program.writeBytes(u"not-a-folder"_s, "x");
  form->sinkOverride = nullptr;
  form->pdfFolder = program.path(u"not-a-folder/sub"_s);
  form->Command1->click();
  EXPECT_TRUE(shell.messages.value(1).text.contains(u"理由："_s));
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(pdfFiles().isEmpty());
  form->pdfFolder.clear();
  form->Command1->click();
  EXPECT_EQ(pdfFiles().size(), 1);
}

TEST_F(PrintWindow, everyPageHasTheHeaderPaperRowHeightAndFontSize) {
  makePeople(120);
  m.CurrentIndex = 1;
  openWindow(true)->Command1->click();
  ASSERT_EQ(recorded.pages.size(), 3u);
  EXPECT_TRUE(recorded.finished);
  QStringList header{u"区域"_s, u"名前"_s};
  for (int month = 1; month <= 12; ++month) header << u' ' + QString::number(month);
  const int counts[3] = {49, 49, 22};
  for (int p = 0; p < 3; ++p) {
    SCOPED_TRACE(p);
    const RecordingSurface& page = recorded.pages[p];
    const auto fonts = page.ofKind(DrawOp::Font);
    ASSERT_FALSE(fonts.isEmpty());
    for (const DrawOp& font : fonts) EXPECT_DOUBLE_EQ(font.size, 10);
    EXPECT_EQ(page.texts().mid(0, kPerRow), header);
    const auto texts = page.ofKind(DrawOp::Text);
    ASSERT_EQ(texts.size(), kPerRow * (counts[p] + 1));
    EXPECT_DOUBLE_EQ(texts[0].y, 1);  // header at the top margin of every page
    EXPECT_EQ(texts[kPerRow].text, u"区域%1"_s.arg(49 * p));
    EXPECT_DOUBLE_EQ(texts[kPerRow].y, kRow + 1);
    EXPECT_DOUBLE_EQ(texts.last().y, counts[p] * kRow + 1);
    EXPECT_DOUBLE_EQ(page.ofKind(DrawOp::Outline).value(0).h, (counts[p] + 1) * kRow);
  }
  EXPECT_EQ(m.CurrentIndex, 1);  // printing leaves the selection alone
}

TEST_F(PrintWindow, rowHeightAndSixMonthSpanCarryOverToPaper) {
  makePeople(25);
  m.RowHeight = 20;
  m.DisplaySpan = 1;
  m.CurrentMonth = 9;
  openWindow(true)->Command1->click();
  ASSERT_EQ(recorded.pages.size(), 2u);  // 24 people a page at this height
  EXPECT_DOUBLE_EQ(recorded.pages[0].ofKind(DrawOp::Font).value(0).size, 20);
  EXPECT_EQ(recorded.pages[0].texts().mid(2, 6),
            (QStringList{u" 7"_s, u" 8"_s, u" 9"_s, u" 10"_s, u" 11"_s, u" 12"_s}));
}

}  // namespace
}  // namespace velnor::test
