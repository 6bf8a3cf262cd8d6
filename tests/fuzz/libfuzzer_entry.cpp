// libFuzzer's entry: a broken check aborts, so that libFuzzer keeps the input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/reader_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static velnor::fuzz::ReaderHarness harness;
  const QString problem =
      harness.run(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
  if (!problem.isEmpty()) {
    std::fprintf(stderr, "check failed: %s\n", qPrintable(problem));
    std::abort();
  }
  return 0;
}
