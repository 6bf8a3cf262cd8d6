// Opening and redrawing record folders of 100, 1,000 and 32,767 people in the main window.
// Run: QT_QPA_PLATFORM=offscreen build/bench/velnor_bench
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <map>
#include <memory>

#include "core/module1.h"
#include "ui/common/fonts.h"
#include "ui/main/form1.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {
namespace {

// Answers every box with OK and never opens another window.
class QuietShell : public Shell {
 public:
  Answer message(const QString&, const QString&, Buttons, Icon) override { return Answer::Ok; }
  void beep() override {}
  void endProgram() override {}
  void showWelcomeDialog() override {}
  void showInputScreen() override {}
  void showSettingsScreen() override {}
  void showPrintWindow() override {}
};

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write bench data");
  f.write(bytes);
}

// A program folder with one record folder of `people` people, note files included, as
// a folder in use has them. Made once per size and kept for every benchmark.
QString programFolder(int people) {
  static std::map<int, std::unique_ptr<QTemporaryDir>> made;
  auto& dir = made[people];
  if (!dir) {
    dir = std::make_unique<QTemporaryDir>();
    const QString folder = dir->path() + u"/%山田"_s;
    QDir().mkpath(folder);
    QStringEncoder enc("windows-31j");
    QByteArray index = enc.encode(kIndexComment1 + u"\r\n"_s + kIndexComment2 + u"\r\n"_s);
    QByteArray note = enc.encode(u"補足情報\r\n"_s);
    for (int k = 1; k <= 12; ++k) note += enc.encode(Module1::DefaultMonthLine(k) + u"\r\n"_s);
    for (int i = 0; i < people; ++i) {
      const QString name = u"訪問先 "_s + QString::number(i);
      QString line = u"北"_s + QString::number(i % 9) + u'*' + name + u'*';
      for (int k = 1; k <= 12; ++k)
        line += ((i + k) % 3 == 0 ? QString::number(k) + u'/' + QString::number(i % 28 + 1)
                                  : QString()) +
                u'*';
      index += enc.encode(line + u"\r\n"_s);
      writeFile(folder + u'/' + name + u".txt"_s, note);
    }
    writeFile(folder + u'/' + kIndexFileName, index);
    writeFile(dir->path() + u'/' + kSettingsFileName, enc.encode(u"s201=%山田\r\n"_s));
  }
  return dir->path();
}

struct OpenWindow {
  explicit OpenWindow(int people) : m(programFolder(people)) {
    m.shell = &shell;
    form = std::make_unique<Form1>(m);
    form->Form_Load();
    form->show();
  }
  QuietShell shell;
  Module1 m;
  std::unique_ptr<Form1> form;
};

void BM_OpenAndDraw(benchmark::State& state) {
  OpenWindow w(int(state.range(0)));
  for (auto _ : state) {
    w.m.EditsEnabled = false;
    w.m.ChangeRecordFolder();  // list folders, count, clear, draw, place the cursor
  }
  state.counters["people"] = double(w.m.PersonCount);
}

void BM_Redraw(benchmark::State& state) {
  OpenWindow w(int(state.range(0)));
  for (auto _ : state) w.form->Command9->click();
  state.counters["people"] = double(w.m.PersonCount);
}

void BM_ResizeRedraw(benchmark::State& state) {
  OpenWindow w(int(state.range(0)));
  bool wide = false;
  for (auto _ : state) {
    wide = !wide;
    w.form->resize(wide ? 500 : 400, wide ? 420 : 350);  // a full layout and redraw each
  }
  state.counters["people"] = double(w.m.PersonCount);
}

BENCHMARK(BM_OpenAndDraw)->Arg(100)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Redraw)->Arg(100)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResizeRedraw)->Arg(100)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velnor

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  velnor::installFontSubstitutions();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
