#pragma once
// Feeds arbitrary bytes to the readers as an index file, a note file and a settings file,
// and as a spreadsheet to import, and checks what must hold for any input: nothing crashes, reading
// never changes a file that exists, and what is read comes back the same after a save.

#include <QByteArray>
#include <QString>

#include "support/temp_program.h"

namespace velnor::fuzz {

class ReaderHarness {
 public:
  ReaderHarness();
  // Empty when every check held; otherwise what went wrong.
  QString run(const QByteArray& bytes);

 private:
  QString checkTextLines(const QByteArray& bytes);
  QString checkIndex(const QByteArray& bytes);
  QString checkNote(const QByteArray& bytes);
  QString checkSettings(const QByteArray& bytes);
  QString checkSheet(const QByteArray& bytes);
  void reset();

  test::TempProgram tp_;
};

// Typical files of each kind, for a mutation run to start from.
QList<QByteArray> seedInputs();

}  // namespace velnor::fuzz
