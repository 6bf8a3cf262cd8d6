#pragma once
// The input screen: one person of the record folder to edit, the names of the folder
// down its left side, and the commands that add, delete and store people.

#include <QWidget>
#include <array>
#include <memory>

#include "core/char_rules.h"
#include "core/module1.h"
#include "core/ports.h"
#include "ui/common/key_commands.h"
#include "ui/entry/name_list.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace velnor {

class ComboChooser;
class FindBox;
class ProportionalLayout;

class Form3 : public QWidget, public InputScreenPort {
  Q_OBJECT

 public:
  explicit Form3(Module1& m, QWidget* parent = nullptr);
  ~Form3() override;

  // ---- Controls, named as the rest of the program knows them
  QPushButton* Command1 = nullptr;  // 追加
  QPushButton* Command2 = nullptr;  // 削除
  QPushButton* Command3 = nullptr;  // ←, invisible: load the person selected in List2
  QPushButton* Command4 = nullptr;  // 設定
  QPushButton* Command5 = nullptr;  // OK
  QPushButton* Command6 = nullptr;  // 終
  QComboBox* Combo1 = nullptr;      // record folder chooser
  NameList* List2 = nullptr;        // names of the folder, entry k = record k
  // Text1(0) is the note, Text1(1..12) the month cells; months[k] holds month k + 1.
  struct Text1Boxes {
    QPlainTextEdit* note = nullptr;
    std::array<QLineEdit*, 12> months{};
    // The box of one index, for the handlers every Text1 box shares.
    QWidget* operator[](int index) const;
    std::array<QWidget*, 13> all() const;
  } Text1;
  QLineEdit* Text2 = nullptr;       // name
  QLineEdit* Text3 = nullptr;       // territory
  QPlainTextEdit* Text4 = nullptr;  // information of month NoteMonth
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label6 = nullptr;
  std::array<QLabel*, 12> Label7{};  // month numbers; Label7[k] captions month k + 1
  QLabel* Label8 = nullptr;          // caption of Text4

  // ---- Variables of the screen
  qint16 SavedCaret = 0;
  qint16 HoverMonth = 0;
  qint16 MonthNoteTouched = 0;

  QPlainTextEdit* noteBox() const { return Text1.note; }
  QLineEdit* monthCell(int month) const { return Text1.months.at(month - 1); }
  // Text of Text1(index) as the program sees it (line breaks CR LF).
  QString text1(int index) const;

  // ---- Handlers
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void Command5_Click();
  void Command6_Click();
  void Combo1_Click();
  void Form_Load();
  void Form_QueryUnload(int& cancel);
  // Lays the screen out at its present size at once, even while it is hidden.
  void layOut();
  void Text1_Change(int index);
  void Text2_Change();
  void Text3_Change();
  void Text4_Change();
  void Text1_GotFocus(int index);
  void Text2_GotFocus();
  void Text3_GotFocus();
  void Text1_MouseMove(int index);
  void Text1_KeyUp(int index, int keyCode);
  void Text2_KeyUp(int keyCode);
  void Text3_KeyUp(int keyCode);
  void Text4_KeyUp(int keyCode);
  void Text1_MouseUp(int index);
  void Text2_MouseUp();
  void Text3_MouseUp();
  void Text4_MouseUp();
  void List2_MouseUp();

  // ---- InputScreenPort
  QRect geometryTwips() const override;
  bool isMinimized() const override;
  void restoreNormal() override;
  void setWidthTwips(int twips) override;
  void setHeightTwips(int twips) override;
  void pressAdd() override;
  void pressDelete() override;
  void pressLoadSelected() override;
  void pressSettings() override;
  void unload() override;
  int nameCount() const override;
  QString nameAt(int index) const override;
  void clearNames() override;
  void addNames(const QStringList& names) override;
  int selectedName() const override;
  void selectName(int index) override;
  QString nameBoxText() const override;
  void focusNameBox() override;
  void changeTest() override;
  bool saveStep() override;
  // No person could be loaded: the boxes are empty and closed to typing, and nothing is
  // stored or deleted from them until a load succeeds.
  void showNobody() override;
  void showOutsideChange() override;
  void undoChange(bool redo) override;
  void applyColors() override;
  void setNoteFontPoints(double points) override;
  void setNameListHeightTwips(double twips) override;
  double innerHeightTwips() const override;
  ChooserPort& folderChooser() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // Window setup
  void createButtons();
  void createChooserAndLists();
  void createFields();
  void createLabels();
  void setDesignFonts();
  void watchControls();
  void createCommands();
  void connectChanges();

  // Layout, in proportion W across and H down to the design
  void createLayout();
  void scaleFonts(double W, double H);

  // Shared steps of the commands
  bool duplicateNameGate();
  // F6: stores the shown person, then opens the print window.
  void printShown();
  // Parts of the save step
  void refuseName(const QString& why);
  void takeFields(const QString& name);
  bool writeShownPerson();
  void showStep();
  void showLineField(QLineEdit* box, const QString& text);
  // Change test and save step; false when a store was needed and failed.
  bool storeIfModified(bool refresh);
  void refillNames();
  void showChangedFolder();
  // What the boxes hold (month notes too), to tell which ones the user changed.
  struct ShownPerson {
    QString territory, name, note;
    std::array<QString, 13> dates, monthNotes;
    bool operator==(const ShownPerson&) const = default;
  };
  ShownPerson screenPerson() const;
  // A store was refused because another program changed the person: show the person
  // as the files hold it now with `typed` put back into the boxes the user changed.
  void showChangedPerson(const ShownPerson& typed);
  void reapplyTyping(const ShownPerson& typed, const ShownPerson& was);
  void putTypingBack(const QString& name, qint16 index, const ShownPerson& typed,
                     const ShownPerson& was);
  void focusColumnField();
  void finishUnload();

  // Character rules
  void applyRules(QWidget* box, EntryBox kind, int month);
  QString restoreValue(EntryBox kind, int month) const;
  QString boxText(QWidget* box) const;
  void setBoxText(QWidget* box, const QString& crLfText);
  int caretOf(QWidget* box) const;
  void setCaret(QWidget* box, int position);
  bool replaceLookalikes(QWidget* box);

  void openFindBox();

  // Field reactions
  void fieldKeyUp(QWidget* box, int keyCode, bool arrowsMove);
  void showMonthInfo(int month, bool enable);
  void setMonthInfoCaption(int month);
  void setNameEntry(const QString& text);
  bool previewKeyRelease(QObject* watched, QKeyEvent* key);
  bool previewKeyPress(QObject* watched, QKeyEvent* key);
  void finishMouseRelease(QObject* watched, QEvent* event);
  void dispatchMouseMove(QObject* watched);
  void dispatchFocusIn(QObject* watched);
  void dispatchKeyUp(QObject* watched, int keyCode);
  bool isMouseUpTarget(QObject* watched) const;
  void dispatchMouseUp(QObject* watched);

  Module1& m;
  std::unique_ptr<ComboChooser> chooser_;
  FindBox* findBox_ = nullptr;  // made at the first Ctrl+F
  ProportionalLayout* layout_ = nullptr;

  QString acceptedNote_;       // restore value of the note box (the last accepted text)
  qint16 shownIndex_ = 0;      // record number of the person in the fields (-1: its line is gone)
  QString shownName_;          // the name the person in the fields was loaded with
  ShownPerson shown_;          // the boxes as they were filled from the files
  quint64 namesRead_ = 0;      // the read of the index file the names were last listed from
  bool replaceNames_ = false;  // the next names listed replace the list, if they differ
  bool storeFailed_ = false;   // the last store failed: the next change test must store
  bool personShown_ = false;   // the fields hold a person that was really loaded
  int filling_ = 0;            // >0 while the program itself writes into the fields
  bool unloaded_ = false;
  bool inMouseRelease_ = false;
  KeyCommands commands_{this};
};

}  // namespace velnor
