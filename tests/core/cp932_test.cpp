#include <gtest/gtest.h>

#include <QString>

#include "core/cp932.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {
namespace {

struct Sequence {
  const char* bytes;     // as stored
  const char16_t* text;  // what it reads as
  const char* storedAs;  // the bytes the text is stored as again; nullptr: `bytes` itself
  bool clean = true;     // false: no character, and the text cannot be stored
};

// Each converter of each platform must read and write these alike: the record folders
// come from Windows and go back to it.
const Sequence kSequences[] = {
    {"abc\\~", u"abc\\~", nullptr},          // ASCII stays ASCII: 5C is a backslash, not ¥
    {"\x82\xa0\x8b\xe6", u"あ区", nullptr},  // あ 区
    {"\xb1\xdf", u"ｱﾟ", nullptr},            // half-width katakana
    {"\x87\x40\x87\x54", u"①Ⅰ", nullptr},    // NEC specials
    {"\xfb\xfc", u"髙", nullptr},            // IBM extension
    {"\x81\x60\x81\x5c\x81\x7c", u"～―－", nullptr},
    {"\xf0\x40", u"\ue000", nullptr},  // user-defined area
    {"\x1a\x1c\x7f", u"\x1a\x1c\x7f", nullptr},
    // One character, two codes: read alike, stored as Windows stores it. The files keep
    // the bytes of text nobody changed.
    {"\x87\x9a", u"∵", "\x81\xe6"},
    {"\xed\x40", u"纊", "\xfa\x5c"},
    {"\x81\xca", u"￢", nullptr},
    {"\xee\xf9", u"￢", "\x81\xca"},
    // No character.
    {"a\x81", u"a\ufffd", nullptr, false},
    {"\x81\x20\x82\xa0", u"\ufffd あ", nullptr, false},
    {"\x85\x40", u"\ufffd", nullptr, false},
    {"\x80\xa0\xfd\xff", u"\ufffd\ufffd\ufffd\ufffd", nullptr, false},
};

TEST(Cp932, ReadsAndStoresEverySequenceAsWindowsDoes) {
  for (const Sequence& s : kSequences) {
    const QByteArray bytes(s.bytes);
    SCOPED_TRACE(bytes.toHex(' ').toStdString());
    bool clean = false;
    const QString text = cp932().decode(bytes, &clean);
    EXPECT_EQ(clean, s.clean);
    EXPECT_EQ(text, QString::fromUtf16(s.text));
    if (s.clean)
      EXPECT_EQ(cp932().encode(text), QByteArray(s.storedAs ? s.storedAs : s.bytes));
    else
      EXPECT_EQ(cp932().encode(text), std::nullopt);
  }
}

TEST(Cp932, RefusesCharactersWithoutBytesRatherThanGuessing) {
  for (const QString& text : {u"〜"_s, u"¥"_s, u"€"_s, u"😀"_s, QString(QChar(0xD800)), u"\u00a0"_s,
                              u"\u0080"_s, u"\uf8f0"_s}) {
    SCOPED_TRACE(text.toStdString());
    EXPECT_EQ(cp932().encode(u"あ"_s + text), std::nullopt);
  }
  EXPECT_EQ(cp932().encode(QString()), QByteArray());
  bool clean = false;
  EXPECT_TRUE(cp932().decode(QByteArray(), &clean).isEmpty());
  EXPECT_TRUE(clean);
}

}  // namespace
}  // namespace velnor
