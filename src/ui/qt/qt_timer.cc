#include "ui/qt/qt_timer.h"

namespace qtface {

QtTimer::QtTimer() {
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, [this] { Fire(); });
}

void QtTimer::Start(std::chrono::milliseconds period) {
  active_ = true;
  timer_.start(period);
}

void QtTimer::Stop() {
  active_ = false;
  timer_.stop();
}

}  // namespace qtface
