#include "ui/common/long_work.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

LongWork::LongWork(QWidget* parent, const QString& title, const QString& label, Stop stop)
    : dialog_(label, stop == Stop::Offered ? u"中止"_s : QString(), 0, 1, parent) {
  dialog_.setWindowTitle(title);
  dialog_.setWindowModality(Qt::WindowModal);
  dialog_.setMinimumDuration(500);
  // Stopping half-way through a change of the files would leave half of them changed.
  if (stop == Stop::NotOffered) dialog_.setCancelButton(nullptr);
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
