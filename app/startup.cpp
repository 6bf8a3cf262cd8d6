#include "app/startup.h"

#include "core/module1.h"

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

}  // namespace velnor
