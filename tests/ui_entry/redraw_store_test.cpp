// Whatever redraws the list, moving on in the input screen stores only what was typed,
// and a note file shared by two people of the same name stays while either remains.

#include "entry_fixture.h"
#include "ui/print/form2.h"
#include "ui/settings/form4.h"

namespace velnor::test {
namespace {

class RedrawThenStore : public EntryTest, public ::testing::WithParamInterface<QString> {
 protected:
  void SetUp() override {
    EntryTest::SetUp();
    QStringList people;
    for (int i = 0; i < 30; ++i)
      people << recordLine(u"区"_s, u"人%1"_s.arg(i), {u"%1/1"_s.arg(i)});
    makeFolder(u"三十"_s, people);
    QStringList own{u"最後の人のメモ"_s};
    for (int k = 1; k <= 12; ++k) own << u"%1月の大事なこと"_s.arg(k);
    p.writeBytes(folder + u"/人29.txt"_s, TempProgram::cp932Lines(own));
    startBothWindows(true);
    ASSERT_TRUE(form);
  }
  void redraw(const QString& how) {
    if (how == u"print"_s) {
      Form2 print(m);
      print.Command2_Click();
      print.Command5_Click();
    } else if (how == u"refresh"_s) {
      mainForm->Command9->click();
    } else if (how == u"resize"_s) {
      mainForm->resize(mainForm->size() + QSize(40, 60));
    } else if (how == u"row height"_s) {
      Form4 settings(m);
      settings.Command2_Click();
    } else if (how == u"delete"_s) {
      clickName(15);
      shell.answers.push_back(Answer::Ok);
      form->Command2->click();
    }
  }
};

TEST_P(RedrawThenStore, MovingOnWithoutTypingChangesNoNoteFile) {
  redraw(GetParam());
  const QMap<QString, QByteArray> before = files({u"*.txt"_s});
  const QStringList recordsBefore = records();
  QTest::mouseClick(form->monthCell(3), Qt::LeftButton);
  key(form->monthCell(3), Qt::Key_Down);
  EXPECT_EQ(files({u"*.txt"_s}), before);
  EXPECT_EQ(records(), recordsBefore);
  EXPECT_EQ(form->Text2->text(), GetParam() == u"delete"_s ? u"人17"_s : u"人1"_s);
}

INSTANTIATE_TEST_SUITE_P(EveryRedraw, RedrawThenStore,
                         ::testing::Values(u"print"_s, u"refresh"_s, u"resize"_s, u"row height"_s,
                                           u"delete"_s));

class SharedNote : public OpenEntryTest {
 protected:
  void SetUp() override {
    EntryTest::SetUp();
    makeFolder(u"同名"_s, {recordLine(u"北"_s, u"佐藤"_s), recordLine(u"南"_s, u"佐藤"_s),
                           recordLine(u"東"_s, u"鈴木"_s)});
    p.writeBytes(folder + u"/佐藤.txt"_s, TempProgram::cp932Lines({u"二人のメモ"_s}));
    openScreen();
  }
};

// The note goes with the second of them (OK is the fake's answer).
TEST_F(SharedNote, DeletingOneOfTwoPeopleOfTheSameNameKeepsTheirNote) {
  form->Command2->click();
  EXPECT_EQ(records().size(), 2);
  EXPECT_EQ(noteLines(u"佐藤"_s).value(0), u"二人のメモ"_s);
  form->Command2->click();
  EXPECT_EQ(records(), QStringList{recordLine(u"東"_s, u"鈴木"_s)});
  EXPECT_FALSE(noteExists(u"佐藤"_s));
}

TEST_F(SharedNote, RenamingOneOfThemKeepsTheOthersNote) {
  retype(form->Text2, u"佐藤花子"_s);
  clickName(2);
  EXPECT_EQ(field(0, 1), u"佐藤花子"_s);
  EXPECT_EQ(noteLines(u"佐藤"_s).value(0), u"二人のメモ"_s);
  EXPECT_EQ(noteLines(u"佐藤花子"_s).value(0), u"二人のメモ"_s);
}

}  // namespace
}  // namespace velnor::test
