// The input screen's commands: add, delete, show the chosen person, settings, close,
// end, folder choice, function keys, loading and closing the screen.

#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include "ui/common/combo_chooser.h"
#include "ui/common/delete_question.h"
#include "ui/common/key_codes.h"
#include "ui/common/twips.h"
#include "ui/common/window_design.h"
#include "ui/entry/form3.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace {

bool validMonth(int month) { return month >= 1 && month <= 12; }

}  // namespace

// ---- Shared steps

bool Form3::duplicateNameGate() {
  m.DuplicateCount = 0;
  m.CheckDuplicateName();
  return m.DuplicateCount <= 1;
}

void Form3::changeTest() {
  if (!personShown_) {
    m.PersonModified = false;
    return;
  }
  int count = 0;
  for (int month = 1; month <= 12; ++month)
    if (text1(month) != m.MonthDates[month]) ++count;
  // The note is compared with the note as loaded (not with the last accepted text), so
  // that an edit of the note alone is stored too.
  if (text1(0) != m.PersonNote || Text2->text() != m.PersonName ||
      Text3->text() != m.PersonTerritory || MonthNoteTouched > 0 || storeFailed_)
    ++count;
  m.PersonModified = count > 0;
  MonthNoteTouched = 0;
}

bool Form3::saveStep() {
  if (!personShown_) return true;  // nothing was loaded, so nothing typed can be stored
  const QString name = Text2->text();
  QString why;
  if (!isStorableName(name, &why)) {
    refuseName(why);
    return false;
  }

  // The old name is the one the fields were loaded with, whatever the shared person
  // holds by now.
  const QString oldName = shownName_;
  const QString oldTerritory = m.PersonTerritory;
  const QString oldNote = m.PersonNote;
  const auto oldDates = m.MonthDates;
  const auto oldMonthNotes = m.MonthNotes;
  const ShownPerson typed = screenPerson();
  takeFields(name);
  // One change: the record, its note file and a renamed person's old note file.
  ChangeScope change(m, shownIndex_);
  if (!writeShownPerson()) {
    // The user has been told. Keep the loaded values as restore values, the typed text
    // on screen, and make the next command try again.
    m.PersonTerritory = oldTerritory;
    m.PersonName = oldName;
    m.PersonNote = oldNote;
    m.MonthDates = oldDates;
    m.MonthNotes = oldMonthNotes;
    storeFailed_ = true;
    m.PersonModified = true;
    if (m.ChangedOutside) showChangedPerson(typed);
    return false;
  }
  storeFailed_ = false;
  shownName_ = name;
  shown_ = screenPerson();

  // A renamed person's old note file goes only once the new one is written, and only
  // when nobody else has that name. Where the file system ignores case, a change of
  // case only names the same file: keep it.
  if (name != oldName && name.compare(oldName, Qt::CaseInsensitive) != 0)
    (void)m.RemoveNoteFileIfUnused(oldName);  // a failure has been reported
  // The screen goes on with the note in its on-screen form.
  m.PersonNote = toScreenForm(m.PersonNote);
  acceptedNote_ = m.PersonNote;
  return true;
}

void Form3::refuseName(const QString& why) {
  m.shell->message(u"無効です…"_s, why, Buttons::Ok);
  selectName(shownIndex_);
  focusNameBox();
  m.PersonModified = true;
}

// The fields into the loaded person, line breaks in their stored form.
void Form3::takeFields(const QString& name) {
  m.PersonTerritory = Text3->text();
  m.PersonName = name;
  m.PersonNote = toStoredForm(text1(0));
  for (int month = 1; month <= 12; ++month) {
    m.MonthNotes[month] = toStoredForm(m.MonthNotes[month]);
    m.MonthDates[month] = text1(month);
  }
}

// The record to replace is the one in the fields, whatever moved the selection since.
bool Form3::writeShownPerson() {
  const qint16 selection = m.CurrentIndex;
  bool stored = true;
  if (shownIndex_ < 0) {
    // Its line was changed by another program: the typed person is added anew rather
    // than written over someone else.
    stored = m.AppendPerson();
    if (stored) shownIndex_ = m.CurrentIndex;
  }
  const bool addedAgain = stored && m.AddedAgain;
  if (stored) stored = m.StorePerson(shownIndex_);
  m.CurrentIndex = selection;
  if (stored && addedAgain)
    m.shell->message(u"追加しました"_s,
                     u"この人はほかのプログラムによって記録ファイルから消されていたため、"
                     u"入力した内容で最後に追加しました。"_s,
                     Buttons::Ok, Icon::Information);
  return stored;
}

bool Form3::storeIfModified(bool refresh) {
  changeTest();
  if (!m.PersonModified) return true;
  if (!saveStep()) return false;
  m.PersonModified = false;
  if (refresh && m.mainWindow) {
    m.mainWindow->clearList();
    m.mainWindow->pressRefresh();
  }
  return true;
}

// A text longer than a line box can hold is shown whole but cannot be edited there: typing
// into it would cut it at the box's limit.
void Form3::showLineField(QLineEdit* box, const QString& text) {
  constexpr int kEditableLength = 32767;
  const bool tooLong = text.size() > kEditableLength;
  box->setMaxLength(tooLong ? int(text.size()) : kEditableLength);
  box->setText(text);
  box->setReadOnly(tooLong);
  box->setToolTip(tooLong ? u"この欄は%1文字あり、長すぎるためここでは変更できません。"
                            u"ほかの欄は変更できます。"_s.arg(text.size())
                          : QString());
  box->setEnabled(true);
}

void Form3::showNobody() {
  ++filling_;
  for (QLineEdit* box : {Text3, Text2}) {
    box->clear();
    box->setEnabled(false);
  }
  for (int month = 1; month <= 12; ++month) {
    monthCell(month)->clear();
    monthCell(month)->setEnabled(false);
  }
  noteBox()->clear();
  noteBox()->setEnabled(false);
  Text4->clear();
  Text4->setEnabled(false);
  Label8->clear();
  --filling_;
  personShown_ = false;
  storeFailed_ = false;
  m.PersonModified = false;
}

void Form3::showStep() {
  ++filling_;
  showLineField(Text3, m.PersonTerritory);
  Text3->selectAll();
  showLineField(Text2, m.PersonName);
  Text2->selectAll();
  noteBox()->setPlainText(crLfToBoxText(m.PersonNote));
  noteBox()->setEnabled(true);
  noteBox()->selectAll();
  for (int month = 1; month <= 12; ++month) showLineField(monthCell(month), m.MonthDates[month]);
  if (validMonth(m.NoteMonth)) {
    m.MonthNotes[m.NoteMonth] = toScreenForm(m.MonthNotes[m.NoteMonth]);
    setBoxText(Text4, m.MonthNotes[m.NoteMonth]);
    setMonthInfoCaption(m.NoteMonth);
  } else {
    Text4->clear();
    Label8->clear();
  }
  Text4->setEnabled(false);
  --filling_;
  acceptedNote_ = m.PersonNote;
  shownIndex_ = m.CurrentIndex;
  shownName_ = m.PersonName;
  shown_ = screenPerson();
  storeFailed_ = false;
  personShown_ = true;
  MonthNoteTouched = 0;
}

// Listing the names leaves the last record's territory and name in the loaded person;
// the person in the fields keeps its own.
void Form3::refillNames() {
  const QString territory = m.PersonTerritory;
  const QString name = m.PersonName;
  replaceNames_ = true;
  if (!m.ListNames()) List2->clear();
  replaceNames_ = false;
  m.PersonTerritory = territory;
  m.PersonName = name;
}

// Another program changed the index file: the list and the names show its new
// content, the fields keep what was typed, and the next store goes where the loaded
// line went (or adds the person anew when it is gone).
void Form3::showChangedFolder() {
  shownIndex_ = m.LoadedRecordIndex();
  if (m.CountPeople() && m.CurrentIndex >= m.PersonCount)
    m.CurrentIndex = qint16(std::max(0, m.PersonCount - 1));
  if (m.mainWindow) {
    m.mainWindow->clearList();
    m.mainWindow->pressRefresh();
  }
  refillNames();
  selectName(shownIndex_);
}

Form3::ShownPerson Form3::screenPerson() const {
  ShownPerson p{Text3->text(), Text2->text(), text1(0), {}, {}};
  for (int month = 1; month <= 12; ++month) {
    p.dates[month] = text1(month);
    p.monthNotes[month] = toStoredForm(m.MonthNotes[month]);
  }
  return p;
}

void Form3::showChangedPerson(const ShownPerson& typed) {
  const ShownPerson was = shown_;
  const qint16 found = m.LoadedRecordIndex();
  // A person whose record is gone keeps the record as typed; its note is read again.
  const bool reloaded = found >= 0 ? m.LoadPerson(found) : m.ReloadLoadedNote();
  if (reloaded) {
    showStep();
    reapplyTyping(typed, was);
  }
  storeFailed_ = true;  // the next move stores what the boxes now hold
  m.PersonModified = true;
  showChangedFolder();
}

void Form3::showOutsideChange() {
  if (unloaded_ || m.ProgramEnded) return;
  // What is being typed is never replaced: the next store meets the change instead.
  if (personShown_ && (storeFailed_ || screenPerson() != shown_)) return;
  const quint64 reads = m.folder().diskReads();
  if (personShown_ && !m.LoadedPersonChanged()) {
    // Only other people changed: the names follow, the fields stay.
    if (m.folder().diskReads() != reads || reads != namesRead_) {
      refillNames();
      selectName(shownIndex_);
    }
    namesRead_ = m.folder().diskReads();
    return;
  }
  const qint16 found = m.FindLoadedAgain();
  if (!m.CountPeople()) return showNobody();
  // A person removed by the other program gives way to the one now in its place.
  const qint16 at =
      found >= 0 ? found : qint16(std::clamp(int(shownIndex_), 0, std::max(0, m.PersonCount - 1)));
  if (!m.LoadPerson(at)) return showNobody();
  showStep();
  refillNames();
  selectName(shownIndex_);
  namesRead_ = m.folder().diskReads();
}

void Form3::reapplyTyping(const ShownPerson& typed, const ShownPerson& was) {
  ++filling_;
  if (typed.territory != was.territory) Text3->setText(typed.territory);
  if (typed.name != was.name) Text2->setText(typed.name);
  if (typed.note != was.note) noteBox()->setPlainText(crLfToBoxText(typed.note));
  for (int month = 1; month <= 12; ++month) {
    if (typed.dates[month] != was.dates[month]) monthCell(month)->setText(typed.dates[month]);
    if (typed.monthNotes[month] != was.monthNotes[month])
      m.MonthNotes[month] = typed.monthNotes[month];
  }
  if (validMonth(m.NoteMonth)) showMonthInfo(m.NoteMonth, false);
  --filling_;
  acceptedNote_ = text1(0);
}

void Form3::focusColumnField() {
  focusNameBox();
  QWidget* field = Text2;
  if (m.CurrentColumn == 1) field = Text3;
  if (m.CurrentColumn >= 3 && m.CurrentColumn <= 14) field = Text1[m.CurrentColumn - 2];
  field->setFocus(Qt::OtherFocusReason);
}

// ---- Commands

void Form3::Command1_Click() {
  // A second placeholder would share the first one's name, and every later move would
  // stop at the duplicate name.
  if (personShown_ && Text2->text() == kPlaceholderName) {
    m.shell->message(u"無効です…"_s, u"先に追加した人の名前を入力してください"_s, Buttons::Ok);
    focusNameBox();
    return;
  }
  if (!duplicateNameGate()) return;
  if (!storeIfModified(false)) return;
  m.PersonModified = false;

  if (!m.CountPeople()) return;
  if (m.PersonCount == 0) m.CurrentIndex = 0;
  {
    const ChangeScope change(m);    // the new line and its note file
    if (!m.AppendPerson()) return;  // told already (a full folder, a file error)
    if (!m.LoadPerson(m.CurrentIndex)) return showNobody();
  }
  m.NoteMonth = 0;  // a new person starts with the month information box empty
  showStep();
  refillNames();
  selectName(m.CurrentIndex);
  if (m.CurrentIndex < nameCount()) m.PersonName = nameAt(m.CurrentIndex);
  if (m.mainWindow) m.mainWindow->pressRefresh();
  focusNameBox();
}

void Form3::Command2_Click() {
  if (!personShown_) return m.shell->beep();  // nobody is shown to be deleted
  if (m.shell->message(u"削除の確認"_s, deleteQuestion(Text2->text()), Buttons::OkCancel) !=
      Answer::Ok)
    return;
  if (m.mainWindow) m.mainWindow->clearList();
  if (shownIndex_ >= 0) {
    const ChangeScope change(m, shownIndex_);
    // The person deleted is the one in the fields, the one the user was asked about.
    m.TargetIndex = shownIndex_;
    if (!m.DeletePerson(shownIndex_)) {
      if (m.ChangedOutside) return showChangedFolder();
      if (m.mainWindow) m.mainWindow->pressRefresh();
      return;
    }
    // Its note file goes once the record is gone, unless someone else has the name.
    (void)m.RemoveNoteFileIfUnused(shownName_);  // a failure has been reported
    if (m.PersonCount < 1) {
      if (m.WritePlaceholderIndex()) m.PersonCount = 1;
      m.CurrentIndex = 0;
    }
  } else {
    // Its line is gone already (another program changed the file): only the typed
    // text is dropped.
    m.shell->message(u"削除できません"_s,
                     u"この人はほかのプログラムによって記録ファイルからすでに消されています。"
                     u"入力中の内容は取り消します。"_s,
                     Buttons::Ok, Icon::Warning);
    m.CurrentIndex = qint16(std::clamp(int(m.CurrentIndex), 0, std::max(0, m.PersonCount - 1)));
  }
  if (!m.LoadPerson(m.CurrentIndex)) return showNobody();
  showStep();
  refillNames();
  if (nameCount() == 0) {
    Command1->click();
    return;
  }
  // The highlighted name is the person now in the fields.
  selectName(m.CurrentIndex);
  m.PersonModified = false;
  if (m.mainWindow) m.mainWindow->pressRefresh();
  focusNameBox();
}

void Form3::Command3_Click() {
  // Nothing is stored when nothing was edited, so only an edit can meet a duplicate
  // (a name list just filled from another folder is not compared with the old person).
  if (m.PersonModified && !duplicateNameGate()) return;
  if (m.PersonModified) changeTest();
  if (m.PersonModified) {
    m.EditsEnabled = true;
    if (!saveStep()) {
      selectName(shownIndex_);
      return;
    }
    m.PersonModified = false;
    if (m.mainWindow) {
      m.mainWindow->clearList();
      m.mainWindow->pressRefresh();
    }
  } else if (!m.EditsEnabled && m.mainWindow) {
    m.mainWindow->clearList();
    m.mainWindow->pressRefresh();
  }

  const int selected = selectedName();
  if (!m.LoadPerson(qint16(selected >= 0 ? selected : shownIndex_))) {
    m.CurrentIndex = shownIndex_;
    selectName(shownIndex_);
    return;
  }
  if (m.NoteMonth == 0 && HoverMonth > 0) m.NoteMonth = HoverMonth;
  showStep();
  refillNames();
  selectName(m.CurrentIndex);
  if (m.CurrentIndex < nameCount()) m.PersonName = nameAt(m.CurrentIndex);
  focusColumnField();
  m.PersonModified = false;
  m.PlaceCursor();
}

void Form3::undoChange(bool redo) {
  if (unloaded_ || m.ProgramEnded) return;
  // Typing not stored yet is no stored change: Ctrl+Z takes back the last change stored
  // and leaves what was typed in its boxes, still to be stored by the next move.
  const bool typing = personShown_ && (storeFailed_ || screenPerson() != shown_);
  const ShownPerson typed = screenPerson(), was = shown_;
  const QString typedFor = shownName_;
  const qint16 typedAt = shownIndex_;
  if (!(redo ? m.Redo() : m.Undo())) return;
  m.PersonModified = false;
  m.EditsEnabled = false;
  m.ChangeRecordFolder();  // the list, the names and the person concerned, as stored now
  if (m.ProgramEnded || m.inputScreen != this) return;
  m.EditsEnabled = true;
  if (typing) putTypingBack(typedFor, typedAt, typed, was);
}

// Shows the person typed into again and puts the typing back into the boxes the user
// changed. The person is the one of that name, or, when the change taken back was its
// rename, the one shown at its place; one the change removed takes its typing with it.
void Form3::putTypingBack(const QString& name, qint16 index, const ShownPerson& typed,
                          const ShownPerson& was) {
  int row = -1;
  for (int i = 0; i < nameCount() && row < 0; ++i)
    if (nameAt(i) == name) row = i;
  if (row < 0 && !(personShown_ && shownIndex_ == index)) return;
  if (row >= 0 && !(personShown_ && shownName_ == name)) {
    m.TargetIndex = qint16(row);
    selectName(row);
    Command3->click();
    if (!personShown_ || shownName_ != name) return;
  }
  reapplyTyping(typed, was);
  if (typed.monthNotes != was.monthNotes) MonthNoteTouched = 1;  // the next move stores them
}

void Form3::Command4_Click() {
  if (!duplicateNameGate()) return;
  if (!storeIfModified(true)) return;
  m.shell->showSettingsScreen();
}

void Form3::Command5_Click() {
  m.InputScreenOpen = false;
  unload();
}

void Form3::Command6_Click() { unload(); }

void Form3::printShown() {
  // What is on screen is what goes on paper: the shown person is stored first.
  if (!duplicateNameGate()) return;
  if (!storeIfModified(true)) return;
  if (m.mainWindow) m.mainWindow->pressPrint();
}

void Form3::Combo1_Click() {
  m.EditsEnabled = true;
  m.ChangeRecordFolder();
  if (m.ProgramEnded || m.inputScreen != this) return;
  // Whatever happened (a duplicate name, a dialog closed without a new folder), the
  // chooser goes back to naming the folder in use.
  const QString shown = m.CurrentFolder.mid(1);
  if (Combo1->currentText() != shown) chooser_->setText(shown);
}

void Form3::Form_Load() {
  applyColors();
  if (m.NoteFontSize >= kSmallestSizeSetting && m.NoteFontSize <= kLargestSizeSetting) {
    setNoteFontPoints(m.NoteFontSize);
  } else {
    setNoteFontPoints(kStandardNoteFontSize);
    m.NoteFontSize = kStandardNoteFontSize;
  }

  const QRect stored(m.InputLeft, m.InputTop, m.InputWidth > 0 ? m.InputWidth : kStandardInputWidth,
                     m.InputHeight > 0 ? m.InputHeight : kStandardInputHeight);
  const QRect outer = openingPlaceTwips(stored, kInputDesignFrame);
  m.EditsEnabled = false;
  setOuterLeftTopTwips(this, outer.left(), outer.top());
  setWidthTwips(outer.width());
  m.EditsEnabled = true;
  setHeightTwips(outer.height());

  m.CurrentIndex = 0;
  SavedCaret = 0;
  HoverMonth = 0;
  MonthNoteTouched = 0;
  m.PersonModified = false;
  m.EditsEnabled = false;
  m.ChangeRecordFolder();
  if (m.ProgramEnded || m.inputScreen != this) return;
  m.EditsEnabled = true;
}

void Form3::Form_QueryUnload(int& cancel) {
  if (!duplicateNameGate()) {
    cancel = 1;
    return;
  }
  if (!storeIfModified(true)) {
    cancel = 1;  // what was typed stays on screen rather than being lost
    return;
  }
  if (m.mainWindow && m.mainWindow->isMinimized()) m.mainWindow->restoreNormal();
  if (isMinimized()) restoreNormal();
  if (m.mainWindow) m.RememberMainGeometry(m.mainWindow->geometryTwips());
  m.RememberInputGeometry(geometryTwips());
  // The main window's unload writes them next: a full disk is then told of once.
  if (!m.MainWindowClosing) (void)m.SaveSettings();  // a failure has been reported
  m.CurrentColumn = 2;
  m.PersonModified = false;
  if (m.InputScreenOpen) m.EndProgram();
}

}  // namespace velnor
