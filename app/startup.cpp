#include "app/startup.h"

#include <QDir>
#include <QDirIterator>

#include "app/qt_shell.h"
#include "core/module1.h"
#include "core/text_file.h"
#include "ui/main/form1.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

QString commandLineOf(const QStringList& arguments) { return arguments.mid(1).join(u' '); }

bool commandLineAccepted(const Module1& m, const QString& commandLine) {
  QString arg = commandLine.trimmed();
  if (commandLine.isEmpty()) return true;
  // A lone quote is not a quoted argument; it fails the "%" test below.
  if (arg.size() >= 2 && arg.startsWith(u'"') && arg.endsWith(u'"'))
    arg = arg.mid(1, arg.size() - 2);
  arg = arg.trimmed();
  return arg.startsWith(u'%') && m.FileExists(arg);
}

void removeLeftoverSaves(const QString& programFolder) {
  removeStaleSaveFiles(programFolder);
  const QDir dir(programFolder);
  const auto folders = dir.entryList({u"%*"_s}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
  for (const QString& name : folders) removeStaleSaveFiles(dir.filePath(name));
  // Backup copies are saved the same way, one folder per record folder and day.
  QDirIterator backups(dir.filePath(u"バックアップ"_s), QDir::Dirs | QDir::NoDotAndDotDot,
                       QDirIterator::Subdirectories);
  while (backups.hasNext()) removeStaleSaveFiles(backups.next());
}

std::unique_ptr<Form1> openMainWindow(Module1& m, QtShell* shell) {
  auto f = std::make_unique<Form1>(m);
  if (shell) shell->setMainWidget(f.get());
  f->Form_Load();
  if (m.ProgramEnded) return nullptr;
  f->show();
  return f;
}

}  // namespace velnor
