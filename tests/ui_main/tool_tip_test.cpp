// The main window's list shows a cell's whole text as a tool tip where the list cuts it.
#include <gtest/gtest.h>

#include <QHelpEvent>
#include <QTest>
#include <QToolTip>
#include <memory>

#include "core/table_drawing.h"
#include "support/fakes.h"
#include "support/recording_surface.h"
#include "support/temp_program.h"
#include "ui/main/form1.h"

namespace velnor::test {
namespace {

using namespace Qt::Literals::StringLiterals;

const QString kLongTerritory = u"北区東町三丁目西側"_s;  // 9 em: more than a territory cell
const QString kLongName = u"長谷川左衛門之助太郎右衛門次郎三郎四郎様"_s;  // 20 em
const QString kLongDates = u"1,8,15,22,29"_s;                             // 6 em

class CellToolTip : public ::testing::Test {
 protected:
  CellToolTip() : m(*prog.m) {
    m.shell = &shell;
    m.ApplyDefaults();  // twelve months, rows 10 high
    // Months 1, 2 and 12 hold dates.
    QStringList first{kLongTerritory, kLongName, kLongDates, u"13,14"_s};
    for (int month = 3; month <= 11; ++month) first << QString();
    first << kLongDates;
    const QStringList lines{kIndexComment1, kIndexComment2, first.join(u'*') + u'*',
                            u"北1*佐藤*3************"_s};
    m.CurrentFolder = prog.makeFolder(u"田中"_s, TempProgram::cp932Lines(lines));
    m.IndexFilePath = m.indexPathFor(m.CurrentFolder);
  }
  TempProgram prog;
  Module1& m;
  FakeShell shell;
};

// At 6 points the model's em is 2.1 list units: month cells hold 3.8 em after the inset,
// territory cells 6.2 em.
TEST_F(CellToolTip, theWholeTextOfACutCellAndNothingElse) {
  m.ReadMode = 1;
  ASSERT_TRUE(m.ReadIndex());
  RecordingSurface screen;
  drawTable(m, screen, {});
  const std::tuple<double, double, QString> cases[] = {
      {5, 15, kLongTerritory}, {40, 15, kLongName}, {55, 15, kLongDates},
      {159, 15, kLongDates},   {64, 15, u""_s},   // "13,14" fits
      {5, 25, u""_s},          {20, 25, u""_s},   // short texts in the second row
      {5, 5, u""_s},           {55, 5, u""_s},    // the header row
      {55, 35, u""_s},         {161, 15, u""_s},  // below the rows, beside the table
  };
  for (const auto& [x, y, expected] : cases) {
    SCOPED_TRACE(testing::Message() << x << ", " << y);
    EXPECT_EQ(cutCellText(m, screen, 6, QPointF(x, y)), expected);
  }
}

TEST_F(CellToolTip, restingOnACutCellOfTheListShowsItsText) {
  Form1 form(m);
  form.Form_Load();
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  QWidget* canvas = form.Picture1->canvas();
  auto hover = [&](double x, double y) {
    const QPoint px(int(x * canvas->width() / 160.0), int(y * canvas->height() / 260.0));
    QHelpEvent help(QEvent::ToolTip, px, canvas->mapToGlobal(px));
    QApplication::sendEvent(canvas, &help);
    // A tip that is not wanted leaves the event to the window.
    return help.isAccepted() && QToolTip::isVisible() ? QToolTip::text() : QString();
  };
  EXPECT_EQ(hover(40, 15), kLongName);

  EXPECT_EQ(hover(40, 25), QString());
}

}  // namespace
}  // namespace velnor::test
