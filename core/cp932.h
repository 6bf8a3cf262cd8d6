#pragma once
// Code page 932 as Japanese Windows has it: the one converter every record file, note and
// spreadsheet goes through. On Linux it converts through Qt (ICU); on Windows, where Qt has
// no named code pages without ICU, through the system's own tables. Both give the same
// text and bytes for every sequence the files hold.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

namespace velnor {

class Cp932 {
 public:
  virtual ~Cp932() = default;
  // The text of `bytes`. Bytes that start no character (a lone lead byte, an unassigned
  // code, 0x80, 0xA0, 0xFD–0xFF) read as U+FFFD each, which cannot be stored, so that text
  // around them is stored with their bytes kept; `clean` (when given) is then false.
  QString decode(QByteArrayView bytes, bool* clean = nullptr) const;
  // The bytes of `text`; nothing when a character has none. No character is stored as a
  // guessed look-alike (¥ is not 5C, € is refused).
  virtual std::optional<QByteArray> encode(QStringView text) const = 0;

 protected:
  // The text of non-empty `bytes`, or nothing when any of them starts no character.
  virtual std::optional<QString> decodeWhole(QByteArrayView bytes) const = 0;
  // How many bytes the character at `i` has: 1, 2, or 0 where none starts.
  static qsizetype characterLength(QByteArrayView bytes, qsizetype i);
};

// This platform's converter.
const Cp932& cp932();

}  // namespace velnor
