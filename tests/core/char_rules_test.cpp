// The rules behind the input screen's boxes, without a window.

#include <gtest/gtest.h>

#include "core/char_rules.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {
namespace {

TEST(FindRefusal, RefusesATabWhereItIsWithItsNameAndAcceptsWhatTheBoxAllows) {
  const Refusal tab = findRefusal(u"a\tb"_s, EntryBox::Name).value_or(Refusal{});
  EXPECT_EQ(tab.position, 1);
  EXPECT_EQ(tab.prompt, u"タブ　　は入力できません･･･"_s);
  // What code page 932 holds and the box allows is accepted: a territory may hold what a
  // name must not.
  EXPECT_FALSE(findRefusal(u"[東]①髙﨑"_s, EntryBox::Name));
  EXPECT_FALSE(findRefusal(u"北/南[:"_s, EntryBox::Territory));
}

TEST(NoteFileNames, RefuseDeviceNamesOfAnyCaseAndWhatWouldLeaveTheFolder) {
  for (const QString& n : {u"CON"_s, u"con"_s, u"Prn"_s, u"aux"_s, u"NUL"_s, u"com1"_s, u"COM9"_s,
                           u"lpt1"_s, u"LPT9"_s, u"nul.txt"_s, u"CON "_s})
    EXPECT_TRUE(isReservedDeviceName(n)) << n.toStdString();
  for (const QString& n :
       {u"CONSOLE"_s, u"COM0"_s, u"COM10"_s, u"LPT"_s, u"田中"_s, u"xcon"_s, u""_s})
    EXPECT_FALSE(isReservedDeviceName(n)) << n.toStdString();
  QString why;
  EXPECT_FALSE(isStorableName(u"../x"_s, &why));
  EXPECT_EQ(why, u"名前に「/」は使えません。変更してください…"_s);
}

}  // namespace
}  // namespace velnor
