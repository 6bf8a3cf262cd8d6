#include "ui/common/accessibility.h"

#include <QWidget>

namespace velnor {

void hideFromScreenReaders(QWidget* control) {
  // Screen readers list a window's child widgets, never its child windows; a window never
  // shown has nothing on the screen either. It still belongs to its parent and goes with it.
  control->setWindowFlag(Qt::Window, true);
  control->hide();
}

}  // namespace velnor
