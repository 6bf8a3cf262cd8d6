#pragma once
// A folder chooser over a drop-down list: item 0 is "新規作成", then the folders.

#include <QComboBox>
#include <functional>

#include "core/ports.h"

namespace velnor {

class ComboChooser : public ChooserPort {
 public:
  // `onClick` runs when the user chooses an item, and for choose().
  ComboChooser(QComboBox* combo, std::function<void()> onClick);

  int count() const override;
  QString item(int index) const override;
  void setItem(int index, const QString& text) override;
  void clearFolders() override;
  int currentIndex() const override;
  void select(int index) override;
  void choose(int index) override;
  QString text() const override;
  void setText(const QString& text) override;
  void setVisible(bool visible) override;

 private:
  QComboBox* combo_;
  std::function<void()> onClick_;
};

}  // namespace velnor
