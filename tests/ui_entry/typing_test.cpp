// What the boxes of the input screen accept while the user types or pastes.

#include "entry_fixture.h"

namespace velnor::test {
namespace {

using TypingTest = OpenEntryTest;

// The name list follows the name as it is typed. The refused "*" takes the name back to
// what it was at the last key release, and typing goes on from there.
TEST_F(TypingTest, TheNameListFollowsTheNameAndAStarIsRefusedWhereTheCaretWas) {
  form->Text2->setCursorPosition(2);
  type(form->Text2, u"a"_s);
  EXPECT_EQ(form->List2->text(0), u"山田a太郎"_s);
  type(form->Text2, u"*"_s);
  EXPECT_EQ(message(), u"無効です: *"_s + kRefused);
  EXPECT_EQ(form->Text2->text(), u"山田太郎"_s);
  EXPECT_EQ(form->Text2->cursorPosition(), 3);
  type(form->Text2, u"b"_s);  // typing goes on
  EXPECT_EQ(message(), u"0 messages"_s);
  EXPECT_EQ(form->Text2->text(), u"山田太b郎"_s);
}

// "[" stands for a line break in the note file: refused in the note and first in the
// territory, kept after the territory's first character.
TEST_F(TypingTest, ABracketIsRefusedInTheNoteAndFirstInTheTerritoryAndBreaksMonthInformation) {
  form->Text3->selectAll();
  type(form->Text3, u"["_s);
  EXPECT_EQ(message(), u"無効です: １桁目に　["_s + kRefused);
  form->Text3->end(false);
  type(form->Text3, u"["_s);
  EXPECT_EQ(form->Text3->text(), u"北["_s);
  EXPECT_EQ(message(), u"0 messages"_s);
  form->noteBox()->moveCursor(QTextCursor::End);
  type(form->noteBox(), u"ab["_s);
  EXPECT_EQ(form->noteBox()->toPlainText(), u"補足情報ab"_s);
  EXPECT_EQ(message(), u"無効です: ["_s + kRefused);
  // In a month's information it is stored as typed and shown as a line break.
  focus(form->monthCell(3));
  form->Text4->selectAll();
  type(form->Text4, u"x[y"_s);
  key(form->Text4, Qt::Key_F1);  // stores, then adds a person
  EXPECT_EQ(noteLines(u"山田太郎"_s).value(3), u"x[y"_s);
  clickName(0);
  focus(form->monthCell(3));
  EXPECT_EQ(form->Text4->toPlainText(), u"x\ny"_s);
}

// Typed into each box in turn, every one of these is refused with the prompt and the box
// keeps its text: "*" splits the files' fields, the others cannot be stored in code page
// 932, and the name also becomes a file name.
TEST_F(TypingTest, RefusedCharactersTypedOrPastedLeaveEveryBoxAsItWas_butNotWhatTheProgramFillsIn) {
  auto text = [](QWidget* w) {
    return w->property("text").toString() + w->property("plainText").toString();
  };
  const QStringList everywhere{u"*"_s, u"😀"_s, u"𠮷"_s};
  const QStringList inNames{u"/"_s, u"\\"_s, u":"_s, u"?"_s, u"\""_s, u"<"_s, u">"_s, u"|"_s};
  for (QWidget* box :
       QList<QWidget*>{form->Text1[2], form->Text1[0], form->Text4, form->Text3, form->Text2}) {
    focus(form->Text1[2]);  // enables the month information
    focus(box);
    const QString before = text(box);
    for (const QString& c : box == form->Text2 ? everywhere + inNames : everywhere) {
      c.front().unicode() < 0x80 ? type(box, c) : commit(box, c);
      EXPECT_EQ(message(), u"無効です: "_s + c + kRefused);
      EXPECT_EQ(text(box), before) << c.toStdString();
    }
  }
  // A paste has no key release: refused all the same, and it marks nothing modified.
  m.PersonModified = false;
  form->monthCell(1)->insert(u"3\n4"_s);
  EXPECT_EQ(message(), u"無効です: 改行"_s + kRefused);
  EXPECT_EQ(form->monthCell(1)->text(), u"1/5"_s);
  EXPECT_FALSE(m.PersonModified);
  // What the program fills in runs no rule.
  m.EditsEnabled = false;
  form->Text2->setText(u"a*b"_s);
  EXPECT_EQ(form->Text2->text(), u"a*b"_s);
  EXPECT_TRUE(shell.messages.isEmpty());
}

// The text-file layer stores them so too (text_file_test.cpp).
TEST_F(TypingTest, LinuxLookalikesBecomeWhatWindowsStoresAsTheyAreTyped) {
  focus(form->monthCell(4));
  commit(form->monthCell(4), u"3〜5"_s);
  retype(form->noteBox(), u"−"_s);
  EXPECT_EQ(form->monthCell(4)->text(), u"3～5"_s);
  EXPECT_EQ(form->monthCell(4)->cursorPosition(), 3);
  EXPECT_EQ(form->noteBox()->toPlainText(), u"－"_s);
}

}  // namespace
}  // namespace velnor::test
