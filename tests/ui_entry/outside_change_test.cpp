// Another program (a sync tool, an editor) changes the shown person's files: nothing it
// wrote is put back, nothing typed is lost, and no person is doubled. A sync tool's conflict
// copies are found, shown, merged as the user chooses, and kept.

#include "core/sync_conflicts.h"
#include "entry_fixture.h"

namespace velnor::test {
namespace {

class OutsideChange : public EntryTest {
 protected:
  void SetUp() override {
    EntryTest::SetUp();
    startBothWindows(true);
    ASSERT_TRUE(form);
    shell.messages.clear();
  }
  // 山田太郎's note file as another program leaves it: line 1 and March rewritten.
  void rewriteNote() {
    QStringList note{u"外で書いた補足"_s};
    for (int k = 1; k <= 12; ++k) note << (k == 3 ? u" 3月　外で書いた"_s : u" %1月　日"_s.arg(k));
    theirNote = TempProgram::cp932Lines(note);
    p.writeBytes(folder + u"/山田太郎.txt"_s, theirNote);
  }
  void rewriteIndex(const QStringList& records) { p.useFolder(u"テスト"_s, records); }
  void typeFebruaryAndMoveOn() {
    retype(form->monthCell(2), u"2/22"_s);
    key(form->monthCell(2), Qt::Key_Down);
  }
  QByteArray theirNote;
};

TEST_F(OutsideChange, aNoteChangedOutsideIsNeverOverwrittenAndTheTypingIsPutOnTop) {
  rewriteNote();
  form->noteBox()->clear();
  commit(form->noteBox(), u"私の補足"_s);
  typeFebruaryAndMoveOn();
  EXPECT_TRUE(message().startsWith(u"保存できません: "_s));
  EXPECT_EQ(p.readBytes(folder + u"/山田太郎.txt"_s), theirNote);
  // Shown again as the file holds it, with both boxes the user changed kept.
  EXPECT_EQ(form->Text2->text(), u"山田太郎"_s);
  EXPECT_EQ(form->text1(0), u"私の補足"_s);
  EXPECT_EQ(form->text1(2), u"2/22"_s);
  EXPECT_EQ(m.MonthNotes[3], u" 3月　外で書いた"_s);
  key(form->monthCell(2), Qt::Key_Down);
  EXPECT_EQ(noteLines(u"山田太郎"_s).mid(0, 4),
            (QStringList{u"私の補足"_s, u" 1月　日"_s, u" 2月　日"_s, u" 3月　外で書いた"_s}));
  EXPECT_EQ(field(0, 3), u"2/22"_s);
  EXPECT_EQ(form->Text2->text(), u"井上"_s);
}

// Another program changed a month of the shown person's line: the refused store goes to
// that line next time, both changes kept, and F2 deletes that same person.
class OutsideLineChange : public OutsideChange, public ::testing::WithParamInterface<bool> {};

TEST_P(OutsideLineChange, isFoundAgainByTerritoryAndName) {
  const QStringList others{inoue, ueda};
  rewriteIndex(QStringList{recordLine(u"北"_s, u"山田太郎"_s, {u"1/5"_s, {}, u"3/3"_s})} + others);
  typeFebruaryAndMoveOn();
  EXPECT_TRUE(message().startsWith(u"保存できません: "_s));
  EXPECT_EQ(form->text1(3), u"3/3"_s);
  if (GetParam()) {
    shell.answers.push_back(Answer::Ok);
    form->Command2->click();
    EXPECT_EQ(records(), others);
  } else {
    key(form->monthCell(2), Qt::Key_Down);
    EXPECT_EQ(
        records(),
        QStringList{recordLine(u"北"_s, u"山田太郎"_s, {u"1/5"_s, u"2/22"_s, u"3/3"_s})} + others);
  }
}

INSTANTIATE_TEST_SUITE_P(StoreOrDelete, OutsideLineChange, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "delete" : "store"; });

TEST_F(OutsideChange, aPersonRemovedOutsideIsAddedAnewAndTheUserIsTold) {
  rewriteIndex({inoue, ueda});
  typeFebruaryAndMoveOn();
  EXPECT_TRUE(message().startsWith(u"保存できません: "_s));
  key(form->monthCell(2), Qt::Key_Down);
  EXPECT_TRUE(message().startsWith(u"追加しました: "_s));
  EXPECT_EQ(records().size(), 3);
  EXPECT_EQ(records().last(), recordLine(u"北"_s, u"山田太郎"_s, {u"1/5"_s, u"2/22"_s}));
}

// The windows follow changes another program makes, without a key press, but never
// replace what is being typed.
class WatchedFolder : public OutsideChange {
 protected:
  void appendSomeone() { rewriteIndex({yamada, inoue, ueda, recordLine(u"西"_s, u"新人"_s)}); }
};

TEST_F(WatchedFolder, aLineAndANoteWrittenOutsideShowByThemselves) {
  rewriteNote();
  appendSomeone();
  ASSERT_TRUE(QTest::qWaitFor([&] { return names().contains(u"新人"_s); }));
  EXPECT_EQ(m.PersonCount, 4);
  EXPECT_TRUE(QTest::qWaitFor([&] { return form->text1(0) == u"外で書いた補足"_s; }));
  EXPECT_EQ(m.MonthNotes[3], u" 3月　外で書いた"_s);
  EXPECT_TRUE(shell.messages.isEmpty());
}

// A store of the dates then leaves the note written outside alone.
TEST_F(WatchedFolder, typingPendingIsNotReplacedAndMeetsTheChangeAtTheStore) {
  retype(form->monthCell(2), u"2/22"_s);
  rewriteNote();
  appendSomeone();
  ASSERT_TRUE(QTest::qWaitFor([&] { return m.PersonCount == 4; }));
  EXPECT_EQ(form->text1(2), u"2/22"_s);
  EXPECT_EQ(form->text1(0), u"補足情報"_s);
  key(form->monthCell(2), Qt::Key_Down);
  EXPECT_EQ(p.readBytes(folder + u"/山田太郎.txt"_s), theirNote);
  EXPECT_EQ(records().size(), 4);
  EXPECT_EQ(field(0, 3), u"2/22"_s);
  EXPECT_TRUE(shell.messages.isEmpty());
}

// ---- Conflict copies.

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
  ASSERT_TRUE(QTest::qWaitFor([&] { return p.exists(moved(copy)); }));
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
  ASSERT_TRUE(QTest::qWaitFor([&] { return answers == 1 && shell.messages.size() == 1; }));
  EXPECT_TRUE(shell.messages[0].text.contains(broken + u"："_s));
  EXPECT_EQ(indexBytes(), before);
  for (const QString& name : {copy, noteCopy, broken}) EXPECT_TRUE(p.exists(folder + u'/' + name));
  // Not asked again in this run when the folder changes again.
  p.useFolder(u"テスト"_s, {recordLine(u"北"_s, u"山田太郎"_s, {u"1/5"_s, u"2/2"_s}), inoue,
                            recordLine(u"東"_s, u"上田"_s), recordLine(u"西"_s, u"外"_s)});
  ASSERT_TRUE(QTest::qWaitFor([&] { return m.PersonCount == 4; }));
  EXPECT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(answers, 1);
}

}  // namespace
}  // namespace velnor::test
