// ui::Timer on the Qt event loop: a QTimer whose timeout delivers the tick.
#pragma once

#include <QTimer>

#include "ui/timer.h"

namespace qtface {

class QtTimer : public ui::Timer {
 public:
  QtTimer();

  void Start(std::chrono::milliseconds period) override;
  void Stop() override;
  bool IsActive() const override { return active_; }

 private:
  QTimer timer_;
  // Kept apart from QTimer::isActive so a tick already queued when Stop was
  // called is recognised and dropped by Fire.
  bool active_ = false;
};

}  // namespace qtface
