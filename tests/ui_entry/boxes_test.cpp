// The input screen's boxes: what they accept while the user types or pastes, and how the
// screen scales its controls and fonts with its inner size.

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

// ---- The layout.

// An inner size a quarter larger than the design's (4992 × 4584 twips).
constexpr int kWidth = 416, kHeight = 382;

class LayoutTest : public OpenEntryTest {
 protected:
  void resizeInner(int w, int h) { form->resize(w, h); }
  static double points(QWidget* w) { return w->font().pointSizeF(); }
  template <class Control>
  static bool captionFits(Control* c) {
    return QFontMetrics(c->font()).horizontalAdvance(c->text()) <= c->width();
  }
};

// Type follows the height alone; the boxes grow with the whole size. Half as wide: captions
// shrink to fit, the boxes' type stays.
TEST_F(LayoutTest, TypeFollowsTheHeightBoxesTheSizeAndCaptionsShrinkToFit) {
  resizeInner(kWidth, kHeight);
  const double name = points(form->Text2), button = points(form->Command1);
  const double label = points(form->Label3);
  const QSize note = form->noteBox()->size();
  resizeInner(kWidth / 2, kHeight);
  EXPECT_LT(points(form->Label3), label);
  EXPECT_TRUE(captionFits(form->Label3));
  EXPECT_TRUE(captionFits(form->Command5));
  EXPECT_NEAR(points(form->Text2), name, 0.01);
  resizeInner(2 * kWidth, kHeight);
  EXPECT_NEAR(points(form->Command1), button, 0.01);
  resizeInner(2 * kWidth, 2 * kHeight);
  EXPECT_NEAR(points(form->Text2) / name, 2, 0.01);
  EXPECT_NEAR(points(form->Command1) / button, 2, 0.01);
  EXPECT_NEAR(form->noteBox()->width(), 2 * note.width(), 1);
  EXPECT_NEAR(form->noteBox()->height(), 2 * note.height(), 1);
}

// Every box inside the screen, and the month information's caption at its widest month
// whole, at every size the layout takes: narrow, wide, tall, short.
TEST_F(LayoutTest, EveryBoxStaysInsideAndTheMonthInformationCaptionIsNeverCutOff) {
  QList<QSize> sizes{
      {kWidth, kHeight}, {2 * kWidth, kHeight}, {kWidth / 2, kHeight}, {kWidth, 2 * kHeight}};
  for (int w = 60; w < 1600; w += 97)
    for (int h = 30; h < 1200; h += 83) sizes << QSize(w, h);
  QList<QWidget*> boxes{form->Text2, form->Text3, form->noteBox(),
                        form->Text4, form->List2, form->Combo1};
  for (int month = 1; month <= 12; ++month) boxes << form->monthCell(month);
  for (const QSize size : sizes) {
    resizeInner(size.width(), size.height());
    for (QWidget* box : boxes)
      EXPECT_TRUE(form->rect().contains(box->geometry()))
          << box->objectName().toStdString() << " at " << QTest::toString(size);
    const QLabel* caption = form->Label8;
    const QRect needed =
        QFontMetrics(caption->font())
            .boundingRect(caption->contentsRect(), caption->alignment(), u" 12月の\n情報"_s);
    EXPECT_TRUE(caption->contentsRect().contains(needed))
        << QTest::toString(size) << QTest::toString(needed) << QTest::toString(caption->rect());
  }
}

TEST_F(LayoutTest, TheNoteAndTheNameListTakeTheChosenSizeScaledLikeTheScreen) {
  m.NoteFontSize = 20;
  resizeInner(kWidth, 2 * kHeight);
  EXPECT_NEAR(points(form->noteBox()) / points(form->Text2), 20 / 9.0, 0.01);
  EXPECT_NEAR(points(form->List2), points(form->noteBox()), 0.01);
}

TEST_F(LayoutTest, TooSmallOrMinimizedOrFillingLeavesTheLastLayout) {
  resizeInner(kWidth, kHeight);
  const QRect before = form->noteBox()->geometry();
  resizeInner(39, kHeight);     // 585 twips, below 600
  resizeInner(kWidth * 2, 19);  // 285 twips, below 300
  m.EditsEnabled = false;
  resizeInner(kWidth * 2, kHeight * 2);
  m.EditsEnabled = true;
  form->showMinimized();
  form->layOut();
  EXPECT_EQ(form->noteBox()->geometry(), before);
  form->showNormal();
  form->layOut();
  EXPECT_NE(form->noteBox()->geometry(), before);
}

}  // namespace
}  // namespace velnor::test
