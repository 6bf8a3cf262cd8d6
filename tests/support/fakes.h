#pragma once
// Fakes of the seam and the window ports, recording what the core asked of them.

#include <QList>
#include <QStringList>
#include <deque>
#include <functional>

#include "core/ports.h"

namespace velnor {
class Module1;
}
namespace velnor::test {

struct ShownMessage {
  QString title;
  QString text;
  Buttons buttons;
};

class FakeShell : public Shell {
 public:
  Answer message(const QString& title, const QString& text, Buttons buttons,
                 Icon icon = Icon::None) override;
  void beep() override { ++beeps; }
  void endProgram() override { ++ended; }
  void showWelcomeDialog() override;
  void showInputScreen() override;
  void showSettingsScreen() override { ++settingsShown; }
  void showPrintWindow() override { ++printShown; }

  // The titles of the boxes shown, comma-separated.
  QString titles() const;

  // Answers for the next boxes, in order; Ok when none is queued.
  std::deque<Answer> answers;
  QList<ShownMessage> messages;
  int beeps = 0;
  int ended = 0;
  int settingsShown = 0;
  int printShown = 0;
  int welcomeShown = 0;
  int inputShown = 0;
  std::function<void()> onWelcome;  // what the dialog does while "open"
  std::function<void()> onInputScreen;
};

class FakeChooser : public ChooserPort {
 public:
  FakeChooser();
  int count() const override { return items.size(); }
  QString item(int index) const override { return items.value(index); }
  void setItem(int index, const QString& text) override;
  void clearFolders() override;
  int currentIndex() const override { return current; }
  void select(int index) override { current = index; }
  void choose(int index) override;
  QString text() const override { return shownText; }
  void setText(const QString& text) override;
  void setVisible(bool) override {}

  QStringList items;
  int current = -1;
  QString shownText;
  std::function<void(int)> onClick;
};

// What both fake windows share: a place and size in twips, the folder chooser, and a record
// of what they were asked to do.
template <class Port>
class FakeWindow : public Port {
 public:
  explicit FakeWindow(QRect at) : geometry(at) {}
  QRect geometryTwips() const override { return geometry; }
  bool isMinimized() const override { return minimized; }
  void restoreNormal() override { minimized = false; }
  void setWidthTwips(int t) override { geometry.setWidth(t); }
  void setHeightTwips(int t) override { geometry.setHeight(t); }
  void pressAdd() override { calls << QStringLiteral("add"); }
  void pressDelete() override { calls << QStringLiteral("delete"); }
  void pressSettings() override { calls << QStringLiteral("settings"); }
  void applyColors() override { calls << QStringLiteral("colors"); }
  ChooserPort& folderChooser() override { return chooser; }

  QRect geometry;
  bool minimized = false;
  QStringList calls;
  FakeChooser chooser;
};

class FakeMainWindow : public FakeWindow<MainWindowPort> {
 public:
  FakeMainWindow() : FakeWindow({0, 0, 5220, 4848}) {}
  void pressPrint() override { calls << QStringLiteral("print"); }
  void pressUp() override { calls << QStringLiteral("up"); }
  void pressDown() override { calls << QStringLiteral("down"); }
  void pressInput() override { calls << QStringLiteral("input"); }
  void pressRefresh() override { calls << QStringLiteral("refresh"); }
  void clearList() override { calls << QStringLiteral("clear"); }
  void drawList() override { calls << QStringLiteral("draw"); }
  void markerChanged() override {}
};

class FakeInputScreen : public FakeWindow<InputScreenPort> {
 public:
  FakeInputScreen() : FakeWindow({5220, 0, 5076, 4860}) {}
  void pressLoadSelected() override { calls << QStringLiteral("load"); }
  void unload() override { calls << QStringLiteral("unload"); }
  int nameCount() const override { return names.size(); }
  QString nameAt(int i) const override { return names.value(i); }
  void clearNames() override {
    names.clear();
    selected = -1;
  }
  void addNames(const QStringList& n) override { names.append(n); }
  int selectedName() const override { return selected; }
  void selectName(int i) override { selected = i; }
  QString nameBoxText() const override { return {}; }
  void focusNameBox() override {}
  void changeTest() override;
  bool saveStep() override;
  void showNobody() override { calls << QStringLiteral("nobody"); }
  void showOutsideChange() override { calls << QStringLiteral("outside"); }
  void undoChange(bool redo) override {
    calls << (redo ? QStringLiteral("redo") : QStringLiteral("undo"));
  }
  void setNoteFontPoints(double p) override { noteFont = p; }
  void setNameListHeightTwips(double t) override { nameListHeight = t; }
  double innerHeightTwips() const override { return innerHeight; }

  QStringList names;
  int selected = -1;
  double noteFont = 0, nameListHeight = 0, innerHeight = 4584;
  velnor::Module1* module = nullptr;  // for changeTest to clear PersonModified
};

}  // namespace velnor::test
