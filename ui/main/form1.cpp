// Form1: construction, commands, keys and selection.
#include "ui/main/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QList>
#include <algorithm>
#include <cmath>
#include <vector>

#include "core/sync_conflicts.h"
#include "core/table_drawing.h"
#include "ui/common/accessibility.h"
#include "ui/common/combo_chooser.h"
#include "ui/common/delete_question.h"
#include "ui/common/find_box.h"
#include "ui/common/fonts.h"
#include "ui/common/history_keys.h"
#include "ui/common/key_codes.h"
#include "ui/common/sheet_export.h"
#include "ui/main/folder_watch.h"
#include "ui/main/import_window.h"
#include "ui/main/merge_window.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace {

struct ButtonWords {
  const char16_t* caption;
  const char16_t* tip;
  const char16_t* name;  // what a screen reader says
};

constexpr ButtonWords kButtons[] = {
    {u"追加", u"新しい人を加えます。(F1)", u"人を追加"},
    {u"削除", u"この人をリストから削除します。(F2)", u"この人を削除"},
    {u"印刷", u"印刷します。(F6)", u"印刷"},
    {u"設定", u"設定画面を表示します。(F3)", u"設定"},
    {u"終", u"終了します。(F5)", u"終了"},
    {u"▲", u"上へずらします。(↑)", u"前の人"},
    {u"▼", u"下へずらします。(↓)", u"次の人"},
    {u"入力", u"入力画面を表示します。(Space)", u"入力画面"},
    {u"Command9", u"", u""},
};

constexpr qint32 kDesignButtonColor = 0xFFC0C0;

}  // namespace

Form1::Form1(Module1& module, QWidget* parent) : QWidget(parent), m(module) {
  setWindowTitle(u"再訪問記録一覧"_s);
  setAutoFillBackground(true);
  createButtons();
  createChooser();
  createList();
  createLayout();
  createCommands();
  watchKeys();
  watch_ = new FolderWatch(
      m, [this] { takeOutsideChange(); }, this);
  m.mainWindow = this;
}

void Form1::takeOutsideChange() {
  if (m.ProgramEnded) return;
  // Never under an open box or a chosen folder being opened: look again afterwards.
  if (QApplication::activeModalWidget() || QApplication::activePopupWidget() || chooserOpen())
    return watch_->noticed();
  const quint64 reads = m.folder().diskReads();
  const bool sameFile = m.folder().path() == m.IndexFilePath;
  const bool readable = m.RefreshFolder();
  if (inputScreenLoaded()) m.inputScreen->showOutsideChange();
  if (!readable || !sameFile || m.folder().diskReads() != reads) {
    clearList();
    Command9_Click();
  }
  if (readable) takeConflictCopies();
}

void Form1::takeConflictCopies() {
  const QStringList copies = findConflictCopies(m.recordFolderPath());
  const QString where = m.recordFolderPath() + u'/';
  if (std::all_of(copies.begin(), copies.end(),
                  [&](const QString& c) { return conflictsPutOff_.contains(where + c); }))
    return;
  const auto putOff = [&] {
    for (const QString& c : copies) conflictsPutOff_.insert(where + c);
  };
  // What is being typed is stored first, as before every change of the folder.
  if (inputScreenLoaded()) {
    m.inputScreen->changeTest();
    if (m.PersonModified && !m.inputScreen->saveStep()) return putOff();
    m.PersonModified = false;
  }
  if (!m.RefreshFolder()) return;
  MergePlan plan = planMerge(m.folder(), m.recordFolderPath(), copies);
  QString text =
      u"ほかのパソコンでも同時に変更されたため、同期ソフトが次のコピーを残しました。\n\n"_s +
      copies.join(u'\n');
  if (!plan.unreadable.isEmpty())
    text += u"\n\n次のコピーは読めないため、そのままにします。\n"_s + plan.unreadable.join(u'\n');
  if (!plan.items.isEmpty())
    text += u"\n\n次の画面で、人ごとに残す方を選んでください。"_s;
  else if (!plan.copies.isEmpty())
    text += u"\n\n記録の内容は同じです。コピーはバックアップのフォルダーに移します。"_s;
  m.shell->message(u"同期の衝突"_s, text, Buttons::Ok, Icon::Warning);
  if (plan.copies.isEmpty()) return putOff();
  if (!plan.items.isEmpty()) {
    MergeWindow window(plan, this);
    if (window.exec() != QDialog::Accepted) return putOff();
  }
  putOff();  // those that could not be read stay where they are, asked again next start
  if (!m.StoreMerge(plan)) return;
  // The list, the names and the person shown, as stored now.
  m.EditsEnabled = false;
  m.ChangeRecordFolder();
  m.EditsEnabled = true;
}

Form1::~Form1() {
  if (m.mainWindow == this) m.mainWindow = nullptr;
}

void Form1::createButtons() {
  for (int i = 0; i < 9; ++i) {
    auto* b = new QPushButton(QString::fromUtf16(kButtons[i].caption), this);
    b->setObjectName(u"Command"_s + QString::number(i + 1));
    const QString tip = QString::fromUtf16(kButtons[i].tip);
    if (!tip.isEmpty()) b->setToolTip(tip);
    b->setAccessibleName(QString::fromUtf16(kButtons[i].name));
    b->setAccessibleDescription(tip);
    // ▲ and ▼ keep the window's own font; the others use the P gothic.
    if (i != 5 && i != 6) b->setFont(QFont(kPGothic, 8));
    buttons_[i] = b;
  }
  Command1 = buttons_[0], Command2 = buttons_[1], Command3 = buttons_[2];
  Command4 = buttons_[3], Command5 = buttons_[4], Command6 = buttons_[5];
  Command7 = buttons_[6], Command8 = buttons_[7], Command9 = buttons_[8];
  hideFromScreenReaders(Command9);
  setButtonColor(kDesignButtonColor);

  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
  connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
  connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
  connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
  connect(Command7, &QPushButton::clicked, this, [this] { Command7_Click(); });
  connect(Command8, &QPushButton::clicked, this, [this] { Command8_Click(); });
  connect(Command9, &QPushButton::clicked, this, [this] { Command9_Click(); });
}

void Form1::createChooser() {
  Combo1 = new QComboBox(this);
  Combo1->setObjectName(u"Combo1"_s);
  Combo1->setToolTip(u"データーフォルダーの変更をします。"_s);
  Combo1->setAccessibleName(u"記録フォルダー"_s);
  Combo1->setFont(QFont(kPGothic, 9));
  Combo1->addItem(kNewFolderItem);
  chooser_ = std::make_unique<ComboChooser>(Combo1, [this] { Combo1_Click(); });
}

void Form1::createList() {
  Picture1 = new ListPicture(this);
  Picture1->setObjectName(u"Picture1"_s);
  Shape1 = Picture1->marker();
  connect(Picture1, &ListPicture::released, this,
          [this](double x, double y) { Picture1_MouseUp(x, y); });
  connect(Picture1, &ListPicture::doubleClicked, this, [this] { Picture1_DblClick(); });
  connect(Picture1, &ListPicture::scrolled, this, [this](int) { redrawScrolled(); });
  // A text the list cuts off shows whole when the pointer rests on it.
  Picture1->toolTipAt = [this](QPointF at) {
    return cutCellText(m, Picture1->surface(), listFontPoints(), at);
  };
  readListAloud();
}

// Screen readers read the cells from the folder in memory, as the list draws them.
void Form1::readListAloud() {
  TableReading& r = Picture1->reading;
  r.rows = [this] { return std::min<int>(m.PersonCount, m.folder().recordCount()); };
  r.headers = [this] {
    QStringList captions{u"区域"_s, u"名前"_s};
    for (int j = 1; j <= shownMonthCount(); ++j) captions << u"%1月"_s.arg(m.FirstMonthOffset + j);
    return captions;
  };
  r.text = [this](int row, int column) { return cellTextAt(row, column); };
  r.cursor = [this] {
    const int c = m.CurrentColumn;
    const int column = c <= 2 ? std::max(c, 1) - 1 : c - 3 - m.FirstMonthOffset + 2;
    const bool shown = m.Shape1Visible && column >= 0 && column < 2 + shownMonthCount();
    return shown ? QPoint(column, m.CurrentIndex) : QPoint(-1, -1);
  };
  r.cell = [this](int row, int column) {
    const double tw = m.TerritoryColumnWidth, nw = m.NameColumnWidth, mw = m.MonthColumnWidth;
    const double left = column == 0 ? 0 : column == 1 ? tw : tw + nw + (column - 2) * mw;
    const double width = column == 0 ? tw : column == 1 ? nw : mw;
    return QRectF(left, (row + 1.0) * m.RowHeight, width, m.RowHeight);
  };
}

int Form1::shownMonthCount() const {
  return monthWindowFor(m.DisplaySpan, m.CurrentMonth).monthCount;
}

// Column 0 the territory, 1 the name, then the months shown.
QString Form1::cellTextAt(int row, int column) const {
  if (row < 0 || row >= m.folder().recordCount()) return {};
  const Record rec = m.folder().record(row);
  if (column == 0) return rec.territory;
  if (column == 1) return rec.name;
  const int month = m.FirstMonthOffset + column - 1;
  return month >= 1 && month <= 12 ? rec.months[month] : QString();
}

// Key preview: the window sees key releases before its controls.
void Form1::watchKeys() {
  installEventFilter(this);
  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
    return QWidget::eventFilter(watched, event);
  // The chooser's open list takes its own keys: arrows, Enter, Escape.
  if (chooserOpen()) return QWidget::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  // Alt+Down opens the chooser's list wherever the focus is; it is no move down.
  if (key->key() == Qt::Key_Down && (key->modifiers() & Qt::AltModifier)) {
    if (watched == Combo1) return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress && Combo1->isEnabled()) {
      Combo1->setFocus(Qt::ShortcutFocusReason);
      Combo1->showPopup();
    }
    return true;
  }
  // The window's keys never reach the controls: Space must not press the focused
  // button, nor an arrow switch the record folder in the chooser.
  if (commands_.take(key, !m.ProgramEnded)) return true;
  return QWidget::eventFilter(watched, event);
}

// The list of the chooser is a window of its own, a child of the chooser.
bool Form1::chooserOpen() const {
  const QWidget* popup = QApplication::activePopupWidget();
  return popup && popup->parentWidget() == Combo1;
}

// Every key of the window, with the button it presses where it has one.
void Form1::createCommands() {
  commands_.addButton(Command1, {Qt::Key_F1});
  commands_.addButton(Command2, {Qt::Key_F2});
  commands_.addButton(Command4, {Qt::Key_F3});
  commands_.addButton(Command5, {Qt::Key_F5});
  commands_.addButton(Command3, {Qt::Key_F6});
  commands_.addButton(Command6, {Qt::Key_Up});
  commands_.addButton(Command7, {Qt::Key_Down});
  commands_.addButton(Command8, {Qt::Key_Space});
  commands_.add(u"左の列"_s, {Qt::Key_Left}, [this] { moveColumn(-1); });
  commands_.add(u"右の列"_s, {Qt::Key_Right}, [this] { moveColumn(1); });
  commands_.add(u"最初の人"_s, {Qt::Key_Home}, [this] { moveRowTo(0); });
  commands_.add(u"最後の人"_s, {Qt::Key_End}, [this] { moveRowTo(m.PersonCount - 1); });
  commands_.add(u"前のページ"_s, {Qt::Key_PageUp},
                [this] { moveRowTo(m.CurrentIndex - Picture1->fullRows()); });
  commands_.add(u"次のページ"_s, {Qt::Key_PageDown},
                [this] { moveRowTo(m.CurrentIndex + Picture1->fullRows()); });
  commands_.addRecordCommands([this](bool redo) { undoChange(redo); }, [this] { openFindBox(); },
                              [this] { (void)exportRecordsAsked(m, this); });
  commands_.add(u"読み込み"_s, {Qt::CTRL | Qt::Key_I},
                [this] { (void)importRecordsAsked(m, this); });
}

// A row move by keyboard, kept within the people.
void Form1::moveRowTo(int target) {
  target = std::clamp(target, 0, std::max(0, m.PersonCount - 1));
  if (target != m.CurrentIndex) moveSelectionTo(qint16(target));
}

// Left and Right step through the columns shown: territory, name, the months in view.
void Form1::moveColumn(int step) {
  const MonthWindow shownMonths = monthWindowFor(m.DisplaySpan, m.CurrentMonth);
  std::vector<int> shown{1, 2};
  for (int k = 1; k <= shownMonths.monthCount; ++k)
    shown.push_back(2 + shownMonths.firstMonthOffset + k);
  const int column = std::max<int>(1, m.CurrentColumn);  // 0 counts as the territory
  int target = column;
  if (step > 0) {
    const auto next = std::upper_bound(shown.begin(), shown.end(), column);
    target = next != shown.end() ? *next : shown.back();
  } else {
    const auto here = std::lower_bound(shown.begin(), shown.end(), column);
    target = here != shown.begin() ? *std::prev(here) : shown.front();
  }
  if (target == m.CurrentColumn) return;
  m.CurrentColumn = qint16(target);
  m.PlaceCursor();
}

void Form1::openFindBox() {
  if (m.ProgramEnded) return;
  if (!findBox_)
    findBox_ = new FindBox(
        m, [this](int row) { moveSelectionTo(qint16(row)); }, this);
  findBox_->openOver(this);
}

// ---- Commands

void Form1::Command1_Click() {
  if (!m.InputScreenOpen) Command8->click();
  if (m.ProgramEnded || !inputScreenLoaded()) return;
  m.inputScreen->pressAdd();
  if (m.ProgramEnded) return;
  placeNameMarker();
}

// The marker on the name cell of the selected row (after adding or deleting).
void Form1::placeNameMarker() {
  m.Shape1Height = m.RowHeight;
  m.Shape1Top = (double(m.CurrentIndex) + 1) * m.RowHeight;
  m.Shape1Left = m.TerritoryColumnWidth;
  m.Shape1Width = m.NameColumnWidth;
  m.Shape1Visible = true;
  markerChanged();
}

void Form1::Command2_Click() {
  if (m.InputScreenOpen) {
    if (inputScreenLoaded()) m.inputScreen->pressDelete();
    return;
  }
  // The person is the one the list shows; the delete checks that the file still holds it.
  const ParsedFolder& shown = m.folder();
  if (shown.path() != m.IndexFilePath || m.CurrentIndex < 0 ||
      m.CurrentIndex >= shown.recordCount())
    return;  // nothing shown to delete (an unreadable file has been reported)
  const QString name = shown.nameOf(m.CurrentIndex);
  if (m.shell->message(u"削除の確認"_s, deleteQuestion(name), Buttons::OkCancel) != Answer::Ok)
    return;
  clearList();
  m.TargetIndex = m.CurrentIndex;
  {
    const ChangeScope change(m, m.CurrentIndex);  // the line, the note, a placeholder
    if (!m.DeletePerson(m.CurrentIndex)) {  // the person is still stored: keep the note file too
      Command9->click();
      return;
    }
    // Two people may share a name and so one note file: it goes with the last of them.
    (void)m.RemoveNoteFileIfUnused(name);  // a failure has been reported
    if (m.PersonCount < 1 && m.WritePlaceholderIndex()) {
      m.PersonCount = 1;
      m.CurrentIndex = 0;
    }
  }
  Command9->click();
  placeNameMarker();
}

void Form1::Command3_Click() {
  if (m.ProgramEnded) return;
  m.shell->showPrintWindow();
}

void Form1::Command4_Click() {
  if (m.InputScreenOpen) {
    if (inputScreenLoaded()) m.inputScreen->pressSettings();
    return;
  }
  m.shell->showSettingsScreen();
}

void Form1::Command5_Click() { close(); }

void Form1::Command6_Click() {
  if (m.CurrentIndex >= 1) moveSelectionTo(qint16(m.CurrentIndex - 1));
}

void Form1::Command7_Click() {
  if (m.CurrentIndex <= m.PersonCount - 2) moveSelectionTo(qint16(m.CurrentIndex + 1));
}

// With the input screen open the move goes through it, so the person shown is stored first.
void Form1::moveSelectionTo(qint16 target) {
  m.TargetIndex = target;
  if (m.InputScreenOpen && inputScreenLoaded()) {
    m.inputScreen->selectName(m.TargetIndex);
    m.inputScreen->pressLoadSelected();
  } else {
    m.CurrentIndex = m.TargetIndex;
    m.PlaceCursor();
  }
}

void Form1::Command8_Click() {
  if (m.InputScreenOpen) {
    closeInputScreen();
  } else {
    m.InputScreenOpen = true;
    m.shell->showInputScreen();
  }
}

void Form1::closeInputScreen() {
  m.InputScreenOpen = false;
  if (!inputScreenLoaded()) return;
  m.inputScreen->unload();
  // The screen refused to close (a duplicate name): it is still open and in charge.
  if (inputScreenLoaded() && !m.ProgramEnded) m.InputScreenOpen = true;
}

// With the input screen open it stores its person first and then shows the one concerned.
void Form1::undoChange(bool redo) {
  if (m.ProgramEnded) return;
  if (m.InputScreenOpen && inputScreenLoaded()) return m.inputScreen->undoChange(redo);
  if (!(redo ? m.Redo() : m.Undo())) return;
  m.EditsEnabled = false;
  m.ChangeRecordFolder();  // re-opens the folder with the person concerned selected
  m.EditsEnabled = true;
}

void Form1::Picture1_DblClick() { Command8_Click(); }

void Form1::Command9_Click() {
  if (m.ProgramEnded) return;
  // The chooser names the folder shown; while it shows "新規作成" the folder in use counts.
  const int item = Combo1->currentIndex();
  const QString folder =
      item > 0 && !Combo1->currentText().isEmpty() ? u'%' + Combo1->currentText() : m.CurrentFolder;
  m.IndexFilePath = m.indexPathFor(folder);
  pp_reduc();
  if (!m.CountPeople()) clearList();  // unreadable: the list stays empty
  followSelection();
  draw_rutin(Picture1->surface());
  m.PlaceCursor();
}

void Form1::Picture1_MouseUp(double x, double y) {
  // Unsaved edits can only be on an input screen that is open.
  if (m.PersonModified && inputScreenLoaded()) {
    m.inputScreen->pressLoadSelected();
    if (m.PersonModified || m.ProgramEnded) return;
  }
  const double rh = m.RowHeight > 0 ? m.RowHeight : 1;
  int r = int(std::floor(y / rh)) - 1;
  if (r < 0 || r > m.PersonCount - 1) r = m.CurrentIndex;
  m.TargetIndex = qint16(r);
  m.CurrentIndex = qint16(r);

  const double tw = m.TerritoryColumnWidth, nw = m.NameColumnWidth, mw = m.MonthColumnWidth;
  if (x <= tw) {
    m.CurrentColumn = 1;
  } else if (x <= tw + nw) {
    m.CurrentColumn = 2;
  } else {
    const int col = int(std::floor((x - tw - nw + mw) / mw)) + 2 + m.FirstMonthOffset;
    // The right edge of the picture belongs to the last month shown, not to one beyond.
    const int lastShown =
        2 + m.FirstMonthOffset + monthWindowFor(m.DisplaySpan, m.CurrentMonth).monthCount;
    m.CurrentColumn = qint16(std::min(col, lastShown));
  }

  if (m.InputScreenOpen && inputScreenLoaded()) {
    m.inputScreen->selectName(m.TargetIndex);
    m.inputScreen->pressLoadSelected();
    if (m.ProgramEnded) return;
  }
  m.PlaceCursor();
}

void Form1::Combo1_Click() {
  if (m.ProgramEnded) return;
  m.EditsEnabled = true;
  if (m.InputScreenOpen && inputScreenLoaded()) {
    m.inputScreen->folderChooser().choose(Combo1->currentIndex());
    chooser_->select(m.FolderItemIndex);
  } else {
    m.ChangeRecordFolder();
  }
}

ChooserPort& Form1::folderChooser() { return *chooser_; }

void Form1::closeEvent(QCloseEvent* event) {
  // After the program has ended no window handles anything any more.
  if (m.ProgramEnded) {
    event->accept();
    return;
  }
  int cancel = 0;
  Form_Unload(cancel);
  if (cancel != 0)
    event->ignore();
  else
    event->accept();
}

}  // namespace velnor
