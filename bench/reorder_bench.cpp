// The settings screen's folder-wide rewrites of the largest folder the program allows
// (32,767 people): re-ordering (read, order, rewrite as one undoable change) and closing
// a year (archive copy of the index and every note file, then months emptied).
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <random>

#include "bench_folder.h"
#include "core/cp932.h"
#include "core/module1.h"
#include "core/reorder.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray largestIndexFile() {
  std::mt19937 rng(7);
  const QString kana = u"あいうえおかきくけこさしすせそ山田本口藤井佐木"_s;
  const auto enc = [](const QString& text) { return velnor::cp932().encode(text).value(); };
  QByteArray bytes = enc(velnor::kIndexComment1) + "\r\n" + enc(velnor::kIndexComment2) + "\r\n";
  for (int i = 0; i < 32767; ++i) {
    QString line = QString::number(rng() % 300) + u'*';
    for (int c = 0; c < 4; ++c) line += kana.at(int(rng() % kana.size()));
    line += u'*';
    for (int month = 1; month <= 12; ++month)
      line += (rng() % 3 ? QString::number(1 + rng() % 28) : QString()) + u'*';
    bytes += enc(line) + "\r\n";
  }
  return bytes;
}

void rewriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write bench file");
  f.write(bytes);
}

void BM_ReorderLargestFolder(benchmark::State& state) {
  const int kind = int(state.range(0));
  QTemporaryDir dir;
  velnor::Module1 m(dir.path());
  m.CurrentFolder = u"%bench"_s;
  m.CurrentMonth = 4;
  QDir(dir.path()).mkdir(m.CurrentFolder);
  const QString path = m.indexPathFor(m.CurrentFolder);
  const QByteArray original = largestIndexFile();
  for (auto _ : state) {
    state.PauseTiming();
    rewriteFile(path, original);
    state.ResumeTiming();
    if (!velnor::reorder::reorderFolder(m, kind) || m.folder().recordCount() != 32767)
      state.SkipWithError("re-ordering failed");
  }
}
BENCHMARK(BM_ReorderLargestFolder)
    ->Arg(velnor::reorder::kByTerritory)
    ->Arg(velnor::reorder::kByName)
    ->Arg(velnor::reorder::kByThisMonth)
    ->Unit(benchmark::kMillisecond);

void BM_CloseYearLargestFolder(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    const QString folder = velnor::bench::freshProgramFolder(32767, true);
    velnor::Module1 m(folder);
    velnor::bench::QuietShell shell;
    m.shell = &shell;
    m.CurrentFolder = u"%山田"_s;
    state.ResumeTiming();
    if (!m.CloseYear(2026, false) || m.folder().recordCount() != 32767)
      state.SkipWithError("closing the year failed");
    state.PauseTiming();
    QDir(folder).removeRecursively();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_CloseYearLargestFolder)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return velnor::bench::runCoreBenchmarks(argc, argv); }
