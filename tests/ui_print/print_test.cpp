// The print image window: the preview and its pages, the keys, printing on a printer
// (recorded), the print dialog, the footer, and failures.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPageSize>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QWheelEvent>
#include <QtTest/QTest>
#include <functional>

#include "print_fixture.h"
#include "ui/common/twips.h"

namespace velnor::test {
namespace {

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

}  // namespace
}  // namespace velnor::test
