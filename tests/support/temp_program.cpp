#include "support/temp_program.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/cp932.h"

namespace velnor::test {

TempProgram::TempProgram(const QString& templatePath)
    : dir(templatePath.isEmpty() ? QDir::tempPath() + QStringLiteral("/velnor-test-XXXXXX")
                                 : templatePath),
      m(std::make_unique<Module1>(dir.path())) {
  if (!dir.isValid()) qFatal("cannot make a temporary folder");
  m->shell = &shell;
}

QString TempProgram::path(const QString& relative) const {
  return relative.isEmpty() ? dir.path() : dir.path() + u'/' + relative;
}

QString TempProgram::makeFolder(const QString& name, const QByteArray& indexBytes) {
  const QString folder = u'%' + name;
  QDir(dir.path()).mkpath(folder);
  if (!indexBytes.isEmpty()) writeBytes(folder + u'/' + kIndexFileName, indexBytes);
  return folder;
}

QString TempProgram::useFolder(const QString& name, const QStringList& records) {
  m->CurrentFolder = makeFolder(name, indexBytes(records));
  m->IndexFilePath = m->indexPathFor(m->CurrentFolder);
  return m->CurrentFolder;
}

bool TempProgram::read(int mode, int at) const {
  m->ReadMode = qint16(mode);
  m->CurrentIndex = qint16(at);
  return m->ReadIndex();
}

bool TempProgram::write(int mode, int at) const {
  m->WriteMode = qint16(mode);
  m->CurrentIndex = qint16(at);
  return m->WriteIndex();
}

bool TempProgram::store(int person, int month, const QString& dates) const {
  if (!m->LoadPerson(qint16(person))) return false;
  m->MonthDates[month] = dates;
  return m->StorePerson(qint16(person));
}

void TempProgram::writeBytes(const QString& relative, const QByteArray& bytes) const {
  QFile f(path(relative));
  QDir().mkpath(QFileInfo(f).absolutePath());
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write test file");
  f.write(bytes);
}

QByteArray TempProgram::readBytes(const QString& relative) const {
  QFile f(path(relative));
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

bool TempProgram::exists(const QString& relative) const {
  return QFileInfo::exists(path(relative));
}

QStringList TempProgram::entries(const QString& relative) const {
  return QDir(path(relative))
      .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QByteArray TempProgram::cp932Lines(const QStringList& lines) {
  QByteArray out;
  for (const QString& l : lines) {
    out += cp932().encode(l).value();
    out += "\r\n";
  }
  return out;
}

QString TempProgram::record(const QString& territory, const QString& name,
                            const QStringList& months) {
  QString line = territory + u'*' + name + u'*';
  for (int k = 0; k < 12; ++k) line += months.value(k) + u'*';
  return line;
}

QByteArray TempProgram::indexBytes(const QStringList& records) {
  return cp932Lines(QStringList{kIndexComment1, kIndexComment2} + records);
}

QByteArray TempProgram::dataBytes(const QString& relative) {
  QFile f(QStringLiteral(VELNOR_TEST_DATA) + u'/' + relative);
  if (!f.open(QIODevice::ReadOnly)) qFatal("missing test data file");
  return f.readAll();
}

void TempProgram::copyData(const QString& from, const QString& to) const {
  for (const QString& name :
       QDir(QStringLiteral(VELNOR_TEST_DATA) + u'/' + from).entryList(QDir::Files))
    writeBytes(to + u'/' + name, dataBytes(from + u'/' + name));
}

}  // namespace velnor::test
