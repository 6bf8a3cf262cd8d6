#pragma once
// Re-ordering the people of a record folder: the sort keys, the order they give and
// the rewrite of the index file.

#include <QString>
#include <functional>
#include <vector>

#include "core/text_file.h"

namespace velnor {
class Module1;
}

namespace velnor::reorder {

// The re-orderings offered, with the values SortKind stores.
enum Kind : int {
  kByTerritory = 3,
  kByName = 4,
  kByThisMonth = 5,
};

// Key of one UTF-16 code unit: the unit itself up to 0x7FFF, 65536 minus it above
// (the unit read as a signed 16-bit number, without its sign).
int charKey(char16_t unit);

// Field `field` (1-based) of a record line: the text before its star. Empty when the
// line has fewer fields.
QString fieldOf(const QString& line, int field);

// Name key as one number: K1 (first character) and K2 (second character) packed so
// that numbers compare as the pairs do. An empty name counts as " "; a missing second
// character counts as 0.
double nameKey(const QString& line);

// Numeric value of a cell: blanks are removed first, then a leading number is read
// (sign, digits, one decimal point, an exponent with E or D; or &H hex, &O octal).
// Full-width digits, signs and points count as their half-width forms. 0 when no digit
// is read.
double numericValue(const QString& text);

// Key of a record line for the given kind (`currentMonth` 1..12 for kByThisMonth).
double lineKey(const QString& line, int kind, int currentMonth);

// The order the selection-and-exchange pass produces: position by position, the
// smallest key still unplaced is taken (among equal keys the one nearest the end) and
// exchanged with the line at that position. Returns, for each new position, the old
// position of the line placed there. O(n log n).
std::vector<int> selectionExchangeOrder(const std::vector<double>& keys);

// The index file's lines in their new order: the two standard comment lines, the
// record lines in the new order (each with its exact bytes), then every other
// non-empty line in its old order.
QList<TextLine> reorderedLines(const QList<TextLine>& lines, int kind, int currentMonth);

// Re-orders the people of the record folder CurrentFolder by `kind` (this month is
// CurrentMonth, or today's month when none was taken) and rewrites its index file as
// reorderedLines gives it: one undoable change, after the day's backup, the old file
// whole until the new one is complete. False when the file could not be read or
// written (the user has been told); it is then as it was. `progress` hears of its steps.
[[nodiscard]] bool reorderFolder(Module1& m, int kind,
                                 const std::function<void(int, int)>& progress = {});

}  // namespace velnor::reorder
