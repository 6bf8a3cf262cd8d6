#pragma once
// "新しい年": which year is being closed, and whether the people never met in it go on.

#include <QDialog>

class QCheckBox;
class QSpinBox;

namespace velnor {

class NewYearDialog : public QDialog {
  Q_OBJECT

 public:
  NewYearDialog(int year, QWidget* parent = nullptr);

  QSpinBox* yearBox = nullptr;
  QCheckBox* dropUnmetBox = nullptr;

  int year() const;
  bool dropUnmet() const;
};

}  // namespace velnor
