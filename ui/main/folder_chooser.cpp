#include "ui/main/folder_chooser.h"

#include <QSignalBlocker>

namespace velnor {

MainFolderChooser::MainFolderChooser(QComboBox* combo, std::function<void()> onClick)
    : combo_(combo), onClick_(std::move(onClick)) {
  // Only a user's choice raises Click; the program's own selections stay quiet.
  QObject::connect(combo_, &QComboBox::activated, combo_, [this](int) {
    if (onClick_) onClick_();
  });
}

int MainFolderChooser::count() const { return combo_->count(); }

QString MainFolderChooser::item(int index) const { return combo_->itemText(index); }

void MainFolderChooser::setItem(int index, const QString& text) {
  if (index == combo_->count())
    combo_->addItem(text);
  else if (index >= 0 && index < combo_->count())
    combo_->setItemText(index, text);
}

void MainFolderChooser::clearFolders() {
  while (combo_->count() > 1) combo_->removeItem(combo_->count() - 1);
}

int MainFolderChooser::currentIndex() const { return combo_->currentIndex(); }

void MainFolderChooser::select(int index) {
  const QSignalBlocker quiet(combo_);
  combo_->setCurrentIndex(index);
}

void MainFolderChooser::choose(int index) {
  select(index);
  if (onClick_) onClick_();
}

QString MainFolderChooser::text() const { return combo_->currentText(); }

void MainFolderChooser::setText(const QString& text) {
  const int i = combo_->findText(text, Qt::MatchExactly);
  if (i >= 0) select(i);
}

void MainFolderChooser::setVisible(bool visible) { combo_->setVisible(visible); }

}  // namespace velnor
