// Velnor: keeps return-visit records, one record folder per user beside the program.

#include <QApplication>
#include <QStandardPaths>
#include <cstdio>
#include <optional>

#include "app/handover.h"
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
  if (const auto end = velnor::endBeforeStarting(arguments)) {
    std::fputs(end->text.toLocal8Bit().constData(), end->exitCode == 0 ? stdout : stderr);
    return end->exitCode;
  }

  std::optional<velnor::ScreenGuard> screen(std::in_place);
  QApplication app(argc, argv);
  screen.reset();
  velnor::setApplicationIdentity();
  velnor::installFontSubstitutions();
  velnor::installTranslations(app);

  velnor::Module1 m(velnor::chooseProgramFolder(
      QCoreApplication::applicationDirPath(),
      QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)));

  velnor::QtShell shell(m);
  const std::unique_ptr<QLockFile> lock = velnor::claimProgramFolder(m, shell);
  if (!lock) return 0;

  // A second start on this folder brings these windows to the front.
  velnor::HandoverServer handover(m.programFolder(), [&m] {
    velnor::bringProgramToFront(dynamic_cast<QWidget*>(m.inputScreen));
  });
  m.shell = &shell;
  const std::unique_ptr<velnor::Form1> mainWindow = velnor::openMainWindow(m, &shell);
  if (!mainWindow) return 0;
  return app.exec();
}
