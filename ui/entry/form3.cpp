#include "ui/entry/form3.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <algorithm>

#include "ui/common/accessibility.h"
#include "ui/common/combo_chooser.h"
#include "ui/common/find_box.h"
#include "ui/common/fonts.h"
#include "ui/common/history_keys.h"
#include "ui/common/key_codes.h"
#include "ui/common/sheet_export.h"
#include "ui/common/twips.h"
#include "ui/common/window_design.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace {

QPushButton* makeButton(QWidget* parent, const QString& caption, const QString& tip) {
  auto* b = new QPushButton(caption, parent);
  b->setToolTip(tip);
  b->setAutoDefault(false);
  b->setFocusPolicy(Qt::StrongFocus);
  return b;
}

QLabel* makeLabel(QWidget* parent, const QString& caption) {
  auto* l = new QLabel(caption, parent);
  l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return l;
}

QString designMonthCaption(int month) {
  static const QString fullWidthDigits = u"０１２３４５６７８９"_s;
  if (month < 10) return fullWidthDigits.at(month) + u"月"_s;
  return QString::number(month) + u"月"_s;
}

void setFontFace(QWidget* w, const QString& family) {
  QFont f(family);
  f.setBold(true);
  f.setPointSizeF(9);
  w->setFont(f);
}

}  // namespace

Form3::Form3(Module1& module, QWidget* parent) : QWidget(parent), m(module) {
  setWindowTitle(u"入力画面"_s);
  setAutoFillBackground(true);
  ++filling_;  // the design texts are not edits
  createButtons();
  createChooserAndLists();
  createFields();
  createLabels();
  setDesignFonts();
  createLayout();
  --filling_;
  showNobody();  // until a person is loaded
  connectChanges();
  createCommands();
  watchControls();
  m.inputScreen = this;
}

// Moves go through the name list and the load command, as a click on a name does, so
// that the person shown is stored first.
void Form3::openFindBox() {
  if (unloaded_ || m.ProgramEnded) return;
  if (!findBox_)
    findBox_ = new FindBox(
        m,
        [this](int row) {
          m.TargetIndex = qint16(row);
          selectName(row);
          Command3->click();
        },
        this);
  findBox_->openOver(this);
}

Form3::~Form3() {
  if (m.inputScreen == this) m.inputScreen = nullptr;
}

void Form3::createButtons() {
  Command1 = makeButton(this, u"追加"_s, u"新しい人を加えます。(F1)"_s);
  Command2 = makeButton(this, u"削除"_s, u"この人をリストから削除します。(F2)"_s);
  Command3 = makeButton(this, u"←"_s, {});
  hideFromScreenReaders(Command3);
  Command4 = makeButton(this, u"設定"_s, u"設定画面を表示します。(F3)"_s);
  Command5 = makeButton(this, u"OK"_s, u"この画面を消します。(F4)"_s);
  Command6 = makeButton(this, u"終"_s, u"終了します。(F5)"_s);
  const std::pair<QPushButton*, QString> names[] = {{Command1, u"人を追加"_s},
                                                    {Command2, u"この人を削除"_s},
                                                    {Command4, u"設定"_s},
                                                    {Command5, u"入力画面を閉じる"_s},
                                                    {Command6, u"終了"_s}};
  for (const auto& [button, name] : names) {
    button->setAccessibleName(name);
    button->setAccessibleDescription(button->toolTip());
  }
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
  connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
  connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
  connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
}

void Form3::createChooserAndLists() {
  Combo1 = new QComboBox(this);
  Combo1->addItem(kNewFolderItem);
  Combo1->setToolTip(u"データーフォルダーの変更をします。"_s);
  Combo1->setAccessibleName(u"記録フォルダー"_s);
  chooser_ = std::make_unique<ComboChooser>(Combo1, [this] { Combo1_Click(); });

  List2 = new NameList(this);
  List2->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  List2->setAccessibleName(u"名前の一覧"_s);
}

void Form3::createFields() {
  Text3 = new QLineEdit(u"区域"_s, this);
  Text2 = new QLineEdit(u"名前"_s, this);
  auto* note = new QPlainTextEdit(u"補足情報\n"_s, this);
  note->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  note->setTabChangesFocus(true);
  Text1.note = note;
  for (int month = 1; month <= 12; ++month) {
    auto* cell = new QLineEdit(designMonthCaption(month), this);
    cell->setMouseTracking(true);  // the hover preview of the month's information
    cell->setAccessibleName(u"%1月の会えた月日"_s.arg(month));
    Text1.months[month - 1] = cell;
  }
  Text4 = new QPlainTextEdit(this);
  Text4->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Text4->setTabChangesFocus(true);
  Text4->setEnabled(false);
  note->viewport()->setMouseTracking(true);
  Text3->setAccessibleName(u"区域"_s);
  Text2->setAccessibleName(u"名前"_s);
  note->setAccessibleName(u"補足情報"_s);
  Text4->setAccessibleName(u"月ごとの情報"_s);
}

void Form3::createLabels() {
  Label1 = makeLabel(this, u"区域"_s);
  hideFromScreenReaders(Label1);  // a second territory caption the layout never places
  Label2 = makeLabel(this, u"名前"_s);
  Label3 = makeLabel(this, u"補足情報"_s);
  Label4 = makeLabel(this, u"会えた月日"_s);
  Label5 = makeLabel(this, u"名前"_s);
  Label6 = makeLabel(this, u"区域"_s);
  Label8 = makeLabel(this, {});
  for (int k = 0; k < 12; ++k) {
    Label7[k] = makeLabel(this, QString::number(k + 1));
    Label7[k]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
}

void Form3::setDesignFonts() {
  for (QWidget* w : {static_cast<QWidget*>(Command1), static_cast<QWidget*>(Command2),
                     static_cast<QWidget*>(Command3), static_cast<QWidget*>(Command4),
                     static_cast<QWidget*>(Command5), static_cast<QWidget*>(Command6),
                     static_cast<QWidget*>(Combo1), static_cast<QWidget*>(Text2),
                     static_cast<QWidget*>(Text3), static_cast<QWidget*>(Text4)})
    setFontFace(w, kPGothic);
  for (QWidget* w : Text1.all()) setFontFace(w, kPGothic);
  for (QLabel* l : Label7) setFontFace(l, kPGothic);
  for (QLabel* l : {Label1, Label2, Label3, Label4, Label5, Label6, Label8})
    setFontFace(l, kGothic);
  setFontFace(List2, kMincho);
}

void Form3::connectChanges() {
  connect(Text2, &QLineEdit::textChanged, this, [this] { Text2_Change(); });
  connect(Text3, &QLineEdit::textChanged, this, [this] { Text3_Change(); });
  connect(noteBox(), &QPlainTextEdit::textChanged, this, [this] { Text1_Change(0); });
  for (int month = 1; month <= 12; ++month)
    connect(monthCell(month), &QLineEdit::textChanged, this,
            [this, month] { Text1_Change(month); });
  connect(Text4, &QPlainTextEdit::textChanged, this, [this] { Text4_Change(); });
}

// Key preview: the screen sees every key release before the control that has the focus,
// and the fields' own mouse, focus and hover events reach their handlers from here.
void Form3::watchControls() {
  installEventFilter(this);  // releases no control had the focus for
  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
  noteBox()->viewport()->installEventFilter(this);
  Text4->viewport()->installEventFilter(this);
  List2->viewport()->installEventFilter(this);
}

QWidget* Form3::Text1Boxes::operator[](int index) const {
  if (index == 0) return note;
  return months.at(index - 1);
}

std::array<QWidget*, 13> Form3::Text1Boxes::all() const {
  std::array<QWidget*, 13> boxes{note};
  std::copy(months.begin(), months.end(), boxes.begin() + 1);
  return boxes;
}

QString Form3::text1(int index) const { return boxText(Text1[index]); }

bool Form3::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyRelease:
      if (previewKeyRelease(watched, static_cast<QKeyEvent*>(event))) return true;
      break;
    case QEvent::KeyPress:
      if (previewKeyPress(watched, static_cast<QKeyEvent*>(event))) return true;
      break;
    case QEvent::MouseButtonRelease:
      if (inMouseRelease_ || unloaded_ || m.ProgramEnded || !isMouseUpTarget(watched)) break;
      finishMouseRelease(watched, event);
      return true;
    case QEvent::MouseMove:
      if (filling_ == 0 && !unloaded_) dispatchMouseMove(watched);
      break;
    case QEvent::FocusIn:
      if (!unloaded_) dispatchFocusIn(watched);
      break;
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

// Every key released counts as a change to test for; a command's key goes no further.
// A release a control passes up to the window comes here twice, which only marks the
// change again: commands are swallowed where they are first seen.
bool Form3::previewKeyRelease(QObject* watched, QKeyEvent* key) {
  if (key->isAutoRepeat() || unloaded_ || m.ProgramEnded) return commands_.take(key, false);
  m.PersonModified = true;
  QPointer<Form3> self(this);
  const bool command = commands_.take(key);
  if (!self || unloaded_ || m.ProgramEnded) return true;
  dispatchKeyUp(watched, keyCodeOf(key->key()));
  return command;
}

// Ctrl+Z undoes the typing of a box while it has any; then the stored changes.
bool Form3::previewKeyPress(QObject* watched, QKeyEvent* key) {
  if (boxTakesHistoryKey(qobject_cast<QWidget*>(watched), historyKeyOf(key))) return false;
  return commands_.take(key, !unloaded_ && !m.ProgramEnded);
}

// Every key of the screen, with the button it presses where it has one.
void Form3::createCommands() {
  commands_.addButton(Command1, {Qt::Key_F1});
  commands_.addButton(Command2, {Qt::Key_F2});
  commands_.addButton(Command4, {Qt::Key_F3});
  commands_.addButton(Command5, {Qt::Key_F4});
  commands_.addButton(Command6, {Qt::Key_F5});
  commands_.add(u"印刷"_s, {Qt::Key_F6}, [this] { printShown(); });
  commands_.addRecordCommands([this](bool redo) { undoChange(redo); }, [this] { openFindBox(); },
                              [this] { (void)exportRecordsAsked(m, this); });
}

// The control finishes its own handling (caret, selection) before the handler runs.
void Form3::finishMouseRelease(QObject* watched, QEvent* event) {
  QPointer<Form3> self(this);
  inMouseRelease_ = true;
  QCoreApplication::sendEvent(watched, event);
  if (!self) return;
  inMouseRelease_ = false;
  if (!unloaded_ && !m.ProgramEnded) dispatchMouseUp(watched);
}

void Form3::dispatchMouseMove(QObject* watched) {
  if (watched == noteBox()->viewport()) Text1_MouseMove(0);
  for (int month = 1; month <= 12; ++month)
    if (watched == monthCell(month)) Text1_MouseMove(month);
}

void Form3::dispatchFocusIn(QObject* watched) {
  if (watched == Text2) Text2_GotFocus();
  if (watched == Text3) Text3_GotFocus();
  for (int i = 0; i <= 12; ++i)
    if (watched == Text1[i]) Text1_GotFocus(i);
}

void Form3::dispatchKeyUp(QObject* watched, int keyCode) {
  if (watched == Text2) return Text2_KeyUp(keyCode);
  if (watched == Text3) return Text3_KeyUp(keyCode);
  if (watched == Text4) return Text4_KeyUp(keyCode);
  for (int i = 0; i <= 12; ++i)
    if (watched == Text1[i]) return Text1_KeyUp(i, keyCode);
  // Moving through the names with the keyboard shows the person, as a click does, so
  // that the highlighted name is always the person in the fields.
  if (watched == List2 && List2->currentRow() >= 0 && List2->currentRow() != shownIndex_)
    List2_MouseUp();
}

bool Form3::isMouseUpTarget(QObject* watched) const {
  if (watched == Text2 || watched == Text3 || watched == Text4->viewport() ||
      watched == noteBox()->viewport() || watched == List2->viewport())
    return true;
  for (int month = 1; month <= 12; ++month)
    if (watched == monthCell(month)) return true;
  return false;
}

void Form3::dispatchMouseUp(QObject* watched) {
  if (watched == Text2) return Text2_MouseUp();
  if (watched == Text3) return Text3_MouseUp();
  if (watched == Text4->viewport()) return Text4_MouseUp();
  if (watched == noteBox()->viewport()) return Text1_MouseUp(0);
  for (int month = 1; month <= 12; ++month)
    if (watched == monthCell(month)) return Text1_MouseUp(month);
  if (watched == List2->viewport()) return List2_MouseUp();
}

void Form3::closeEvent(QCloseEvent* event) {
  if (unloaded_) return event->accept();
  int cancel = 0;
  QPointer<Form3> self(this);
  Form_QueryUnload(cancel);
  if (!self) return;
  if (cancel != 0 && !m.ProgramEnded) {
    // The screen stays open, whoever asked to close it.
    m.InputScreenOpen = true;
    event->ignore();
    return;
  }
  event->accept();
  finishUnload();
}

void Form3::finishUnload() {
  unloaded_ = true;
  if (m.inputScreen == this) m.inputScreen = nullptr;
  hide();
  deleteLater();
}

// ---- InputScreenPort

QRect Form3::geometryTwips() const { return outerGeometryTwips(this, kInputDesignFrame); }

bool Form3::isMinimized() const { return QWidget::isMinimized(); }

void Form3::restoreNormal() {
  if (QWidget::isMinimized()) showNormal();
}

void Form3::setWidthTwips(int twips) {
  setOuterWidthTwips(this, twips, kInputDesignFrame);
  layOut();  // a size change lays the screen out at once, as the callers expect
}

void Form3::setHeightTwips(int twips) {
  setOuterHeightTwips(this, twips, kInputDesignFrame);
  layOut();
}

void Form3::pressAdd() { Command1->click(); }
void Form3::pressDelete() { Command2->click(); }
void Form3::pressLoadSelected() { Command3->click(); }
void Form3::pressSettings() { Command4->click(); }

void Form3::unload() {
  if (unloaded_) return;
  close();
}

int Form3::nameCount() const { return List2->count(); }

QString Form3::nameAt(int index) const { return List2->text(index); }

void Form3::clearNames() { List2->clear(); }

void Form3::addNames(const QStringList& names) {
  if (replaceNames_) {
    replaceNames_ = false;
    List2->setNames(names);
  } else {
    List2->appendNames(names);
  }
}

int Form3::selectedName() const { return List2->currentRow(); }

void Form3::selectName(int index) { List2->setCurrentRow(index); }

QString Form3::nameBoxText() const { return Text2->text(); }

void Form3::focusNameBox() {
  activateWindow();
  Text2->setFocus(Qt::OtherFocusReason);
}

void Form3::applyColors() {
  QPalette window = palette();
  window.setColor(QPalette::Window, fromBgr(m.BackColors[0]));
  setPalette(window);
  for (QPushButton* b : {Command1, Command2, Command4, Command5, Command6}) {
    QPalette p = b->palette();
    p.setColor(QPalette::Button, fromBgr(m.BackColors[2]));
    b->setPalette(p);
  }
  auto colourField = [this](QWidget* w) {
    QPalette p = w->palette();
    p.setColor(QPalette::Text, fromBgr(m.TextColors[1]));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
    p.setColor(QPalette::Base, fromBgr(m.BackColors[1]));
    w->setPalette(p);
  };
  for (QWidget* w : Text1.all()) colourField(w);
  for (QWidget* w : {static_cast<QWidget*>(Text2), static_cast<QWidget*>(Text3),
                     static_cast<QWidget*>(Text4), static_cast<QWidget*>(List2)})
    colourField(w);
}

void Form3::setNoteFontPoints(double points) {
  for (QWidget* w : {static_cast<QWidget*>(Text1.note), static_cast<QWidget*>(Text4),
                     static_cast<QWidget*>(List2)}) {
    QFont f = w->font();
    f.setPointSizeF(std::max(1.0, points));
    w->setFont(f);
  }
}

void Form3::setNameListHeightTwips(double twips) {
  List2->resize(List2->width(), std::max(1, twipsToPx(twips)));
}

double Form3::innerHeightTwips() const { return pxToTwips(height()); }

ChooserPort& Form3::folderChooser() { return *chooser_; }

}  // namespace velnor
