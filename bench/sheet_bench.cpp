// Exporting the largest folder to .xlsx and .csv, and importing each back as a new folder.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include "bench/bench_folder.h"
#include "core/module1.h"
#include "core/spreadsheet.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kPeople = 32767;

// Range 0: .xlsx, 1: .csv.
QString sheetName(const benchmark::State& state) {
  return state.range(0) == 0 ? u"export.xlsx"_s : u"export.csv"_s;
}

// The largest folder in use, and the sheet file it is exported to.
struct LargestFolder {
  LargestFolder(const QString& programFolder, const benchmark::State& state)
      : folder(programFolder), m(folder), path(QDir(folder).filePath(sheetName(state))) {
    m.shell = &shell;
    m.CurrentFolder = u"%山田"_s;
  }
  QString folder;
  velnor::Module1 m;
  velnor::bench::QuietShell shell;
  QString path;
};

void BM_ExportLargestFolder(benchmark::State& state) {
  LargestFolder large(velnor::bench::programFolder(kPeople, true, true), state);
  velnor::Module1& m = large.m;
  const QString& path = large.path;
  for (auto _ : state)
    if (!m.ExportRecords(path)) state.SkipWithError("export failed");
  state.counters["MB"] = double(QFileInfo(path).size()) / 1e6;
}
BENCHMARK(BM_ExportLargestFolder)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Reading the sheet, checking every row and making the folder of 32,768 files.
void BM_ImportLargestFolder(benchmark::State& state) {
  LargestFolder large(velnor::bench::freshProgramFolder(kPeople, true, true), state);
  velnor::Module1& m = large.m;
  const QString& path = large.path;
  if (!m.ExportRecords(path)) state.SkipWithError("export failed");
  int run = 0;
  double readMs = 0, checkMs = 0;
  for (auto _ : state) {
    QElapsedTimer clock;
    clock.start();
    QList<velnor::sheet::Row> rows;
    velnor::FileError error;
    if (!velnor::sheet::readSheetFile(path, rows, &error)) state.SkipWithError("read failed");
    readMs += double(clock.restart());
    const velnor::sheet::ImportPlan plan = velnor::sheet::planImport(rows);
    checkMs += double(clock.restart());
    if (plan.people.size() != kPeople || !m.ImportRecords(u"読込%1"_s.arg(++run), plan))
      state.SkipWithError("import failed");
  }
  // The rest is making the 32,768 files.
  state.counters["read_ms"] = benchmark::Counter(readMs, benchmark::Counter::kAvgIterations);
  state.counters["check_ms"] = benchmark::Counter(checkMs, benchmark::Counter::kAvgIterations);
  QDir(large.folder).removeRecursively();
}
BENCHMARK(BM_ImportLargestFolder)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return velnor::bench::runCoreBenchmarks(argc, argv); }
