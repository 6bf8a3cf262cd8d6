#pragma once
// "同期の衝突をまとめる": every person that differs between the folder's files and a sync
// tool's conflict copies, both sides one above the other with the differing fields
// marked, and for each person which side to keep.

#include <QDialog>

#include "core/sync_conflicts.h"

class QTableWidget;

namespace velnor {

class MergeWindow : public QDialog {
 public:
  // The choices are made in `plan` as the user changes them.
  MergeWindow(MergePlan& plan, QWidget* parent = nullptr);

 private:
  QTableWidget* makeTable(bool notes);
  void addItem(QTableWidget* table, MergeItem& item);

  MergePlan& plan_;
};

}  // namespace velnor
