#include "ui/settings/form4.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <algorithm>
#include <cmath>
#include <optional>

#include "core/module1.h"
#include "core/reorder.h"
#include "ui/common/key_codes.h"
#include "ui/common/long_work.h"
#include "ui/common/twips.h"
#include "ui/common/window_design.h"
#include "ui/settings/new_year_dialog.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace {

// What the value boxes accept as a number: the usual written forms, full-width
// digits included (a Japanese input method types them), surrounding blanks ignored.
std::optional<double> boxNumber(const QString& text) {
  const QString t = text.normalized(QString::NormalizationForm_KC).trimmed();
  if (t.isEmpty()) return std::nullopt;
  bool ok = false;
  const double v = QLocale::c().toDouble(t, &ok);
  if (!ok || !std::isfinite(v)) return std::nullopt;
  return v;
}

// A number as the boxes show it: plain decimals, no exponent, no trailing zeros.
QString plainNumber(double v) {
  if (v == 0) return u"0"_s;
  QString s = QString::number(v, 'f', 10);
  if (s.contains(u'.')) {
    while (s.endsWith(u'0')) s.chop(1);
    if (s.endsWith(u'.')) s.chop(1);
  }
  return s;
}

// Nearest integer, a half going to the even neighbour.
int roundHalfEven(double v) {
  const double lower = std::floor(v);
  const double diff = v - lower;
  if (diff < 0.5) return int(lower);
  if (diff > 0.5) return int(lower) + 1;
  return std::fmod(lower, 2.0) == 0 ? int(lower) : int(lower) + 1;
}

}  // namespace

// A swatch with the focus wears a frame; Space or Enter chooses it on release, as a click
// does, and its press goes nowhere else (Enter would press the dialog's default button).
bool Form4::swatchKey(QObject* watched, QEvent* event) {
  const auto swatch = std::find(Label6.begin(), Label6.begin() + 16, watched);
  if (swatch == Label6.begin() + 16) return false;
  switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut:
      (*swatch)->setFrameStyle(event->type() == QEvent::FocusIn ? QFrame::Box | QFrame::Plain
                                                                : QFrame::NoFrame);
      (*swatch)->setLineWidth(2);
      return false;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() != Qt::Key_Space && key->key() != Qt::Key_Return &&
          key->key() != Qt::Key_Enter)
        return false;
      if (event->type() == QEvent::KeyRelease && !key->isAutoRepeat())
        Label6_Click(int(swatch - Label6.begin()));
      return true;
    }
    default:
      return false;
  }
}

bool Form4::eventFilter(QObject* watched, QEvent* event) {
  if (swatchKey(watched, event)) return true;
  if (event->type() == QEvent::MouseButtonRelease) {
    auto* me = static_cast<QMouseEvent*>(event);
    for (int i = 0; i < 16; ++i) {
      if (watched == Label6[i] && me->button() == Qt::LeftButton &&
          Label6[i]->rect().contains(me->position().toPoint())) {
        Label6_Click(i);
        return true;
      }
    }
    return false;
  }
  if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
  // An open list takes its own keys: Esc there closes the list, not the screen.
  if (QApplication::activePopupWidget()) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (numberBoxEnter(watched, key)) return true;
  return commands_.take(key);
}

// Enter in a number box takes the typed value on its release; its press must not reach
// the dialog, whose default button it would press.
bool Form4::numberBoxEnter(QObject* watched, const QKeyEvent* key) {
  if (watched != Text1 && watched != Text2) return false;
  if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
  if (key->type() == QEvent::KeyRelease && !key->isAutoRepeat())
    watched == Text1 ? Text1_KeyUp(kKeyEnter) : Text2_KeyUp(kKeyEnter);
  return true;
}

void Form4::createCommands() {
  commands_.addButton(Command5, {Qt::Key_F4});
  // A press seen here counts: the Esc that closed a message box does not close the screen.
  commands_.add(
      u"閉じる"_s, {Qt::Key_Escape}, [this] { Command5->click(); },
      KeyMoment::ReleaseAfterItsPress);
}

void Form4::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!activated_) {
    activated_ = true;
    Form_Activate();
  }
}

// ---------------------------------------------------------------------------
// Handlers

void Form4::Form_Activate() {
  Combo1->setCurrentIndex(0);
  Combo1_Click();
  Combo2->setCurrentIndex(0);
  Combo2_Click();
  Text1->setText(QString::number(m.RowHeight));
  Text2->setText(QString::number(m.NoteFontSize));
  // Only a choice made here raises the Click the flag is meant to swallow; setting it
  // without one would swallow the user's first choice instead.
  if (m.DisplaySpan >= 0 && m.DisplaySpan <= 2) {
    m.IgnoreSpanClick = 1;
    Combo6->setCurrentIndex(m.DisplaySpan);
    Combo6_Click();
  }
  colorOwnWindow();
}

void Form4::placeMarker(MarkerShape* marker, int firstSwatch, qint32 color) {
  marker->show();
  for (int i = firstSwatch; i < firstSwatch + 8; ++i) {
    if (kSwatchColors[i] == color) {
      marker->move(Label6[i]->x(), marker->y());
      marker->raise();
      return;
    }
  }
  marker->hide();
}

void Form4::Combo1_Click() {
  const int k = Combo1->currentIndex();
  placeMarker(Shape1, 0, k == 0 ? m.TextColors[0] : m.TextColors[1]);
}

void Form4::Combo2_Click() {
  const int k = Combo2->currentIndex();
  if (k < 0 || k > 2) {
    Shape2->hide();
    return;
  }
  placeMarker(Shape2, 8, m.BackColors[k]);
}

void Form4::Label6_Click(int index) {
  if (index < 0 || index > 15) return;
  const qint32 color = kSwatchColors[index];
  if (index < 8) {
    const int k = Combo1->currentIndex();
    if (k < 0 || k > 1) return;  // no entry chosen: nothing to colour
    Shape1->move(Label6[index]->x(), Shape1->y());
    m.TextColors[k] = color;
  } else {
    const int k = Combo2->currentIndex();
    if (k < 0 || k > 2) return;
    Shape2->move(Label6[index]->x(), Shape2->y());
    m.BackColors[k] = color;
  }
  color_rutin();
  // Cleared in the new colour: a redraw paints only the rows, not the space below them.
  redrawList(true);
}

void Form4::OtherColor_Click(int row) {
  QComboBox* chooser = row == 0 ? Combo1 : Combo2;
  const int k = chooser->currentIndex();
  if (k < 0 || k > (row == 0 ? 1 : 2)) return;  // no entry chosen: nothing to colour
  qint32& color = row == 0 ? m.TextColors[k] : m.BackColors[k];
  const QColor chosen = QColorDialog::getColor(fromBgr(color), this, u"色の選択"_s);
  if (!chosen.isValid()) return;  // cancelled
  color = qint32(chosen.red() | chosen.green() << 8 | chosen.blue() << 16);
  placeMarker(row == 0 ? Shape1 : Shape2, row * 8, color);  // on a swatch of that colour, if any
  color_rutin();
  redrawList(true);
}

void Form4::color_rutin() {
  if (m.mainWindow) m.mainWindow->applyColors();
  colorOwnWindow();
  if (m.InputScreenOpen && m.inputScreen) m.inputScreen->applyColors();
}

void Form4::redrawList(bool clearFirst) {
  if (!m.mainWindow) return;
  if (clearFirst) m.mainWindow->clearList();
  m.mainWindow->pressRefresh();
}

void Form4::stepValue(QLineEdit* box, qint16& value, int delta) {
  const double shown = boxNumber(box->text()).value_or(10.0);
  box->setText(plainNumber(shown + delta));
  const int stepped = int(value) + delta;
  if (stepped < kSmallestSizeSetting) {
    value = kSmallestSizeSetting;
    box->setText(QString::number(kSmallestSizeSetting));
  } else if (stepped > kLargestSizeSetting) {
    value = kLargestSizeSetting;
    box->setText(QString::number(kLargestSizeSetting));
  } else {
    value = qint16(stepped);
  }
}

bool Form4::takeTypedValue(QLineEdit* box, qint16& value) {
  const std::optional<double> typed = boxNumber(box->text());
  if (!typed) {
    box->setText(QString::number(value));
    return false;
  }
  if (*typed > kLargestSizeSetting) {
    value = kLargestSizeSetting;
    box->setText(QString::number(kLargestSizeSetting));
  } else if (*typed < kSmallestSizeSetting) {
    value = kSmallestSizeSetting;
    box->setText(QString::number(kSmallestSizeSetting));
  } else {
    value = qint16(roundHalfEven(*typed));
  }
  return true;
}

void Form4::Command1_Click() {
  stepValue(Text1, m.RowHeight, -1);
  redrawList(true);
}

void Form4::Command2_Click() {
  stepValue(Text1, m.RowHeight, +1);
  redrawList(false);
}

void Form4::Text1_KeyUp(int keyCode) {
  if (keyCode != kKeyEnter) return;
  if (takeTypedValue(Text1, m.RowHeight)) redrawList(true);
}

void Form4::applyNoteFontToInputScreen() {
  if (!m.InputScreenOpen || !m.inputScreen) return;
  const double h = m.inputScreen->innerHeightTwips();
  m.inputScreen->setNoteFontPoints(m.NoteFontSize * h / kInputDesignInner.height());
  m.inputScreen->setNameListHeightTwips(kInputNameListDesignHeight * h /
                                        kInputDesignInner.height());
}

void Form4::Command6_Click() {
  stepValue(Text2, m.NoteFontSize, +1);
  applyNoteFontToInputScreen();
}

void Form4::Command7_Click() {
  stepValue(Text2, m.NoteFontSize, -1);
  applyNoteFontToInputScreen();
}

void Form4::Text2_KeyUp(int keyCode) {
  if (keyCode != kKeyEnter) return;
  if (takeTypedValue(Text2, m.NoteFontSize)) applyNoteFontToInputScreen();
}

void Form4::Combo6_Click() {
  if (m.IgnoreSpanClick == 1) {
    m.IgnoreSpanClick = 0;
    return;
  }
  const int span = Combo6->currentIndex();
  if (span < 0 || span > 2) return;
  m.DisplaySpan = qint16(span);
  redrawList(true);
}

bool Form4::sort_by_name(const std::function<void(int, int)>& progress) {
  return reorder::reorderFolder(m, reorder::kByName, progress);
}

bool Form4::sort_by_number(const std::function<void(int, int)>& progress) {
  return reorder::reorderFolder(m, m.SortKind, progress);
}

void Form4::Option2_Click(int index) {
  if (index < reorder::kByTerritory || index > reorder::kByThisMonth) return;
  m.SortKind = qint16(index);
  bool sorted = false;
  {
    LongWork work(this, u"並べ替え"_s, u"並べ替えています…"_s);
    sorted =
        index == reorder::kByName ? sort_by_name(work.progress()) : sort_by_number(work.progress());
  }
  accept();
  // A failed rewrite left the file as it was: nothing to re-open.
  if (!sorted) return;
  m.CurrentIndex = 0;
  m.CurrentColumn = 0;
  m.ChangeRecordFolder();
}

void Form4::Command8_Click() {
  (void)closeYearAsked(m, this, askNewYear, [this] { accept(); });
}

void Form4::Command3_Click() {
  hide();
  m.RestoreStandardSettings();
  // The standard sizes are those of a first start, never the smaller design.
  sizeForReadableText(m, true);

  // One relayout per window: the width change is made while their resize handlers
  // stand still, the height change lets them run.
  if (m.mainWindow) {
    m.LoadPhase = kLoadHoldLayout;
    m.mainWindow->setWidthTwips(m.MainWidth);
    m.LoadPhase = kLoadDone;
    m.mainWindow->setHeightTwips(m.MainHeight);
  }
  if (m.InputScreenOpen && m.inputScreen) {
    m.inputScreen->setNoteFontPoints(m.NoteFontSize);
    m.EditsEnabled = false;
    m.inputScreen->setWidthTwips(m.InputWidth);
    m.EditsEnabled = true;
    m.inputScreen->setHeightTwips(m.InputHeight);
  }
  color_rutin();
  // The relayout above cleared the list in the old colour.
  redrawList(true);
  accept();
}

QString Form4::versionCaption(int major, int minor, int revision) {
  // Dotted as `velnor --version` and the package spell it: 1.0.6, never the 1.06 that
  // 1.0.6 and 1.06.0 would share.
  return u"バージョン：%1.%2.%3"_s.arg(major).arg(minor).arg(revision);
}

void Form4::Command4_Click() {
  Frame1->hide();
  Label11->setText(
      versionCaption(VELNOR_VERSION_MAJOR, VELNOR_VERSION_MINOR, VELNOR_VERSION_PATCH));
  Label6[16]->setText(u"起動回数："_s + QString::number(m.LaunchCount));
}

void Form4::Command5_Click() { accept(); }

}  // namespace velnor
