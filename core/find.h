#pragma once
// Finding a person by part of a name or a territory. Hiragana and katakana, full and
// half width and letter case do not matter; kanji match only the same kanji, since the
// files hold no readings.

#include <QList>
#include <QString>

#include "core/module1.h"

namespace velnor {

// The form both sides are compared in: NFKC, katakana as hiragana, case folded.
QString foldForFind(const QString& text);

// Whether `territory` or `name` holds `foldedText` (folded already).
bool personMatches(const QString& territory, const QString& name, const QString& foldedText);

// The first record at `from` or after it that matches `text`, going round to the start;
// -1 when none does or `text` is empty.
int findPerson(const QList<Record>& records, const QString& text, int from);
int findPerson(const ParsedFolder& folder, const QString& text, int from);

}  // namespace velnor
