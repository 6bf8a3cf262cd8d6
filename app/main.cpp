// Velnor: keeps return-visit records, one record folder per user beside the program.

#include <QApplication>
#include <QStandardPaths>
#include <cstdio>

#include "app/qt_shell.h"
#include "app/startup.h"
#include "core/module1.h"
#include "ui/common/fonts.h"
#include "ui/common/translations.h"
#include "ui/main/form1.h"

int main(int argc, char* argv[]) {
  // Answered before Qt starts: they need no display and write nothing.
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  if (const auto text = velnor::informationFor(arguments)) {
    std::fputs(text->toLocal8Bit().constData(), stdout);
    return 0;
  }

  QApplication app(argc, argv);
  velnor::setApplicationIdentity();
  velnor::installFontSubstitutions();
  velnor::installTranslations(app);

  velnor::Module1 m(velnor::chooseProgramFolder(
      QCoreApplication::applicationDirPath(),
      QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)));

  // A refused command line ends the program silently, before any window shows.
  if (!velnor::commandLineAccepted(m, velnor::commandLineOf(QCoreApplication::arguments())))
    return 0;

  velnor::QtShell shell(m);
  const std::unique_ptr<QLockFile> lock = velnor::claimProgramFolder(m, shell);
  if (!lock) return 0;

  m.shell = &shell;
  const std::unique_ptr<velnor::Form1> mainWindow = velnor::openMainWindow(m, &shell);
  if (!mainWindow) return 0;
  return app.exec();
}
