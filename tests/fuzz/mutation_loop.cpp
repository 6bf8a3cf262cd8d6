// A seeded random-mutation run over the readers, for compilers without libFuzzer. The same
// seed and count give the same inputs, so a failure can be run again.
//   fuzz_readers [--seed N] [--runs N] [--seconds N] [--save-failure FILE]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <random>

#include "fuzz/reader_harness.h"

namespace {

using Random = std::mt19937_64;

// Bytes that steer the readers: field and line ends, comment starts, key names, CP932 lead
// bytes without and with a trail byte, numbers at and beyond the 16- and 32-bit limits.
const QList<QByteArray> kTokens =
    QByteArray(
        "*|[|\r\n|\n|\r|=|b101=|i104=|i104b=|L108(2)=|i119=|s201=|s201=%|True|False| 32767 |"
        " 32768 |-32769 | 2147483647 |-2147483648| 1e300 | nan |\x81|\x82\xa0|\x87\x40|\xff|"
        "\x85\x40|..|/|\\|%|**************")
        .split('|') +
    QList<QByteArray>{QByteArray(1, '\0')};

int below(Random& rng, qsizetype n) {
  return n <= 0 ? 0 : int(std::uniform_int_distribution<qsizetype>(0, n - 1)(rng));
}

QByteArray mutate(QByteArray data, const QList<QByteArray>& pool, Random& rng) {
  const int steps = 1 + below(rng, 4);
  for (int s = 0; s < steps; ++s) {
    const int at = below(rng, data.size() + 1);
    switch (below(rng, 7)) {
      case 0:
        if (!data.isEmpty()) data[below(rng, data.size())] ^= char(1 << below(rng, 8));
        break;
      case 1:
        data.insert(at, char(below(rng, 256)));
        break;
      case 2: {
        data.insert(at, kTokens[below(rng, kTokens.size())]);
        break;
      }
      case 3:
        data.remove(at, below(rng, 16) + 1);
        break;
      case 4:  // repeat a stretch, which grows lines and record counts
        data.insert(at, data.mid(below(rng, data.size() + 1), below(rng, 64) + 1));
        break;
      case 5: {  // splice in part of another input
        const QByteArray& other = pool[below(rng, pool.size())];
        data.insert(at, other.mid(below(rng, other.size() + 1), below(rng, 256) + 1));
        break;
      }
      default:
        data.truncate(at);
        break;
    }
  }
  return data.left(64 * 1024);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  const auto option = [&](const char* name, const QString& fallback) {
    const qsizetype i = args.indexOf(QLatin1String(name));
    return i > 0 && i + 1 < args.size() ? args[i + 1] : fallback;
  };
  const quint64 seed = option("--seed", QStringLiteral("1")).toULongLong();
  const qint64 runs = option("--runs", QStringLiteral("2000")).toLongLong();
  const qint64 seconds = option("--seconds", QStringLiteral("0")).toLongLong();
  const QString failureFile = option("--save-failure", QStringLiteral("fuzz-failure.bin"));

  velnor::fuzz::ReaderHarness harness;
  Random rng(seed);
  QList<QByteArray> pool = velnor::fuzz::seedInputs();
  const qsizetype seeds = pool.size();
  QElapsedTimer clock;
  clock.start();
  qint64 done = 0;
  for (; seconds > 0 ? clock.elapsed() < seconds * 1000 : done < runs; ++done) {
    const QByteArray input =
        done < seeds ? pool[done] : mutate(pool[below(rng, pool.size())], pool, rng);
    const QString problem = harness.run(input);
    if (!problem.isEmpty()) {
      QFile out(failureFile);
      if (out.open(QIODevice::WriteOnly)) out.write(input);
      std::printf("input %lld (seed %llu): %s; saved as %s\n", done, seed, qPrintable(problem),
                  qPrintable(failureFile));
      return 1;
    }
    // Some results become parents, so that changes pile up over a run.
    if (below(rng, 8) == 0) {
      if (pool.size() < 256)
        pool << input;
      else
        pool[seeds + below(rng, pool.size() - seeds)] = input;
    }
  }
  std::printf("%lld inputs from seed %llu in %.1f s, every check held\n", done, seed,
              clock.elapsed() / 1000.0);
  return 0;
}
