#include "core/cp932.h"

#include <utility>

namespace velnor {

namespace {

bool isLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool isTrail(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

}  // namespace

qsizetype Cp932::characterLength(QByteArrayView bytes, qsizetype i) {
  const auto b = static_cast<unsigned char>(bytes[i]);
  if (b < 0x80 || (b >= 0xA1 && b <= 0xDF)) return 1;
  if (isLead(b) && i + 1 < bytes.size() && isTrail(static_cast<unsigned char>(bytes[i + 1])))
    return 2;
  return 0;
}

QString Cp932::decode(QByteArrayView bytes, bool* clean) const {
  if (clean) *clean = true;
  if (bytes.isEmpty()) return {};
  if (std::optional<QString> text = decodeWhole(bytes)) return *std::move(text);
  if (clean) *clean = false;
  // Broken bytes: read one character at a time.
  QString text;
  for (qsizetype i = 0; i < bytes.size();) {
    const qsizetype len = characterLength(bytes, i);
    const std::optional<QString> character =
        len ? decodeWhole(bytes.sliced(i, len)) : std::optional<QString>();
    // U+FFFD has no bytes in the code page: a field holding it keeps its stored bytes.
    text += character ? *character : QString(QChar::ReplacementCharacter);
    i += len ? len : 1;
  }
  return text;
}

}  // namespace velnor
