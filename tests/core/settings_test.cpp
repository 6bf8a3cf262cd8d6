#include <gtest/gtest.h>

#include "support/fakes.h"
#include "support/temp_program.h"

using namespace Qt::Literals::StringLiterals;
using velnor::test::FakeShell;
using velnor::test::TempProgram;

namespace velnor {
namespace {

QStringList settingsLines(const QStringList& values) {
  const QStringList keys = {u"[Velnorの設定記録ファイル]"_s,
                            u"[起動設定]"_s,
                            u"b101="_s,
                            u"[一覧表示の形式]"_s,
                            u"i103="_s,
                            u"[行の高さ]"_s,
                            u"i104="_s,
                            u"[補足情報の文字サイズ]"_s,
                            u"i104b="_s,
                            u"[フォームの背景色]"_s,
                            u"L108(0)="_s,
                            u"[一覧表の背景色]"_s,
                            u"L108(1)="_s,
                            u"[ボタンの色]"_s,
                            u"L108(2)="_s,
                            u"[一覧表の文字色]"_s,
                            u"L109(0)="_s,
                            u"[入力欄の文字色]"_s,
                            u"L109(1)="_s,
                            u"[メインの位置Ｘ]"_s,
                            u"i110="_s,
                            u"[メインの位置Ｙ]"_s,
                            u"i111="_s,
                            u"[メインの大きさＸ]"_s,
                            u"i112="_s,
                            u"[メインの大きさＹ]"_s,
                            u"i113="_s,
                            u"[入力画面の位置Ｘ]"_s,
                            u"i114="_s,
                            u"[入力画面の位置Ｙ]"_s,
                            u"i115="_s,
                            u"[入力画面の大きさＸ]"_s,
                            u"i116="_s,
                            u"[入力画面の大きさＹ]"_s,
                            u"i117="_s,
                            u"[並べ替えの種類]"_s,
                            u"i118="_s,
                            u"[起動回数]"_s,
                            u"i119="_s,
                            u"[表示形式]"_s,
                            u"i120="_s,
                            u"[前回終了時の記録フォルダー名]"_s,
                            u"s201="_s};
  QStringList out;
  int v = 0;
  for (const QString& k : keys) out << (k.startsWith(u'[') ? k : k + values.at(v++));
  return out;
}

TEST(Settings, FirstStartWritesZerosAndFalse) {
  TempProgram p;
  ASSERT_TRUE(p.m->LoadSettings());
  QStringList values = {u"False"_s, u"False"_s};
  for (int i = 0; i < 18; ++i) values << u" 0 "_s;
  values << QString();
  const QByteArray bytes = p.readBytes(u"Velnor.ini"_s);
  EXPECT_EQ(bytes, TempProgram::cp932Lines(settingsLines(values)));
  EXPECT_EQ(bytes.count("\r\n"), 43);
}

TEST(Settings, DefaultsAfterNormalCloseAreWrittenByteForByte) {
  TempProgram p;
  ASSERT_TRUE(p.m->LoadSettings());
  p.m->ApplyDefaults();
  p.m->LaunchCount = 1;
  p.m->MainTop = -30;
  p.m->CurrentFolder = u"%山田"_s;
  ASSERT_TRUE(p.m->SaveSettings());
  const QStringList values = {
      u"False"_s,      u"False"_s,  u" 10 "_s, u" 9 "_s, u" 12648384 "_s, u" 12648447 "_s,
      u" 16761024 "_s, u" 0 "_s,    u" 0 "_s,  u" 0 "_s, u"-30 "_s,       u" 5220 "_s,
      u" 4848 "_s,     u" 5220 "_s, u" 0 "_s,  u" 0 "_s, u" 0 "_s,        u" 0 "_s,
      u" 1 "_s,        u" 0 "_s,    u"%山田"_s};
  EXPECT_EQ(p.readBytes(u"Velnor.ini"_s), TempProgram::cp932Lines(settingsLines(values)));
}

TEST(Settings, ReorderedDuplicatedAndCapitalisedKeys) {
  TempProgram p;
  p.writeBytes(u"Velnor.ini"_s,
               TempProgram::cp932Lines({u"s201=%鈴木"_s, u"i104= 20 "_s, u"[i104= 3 ]"_s,
                                        u"B101=True"_s, u"i104b= 12 "_s, u"i104= 14 "_s,
                                        u"i119= 41 "_s, u"L108(1)=-5 "_s, u"junk"_s}));
  ASSERT_TRUE(p.m->LoadSettings());
  EXPECT_EQ(p.m->RowHeight, 14);  // the last occurrence wins; comments are skipped
  EXPECT_EQ(p.m->NoteFontSize, 12);
  EXPECT_FALSE(p.m->InputScreenOpen);  // "B101=" is not the key
  EXPECT_EQ(p.m->LaunchCount, 41);
  EXPECT_EQ(p.m->BackColors[1], -5);
  EXPECT_EQ(p.m->CurrentFolder, u"%鈴木"_s);
}

TEST(Settings, UnconvertibleValuesAreIgnoredAndDefaultsApply) {
  TempProgram p;
  p.writeBytes(u"Velnor.ini"_s,
               TempProgram::cp932Lines({u"i104=abc"_s, u"i104b="_s, u"i112= 99999 "_s,
                                        u"i120= 5 "_s, u"b101=maybe"_s, u"i110= 7.6 "_s}));
  ASSERT_TRUE(p.m->LoadSettings());
  p.m->ApplyDefaults();
  EXPECT_EQ(p.m->RowHeight, 10);
  EXPECT_EQ(p.m->NoteFontSize, 9);
  EXPECT_EQ(p.m->MainWidth, 5220);  // beyond 16 bits: ignored, not wrapped
  EXPECT_EQ(p.m->DisplaySpan, 0);   // 5 is outside 0..2
  EXPECT_FALSE(p.m->InputScreenOpen);
  EXPECT_EQ(p.m->MainLeft, 8);
}

TEST(Settings, WriteFailureIsReported) {
  TempProgram p;
  FakeShell shell;
  p.m->shell = &shell;
  p.m->CurrentFolder = u"%😀"_s;
  EXPECT_FALSE(p.m->SaveSettings());
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].title, u"保存できません"_s);
  EXPECT_TRUE(shell.messages[0].text.contains(u"Velnor.ini"_s));
}

// A folder name that could lead out of the program folder is never used.
TEST(Settings, FolderNameWithAPathPartIsTreatedAsMissing) {
  for (const QString& value : {u"%../他人"_s, u"%a/b"_s, u"%a\\b"_s, u"../%x"_s, u"%.."_s}) {
    TempProgram p;
    p.writeBytes(u"Velnor.ini"_s, TempProgram::cp932Lines({u"s201="_s + value}));
    ASSERT_TRUE(p.m->LoadSettings());
    EXPECT_EQ(p.m->CurrentFolder, QString()) << value.toStdString();
  }
}

}  // namespace
}  // namespace velnor
