#pragma once
// A progress window for work that can take seconds on a large folder: it appears only
// after half a second, and the windows keep painting while the work reports its steps.

#include <QProgressDialog>
#include <QString>
#include <functional>

namespace velnor {

class LongWork {
 public:
  // Stopping is offered only for work that leaves every file whole when it stops.
  enum class Stop { NotOffered, Offered };
  LongWork(QWidget* parent, const QString& title, const QString& label,
           Stop stop = Stop::NotOffered);
  ~LongWork() { dialog_.reset(); }
  LongWork(const LongWork&) = delete;
  LongWork& operator=(const LongWork&) = delete;

  // The (done, total) callback the work is given.
  std::function<void(int, int)> progress();
  // Whether the user pressed 中止.
  bool stopped() const { return dialog_.wasCanceled(); }

 private:
  QProgressDialog dialog_;
};

}  // namespace velnor
