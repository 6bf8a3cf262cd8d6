#include "core/module1.h"

#include <QDir>

namespace velnor {

Module1::Module1(const QString& programFolder)
    : programFolder_(QDir::cleanPath(programFolder)) {}

QString Module1::programPath(const QString& name) const { return programFolder_ + u'/' + name; }

void Module1::EndProgram() {
  ProgramEnded = true;
  if (shell) shell->endProgram();
}

}  // namespace velnor
