#include "core/text_file.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace {

constexpr const char* kCodec = "windows-31j";

FileError makeError(const QString& path, const QString& reason, bool writing) {
  return FileError{QDir::toNativeSeparators(path), reason, writing};
}

// The first character (a whole surrogate pair where there is one) that cannot be encoded.
QString firstUnencodable(const QString& text) {
  for (int i = 0; i < text.size(); ++i) {
    const int len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
    const QString ch = text.mid(i, len);
    QStringEncoder enc(kCodec, QStringConverter::Flag::Stateless);
    const QByteArray bytes = enc.encode(ch);
    if (enc.hasError() || bytes.isEmpty()) return ch;
    i += len - 1;
  }
  return {};
}

}  // namespace

QString toWindowsLookalikes(QString text) {
  for (QChar& c : text) {
    switch (c.unicode()) {
      case 0x301C:
        c = QChar(0xFF5E);
        break;  // 〜 → ～
      case 0x2212:
        c = QChar(0xFF0D);
        break;  // − → －
      case 0x2016:
        c = QChar(0x2225);
        break;  // ‖ → ∥
      case 0x2014:
        c = QChar(0x2015);
        break;  // — → ―
      case 0x00A2:
        c = QChar(0xFFE0);
        break;  // ¢ → ￠
      case 0x00A3:
        c = QChar(0xFFE1);
        break;  // £ → ￡
      case 0x00AC:
        c = QChar(0xFFE2);
        break;  // ¬ → ￢
      default:
        break;
    }
  }
  return text;
}

bool encodeCp932(const QString& text, QByteArray& out, QString* bad) {
  const QString mapped = toWindowsLookalikes(text);
  QStringEncoder enc(kCodec, QStringConverter::Flag::Stateless);
  // The encoder's result is a lazy proxy: hasError() is valid only after the conversion.
  out = QByteArray(enc.encode(mapped));
  if (!enc.hasError()) return true;
  if (bad) *bad = firstUnencodable(mapped);
  out.clear();
  return false;
}

QString decodeCp932(const QByteArray& bytes, bool* clean) {
  // Stateless, so that a dangling lead byte is reported instead of silently dropped.
  QStringDecoder dec(kCodec, QStringConverter::Flag::Stateless);
  QString text = dec.decode(bytes);
  if (clean) *clean = !dec.hasError();
  return text;
}

bool canEncodeCp932(const QString& text, QString* bad) {
  QByteArray unused;
  return encodeCp932(text, unused, bad);
}

bool readTextLines(const QString& path, QList<TextLine>& lines, FileError* error) {
  lines.clear();
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    if (error) *error = makeError(path, file.errorString(), false);
    return false;
  }
  const QByteArray all = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    if (error) *error = makeError(path, file.errorString(), false);
    return false;
  }
  lines = splitTextLines(all);
  return true;
}

QList<TextLine> splitTextLines(const QByteArray& all) {
  QList<TextLine> lines;
  // One decoder for the whole file: opening a converter costs far more than a line.
  QStringDecoder dec(kCodec, QStringConverter::Flag::Stateless);
  // CP932 trail bytes never take the values of CR or LF, so splitting bytes is safe.
  qsizetype start = 0;
  while (start < all.size()) {
    qsizetype end = all.indexOf('\n', start);
    const bool last = end < 0;
    if (last) end = all.size();
    QByteArray raw = all.mid(start, end - start);
    if (!last && raw.endsWith('\r')) raw.chop(1);
    TextLine line;
    line.text = dec.decode(raw);
    line.raw = std::move(raw);
    line.keepRaw = true;
    lines.append(std::move(line));
    start = end + 1;
  }
  return lines;
}

bool encodeTextLines(QList<TextLine>& lines, const QString& path, FileError* error) {
  for (TextLine& line : lines) {
    if (line.keepRaw) continue;
    QString bad;
    if (!encodeCp932(line.text, line.raw, &bad)) {
      if (error)
        *error = makeError(path, u"「%1」はこのファイルに保存できない文字です。"_s.arg(bad), true);
      return false;
    }
    line.keepRaw = true;
  }
  return true;
}

bool writeTextLines(const QString& path, const QList<TextLine>& lines, FileError* error) {
  QList<TextLine> encoded = lines;
  if (!encodeTextLines(encoded, path, error)) return false;
  QByteArray data;
  for (const TextLine& line : encoded) data += line.raw + "\r\n";

  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    if (error) *error = makeError(path, file.errorString(), true);
    return false;
  }
  // On a full disk Qt 6.4's commit() can report success for a small file and leave it
  // empty, so every write and the final flush are checked before committing.
  if (file.write(data) != data.size() || !file.flush()) {
    const QString reason = file.errorString();
    file.cancelWriting();
    file.commit();
    if (error) *error = makeError(path, reason, true);
    return false;
  }
  if (!file.commit()) {
    if (error) *error = makeError(path, file.errorString(), true);
    return false;
  }
  syncFolder(QFileInfo(path).absolutePath());
  return true;
}

bool writeTextFile(const QString& path, const QStringList& lines, FileError* error) {
  QList<TextLine> out;
  out.reserve(lines.size());
  for (const QString& l : lines) out.append(TextLine::fromText(l));
  return writeTextLines(path, out, error);
}

QString writeFailureReason(const QString& systemReason) {
  if (systemReason.isEmpty() || systemReason == u"Unknown error"_s)
    return u"書き込めませんでした。ディスクがいっぱいの可能性があります。"_s;
  return systemReason;
}

// After a rename the new directory entry reaches the disk only when the folder is synced.
void syncFolder(const QString& folder) {
#ifdef Q_OS_UNIX
  const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
#else
  Q_UNUSED(folder);
#endif
}

bool syncFilesystemOf(const QString& path) {
#ifdef Q_OS_LINUX
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
  if (fd < 0) return false;
  const bool ok = ::syncfs(fd) == 0;
  ::close(fd);
  return ok;
#else
  Q_UNUSED(path);
  return true;
#endif
}

void removeStaleSaveFiles(const QString& folder) {
  // Where the platform cannot write unnamed temporary files, a save that was cut off
  // leaves "<file>.XXXXXX" beside the file it was replacing.
  static const QRegularExpression stale(u"^.+\\.(vrd|ini|txt)\\.[A-Za-z0-9]{6}$"_s);
  QDirIterator it(folder, QDir::Files | QDir::Hidden);
  while (it.hasNext()) {
    it.next();
    if (stale.match(it.fileName()).hasMatch()) QFile::remove(it.filePath());
  }
}

}  // namespace velnor
