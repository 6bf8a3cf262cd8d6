#pragma once
// A program folder with a record folder of n people, and a print window over it.

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <deque>
#include <memory>

#include "core/module1.h"
#include "support/fakes.h"
#include "support/recording_surface.h"
#include "support/temp_program.h"
#include "ui/print/form2.h"
#include "ui/print/print_output.h"

namespace velnor::test {

// What a recording sink saw; it outlives the sink, which the window drops after printing.
struct RecordedPrint {
  std::deque<RecordingSurface> pages;
  bool finished = false;
  bool discarded = false;
  int failNewPageAt = -1;  // page index whose newPage fails
};

class RecordingSink : public PageSink {
 public:
  explicit RecordingSink(RecordedPrint& out) : out_(out) {}
  bool begin() override {
    out_.pages.emplace_back();
    return true;
  }
  DrawingSurface& surface() override { return out_.pages.back(); }
  bool newPage() override {
    if (int(out_.pages.size()) == out_.failNewPageAt) return false;
    out_.pages.emplace_back();
    return true;
  }
  bool finish() override {
    out_.finished = true;
    return true;
  }
  void discard() override { out_.discarded = true; }
  QString errorString() const override { return QStringLiteral("紙がありません"); }

 private:
  RecordedPrint& out_;
};

class PrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m.shell = &shell;
    m.mainWindow = &mainWindow;
    m.RowHeight = 10;
    m.DisplaySpan = 0;
    m.CurrentMonth = 6;
    m.BackColors = {0xC0FFC0, 0xC0FFFF, 0xFFC0C0};
    m.TextColors = {0, 0, 0};
    m.HeaderFillColor = 0xFFC0C0;
  }

  // Record k has territory "区域k", name "名前k" and "k日" in January.
  void makePeople(int count) {
    QStringList lines{kIndexComment1, kIndexComment2};
    for (int k = 0; k < count; ++k)
      lines << QStringLiteral("区域%1*名前%1*%1日************").arg(k);
    m.CurrentFolder = program.makeFolder(QStringLiteral("テスト"), TempProgram::cp932Lines(lines));
    m.IndexFilePath = m.indexPathFor(m.CurrentFolder);
  }

  std::unique_ptr<Form2> openWindow() {
    auto form = std::make_unique<Form2>(m);
    form->printerAvailable = [] { return false; };
    form->clock = [] { return QDateTime(QDate(2026, 12, 6), QTime(15, 30, 12)); };
    return form;
  }

  QStringList pdfFiles() const {
    return QDir(program.path()).entryList({QStringLiteral("*.pdf")}, QDir::Files);
  }

  TempProgram program;
  Module1& m = *program.m;
  FakeShell shell;
  FakeMainWindow mainWindow;
};

}  // namespace velnor::test
