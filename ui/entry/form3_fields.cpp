// The fields of the input screen: what they accept while the user types, the month
// information box, and their reactions to keys, the mouse and the focus.

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>

#include "core/saturating.h"
#include "core/text_file.h"
#include "ui/common/key_codes.h"
#include "ui/entry/form3.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace {

bool validMonth(int month) { return month >= 1 && month <= 12; }

}  // namespace

// ---- Text access

QString Form3::boxText(QWidget* box) const {
  if (auto* line = qobject_cast<QLineEdit*>(box)) return line->text();
  if (auto* multi = qobject_cast<QPlainTextEdit*>(box)) return boxTextToCrLf(multi->toPlainText());
  return {};
}

void Form3::setBoxText(QWidget* box, const QString& crLfText) {
  if (auto* line = qobject_cast<QLineEdit*>(box)) return line->setText(crLfText);
  if (auto* multi = qobject_cast<QPlainTextEdit*>(box))
    return multi->setPlainText(crLfToBoxText(crLfText));
}

int Form3::caretOf(QWidget* box) const {
  if (auto* line = qobject_cast<QLineEdit*>(box)) return line->cursorPosition();
  if (auto* multi = qobject_cast<QPlainTextEdit*>(box)) return multi->textCursor().position();
  return 0;
}

void Form3::setCaret(QWidget* box, int position) {
  position = std::max(0, position);
  if (auto* line = qobject_cast<QLineEdit*>(box))
    return line->setCursorPosition(std::min(position, int(line->text().size())));
  if (auto* multi = qobject_cast<QPlainTextEdit*>(box)) {
    QTextCursor c = multi->textCursor();
    c.setPosition(std::min(position, int(multi->document()->characterCount()) - 1));
    multi->setTextCursor(c);
  }
}

// ---- Character rules

QString Form3::restoreValue(EntryBox kind, int month) const {
  switch (kind) {
    case EntryBox::Name:
      return m.PersonName;
    case EntryBox::Territory:
      return m.PersonTerritory;
    case EntryBox::MonthCell:
      return m.MonthDates[month];
    case EntryBox::Note:
      return acceptedNote_;
    case EntryBox::MonthInfo:
      return validMonth(m.NoteMonth) ? m.MonthNotes[m.NoteMonth] : QString();
  }
  return {};
}

// Input methods on Linux type some characters that code page 932 holds only as a
// look-alike (〜 for ～ and others); the box takes the look-alike at once, so what the
// user sees is what is stored.
bool Form3::replaceLookalikes(QWidget* box) {
  if (auto* line = qobject_cast<QLineEdit*>(box)) {
    const QString mapped = toWindowsLookalikes(line->text());
    if (mapped == line->text()) return false;
    const int caret = line->cursorPosition();
    line->setText(mapped);
    line->setCursorPosition(caret);
    return true;
  }
  auto* multi = qobject_cast<QPlainTextEdit*>(box);
  if (!multi) return false;
  const QString text = multi->toPlainText();
  const QString mapped = toWindowsLookalikes(text);
  if (mapped == text) return false;
  // Replace only the changed characters, so the caret, scrolling and undo stay usable.
  for (int i = 0; i < text.size(); ++i) {
    if (text.at(i) == mapped.at(i)) continue;
    QTextCursor c(multi->document());
    c.setPosition(i);
    c.setPosition(i + 1, QTextCursor::KeepAnchor);
    c.insertText(QString(mapped.at(i)));
  }
  return true;
}

void Form3::applyRules(QWidget* box, EntryBox kind, int month) {
  if (!m.EditsEnabled || filling_ > 0 || unloaded_) return;
  if (kind == EntryBox::MonthInfo && (!Text4->isEnabled() || !validMonth(m.NoteMonth))) return;

  ++filling_;
  replaceLookalikes(box);
  --filling_;

  const QString text = boxText(box);
  const QString restore = restoreValue(kind, month);
  if (const auto refusal = findRefusal(crLfToBoxText(text), kind); refusal && text != restore) {
    m.shell->message(u"無効です"_s, refusal->prompt, Buttons::Ok);
    ++filling_;
    setBoxText(box, restore);
    if (!refusal->firstPosition) setCaret(box, SavedCaret);
    --filling_;
    return;
  }

  // Accepted.
  switch (kind) {
    case EntryBox::Note:
      acceptedNote_ = text;
      break;
    case EntryBox::MonthInfo:
      m.MonthNotes[m.NoteMonth] = text;
      MonthNoteTouched = saturatingIncrement(MonthNoteTouched);
      break;
    case EntryBox::Name:
      setNameEntry(text);
      break;
    default:
      break;
  }
  // Changes that come without a key release in the box (a paste from the context menu,
  // an input method) still mark the person as edited.
  m.PersonModified = true;
}

void Form3::Text1_Change(int index) {
  if (index == 0)
    applyRules(Text1.note, EntryBox::Note, 0);
  else if (validMonth(index))
    applyRules(monthCell(index), EntryBox::MonthCell, index);
}

void Form3::Text2_Change() { applyRules(Text2, EntryBox::Name, 0); }

void Form3::Text3_Change() { applyRules(Text3, EntryBox::Territory, 0); }

void Form3::Text4_Change() { applyRules(Text4, EntryBox::MonthInfo, 0); }

// ---- The month information box

void Form3::setMonthInfoCaption(int month) {
  Label8->setText(u" "_s + QString::number(month) + u"月の\n情報"_s);
  Text4->setAccessibleName(u"%1月の情報"_s.arg(month));
}

void Form3::showMonthInfo(int month, bool enable) {
  m.MonthNotes[month] = toScreenForm(m.MonthNotes[month]);
  ++filling_;
  if (enable) Text4->setEnabled(true);
  if (boxText(Text4) != m.MonthNotes[month]) setBoxText(Text4, m.MonthNotes[month]);
  --filling_;
  setMonthInfoCaption(month);
}

void Form3::Text1_GotFocus(int index) {
  if (!validMonth(index)) {
    Text4->setEnabled(false);
    return;
  }
  m.NoteMonth = qint16(index);
  HoverMonth = qint16(index);
  showMonthInfo(index, true);
  monthCell(index)->setCursorPosition(int(monthCell(index)->text().size()));
}

void Form3::Text2_GotFocus() { Text4->setEnabled(false); }

void Form3::Text3_GotFocus() { Text4->setEnabled(false); }

void Form3::Text1_MouseMove(int index) {
  HoverMonth = qint16(index);
  if (Text4->isEnabled() || !validMonth(index)) return;
  showMonthInfo(index, false);
}

// ---- Keys and the mouse in the fields

void Form3::setNameEntry(const QString& text) { List2->setText(shownIndex_, text); }

void Form3::fieldKeyUp(QWidget* box, int keyCode, bool arrowsMove) {
  m.PersonModified = true;
  SavedCaret = clampTo16(caretOf(box));
  if (box == Text2) setNameEntry(Text2->text());
  if (box == Text4) MonthNoteTouched = saturatingIncrement(MonthNoteTouched);
  if (!arrowsMove || !m.mainWindow) return;
  if (keyCode == kKeyUp) m.mainWindow->pressUp();
  if (keyCode == kKeyDown) m.mainWindow->pressDown();
}

void Form3::Text1_KeyUp(int index, int keyCode) {
  // In the note the arrow keys only move the caret.
  fieldKeyUp(Text1[index], keyCode, index != 0);
}

void Form3::Text2_KeyUp(int keyCode) { fieldKeyUp(Text2, keyCode, true); }

void Form3::Text3_KeyUp(int keyCode) { fieldKeyUp(Text3, keyCode, true); }

void Form3::Text4_KeyUp(int keyCode) { fieldKeyUp(Text4, keyCode, true); }

void Form3::Text1_MouseUp(int index) {
  if (validMonth(index)) {
    m.CurrentColumn = qint16(index + 2);
    m.NoteMonth = qint16(index);
    HoverMonth = qint16(index);
  }
  m.PlaceCursor();
  m.PersonModified = true;
  SavedCaret = clampTo16(caretOf(Text1[index]));
}

void Form3::Text2_MouseUp() {
  m.CurrentColumn = 2;
  m.PlaceCursor();
  setNameEntry(Text2->text());
  m.PersonModified = true;
  SavedCaret = clampTo16(caretOf(Text2));
}

void Form3::Text3_MouseUp() {
  m.CurrentColumn = 1;
  m.PlaceCursor();
  m.PersonModified = true;
  SavedCaret = clampTo16(caretOf(Text3));
}

void Form3::Text4_MouseUp() {
  MonthNoteTouched = saturatingIncrement(MonthNoteTouched);
  m.PersonModified = true;
  SavedCaret = clampTo16(caretOf(Text4));
}

void Form3::List2_MouseUp() {
  m.DuplicateCount = 0;
  m.CurrentColumn = 2;
  Command3->click();
}

}  // namespace velnor
