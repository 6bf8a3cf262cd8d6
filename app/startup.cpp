#include "app/startup.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QStandardPaths>
#ifndef Q_OS_WIN
#include <QSvgRenderer>
#endif
#include <QSysInfo>
#include <QTemporaryFile>
#include <QThread>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <utility>

#ifdef Q_OS_UNIX
#include <signal.h>
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <windows.h>
#endif

#include "app/handover.h"
#include "app/qt_shell.h"
#include "core/daily_backup.h"
#include "core/module1.h"
#include "core/text_file.h"
#include "ui/main/form1.h"
#include "ui/settings/new_year_dialog.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {
namespace {

QString helpText() {
  return u"使い方: velnor [%記録フォルダー名]\n"
         u"\n"
         u"再訪問の記録を、訪問した人ごとに月の一覧表で管理します。\n"
         u"\n"
         u"  %記録フォルダー名  作業フォルダーにこの名前があるときだけ起動します。\n"
         u"                     ほかの引数では、理由を表示して終了します。\n"
         u"  --version          版数を表示して終了します。\n"
         u"  -h, --help         この説明を表示して終了します。\n"
         u"\n"
         u"終了コード: 0 正常終了、1 画面に接続できない、2 使えない引数。\n"
         u"\n"
         u"設定ファイル Velnor.ini と記録フォルダー（%名前）は、プログラムのあるフォルダーに\n"
         u"置かれます。そこがシステムのフォルダーか書き込めないときは、ユーザーのデータフォルダー\n"
         u"（通常は ~/.local/share/Velnor）に置かれます。\n"_s;
}

// The icon is drawn here rather than left to an icon plugin, so that every window has it
// wherever the program runs, installed or not.
QIcon programIcon() {
#ifdef Q_OS_WIN
  QIcon icon;
  for (const int side : {48, 64, 128}) icon.addFile(u":/icons/icons/%1.png"_s.arg(side));
  return icon;
#else
  QSvgRenderer svg(u":/icons/" VELNOR_APP_ID ".svg"_s);
  QIcon icon;
  if (!svg.isValid()) return icon;
  for (const int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    svg.render(&painter);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
#endif
}

}  // namespace

QString versionText() {
  return u"Velnor %1.%2.%3"_s.arg(VELNOR_VERSION_MAJOR)
      .arg(VELNOR_VERSION_MINOR)
      .arg(VELNOR_VERSION_PATCH);
}

std::optional<QString> informationFor(const QStringList& arguments) {
  if (arguments.size() != 2) return std::nullopt;
  if (arguments[1] == u"--version"_s) return versionText() + u'\n';
  if (arguments[1] == u"--help"_s || arguments[1] == u"-h"_s) return helpText();
  return std::nullopt;
}

std::optional<EarlyEnd> endBeforeStarting(const QStringList& arguments) {
  if (const auto text = informationFor(arguments)) return EarlyEnd{0, *text};
  const QString line = commandLineOf(arguments);
  if (commandLineAccepted(line)) return std::nullopt;
  const QString shown = line.trimmed();
  const QString why =
      shown.startsWith(u'-')
          ? u"「%1」という指定はありません。"_s.arg(shown)
          : u"「%1」では起動できません（作業フォルダーにある「%」で始まる名前だけを指定できます）。"_s
                .arg(shown);
  return EarlyEnd{
      2, u"velnor: "_s + why + u"使い方: velnor [%記録フォルダー名] | --help | --version\n"_s};
}

namespace {

QtMessageHandler handlerBeforeGuard = nullptr;
QStringList heldMessages;

void holdStartMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtFatalMsg) {
    std::fputs("画面に接続できません\n", stderr);
    std::_Exit(1);  // no abort, no core file: nothing of the program ran yet
  }
  heldMessages << qFormatLogMessage(type, context, text);
}

}  // namespace

ScreenGuard::ScreenGuard() { handlerBeforeGuard = qInstallMessageHandler(holdStartMessage); }

ScreenGuard::~ScreenGuard() {
  qInstallMessageHandler(handlerBeforeGuard);
  for (const QString& text : std::exchange(heldMessages, {}))
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

void setApplicationIdentity() {
  // No organization: the per-user data folder is then ~/.local/share/Velnor.
  QCoreApplication::setOrganizationName(QString());
  QCoreApplication::setOrganizationDomain(QString());
  QCoreApplication::setApplicationName(u"Velnor"_s);
  QCoreApplication::setApplicationVersion(versionText().section(u' ', 1));
  QGuiApplication::setDesktopFileName(u"" VELNOR_APP_ID ""_s);
  QApplication::setWindowIcon(programIcon());
}

bool canCreateFilesIn(const QString& folder) {
  if (!QFileInfo(folder).isDir()) return false;
  QTemporaryFile probe(QDir(folder).filePath(u"Velnor-probe-XXXXXX"_s));
  return probe.open();  // removed again when the probe goes
}

bool isSystemLocation(const QString& folder) {
  const QFileInfo info(folder);
  const QString real = info.canonicalFilePath().isEmpty() ? QDir::cleanPath(info.absoluteFilePath())
                                                          : info.canonicalFilePath();
#ifdef Q_OS_WIN
  // Windows keeps programs and itself in folders its users should not write to, even where
  // an administrator (or Wine) may.
  for (const char* name : {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432", "SystemRoot"}) {
    const QString top = QDir::fromNativeSeparators(qEnvironmentVariable(name));
    if (!top.isEmpty() && (real.compare(top, Qt::CaseInsensitive) == 0 ||
                           real.startsWith(top + u'/', Qt::CaseInsensitive)))
      return true;
  }
#else
  const auto under = [&](const QString& top) { return real == top || real.startsWith(top + u'/'); };
  if (under(u"/var/home"_s)) return false;  // the home folders of some systems
  for (const QString& top : {u"/usr"_s, u"/bin"_s, u"/sbin"_s, u"/opt"_s, u"/etc"_s, u"/var"_s})
    if (under(top)) return true;
  if (real.section(u'/', 1, 1).startsWith(u"lib"_s)) return true;  // /lib, /lib64, /libexec…
  // Another user's folder is theirs even where its modes let this user write.
  if (info.exists() && info.ownerId() != ::geteuid()) return true;
#endif
  return false;
}

QString chooseProgramFolder(const QString& executableFolder, const QString& fallback) {
  // An installed program leaves its files out of the system's folders, even as root.
  if (!isSystemLocation(executableFolder) && canCreateFilesIn(executableFolder))
    return executableFolder;
  // A folder that cannot be made shows up at the first save, with the reason.
  QDir().mkpath(fallback);
  return fallback;
}

QString commandLineOf(const QStringList& arguments) { return arguments.mid(1).join(u' '); }

bool commandLineAccepted(const QString& commandLine) {
  QString arg = commandLine.trimmed();
  if (commandLine.isEmpty()) return true;
  // A lone quote is not a quoted argument; it fails the "%" test below.
  if (arg.size() >= 2 && arg.startsWith(u'"') && arg.endsWith(u'"'))
    arg = arg.mid(1, arg.size() - 2);
  arg = arg.trimmed();
  return arg.startsWith(u'%') && Module1::FileExists(arg);
}

QString lockFilePathFor(const QString& programFolder) {
  const QFileInfo info(programFolder);
  const QString real =
      info.canonicalFilePath().isEmpty() ? info.absoluteFilePath() : info.canonicalFilePath();
  const QByteArray hash =
      QCryptographicHash::hash(real.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
  QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (runtime.isEmpty()) runtime = QDir::tempPath();
  return runtime + u"/velnor-"_s + QString::fromLatin1(hash) + u".lock"_s;
}

namespace {

// How long a lock file may take to get its content after it was made.
constexpr qint64 kLockWriteMs = 2000;

#ifdef Q_OS_UNIX
QString processName(qint64 pid) {
  QFile comm(u"/proc/%1/comm"_s.arg(pid));
  if (!comm.open(QIODevice::ReadOnly)) return {};
  return QString::fromLocal8Bit(comm.readAll()).trimmed();
}
#endif

bool processRuns(qint64 pid) {
  if (pid <= 0) return false;
  if (pid == QCoreApplication::applicationPid()) return true;
#ifdef Q_OS_UNIX
  if (::kill(pid_t(pid), 0) != 0 && errno != EPERM) return false;
  // A number taken again by another program after a crash is no copy of this one.
  const QString name = processName(pid);
  return name.isEmpty() || name == u"velnor"_s ||
         name == processName(QCoreApplication::applicationPid());
#elif defined(Q_OS_WIN)
  const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
  // No process has the number, or one runs that this user may not even ask.
  if (!process) return ::GetLastError() != ERROR_INVALID_PARAMETER;
  DWORD exitCode = 0;
  wchar_t path[MAX_PATH];
  DWORD size = MAX_PATH;
  const bool alive = ::GetExitCodeProcess(process, &exitCode) && exitCode == STILL_ACTIVE;
  const bool named = ::QueryFullProcessImageNameW(process, 0, path, &size);
  ::CloseHandle(process);
  if (!alive) return false;
  const QString name =
      named ? QFileInfo(QString::fromWCharArray(path, int(size))).fileName() : QString();
  return name.isEmpty() || name.compare(u"velnor.exe"_s, Qt::CaseInsensitive) == 0 ||
         name == QFileInfo(QCoreApplication::applicationFilePath()).fileName();
#else
  return true;
#endif
}

// A lock that names nobody is removed as the lock itself: a link, not what it points to;
// a folder only when it is empty.
bool removeStaleLock(const QString& path, QString* reason) {
  const QFileInfo info(path);
  errno = 0;
  const bool removed = info.isDir() && !info.isSymLink() ? QDir().rmdir(path) : QFile::remove(path);
  if (removed || (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())) return true;
  *reason = errno != 0 ? systemReason(errno) : u"フォルダーが空ではありません。"_s;
  return false;
}

void tellInUse(const Module1& m, Shell& shell) {
  shell.message(u"起動できません"_s,
                u"Velnorは、次のフォルダーを使ってすでに起動しています。\n\n"_s +
                    QDir::toNativeSeparators(m.programFolder()) +
                    u"\n\n起動しているVelnorの画面をお使いください。"_s,
                Buttons::Ok, Icon::Warning);
}

void tellStaleLock(Shell& shell, const QString& path, const QString& reason) {
  shell.message(
      u"起動できません"_s,
      u"前に使われたVelnorのロックファイルが残っていますが、取り除けません"
      u"（ほかのユーザーのファイルかもしれません）。\n"
      u"Velnorが起動していないことを確かめてから、次のファイルを削除してください。\n\n"_s +
          QDir::toNativeSeparators(path) + u"\n\n理由："_s + reason,
      Buttons::Ok, Icon::Warning);
}

// The running copy comes to the front; only when it cannot be asked is the user told.
void handOverOrTell(const Module1& m, Shell& shell) {
  if (!handOverToRunningCopy(m.programFolder())) tellInUse(m, shell);
}

// Removes the lock at `path` unless a running copy holds it. False (the user told) when
// the start must stop.
bool clearStaleLock(const Module1& m, Shell& shell, const QString& path) {
  if (lockOwnerAlive(path)) {
    handOverOrTell(m, shell);
    return false;
  }
  QString reason;
  if (removeStaleLock(path, &reason)) return true;
  tellStaleLock(shell, path, reason);
  return false;
}

bool lockFileExists(const QString& path) {
  const QFileInfo info(path);
  return info.exists() || info.isSymLink();
}

}  // namespace

bool lockOwnerAlive(const QString& path) {
  QDeadlineTimer writing(kLockWriteMs);
  for (;;) {
    QLockFile lock(path);
    qint64 pid = 0;
    QString host, app;
    if (lock.getLockInfo(&pid, &host, &app)) {
      // A lock carried over from another computer says nothing of this one.
      if (!host.isEmpty() && host != QSysInfo::machineHostName()) return false;
      return processRuns(pid);
    }
    // Made a moment ago, it may still be getting its content: wait that long, no longer.
    const QFileInfo info(path);
    // Against the file system's own time, never the program's clock (tests set that one).
    const qint64 age = info.lastModified().msecsTo(QDateTime::currentDateTime());
    if (!info.isFile() || age > kLockWriteMs || age < 0 || writing.hasExpired()) return false;
    QThread::msleep(20);
  }
}

std::unique_ptr<QLockFile> claimProgramFolder(const Module1& m, Shell& shell) {
  // The lock of an earlier version, in the program folder itself.
  const QString old = m.programPath(kLockFileName);
  if (lockFileExists(old) && !clearStaleLock(m, shell, old)) return nullptr;

  const QString path = lockFilePathFor(m.programFolder());
  QDir().mkpath(QFileInfo(path).absolutePath());
  auto lock = std::make_unique<QLockFile>(path);
  // Only the lock of a copy that no longer runs is taken over, however old it is.
  lock->setStaleLockTime(0);
  if (!lock->tryLock() && lock->error() == QLockFile::LockFailedError) {
    if (!clearStaleLock(m, shell, path)) return nullptr;
    if (!lock->tryLock() && lock->error() == QLockFile::LockFailedError) {
      handOverOrTell(m, shell);  // another copy took it in between
      return nullptr;
    }
  }
  // Only now is no other copy in the middle of a save that these files belong to.
  removeLeftoverSaves(m.programFolder());
  return lock;
}

void removeLeftoverSaves(const QString& programFolder) {
  removeStaleSaveFiles(programFolder);
  const QDir dir(programFolder);
  const auto folders = dir.entryList({u"%*"_s}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
  for (const QString& name : folders) removeStaleSaveFiles(dir.filePath(name));
  // Backup copies are saved the same way, one folder per record folder and day.
  QDirIterator backups(dir.filePath(kBackupFolderName), QDir::Dirs | QDir::NoDotAndDotDot,
                       QDirIterator::Subdirectories);
  while (backups.hasNext()) removeStaleSaveFiles(backups.next());
}

std::unique_ptr<Form1> openMainWindow(Module1& m, QtShell* shell) {
  auto f = std::make_unique<Form1>(m);
  if (shell) shell->setMainWidget(f.get());
  f->Form_Load();
  if (m.ProgramEnded) return nullptr;
  f->show();
  // The input screen opened before the main window showed; typing goes to its cursor.
  if (auto* input = dynamic_cast<QWidget*>(m.inputScreen)) {
    input->raise();
    input->activateWindow();
  }
  // Early in the year, the year just ended may still be in the months.
  if (m.OfferNewYear()) (void)closeYearAsked(m, f.get());
  return f;
}

}  // namespace velnor
