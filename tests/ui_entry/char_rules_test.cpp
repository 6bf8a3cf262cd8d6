// The rules behind the input screen's boxes, without a window.

#include <gtest/gtest.h>

#include "ui/entry/char_rules.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {
namespace {

// What only these rules decide: control characters, and what each box must accept.
TEST(FindRefusal, RefusesControlCharactersAndAcceptsWhatCodePage932Holds) {
  const auto tab = findRefusal(u"a\tb"_s, EntryBox::Name);
  ASSERT_TRUE(tab.has_value());
  EXPECT_EQ(tab->position, 1);
  EXPECT_EQ(tab->prompt, u"タブ　　は入力できません･･･"_s);
  EXPECT_EQ(findRefusal(u"a\nb*c["_s, EntryBox::Note).value_or(Refusal{}).position, 3);
  EXPECT_FALSE(findRefusal(u"[東]①髙﨑"_s, EntryBox::Name));
  EXPECT_FALSE(findRefusal(u"北/南[:"_s, EntryBox::Territory));
  EXPECT_FALSE(findRefusal(u"a\n[b"_s, EntryBox::MonthInfo));
}

TEST(NoteFileNames, RefuseDeviceNamesAndWhatWouldLeaveTheFolder) {
  for (const QString& n : {u"CON"_s, u"con"_s, u"Prn"_s, u"aux"_s, u"NUL"_s, u"com1"_s, u"COM9"_s,
                           u"lpt1"_s, u"LPT9"_s, u"nul.txt"_s, u"CON "_s})
    EXPECT_TRUE(isReservedDeviceName(n)) << n.toStdString();
  for (const QString& n :
       {u"CONSOLE"_s, u"COM0"_s, u"COM10"_s, u"LPT"_s, u"田中"_s, u"xcon"_s, u""_s})
    EXPECT_FALSE(isReservedDeviceName(n)) << n.toStdString();
  QString why;
  EXPECT_TRUE(isStorableName(u"山田 太郎"_s));
  EXPECT_FALSE(isStorableName(u"../x"_s, &why) || isStorableName(u"a:b"_s));
  EXPECT_TRUE(why.contains(u"/"_s));
  EXPECT_FALSE(isStorableName(u"lpt3"_s, &why));
  EXPECT_TRUE(why.contains(u"lpt3"_s));
}

TEST(LineBreakForms, NeverReachAFileLineAndRoundTrip) {
  EXPECT_EQ(toStoredForm(u"a\rb\nc\r\n"_s), u"a[b[c["_s);
  EXPECT_EQ(toStoredForm(toScreenForm(u"x[[y"_s)), u"x[[y"_s);
  EXPECT_EQ(boxTextToCrLf(u"a\nb\r\nc"_s), u"a\r\nb\r\nc"_s);
}

}  // namespace
}  // namespace velnor
