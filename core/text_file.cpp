#include "core/text_file.h"

#include "core/cp932.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <io.h>
#include <windows.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace {

FileError makeError(const QString& path, const QString& reason, bool writing) {
  return FileError{QDir::toNativeSeparators(path), reason, writing};
}

// Qt's kind of file error in the program's words, for failures that left no error number.
// Empty where it says nothing more than "it failed".
QString reasonOfKind(QFileDevice::FileError kind) {
  switch (kind) {
    case QFileDevice::PermissionsError:
      return systemReason(EACCES);
    case QFileDevice::ReadError:
      return u"ファイルを読み込めませんでした。"_s;
    case QFileDevice::OpenError:
      return u"ファイルを開けませんでした。"_s;
    case QFileDevice::RenameError:
    case QFileDevice::RemoveError:
    case QFileDevice::CopyError:
      return u"ファイルの名前を変更、削除またはコピーできませんでした。"_s;
    default:
      return {};
  }
}

[[maybe_unused]] QString readFailureReason(const QFile& file) {
  const QString reason = reasonOfKind(file.error());
  return reason.isEmpty() ? u"ファイルを読み込めませんでした。"_s : reason;
}

// The few steps Qt has no call for: forcing data to the disk and renaming over a name.
namespace platform {

bool syncFile(QFile& file, QString* reason) {
#ifdef Q_OS_UNIX
  if (::fsync(file.handle()) == 0) return true;
#elif defined(Q_OS_WIN)
  if (::_commit(file.handle()) == 0) return true;
#else
  return true;
#endif
  *reason = systemReason(errno);
  return false;
}

// Replaces `to` by `from` in one step. A symbolic link at `to` is itself replaced.
bool replaceFile(const QString& from, const QString& to, QString* reason) {
#ifdef Q_OS_WIN
  if (::MoveFileExW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(from).utf16()),
                    reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(to).utf16()),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  *reason = qt_error_string(int(::GetLastError()));
  return false;
#else
  if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
    return true;
  *reason = systemReason(errno);
  return false;
#endif
}

// Gives `from` the name `to` only while nothing has it.
bool renameIfAbsent(const QString& from, const QString& to, bool& existed, QString* reason) {
  existed = false;
#ifdef Q_OS_WIN
  if (::MoveFileExW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(from).utf16()),
                    reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(to).utf16()),
                    MOVEFILE_WRITE_THROUGH))
    return true;
  const DWORD code = ::GetLastError();
  existed = code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS;
  *reason = qt_error_string(int(code));
  return false;
#else
  const QByteArray src = QFile::encodeName(from), dst = QFile::encodeName(to);
#ifdef Q_OS_LINUX
  if (::renameat2(AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE) == 0)
    return true;
  if (errno != EINVAL && errno != ENOSYS) {
    existed = errno == EEXIST;
    *reason = systemReason(errno);
    return false;
  }
#endif
  // A file system without the no-replace rename: a name taken in between is the only risk.
  struct stat st {};
  if (::lstat(dst.constData(), &st) == 0) {
    existed = true;
    *reason = systemReason(EEXIST);
    return false;
  }
  if (::rename(src.constData(), dst.constData()) == 0) return true;
  *reason = systemReason(errno);
  return false;
#endif
}

// After a rename the new directory entry reaches the disk only when the folder is synced.
void syncParentFolder(const QString& filePath) {
  syncFolderEntries(QFileInfo(filePath).absolutePath());
}

}  // namespace platform

const QString kTempMarker = u".velnor-tmp-"_s;
constexpr int kTempRandomChars = 6;
constexpr qsizetype kMaxFileNameBytes = 255;

// ".<file>.velnor-tmp-XXXXXX": hidden, and a name no user gives a copy. A long file name
// is shortened so that the temporary name still fits the file system's limit.
QString tempNameFor(const QString& fileName) {
  static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  QString random;
  for (int i = 0; i < kTempRandomChars; ++i)
    random += QLatin1Char(alphabet[QRandomGenerator::global()->bounded(int(sizeof alphabet) - 1)]);
  const qsizetype room = kMaxFileNameBytes - 1 - kTempMarker.size() - kTempRandomChars;
  QString base = fileName;
  while (QFile::encodeName(base).size() > room) {
    base.chop(1);
    if (!base.isEmpty() && base.back().isHighSurrogate()) base.chop(1);
  }
  return u'.' + base + kTempMarker + random;
}

class AtomicFileWriter final : public SaveWriter {
 public:
  bool open(const QString& path) override {
    target_ = path;
    const QFileInfo info(path);
    // A replaced file keeps its permissions; a link's target is none of our business.
    const QFileDevice::Permissions perms =
        info.exists() && !info.isSymLink()
            ? info.permissions()
            : QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                  QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
    const QString folder = info.absolutePath();
    for (int attempt = 0; attempt < 100; ++attempt) {
      file_.setFileName(folder + u'/' + tempNameFor(info.fileName()));
      errno = 0;
      // NewOnly never opens an existing file or follows a link planted under the name.
      if (file_.open(QIODevice::WriteOnly | QIODevice::NewOnly, perms)) return true;
      if (!QFileInfo(file_.fileName()).isSymLink() && !QFileInfo::exists(file_.fileName())) break;
    }
    return failed();
  }

  bool write(const QByteArray& bytes) override {
    errno = 0;
    if (file_.write(bytes) == bytes.size()) return true;
    return failed();
  }

  bool flush() override {
    errno = 0;
    if (!file_.flush()) return failed();
    return platform::syncFile(file_, &error_);
  }

  bool commit() override {
    if (!closeWritten()) return false;
    if (!platform::replaceFile(file_.fileName(), target_, &error_)) {
      QFile::remove(file_.fileName());
      return false;
    }
    platform::syncParentFolder(target_);
    return true;
  }

  bool commitIfAbsent(bool& existed) override {
    existed = false;
    if (!closeWritten()) return false;
    if (platform::renameIfAbsent(file_.fileName(), target_, existed, &error_)) return true;
    QFile::remove(file_.fileName());
    return false;
  }

  void cancel() override {
    if (!file_.isOpen()) return;
    file_.close();
    QFile::remove(file_.fileName());
  }

  QString errorString() const override { return error_; }

 private:
  // The system's reason, from the error number or, when Qt kept none, from Qt's error
  // kind; never Qt's English text. Empty means none was given (a full disk, most often).
  bool failed() {
    error_ = errno != 0 ? systemReason(errno) : reasonOfKind(file_.error());
    return false;
  }

  bool closeWritten() {
    errno = 0;
    file_.close();
    if (file_.error() == QFileDevice::NoError) return true;
    failed();
    QFile::remove(file_.fileName());
    return false;
  }

  QString target_;
  QFile file_;
  QString error_;
};

SaveWriterFactory& writerFactory() {
  static SaveWriterFactory factory;
  return factory;
}

// The first character (a whole surrogate pair where there is one) that cannot be encoded.
QString firstUnencodable(const QString& text) {
  for (int i = 0; i < text.size(); ++i) {
    const int len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
    const QStringView ch = QStringView(text).mid(i, len);
    const std::optional<QByteArray> bytes = cp932().encode(ch);
    if (!bytes || bytes->isEmpty()) return ch.toString();
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
  std::optional<QByteArray> bytes = cp932().encode(mapped);
  if (bytes) {
    out = std::move(*bytes);
    return true;
  }
  if (bad) *bad = firstUnencodable(mapped);
  out.clear();
  return false;
}

QString decodeCp932(const QByteArray& bytes, bool* clean) { return cp932().decode(bytes, clean); }

bool canEncodeCp932(const QString& text, QString* bad) {
  QByteArray unused;
  return encodeCp932(text, unused, bad);
}

namespace {

QString notRegularReason() {
  return u"通常のファイルではありません（フォルダーや特殊なファイルは読み込みません）。"_s;
}

QString tooLargeReason(qint64 size, qint64 limit) {
  return u"ファイルが大きすぎます（%1 バイト。読み込めるのは %2 バイトまでです）。"_s.arg(size).arg(
      limit);
}

#ifdef Q_OS_UNIX
// Reads the open regular file `fd` to its end, refusing more than `limit` bytes (it may
// grow while it is read).
bool readOpenFile(int fd, qint64 size, qint64 limit, QByteArray& bytes, QString& reason) {
  bytes.resize(qsizetype(size));
  qint64 done = 0;
  for (;;) {
    if (done == bytes.size()) {
      if (done > limit) {
        reason = tooLargeReason(done, limit);
        return false;
      }
      bytes.resize(qsizetype(std::min(limit + 1, done + 65536)));
      if (done == bytes.size()) {
        reason = tooLargeReason(done, limit);
        return false;
      }
    }
    const ssize_t n = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      reason = systemReason(errno);
      return false;
    }
    if (n == 0) break;
    done += n;
  }
  if (done > limit) {
    reason = tooLargeReason(done, limit);
    return false;
  }
  bytes.resize(qsizetype(done));
  return true;
}
#endif

}  // namespace

FileRead readFile(const QString& path, qint64 limit) {
  FileRead read;
  QByteArray& bytes = read.bytes;
  QString reason;
  bool ok = false;
#ifdef Q_OS_UNIX
  // Opened without waiting, so that a FIFO under the name cannot block the program; the
  // kind of file is then checked on what was opened, not on the name.
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    read.missing = errno == ENOENT;
    reason = systemReason(errno);
  } else {
    struct stat st {};
    const bool opened =
        ::fstat(fd, &st) == 0 && (!S_ISREG(st.st_mode) || st.st_size > limit ||
                                  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0);
    if (!opened)
      reason = systemReason(errno);
    else if (!S_ISREG(st.st_mode))
      reason = notRegularReason();
    else if (st.st_size > limit)
      reason = tooLargeReason(st.st_size, limit);
    else
      ok = readOpenFile(fd, st.st_size, limit, bytes, reason);
    ::close(fd);
  }
#else
  const QFileInfo info(path);
  QFile file(path);
  if (info.exists() && !info.isFile()) {
    reason = notRegularReason();
  } else if (info.size() > limit) {
    reason = tooLargeReason(info.size(), limit);
  } else if (!file.open(QIODevice::ReadOnly)) {
    read.missing = !info.exists() && !info.isSymLink();
    reason = read.missing ? systemReason(ENOENT) : readFailureReason(file);
  } else {
    bytes = file.read(limit + 1);
    if (file.error() != QFileDevice::NoError)
      reason = readFailureReason(file);
    else if (bytes.size() > limit)
      reason = tooLargeReason(bytes.size(), limit);
    else
      ok = true;
  }
#endif
  if (ok) return read;
  bytes.clear();
  read.error = makeError(path, reason, false);
  return read;
}

QList<TextLine> splitTextLines(const QByteArray& bytes) {
  QList<TextLine> lines;
  // CP932 trail bytes never take the values of CR or LF, so splitting bytes is safe.
  qsizetype start = 0;
  while (start < bytes.size()) {
    qsizetype end = bytes.indexOf('\n', start);
    const bool last = end < 0;
    if (last) end = bytes.size();
    QByteArray raw = bytes.mid(start, end - start);
    if (!last && raw.endsWith('\r')) raw.chop(1);
    TextLine line;
    line.text = cp932().decode(raw);
    line.raw = std::move(raw);
    line.keepRaw = true;
    lines.append(std::move(line));
    start = end + 1;
  }
  return lines;
}

bool encodeTextLines(QList<TextLine>& lines, const QString& path, FileError* error) {
  // Lines that carry their bytes are left alone, without copying a shared list.
  if (std::all_of(lines.cbegin(), lines.cend(), [](const TextLine& l) { return l.keepRaw; }))
    return true;
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

namespace {

bool saveBytes(const QString& path, const QByteArray& bytes, FileError* error) {
  const std::unique_ptr<SaveWriter> writer = writerFactory() ? writerFactory()() : makeFileWriter();
  const auto fail = [&] {
    const QString reason = writeFailureReason(writer->errorString());
    writer->cancel();
    if (error) *error = makeError(path, reason, true);
    return false;
  };
  // Every step is checked, the final sync included, so that a full disk is never taken
  // for a save.
  if (!writer->open(path) || !writer->write(bytes)) return fail();
  if (!writer->flush() || !writer->commit()) return fail();
  return true;
}

bool saveLines(const QString& path, const QList<TextLine>& lines, FileError* error) {
  // Every line is encoded before the disk is touched: a character that cannot be stored
  // fails the save with the old file as it was.
  QList<TextLine> encoded = lines;
  if (!encodeTextLines(encoded, path, error)) return false;
  return saveBytes(path, joinTextLines(encoded), error);
}

QList<TextLine> fromText(const QStringList& lines) {
  QList<TextLine> out;
  out.reserve(lines.size());
  for (const QString& l : lines) out.append(TextLine::fromText(l));
  return out;
}

}  // namespace

bool writeTextLines(const QString& path, const QList<TextLine>& lines, FileError* error) {
  return saveLines(path, lines, error);
}

bool writeFileBytes(const QString& path, const QByteArray& bytes, FileError* error) {
  return saveBytes(path, bytes, error);
}

Created createFileBytes(const QString& path, const QByteArray& bytes, FileError* error) {
  const std::unique_ptr<SaveWriter> writer = writerFactory() ? writerFactory()() : makeFileWriter();
  bool existed = false;
  if (writer->open(path) && writer->write(bytes) && writer->commitIfAbsent(existed))
    return Created::Yes;
  if (existed) return Created::Existed;
  const QString reason = writeFailureReason(writer->errorString());
  writer->cancel();
  if (error) *error = makeError(path, reason, true);
  return Created::Failed;
}

QByteArray joinTextLines(const QList<TextLine>& lines) {
  qsizetype size = 0;
  for (const TextLine& line : lines) size += line.raw.size() + 2;
  QByteArray bytes;
  bytes.reserve(size);
  for (const TextLine& line : lines) bytes.append(line.raw).append("\r\n");
  return bytes;
}

bool writeTextFile(const QString& path, const QStringList& lines, FileError* error) {
  return saveLines(path, fromText(lines), error);
}

std::unique_ptr<SaveWriter> makeFileWriter() { return std::make_unique<AtomicFileWriter>(); }

void setSaveWriterFactory(SaveWriterFactory factory) { writerFactory() = std::move(factory); }

QString writeFailureReason(const QString& systemReason) {
  QString reason = systemReason.trimmed();
  if (reason.isEmpty()) return u"書き込めませんでした。ディスクがいっぱいの可能性があります。"_s;
  return reason;
}

void syncFolderEntries(const QString& folder) {
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

bool syncFilesystemOf(const QString& path, QString* reason) {
#ifdef Q_OS_LINUX
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 || ::syncfs(fd) != 0) {
    if (reason) *reason = systemReason(errno);
    if (fd >= 0) ::close(fd);
    return false;
  }
  ::close(fd);
  return true;
#else
  Q_UNUSED(path);
  Q_UNUSED(reason);
  return true;
#endif
}

bool renamePath(const QString& from, const QString& to, QString* reason) {
  QString why;
  if (platform::replaceFile(from, to, &why)) return true;
  if (reason) *reason = why;
  return false;
}

bool removeTree(const QString& path) {
  const QFileInfo info(path);
  // A link is removed as the link; the folder it points to is not ours to empty.
  if (info.isSymLink() || !info.isDir()) {
    if (!info.isSymLink() && !info.exists()) return true;
    return QFile::remove(path);
  }
  bool ok = true;
  QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  while (it.hasNext()) ok = removeTree(it.next()) && ok;
  return QDir().rmdir(path) && ok;
}

bool makeFolderWhole(const QString& path, const QString& tempName,
                     const std::vector<FolderFile>& files, const std::function<void()>& step,
                     FileError* error) {
  const QString temp = QFileInfo(path).absoluteDir().filePath(tempName);
  const auto fail = [&](const QString& where, const QString& reason) {
    removeTree(temp);
    if (error) *error = FileError{QDir::toNativeSeparators(where), reason, true};
    return false;
  };
  removeTree(temp);  // what a crash part-way left
  if (!QDir().mkdir(temp)) return fail(temp, u"フォルダーを作れません。"_s);
  const QDir dir(temp);
  for (const FolderFile& file : files) {
    FileError e;
    if (createFileBytes(dir.filePath(file.name), file.bytes, &e) != Created::Yes)
      return fail(dir.filePath(file.name), e.reason);
    if (step) step();
  }
  QString reason;
  if (!syncFilesystemOf(temp, &reason)) return fail(temp, reason);
  if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
    return fail(path, u"同じ名前のものがすでにあります。"_s);
  if (!renamePath(temp, path, &reason)) return fail(path, reason);
  syncFolderEntries(QFileInfo(path).absolutePath());
  return true;
}

QString fileFailureReason(const QFileDevice& file, int code) {
  if (code != 0) return systemReason(code);
  const QString reason = reasonOfKind(file.error());
  return reason.isEmpty() ? u"ファイルを読み書きできませんでした。"_s : reason;
}

QString systemReason(int code) {
  switch (code) {
    case ENOSPC:
      return u"ディスクに空きがありません。"_s;
#ifdef EDQUOT
    case EDQUOT:
      return u"ディスクの使用量の上限に達しました。"_s;
#endif
    case EACCES:
    case EPERM:
      return u"この場所を使う権限がありません。"_s;
    case EROFS:
      return u"読み取り専用の場所なので、書き込めません。"_s;
    case EIO:
      return u"ディスクの読み書きでエラーが起きました（入出力エラー）。"_s;
    case ENOENT:
      return u"ファイルまたはフォルダーがありません。"_s;
    case EEXIST:
      return u"同じ名前のものがすでにあります。"_s;
    case EISDIR:
      return u"ファイルではなくフォルダーです。"_s;
    case ENOTDIR:
      return u"途中の名前がフォルダーではありません。"_s;
    case ENAMETOOLONG:
      return u"名前が長すぎます。"_s;
    case ELOOP:
      return u"シンボリックリンクが循環しています。"_s;
    case EMFILE:
    case ENFILE:
      return u"開いているファイルが多すぎます。"_s;
    case EFBIG:
      return u"ファイルが大きすぎます。"_s;
    case EBUSY:
    case ETXTBSY:
      return u"ほかのプログラムが使用中です。"_s;
    case EXDEV:
      return u"別のディスクへは名前の変更で移せません。"_s;
    case ENOTEMPTY:
      return u"フォルダーが空ではありません。"_s;
    default:
      return u"システムのエラーです（%1：%2）。"_s.arg(code).arg(qt_error_string(code));
  }
}

bool isLeftoverSaveName(const QString& fileName) {
  static const QRegularExpression own(
      u"^\\..*\\.velnor-tmp-[A-Za-z0-9]{%1}$"_s.arg(kTempRandomChars));
  return own.match(fileName).hasMatch();
}

void removeStaleSaveFiles(const QString& folder) {
  // Only this program's own temporary names: "<file>.backup" or "<file>.old123" are the
  // user's copies.
  QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System);
  while (it.hasNext()) {
    it.next();
    if (isLeftoverSaveName(it.fileName())) QFile::remove(it.filePath());
  }
}

}  // namespace velnor
