#include "ui/main/list_picture.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <cmath>

namespace velnor {

// The drawing area: shows the kept image and turns mouse events into table units.
class ListCanvas : public QWidget {
 public:
  explicit ListCanvas(ListPicture* owner) : QWidget(owner), owner_(owner) {
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
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

ListPicture::ListPicture(QWidget* parent)
    : QWidget(parent), canvas_(new ListCanvas(this)), bar_(new QScrollBar(Qt::Vertical, this)) {
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
  const int l = int(std::lround(pxX(mLeft_)));
  const int t = int(std::lround(pxY(shownTop)));
  const int r = int(std::lround(pxX(mLeft_ + mWidth_)));
  const int b = int(std::lround(pxY(shownTop + mHeight_)));
  marker_->setGeometry(QRect(QPoint(l, t), QPoint(r, b)));
  marker_->show();
  canvas_->update();
}

}  // namespace velnor
