// A sync tool's conflict copies are found, shown, merged as the user chooses, and kept.

#include "core/sync_conflicts.h"
#include "entry_fixture.h"

namespace velnor::test {
namespace {

TEST(ConflictCopyNames, areTheSyncToolsAndNothingElse) {
  const QList<std::tuple<QString, QString, bool>> copies{
      {u"データー.sync-conflict-20261207-153000-ABCDEFG.vrd"_s, u"データー"_s, true},
      {u"藤井.sync-conflict-20261207-153000-ABCDEFG.txt"_s, u"藤井"_s, false},
      {u"データー (conflicted copy 2026-12-07 153000).vrd"_s, u"データー"_s, true},
      {u"藤井 (Taro's conflicted copy 2026-12-07).txt"_s, u"藤井"_s, false},
      {u"データー-LAPTOP.vrd"_s, u"データー"_s, true}};
  for (const auto& [file, base, index] : copies) {
    QString found;
    bool isIndex = false;
    EXPECT_TRUE(isConflictCopy(file, &found, &isIndex)) << file.toStdString();
    EXPECT_EQ(found, base);
    EXPECT_EQ(isIndex, index);
  }
  for (const QString& other :
       {u"データー.vrd"_s, u"藤井.txt"_s, u"山田-太郎.txt"_s, u".syncthing.データー.vrd.tmp"_s,
        u"名簿.sync-conflict-20261207-153000-ABCDEFG.vrd"_s})
    EXPECT_FALSE(isConflictCopy(other)) << other.toStdString();
}

class ConflictCopies : public EntryTest {
 protected:
  const QString copy = u"データー.sync-conflict-20261207-153000-ABCDEFG.vrd"_s;
  const QString noteCopy = u"山田太郎.sync-conflict-20261207-153000-ABCDEFG.txt"_s;
  // The other computer added March to 山田太郎 and added 新人, while this one added
  // February to 山田太郎.
  void placeCopies() {
    p.writeBytes(
        folder + u'/' + copy,
        TempProgram::indexBytes({recordLine(u"北"_s, u"山田太郎"_s, {u"1/5"_s, {}, u"3/3"_s}),
                                 inoue, ueda, recordLine(u"西"_s, u"新人"_s)}));
    QStringList note{u"あちらの補足"_s};
    for (int k = 1; k <= 12; ++k) note << u" %1月　日"_s.arg(k);
    p.writeBytes(folder + u'/' + noteCopy, TempProgram::cp932Lines(note));
  }
  void start(bool merge) {
    p.useFolder(u"テスト"_s,
                {recordLine(u"北"_s, u"山田太郎"_s, {u"1/5"_s, u"2/2"_s}), inoue, ueda});
    before = indexBytes();
    answerer = answerMergeWindows(merge, answers);
    startBothWindows(false);
  }
  QString moved(const QString& name) const { return u"バックアップ/%テスト/衝突/"_s + name; }
  QByteArray before;
  int answers = 0;
  std::unique_ptr<QTimer> answerer;
};

TEST_F(ConflictCopies, areToldMergedWithBothEditsKeptAsOneUndoableChangeAndMovedAway) {
  placeCopies();
  start(true);
  ASSERT_TRUE(waitFor([&] { return p.exists(moved(copy)); }));
  EXPECT_EQ(answers, 1);
  EXPECT_TRUE(p.exists(moved(noteCopy)));
  EXPECT_FALSE(p.exists(folder + u'/' + copy));
  EXPECT_EQ(shell.titles(), u"同期の衝突"_s);
  EXPECT_EQ(records(),
            (QStringList{recordLine(u"北"_s, u"山田太郎"_s, {u"1/5"_s, u"2/2"_s, u"3/3"_s}), inoue,
                         ueda, recordLine(u"西"_s, u"新人"_s)}));
  EXPECT_EQ(noteLines(u"山田太郎"_s).first(), u"あちらの補足"_s);
  EXPECT_EQ(m.PersonCount, 4);
  ASSERT_TRUE(m.Undo());
  EXPECT_EQ(indexBytes(), before);
}

TEST_F(ConflictCopies, putOffOrUnreadableChangeNothingAndStayInPlace) {
  placeCopies();
  const QString broken = u"上田.sync-conflict-20261207-153000-ABCDEFG.txt"_s;
  p.writeBytes(folder + u'/' + broken, QByteArray("\x81\x20\x81\r\n"));
  start(false);
  ASSERT_TRUE(waitFor([&] { return answers == 1 && shell.messages.size() == 1; }));
  EXPECT_TRUE(shell.messages[0].text.contains(broken + u"："_s));
  EXPECT_EQ(indexBytes(), before);
  for (const QString& name : {copy, noteCopy, broken}) EXPECT_TRUE(p.exists(folder + u'/' + name));
  // Not asked again in this run when the folder changes again.
  p.useFolder(u"テスト"_s, {recordLine(u"北"_s, u"山田太郎"_s, {u"1/5"_s, u"2/2"_s}), inoue,
                            recordLine(u"東"_s, u"上田"_s), recordLine(u"西"_s, u"外"_s)});
  ASSERT_TRUE(waitFor([&] { return m.PersonCount == 4; }));
  EXPECT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(answers, 1);
}

}  // namespace
}  // namespace velnor::test
