// Velnor: keeps return-visit records, one record folder per user beside the program.

#include <QApplication>
#include <QDir>

#include "app/qt_shell.h"
#include "app/startup.h"
#include "core/module1.h"
#include "core/text_file.h"
#include "ui/common/fonts.h"

namespace {

// A save interrupted by a crash or power loss leaves its temporary file behind.
void removeLeftoverSaves(const QString& programFolder) {
  velnor::removeStaleSaveFiles(programFolder);
  const QDir dir(programFolder);
  const auto folders =
      dir.entryList({QStringLiteral("%*")}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
  for (const QString& name : folders) velnor::removeStaleSaveFiles(dir.filePath(name));
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  velnor::installFontSubstitutions();

  velnor::Module1 m(QCoreApplication::applicationDirPath());
  removeLeftoverSaves(m.programFolder());

  // A refused command line ends the program silently, before any window shows.
  if (!velnor::commandLineAccepted(m, velnor::commandLineOf(QCoreApplication::arguments())))
    return 0;

  velnor::QtShell shell(m);
  m.shell = &shell;
  // TODO(app): create Form1 once ui/main provides it.
  return 0;
}
