#include "ui/common/proportional_layout.h"

#include <QWidget>
#include <algorithm>

#include "ui/common/twips.h"
#include "ui/common/window_design.h"

namespace velnor {

ProportionalLayout::ProportionalLayout(QWidget* window, QSizeF designInner)
    : QLayout(window), design_(designInner) {
  setContentsMargins(0, 0, 0, 0);
  // The window's size is the user's; the layout never sets a smallest one.
  setSizeConstraint(QLayout::SetNoConstraint);
}

ProportionalLayout::~ProportionalLayout() = default;

void ProportionalLayout::add(QWidget* control, Place place, Width width) {
  addChildWidget(control);
  entries_.push_back({std::make_unique<QWidgetItem>(control), place, width});
  invalidate();
}

void ProportionalLayout::addItem(QLayoutItem* item) {
  entries_.push_back({std::unique_ptr<QLayoutItem>(item), {0, 0, 0, 0}, Width::Fixed});
}

QLayoutItem* ProportionalLayout::itemAt(int index) const {
  return index >= 0 && index < count() ? entries_[size_t(index)].item.get() : nullptr;
}

QLayoutItem* ProportionalLayout::takeAt(int index) {
  if (index < 0 || index >= count()) return nullptr;
  QLayoutItem* item = entries_[size_t(index)].item.release();
  entries_.erase(entries_.begin() + index);
  return item;
}

int ProportionalLayout::count() const { return int(entries_.size()); }

QSize ProportionalLayout::sizeHint() const {
  return {twipsToPx(design_.width()), twipsToPx(design_.height())};
}

QSize ProportionalLayout::minimumSize() const { return {0, 0}; }

void ProportionalLayout::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  // A font set during the layout asks for another one at the same size: nothing moves.
  if (rect != laidOut_) place(rect);
}

void ProportionalLayout::layOutNow() {
  if (QWidget* window = parentWidget()) place(window->rect());
}

void ProportionalLayout::place(const QRect& rect) {
  const QWidget* window = parentWidget();
  if (!window || window->isMinimized()) return;
  // A window squeezed below its smallest layout keeps the last one.
  if (pxToTwips(rect.width()) < kSmallestLaidOutInner.width() ||
      pxToTwips(rect.height()) < kSmallestLaidOutInner.height())
    return;
  if (ready && !ready()) return;
  const double across = pxToTwips(rect.width()) / design_.width();
  const double down = pxToTwips(rect.height()) / design_.height();
  if (beforePlacing) beforePlacing(across, down);
  for (const Entry& e : entries_) {
    QWidget* w = e.item->widget();
    if (!w) continue;
    const Place& p = e.place;
    const double height = p.height > 0 ? p.height * down : pxToTwips(w->sizeHint().height());
    const double width = e.width == Width::Scales ? p.width * across : p.width;
    w->setGeometry(rect.x() + twipsToPx(p.left * across), rect.y() + twipsToPx(p.top * down),
                   std::max(1, twipsToPx(width)), std::max(1, twipsToPx(height)));
  }
  laidOut_ = rect;
  if (afterPlacing) afterPlacing(across, down);
}

}  // namespace velnor
