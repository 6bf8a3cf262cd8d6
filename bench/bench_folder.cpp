#include "bench/bench_folder.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <map>
#include <memory>
#include <tuple>

#include "core/cp932.h"
#include "core/module1.h"
#include "ui/common/fonts.h"
#include "ui/entry/form3.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor::bench {

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write bench data");
  f.write(bytes);
}

std::vector<std::unique_ptr<QTemporaryDir>> kept;

void fill(const QString& root, int people, bool notes, bool busy) {
  const QString folder = root + u"/%山田"_s;
  QDir().mkpath(folder);
  const auto enc = [](const QString& text) { return cp932().encode(text).value(); };
  QByteArray index = enc(kIndexComment1 + u"\r\n"_s + kIndexComment2 + u"\r\n"_s);
  QByteArray note = enc(u"補足情報\r\n"_s);
  for (int k = 1; k <= 12; ++k) note += enc(Module1::DefaultMonthLine(k) + u"\r\n"_s);
  for (int i = 0; i < people; ++i) {
    const QString name = u"訪問先 "_s + QString::number(i);
    QString line = u"北"_s + QString::number(i % 9) + u'*' + name + u'*';
    for (int k = 1; k <= 12; ++k) {
      QString dates;
      if (busy) {  // 4 to 10 dates in every month
        for (int d = 0; d < 4 + (i + k) % 7; ++d)
          dates += (d ? u","_s : QString()) + QString::number(1 + d * 3 + (i + k) % 3);
      } else if ((i + k) % 3 == 0) {
        dates = QString::number(k) + u'/' + QString::number(i % 28 + 1);
      }
      line += dates + u'*';
    }
    index += enc(line + u"\r\n"_s);
    if (notes) writeFile(folder + u'/' + name + u".txt"_s, note);
  }
  writeFile(folder + u'/' + kIndexFileName, index);
  writeFile(root + u'/' + kSettingsFileName, enc(u"s201=%山田\r\n"_s));
}

}  // namespace

QString programFolder(int people, bool notes, bool busy) {
  static std::map<std::tuple<int, bool, bool>, QString> made;
  QString& path = made[{people, notes, busy}];
  if (path.isEmpty()) path = freshProgramFolder(people, notes, busy);
  return path;
}

QString freshProgramFolder(int people, bool notes, bool busy) {
  kept.push_back(std::make_unique<QTemporaryDir>());
  fill(kept.back()->path(), people, notes, busy);
  return kept.back()->path();
}

void QuietShell::showInputScreen() {
  if (!openInput || !module) return;
  auto* f = new Form3(*module);
  f->Form_Load();
  if (module->inputScreen == f) f->show();
}

double peakMemoryMb() {
  QFile status(u"/proc/self/status"_s);
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmHWM:"))
      return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
  return 0;
}

int runWindowBenchmarks(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  installFontSubstitutions();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

int runCoreBenchmarks(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace velnor::bench
