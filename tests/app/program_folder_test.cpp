// Where the program keeps its files, what it answers without starting, and the lock that
// keeps a second copy off a folder in use.
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QIcon>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QSysInfo>
#include <QWidget>
#include <QtTest/QTest>
#include <atomic>
#include <thread>

#include "app/handover.h"
#include "app/startup.h"
#include "support/fakes.h"
#include "support/temp_program.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {
namespace {

void setMode(const QString& path, QFile::Permissions p) {
  ASSERT_TRUE(QFile::setPermissions(path, p));
}

// Root may create files in any folder; a read-only folder needs an ordinary user's rights.
class AsOrdinaryUser {
 public:
  AsOrdinaryUser() {
    if (geteuid() != 0) return;
    const passwd* nobody = getpwnam("nobody");
    dropped_ = nobody && seteuid(nobody->pw_uid) == 0;
  }
  ~AsOrdinaryUser() {
    if (dropped_ && seteuid(0) != 0) std::abort();  // every later test would run as nobody
  }
  bool ready() const { return dropped_ || geteuid() != 0; }

 private:
  bool dropped_ = false;
};

constexpr auto kOpenToAll = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                            QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                            QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
constexpr auto kReadOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                           QFile::ReadOther | QFile::ExeOther;

TEST(ProgramFolder, aReadOnlyFolder_givesWayToTheUserDataFolder_createdForIt) {
  test::TempProgram root;
  const QString installed = root.path(u"bin"_s), home = root.path(u"home"_s);
  const QString fallback = home + u"/.local/share/Velnor"_s;
  ASSERT_TRUE(QDir().mkpath(installed) && QDir().mkpath(home));
  setMode(root.path(), kReadOnly | QFile::WriteOwner);
  setMode(installed, kReadOnly);
  setMode(home, kOpenToAll);
  QString chosen;
  {
    AsOrdinaryUser user;
    ASSERT_TRUE(user.ready());
    chosen = chooseProgramFolder(installed, fallback);
  }
  EXPECT_EQ(chosen, fallback);
  EXPECT_TRUE(QFileInfo(fallback).isDir());
  EXPECT_TRUE(root.entries(u"bin"_s).isEmpty());
}

// A folder of the user's that files can be created in is kept and left as it was; a
// system's folder or another user's never is.
TEST(ProgramFolder, aFolderFilesCanBeCreatedIn_isKept_butNeverTheSystemsOrAnotherUsers) {
  for (const QString& f : {u"/usr/bin"_s, u"/usr/local/bin"_s, u"/bin"_s, u"/sbin"_s, u"/lib64"_s,
                           u"/libexec/velnor"_s, u"/opt/velnor"_s, u"/etc"_s, u"/var/lib/velnor"_s,
                           u"/usr/../usr/bin"_s})
    EXPECT_TRUE(isSystemLocation(f)) << f.toStdString();
  test::TempProgram mine, user;
  for (const QString& f : {mine.path(), u"/var/home/someone/Velnor"_s, u"/srv/velnor"_s})
    EXPECT_FALSE(isSystemLocation(f)) << f.toStdString();
  const QString fallback = user.path(u"share/Velnor"_s);
  EXPECT_EQ(chooseProgramFolder(mine.path(), fallback), mine.path());
  EXPECT_TRUE(mine.entries().isEmpty());  // the probe file is gone again
  EXPECT_FALSE(QFileInfo::exists(fallback));

  // Even where root may write, nothing is left in a system folder: not even the probe.
  const QStringList before = QDir(u"/usr/bin"_s).entryList(QDir::AllEntries | QDir::Hidden);
  EXPECT_EQ(chooseProgramFolder(u"/usr/bin"_s, fallback), fallback);
  EXPECT_EQ(QDir(u"/usr/bin"_s).entryList(QDir::AllEntries | QDir::Hidden), before);

  if (geteuid() == 0) {  // a writable folder of another user's
    const passwd* nobody = getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    test::TempProgram theirs;
    setMode(theirs.path(), kOpenToAll);
    ASSERT_EQ(::chown(theirs.path().toLocal8Bit().constData(), nobody->pw_uid, nobody->pw_gid), 0);
    EXPECT_EQ(chooseProgramFolder(theirs.path(), fallback), fallback);
    EXPECT_TRUE(theirs.entries().isEmpty());
  }
}

TEST(Identity, recordsGoToVelnorInTheUserDataFolder_andWindowsGetTheDrawnIcon) {
  setApplicationIdentity();
  EXPECT_EQ(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation),
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/Velnor"_s);
  for (const int side : {16, 256}) {
    const QImage icon = QApplication::windowIcon().pixmap(side, side).toImage();
    ASSERT_EQ(icon.size(), QSize(side, side));
    // A page with rounded corners: drawn in the middle, nothing in the corner.
    EXPECT_EQ(qAlpha(icon.pixel(side / 2, side / 2)), 255) << side;
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0) << side;
  }
}

// A copy of the built program in a program folder of its own.
struct InstalledCopy {
  InstalledCopy() {
    if (!QFile::copy(QString::fromUtf8(VELNOR_EXECUTABLE), program))
      qFatal("cannot copy the program");
  }
  test::TempProgram folder, user;
  const QString program = folder.path(u"velnor"_s);
};

// Starts that end before the program chooses its folder: --version and --help print
// without a display (exit 0); an argument the program refuses is named in one line with
// the usage (exit 2); without a screen that answers it says so (exit 1). None creates a
// file or a folder.
struct EndsAtOnce {
  QString arg, platform, display;
  int code;
};

TEST(StartsThatEndAtOnce, sayWhyOnTheirStreamAndCreateNothing) {
  InstalledCopy copy;
  copy.folder.writeBytes(u"%太郎/データー.vrd"_s, "x\r\n");
  test::TempProgram work;
  work.writeBytes(u"plain.txt"_s, "x\r\n");
  const QString version = u"Velnor %1.%2.%3\n"_s.arg(VELNOR_VERSION_MAJOR)
                              .arg(VELNOR_VERSION_MINOR)
                              .arg(VELNOR_VERSION_PATCH);
  const QString help = informationFor({u"velnor"_s, u"--help"_s}).value_or(QString());
  EXPECT_TRUE(help.contains(u"使い方"_s) && help.contains(u"--version"_s));
  const QString offscreen = u"offscreen"_s, none = u"no-such-platform"_s;
  // Refused: exists but lacks "%"; names nothing; exists beside the program, not in the
  // working folder; options the program does not know. No screen: no X server answers at
  // :97, none is named, a platform that does not exist.
  const EndsAtOnce starts[] = {{u"--version"_s, none, {}, 0},
                               {u"--help"_s, none, {}, 0},
                               {u"plain.txt"_s, offscreen, {}, 2},
                               {u"%誰も"_s, offscreen, {}, 2},
                               {u"%太郎/"_s, offscreen, {}, 2},
                               {u"--Version"_s, offscreen, {}, 2},
                               {u"--bogus"_s, offscreen, {}, 2},
                               {u"-x"_s, offscreen, {}, 2},
                               {{}, u"xcb"_s, u":97"_s, 1},
                               {{}, u"xcb"_s, {}, 1},
                               {{}, none, u":0"_s, 1}};
  for (const EndsAtOnce& start : starts) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"QT_QPA_PLATFORM"_s, start.platform);  // a window would end in a crash
    env.remove(u"WAYLAND_DISPLAY"_s);
    if (start.display.isEmpty())
      env.remove(u"DISPLAY"_s);
    else
      env.insert(u"DISPLAY"_s, start.display);
    env.insert(u"HOME"_s, copy.user.path());
    env.insert(u"XDG_DATA_HOME"_s, copy.user.path(u"data"_s));
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(work.path());
    p.start(copy.program, start.arg.isEmpty() ? QStringList() : QStringList{start.arg});
    SCOPED_TRACE((start.arg + u' ' + start.platform + u' ' + start.display).toStdString());
    ASSERT_TRUE(p.waitForFinished(8000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);  // no abort
    EXPECT_EQ(p.exitCode(), start.code);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    const QString said = QString::fromLocal8Bit(p.readAllStandardError());
    EXPECT_EQ(out, start.code != 0 ? QString() : start.arg == u"--help"_s ? help : version);
    if (start.code == 1) {
      EXPECT_EQ(said, u"画面に接続できません\n"_s);
    }
    if (start.code == 2) {
      EXPECT_EQ(said.count(u'\n'), 1) << said.toStdString();
      EXPECT_TRUE(said.contains(u"「"_s + start.arg + u"」"_s)) << said.toStdString();
      EXPECT_TRUE(said.contains(u"使い方: velnor"_s)) << said.toStdString();
    }
    EXPECT_EQ(copy.folder.entries(), (QStringList{u"%太郎"_s, u"velnor"_s}));
    EXPECT_TRUE(copy.user.entries().isEmpty());
  }
}

TEST(ProgramLock, aSecondCopyIsToldTheFolderIsInUse_andTouchesNothingInIt) {
  test::TempProgram tp;
  test::FakeShell first, second;
  std::unique_ptr<QLockFile> running = claimProgramFolder(*tp.m, first);
  ASSERT_TRUE(running && running->isLocked());
  const QString leftover = u"%太郎/.データー.vrd.velnor-tmp-Ab12Cd"_s;  // the running copy's save
  tp.writeBytes(leftover, "x\r\n");

  EXPECT_EQ(claimProgramFolder(*tp.m, second), nullptr);
  ASSERT_EQ(second.messages.size(), 1);
  EXPECT_EQ(second.messages[0].title, u"起動できません"_s);
  EXPECT_TRUE(second.messages[0].text.contains(QDir::toNativeSeparators(tp.path())));
  EXPECT_EQ(second.messages[0].buttons, Buttons::Ok);
  EXPECT_TRUE(tp.exists(leftover));
  EXPECT_TRUE(first.messages.isEmpty());

  running.reset();  // the first copy ends; the next start takes the folder and tidies it
  test::FakeShell third;
  EXPECT_NE(claimProgramFolder(*tp.m, third), nullptr);
  EXPECT_TRUE(third.messages.isEmpty());
  EXPECT_FALSE(tp.exists(leftover));
}

// A second start, in this process or as a program of its own, is handed over to the running
// copy: no box, exit 0, the first goes on.
TEST(ProgramLock, aRunningProgramHoldsItsFolderAgainstSecondStarts_untilItCrashes) {
  InstalledCopy copy;
  copy.folder.makeFolder(u"太郎"_s, test::TempProgram::cp932Lines({u"区域*名前*************"_s}));
  QProcess running;  // offscreen, from this process's environment: a box would wait for ever
  running.start(copy.program, {});
  const QString lockFile = lockFilePathFor(copy.folder.path());
  // The lock file is made first and filled after: a copy killed between the two leaves a lock
  // that names no process, which is not taken for a stale one.
  ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(lockFile).size() > 0; }, 8000));
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return QFileInfo::exists(handoverSocketFor(copy.folder.path())); }, 8000));

  Module1 m(copy.folder.path());
  test::FakeShell shell;
  EXPECT_EQ(claimProgramFolder(m, shell), nullptr);
  EXPECT_TRUE(shell.messages.isEmpty());
  QProcess second;
  second.start(copy.program, {});
  ASSERT_TRUE(second.waitForFinished(8000));
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_EQ(running.state(), QProcess::Running);

  running.kill();
  ASSERT_TRUE(running.waitForFinished(8000));
  ASSERT_TRUE(QFileInfo::exists(lockFile));  // a crash leaves its lock behind
  EXPECT_NE(claimProgramFolder(m, shell), nullptr);
  EXPECT_TRUE(shell.messages.isEmpty());
}

TEST(Handover, aSecondStartBringsTheRunningCopysWindowsToTheFront_typingGoesToTheInputScreen) {
  test::TempProgram tp;
  QWidget main, input;
  main.showMinimized();
  input.show();
  QWidget elsewhere;  // the window the user had in front
  elsewhere.show();
  elsewhere.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
  HandoverServer server(tp.path(), [&] { bringProgramToFront(&input); });
  ASSERT_TRUE(server.listening());

  std::atomic<int> answered = -1;  // the second copy waits for its answer; this loop gives it
  std::thread second([&] { answered = handOverToRunningCopy(tp.path()) ? 1 : 0; });
  const bool done = QTest::qWaitFor([&] { return answered != -1; }, 8000);
  second.join();
  ASSERT_TRUE(done);
  EXPECT_EQ(answered, 1);
  EXPECT_FALSE(main.isMinimized());
  EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &input; }));

  // Nobody listening for another folder: the second copy gives up within its time.
  test::TempProgram other;
  QElapsedTimer asked;
  asked.start();
  EXPECT_FALSE(handOverToRunningCopy(other.path(), 300));
  EXPECT_LT(asked.elapsed(), 2000);
}

// Locks that no running copy holds: left by a copy killed on this computer, carried over by a
// sync tool from another one, cut off, garbled, or something else under the lock's name.
struct StaleLock {
  const char* name;
  QByteArray bytes;
  enum { File, Folder, Link } what = File;
};

void PrintTo(const StaleLock& lock, std::ostream* os) { *os << lock.name; }

// A file older than a lock's writing takes (nothing is still filling it in), a folder or a
// link to nowhere.
void plant(const StaleLock& lock, const QString& path) {
  if (lock.what == StaleLock::Folder) return void(QDir().mkpath(path));
  if (lock.what == StaleLock::Link) return void(QFile::link(path + u".gone"_s, path));
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(lock.bytes);
  f.close();
  ASSERT_TRUE(f.open(QIODevice::ReadWrite));
  ASSERT_TRUE(
      f.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
}

class StaleLockTest : public ::testing::TestWithParam<StaleLock> {};

TEST_P(StaleLockTest, isTakenOver_inTheRuntimeFolderAndBesideTheProgram) {
  for (const bool besideTheProgram : {false, true}) {
    test::TempProgram tp;
    const QString path = besideTheProgram ? tp.path(kLockFileName) : lockFilePathFor(tp.path());
    QDir().mkpath(QFileInfo(path).absolutePath());
    plant(GetParam(), path);
    ASSERT_TRUE(QFileInfo(path).isSymLink() || QFileInfo::exists(path)) << GetParam().name;
    const std::unique_ptr<QLockFile> lock = claimProgramFolder(*tp.m, tp.shell);
    EXPECT_TRUE(lock && lock->isLocked()) << GetParam().name << besideTheProgram;
    EXPECT_TRUE(tp.shell.messages.isEmpty()) << GetParam().name;
    // Nothing is left in the program folder for a sync tool to carry away.
    EXPECT_FALSE(tp.exists(kLockFileName)) << GetParam().name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, StaleLockTest,
    ::testing::Values(StaleLock{"empty", {}}, StaleLock{"garbage", "\xff\xfe not a lock"},
                      StaleLock{
                          "a process that is gone",
                          "999999999\nvelnor\n" + QSysInfo::machineHostName().toUtf8() + "\n"},
                      StaleLock{"another computer's running copy",
                                QByteArray::number(QCoreApplication::applicationPid()) +
                                    "\nvelnor\nthe-other-computer\n"},
                      StaleLock{"a folder", {}, StaleLock::Folder},
                      StaleLock{"a link to nowhere", {}, StaleLock::Link}),
    [](const auto& info) {
      QString name = QString::fromUtf8(info.param.name);
      name.replace(u' ', u'_').remove(u'\'');
      return name.toStdString();
    });

}  // namespace
}  // namespace velnor
