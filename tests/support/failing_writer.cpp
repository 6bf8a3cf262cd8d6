#include "support/failing_writer.h"

namespace velnor::test {

FailingWriter::FailingWriter(FailAt step, int nth, QString reason)
    : step_(step), nth_(nth), reason_(std::move(reason)) {}

bool FailingWriter::failHere(FailAt step) {
  if (step != step_) return false;
  failed_ = true;
  return true;
}

bool FailingWriter::open(const QString& path) {
  return !failHere(FailAt::Open) && real_->open(path);
}

bool FailingWriter::write(const QByteArray& bytes) {
  if (step_ == FailAt::Write && ++writes_ == nth_) {
    // Part of the data reaches the file first, as on a disk that fills up mid-write.
    real_->write(bytes.left(bytes.size() / 2));
    return !failHere(FailAt::Write);
  }
  return real_->write(bytes);
}

bool FailingWriter::flush() { return !failHere(FailAt::Flush) && real_->flush(); }

bool FailingWriter::commit() {
  if (failHere(FailAt::Commit) || failHere(FailAt::Crash)) return false;
  return real_->commit();
}

bool FailingWriter::commitIfAbsent(bool& existed) {
  existed = false;
  if (failHere(FailAt::Commit) || failHere(FailAt::Crash)) return false;
  return real_->commitIfAbsent(existed);
}

void FailingWriter::cancel() {
  if (step_ != FailAt::Crash) real_->cancel();
}

QString FailingWriter::errorString() const { return failed_ ? reason_ : real_->errorString(); }

ScopedFailingWriter::ScopedFailingWriter(FailAt step, int nth, const QString& reason) {
  setSaveWriterFactory([=] { return std::make_unique<FailingWriter>(step, nth, reason); });
}

ScopedFailingWriter::~ScopedFailingWriter() { setSaveWriterFactory({}); }

}  // namespace velnor::test
