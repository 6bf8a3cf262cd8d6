// The command-line check that decides, before any window shows, whether the program runs.
#include <gtest/gtest.h>

#include <QDir>

#include "app/startup.h"
#include "support/temp_program.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {
namespace {

// Runs each case with the working directory inside a temporary folder that holds
// the file "%太郎.txt" and the folder "%花子" (which holds a file).
class CommandLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = QDir::currentPath();
    work.writeBytes(u"%太郎.txt"_s, "x\r\n");
    work.writeBytes(u"%花子/データー.vrd"_s, "x\r\n");
    work.writeBytes(u"plain.txt"_s, "x\r\n");
    ASSERT_TRUE(QDir::setCurrent(work.path()));
  }
  void TearDown() override { QDir::setCurrent(saved); }

  bool accepted(const QString& line) { return commandLineAccepted(*program.m, line); }

  QString saved;
  test::TempProgram work;     // the working directory
  test::TempProgram program;  // the program folder, elsewhere
};

TEST_F(CommandLineTest, emptyCommandLine_isAccepted) { EXPECT_TRUE(accepted(QString())); }

TEST_F(CommandLineTest, percentNameThatExists_isAccepted) {
  EXPECT_TRUE(accepted(u"%太郎.txt"_s));
  EXPECT_TRUE(accepted(u"  %太郎.txt  "_s));
}

TEST_F(CommandLineTest, recordFolderWithTrailingSeparator_isAccepted) {
  EXPECT_TRUE(accepted(u"%花子/"_s));
}

TEST_F(CommandLineTest, quotedArgument_isCheckedWithoutQuotes) {
  EXPECT_TRUE(accepted(u"\"%太郎.txt\""_s));
  EXPECT_TRUE(accepted(u"  \" %太郎.txt \"  "_s));
}

TEST_F(CommandLineTest, argumentNotBeginningWithPercent_isRefused) {
  EXPECT_FALSE(accepted(u"plain.txt"_s));
  EXPECT_FALSE(accepted(u"\"plain.txt\""_s));
}

TEST_F(CommandLineTest, percentNameThatDoesNotExist_isRefused) {
  EXPECT_FALSE(accepted(u"%次郎"_s));
  EXPECT_FALSE(accepted(u"\"%次郎\""_s));
}

TEST_F(CommandLineTest, halfQuotedOrBlankArguments_areRefused) {
  EXPECT_FALSE(accepted(u"\"%太郎.txt"_s));
  EXPECT_FALSE(accepted(u"%太郎.txt\""_s));
  EXPECT_FALSE(accepted(u"\""_s));
  EXPECT_FALSE(accepted(u"\"\""_s));
  EXPECT_FALSE(accepted(u"   "_s));
}

TEST_F(CommandLineTest, nameIsLookedUpInTheWorkingDirectory_notTheProgramFolder) {
  program.writeBytes(u"%次郎.txt"_s, "x\r\n");
  EXPECT_FALSE(accepted(u"%次郎.txt"_s));
}

TEST_F(CommandLineTest, argumentsAreJoinedWithSpaces) {
  work.writeBytes(u"%山田 太郎"_s, "x\r\n");
  const QString line = commandLineOf({u"velnor"_s, u"%山田"_s, u"太郎"_s});
  EXPECT_EQ(line, u"%山田 太郎"_s);
  EXPECT_TRUE(accepted(line));
  EXPECT_TRUE(commandLineOf({u"velnor"_s}).isEmpty());
}

}  // namespace
}  // namespace velnor
