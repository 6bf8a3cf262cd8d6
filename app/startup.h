#pragma once
// The start-up decisions, kept apart from main() so they can be tested: what the command
// line asks for, which folder holds the records, and the lock that keeps a second copy
// of the program off that folder.

#include <QLockFile>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace velnor {

class Module1;
class Form1;
class QtShell;
class Shell;

// The lock file earlier versions kept in the program folder; removed when no copy of the
// program holds it, so that a sync tool stops carrying it to other computers.
inline const QString kLockFileName = QStringLiteral("Velnor.lock");

// The lock of a program folder: in the user's runtime folder, never in the program folder
// (a sync tool would carry it to another computer), named from the folder's real path.
QString lockFilePathFor(const QString& programFolder);

// True when the lock file at `path` names a copy of this program that is running on this
// computer. A lock of another computer, or one that cannot be read (empty, garbage, a
// folder, a link to nowhere) once it is older than a lock's writing takes, names nobody.
bool lockOwnerAlive(const QString& path);

// "Velnor" and the program's version, as --version prints it.
QString versionText();

// The text to print instead of starting, when the only argument is --version, --help or
// -h; otherwise nothing.
std::optional<QString> informationFor(const QStringList& arguments);

// How the program ends before Qt starts: the exit code and the text for standard output
// (code 0) or standard error (code 2, a command line the program refuses).
struct EarlyEnd {
  int exitCode = 0;
  QString text;
};

// The early end for these arguments (the program's name first), or nothing when the
// program may start.
std::optional<EarlyEnd> endBeforeStarting(const QStringList& arguments);

// While it lives, Qt's failure to reach a screen (which Qt ends with an abort) prints
// "画面に接続できません" and ends the program with exit code 1. What Qt reports while it
// starts is held back and written when the guard goes, so a failed start prints one line.
class ScreenGuard {
 public:
  ScreenGuard();
  ~ScreenGuard();
  ScreenGuard(const ScreenGuard&) = delete;
  ScreenGuard& operator=(const ScreenGuard&) = delete;
};

// The program's name, version, desktop entry and window icon, for the desktop and for
// QStandardPaths. Call once after the QApplication exists.
void setApplicationIdentity();

// True when a file can be created (and removed again) in the folder. Asked of the file
// system itself: permission bits say nothing about read-only mounts, and root ignores them.
bool canCreateFilesIn(const QString& folder);

// True for the folders of the system (under /usr, /bin, /sbin, /lib*, /opt, /etc, /var
// but not /var/home) and for any folder another user owns.
bool isSystemLocation(const QString& folder);

// The folder that holds Velnor.ini and the record folders: the executable's folder
// whenever it is no system location and files can be created in it, otherwise the
// per-user `fallback`, created when missing.
QString chooseProgramFolder(const QString& executableFolder, const QString& fallback);

// The command line as one string: the arguments after the program name, joined by spaces.
QString commandLineOf(const QStringList& arguments);

// True when the program may start with this command line: an empty one, or one that
// (trimmed, without surrounding double quotes, trimmed again) begins with "%" and
// names something FileExists finds relative to the working directory.
bool commandLineAccepted(const QString& commandLine);

// Takes the program folder for this copy of the program: its lock, then the removal of
// what interrupted saves left. Null when another running copy holds the folder, or a stale
// lock cannot be removed: then the "起動できません" box has been shown and nothing in the
// folder was touched. Where no lock file can be made at all, the folder is used unlocked.
std::unique_ptr<QLockFile> claimProgramFolder(const Module1& m, Shell& shell);

// Removes the temporary files that an interrupted save may have left in the program
// folder and in its record folders.
void removeLeftoverSaves(const QString& programFolder);

// Loads the main window and shows it. Null when the program ended while it loaded
// (the welcome dialog closed at the first start); then nothing is shown. `shell`, when
// given, learns the main window before it loads, as the parent of the modal windows.
std::unique_ptr<Form1> openMainWindow(Module1& m, QtShell* shell = nullptr);

}  // namespace velnor
