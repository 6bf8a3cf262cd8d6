#pragma once
// A window laid out in proportion to the size it was designed at: each control keeps its
// designed place (in twips), scaled across by the inner width over the designed one and
// down by the inner height over the designed one. Resizing does nothing else: no file is
// read and no box is shown by it.

#include <QLayout>
#include <QSizeF>
#include <functional>
#include <memory>
#include <vector>

namespace velnor {

class ProportionalLayout : public QLayout {
 public:
  struct Place {
    double left, top, width, height;  // design twips; a height of 0 keeps the control's own
  };
  enum class Width { Scales, Fixed };  // Fixed: the designed width at any window width

  ProportionalLayout(QWidget* window, QSizeF designInner);
  ~ProportionalLayout() override;

  void add(QWidget* control, Place place, Width width = Width::Scales);

  // Run at each layout with the factors across and down: before the controls are placed
  // (fonts go here, since a control's own height follows its font), and after.
  std::function<void(double across, double down)> beforePlacing;
  std::function<void(double across, double down)> afterPlacing;
  // A layout is held while this says no (the window is still being filled).
  std::function<bool()> ready;

  // Lays the window out at its present size, even while it is hidden or unchanged.
  void layOutNow();

  // QLayout
  void addItem(QLayoutItem* item) override;
  QLayoutItem* itemAt(int index) const override;
  QLayoutItem* takeAt(int index) override;
  int count() const override;
  QSize sizeHint() const override;
  QSize minimumSize() const override;
  void setGeometry(const QRect& rect) override;

 private:
  struct Entry {
    std::unique_ptr<QLayoutItem> item;
    Place place;
    Width width;
  };
  void place(const QRect& rect);

  QSizeF design_;
  std::vector<Entry> entries_;
  QRect laidOut_;
};

}  // namespace velnor
