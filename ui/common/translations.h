#pragma once

class QApplication;

namespace velnor {

// Loads Qt's own Japanese texts (context menus, standard buttons) from Qt's translations
// folder. False when they are not installed; the program then works with Qt's English.
bool installTranslations(QApplication& app);

}  // namespace velnor
