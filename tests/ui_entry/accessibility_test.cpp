// What a screen reader finds in the windows: a name for every control it can reach, none
// for the controls only the program presses, and the table's cells with the cursor cell
// focused as the cursor moves. Read through Qt's accessibility interfaces, as the AT-SPI
// bridge reads them.

#include <QAccessible>

#include "entry_fixture.h"
#include "ui/main/list_accessible.h"

namespace velnor::test {
namespace {

// Every interface under `root` that a screen reader lists, the table's cells left out.
void collect(QAccessibleInterface* root, QList<QAccessibleInterface*>& out) {
  out << root;
  // A chooser's list is a part of it, named by the chooser.
  if (root->role() == QAccessible::Table || root->role() == QAccessible::ComboBox) return;
  for (int i = 0; i < root->childCount(); ++i)
    if (QAccessibleInterface* child = root->child(i)) collect(child, out);
}

QStringList unnamedControls(QWidget* window) {
  QList<QAccessibleInterface*> all;
  collect(QAccessible::queryAccessibleInterface(window), all);
  QStringList unnamed;
  for (QAccessibleInterface* a : all) {
    switch (a->role()) {
      case QAccessible::EditableText:
      case QAccessible::PushButton:
      case QAccessible::ComboBox:
      case QAccessible::List:
      case QAccessible::Table:
        break;
      default:
        continue;
    }
    const QString name = a->text(QAccessible::Name);
    // A caption of symbols says nothing once read aloud.
    if (name.trimmed().isEmpty() || name == u"▲"_s || name == u"▼"_s || name == u"←"_s)
      unnamed << QString::number(a->role()) + u' ' + a->parent()->text(QAccessible::Name);
  }
  return unnamed;
}

bool listed(QWidget* window, QObject* control) {
  QList<QAccessibleInterface*> all;
  collect(QAccessible::queryAccessibleInterface(window), all);
  return std::any_of(all.begin(), all.end(), [&](auto* a) { return a->object() == control; });
}

class ScreenReader : public EntryTest {
 protected:
  void SetUp() override {
    EntryTest::SetUp();
    sendAccessibleEventsForTests([](QAccessibleEvent* e) {
      if (e->type() == QAccessible::Focus)
        focused << e->accessibleInterface()->text(QAccessible::Name);
    });
    focused.clear();
  }
  void TearDown() override {
    sendAccessibleEventsForTests(nullptr);
    EntryTest::TearDown();
  }
  static inline QStringList focused;
};

TEST_F(ScreenReader, everyControlHasANameAndThoseOnlyTheProgramPressesAreNotListed) {
  startBothWindows(true);
  ASSERT_TRUE(form);
  EXPECT_EQ(unnamedControls(mainForm.get()), QStringList());
  EXPECT_EQ(unnamedControls(form), QStringList());
  EXPECT_FALSE(listed(mainForm.get(), mainForm->Command9));
  EXPECT_FALSE(listed(form, form->Command3));
  EXPECT_TRUE(listed(mainForm.get(), mainForm->Command6));
  EXPECT_EQ(QAccessible::queryAccessibleInterface(mainForm->Command6)->text(QAccessible::Name),
            u"前の人"_s);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(form->monthCell(1))->text(QAccessible::Name),
            u"1月の会えた月日"_s);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(form->noteBox())->text(QAccessible::Name),
            u"補足情報"_s);
  // Still pressed by the program, as before.
  EXPECT_NE(form->Command3->parentWidget(), nullptr);
}

TEST_F(ScreenReader, theTableReadsItsCellsAndTheCursorCellIsFocusedAsItMoves) {
  startBothWindows(false);
  QApplication::setActiveWindow(mainForm.get());
  QAccessibleInterface* table = QAccessible::queryAccessibleInterface(mainForm->Picture1);
  ASSERT_TRUE(table && table->tableInterface());
  EXPECT_EQ(table->role(), QAccessible::Table);
  QAccessibleTableInterface* cells = table->tableInterface();
  EXPECT_EQ(cells->rowCount(), 3);
  EXPECT_EQ(cells->columnCount(), 2 + 12);
  EXPECT_EQ(cells->columnDescription(0), u"区域"_s);
  EXPECT_EQ(cells->columnDescription(2), u"1月"_s);
  EXPECT_EQ(cells->cellAt(0, 1)->text(QAccessible::Name), u"山田太郎"_s);
  EXPECT_EQ(cells->cellAt(0, 2)->text(QAccessible::Value), u"1/5"_s);
  EXPECT_EQ(cells->cellAt(2, 3)->text(QAccessible::Value), u"2/9"_s);

  // The cursor starts on the first person's territory.
  QAccessibleInterface* cursor = table->focusChild();
  ASSERT_TRUE(cursor);
  EXPECT_EQ(cursor->text(QAccessible::Name), u"北"_s);
  EXPECT_TRUE(cursor->state().focused);
  EXPECT_TRUE(cursor->state().selected);
  EXPECT_EQ(cells->selectedCellCount(), 1);
  EXPECT_FALSE(cells->cellAt(1, 0)->state().selected);
  EXPECT_TRUE(cursor->rect().intersects(
      QRect(mainForm->Picture1->mapToGlobal(QPoint(0, 0)), mainForm->Picture1->size())));

  // Right onto the name and January, then down to the third person's February: each move
  // is announced.
  key(mainForm->Picture1, Qt::Key_Right);
  EXPECT_EQ(table->focusChild()->text(QAccessible::Name), u"山田太郎"_s);
  key(mainForm->Picture1, Qt::Key_Right);
  EXPECT_EQ(table->focusChild()->text(QAccessible::Name), u"1/5"_s);
  key(mainForm->Picture1, Qt::Key_Right);
  key(mainForm->Picture1, Qt::Key_Down);
  key(mainForm->Picture1, Qt::Key_Down);
  EXPECT_EQ(table->focusChild()->text(QAccessible::Name), u"2/9"_s);
  ASSERT_FALSE(focused.isEmpty());
  EXPECT_EQ(focused.last(), u"2/9"_s);
  EXPECT_TRUE(focused.contains(u"1/5"_s));
}

}  // namespace
}  // namespace velnor::test
