#pragma once
// The main window's record-folder chooser over a QComboBox: item 0 "新規作成", then the folders.

#include <QComboBox>
#include <functional>

#include "core/ports.h"

namespace velnor {

class MainFolderChooser : public ChooserPort {
 public:
  // `onClick` is the chooser's Click handler, run by a choice (user's or choose()).
  MainFolderChooser(QComboBox* combo, std::function<void()> onClick);

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
