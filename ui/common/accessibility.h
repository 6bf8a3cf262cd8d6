#pragma once
// What screen readers are told of the windows' controls.

class QWidget;

namespace velnor {

// A control the user never sees or reaches, pressed only by the program: kept out of the
// tree screen readers walk (Qt lists hidden children there too).
void hideFromScreenReaders(QWidget* control);

}  // namespace velnor
