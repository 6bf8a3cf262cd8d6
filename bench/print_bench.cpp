// Printing every page of a record folder to a PDF file (the no-printer path).
// Run: QT_QPA_PLATFORM=offscreen build/bench/velnor_print_bench
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include "bench/bench_folder.h"
#include "core/module1.h"
#include "ui/main/form1.h"
#include "ui/print/form2.h"
#include "ui/print/print_output.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {
namespace {

void BM_PrintAllPagesToPdf(benchmark::State& state) {
  Module1 m(bench::programFolder(int(state.range(0))));
  bench::QuietShell shell;
  m.shell = &shell;
  Form1 main(m);
  main.Form_Load();
  QTemporaryDir out;
  int pages = 0;
  for (auto _ : state) {
    Form2 print(m);
    print.printerAvailable = [] { return false; };
    print.pdfFolder = out.path();
    print.Command1_Click();
    state.PauseTiming();
    pages = pageCount(m.PersonCount, m.RowHeight);
    for (const QString& f : QDir(out.path()).entryList(QDir::Files)) QFile::remove(out.filePath(f));
    state.ResumeTiming();
  }
  state.counters["people"] = double(m.PersonCount);
  state.counters["pages"] = pages;
}

BENCHMARK(BM_PrintAllPagesToPdf)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(32767)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
}  // namespace velnor

int main(int argc, char** argv) { return velnor::bench::runWindowBenchmarks(argc, argv); }
