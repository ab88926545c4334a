#include "ui/qt/qt_timer.h"

#include <gtest/gtest.h>

#include <QTest>

namespace qtface {
namespace {

TEST(QtTimerTest, TicksUntilStoppedFromItsOwnAction) {
  QtTimer timer;
  int ticks = 0;
  timer.SetAction([&] {
    if (++ticks == 3) timer.Stop();
  });
  EXPECT_FALSE(timer.IsActive());
  timer.Start(std::chrono::milliseconds(1));
  EXPECT_TRUE(timer.IsActive());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !timer.IsActive(); }, 5000));
  EXPECT_EQ(ticks, 3);
  // No tick arrives after Stop.
  QTest::qWait(20);
  EXPECT_EQ(ticks, 3);
}

TEST(QtTimerTest, RestartFromInsideTheAction) {
  QtTimer timer;
  int ticks = 0;
  timer.SetAction([&] {
    timer.Stop();
    if (++ticks < 2) timer.Start(std::chrono::milliseconds(1));
  });
  timer.Start(std::chrono::milliseconds(1));
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks == 2; }, 5000));
  EXPECT_FALSE(timer.IsActive());
}

}  // namespace
}  // namespace qtface
