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

bool personMatches(const QString& territory, const QString& name, const QString& foldedText) {
  return foldForFind(name).contains(foldedText) || foldForFind(territory).contains(foldedText);
}

namespace {

template <typename Matches>
int findIn(int n, Matches matches, const QString& text, int from) {
  const QString folded = foldForFind(text);
  if (folded.isEmpty() || n == 0) return -1;
  const int start = from >= 0 && from < n ? from : 0;
  for (int k = 0; k < n; ++k) {
    const int i = (start + k) % n;
    if (matches(i, folded)) return i;
  }
  return -1;
}

}  // namespace

int findPerson(const QList<Record>& records, const QString& text, int from) {
  return findIn(
      int(records.size()),
      [&](int i, const QString& f) {
        return personMatches(records.at(i).territory, records.at(i).name, f);
      },
      text, from);
}

int findPerson(const ParsedFolder& folder, const QString& text, int from) {
  const int n = std::min(folder.recordCount(), kMaxRecords);
  return findIn(
      n,
      [&](int i, const QString& f) {
        return personMatches(folder.territoryOf(i), folder.nameOf(i), f);
      },
      text, from);
}

}  // namespace velnor
