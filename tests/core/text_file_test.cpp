// Text files as the record folders hold them: code page 932 as Windows reads and writes it,
// lines kept byte for byte, and saves that fail without costing the old file.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#include "core/cp932.h"
#include "core/text_file.h"
#include "support/failing_writer.h"
#include "support/temp_program.h"

using namespace Qt::Literals::StringLiterals;
using velnor::test::FailAt;
using velnor::test::ScopedFailingWriter;
using velnor::test::TempProgram;

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

class TextFileTest : public ::testing::Test {
 protected:
  QString path(const QString& name = u"a.txt"_s) const { return p.path(name); }
  TempProgram p;
  FileError err;
};

TEST_F(TextFileTest, JapaneseTextIsWrittenAsCp932WithCrLf) {
  ASSERT_TRUE(writeTextFile(path(), {u"区域〜①"_s, u"ソ予十ポ\\[]|"_s, QString()}, &err));
  // 〜 typed on Linux is stored as Windows stores ～ (81 60); ① is 87 40.
  EXPECT_EQ(
      p.readBytes(u"a.txt"_s).toHex(' '),
      QByteArray("8b e6 88 e6 81 60 87 40 0d 0a 83 5c 97 5c 8f 5c 83 7c 5c 5b 5d 7c 0d 0a 0d 0a"));
}

TEST(TextFile, LinuxLookalikesBecomeTheCharactersWindowsStores) {
  EXPECT_EQ(toWindowsLookalikes(u"〜−‖—¢£¬a"_s), u"～－∥―￠￡￢a"_s);
}

// A character the code page lacks fails the write, named, and keeps the old file; a missing
// folder fails writes and reads alike, each saying which with the system's reason in Japanese.
TEST_F(TextFileTest, FailedWritesAndReadsSayWhichWithAReasonAndKeepTheOldFile) {
  p.writeBytes(u"a.txt"_s, "old\r\n");
  EXPECT_FALSE(writeTextFile(path(), {u"ok"_s, u"x😀y"_s}, &err));
  EXPECT_TRUE(err.reason.contains(u"😀"_s));
  EXPECT_TRUE(err.writing);
  EXPECT_EQ(p.readBytes(u"a.txt"_s), QByteArray("old\r\n"));
  EXPECT_FALSE(writeTextFile(path(u"nope/a.txt"_s), {u"x"_s}, &err));
  EXPECT_TRUE(err.reason.endsWith(u"。"_s)) << err.reason.toStdString();  // a Japanese sentence
  EXPECT_TRUE(err.writing);
  const FileRead read = readFile(path(u"nope/b.txt"_s), kNoteFileLimit);
  ASSERT_TRUE(read.error);
  EXPECT_TRUE(read.missing);
  EXPECT_EQ(read.error->reason, u"ファイルまたはフォルダーがありません。"_s);
  EXPECT_FALSE(read.error->writing);
}

TEST(TextFile, UntouchedLinesKeepTheirBytes) {
  TempProgram p;
  // 87 9A is an NEC duplicate of 81 E6 (∵); a dangling lead byte does not decode at all.
  const QByteArray original("\x87\x9a\r\nabc\x82\r\nlast-no-newline");
  p.writeBytes(u"a.txt"_s, original);
  const FileRead read = readFile(p.path(u"a.txt"_s), kNoteFileLimit);
  ASSERT_TRUE(read.ok());
  QList<TextLine> lines = splitTextLines(read.bytes);
  FileError err;
  ASSERT_EQ(lines.size(), 3);
  lines[1] = TextLine::fromText(u"changed"_s);
  ASSERT_TRUE(writeTextLines(p.path(u"a.txt"_s), lines, &err));
  EXPECT_EQ(p.readBytes(u"a.txt"_s), QByteArray("\x87\x9a\r\nchanged\r\nlast-no-newline\r\n"));
}

struct Failure {
  FailAt step;
  int nth;
  QString systemReason;
  QString shown;
};

// Names the case in test output, instead of the struct's bytes.
void PrintTo(const Failure& f, std::ostream* os) {
  static const char* const steps[] = {"open", "write", "flush", "commit", "crash"};
  *os << steps[int(f.step)] << " (" << f.systemReason.toStdString() << ")";
}

class FailedSave : public ::testing::TestWithParam<Failure> {};

// A save that fails at any step leaves the old file whole, no temporary file behind, and
// names the system's reason (or a likely full disk where there is none).
TEST_P(FailedSave, KeepsOldFileAndNamesTheReason) {
  const Failure f = GetParam();
  TempProgram p;
  p.writeBytes(u"%a/データー.vrd"_s, "old\r\n");
  const QStringList before = p.entries(u"%a"_s);
  FileError err;
  bool ok = true;
  {
    ScopedFailingWriter failing(f.step, f.nth, f.systemReason);
    ok = writeTextFile(p.path(u"%a/データー.vrd"_s), {u"1"_s, u"2"_s, u"3"_s}, &err);
  }
  EXPECT_FALSE(ok);
  EXPECT_TRUE(err.writing);
  EXPECT_EQ(err.reason, f.shown);
  EXPECT_EQ(p.readBytes(u"%a/データー.vrd"_s), QByteArray("old\r\n"));
  EXPECT_EQ(p.entries(u"%a"_s), before);
}

const QString kNoSpace = u"No space left on device"_s;
const QString kDiskMayBeFull = u"書き込めませんでした。ディスクがいっぱいの可能性があります。"_s;

INSTANTIATE_TEST_SUITE_P(EveryStep, FailedSave,
                         ::testing::Values(Failure{FailAt::Open, 1, u"Read-only file system"_s,
                                                   u"Read-only file system"_s},
                                           Failure{FailAt::Write, 1, kNoSpace, kNoSpace},
                                           Failure{FailAt::Flush, 1, QString(), kDiskMayBeFull},
                                           Failure{FailAt::Commit, 1, u"Input/output error"_s,
                                                   u"Input/output error"_s}));

#ifdef Q_OS_UNIX  // file systems, links and modes as Linux has them
// A small tmpfs is filled up; the rewrite must fail and leave the old file whole.
TEST(TextFile, FullDiskKeepsOldFile) {
  if (geteuid() != 0) GTEST_SKIP() << "mounting a tmpfs needs root";
  QTemporaryDir mnt;
  const QString dir = mnt.path();
  if (QProcess::execute(u"mount"_s,
                        {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=64k"_s, u"tmpfs"_s, dir}) != 0)
    GTEST_SKIP() << "tmpfs not available";
  const QString path = dir + u"/データー.vrd"_s;
  FileError err;
  ASSERT_TRUE(writeTextFile(path, {u"[old]"_s, u"区域*名前*************"_s}, &err));
  auto contents = [&] {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  };
  const QByteArray before = contents();
  {  // fill the rest of the disk
    QFile filler(dir + u"/filler"_s);
    filler.open(QIODevice::WriteOnly);
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
  }
  const bool ok = writeTextFile(path, {u"[new]"_s, QString(2000, u'あ')}, &err);
  const QByteArray after = contents();
  QProcess::execute(u"umount"_s, {dir});
  EXPECT_FALSE(ok);
  EXPECT_EQ(err.reason, u"ディスクに空きがありません。"_s);
  EXPECT_EQ(after, before);
}

// A note file linked to a file elsewhere: the save replaces the link in the folder and
// leaves the file it pointed to alone. A file replaced keeps its permissions.
TEST(TextFile, SymbolicLinkIsReplacedNotWrittenThroughAndAFileKeepsItsPermissions) {
  TempProgram p;
  p.writeBytes(u"outside/secret.txt"_s, "secret\r\n");
  p.writeBytes(u"%a/x"_s, "");
  ASSERT_TRUE(QFile::link(p.path(u"outside/secret.txt"_s), p.path(u"%a/山田.txt"_s)));
  FileError err;
  ASSERT_TRUE(writeTextFile(p.path(u"%a/山田.txt"_s), {u"new"_s}, &err));
  EXPECT_EQ(p.readBytes(u"outside/secret.txt"_s), QByteArray("secret\r\n"));
  EXPECT_FALSE(QFileInfo(p.path(u"%a/山田.txt"_s)).isSymLink());
  EXPECT_EQ(p.readBytes(u"%a/山田.txt"_s), QByteArray("new\r\n"));
  const auto perms = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
  ASSERT_TRUE(QFile::setPermissions(p.path(u"%a/x"_s), perms));
  ASSERT_TRUE(writeTextFile(p.path(u"%a/x"_s), {u"new"_s}, &err));
  const auto all = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                   QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                   QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
  EXPECT_EQ(QFileInfo(p.path(u"%a/x"_s)).permissions() & all, perms);
}
#endif

}  // namespace
}  // namespace velnor
