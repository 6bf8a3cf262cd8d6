#include <gtest/gtest.h>

#include "support/fakes.h"
#include "support/temp_program.h"

using namespace Qt::Literals::StringLiterals;
using velnor::test::FakeShell;
using velnor::test::TempProgram;

namespace velnor {
namespace {

class Settings : public ::testing::Test {
 protected:
  // Loads a settings file holding `lines`.
  Module1& load(const QStringList& lines) {
    p.writeBytes(kSettingsFileName, TempProgram::cp932Lines(lines));
    EXPECT_TRUE(p.m->LoadSettings());
    return *p.m;
  }
  QByteArray saved() const { return p.readBytes(kSettingsFileName); }
  TempProgram p;
};

TEST_F(Settings, FirstStartWritesTheFileWithNothingStoredYet) {
  ASSERT_TRUE(p.m->LoadSettings());
  EXPECT_EQ(saved(), TempProgram::dataBytes(u"settings/first_start.ini"_s));
}

TEST_F(Settings, FirstCloseWritesTheDefaults) {
  ASSERT_TRUE(p.m->LoadSettings());
  p.m->ApplyDefaults();
  p.m->LaunchCount = 1;
  p.m->CurrentFolder = u"%太郎"_s;
  ASSERT_TRUE(p.m->SaveSettings());
  EXPECT_EQ(saved(), TempProgram::dataBytes(u"settings/defaults.ini"_s));
}

// Negative positions, True, colours and the folder name all come back as they were.
TEST_F(Settings, AFileInUseIsSavedAgainByteForByte) {
  const QByteArray inUse = TempProgram::dataBytes(u"settings/in_use.ini"_s);
  p.writeBytes(kSettingsFileName, inUse);
  ASSERT_TRUE(p.m->LoadSettings());
  p.writeBytes(kSettingsFileName, {});
  ASSERT_TRUE(p.m->SaveSettings());
  EXPECT_EQ(saved(), inUse);
}

TEST_F(Settings, TheLastOccurrenceOfAKeyWins) {
  EXPECT_EQ(load({u"i104= 20 "_s, u"i104= 14 "_s}).RowHeight, 14);
}

TEST_F(Settings, AKeyIsNotTakenForALongerOneItBegins) {
  EXPECT_EQ(load({u"i104= 20 "_s, u"i104b= 12 "_s}).RowHeight, 20);
}

TEST_F(Settings, BracketedLinesAreComments) {
  EXPECT_EQ(load({u"i104= 14 "_s, u"[i104= 3 ]"_s, u"junk"_s}).RowHeight, 14);
}

TEST_F(Settings, KeysAreCaseSensitive) { EXPECT_FALSE(load({u"B101=True"_s}).InputScreenOpen); }

TEST_F(Settings, KeysAreFoundInAnyOrder) {
  Module1& m = load({u"s201=%鈴木"_s, u"L108(1)=-5 "_s, u"i119= 41 "_s});
  EXPECT_EQ(m.CurrentFolder, u"%鈴木"_s);
  EXPECT_EQ(m.BackColors[1], -5);
  EXPECT_EQ(m.LaunchCount, 41);
}

struct Unconvertible {
  const char16_t* line;
  qint32 (*value)(const Module1&);
  qint32 expected;  // after the defaults are applied
};

class UnconvertibleValue : public Settings, public ::testing::WithParamInterface<Unconvertible> {};

TEST_P(UnconvertibleValue, IsIgnoredAndTheDefaultApplies) {
  Module1& m = load({QString::fromUtf16(GetParam().line)});
  m.ApplyDefaults();
  EXPECT_EQ(GetParam().value(m), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, UnconvertibleValue,
    ::testing::Values(
        Unconvertible{u"i104=abc", [](const Module1& m) -> qint32 { return m.RowHeight; }, 10},
        Unconvertible{u"i104b=", [](const Module1& m) -> qint32 { return m.NoteFontSize; }, 9},
        // beyond 16 bits: ignored, not wrapped
        Unconvertible{u"i112= 99999 ", [](const Module1& m) -> qint32 { return m.MainWidth; },
                      5220},
        // outside 0..2
        Unconvertible{u"i120= 5 ", [](const Module1& m) -> qint32 { return m.DisplaySpan; }, 0},
        Unconvertible{u"b101=maybe", [](const Module1& m) -> qint32 { return m.InputScreenOpen; },
                      0}));

TEST_F(Settings, AFractionIsRounded) { EXPECT_EQ(load({u"i110= 7.6 "_s}).MainLeft, 8); }

TEST_F(Settings, AFailedSaveIsReportedWithTheFileName) {
  FakeShell shell;
  p.m->shell = &shell;
  p.m->CurrentFolder = u"%😀"_s;
  EXPECT_FALSE(p.m->SaveSettings());
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].title, u"保存できません"_s);
  EXPECT_TRUE(shell.messages[0].text.contains(kSettingsFileName));
}

// A folder name that could lead out of the program folder is never used.
TEST(SettingsFolderName, WithAPathPartIsTreatedAsMissing) {
  for (const QString& value : {u"%../他人"_s, u"%a/b"_s, u"%a\\b"_s, u"../%x"_s, u"%.."_s}) {
    TempProgram p;
    p.writeBytes(kSettingsFileName, TempProgram::cp932Lines({u"s201="_s + value}));
    ASSERT_TRUE(p.m->LoadSettings());
    EXPECT_EQ(p.m->CurrentFolder, QString()) << value.toStdString();
  }
}

}  // namespace
}  // namespace velnor
