#pragma once
// The small find box of the main window and of the input screen (Ctrl+F): typing part of a
// name or a territory moves to the first person that matches from the current one on,
// Enter to the next one (going round), Escape closes the box.

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;

namespace velnor {

class Module1;

class FindBox : public QDialog {
  Q_OBJECT

 public:
  // `moveTo` moves the selection to a record the way the window's own moves do, so that
  // the person shown on the input screen is stored first.
  FindBox(Module1& m, std::function<void(int)> moveTo, QWidget* parent);

  // Shows the box (again) over its window with the text selected for a new search.
  void openOver(QWidget* window);

  QLineEdit* text() const { return text_; }
  QLabel* status() const { return status_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void search(int from);

  Module1& m_;
  std::function<void(int)> moveTo_;
  QLineEdit* text_;
  QLabel* status_;
};

}  // namespace velnor
