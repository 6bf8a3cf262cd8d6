// Printing every page of a record folder to a PDF file (the no-printer path).
// Run: QT_QPA_PLATFORM=offscreen build/bench/velnor_print_bench
#include <benchmark/benchmark.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include "bench/bench_folder.h"
#include "core/module1.h"
#include "ui/main/form1.h"
#include "ui/print/form2.h"
#include "ui/print/print_output.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {
namespace {

// range(0) people; range(1) 1: every month busy with dates.
void BM_PrintAllPagesToPdf(benchmark::State& state) {
  Module1 m(bench::programFolder(int(state.range(0)), true, state.range(1) != 0));
  bench::QuietShell shell;
  m.shell = &shell;
  Form1 main(m);
  main.Form_Load();
  QTemporaryDir out;
  int pages = 0;
  for (auto _ : state) {
    Form2 print(m);
    print.printerAvailable = [] { return false; };
    print.askPdfPath = [&](const QString& proposed) {
      return QDir(out.path()).filePath(QFileInfo(proposed).fileName());
    };
    print.openPdf = [](const QString&) {};
    print.Command1_Click();
    state.PauseTiming();
    print.Command2_Click();  // the preview's pages, the same as printed
    pages = print.pages();
    for (const QString& f : QDir(out.path()).entryList(QDir::Files)) QFile::remove(out.filePath(f));
    state.ResumeTiming();
  }
  state.counters["people"] = double(m.PersonCount);
  state.counters["pages"] = pages;
}

BENCHMARK(BM_PrintAllPagesToPdf)
    ->Args({100, 0})
    ->Args({1000, 0})
    ->Args({32767, 0})
    ->Args({1000, 1})
    ->Args({32767, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// Opening the preview (its pages measured as on paper), then turning a page or zooming,
// each drawing one page.
void BM_PreviewPage(benchmark::State& state) {
  Module1 m(bench::programFolder(int(state.range(0)), true, state.range(1) != 0));
  bench::QuietShell shell;
  m.shell = &shell;
  Form1 main(m);
  main.Form_Load();
  Form2 print(m);
  print.printerAvailable = [] { return false; };
  QElapsedTimer opening;
  opening.start();
  print.Command2_Click();
  state.counters["open_ms"] = double(opening.elapsed());
  int step = 0;
  for (auto _ : state) {
    if (step % 2)
      print.setZoom(step % 4 == 1 ? 200 : 100);
    else
      print.showPage(print.shownPage() + (step % 4 == 0 ? 1 : -1));
    ++step;
  }
  state.counters["pages"] = print.pages();
}

BENCHMARK(BM_PreviewPage)
    ->Args({1000, 0})
    ->Args({32767, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(40);

}  // namespace
}  // namespace velnor

int main(int argc, char** argv) { return velnor::bench::runWindowBenchmarks(argc, argv); }
