#pragma once
// The settings screen: colours, row height, note font size, month span, re-ordering
// of the people and the version panel. Every change shows at once in the open windows.

#include <QDialog>
#include <QWidget>
#include <array>
#include <functional>

#include "ui/common/key_commands.h"

class QComboBox;
class QKeyEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velnor {

class Module1;
class NewYearDialog;

// A square outline that marks the chosen swatch; clicks go through to the swatch.
class MarkerShape : public QWidget {
 public:
  explicit MarkerShape(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

class Form4 : public QDialog {
  Q_OBJECT

 public:
  explicit Form4(Module1& m, QWidget* parent = nullptr);

  // The palette of the swatches Label6(0..15), as stored values 0x00BBGGRR.
  static constexpr std::array<qint32, 16> kSwatchColors = {
      0x000000, 0xFF0000, 0x008000, 0x0040C0, 0x000080, 0x800080, 0xC00000, 0xFFFFFF,
      0x000000, 0xFFC0C0, 0xC0FFC0, 0xC0E0FF, 0xC0FFFF, 0xFFC0FF, 0xFFFFC0, 0xFFFFFF};
  static constexpr int kSwatchLeft0 = 2520;  // twips, inside Frame1
  static constexpr int kSwatchStep = 240;

  // ---- Settings panel
  QGroupBox* Frame1 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label8 = nullptr;
  QLabel* Label14 = nullptr;
  QComboBox* Combo1 = nullptr;
  QComboBox* Combo2 = nullptr;
  QComboBox* Combo6 = nullptr;
  // 0..15 the swatches; 16..18 the launch count and contact lines of the version panel.
  std::array<QLabel*, 19> Label6{};
  MarkerShape* Shape1 = nullptr;
  MarkerShape* Shape2 = nullptr;
  QLineEdit* Text1 = nullptr;
  QLineEdit* Text2 = nullptr;
  QPushButton* Command1 = nullptr;
  QPushButton* Command2 = nullptr;
  QPushButton* Command3 = nullptr;
  QPushButton* Command4 = nullptr;
  QPushButton* Command5 = nullptr;
  QPushButton* Command6 = nullptr;
  QPushButton* Command7 = nullptr;
  QPushButton* Command8 = nullptr;  // 新しい年へ
  // "その他…" after each row of swatches: any colour, chosen in QColorDialog.
  std::array<QPushButton*, 2> OtherColor{};
  // Only 3, 4 and 5 exist (the values SortKind takes).
  std::array<QRadioButton*, 6> Option2{};

  // ---- Version panel
  QLabel* Label9 = nullptr;
  QLabel* Label10 = nullptr;
  QLabel* Label11 = nullptr;
  QLabel* Label12 = nullptr;
  QLabel* Label13 = nullptr;
  QLabel* Image1 = nullptr;
  QLabel* Image2 = nullptr;

  // ---- Handlers
  void Form_Activate();
  void Combo1_Click();
  void Combo2_Click();
  void Label6_Click(int index);
  void OtherColor_Click(int row);  // 0: the text colours, 1: the background colours
  void Command1_Click();
  void Command2_Click();
  void Text1_KeyUp(int keyCode);
  void Command6_Click();
  void Command7_Click();
  // Closes a year (asked in the "新しい年" dialog) into its archive folder.
  void Command8_Click();
  // Seam for tests: runs the "新しい年" dialog; true for OK.
  std::function<bool(NewYearDialog& dialog)> askNewYear;
  void Text2_KeyUp(int keyCode);
  void Combo6_Click();
  void Option2_Click(int index);
  void Command3_Click();
  void Command4_Click();
  void Command5_Click();

  // The version line as shown: "バージョン：" major "." minor revision.
  static QString versionCaption(int major, int minor, int revision);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void Form_Load();
  void buildSettingsPanel();
  void buildColorRows();
  void buildSteppers();
  void buildSpanAndOrder();
  void buildBottomButtons();
  void buildVersionPanel();
  void fitChoosers();
  void makeRoomForOtherColours();
  bool swatchKey(QObject* watched, QEvent* event);
  bool numberBoxEnter(QObject* watched, const QKeyEvent* key);
  void createCommands();
  void connectHandlers();
  void installKeyPreview();

  void placeMarker(MarkerShape* marker, int firstSwatch, qint32 color);
  void colorOwnWindow();
  void color_rutin();
  // Both return false when the index file could not be rewritten (the user was told).
  bool sort_by_name(const std::function<void(int, int)>& progress);
  bool sort_by_number(const std::function<void(int, int)>& progress);
  void redrawList(bool clearFirst);
  void applyNoteFontToInputScreen();
  // The shared stepper and typed-value rules for Text1/RowHeight and Text2/NoteFontSize.
  void stepValue(QLineEdit* box, qint16& value, int delta);
  bool takeTypedValue(QLineEdit* box, qint16& value);

  Module1& m;
  bool activated_ = false;
  KeyCommands commands_{this};
};

}  // namespace velnor
