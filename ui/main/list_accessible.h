#pragma once
// The list picture as screen readers see it: a table of the people, one cell per text
// the list shows, the cell cursor as the focused and selected cell. The picture is only
// an image; these interfaces read the same folder the image is drawn from.

#include <QPoint>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>

class QObject;
class QAccessibleEvent;
class QAccessibleInterface;

namespace velnor {

// What the window that draws the table tells screen readers about it.
struct TableReading {
  std::function<int()> rows;                         // people, the header row not counted
  std::function<QStringList()> headers;              // one caption per column
  std::function<QString(int row, int column)> text;  // a cell's whole text
  std::function<QPoint()> cursor;                    // (column, row) of the cursor; -1: none
  std::function<QRectF(int row, int column)> cell;   // in list units of the unscrolled table
};

// The interface of a ListPicture for QAccessible; null for any other object.
QAccessibleInterface* listAccessibleFactory(const QString& className, QObject* object);

// Tells screen readers that the cursor moved to another cell (or the table changed).
void announceCursor(QObject* listPicture);

// Sends those events to `sink` instead of the platform's screen reader bridge, which only
// listens where a screen reader runs; null: to the bridge again.
void sendAccessibleEventsForTests(void (*sink)(QAccessibleEvent*));

}  // namespace velnor
