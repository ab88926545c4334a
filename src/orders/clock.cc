#include "orders/clock.h"

#include <ctime>

namespace orders {

ClockReading LocalClock() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  ClockReading r;
  r.today = db::Date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
  r.seconds = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
  return r;
}

}  // namespace orders
