// Printing: the pages, the PDF written when no printer is installed, and failures.
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>

#include "print_fixture.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor::test {
namespace {

using Printing = PrintTest;

QByteArray readFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int pdfPageCount(const QByteArray& pdf) {
  static const QRegularExpression page(u"/Type\\s*/Page(?!s)"_s);
  return int(QString::fromLatin1(pdf).count(page));
}

QStringList textsFrom(const RecordingSurface& page, int first, int count) {
  return page.texts().mid(first, count);
}

TEST(PageSplit, headerAndRowsThatFitBetweenTableTopAndBottomEdge) {
  EXPECT_EQ(recordsPerPage(10), 49);  // rows 5.56 high: the 50th would be cut
  EXPECT_EQ(recordsPerPage(20), 24);  // rows 11.1 high: the 25th would be cut
  EXPECT_EQ(recordsPerPage(9), 54);   // rows exactly 5 high: row 54 ends on the edge
  EXPECT_EQ(recordsPerPage(2000), 1);
  EXPECT_EQ(pageCount(0, 10), 1);
  EXPECT_EQ(pageCount(98, 10), 2);
  EXPECT_EQ(pageCount(99, 10), 3);
  EXPECT_EQ(pageCount(25, 20), 2);
  EXPECT_EQ(pageCount(500, 0), 1);
}

TEST(PdfName, namedAfterTheListAndTheMinuteWithoutReplacingAnEarlierFile) {
  QTemporaryDir dir;
  const QDateTime when(QDate(2026, 12, 6), QTime(15, 30, 59));
  const QString first = pdfPathFor(dir.path(), when);
  EXPECT_EQ(first, dir.path() + u"/再訪問記録一覧_20261206_1530.pdf"_s);
  QFile(first).open(QIODevice::WriteOnly);
  EXPECT_EQ(pdfPathFor(dir.path(), when), dir.path() + u"/再訪問記録一覧_20261206_1530_2.pdf"_s);
}

class PageCountByPeople : public PrintTest,
                          public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(PageCountByPeople, pdfHasOnePageWhileTheTableFitsThenMore) {
  const auto [people, pages] = GetParam();
  makePeople(people);
  auto form = openWindow();
  form->Command1->click();
  ASSERT_EQ(pdfFiles().size(), 1);
  const QByteArray pdf = readFile(program.path(pdfFiles().first()));
  EXPECT_EQ(pdfPageCount(pdf), pages);
}

INSTANTIATE_TEST_SUITE_P(People, PageCountByPeople,
                         ::testing::Values(std::pair{1, 1}, std::pair{49, 1}, std::pair{50, 2},
                                           std::pair{120, 3}));

TEST_F(Printing, pdfPageIsJisB5Portrait) {
  makePeople(3);
  auto form = openWindow();
  form->Command1->click();
  const QByteArray pdf = readFile(program.path(u"再訪問記録一覧_20261206_1530.pdf"_s));
  ASSERT_TRUE(pdf.startsWith("%PDF"));
  static const QRegularExpression box(u"/MediaBox\\s*\\[\\s*0\\s+0\\s+([\\d.]+)\\s+([\\d.]+)"_s);
  const auto match = box.match(QString::fromLatin1(pdf));
  ASSERT_TRUE(match.hasMatch());
  EXPECT_NEAR(match.captured(1).toDouble(), 516, 0.6);  // 182 mm, not ISO B5's 176 mm
  EXPECT_NEAR(match.captured(2).toDouble(), 729, 0.6);  // 257 mm
}

TEST_F(Printing, noPrinterWritesPdfInProgramFolderAndSaysWhere) {
  makePeople(2);
  auto form = openWindow();
  form->show();
  form->Command1->click();
  const QString path = program.path(u"再訪問記録一覧_20261206_1530.pdf"_s);
  EXPECT_TRUE(QFile::exists(path));
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].title, u"印刷"_s);
  EXPECT_TRUE(shell.messages[0].text.contains(QDir::toNativeSeparators(path)));
  EXPECT_FALSE(form->isVisible());
  // Nothing but the PDF was added next to the record folders.
  EXPECT_EQ(QDir(program.path()).entryList(QDir::Files), QStringList{QFileInfo(path).fileName()});
}

TEST_F(Printing, unwritableFolderReportsAndLeavesNothingBehind) {
  makePeople(2);
  program.writeBytes(u"not-a-folder"_s, "x");
  auto form = openWindow();
  form->pdfFolder = program.path(u"not-a-folder/sub"_s);
  form->show();
  form->Command1->click();
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].title, u"印刷できません"_s);
  EXPECT_TRUE(shell.messages[0].text.contains(u"理由："_s));
  EXPECT_TRUE(form->isVisible());  // still there to try again or close
  EXPECT_FALSE(form->isUnloaded());
  EXPECT_TRUE(QDir(form->pdfFolder).entryList(QDir::Files).isEmpty());
  EXPECT_TRUE(pdfFiles().isEmpty());
  // The window still works: the next try goes to a good folder.
  form->pdfFolder.clear();
  form->Command1->click();
  EXPECT_EQ(pdfFiles().size(), 1);
}

TEST_F(Printing, failingPageDropsTheWholeDocument) {
  makePeople(120);
  RecordedPrint recorded;
  recorded.failNewPageAt = 2;
  auto form = openWindow();
  form->sinkOverride = [&] { return std::make_unique<RecordingSink>(recorded); };
  form->show();
  form->Command1->click();
  EXPECT_TRUE(recorded.discarded);
  EXPECT_FALSE(recorded.finished);
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].title, u"印刷できません"_s);
  EXPECT_TRUE(shell.messages[0].text.contains(u"紙がありません"_s));
  EXPECT_TRUE(form->isVisible());
}

TEST_F(Printing, printedPageHasPaperRowHeightFontSizeAndHeader) {
  makePeople(3);
  m.CurrentIndex = 1;
  RecordedPrint recorded;
  auto form = openWindow();
  form->sinkOverride = [&] { return std::make_unique<RecordingSink>(recorded); };
  form->Command1->click();
  ASSERT_EQ(recorded.pages.size(), 1u);
  EXPECT_TRUE(recorded.finished);
  const RecordingSurface& page = recorded.pages[0];
  const auto fonts = page.ofKind(DrawOp::Font);
  ASSERT_FALSE(fonts.isEmpty());
  for (const DrawOp& font : fonts) EXPECT_DOUBLE_EQ(font.size, 10);  // RowHeight points on paper
  QStringList header{u"区域"_s, u"名前"_s};
  for (int month = 1; month <= 12; ++month) header << u' ' + QString::number(month);
  EXPECT_EQ(textsFrom(page, 0, 14), header);
  const double row = 10 * 5.0 / 9.0;
  const auto outlines = page.ofKind(DrawOp::Outline);
  ASSERT_FALSE(outlines.isEmpty());
  EXPECT_DOUBLE_EQ(outlines.first().h, 4 * row);  // the frame: header and three rows
  const auto texts = page.ofKind(DrawOp::Text);
  EXPECT_EQ(texts[14].text, u"区域0"_s);
  EXPECT_DOUBLE_EQ(texts[14].y, row + 1);
  EXPECT_DOUBLE_EQ(texts[28].y, 2 * row + 1);
  EXPECT_EQ(m.CurrentIndex, 1);
}

TEST_F(Printing, furtherPagesStartWithTheHeaderAndContinueTheRows) {
  makePeople(120);
  RecordedPrint recorded;
  auto form = openWindow();
  form->sinkOverride = [&] { return std::make_unique<RecordingSink>(recorded); };
  form->Command1->click();
  ASSERT_EQ(recorded.pages.size(), 3u);
  const double row = 10 * 5.0 / 9.0;
  const int perRow = 14;  // territory, name, twelve months
  const int counts[3] = {49, 49, 22};
  for (int p = 0; p < 3; ++p) {
    const RecordingSurface& page = recorded.pages[p];
    SCOPED_TRACE(p);
    EXPECT_EQ(textsFrom(page, 0, 2), (QStringList{u"区域"_s, u"名前"_s}));
    const auto texts = page.ofKind(DrawOp::Text);
    ASSERT_EQ(texts.size(), perRow * (counts[p] + 1));
    EXPECT_DOUBLE_EQ(texts[0].y, 1);  // header at the top margin of every page
    EXPECT_EQ(texts[perRow].text, u"区域%1"_s.arg(49 * p));
    EXPECT_EQ(texts.last().y, counts[p] * row + 1);
    // Every row ends above the bottom edge of the paper.
    EXPECT_LE((counts[p] + 1) * row, 279.0);
    EXPECT_DOUBLE_EQ(page.ofKind(DrawOp::Outline).first().h, (counts[p] + 1) * row);
  }
}

TEST_F(Printing, largeRowHeightPrintsTwentyFourPeopleAPageInItsFontSize) {
  makePeople(25);
  m.RowHeight = 20;
  RecordedPrint recorded;
  auto form = openWindow();
  form->sinkOverride = [&] { return std::make_unique<RecordingSink>(recorded); };
  form->Command1->click();
  ASSERT_EQ(recorded.pages.size(), 2u);
  EXPECT_DOUBLE_EQ(recorded.pages[0].ofKind(DrawOp::Font).first().size, 20);
  EXPECT_TRUE(recorded.pages[1].texts().contains(u"名前24"_s));
  EXPECT_FALSE(recorded.pages[1].texts().contains(u"名前23"_s));
}

TEST_F(Printing, sixMonthSpanPrintsTheMonthsOnScreen) {
  makePeople(1);
  m.DisplaySpan = 1;
  m.CurrentMonth = 9;
  RecordedPrint recorded;
  auto form = openWindow();
  form->sinkOverride = [&] { return std::make_unique<RecordingSink>(recorded); };
  form->Command1->click();
  ASSERT_EQ(recorded.pages.size(), 1u);
  EXPECT_EQ(textsFrom(recorded.pages[0], 2, 6),
            (QStringList{u" 7"_s, u" 8"_s, u" 9"_s, u" 10"_s, u" 11"_s, u" 12"_s}));
}

}  // namespace
}  // namespace velnor::test
