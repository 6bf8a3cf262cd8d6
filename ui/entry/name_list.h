#pragma once
// List2, the input screen's name list: one row per record of the folder. A list view
// over a string model, since a folder may hold tens of thousands of people.

#include <QListView>
#include <QStringList>

class QStringListModel;

namespace velnor {

class NameList : public QListView {
  Q_OBJECT

 public:
  explicit NameList(QWidget* parent = nullptr);

  int count() const;
  QString text(int row) const;
  void setText(int row, const QString& text);
  // Replaces every row; nothing happens (selection and scrolling stay) when the names
  // are the ones shown already.
  void setNames(const QStringList& names);
  void appendNames(const QStringList& names);
  void clear();
  int currentRow() const;
  // Selects and shows `row`; -1 (or a row that does not exist) selects nothing.
  void setCurrentRow(int row);
  QRect rowRect(int row) const;

 private:
  QStringListModel* model_;
};

}  // namespace velnor
