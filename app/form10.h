#pragma once
// The welcome dialog: creates a record folder "%" + name beside the program.

#include <QDialog>
#include <QString>

#include "core/char_rules.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace velnor {

class Module1;

class Form10 : public QDialog {
  Q_OBJECT

 public:
  explicit Form10(Module1& m, QWidget* parent = nullptr);

  void Form_Activate();
  void Text1_Change();
  void Form_KeyUp(int& keyCode);
  void Command1_Click();
  void Command2_Click();
  // True when the dialog may close; ends the program at the first start.
  bool Form_QueryUnload();

  // Every way of closing other than creating a folder (終了, F5, Escape, the close box).
  void reject() override;

  QLabel* Image1 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLineEdit* Text1 = nullptr;
  QPushButton* Command1 = nullptr;
  QPushButton* Command2 = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void createControls();
  void applyTextsAndFonts();
  void arrangeControls();
  void connectHandlers();
  void installKeyPreview();
  void refuseName(const QString& text);
  // Creates the folder and its index file; false (the user told) when that failed.
  bool createRecordFolder(const QString& folderPath);

  Module1& m_;
  // An Enter release counts only after its press reached this dialog; the press that
  // confirms an input method's conversion never does.
  bool enterPressed_ = false;
};

}  // namespace velnor
