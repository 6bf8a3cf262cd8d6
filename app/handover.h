#pragma once
// A second start of the program on a folder in use hands over to the running copy, which
// brings its windows to the front, instead of telling the user to go and find them.

#include <QLocalServer>
#include <QString>
#include <functional>

namespace velnor {

// The local socket of the copy that holds `programFolder`: beside its lock, in the user's
// runtime folder.
QString handoverSocketFor(const QString& programFolder);

// Listens in the running copy, which holds the folder's lock; each request that arrives
// runs `bringToFront` and is answered once it ran.
class HandoverServer : public QObject {
 public:
  HandoverServer(const QString& programFolder, std::function<void()> bringToFront);
  bool listening() const { return server_.isListening(); }

 private:
  void answer();
  QLocalServer server_;
  std::function<void()> bringToFront_;
};

// Asks the copy that holds `programFolder` to come to the front. True once it answered
// within `timeoutMs`; false when nobody listened or answered in that time (a copy of an
// earlier version, or one that hangs).
bool handOverToRunningCopy(const QString& programFolder, int timeoutMs = 2000);

// Restores and raises every window the program shows and activates the one the user
// types into: the modal window when one is open, else the input screen when it is open
// (`inputScreen`, may be null), else the main window.
void bringProgramToFront(QWidget* inputScreen);

}  // namespace velnor
