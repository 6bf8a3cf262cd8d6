#include "ui/entry/name_list.h"

#include <QStringListModel>

namespace velnor {

NameList::NameList(QWidget* parent) : QListView(parent), model_(new QStringListModel(this)) {
  setModel(model_);
  setUniformItemSizes(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
}

int NameList::count() const { return model_->rowCount(); }

QString NameList::text(int row) const {
  return row >= 0 && row < count() ? model_->index(row).data().toString() : QString();
}

void NameList::setText(int row, const QString& text) {
  if (row >= 0 && row < count()) model_->setData(model_->index(row), text);
}

void NameList::setNames(const QStringList& names) {
  if (model_->stringList() == names) return;
  model_->setStringList(names);
}

void NameList::appendNames(const QStringList& names) {
  if (names.isEmpty()) return;
  if (count() == 0) return model_->setStringList(names);
  const int first = count();
  model_->insertRows(first, int(names.size()));
  for (int i = 0; i < names.size(); ++i) model_->setData(model_->index(first + i), names[i]);
}

void NameList::clear() { model_->setStringList({}); }

int NameList::currentRow() const {
  const QModelIndex current = currentIndex();
  return current.isValid() ? current.row() : -1;
}

void NameList::setCurrentRow(int row) {
  if (row < 0 || row >= count()) {
    setCurrentIndex(QModelIndex());
    clearSelection();
    return;
  }
  const QModelIndex index = model_->index(row);
  setCurrentIndex(index);
  scrollTo(index);
}

QRect NameList::rowRect(int row) const { return visualRect(model_->index(row)); }

}  // namespace velnor
