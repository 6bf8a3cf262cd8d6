#pragma once
// The real seam: Qt message boxes, the system beep, ending the program, the other windows.

#include <QPointer>
#include <QString>
#include <QWidget>

#include "core/ports.h"

namespace velnor {

class Module1;
class Form2;

class QtShell : public Shell {
 public:
  explicit QtShell(Module1& m);
  ~QtShell() override;

  // The main window, parent of the modal windows.
  void setMainWidget(QWidget* widget) { mainWidget_ = widget; }

  Answer message(const QString& title, const QString& text, Buttons buttons,
                 Icon icon = Icon::None) override;
  void beep() override;
  void endProgram() override;
  void showWelcomeDialog() override;
  void showInputScreen() override;
  void showSettingsScreen() override;
  void showPrintWindow() override;

  // Message texts may carry CR LF or LF CR pairs; a box shows each as one line break.
  static QString displayText(const QString& text);

 private:
  QWidget* dialogParent() const;

  Module1& m_;
  QPointer<QWidget> mainWidget_;
  Form2* form2_ = nullptr;
};

}  // namespace velnor
