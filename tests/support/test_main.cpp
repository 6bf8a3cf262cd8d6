// Runs every GoogleTest of a test program inside one QApplication on the offscreen platform
// (on Windows, which has none, on its own in a display of the test's).
#include <gtest/gtest.h>

#include <QApplication>

#include "ui/common/fonts.h"

int main(int argc, char** argv) {
#ifndef Q_OS_WIN
  // An offscreen platform with options (a screen of a given size) is kept.
  if (!qEnvironmentVariable("QT_QPA_PLATFORM").startsWith(QStringLiteral("offscreen")))
    qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
  QApplication app(argc, argv);
  velnor::installFontSubstitutions();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
