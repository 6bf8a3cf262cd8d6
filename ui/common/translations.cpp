#include "ui/common/translations.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

using namespace Qt::Literals::StringLiterals;

namespace velnor {

bool installTranslations(QApplication& app) {
  // The program speaks Japanese whatever the system's language is.
  auto* qt = new QTranslator(&app);
  if (!qt->load(u"qtbase_ja"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
      !QCoreApplication::installTranslator(qt)) {
    delete qt;
    return false;
  }
  return true;
}

}  // namespace velnor
