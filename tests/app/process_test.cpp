// The built program, started as a user would start it, with command lines it must refuse.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

using namespace Qt::Literals::StringLiterals;

namespace {

class RefusedStartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(programDir.isValid());
    ASSERT_TRUE(workDir.isValid());
    program = programDir.filePath(u"velnor"_s);
    ASSERT_TRUE(QFile::copy(QString::fromUtf8(VELNOR_EXECUTABLE), program));
  }

  // Runs the copied program; true when it ended by itself within a few seconds.
  bool runEndsAtOnce(const QStringList& arguments) {
    QProcess p;
    p.setProgram(program);
    p.setArguments(arguments);
    p.setWorkingDirectory(workDir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    p.setProcessEnvironment(env);
    p.start();
    if (!p.waitForStarted(5000)) return false;
    if (!p.waitForFinished(8000)) {
      p.kill();
      p.waitForFinished(2000);
      return false;
    }
    exitCode = p.exitCode();
    return p.exitStatus() == QProcess::NormalExit;
  }

  bool settingsWritten() const { return QFile::exists(programDir.filePath(u"Velnor.ini"_s)); }

  QTemporaryDir programDir;
  QTemporaryDir workDir;
  QString program;
  int exitCode = -1;
};

TEST_F(RefusedStartTest, argumentNotBeginningWithPercent_endsWithoutWritingSettings) {
  QFile f(workDir.filePath(u"plain.txt"_s));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();
  ASSERT_TRUE(runEndsAtOnce({u"plain.txt"_s}));
  EXPECT_EQ(exitCode, 0);
  EXPECT_FALSE(settingsWritten());
}

TEST_F(RefusedStartTest, percentArgumentNamingNothing_endsWithoutWritingSettings) {
  ASSERT_TRUE(runEndsAtOnce({u"%誰も"_s}));
  EXPECT_EQ(exitCode, 0);
  EXPECT_FALSE(settingsWritten());
}

TEST_F(RefusedStartTest, recordFolderBesideTheProgramButNotInTheWorkingDirectory_isRefused) {
  ASSERT_TRUE(QDir(programDir.path()).mkdir(u"%太郎"_s));
  QFile f(programDir.filePath(u"%太郎/データー.vrd"_s));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();
  ASSERT_TRUE(runEndsAtOnce({u"%太郎/"_s}));
  EXPECT_FALSE(settingsWritten());
}

}  // namespace
