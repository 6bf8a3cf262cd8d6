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

int findPerson(const QList<Record>& records, const QString& text, int from) {
  const QString folded = foldForFind(text);
  const int n = int(records.size());
  if (folded.isEmpty() || n == 0) return -1;
  const int start = from >= 0 && from < n ? from : 0;
  for (int k = 0; k < n; ++k) {
    const int i = (start + k) % n;
    if (recordMatches(records.at(i), folded)) return i;
  }
  return -1;
}

}  // namespace velnor
