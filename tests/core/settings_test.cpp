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

// Negative positions, True, colours and the folder name all come back as they were.
TEST_F(Settings, AFileInUseIsSavedAgainByteForByte) {
  const QByteArray inUse = TempProgram::dataBytes(u"settings/in_use.ini"_s);
  p.writeBytes(kSettingsFileName, inUse);
  ASSERT_TRUE(p.m->LoadSettings());
  p.writeBytes(kSettingsFileName, {});
  ASSERT_TRUE(p.m->SaveSettings());
  EXPECT_EQ(saved(), inUse);
}

// Lines of a settings file and the value one setting then has, the defaults applied after.
struct Reading {
  QStringList lines;
  qint32 (*value)(const Module1&);
  qint32 expected;
};

class ReadingLines : public Settings, public ::testing::WithParamInterface<Reading> {};

TEST_P(ReadingLines, GiveTheSettingItsValueOrTheDefault) {
  Module1& m = load(GetParam().lines);
  m.ApplyDefaults();
  EXPECT_EQ(GetParam().value(m), GetParam().expected) << GetParam().lines.join(u'|').toStdString();
}

qint32 rowHeight(const Module1& m) { return m.RowHeight; }

INSTANTIATE_TEST_SUITE_P(
    Lines, ReadingLines,
    ::testing::Values(
        Reading{{u"i104= 20 "_s, u"i104= 14 "_s}, rowHeight, 14},              // the last one wins
        Reading{{u"i104= 20 "_s, u"i104b= 12 "_s}, rowHeight, 20},             // not a longer key
        Reading{{u"i104= 14 "_s, u"[i104= 3 ]"_s, u"junk"_s}, rowHeight, 14},  // comments
        Reading{{u"s201=%鈴木"_s, u"i119= 41 "_s, u"i104= 14 "_s}, rowHeight, 14},  // any order
        Reading{{u"i104=abc"_s}, rowHeight, 10},                                    // no number
        Reading{{u"i104b="_s}, [](const Module1& m) -> qint32 { return m.NoteFontSize; }, 9},
        // beyond 16 bits: ignored, not wrapped
        Reading{{u"i112= 99999 "_s}, [](const Module1& m) -> qint32 { return m.MainWidth; }, 5220},
        Reading{{u"i110= 7.6 "_s}, [](const Module1& m) -> qint32 { return m.MainLeft; }, 8},
        // outside 0..2
        Reading{{u"i120= 5 "_s}, [](const Module1& m) -> qint32 { return m.DisplaySpan; }, 0},
        Reading{{u"b101=maybe"_s}, [](const Module1& m) -> qint32 { return m.InputScreenOpen; }, 0},
        Reading{{u"B101=True"_s},  // keys are case-sensitive
                [](const Module1& m) -> qint32 { return m.InputScreenOpen; },
                0}));

TEST_F(Settings, AFailedSaveIsReportedWithTheFileName) {
  const FakeShell& shell = p.shell;
  p.m->CurrentFolder = u"%😀"_s;
  EXPECT_FALSE(p.m->SaveSettings());
  EXPECT_EQ(shell.titles(), u"保存できません"_s);
  EXPECT_TRUE(shell.messages.value(0).text.contains(kSettingsFileName));
}

// A folder name that could lead out of the program folder is never used; dots inside a
// name are part of it (the welcome dialog accepts such names).
TEST(SettingsFolderName, WithAPathPartIsTreatedAsMissingAndDotsInsideAreKept) {
  for (const QString& value :
       {u"%../他人"_s, u"%a/b"_s, u"%a\\b"_s, u"../%x"_s, u".."_s, u"%a..b"_s}) {
    TempProgram p;
    p.writeBytes(kSettingsFileName, TempProgram::cp932Lines({u"s201="_s + value}));
    ASSERT_TRUE(p.m->LoadSettings());
    EXPECT_EQ(p.m->CurrentFolder, value == u"%a..b"_s ? value : QString()) << value.toStdString();
  }
}

}  // namespace
}  // namespace velnor
