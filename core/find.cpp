#include "core/find.h"

namespace velnor {

namespace {

// Katakana with a hiragana twin: ァ (U+30A1) … ヶ (U+30F6) and the iteration marks ヽ ヾ.
char16_t toHiragana(char16_t u) {
  if ((u >= 0x30A1 && u <= 0x30F6) || u == 0x30FD || u == 0x30FE) return char16_t(u - 0x60);
  return u;
}

}  // namespace

QString foldForFind(const QString& text) {
  // NFKC first: half-width katakana (with their separate voicing marks) become full-width
  // ones, full-width letters and digits become ASCII.
  QString s = text.normalized(QString::NormalizationForm_KC);
  for (QChar& c : s) c = QChar(toHiragana(c.unicode()));
  return s.toCaseFolded();
}

bool recordMatches(const Record& record, const QString& foldedText) {
  return foldForFind(record.name).contains(foldedText) ||
         foldForFind(record.territory).contains(foldedText);
}

namespace {

template <typename RecordAt>
int findIn(int n, RecordAt recordAt, const QString& text, int from) {
  const QString folded = foldForFind(text);
  if (folded.isEmpty() || n == 0) return -1;
  const int start = from >= 0 && from < n ? from : 0;
  for (int k = 0; k < n; ++k) {
    const int i = (start + k) % n;
    if (recordMatches(recordAt(i), folded)) return i;
  }
  return -1;
}

}  // namespace

int findPerson(const QList<Record>& records, const QString& text, int from) {
  return findIn(int(records.size()), [&](int i) -> const Record& { return records.at(i); }, text,
                from);
}

int findPerson(const ParsedFolder& folder, const QString& text, int from) {
  const int n = std::min(folder.recordCount(), kMaxRecords);
  return findIn(n, [&](int i) -> const Record& { return folder.record(i); }, text, from);
}

}  // namespace velnor
