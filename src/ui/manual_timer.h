// A timer for tests: it ticks only when the test calls Tick(), so the scheduler
// can be driven tick by tick without waiting for real time.
#pragma once

#include <chrono>

#include "ui/timer.h"

namespace ui {

class ManualTimer : public Timer {
 public:
  void Start(std::chrono::milliseconds period) override {
    period_ = period;
    active_ = true;
    ++starts;
  }
  void Stop() override {
    active_ = false;
    ++stops;
  }
  bool IsActive() const override { return active_; }

  // Delivers one tick as the event loop would; false when it was ignored
  // because the timer was inactive.
  bool Tick() { return Fire(); }

  std::chrono::milliseconds period() const { return period_; }

  int starts = 0;
  int stops = 0;

 private:
  std::chrono::milliseconds period_{0};
  bool active_ = false;
};

}  // namespace ui
