#pragma once
// Program folders with one record folder of a given number of people, for the
// benchmarks, and a shell that answers every box with OK.

#include <QString>

#include "core/ports.h"

namespace velnor {
class Module1;
}
namespace velnor::bench {

// A program folder holding "%山田" with `people` people and, when `notes`, a note file
// for each; `busy` fills every month with 4 to 10 dates. Made once per kind and kept
// for the whole run.
QString programFolder(int people, bool notes = true, bool busy = false);
// A fresh copy of such a folder, for benchmarks that change it.
QString freshProgramFolder(int people, bool notes, bool busy = false);

class QuietShell : public Shell {
 public:
  Answer message(const QString&, const QString&, Buttons, Icon) override { return Answer::Ok; }
  void beep() override {}
  void endProgram() override {}
  void showWelcomeDialog() override {}
  void showInputScreen() override;
  void showSettingsScreen() override {}
  void showPrintWindow() override {}
  velnor::Module1* module = nullptr;
  bool openInput = false;  // whether showInputScreen opens the real input screen
};

// Peak resident memory of this process so far, in MB.
double peakMemoryMb();

// main() of a benchmark program with windows: the offscreen platform and the fonts the
// program uses, then the benchmarks asked for on the command line.
int runWindowBenchmarks(int argc, char** argv);
// main() of a benchmark program without windows.
int runCoreBenchmarks(int argc, char** argv);

}  // namespace velnor::bench
