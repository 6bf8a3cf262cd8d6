#pragma once
// "新しい年": which year is being closed, and whether the people never met in it go on.

#include <QDialog>
#include <functional>

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

class Module1;

// Asks the year (through `ask` when given, else the dialog itself) and closes it with a
// progress window over `parent`; then `beforeReopen` runs and the folder in use opens
// again at its first person and this month. False when cancelled or refused.
bool closeYearAsked(Module1& m, QWidget* parent,
                    const std::function<bool(NewYearDialog& dialog)>& ask = {},
                    const std::function<void()>& beforeReopen = {});

}  // namespace velnor
