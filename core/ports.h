#pragma once
// What the shared procedures and the windows need of each other. The windows
// implement these; tests use fakes (tests/support/fakes.h).

#include <QRect>
#include <QString>
#include <QStringList>

namespace velnor {

enum class Answer { Ok, Cancel };
enum class Buttons { Ok, OkCancel };
enum class Icon { None, Information, Warning, Critical };

// Message boxes, the beep, ending the program and opening the other windows.
class Shell {
 public:
  virtual ~Shell() = default;
  virtual Answer message(const QString& title, const QString& text, Buttons buttons,
                         Icon icon = Icon::None) = 0;
  virtual void beep() = 0;
  // Ends the program: no window gets further events. Callers return at once afterwards.
  virtual void endProgram() = 0;
  // Form10, modal. Returns after it has closed (or the program has ended).
  virtual void showWelcomeDialog() = 0;
  // Form3, modeless; runs its Form_Load before returning.
  virtual void showInputScreen() = 0;
  // Form4, modal.
  virtual void showSettingsScreen() = 0;
  // Form2, modal.
  virtual void showPrintWindow() = 0;
};

// A folder chooser (Combo1 of the main window and of the input screen).
// Item 0 is "新規作成"; items 1..n are folder display names.
class ChooserPort {
 public:
  virtual ~ChooserPort() = default;
  virtual int count() const = 0;
  virtual QString item(int index) const = 0;
  // Writes item `index`; appends when index == count().
  virtual void setItem(int index, const QString& text) = 0;
  // Removes every item after item 0.
  virtual void clearFolders() = 0;
  virtual int currentIndex() const = 0;
  // Selects without raising the chooser's Click handler.
  virtual void select(int index) = 0;
  // Selects and raises the chooser's Click handler, as a user's choice does.
  virtual void choose(int index) = 0;
  virtual QString text() const = 0;
  // Shows `text` as the chooser's text (selects the item holding it), no Click.
  virtual void setText(const QString& text) = 0;
  virtual void setVisible(bool visible) = 0;
};

// Geometry of a top-level window in twips (outer frame), as the settings store it.
class WindowGeometryPort {
 public:
  virtual ~WindowGeometryPort() = default;
  virtual QRect geometryTwips() const = 0;
  virtual bool isMinimized() const = 0;
  virtual void restoreNormal() = 0;
  virtual void setWidthTwips(int twips) = 0;
  virtual void setHeightTwips(int twips) = 0;
};

// Form1 as the others see it.
class MainWindowPort : public WindowGeometryPort {
 public:
  virtual void pressAdd() = 0;       // Command1
  virtual void pressDelete() = 0;    // Command2
  virtual void pressPrint() = 0;     // Command3
  virtual void pressSettings() = 0;  // Command4
  virtual void pressUp() = 0;        // Command6
  virtual void pressDown() = 0;      // Command7
  virtual void pressInput() = 0;     // Command8
  virtual void pressRefresh() = 0;   // Command9
  // Clears Picture1 to its background colour.
  virtual void clearList() = 0;
  // pp_reduc followed by draw_rutin on Picture1 (PersonCount must be current).
  virtual void drawList() = 0;
  // Shape1 was moved or shown/hidden by PlaceCursor (see Module1::Shape1*).
  virtual void markerChanged() = 0;
  // The main window's part of color_rutin.
  virtual void applyColors() = 0;
  virtual ChooserPort& folderChooser() = 0;
};

// Form3 as the others see it.
class InputScreenPort : public WindowGeometryPort {
 public:
  virtual void pressAdd() = 0;           // Command1
  virtual void pressDelete() = 0;        // Command2
  virtual void pressLoadSelected() = 0;  // Command3
  virtual void pressSettings() = 0;      // Command4
  // Unloads the screen (its Form_QueryUnload runs and may cancel).
  virtual void unload() = 0;

  // List2, the name list: entry k is the name of record k.
  virtual int nameCount() const = 0;
  virtual QString nameAt(int index) const = 0;
  virtual void clearNames() = 0;
  // Appends every name at once (a folder may hold tens of thousands).
  virtual void addNames(const QStringList& names) = 0;
  virtual int selectedName() const = 0;
  virtual void selectName(int index) = 0;

  virtual QString nameBoxText() const = 0;  // Text2
  virtual void focusNameBox() = 0;
  // The change test: sets PersonModified to whether the screen differs from the loaded person.
  virtual void changeTest() = 0;
  // The save step (name change, stored form of the notes, a kWriteStore).
  // False when the store failed; the user has been told and the edits stay on screen.
  virtual bool saveStep() = 0;
  // No person can be shown (the folder could not be read): empty, closed fields.
  virtual void showNobody() = 0;
  // Another program changed the folder's files: unless typing is pending, the shown
  // person and the names are shown as the files hold them now.
  virtual void showOutsideChange() = 0;

  // Undo (or redo) of the last stored change, after storing the person shown.
  virtual void undoChange(bool redo) = 0;

  // The input screen's part of color_rutin.
  virtual void applyColors() = 0;
  // Note box, month information box and name list font, in points.
  virtual void setNoteFontPoints(double points) = 0;
  virtual void setNameListHeightTwips(double twips) = 0;
  virtual double innerHeightTwips() const = 0;

  virtual ChooserPort& folderChooser() = 0;
};

}  // namespace velnor
