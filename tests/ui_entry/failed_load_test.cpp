// A person who could not be loaded is never stored, and a field too long for its box is
// never cut by being shown.

#include "entry_fixture.h"

namespace velnor::test {
namespace {

class FailedLoad : public EntryTest, public ::testing::WithParamInterface<bool> {};

// A folder where the note should be, or an index readable only after the screen opened: the
// fields stay empty and closed, and whatever they then hold, F2, a move (that fails to load
// again, or loads the person anew) and F5 leave the folder as it was.
TEST_P(FailedLoad, anUnreadableNoteOrIndexLeavesTheFieldsEmptyAndStoresNothing) {
  const QByteArray before = indexBytes();
  if (GetParam())
    setIndexReaderForTests([](const QString& path, qint64) {
      return FileRead{{}, FileError{path, u"Permission denied"_s}, false};
    });
  else
    ASSERT_TRUE(QDir(p.path(folder)).mkpath(u"山田太郎.txt"_s));
  openScreen();
  setIndexReaderForTests(nullptr);
  EXPECT_FALSE(form->Text3->isEnabled());
  EXPECT_FALSE(form->monthCell(1)->isEnabled());
  EXPECT_FALSE(form->noteBox()->isEnabled());
  EXPECT_EQ(form->Text2->text(), QString());
  form->Text3->setText(u"ZZ"_s);
  m.PersonModified = true;
  form->Command2->click();
  EXPECT_TRUE(shell.messages.isEmpty());  // no question about deleting nobody
  form->Command3->click();
  form->Command6->click();
  EXPECT_EQ(indexBytes(), before);
  EXPECT_FALSE(noteExists(u"名前"_s));
}

INSTANTIATE_TEST_SUITE_P(NoteOrIndex, FailedLoad, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Index" : "Note"; });

TEST_F(EntryTest, aFieldTooLongToEditIsShownWholeReadOnlyAndKeptByAStore) {
  const QString huge(40000, u'5');
  makeFolder(u"テスト"_s, {recordLine(u"北"_s, u"長田"_s, {huge}), recordLine(u"南"_s, u"井上"_s)});
  openScreen();
  QLineEdit* january = form->monthCell(1);
  EXPECT_EQ(january->text().size(), huge.size());
  EXPECT_TRUE(january->isReadOnly());
  EXPECT_FALSE(january->toolTip().isEmpty());
  type(form->monthCell(2), u"2/2"_s);
  form->List2->setCurrentRow(1);
  form->Command3->click();
  EXPECT_EQ(field(0, 2), huge);
  EXPECT_EQ(field(0, 3), u"2/2"_s);
  EXPECT_FALSE(form->monthCell(1)->isReadOnly());  // 井上's January is an ordinary one
}

}  // namespace
}  // namespace velnor::test
