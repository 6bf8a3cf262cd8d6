// Form1: start-up, shut-down, the layout and the list drawing.
#include <QDate>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>

#include "core/saturating.h"
#include "core/table_drawing.h"
#include "ui/common/proportional_layout.h"
#include "ui/common/twips.h"
#include "ui/common/window_design.h"
#include "ui/main/form1.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace {

constexpr double kDesignWidth = kMainDesignInner.width();
constexpr double kDesignHeight = kMainDesignInner.height();

using Place = ProportionalLayout::Place;

// Command1 .. Command8, then Picture1; Combo1 keeps its own height.
constexpr Place kButtonPlaces[8] = {
    {60, 120, 492, 252},   {600, 120, 492, 252},   {1140, 120, 492, 252},  {1680, 120, 492, 252},
    {4440, 120, 492, 252}, {4440, 1620, 492, 552}, {4440, 2220, 492, 552}, {4440, 3780, 492, 552},
};
constexpr Place kPicturePlace{60, 420, 4332, 3972};
constexpr Place kComboPlace{2220, 120, 1992, 0};
constexpr double kButtonFont = 8;
constexpr double kComboFont = 9;

}  // namespace

// ---- Start-up and shut-down

void Form1::Form_Load() {
  m.LoadPhase = kLoadHoldLayout;
  m.CurrentMonth = m.today().month();
  (void)m.LoadSettings();  // a failure has been reported; the defaults apply
  // Sizes of 0 were never stored: this is the first start.
  const bool firstStart = m.MainWidth == 0 && m.MainHeight == 0;
  const bool inputSizeStored = m.InputWidth != 0 || m.InputHeight != 0;
  m.ApplyDefaults();
  if (firstStart) sizeForReadableText(m, !inputSizeStored);
  m.CurrentIndex = 0;
  m.CurrentColumn = 1;
  applyColorsAtLoad();
  m.HeaderFillColor = 0xFFC0C0;

  const QRect outer =
      openingPlaceTwips(QRect(m.MainLeft, m.MainTop, m.MainWidth, m.MainHeight), kMainDesignFrame);
  if (firstStart && !inputSizeStored) {
    // The input screen opens beside the main window.
    m.InputLeft = clampTo16(outer.left() + outer.width());
    m.InputTop = clampTo16(outer.top());
  }
  setOuterLeftTopTwips(this, outer.left(), outer.top());
  setWidthTwips(outer.width());
  // Whether the input screen comes back is settled before the first layout: that
  // layout opens the folder only when the input screen will not do it itself, and a
  // remembered folder that is gone must be repaired rather than drawn.
  m.IndexFilePath = m.indexPathFor(m.CurrentFolder);
  const bool reopenInput =
      m.InputScreenOpen && m.CurrentFolder.startsWith(u'%') && m.FileExists(m.IndexFilePath);
  m.InputScreenOpen = reopenInput;
  m.LoadPhase = kLoadDone;
  setHeightTwips(outer.height());
  // A hidden window gets no resize event until it is shown: it is laid out here, and the
  // resize at show time finds it laid out already.
  layout_->layOutNow();
  openFirstList();
  if (m.ProgramEnded) return;

  m.LaunchCount = saturatingIncrement(m.LaunchCount);
  m.IndexFilePath = m.indexPathFor(m.CurrentFolder);
  if (m.InputScreenOpen && m.FileExists(m.IndexFilePath)) {
    // The first-run path may have opened it already.
    if (!inputScreenLoaded()) m.shell->showInputScreen();
    m.LoadPhase = kLoadDone;
  } else {
    m.InputScreenOpen = false;
  }
}

void Form1::Form_Unload(int& cancel) {
  m.DuplicateCount = 0;
  m.RememberMainGeometry(geometryTwips());
  if (!m.InputScreenOpen || !inputScreenLoaded()) {
    m.InputScreenOpen = false;
    (void)m.SaveSettings();  // a failure has been reported; the records are all stored
    m.EndProgram();
    return;
  }
  m.CheckDuplicateName();
  if (m.DuplicateCount >= 2) {
    cancel = 1;
    return;
  }
  InputScreenPort& input = *m.inputScreen;
  if (input.isMinimized()) input.restoreNormal();
  m.RememberInputGeometry(input.geometryTwips());
  m.InputScreenOpen = false;
  m.MainWindowClosing = true;
  input.unload();
  m.MainWindowClosing = false;
  if (m.ProgramEnded) return;
  if (inputScreenLoaded()) {
    // The input screen could not store its person and stayed open: so does the program.
    m.InputScreenOpen = true;
    cancel = 1;
    return;
  }
  m.InputScreenOpen = true;  // the next start opens it again
  (void)m.SaveSettings();    // a failure has been reported; the records are all stored
  m.EndProgram();
}

// ---- Layout

double Form1::clientWidthTwips() const { return pxToTwips(width()); }
double Form1::clientHeightTwips() const { return pxToTwips(height()); }

void Form1::createLayout() {
  layout_ = new ProportionalLayout(this, QSizeF(kDesignWidth, kDesignHeight));
  for (int i = 0; i < 8; ++i) layout_->add(buttons_[i], kButtonPlaces[i]);
  layout_->add(Combo1, kComboPlace);
  layout_->add(Picture1, kPicturePlace);
  layout_->ready = [this] { return !m.ProgramEnded && m.LoadPhase != kLoadHoldLayout; };
  // The chooser's own height follows its type.
  layout_->beforePlacing = [this](double, double down) {
    QFont cf = Combo1->font();
    cf.setPointSizeF(kComboFont * down);
    Combo1->setFont(cf);
  };
  layout_->afterPlacing = [this](double, double) {
    fitButtonFonts();
    redrawForNewSize();
  };
}

// Fonts follow the height. A button made narrower than designed takes its font from its
// width instead, so that the caption stays inside. Half a pixel either way is the
// rounding of the client size, not a narrower window.
void Form1::fitButtonFonts() {
  const double sw = clientWidthTwips(), sh = clientHeightTwips();
  const bool narrower = (sw + 7.5) / kDesignWidth < (sh - 7.5) / kDesignHeight;
  for (int i = 0; i < 8; ++i) {
    QFont f = buttons_[i]->font();
    f.setPointSizeF(narrower ? pxToTwips(buttons_[i]->width()) / 70.0
                             : kButtonFont * sh / kDesignHeight);
    buttons_[i]->setFont(f);
  }
}

void Form1::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  const bool minimized = isMinimized();
  // Coming back from the task bar lays out what changed while away and redraws the list.
  if (wasMinimized_ && !minimized) layout_->layOutNow();
  wasMinimized_ = minimized;
}

// The list at a new size from the records already read: a resize opens no file.
void Form1::redrawForNewSize() {
  Picture1->setGeometryNow(Picture1->geometry());
  clearList();
  pp_reduc();
  followSelection();
  draw_rutin(Picture1->surface());
  m.PlaceCursor();
}

// The first list: the folder chosen is opened (unless the input screen will do it) and
// drawn once the window has its size.
void Form1::openFirstList() {
  m.EditsEnabled = false;
  if (!m.InputScreenOpen) {
    m.ChangeRecordFolder();
    if (m.ProgramEnded) return;
  }
  m.IndexFilePath = m.indexPathFor(m.CurrentFolder);
  clearList();
  pp_reduc();
  if (!m.CountPeople()) clearList();  // unreadable: the list stays empty
  followSelection();
  draw_rutin(Picture1->surface());
  m.EditsEnabled = true;
  m.PlaceCursor();
}

// ---- Drawing

void Form1::pp_reduc() {
  PictureSurface& s = Picture1->surface();
  s.setScale(160, 260);
  s.setFont(QFont().family(), 10);
}

void Form1::draw_rutin(DrawingSurface& target) {
  if (isMinimized()) return;
  PictureSurface& own = Picture1->surface();
  // The scroll bar comes and goes with the number of people; the drawing area then
  // changes width, and a kept image of the old shape cannot be drawn over.
  Picture1->setRows(m.PersonCount, m.RowHeight, own.scaleHeight());
  if (&target == &own && Picture1->imageStale()) clearList();

  TableParams params;
  params.rowHeight = m.RowHeight;
  params.fontSize = listFontPoints();
  if (Picture1->scrolling()) {
    params.firstRecord = Picture1->firstRow();
    params.recordLimit = Picture1->drawnRows();
  }
  drawTable(m, target, params);
  if (&target == &own) {
    Picture1->imageDrawnAt(Picture1->firstRow());
    Picture1->canvas()->update();
  }
}

double Form1::listFontPoints() const {
  return clientHeightTwips() / kDesignHeight * (m.RowHeight * 0.6);
}

void Form1::clearList() { Picture1->clear(listBackground_); }

void Form1::drawList() {
  pp_reduc();
  followSelection();
  draw_rutin(Picture1->surface());
}

// Brings the selected row into view before a redraw.
void Form1::followSelection() {
  Picture1->setRows(m.PersonCount, m.RowHeight, Picture1->surface().scaleHeight());
  Picture1->ensureRowVisible(m.CurrentIndex);
}

void Form1::markerChanged() {
  const int before = Picture1->firstRow();
  Picture1->ensureRowVisible(m.CurrentIndex);
  if (Picture1->firstRow() != before) redrawScrolled();
  Picture1->placeMarker(m.Shape1Left, m.Shape1Top, m.Shape1Width, m.Shape1Height, m.Shape1Visible);
  announceCursor(Picture1);
}

// A redraw for a new scroll position: the picture changes, nothing else does.
void Form1::redrawScrolled() {
  if (m.ProgramEnded || isMinimized()) return;
  clearList();
  pp_reduc();
  draw_rutin(Picture1->surface());
  Picture1->refreshMarker();
}

// ---- Colours and geometry

void Form1::setButtonColor(qint32 color) {
  for (int i = 0; i < 8; ++i) {
    QPalette p = buttons_[i]->palette();
    p.setColor(QPalette::Button, fromBgr(color));
    buttons_[i]->setPalette(p);
  }
}

void Form1::applyColorsAtLoad() {
  QPalette p = palette();
  p.setColor(QPalette::Window, fromBgr(m.BackColors[0]));
  setPalette(p);
  // The list takes its new background at the next clear; its text colour is
  // TextColors(0), which the drawing reads itself.
  listBackground_ = m.BackColors[1];
}

void Form1::applyColors() {
  applyColorsAtLoad();
  setButtonColor(m.BackColors[2]);
}

QRect Form1::geometryTwips() const { return outerGeometryTwips(this, kMainDesignFrame); }

bool Form1::isMinimized() const { return QWidget::isMinimized(); }

void Form1::restoreNormal() { setWindowState(windowState() & ~Qt::WindowMinimized); }

void Form1::setWidthTwips(int twips) { setOuterWidthTwips(this, twips, kMainDesignFrame); }

void Form1::setHeightTwips(int twips) { setOuterHeightTwips(this, twips, kMainDesignFrame); }

}  // namespace velnor
