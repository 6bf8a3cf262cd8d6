#pragma once
// Ctrl+E and Ctrl+I: the records of the folder in use to a spreadsheet file, and the file
// dialogs both commands open.

#include <QString>
#include <functional>

class QWidget;

namespace velnor {

class Module1;

// Asks for the file to write (`saving`) or to read, `proposed` being the path offered;
// an empty answer is a cancel. Tests put their own in place; an empty one restores the
// real dialogs.
using FileAsker = std::function<QString(QWidget* parent, bool saving, const QString& proposed)>;
void setFileAskerForTests(FileAsker asker);
QString askForFile(QWidget* parent, bool saving, const QString& proposed);

// Stores what the open input screen shows and differs from the files; false when that
// store failed (the user has been told).
bool storeShownPerson(Module1& m);

// Stores what the input screen shows, asks where to write (the documents folder,
// "<user>_<yyyyMMdd>.xlsx") and writes every person there with a progress window. False
// when cancelled or refused (the user has been told).
bool exportRecordsAsked(Module1& m, QWidget* parent);

}  // namespace velnor
