#include "ui/common/combo_chooser.h"

#include <QKeyEvent>
#include <QSignalBlocker>

namespace velnor {

namespace {

// A closed chooser ignores what would change its choice on the spot (arrows, Home, End,
// Page Up/Down, typed letters, the wheel): a folder is switched only by a pick from the
// open list. Keys that open the list (Alt+Down, F4, Space), Tab and the window's keys pass.
class ClosedChooserGuard : public QObject {
 public:
  explicit ClosedChooserGuard(QComboBox* combo) : QObject(combo), combo_(combo) {
    combo->installEventFilter(this);
  }

 protected:
  // While the list is open its keys and wheel go to the list, not to the chooser.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != combo_) return false;
    switch (event->type()) {
      case QEvent::Wheel:
      case QEvent::InputMethod:
        return true;
      case QEvent::KeyPress:
        return changesChoice(*static_cast<QKeyEvent*>(event));
      default:
        return false;
    }
  }

 private:
  static bool changesChoice(const QKeyEvent& key) {
    switch (key.key()) {
      case Qt::Key_Up:
      case Qt::Key_Down:
        return !(key.modifiers() & Qt::AltModifier);
      case Qt::Key_Left:
      case Qt::Key_Right:
      case Qt::Key_Home:
      case Qt::Key_End:
      case Qt::Key_PageUp:
      case Qt::Key_PageDown:
        return true;
      case Qt::Key_Space:
        return false;
      default:
        break;
    }
    // Typed text searches the items.
    const QString text = key.text();
    return !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && !text.isEmpty() &&
           text.at(0).isPrint();
  }

  QComboBox* combo_;
};

}  // namespace

ComboChooser::ComboChooser(QComboBox* combo, std::function<void()> onClick)
    : combo_(combo), onClick_(std::move(onClick)) {
  new ClosedChooserGuard(combo_);
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
