#include "core/stored_bytes.h"

#include <vector>

#include "core/text_file.h"

namespace velnor {

namespace {

bool isLeadByte(quint8 b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool isTrailByte(quint8 b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// Byte offset where each character of `raw` starts (plus the end), when every
// character decodes on its own to exactly the characters of `text`; else empty.
std::vector<qsizetype> characterStarts(const QByteArray& raw, const QString& text) {
  std::vector<qsizetype> starts;
  qsizetype pos = 0;
  while (pos < raw.size()) {
    starts.push_back(pos);
    const bool pair =
        isLeadByte(quint8(raw[pos])) && pos + 1 < raw.size() && isTrailByte(quint8(raw[pos + 1]));
    pos += pair ? 2 : 1;
  }
  starts.push_back(raw.size());
  if (qsizetype(starts.size()) - 1 != text.size()) return {};
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QString one = decodeCp932(raw.mid(starts[i], starts[i + 1] - starts[i]));
    if (one.size() != 1 || one.at(0) != text.at(i)) return {};
  }
  return starts;
}

}  // namespace

std::optional<QByteArray> storedBytes(const QString& text, const QString& oldText,
                                      const QByteArray& oldRaw, QString* bad) {
  if (text == oldText) return oldRaw;
  QByteArray bytes;
  QString firstBad;
  if (encodeCp932(text, bytes, &firstBad)) return bytes;

  const std::vector<qsizetype> starts = characterStarts(oldRaw, oldText);
  if (!starts.empty()) {
    qsizetype prefix = 0;
    const qsizetype most = std::min(text.size(), oldText.size());
    while (prefix < most && text.at(prefix) == oldText.at(prefix)) ++prefix;
    qsizetype suffix = 0;
    while (suffix < most - prefix &&
           text.at(text.size() - 1 - suffix) == oldText.at(oldText.size() - 1 - suffix))
      ++suffix;
    QByteArray middle;
    if (encodeCp932(text.mid(prefix, text.size() - prefix - suffix), middle, &firstBad)) {
      const qsizetype tailStart = starts[oldText.size() - suffix];
      return oldRaw.left(starts[prefix]) + middle + oldRaw.mid(tailStart);
    }
  }
  if (bad) *bad = firstBad;
  return std::nullopt;
}

QList<QByteArray> rawFields(const QByteArray& rawLine) { return rawLine.split('*'); }

}  // namespace velnor
