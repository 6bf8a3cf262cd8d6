// What the boxes of the input screen accept while the user types.

#include "entry_fixture.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor::test {
namespace {

const QString kSuffix = u"　　は入力できません･･･"_s;

class TypingTest : public EntryTest {
 protected:
  void SetUp() override {
    EntryTest::SetUp();
    makeFolder({recordLine(u"北"_s, u"山田太郎"_s, {u"1/5"_s}),
                recordLine(u"南"_s, u"佐藤"_s, {u"2/3"_s})});
    openScreen();
  }
};

TEST_F(TypingTest, StarInNameBringsBackLoadedNameWithCaretOfLastKeyRelease) {
  QLineEdit* name = form->Text2;
  focus(name);
  name->setCursorPosition(2);
  type(name, u"a"_s);
  EXPECT_EQ(name->text(), u"山田a太郎"_s);
  type(name, u"*"_s);
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].title, u"無効です"_s);
  EXPECT_EQ(shell.messages[0].text, u"*"_s + kSuffix);
  EXPECT_EQ(shell.messages[0].buttons, Buttons::Ok);
  EXPECT_EQ(name->text(), u"山田太郎"_s);
  EXPECT_EQ(name->cursorPosition(), 3);
  type(name, u"b"_s);
  EXPECT_EQ(name->text(), u"山田太b郎"_s);
  EXPECT_EQ(shell.messages.size(), 1);
}

TEST_F(TypingTest, NameFollowsIntoNameListWhileTyped) {
  QLineEdit* name = form->Text2;
  focus(name);
  name->selectAll();
  commit(name, u"鈴木"_s);
  EXPECT_EQ(form->List2->item(0)->text(), u"鈴木"_s);
  EXPECT_TRUE(m.PersonModified);
}

TEST_F(TypingTest, TerritoryRefusesLeadingBracketButAcceptsItLater) {
  QLineEdit* territory = form->Text3;
  focus(territory);
  territory->selectAll();
  type(territory, u"["_s);
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].text, u"１桁目に　["_s + kSuffix);
  EXPECT_EQ(territory->text(), u"北"_s);

  territory->end(false);
  type(territory, u"["_s);
  EXPECT_EQ(territory->text(), u"北["_s);
  EXPECT_EQ(shell.messages.size(), 1);
}

TEST_F(TypingTest, NoteRefusesBracketAndGoesBackToLastAcceptedText) {
  QPlainTextEdit* note = form->noteBox();
  focus(note);
  note->moveCursor(QTextCursor::End);
  type(note, u"ab"_s);
  const QString accepted = note->toPlainText();
  type(note, u"["_s);
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].text, u"["_s + kSuffix);
  EXPECT_EQ(note->toPlainText(), accepted);
  EXPECT_TRUE(accepted.endsWith(u"ab"_s));
}

TEST_F(TypingTest, MonthInformationKeepsBracketAndShowsItAsLineBreakNextTime) {
  focus(form->monthCell(3));
  ASSERT_TRUE(form->Text4->isEnabled());
  form->Text4->selectAll();
  type(form->Text4, u"x[y"_s);
  EXPECT_TRUE(shell.messages.isEmpty());
  key(form->Text4, Qt::Key_F1);  // stores, then adds a person
  EXPECT_EQ(noteLines(u"山田太郎"_s).value(3), u"x[y"_s);

  showPerson(0);
  focus(form->monthCell(3));
  EXPECT_EQ(form->Text4->toPlainText(), u"x\ny"_s);
}

TEST_F(TypingTest, StarRefusedInEveryBox) {
  focus(form->monthCell(2));
  QList<QWidget*> boxes{form->Text2, form->Text3, form->monthCell(2), form->noteBox(), form->Text4};
  for (QWidget* box : boxes) {
    shell.messages.clear();
    if (box != form->Text4)
      focus(box);
    else
      focus(form->monthCell(2));
    type(box, u"*"_s);
    ASSERT_EQ(shell.messages.size(), 1) << box->metaObject()->className();
    EXPECT_EQ(shell.messages[0].text, u"*"_s + kSuffix);
  }
  EXPECT_EQ(form->Text2->text(), u"山田太郎"_s);
  EXPECT_EQ(form->monthCell(2)->text(), QString());
}

TEST_F(TypingTest, NameRefusesCharactersThatCannotBeInFileNames) {
  for (const QString& c : {u"/"_s, u"\\"_s, u":"_s, u"?"_s, u"\""_s, u"<"_s, u">"_s, u"|"_s}) {
    shell.messages.clear();
    focus(form->Text2);
    form->Text2->end(false);
    commit(form->Text2, c);
    ASSERT_EQ(shell.messages.size(), 1) << c.toStdString();
    EXPECT_EQ(shell.messages[0].text, c + kSuffix);
    EXPECT_EQ(form->Text2->text(), u"山田太郎"_s);
  }
}

TEST_F(TypingTest, PastedLineBreakIsRefusedInSingleLineBoxes) {
  focus(form->monthCell(1));
  form->monthCell(1)->insert(u"3\n4"_s);
  ASSERT_EQ(shell.messages.size(), 1);
  EXPECT_EQ(shell.messages[0].text, u"改行"_s + kSuffix);
  EXPECT_EQ(form->monthCell(1)->text(), u"1/5"_s);
}

TEST_F(TypingTest, CharactersCodePage932CannotHoldAreRefusedEverywhere) {
  focus(form->monthCell(2));
  QList<QWidget*> boxes{form->Text2, form->Text3, form->monthCell(2), form->noteBox(), form->Text4};
  for (const QString& c : {u"😀"_s, u"𠮷"_s}) {
    for (QWidget* box : boxes) {
      shell.messages.clear();
      focus(box == form->Text4 ? static_cast<QWidget*>(form->monthCell(2)) : box);
      commit(box, c);
      ASSERT_EQ(shell.messages.size(), 1) << box->metaObject()->className();
      EXPECT_EQ(shell.messages[0].text, c + kSuffix);
    }
  }
  EXPECT_EQ(form->Text3->text(), u"北"_s);
  EXPECT_FALSE(form->noteBox()->toPlainText().contains(u"𠮷"_s));
}

TEST_F(TypingTest, LinuxLookalikesBecomeWhatWindowsStoresAndAreSaved) {
  focus(form->monthCell(4));
  commit(form->monthCell(4), u"3〜5"_s);
  EXPECT_EQ(form->monthCell(4)->text(), u"3～5"_s);
  EXPECT_EQ(form->monthCell(4)->cursorPosition(), 3);
  focus(form->noteBox());
  form->noteBox()->moveCursor(QTextCursor::End);
  commit(form->noteBox(), u"−"_s);
  EXPECT_TRUE(form->noteBox()->toPlainText().endsWith(u"－"_s));
  EXPECT_TRUE(shell.messages.isEmpty());

  form->Command5->click();
  EXPECT_EQ(records().value(0), recordLine(u"北"_s, u"山田太郎"_s, {u"1/5"_s, {}, {}, u"3～5"_s}));
  EXPECT_TRUE(noteLines(u"山田太郎"_s).value(0).endsWith(u"－"_s));
}

TEST_F(TypingTest, StoredValuesWithRuleCharactersShowWithoutMessages) {
  // A month line with "[" and a note with two lines arrive from the files.
  writeTextFile(p.path(folder + u"/佐藤.txt"_s), {u"一行目[二行目"_s, u" 1月　日"_s, u"a[b"_s},
                nullptr);
  showPerson(1);
  EXPECT_TRUE(shell.messages.isEmpty());
  EXPECT_EQ(form->noteBox()->toPlainText(), u"一行目\n二行目"_s);
  EXPECT_EQ(m.PersonNote, u"一行目\r\n二行目"_s);
}

TEST_F(TypingTest, RefusalItselfDoesNotMarkThePersonModified) {
  m.PersonModified = false;
  form->Text2->insert(u"*"_s);  // a paste: no key release
  EXPECT_EQ(shell.messages.size(), 1);
  EXPECT_FALSE(m.PersonModified);
}

TEST_F(TypingTest, ProgramFillingTheFieldsRunsNoRule) {
  m.EditsEnabled = false;
  form->Text2->setText(u"a*b"_s);
  EXPECT_TRUE(shell.messages.isEmpty());
  EXPECT_EQ(form->Text2->text(), u"a*b"_s);
  m.EditsEnabled = true;
}

}  // namespace
}  // namespace velnor::test
