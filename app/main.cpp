// Velnor: keeps return-visit records, one record folder per user beside the program.

#include <QApplication>

#include "app/qt_shell.h"
#include "app/startup.h"
#include "core/module1.h"
#include "ui/common/fonts.h"
#include "ui/common/translations.h"
#include "ui/main/form1.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  velnor::installFontSubstitutions();
  velnor::installTranslations(app);

  velnor::Module1 m(QCoreApplication::applicationDirPath());
  velnor::removeLeftoverSaves(m.programFolder());

  // A refused command line ends the program silently, before any window shows.
  if (!velnor::commandLineAccepted(m, velnor::commandLineOf(QCoreApplication::arguments())))
    return 0;

  velnor::QtShell shell(m);
  m.shell = &shell;
  const std::unique_ptr<velnor::Form1> mainWindow = velnor::openMainWindow(m, &shell);
  if (!mainWindow) return 0;
  return app.exec();
}
