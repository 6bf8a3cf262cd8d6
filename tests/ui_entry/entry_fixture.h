#pragma once
// An input screen loaded over a temporary program folder, with fakes for the main
// window and the seam, and helpers that type and click the way a user does.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QtTest/QTest>

#include "support/fakes.h"
#include "support/temp_program.h"
#include "ui/entry/form3.h"

namespace velnor::test {

// One record line: territory, name and the twelve months (missing months are empty).
QString recordLine(const QString& territory, const QString& name, const QStringList& months = {});

class EntryTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes the folder "%テスト" with these record lines (after the two comment lines).
  void makeFolder(const QStringList& records, const QString& folder = QStringLiteral("テスト"));
  // Creates the input screen the way the program opens it, shows and activates it.
  void openScreen();

  // Typing: ASCII through key clicks; any text as an input method commits it.
  void type(QWidget* box, const QString& text);
  void commit(QWidget* box, const QString& text);
  void key(QWidget* target, Qt::Key k);
  void click(QWidget* target, QPoint at = {});
  void clickName(int row);
  void focus(QWidget* w);

  // The record lines of the index file in use, and a note file's lines.
  QStringList records() const;
  QStringList noteLines(const QString& name) const;
  bool noteExists(const QString& name) const;
  QString folderPath() const;
  // Loads person `row` as a click on its name does.
  void showPerson(int row);
  QStringList messageTexts() const;

  TempProgram p;
  Module1& m = *p.m;
  FakeShell shell;
  FakeMainWindow main;
  QPointer<Form3> form;
  QString folder = QStringLiteral("%テスト");
};

}  // namespace velnor::test
