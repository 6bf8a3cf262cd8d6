#pragma once
// Form1: the main window, "再訪問記録一覧". It draws the people of the record folder as a
// month table, keeps the cell cursor, and carries the commands, the keys and the folder
// chooser. While the input screen is open it hands its actions to that screen.

#include <QComboBox>
#include <QFrame>
#include <QPushButton>
#include <QSet>
#include <QWidget>
#include <array>
#include <memory>

#include "core/module1.h"
#include "core/ports.h"
#include "ui/common/key_commands.h"
#include "ui/main/list_picture.h"

namespace velnor {

class DrawingSurface;
class ComboChooser;
class FindBox;
class FolderWatch;
class ProportionalLayout;

class Form1 : public QWidget, public MainWindowPort {
  Q_OBJECT

 public:
  explicit Form1(Module1& m, QWidget* parent = nullptr);
  ~Form1() override;

  // ---- Controls, named as the program names them
  QPushButton* Command1 = nullptr;  // 追加
  QPushButton* Command2 = nullptr;  // 削除
  QPushButton* Command3 = nullptr;  // 印刷
  QPushButton* Command4 = nullptr;  // 設定
  QPushButton* Command5 = nullptr;  // 終
  QPushButton* Command6 = nullptr;  // ▲
  QPushButton* Command7 = nullptr;  // ▼
  QPushButton* Command8 = nullptr;  // 入力
  QPushButton* Command9 = nullptr;  // refresh, never visible
  QComboBox* Combo1 = nullptr;      // record folder chooser
  ListPicture* Picture1 = nullptr;  // the list
  QFrame* Shape1 = nullptr;         // the cell cursor over the list

  // ---- Handlers
  void Form_Load();
  void Form_Unload(int& cancel);
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void Command5_Click();
  void Command6_Click();
  void Command7_Click();
  void Command8_Click();
  void Command9_Click();
  void Picture1_MouseUp(double x, double y);
  void Picture1_DblClick();
  void Combo1_Click();
  // Prepares the list picture's logical scale.
  void pp_reduc();
  void draw_rutin(DrawingSurface& target);
  // The size of the list's type, which follows the window's height.
  double listFontPoints() const;

  // Client size in twips (the layout's SW and SH).
  double clientWidthTwips() const;
  double clientHeightTwips() const;

  // ---- MainWindowPort
  QRect geometryTwips() const override;
  bool isMinimized() const override;
  void restoreNormal() override;
  void setWidthTwips(int twips) override;
  void setHeightTwips(int twips) override;
  void pressAdd() override { Command1->click(); }
  void pressDelete() override { Command2->click(); }
  void pressPrint() override { Command3->click(); }
  void pressSettings() override { Command4->click(); }
  void pressUp() override { Command6->click(); }
  void pressDown() override { Command7->click(); }
  void pressInput() override { Command8->click(); }
  void pressRefresh() override { Command9->click(); }
  void clearList() override;
  void drawList() override;
  void markerChanged() override;
  void applyColors() override;
  ChooserPort& folderChooser() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void createButtons();
  void createChooser();
  void createList();
  void readListAloud();
  int shownMonthCount() const;
  QString cellTextAt(int row, int column) const;
  void watchKeys();
  void createCommands();
  void createLayout();
  void fitButtonFonts();
  void redrawForNewSize();
  void openFirstList();
  void placeNameMarker();
  void followSelection();
  void redrawScrolled();
  void applyColorsAtLoad();
  void setButtonColor(qint32 color);
  void closeInputScreen();
  bool inputScreenLoaded() const { return m.inputScreen != nullptr; }
  void moveSelectionTo(qint16 target);
  void moveRowTo(int target);
  void moveColumn(int step);
  void openFindBox();
  void undoChange(bool redo);
  bool chooserOpen() const;
  // Another program changed the folder in use: the list and the input screen follow.
  void takeOutsideChange();
  // Sync tools' conflict copies in the folder in use: told, merged, moved away.
  void takeConflictCopies();

  Module1& m;
  std::unique_ptr<ComboChooser> chooser_;
  FindBox* findBox_ = nullptr;  // made at the first Ctrl+F
  FolderWatch* watch_ = nullptr;
  KeyCommands commands_{this};
  QSet<QString> conflictsPutOff_;  // copies the user chose to merge later (next start)
  std::array<QPushButton*, 9> buttons_{};
  qint32 listBackground_ = 0xFFFFFF;
  ProportionalLayout* layout_ = nullptr;
  bool wasMinimized_ = false;
};

}  // namespace velnor
