#include "ui/common/combo_chooser.h"

#include <QSignalBlocker>

namespace velnor {

ComboChooser::ComboChooser(QComboBox* combo, std::function<void()> onClick)
    : combo_(combo), onClick_(std::move(onClick)) {
  // `activated` comes from the user only; choices made by the program stay quiet.
  QObject::connect(combo_, &QComboBox::activated, combo_, [this](int) {
    if (onClick_) onClick_();
  });
}

int ComboChooser::count() const { return combo_->count(); }

QString ComboChooser::item(int index) const { return combo_->itemText(index); }

void ComboChooser::setItem(int index, const QString& text) {
  const QSignalBlocker quiet(combo_);
  if (index == combo_->count())
    combo_->addItem(text);
  else if (index >= 0 && index < combo_->count())
    combo_->setItemText(index, text);
}

void ComboChooser::clearFolders() {
  const QSignalBlocker quiet(combo_);
  while (combo_->count() > 1) combo_->removeItem(combo_->count() - 1);
}

int ComboChooser::currentIndex() const { return combo_->currentIndex(); }

void ComboChooser::select(int index) {
  const QSignalBlocker quiet(combo_);
  combo_->setCurrentIndex(index);
}

void ComboChooser::choose(int index) {
  select(index);
  if (onClick_) onClick_();
}

QString ComboChooser::text() const { return combo_->currentText(); }

void ComboChooser::setText(const QString& text) {
  const int i = combo_->findText(text, Qt::MatchExactly);
  if (i >= 0) select(i);
}

void ComboChooser::setVisible(bool visible) { combo_->setVisible(visible); }

}  // namespace velnor
