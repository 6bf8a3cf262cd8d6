#pragma once
// Reading and replacing whole CP932 text files with CR LF line ends.

#include <QByteArray>
#include <QFileDevice>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace velnor {

struct FileError {
  QString path;    // native separators
  QString reason;  // the system's reason, or which character cannot be stored
  bool writing = false;
};

// One line as read: the raw bytes (without the line end) and their decoded text.
// A line the program does not change is written back from `raw`, byte for byte.
struct TextLine {
  QByteArray raw;
  QString text;
  bool keepRaw = true;  // false once `text` has been replaced

  static TextLine fromText(const QString& text) { return TextLine{{}, text, false}; }
};

// Maps the characters Linux input methods type but code page 932 cannot hold
// (〜 − ‖ — ¢ £ ¬) to the look-alikes a Windows user would have stored.
QString toWindowsLookalikes(QString text);

// Encodes text as CP932 after toWindowsLookalikes. On failure returns false and,
// when `bad` is given, sets it to the first character that cannot be encoded.
bool encodeCp932(const QString& text, QByteArray& out, QString* bad = nullptr);
QString decodeCp932(const QByteArray& bytes, bool* clean = nullptr);

// True when `text` can be stored (after the look-alike mapping); else sets `bad`.
bool canEncodeCp932(const QString& text, QString* bad = nullptr);

// Splits a whole file's bytes into lines at CR LF (a lone LF also ends a line; a last
// line without an end is kept), decoding each line.
QList<TextLine> splitTextLines(const QByteArray& bytes);

// Sizes no real record folder reaches: a larger file is refused, never read whole.
inline constexpr qint64 kIndexFileLimit = qint64(64) << 20;
inline constexpr qint64 kNoteFileLimit = qint64(1) << 20;

// A whole file as read: its bytes, or why it could not be read. Three states matter to a
// change that must remember what it replaced: absent, bytes, or unreadable (then the change
// must not go ahead, or undo would put back a wrong "before").
struct FileRead {
  QByteArray bytes;
  std::optional<FileError> error;  // set when the file could not be read
  bool missing = false;            // nothing has the name (error is set too)

  bool ok() const { return !error; }
  bool unreadable() const { return error && !missing; }
  // The bytes, or nothing for an absent file; only for reads that were not unreadable.
  std::optional<QByteArray> stored() const { return ok() ? std::optional(bytes) : std::nullopt; }
  // True when the read failed; then `out`, when given, receives the error.
  bool failed(FileError* out) const {
    if (error && out) *out = *error;
    return bool(error);
  }
};

// The one reader of whole files: a regular file of at most `limit` bytes. A FIFO, device,
// socket or folder at `path` is refused without waiting on it, and so is a larger file.
[[nodiscard]] FileRead readFile(const QString& path, qint64 limit);

// Encodes every line whose text was replaced, so that all lines carry their bytes.
// False and `error` (naming the character and `path`) when one cannot be stored.
[[nodiscard]] bool encodeTextLines(QList<TextLine>& lines, const QString& path, FileError* error);

// Replaces the whole file atomically: every line followed by CR LF; the old file stays
// whole until the new one is complete. A symbolic link at `path` is replaced by the new
// file, never written through. False and `error` on any failure.
[[nodiscard]] bool writeTextLines(const QString& path, const QList<TextLine>& lines,
                                  FileError* error);

// Replaces the whole file atomically with exactly `bytes`, like writeTextLines.
[[nodiscard]] bool writeFileBytes(const QString& path, const QByteArray& bytes, FileError* error);

// Creates `path` holding `bytes` only if nothing has that name, through the same writer
// as a save: a crash leaves the whole file or none. Not synced, for files that hold only
// defaults and are made again when lost.
enum class Created { Yes, Existed, Failed };
[[nodiscard]] Created createFileBytes(const QString& path, const QByteArray& bytes,
                                      FileError* error);

// The file holding `lines` (their raw bytes, every line followed by CR LF).
QByteArray joinTextLines(const QList<TextLine>& lines);

// Convenience for files written from text only.
[[nodiscard]] bool writeTextFile(const QString& path, const QStringList& lines, FileError* error);

// The steps of one atomic save. The real writer puts the new file under a temporary
// name of this program's own beside the target; tests substitute one that fails on cue.
// Not QSaveFile: it writes through a symbolic link at the target (a link planted in a
// shared folder would send the records elsewhere), cannot create only-if-absent, does not
// sync the folder after the rename, and offers no seam for a test to fail each step.
class SaveWriter {
 public:
  virtual ~SaveWriter() = default;
  // Creates the new, empty file; nothing at `path` changes yet.
  virtual bool open(const QString& path) = 0;
  virtual bool write(const QByteArray& bytes) = 0;
  // Everything written so far reaches the disk.
  virtual bool flush() = 0;
  // The new file takes the target's name in one step.
  virtual bool commit() = 0;
  // Like commit, but only while nothing has the target's name; `existed` tells when
  // something had (then the new file is removed, and the answer is false).
  virtual bool commitIfAbsent(bool& existed) = 0;
  // Removes the new file; the target is untouched.
  virtual void cancel() = 0;
  // The system's reason for the last failure; empty when it gave none.
  virtual QString errorString() const = 0;
};

std::unique_ptr<SaveWriter> makeFileWriter();

// Tests install a factory for the writers of later saves; an empty one restores the real
// writer.
using SaveWriterFactory = std::function<std::unique_ptr<SaveWriter>()>;
void setSaveWriterFactory(SaveWriterFactory factory);

// The reason shown for a failed write: the system's, or a hint at a full disk when the
// system gave none (an empty reason).
QString writeFailureReason(const QString& systemReason);

// The system's reason for the error number `code`, in Japanese.
QString systemReason(int code);
// The reason for a failed call on `file`: from the error number it left (`code`; 0 for
// none), else from Qt's kind of error; never Qt's English text.
QString fileFailureReason(const QFileDevice& file, int code);

// Renames `from` to `to` in one step (a file, or a folder to a name that is free). False
// and the system's reason.
bool renamePath(const QString& from, const QString& to, QString* reason);

// Removes a file, or a folder with everything in it. A symbolic link is removed itself,
// wherever it stands: nothing is ever deleted through one. True when nothing is left.
bool removeTree(const QString& path);

// True for the names of the temporary files the writer makes.
bool isLeftoverSaveName(const QString& fileName);

// Makes a rename or a new entry in `folder` reach the disk.
void syncFolderEntries(const QString& folder);
// Makes everything written so far to the file system holding `path` reach the disk. False
// and the system's reason.
bool syncFilesystemOf(const QString& path, QString* reason);

// A file of a folder made whole: its name in the folder and its bytes.
struct FolderFile {
  QString name;
  QByteArray bytes;
};

// Makes the new folder `path` holding `files`, built under the name `tempName` beside it
// and renamed only when every file is on the disk: a full disk leaves no half folder.
// `step` is called after each file. False and `error` when it cannot be made; an existing
// `path` is never touched.
[[nodiscard]] bool makeFolderWhole(const QString& path, const QString& tempName,
                                   const std::vector<FolderFile>& files,
                                   const std::function<void()>& step, FileError* error);

// Removes temporary files an interrupted save may have left in `folder`.
void removeStaleSaveFiles(const QString& folder);

}  // namespace velnor
