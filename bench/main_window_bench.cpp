// Everyday actions on record folders of 100, 1,000 and 32,767 people: opening, redrawing,
// scrolling, the input screen, storing and starting the program.
// Run: QT_QPA_PLATFORM=offscreen build/bench/velnor_bench
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

#include "bench/bench_folder.h"
#include "core/find.h"
#include "core/module1.h"
#include "ui/entry/form3.h"
#include "ui/main/form1.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {
namespace {

using bench::QuietShell;

struct OpenWindow {
  explicit OpenWindow(int people, bool input = false, QString folder = {})
      : m(folder.isEmpty() ? bench::programFolder(people) : folder) {
    shell.module = &m;
    shell.openInput = true;
    m.shell = &shell;
    form = std::make_unique<Form1>(m);
    form->Form_Load();
    form->show();
    if (input) form->Command8->click();
  }
  ~OpenWindow() {
    m.ProgramEnded = true;  // nothing asks or stores at the end
    delete dynamic_cast<Form3*>(m.inputScreen);
  }
  Form3* input() const { return dynamic_cast<Form3*>(m.inputScreen); }
  QuietShell shell;
  Module1 m;
  std::unique_ptr<Form1> form;
};

void people(benchmark::State& state, const Module1& m) {
  state.counters["people"] = double(m.PersonCount);
}

void BM_OpenAndDraw(benchmark::State& state) {
  OpenWindow w(int(state.range(0)));
  for (auto _ : state) {
    w.m.EditsEnabled = false;
    w.m.ChangeRecordFolder();  // list folders, count, clear, draw, place the cursor
  }
  people(state, w.m);
}

void BM_Redraw(benchmark::State& state) {
  OpenWindow w(int(state.range(0)));
  for (auto _ : state) w.form->Command9->click();
  people(state, w.m);
}

void BM_RedrawAfterStore(benchmark::State& state) {
  OpenWindow w(int(state.range(0)), false, bench::freshProgramFolder(int(state.range(0)), true));
  int n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    (void)w.m.LoadPerson(0);
    w.m.MonthDates[1] = QString::number(++n);
    (void)w.m.StorePerson(0);
    state.ResumeTiming();
    w.form->Command9->click();
  }
  people(state, w.m);
}

void BM_ResizeRedraw(benchmark::State& state) {
  OpenWindow w(int(state.range(0)));
  bool wide = false;
  for (auto _ : state) {
    wide = !wide;
    w.form->resize(wide ? 500 : 400, wide ? 420 : 350);  // a full layout and redraw each
  }
  people(state, w.m);
}

// Down with the selection on the last row shown: every step scrolls the list.
void BM_ScrollStep(benchmark::State& state) {
  OpenWindow w(int(state.range(0)));
  w.m.CurrentIndex = 30;
  w.m.PlaceCursor();
  for (auto _ : state) {
    if (w.m.CurrentIndex >= w.m.PersonCount - 1) {
      state.PauseTiming();
      w.m.CurrentIndex = 30;
      w.m.PlaceCursor();
      state.ResumeTiming();
    }
    w.form->Command7->click();
  }
  people(state, w.m);
}

void BM_Down100(benchmark::State& state) {
  OpenWindow w(int(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    w.m.CurrentIndex = 0;
    w.m.PlaceCursor();
    state.ResumeTiming();
    for (int i = 0; i < 100; ++i) w.form->Command7->click();
  }
  people(state, w.m);
}

void BM_OpenInputScreen(benchmark::State& state) {
  OpenWindow w(int(state.range(0)));
  for (auto _ : state) {
    w.form->Command8->click();  // open
    state.PauseTiming();
    w.form->Command8->click();  // close
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    state.ResumeTiming();
  }
  w.form->Command8->click();
  state.counters["peak_MB"] = bench::peakMemoryMb();
  people(state, w.m);
}

// Down in the input screen: the next person is shown (nothing to store).
void BM_MoveInInputScreen(benchmark::State& state) {
  OpenWindow w(int(state.range(0)), true);
  for (auto _ : state) {
    if (w.m.CurrentIndex >= w.m.PersonCount - 1) {
      state.PauseTiming();
      w.form->Command6->click();
      w.m.CurrentIndex = 0;
      state.ResumeTiming();
    }
    w.form->Command7->click();
  }
  people(state, w.m);
}

// A month cell edited, then Down: the store (note file and index file, both atomic),
// the redraw and showing the next person.
void BM_StoreOneEdit(benchmark::State& state) {
  OpenWindow w(int(state.range(0)), true, bench::freshProgramFolder(int(state.range(0)), true));
  int n = 0;
  // The day's first store copies the folder first; that is measured on its own below.
  w.input()->monthCell(1)->setText(u"0"_s);
  w.m.PersonModified = true;
  w.form->Command7->click();
  for (auto _ : state) {
    state.PauseTiming();
    if (w.m.CurrentIndex >= w.m.PersonCount - 1) {
      w.m.TargetIndex = 0;
      w.input()->selectName(0);
      w.input()->Command3->click();
    }
    w.input()->monthCell(1)->setText(QString::number(++n));
    w.m.PersonModified = true;
    state.ResumeTiming();
    w.form->Command7->click();
  }
  people(state, w.m);
}

// The first store of a day: the folder is copied into the day's backup first.
void BM_FirstStoreOfTheDay(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    OpenWindow w(int(state.range(0)), false, bench::freshProgramFolder(int(state.range(0)), true));
    (void)w.m.LoadPerson(0);
    w.m.MonthDates[1] = u"1/1"_s;
    state.ResumeTiming();
    benchmark::DoNotOptimize(w.m.StorePerson(0));
  }
}

// One key typed into the find box when nobody matches: every name and territory is
// compared.
void BM_FindNoMatch(benchmark::State& state) {
  OpenWindow w(int(state.range(0)));
  for (auto _ : state) {
    (void)w.m.RefreshFolder();
    benchmark::DoNotOptimize(findPerson(w.m.folder(), u"該当なし"_s, 0));
  }
  people(state, w.m);
}

void BM_StartToMainWindow(benchmark::State& state) {
  const QString folder = bench::programFolder(int(state.range(0)));
  for (auto _ : state) {
    OpenWindow w(int(state.range(0)), false, folder);
    benchmark::DoNotOptimize(w.m.PersonCount);
    state.PauseTiming();
    w.form.reset();
    state.ResumeTiming();
  }
}

// The first start in a folder none of whose people has a note file yet.
void BM_FirstStartMissingNotes(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    const QString folder = bench::freshProgramFolder(int(state.range(0)), false);
    state.ResumeTiming();
    OpenWindow w(int(state.range(0)), false, folder);
    benchmark::DoNotOptimize(w.m.PersonCount);
  }
}

#define SIZES ->Arg(100)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_OpenAndDraw) SIZES;
BENCHMARK(BM_Redraw) SIZES;
BENCHMARK(BM_RedrawAfterStore) SIZES;
BENCHMARK(BM_ResizeRedraw) SIZES;
BENCHMARK(BM_ScrollStep) SIZES;
BENCHMARK(BM_Down100) SIZES;
BENCHMARK(BM_OpenInputScreen) SIZES;
BENCHMARK(BM_MoveInInputScreen) SIZES;
BENCHMARK(BM_StoreOneEdit) SIZES;
BENCHMARK(BM_FindNoMatch) SIZES;
BENCHMARK(BM_StartToMainWindow) SIZES;
BENCHMARK(BM_FirstStoreOfTheDay)
    ->Arg(1000)
    ->Arg(32767)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstStartMissingNotes)->Arg(32767)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velnor

int main(int argc, char** argv) { return velnor::bench::runWindowBenchmarks(argc, argv); }
