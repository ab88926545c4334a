#include "ui/headless/event_loop.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <string>
#include <vector>

namespace ui {
namespace {

TEST(EventLoopTest, TimersTickUntilQuit) {
  EventLoop loop;
  ASSERT_TRUE(loop.ok()) << loop.error();
  auto fast = loop.CreateTimer();
  auto idle = loop.CreateTimer();
  int fast_ticks = 0, idle_ticks = 0;
  fast->SetAction([&] {
    if (++fast_ticks == 5) loop.Quit();
  });
  idle->SetAction([&] { ++idle_ticks; });
  fast->Start(std::chrono::milliseconds(1));
  // idle is never started: it must not tick.
  EXPECT_EQ(loop.Run(), EventLoop::EndReason::kQuit);
  EXPECT_EQ(fast_ticks, 5);
  EXPECT_EQ(idle_ticks, 0);
}

// A timer stopped and started again inside its own tick (as the scheduler does
// around a run) keeps ticking; one stopped inside its tick ticks no more.
TEST(EventLoopTest, StopAndStartInsideATick) {
  EventLoop loop;
  auto timer = loop.CreateTimer();
  auto guard = loop.CreateTimer();
  int ticks = 0;
  timer->SetAction([&] {
    timer->Stop();
    EXPECT_FALSE(timer->IsActive());
    if (++ticks < 3) timer->Start(std::chrono::milliseconds(1));
  });
  // Once the first timer has stopped for good, the other timer ticks twice
  // more and ends the loop; the first must not tick in between.
  int ticks_after = 0;
  guard->SetAction([&] {
    if (ticks >= 3 && ++ticks_after == 2) loop.Quit();
  });
  timer->Start(std::chrono::milliseconds(1));
  guard->Start(std::chrono::milliseconds(1));
  EXPECT_EQ(loop.Run(), EventLoop::EndReason::kQuit);
  EXPECT_EQ(ticks, 3);
  EXPECT_FALSE(timer->IsActive());
}

TEST(EventLoopTest, StopSignalEndsTheLoopAfterTheCurrentTick) {
  for (int signal : {SIGTERM, SIGINT}) {
    EventLoop loop;
    ASSERT_TRUE(loop.ok()) << loop.error();
    auto timer = loop.CreateTimer();
    std::vector<std::string> log;
    timer->SetAction([&] {
      log.push_back("tick");
      raise(signal);
      log.push_back("tick done");
    });
    timer->Start(std::chrono::milliseconds(1));
    EXPECT_EQ(loop.Run(), EventLoop::EndReason::kStopRequest);
    EXPECT_EQ(loop.stop_signal(), signal);
    EXPECT_EQ(log, (std::vector<std::string>{"tick", "tick done"}));
  }
}

// A stop that arrives before the loop runs (during start-up) is kept and ends
// the loop at once.
TEST(EventLoopTest, StopSignalBeforeRun) {
  EventLoop loop;
  auto timer = loop.CreateTimer();
  int ticks = 0;
  timer->SetAction([&] { ++ticks; });
  timer->Start(std::chrono::milliseconds(0));
  raise(SIGTERM);
  EXPECT_EQ(loop.Run(), EventLoop::EndReason::kStopRequest);
  EXPECT_EQ(ticks, 0);
}

TEST(EventLoopTest, UserSignalIsDeliveredBetweenTicks) {
  EventLoop loop;
  auto timer = loop.CreateTimer();
  std::vector<std::string> log;
  int ticks = 0;
  timer->SetAction([&] {
    ++ticks;
    log.push_back("tick " + std::to_string(ticks));
    if (ticks == 1) raise(SIGUSR1);
    log.push_back("tick " + std::to_string(ticks) + " done");
    if (ticks == 2) loop.Quit();
  });
  loop.OnUserSignal([&] { log.push_back("usr1"); });
  timer->Start(std::chrono::milliseconds(1));
  EXPECT_EQ(loop.Run(), EventLoop::EndReason::kQuit);
  EXPECT_EQ(log, (std::vector<std::string>{"tick 1", "tick 1 done", "usr1", "tick 2",
                                           "tick 2 done"}));
}

// A timer outliving its loop stays a valid object and ticks no more.
TEST(EventLoopTest, TimerOutlivesItsLoop) {
  std::unique_ptr<Timer> timer;
  {
    EventLoop loop;
    timer = loop.CreateTimer();
    timer->Start(std::chrono::milliseconds(1));
  }
  EXPECT_FALSE(timer->IsActive());
  timer->Start(std::chrono::milliseconds(1));
  timer->Stop();
}

}  // namespace
}  // namespace ui
