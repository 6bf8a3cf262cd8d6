#include "ui/main/list_accessible.h"

#include <QAccessibleWidget>
#include <QHash>

#include "ui/main/list_picture.h"

namespace velnor {
namespace {

class TableAccessible;

class CellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
 public:
  CellAccessible(TableAccessible* table, int row, int column)
      : table_(table), row_(row), column_(column) {}

  bool isValid() const override;
  QObject* object() const override { return nullptr; }
  QWindow* window() const override;
  QAccessibleInterface* parent() const override;
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* focusChild() const override { return nullptr; }
  QString text(QAccessible::Text t) const override;
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override;
  QAccessible::Role role() const override { return QAccessible::Cell; }
  QAccessible::State state() const override;
  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::TableCellInterface
               ? static_cast<QAccessibleTableCellInterface*>(this)
               : nullptr;
  }

  bool isSelected() const override;
  QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
  QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
  int columnIndex() const override { return column_; }
  int rowIndex() const override { return row_; }
  int columnExtent() const override { return 1; }
  int rowExtent() const override { return 1; }
  QAccessibleInterface* table() const override;

 private:
  TableAccessible* table_;
  int row_, column_;
};

class TableAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
 public:
  explicit TableAccessible(ListPicture* picture)
      : QAccessibleWidget(picture, QAccessible::Table, QStringLiteral("一覧表")) {}
  ~TableAccessible() override {
    for (const QAccessible::Id id : std::as_const(cells_))
      QAccessible::deleteAccessibleInterface(id);
  }

  ListPicture* picture() const { return static_cast<ListPicture*>(widget()); }
  const TableReading& reading() const { return picture()->reading; }
  bool reads() const { return bool(reading().rows); }

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return QStringLiteral("一覧表");
    if (t == QAccessible::Description) return QStringLiteral("訪問した人ごとの各月の記録");
    return QAccessibleWidget::text(t);
  }
  int childCount() const override { return rowCount() * columnCount(); }
  QAccessibleInterface* child(int index) const override {
    const int columns = columnCount();
    if (index < 0 || columns == 0 || index >= childCount()) return nullptr;
    return cellAt(index / columns, index % columns);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    auto* cell = child ? const_cast<QAccessibleInterface*>(child)->tableCellInterface() : nullptr;
    if (!cell || cell->table() != this) return -1;
    return cell->rowIndex() * columnCount() + cell->columnIndex();
  }
  QAccessibleInterface* focusChild() const override {
    const QPoint c = cursor();
    return c.x() < 0 ? nullptr : cellAt(c.y(), c.x());
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  QPoint cursor() const {
    const QPoint c = reads() ? reading().cursor() : QPoint(-1, -1);
    const bool inside = c.x() >= 0 && c.x() < columnCount() && c.y() >= 0 && c.y() < rowCount();
    return inside ? c : QPoint(-1, -1);
  }

  // QAccessibleTableInterface
  QAccessibleInterface* caption() const override { return nullptr; }
  QAccessibleInterface* summary() const override { return nullptr; }
  QAccessibleInterface* cellAt(int row, int column) const override {
    if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount()) return nullptr;
    const qint64 key = (qint64(row) << 8) | column;
    QAccessible::Id& id = cells_[key];
    if (id == 0)
      id = QAccessible::registerAccessibleInterface(
          new CellAccessible(const_cast<TableAccessible*>(this), row, column));
    return QAccessible::accessibleInterface(id);
  }
  int selectedCellCount() const override { return cursor().x() < 0 ? 0 : 1; }
  QList<QAccessibleInterface*> selectedCells() const override {
    QAccessibleInterface* focused = focusChild();
    return focused ? QList<QAccessibleInterface*>{focused} : QList<QAccessibleInterface*>{};
  }
  QString columnDescription(int column) const override {
    return reads() ? reading().headers().value(column) : QString();
  }
  QString rowDescription(int row) const override {
    return reads() ? reading().text(row, 1) : QString();  // the person's name
  }
  int selectedColumnCount() const override { return 0; }
  int selectedRowCount() const override { return 0; }
  int columnCount() const override { return reads() ? int(reading().headers().size()) : 0; }
  int rowCount() const override { return reads() ? reading().rows() : 0; }
  QList<int> selectedColumns() const override { return {}; }
  QList<int> selectedRows() const override { return {}; }
  bool isColumnSelected(int) const override { return false; }
  bool isRowSelected(int) const override { return false; }
  bool selectRow(int) override { return false; }
  bool selectColumn(int) override { return false; }
  bool unselectRow(int) override { return false; }
  bool unselectColumn(int) override { return false; }
  void modelChange(QAccessibleTableModelChangeEvent*) override {
    // Rows and columns are read afresh; cells made for the old shape may no longer exist.
    for (const QAccessible::Id id : std::as_const(cells_))
      QAccessible::deleteAccessibleInterface(id);
    cells_.clear();
  }

 private:
  mutable QHash<qint64, QAccessible::Id> cells_;
};

bool CellAccessible::isValid() const {
  return table_->isValid() && row_ < table_->rowCount() && column_ < table_->columnCount();
}
QWindow* CellAccessible::window() const { return table_->window(); }
QAccessibleInterface* CellAccessible::parent() const { return table_; }
QAccessibleInterface* CellAccessible::table() const { return table_; }

QString CellAccessible::text(QAccessible::Text t) const {
  if (!isValid()) return {};
  if (t == QAccessible::Name || t == QAccessible::Value) {
    const QString text = table_->reading().text(row_, column_);
    return text.isEmpty() && t == QAccessible::Name ? QStringLiteral("空欄") : text;
  }
  if (t == QAccessible::Description)
    return table_->columnDescription(column_) + QLatin1Char(' ') + table_->rowDescription(row_);
  return {};
}

QRect CellAccessible::rect() const {
  if (!isValid()) return {};
  const QRect local = table_->picture()->pixelRect(table_->reading().cell(row_, column_));
  return QRect(table_->picture()->canvas()->mapToGlobal(local.topLeft()), local.size());
}

bool CellAccessible::isSelected() const { return table_->cursor() == QPoint(column_, row_); }

QAccessible::State CellAccessible::state() const {
  QAccessible::State s;
  s.selectable = true;
  s.focusable = true;
  s.readOnly = true;
  const bool cursor = isSelected();
  s.selected = cursor;
  s.focused = cursor && table_->picture()->window()->isActiveWindow();
  s.invisible = !isValid() || rect().isEmpty();
  return s;
}

}  // namespace

QAccessibleInterface* listAccessibleFactory(const QString& className, QObject* object) {
  auto* picture = qobject_cast<ListPicture*>(object);
  if (!picture || className != QLatin1String(ListPicture::staticMetaObject.className()))
    return nullptr;
  return new TableAccessible(picture);
}

namespace {
void (*accessibleSink)(QAccessibleEvent*) = nullptr;  // tests' stand-in for a screen reader
}  // namespace

void sendAccessibleEventsForTests(void (*sink)(QAccessibleEvent*)) { accessibleSink = sink; }

void announceCursor(QObject* listPicture) {
  // Without a screen reader listening, no cell interface is made for nothing.
  if (!QAccessible::isActive() && !accessibleSink) return;
  QAccessibleInterface* table = QAccessible::queryAccessibleInterface(listPicture);
  QAccessibleInterface* cell = table ? table->focusChild() : nullptr;
  if (!cell) return;
  for (const QAccessible::Event type : {QAccessible::Focus, QAccessible::Selection}) {
    QAccessibleEvent event(cell, type);
    if (accessibleSink)
      accessibleSink(&event);
    else
      QAccessible::updateAccessibility(&event);
  }
}

}  // namespace velnor
