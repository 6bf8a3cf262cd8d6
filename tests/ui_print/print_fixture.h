#pragma once
// The print window over a temporary program folder, with no printer, a fixed clock and,
// where asked, a sink that records the printed pages.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <deque>
#include <functional>
#include <memory>

#include "support/fakes.h"
#include "support/recording_surface.h"
#include "support/temp_program.h"
#include "ui/print/form2.h"

namespace velnor::test {

using namespace Qt::Literals::StringLiterals;

inline const QDateTime kPrintTime(QDate(2026, 12, 6), QTime(15, 30, 12));
inline const QString kPdfName = u"再訪問記録一覧_20261206_1530.pdf"_s;
// The longest texts a cell holds in practice: 20 characters, a date in every week.
inline const QString kLongTerritory = u"北区東町三丁目西側集合住宅第二棟上層階奥"_s;
inline const QString kLongName = u"長谷川左衛門之助太郎右衛門次郎三郎四郎様"_s;
inline const QString kLongDates = u"1,8,15,22,29"_s;
// A busy month: a date every few days.
inline const QString kBusyDates = u"1,3,5,8,10,12,15,17,19,22"_s;

// People on a full page of rows that hold one line each.
inline int recordsPerPage(qint16 rowHeight) {
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

}  // namespace velnor::test
