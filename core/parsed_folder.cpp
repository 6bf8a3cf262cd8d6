#include "core/parsed_folder.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace {

using FileClock = std::filesystem::file_time_type::clock;

qint64 nowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(FileClock::now().time_since_epoch())
      .count();
}

// File systems keep modification times only so finely; a file written again within this
// window after being read can keep its time and size, so only its bytes tell.
constexpr qint64 kTimeGranularityNs = 1'000'000'000;

[[maybe_unused]] std::filesystem::path fsPath(const QString& path) {
  return std::filesystem::path(QFile::encodeName(path).toStdString());
}

IndexReader indexReader = readFile;

}  // namespace

void setIndexReaderForTests(IndexReader reader) { indexReader = reader ? reader : readFile; }

FileStamp stampOf(const QString& path) {
#ifdef Q_OS_UNIX
  // The status change time and the file's identity too: another program can give a
  // rewritten file its old size and modification time, but not these.
  struct stat st {};
  if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
  FileStamp s;
  s.exists = true;
  s.size = qint64(st.st_size);
  s.modifiedNs = qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
  s.changedNs = qint64(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec;
  s.identity = (quint64(st.st_dev) << 40) ^ quint64(st.st_ino);
  return s;
#else
  std::error_code ec;
  const std::filesystem::path p = fsPath(path);
  const auto status = std::filesystem::status(p, ec);
  if (ec || !std::filesystem::is_regular_file(status)) return {};
  FileStamp s;
  s.exists = true;
  s.size = qint64(std::filesystem::file_size(p, ec));
  if (ec) return {};
  const auto t = std::filesystem::last_write_time(p, ec);
  if (ec) return {};
  s.modifiedNs = std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
  s.changedNs = s.modifiedNs;
  return s;
#endif
}

bool isRecordLine(const QString& line) {
  return !line.isEmpty() && !line.startsWith(u'[') && line.count(u'*') == 14;
}

Record parseRecord(const QString& line) {
  Record r;
  qsizetype start = 0;
  for (int field = 0; field < 14; ++field) {
    const qsizetype star = line.indexOf(u'*', start);
    const QString text = line.mid(start, star < 0 ? -1 : star - start);
    if (field == 0)
      r.territory = text;
    else if (field == 1)
      r.name = text;
    else
      r.months[field - 1] = text;
    if (star < 0) break;
    start = star + 1;
  }
  return r;
}

QString buildRecordLine(const Record& r) {
  QString line = r.territory + u'*' + r.name + u'*';
  for (int k = 1; k <= 12; ++k) line += r.months[k] + u'*';
  return line;
}

bool ParsedFolder::isCurrentFor(const QString& path) const {
  if (!loaded_ || path != path_) return false;
  const FileStamp now = stampOf(path);
  if (!(now == stamp_)) return false;
  if (std::max(now.modifiedNs, now.changedNs) + kTimeGranularityNs < readAtNs_) return true;
  // Written too recently for its time to tell: compare the bytes.
  const FileRead read = indexReader(path, kIndexFileLimit);
  return read.ok() && read.bytes == bytes_;
}

bool ParsedFolder::refresh(const QString& path, FileError* error) {
  if (isCurrentFor(path)) {
    // A verified copy need not be verified again once its time is old enough.
    if (std::max(stamp_.modifiedNs, stamp_.changedNs) + kTimeGranularityNs >= readAtNs_)
      readAtNs_ = nowNs();
    return true;
  }
  clear();
  const qint64 before = nowNs();
  const FileStamp stamp = stampOf(path);
  FileRead read = indexReader(path, kIndexFileLimit);
  if (read.failed(error)) return false;
  QByteArray bytes = std::move(read.bytes);
  // A file that changed while it was read is read again at the next use.
  const FileStamp after = stampOf(path);
  path_ = path;
  stamp_ = after == stamp && qint64(bytes.size()) == stamp.size ? stamp : FileStamp{};
  readAtNs_ = before;
  lines_ = splitTextLines(bytes);
  bytes_ = std::move(bytes);
  index();
  loaded_ = true;
  ++diskReads_;
  return true;
}

void ParsedFolder::adopt(const QString& path, QList<TextLine> lines) {
  // A store changes one line of thousands: the names read before stay where the lines at
  // the start and at the end are the same as before.
  std::vector<Brief> old = std::move(briefs_);
  std::vector<int> oldRecordOfLine;
  qsizetype prefix = 0, suffix = 0;
  if (loaded_ && path == path_ && !old.empty()) {
    const qsizetype most = std::min(lines.size(), lines_.size());
    while (prefix < most && lines[prefix].raw == lines_[prefix].raw) ++prefix;
    while (suffix < most - prefix &&
           lines[lines.size() - 1 - suffix].raw == lines_[lines_.size() - 1 - suffix].raw)
      ++suffix;
    oldRecordOfLine.assign(lines_.size(), -1);
    for (int r = 0; r < int(recordLines_.size()); ++r) oldRecordOfLine[recordLines_[r]] = r;
  }
  const qsizetype shift = lines.size() - lines_.size();

  path_ = path;
  bytes_ = joinTextLines(lines);
  stamp_ = stampOf(path);
  readAtNs_ = nowNs();
  lines_ = std::move(lines);
  index();
  loaded_ = stamp_.exists && stamp_.size == bytes_.size();
  if (oldRecordOfLine.empty()) return;
  briefs_.resize(recordLines_.size());
  for (int r = 0; r < int(recordLines_.size()); ++r) {
    const qsizetype line = recordLines_[r];
    const qsizetype before = line < prefix                    ? line
                             : line >= lines_.size() - suffix ? line - shift
                                                              : -1;
    const int oldRecord = before < 0 ? -1 : oldRecordOfLine[before];
    if (oldRecord >= 0) {
      briefs_[r] = std::move(old[oldRecord]);
    } else {
      const Record whole = parseRecord(lines_[line].text);
      briefs_[r] = Brief{whole.territory, whole.name};
    }
  }
}

void ParsedFolder::clear() {
  path_.clear();
  stamp_ = {};
  bytes_.clear();
  lines_.clear();
  recordLines_.clear();
  briefs_.clear();
  nameCounts_.clear();
  namesCounted_ = false;
  loaded_ = false;
  ++generation_;
}

void ParsedFolder::index() {
  recordLines_.clear();
  for (int i = 0; i < lines_.size(); ++i)
    if (isRecordLine(lines_[i].text)) recordLines_.push_back(i);
  briefs_.clear();
  nameCounts_.clear();
  namesCounted_ = false;
  ++generation_;
}

const ParsedFolder::Brief& ParsedFolder::brief(int r) const {
  if (briefs_.empty()) {
    briefs_.reserve(recordLines_.size());
    for (const int line : recordLines_) {
      const QString& text = lines_[line].text;
      const qsizetype first = text.indexOf(u'*');
      const qsizetype second = text.indexOf(u'*', first + 1);
      briefs_.push_back(Brief{text.left(first), text.mid(first + 1, second - first - 1)});
    }
  }
  return briefs_[r];
}

int ParsedFolder::countName(const QString& name) const {
  if (!namesCounted_) {
    for (int r = 0; r < recordCount(); ++r) ++nameCounts_[nameOf(r)];
    namesCounted_ = true;
  }
  return nameCounts_.value(name);
}

}  // namespace velnor
