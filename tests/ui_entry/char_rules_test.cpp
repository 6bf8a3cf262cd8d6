// The rules behind the input screen's boxes, without a window.

#include <gtest/gtest.h>

#include "ui/entry/char_rules.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {
namespace {

struct RuleCase {
  const char16_t* text;
  EntryBox box;
  int position;  // -1: accepted
  const char16_t* prompt;
};

class FindRefusalTest : public ::testing::TestWithParam<RuleCase> {};

TEST_P(FindRefusalTest, FindsTheFirstRefusedCharacter) {
  const RuleCase c = GetParam();
  const auto r = findRefusal(QString::fromUtf16(c.text), c.box);
  if (c.position < 0) {
    EXPECT_FALSE(r.has_value());
    return;
  }
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->position, c.position);
  EXPECT_EQ(r->prompt, QString::fromUtf16(c.prompt));
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, FindRefusalTest,
    ::testing::Values(RuleCase{u"ab*c", EntryBox::Name, 2, u"*　　は入力できません･･･"},
                      RuleCase{u"a/b", EntryBox::Name, 1, u"/　　は入力できません･･･"},
                      RuleCase{u"a\tb", EntryBox::Name, 1, u"タブ　　は入力できません･･･"},
                      RuleCase{u"[東]", EntryBox::Name, -1, u""},
                      RuleCase{u"[北", EntryBox::Territory, 0,
                               u"１桁目に　[　　は入力できません･･･"},
                      RuleCase{u"北[", EntryBox::Territory, -1, u""},
                      RuleCase{u"北/南:", EntryBox::Territory, -1, u""},
                      RuleCase{u"3\n5", EntryBox::MonthCell, 1, u"改行　　は入力できません･･･"},
                      RuleCase{u"a\nb[c*", EntryBox::Note, 3, u"[　　は入力できません･･･"},
                      RuleCase{u"a\nb*c[", EntryBox::Note, 3, u"*　　は入力できません･･･"},
                      RuleCase{u"a\n[b", EntryBox::MonthInfo, -1, u""},
                      RuleCase{u"a😀*", EntryBox::MonthInfo, 1, u"😀　　は入力できません･･･"},
                      RuleCase{u"ab𠮷", EntryBox::MonthCell, 2, u"𠮷　　は入力できません･･･"},
                      RuleCase{u"3〜5", EntryBox::MonthCell, -1, u""},
                      RuleCase{u"①髙﨑", EntryBox::Name, -1, u""}));

TEST(ReservedDeviceNames, AreRecognisedInAnyCaseAndWithExtension) {
  for (const QString& n : {u"CON"_s, u"con"_s, u"Prn"_s, u"aux"_s, u"NUL"_s, u"com1"_s, u"COM9"_s,
                           u"lpt1"_s, u"LPT9"_s, u"nul.txt"_s, u"CON "_s})
    EXPECT_TRUE(isReservedDeviceName(n)) << n.toStdString();
  for (const QString& n :
       {u"CONSOLE"_s, u"COM0"_s, u"COM10"_s, u"LPT"_s, u"田中"_s, u"xcon"_s, u""_s})
    EXPECT_FALSE(isReservedDeviceName(n)) << n.toStdString();
}

TEST(StorableNames, RefuseWhatWouldLeaveTheFolderOrFailOnWindows) {
  QString why;
  EXPECT_TRUE(isStorableName(u"山田 太郎"_s));
  EXPECT_FALSE(isStorableName(u"../x"_s, &why));
  EXPECT_TRUE(why.contains(u"/"_s));
  EXPECT_FALSE(isStorableName(u"a:b"_s));
  EXPECT_FALSE(isStorableName(u"lpt3"_s, &why));
  EXPECT_TRUE(why.contains(u"lpt3"_s));
}

TEST(LineBreakForms, RoundTripBetweenScreenAndStorage) {
  EXPECT_EQ(toStoredForm(u"a\r\nb\r\n"_s), u"a[b["_s);
  EXPECT_EQ(toStoredForm(u"a\rb\nc"_s), u"a[b[c"_s);  // never a raw break in a file line
  EXPECT_EQ(toStoredForm(u"a[b"_s), u"a[b"_s);        // already stored form stays
  EXPECT_EQ(toScreenForm(u"a[b["_s), u"a\r\nb\r\n"_s);
  EXPECT_EQ(toStoredForm(toScreenForm(u"x[[y"_s)), u"x[[y"_s);
  EXPECT_EQ(crLfToBoxText(u"a\r\nb"_s), u"a\nb"_s);
  EXPECT_EQ(boxTextToCrLf(u"a\nb"_s), u"a\r\nb"_s);
  EXPECT_EQ(boxTextToCrLf(u"a\r\nb"_s), u"a\r\nb"_s);
}

}  // namespace
}  // namespace velnor
