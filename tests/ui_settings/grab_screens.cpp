// Saves pictures of the settings screen and its version panel for the documentation:
//   settings_screenshots <output folder>
#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>

#include "core/module1.h"
#include "ui/common/fonts.h"
#include "ui/settings/form4.h"

using namespace Qt::Literals::StringLiterals;

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  velnor::installFontSubstitutions();
  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : u"."_s;

  QTemporaryDir dir;
  velnor::Module1 m(dir.path());
  m.ApplyDefaults();
  m.LaunchCount = 27;
  velnor::Form4 form(m);
  form.show();
  bool ok = form.grab().save(out + u"/settings.png"_s);
  form.Command4->click();
  ok = form.grab().save(out + u"/version.png"_s) && ok;
  return ok ? 0 : 1;
}
