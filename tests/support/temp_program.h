#pragma once
// A fresh program folder in a temporary directory, with a Module1 over it that speaks to a
// fake seam.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <ostream>

#include "core/module1.h"
#include "support/fakes.h"

// Readable texts in test failures.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace velnor::test {

class TempProgram {
 public:
  // In a temporary folder made from `templatePath` (its last six X's made unique).
  explicit TempProgram(const QString& templatePath = {});
  QString path(const QString& relative = {}) const;
  // Creates "%name" with the given raw index-file bytes (CR LF already in them).
  QString makeFolder(const QString& name, const QByteArray& indexBytes = {});
  void writeBytes(const QString& relative, const QByteArray& bytes) const;
  QByteArray readBytes(const QString& relative) const;
  bool exists(const QString& relative) const;
  // The names in a folder of the program, hidden ones included.
  QStringList entries(const QString& relative = {}) const;
  // Creates "%name" holding the standard comments and `records`, and makes it the folder in use.
  QString useFolder(const QString& name, const QStringList& records);
  // The index file of the folder in use read or written in `mode` at record `at`.
  bool read(int mode, int at = 0) const;
  bool write(int mode, int at) const;
  // Record `person` loaded, `dates` put in `month` and stored.
  bool store(int person, int month, const QString& dates) const;
  // Encodes lines as CP932, each followed by CR LF.
  static QByteArray cp932Lines(const QStringList& lines);
  // One record line: territory, name and the twelve months (missing months are empty).
  static QString record(const QString& territory, const QString& name,
                        const QStringList& months = {});
  // An index file: the two standard comments, then `records`.
  static QByteArray indexBytes(const QStringList& records);
  // A file kept in the source tree under tests/data, as it is on disk.
  static QByteArray dataBytes(const QString& relative);
  // Copies the files of the folder tests/data/`from` into the folder `to` of the program.
  void copyData(const QString& from, const QString& to) const;

  QTemporaryDir dir;
  FakeShell shell;
  std::unique_ptr<Module1> m;
};

}  // namespace velnor::test
