#pragma once
// "読み込み": what an import of a spreadsheet will store, every problem by row and column,
// and the name of the new record folder.

#include <QDialog>

#include "core/spreadsheet.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace velnor {

class Module1;

class ImportWindow : public QDialog {
  Q_OBJECT

 public:
  // Rows shown of what will be stored; the problems are all listed.
  static constexpr int kPreviewRows = 200;

  ImportWindow(Module1& m, sheet::ImportPlan plan, const QString& fileName,
               QWidget* parent = nullptr);

  QLabel* summary = nullptr;
  QTableWidget* preview = nullptr;
  QListWidget* problems = nullptr;
  QLineEdit* nameBox = nullptr;
  QPushButton* okButton = nullptr;

  // OK: makes the folder; the window stays open when the name is refused.
  void accept() override;

 private:
  void makePreview();
  void makeProblemList();

  Module1& m_;
  sheet::ImportPlan plan_;
};

// The folder name a file of that base name proposes: what the welcome dialog refuses left out.
QString proposedFolderName(const QString& baseName);

// Ctrl+I: asks for a .xlsx or .csv file, shows what it holds and, on OK, opens the new
// record folder. False when cancelled or refused.
bool importRecordsAsked(Module1& m, QWidget* parent);

}  // namespace velnor
