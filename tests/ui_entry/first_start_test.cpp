// The first start, with no window sizes stored yet, on the screen the test runs on: a
// 1920 × 1080 screen at a scale of 1 and of 2 (see CMakeLists.txt).

#include <QScreen>

#include "entry_fixture.h"
#include "support/recording_surface.h"
#include "ui/settings/form4.h"

namespace velnor::test {
namespace {

class FirstStartTest : public RealWindowsTest {
 protected:
  // Starts with the input screen open at the last exit and `stored` in the settings.
  void start(const QStringList& stored = {}) {
    RealWindowsTest::start(QStringList{u"b101=True"_s} + stored);
    ASSERT_TRUE(input);
    ASSERT_TRUE(input->isVisible());
  }
  bool whole(const QWidget* window) const {
    return main->screen()->availableGeometry().contains(window->frameGeometry());
  }
};

// So it stays after すべて標準にする, which gives both windows their first-start size again.
TEST_F(FirstStartTest, TheTableTextIsAtLeastTwelveDevicePixelsHigh_evenAfterTheDefaults) {
  start();
  const QScreen* screen = main->screen();
  ASSERT_EQ(screen->geometry().size() * screen->devicePixelRatio(), QSize(1920, 1080));
  const auto textPixels = [&] {
    RecordingSurface s;
    main->draw_rutin(s);
    return s.ofKind(DrawOp::Font).value(0).size * screen->logicalDotsPerInchY() / 72 *
           screen->devicePixelRatio();
  };
  EXPECT_GE(textPixels(), 12);
  const QSize mainSize = main->size(), inputSize = input->size();
  main->resize(mainSize / 2);
  input->resize(inputSize * 3 / 2);
  Form4 settings(m);
  settings.show();
  QTest::mouseClick(settings.Command3, Qt::LeftButton);
  EXPECT_GE(textPixels(), 12);
  for (const auto& [now, then] : {std::pair{main->size(), mainSize}, {input->size(), inputSize}}) {
    EXPECT_NEAR(now.width(), then.width(), 1);  // a pixel lost to twips and back
    EXPECT_NEAR(now.height(), then.height(), 1);
  }
}

// Design heights 4584 and 4452.
TEST_F(FirstStartTest, TheInputScreenOpensBesideTheMainWindowToTheSameScaleBothWhole) {
  start();
  EXPECT_LT(main->frameGeometry().width(), main->screen()->availableGeometry().width() / 2);
  EXPECT_GT(input->frameGeometry().left(), main->frameGeometry().right());
  EXPECT_NEAR(input->height() / 4584.0, main->height() / 4452.0, 1.0 / 300);
  EXPECT_TRUE(whole(main.get()));
  EXPECT_TRUE(whole(input));
}

// Places and sizes a first start at a scale of 1 stores (twips) do not fit at a scale of 2.
TEST_F(FirstStartTest, StoredWindowsAreKeptWholeOnTheScreen) {
  start({u"i112=7723"_s, u"i113=7086"_s, u"i114=7723"_s, u"i115=0"_s, u"i116=7585"_s,
         u"i117=7164"_s});
  EXPECT_TRUE(whole(main.get()));
  EXPECT_TRUE(whole(input));
}

}  // namespace
}  // namespace velnor::test
