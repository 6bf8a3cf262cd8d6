#pragma once
// Closing a year: the record folder is copied whole into an archive folder named after
// the year, and the folder in use keeps its people with their months emptied.

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include "core/text_file.h"

namespace velnor::new_year {

inline constexpr int kFirstYear = 1900;
inline constexpr int kLastYear = 2999;
inline constexpr int kLastMonthOfOldYear = 3;  // the old year is still being closed in March

// The year a close offers: the one just ended from January to March, else this one.
int defaultYear(const QDate& today);

// "%田中" and 2026: "%田中（2026年）".
QString archiveFolderName(const QString& folder, int year);

// The index file for the new year: every record keeps the bytes of its territory and
// name and gets twelve empty months; every other line stays as it is. With `dropUnmet`,
// records whose months were all empty are left out and their names added to `dropped`.
QList<TextLine> newYearIndex(const QList<TextLine>& lines, bool dropUnmet, QStringList* dropped);

// A note file for the new year: its first line and every line after the thirteenth kept,
// the twelve month lines back to their defaults.
QList<TextLine> newYearNote(const QList<TextLine>& lines);

}  // namespace velnor::new_year
