#pragma once
// A save writer that fails at a chosen step, so that full-disk and read-only saves can be
// tested without root. It wraps the real writer: what it did before failing is real.

#include <QString>

#include "core/text_file.h"

namespace velnor::test {

enum class FailAt {
  Open,
  Write,  // the `nth` write, counted from 1
  Flush,
  Commit,
  Crash,  // stops before the commit and leaves its temporary file, as a killed program does
};

class FailingWriter final : public SaveWriter {
 public:
  FailingWriter(FailAt step, int nth, QString reason);
  bool open(const QString& path) override;
  bool write(const QByteArray& bytes) override;
  bool flush() override;
  bool commit() override;
  bool commitIfAbsent(bool& existed) override;
  void cancel() override;
  QString errorString() const override;

 private:
  bool failHere(FailAt step);
  std::unique_ptr<SaveWriter> real_ = makeFileWriter();
  FailAt step_;
  int nth_;
  int writes_ = 0;
  bool failed_ = false;
  QString reason_;
};

// Every save made while it lives uses a FailingWriter with these arguments.
class ScopedFailingWriter {
 public:
  explicit ScopedFailingWriter(FailAt step, int nth = 1,
                               const QString& reason = QStringLiteral("No space left on device"));
  ~ScopedFailingWriter();
  ScopedFailingWriter(const ScopedFailingWriter&) = delete;
  ScopedFailingWriter& operator=(const ScopedFailingWriter&) = delete;
};

}  // namespace velnor::test
