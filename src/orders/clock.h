// The evaluator's clock: today's date and the time of day, read through a
// function so that tests fix them.
#pragma once

#include <functional>

#include "db/value.h"

namespace orders {

struct ClockReading {
  db::Date today;
  int seconds = 0;  // whole seconds since midnight
};

using Clock = std::function<ClockReading()>;

// The local date and time of the machine.
ClockReading LocalClock();

}  // namespace orders
