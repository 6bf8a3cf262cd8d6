#pragma once
// The start-up check of the command line, kept apart from main() so it can be tested.

#include <QString>
#include <QStringList>

namespace velnor {

class Module1;

// The command line as one string: the arguments after the program name, joined by spaces.
QString commandLineOf(const QStringList& arguments);

// True when the program may start with this command line: an empty one, or one that
// (trimmed, without surrounding double quotes, trimmed again) begins with "%" and
// names something FileExists finds relative to the working directory.
bool commandLineAccepted(const Module1& m, const QString& commandLine);

}  // namespace velnor
