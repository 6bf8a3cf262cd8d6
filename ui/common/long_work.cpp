#include "ui/common/long_work.h"

namespace velnor {

LongWork::LongWork(QWidget* parent, const QString& title, const QString& label)
    : dialog_(label, QString(), 0, 1, parent) {
  dialog_.setWindowTitle(title);
  dialog_.setWindowModality(Qt::WindowModal);
  dialog_.setMinimumDuration(500);
  dialog_.setCancelButton(nullptr);  // stopping half-way would leave half the files
  dialog_.setAutoReset(false);
  dialog_.setValue(0);
}

std::function<void(int, int)> LongWork::progress() {
  return [this](int done, int total) {
    if (dialog_.maximum() != total) dialog_.setMaximum(total);
    dialog_.setValue(done);  // a modal progress window lets the windows paint here
  };
}

}  // namespace velnor
