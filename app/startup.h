#pragma once
// The start-up check of the command line, kept apart from main() so it can be tested.

#include <QString>
#include <QStringList>
#include <memory>

namespace velnor {

class Module1;
class Form1;
class QtShell;

// The command line as one string: the arguments after the program name, joined by spaces.
QString commandLineOf(const QStringList& arguments);

// True when the program may start with this command line: an empty one, or one that
// (trimmed, without surrounding double quotes, trimmed again) begins with "%" and
// names something FileExists finds relative to the working directory.
bool commandLineAccepted(const Module1& m, const QString& commandLine);

// Removes the temporary files that an interrupted save may have left in the program
// folder and in its record folders.
void removeLeftoverSaves(const QString& programFolder);

// Loads the main window and shows it. Null when the program ended while it loaded
// (the welcome dialog closed at the first start); then nothing is shown. `shell`, when
// given, learns the main window before it loads, as the parent of the modal windows.
std::unique_ptr<Form1> openMainWindow(Module1& m, QtShell* shell = nullptr);

}  // namespace velnor
