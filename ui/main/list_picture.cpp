#include "ui/main/list_picture.h"

#include <QAccessible>

#include <QCoreApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>
#include <cmath>

#include "core/drawing_surface.h"
#include "core/module1.h"
#include "core/table_drawing.h"
#include "ui/common/fonts.h"

namespace velnor {

// The drawing area: shows the kept image and turns mouse events into table units.
class ListCanvas : public QWidget {
 public:
  explicit ListCanvas(ListPicture* owner) : QWidget(owner), owner_(owner) {
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  bool event(QEvent* e) override {
    if (e->type() != QEvent::ToolTip) return QWidget::event(e);
    auto* help = static_cast<QHelpEvent*>(e);
    const QString tip =
        owner_->toolTipAt ? owner_->toolTipAt(owner_->toTableUnits(help->pos())) : QString();
    if (tip.isEmpty()) {
      QToolTip::hideText();
      e->ignore();
    } else {
      QToolTip::showText(help->globalPos(), tip, this);
    }
    return true;
  }
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawImage(QPoint(0, 0), owner_->surface_.image());
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    // A press dragged off the list and released elsewhere is no choice of a cell.
    if (!rect().contains(e->position().toPoint())) return;
    const QPointF t = owner_->toTableUnits(e->position());
    emit owner_->released(t.x(), t.y());
  }
  void mouseDoubleClickEvent(QMouseEvent*) override { emit owner_->doubleClicked(); }
  void wheelEvent(QWheelEvent* e) override {
    if (owner_->bar_->isVisible())
      QCoreApplication::sendEvent(owner_->bar_, e);
    else
      e->ignore();
  }

 private:
  ListPicture* owner_;
};

QString cutCellText(Module1& m, DrawingSurface& surface, double fontPoints, QPointF at) {
  const double rh = m.RowHeight > 0 ? m.RowHeight : 1;
  const int row = int(std::floor(at.y() / rh)) - 1;
  if (row < 0 || row >= m.PersonCount || at.x() < 0) return {};
  // Where the drawing starts each text, and where the next cell (or the picture's edge)
  // covers it.
  const double tw = m.TerritoryColumnWidth, nw = m.NameColumnWidth, mw = m.MonthColumnWidth;
  double start = 0, end = 0;
  int month = 0;  // 0: territory or name
  if (at.x() < tw) {
    start = 2, end = tw;
  } else if (at.x() < tw + nw) {
    start = tw + 3, end = tw + nw;
  } else {
    const int j = mw > 0 ? int(std::floor((at.x() - tw - nw) / mw)) + 1 : 0;
    if (j < 1 || j > monthWindowFor(m.DisplaySpan, m.CurrentMonth).monthCount) return {};
    start = tw + nw + (j - 1) * mw + 1, end = start - 1 + mw;
    month = m.FirstMonthOffset + j;
  }
  // The texts the list shows, as drawn from the folder in memory.
  if (row >= m.folder().recordCount()) return {};
  const Record r = m.folder().record(row);
  const QString text = month > 0 ? r.months[month] : at.x() < tw ? r.territory : r.name;
  if (text.isEmpty()) return {};
  return start + surface.measureText(kMincho, fontPoints, text).width() > end ? text : QString();
}

ListPicture::ListPicture(QWidget* parent)
    : QWidget(parent), canvas_(new ListCanvas(this)), bar_(new QScrollBar(Qt::Vertical, this)) {
  static const bool readable = [] {
    QAccessible::installFactory(listAccessibleFactory);
    return true;
  }();
  (void)readable;
  setAccessibleName(QStringLiteral("一覧表"));
  marker_ = new QFrame(canvas_);
  marker_->setObjectName(QStringLiteral("Shape1"));
  marker_->setAttribute(Qt::WA_TransparentForMouseEvents);
  marker_->setStyleSheet(
      QStringLiteral("QFrame#Shape1 { border: 2px solid #e00000; background: transparent; }"));
  marker_->hide();
  bar_->setFocusPolicy(Qt::NoFocus);
  bar_->setSingleStep(1);
  bar_->setRange(0, 0);
  bar_->hide();
  connect(bar_, &QScrollBar::valueChanged, this, &ListPicture::onBarValue);
  arrange();
}

QWidget* ListPicture::canvas() const { return canvas_; }

QSize ListPicture::pixelSize() const { return canvas_->size(); }

int ListPicture::firstRow() const { return bar_->value(); }

bool ListPicture::scrolling() const { return !bar_->isHidden(); }

void ListPicture::arrange() {
  const bool showBar = bar_->maximum() > 0;
  const int barWidth = showBar ? bar_->sizeHint().width() : 0;
  bar_->setVisible(showBar);
  bar_->setGeometry(width() - barWidth, 0, barWidth, height());
  canvas_->setGeometry(0, 0, std::max(1, width() - barWidth), std::max(1, height()));
}

void ListPicture::setGeometryNow(const QRect& rect) {
  setGeometry(rect);
  arrange();
}

void ListPicture::resizeEvent(QResizeEvent*) { arrange(); }

bool ListPicture::setRows(int personCount, double rowHeight, double scaleHeight) {
  rowHeight_ = rowHeight > 0 ? rowHeight : 1;
  scaleHeight_ = scaleHeight > 0 ? scaleHeight : 1;
  fullRows_ = std::max(1, int(std::floor(scaleHeight_ / rowHeight_)) - 1);
  drawnRows_ = std::max(1, int(std::ceil(scaleHeight_ / rowHeight_)) - 1);
  const QSize before = canvas_->size();
  quiet_ = true;
  bar_->setRange(0, std::max(0, personCount - fullRows_));
  bar_->setPageStep(fullRows_);
  quiet_ = false;
  arrange();
  return canvas_->size() != before;
}

void ListPicture::setFirstRow(int row) {
  quiet_ = true;
  bar_->setValue(row);
  quiet_ = false;
}

void ListPicture::ensureRowVisible(int row) {
  const int first = bar_->value();
  if (row < first)
    setFirstRow(row);
  else if (row >= first + fullRows_)
    setFirstRow(row - fullRows_ + 1);
}

void ListPicture::onBarValue(int value) {
  if (quiet_) return;
  emit scrolled(value);
}

void ListPicture::clear(qint32 background) {
  surface_.clear(canvas_->size(), devicePixelRatioF(), background);
  imageFirstRow_ = firstRow();
  canvas_->update();
}

bool ListPicture::imageStale() const {
  return surface_.size() != canvas_->size() || imageFirstRow_ != firstRow();
}

double ListPicture::pxX(double x) const { return x * canvas_->width() / surface_.scaleWidth(); }
double ListPicture::pxY(double y) const { return y * canvas_->height() / surface_.scaleHeight(); }

QPointF ListPicture::toTableUnits(QPointF px) const {
  const double x = px.x() * surface_.scaleWidth() / canvas_->width();
  const double y = px.y() * surface_.scaleHeight() / canvas_->height();
  // Below the header row the rows are shifted by the scroll position.
  return QPointF(x, y < rowHeight_ ? y : y + firstRow() * rowHeight_);
}

QRect ListPicture::pixelRect(const QRectF& units) const {
  const double shownTop = units.top() - firstRow() * rowHeight_;
  const int l = int(std::lround(pxX(units.left())));
  const int t = int(std::lround(pxY(shownTop)));
  const int r = int(std::lround(pxX(units.right())));
  const int b = int(std::lround(pxY(shownTop + units.height())));
  return QRect(QPoint(l, t), QPoint(r, b));
}

void ListPicture::placeMarker(double left, double top, double width, double height, bool visible) {
  mLeft_ = left, mTop_ = top, mWidth_ = width, mHeight_ = height, mVisible_ = visible;
  refreshMarker();
}

void ListPicture::refreshMarker() {
  const double shownTop = mTop_ - firstRow() * rowHeight_;
  // A row scrolled up out of view must not sit over the header row.
  const bool inView = firstRow() == 0 || shownTop >= rowHeight_ - 1e-9;
  if (!mVisible_ || !inView) {
    marker_->hide();
    return;
  }
  marker_->setGeometry(pixelRect(QRectF(mLeft_, mTop_, mWidth_, mHeight_)));
  marker_->show();
  canvas_->update();
}

}  // namespace velnor
