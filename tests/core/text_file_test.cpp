#include <gtest/gtest.h>

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "core/text_file.h"
#include "support/temp_program.h"

using namespace Qt::Literals::StringLiterals;
using velnor::test::TempProgram;

namespace velnor {
namespace {

TEST(TextFile, JapaneseTextRoundTripsAsCp932WithCrLf) {
  TempProgram p;
  const QString path = p.path(u"a.txt"_s);
  FileError err;
  ASSERT_TRUE(writeTextFile(path, {u"区域〜①"_s, u"ソ予十ポ\\[]|"_s, QString()}, &err));
  // 〜 typed on Linux is stored as Windows stores ～ (81 60); ① is 87 40.
  EXPECT_EQ(
      p.readBytes(u"a.txt"_s).toHex(' '),
      QByteArray("8b e6 88 e6 81 60 87 40 0d 0a 83 5c 97 5c 8f 5c 83 7c 5c 5b 5d 7c 0d 0a 0d 0a"));
  QList<TextLine> lines;
  ASSERT_TRUE(readTextLines(path, lines, &err));
  ASSERT_EQ(lines.size(), 3);
  EXPECT_EQ(lines[0].text, u"区域～①"_s);
  EXPECT_EQ(lines[1].text, u"ソ予十ポ\\[]|"_s);
  EXPECT_EQ(lines[2].text, QString());
  EXPECT_EQ(toWindowsLookalikes(u"〜−‖—¢£¬a"_s), u"～－∥―￠￡￢a"_s);
}

TEST(TextFile, FailuresAreReportedNotIgnored) {
  TempProgram p;
  const QString path = p.path(u"a.txt"_s);
  p.writeBytes(u"a.txt"_s, "old\r\n");
  FileError err;
  EXPECT_FALSE(writeTextFile(path, {u"ok"_s, u"x😀y"_s}, &err));
  EXPECT_TRUE(err.reason.contains(u"😀"_s));
  EXPECT_TRUE(err.writing);
  EXPECT_EQ(p.readBytes(u"a.txt"_s), QByteArray("old\r\n"));
  QString bad;
  EXPECT_FALSE(canEncodeCp932(u"𠮷野"_s, &bad));
  EXPECT_EQ(bad, u"𠮷"_s);

  EXPECT_FALSE(writeTextFile(p.path(u"nope/a.txt"_s), {u"x"_s}, &err));
  EXPECT_FALSE(err.reason.isEmpty());
  QList<TextLine> lines;
  EXPECT_FALSE(readTextLines(p.path(u"nope/b.txt"_s), lines, &err));
  EXPECT_FALSE(err.writing);
}

TEST(TextFile, UntouchedLinesKeepTheirBytes) {
  TempProgram p;
  // 87 9A is an NEC duplicate of 81 E6 (∵); a dangling lead byte does not decode at all.
  const QByteArray original("\x87\x9a\r\nabc\x82\r\nlast-no-newline");
  p.writeBytes(u"a.txt"_s, original);
  QList<TextLine> lines;
  FileError err;
  ASSERT_TRUE(readTextLines(p.path(u"a.txt"_s), lines, &err));
  ASSERT_EQ(lines.size(), 3);
  lines[1] = TextLine::fromText(u"changed"_s);
  ASSERT_TRUE(writeTextLines(p.path(u"a.txt"_s), lines, &err));
  EXPECT_EQ(p.readBytes(u"a.txt"_s), QByteArray("\x87\x9a\r\nchanged\r\nlast-no-newline\r\n"));
}

TEST(TextFile, ReadOnlyFolderReportsAndKeepsOldFile) {
  TempProgram p;
  p.writeBytes(u"ro/a.txt"_s, "keep\r\n");
  const QString ro = p.path(u"ro"_s);
  bool remounted = false;
  if (geteuid() == 0) {
    // Root ignores permission bits; a read-only mount still refuses.
    QTemporaryDir mnt;
    if (QProcess::execute(u"mount"_s, {u"--bind"_s, ro, ro}) != 0 ||
        QProcess::execute(u"mount"_s, {u"-o"_s, u"remount,ro,bind"_s, ro}) != 0)
      GTEST_SKIP() << "cannot make a read-only mount";
    remounted = true;
  } else {
    QFile::setPermissions(ro, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  }
  FileError err;
  const bool ok = writeTextFile(p.path(u"ro/a.txt"_s), {u"new"_s}, &err);
  if (remounted)
    QProcess::execute(u"umount"_s, {ro});
  else
    QFile::setPermissions(ro,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  EXPECT_FALSE(ok);
  EXPECT_TRUE(err.path.endsWith(u"a.txt"_s));
  EXPECT_FALSE(err.reason.isEmpty());
  EXPECT_EQ(p.readBytes(u"ro/a.txt"_s), QByteArray("keep\r\n"));
}

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
  const QByteArray before = [&] {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
  }();
  {  // fill the rest of the disk
    QFile filler(dir + u"/filler"_s);
    filler.open(QIODevice::WriteOnly);
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
  }
  const bool ok = writeTextFile(path, {u"[new]"_s, QString(2000, u'あ')}, &err);
  QByteArray after;
  {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    after = f.readAll();
  }
  QProcess::execute(u"umount"_s, {dir});
  EXPECT_FALSE(ok);
  EXPECT_FALSE(err.reason.isEmpty());
  EXPECT_EQ(after, before);
}

TEST(TextFile, StaleSaveFilesAreRemoved) {
  TempProgram p;
  p.writeBytes(u"データー.vrd.AbC123"_s, "x");
  p.writeBytes(u"Velnor.ini.zz99Qq"_s, "x");
  p.writeBytes(u"keep.txt"_s, "x");
  removeStaleSaveFiles(p.path());
  EXPECT_FALSE(p.exists(u"データー.vrd.AbC123"_s));
  EXPECT_FALSE(p.exists(u"Velnor.ini.zz99Qq"_s));
  EXPECT_TRUE(p.exists(u"keep.txt"_s));
}

}  // namespace
}  // namespace velnor
